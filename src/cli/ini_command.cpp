// korvenia-cli ini: checks a settings file against the default one (`ini check FILE`), and
// carries the texts of a translated settings file into another one (`ini merge OLD NEW OUT`).

#include <cerrno>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command.h"
#include "core/ini_check.h"
#include "core/input_file.h"
#include "core/interface_language.h"
#include "core/key_store.h"

namespace korv::cli {
namespace {

constexpr const char* kCommand = "ini";

const std::vector<CliOption>& Options() {
  static const std::vector<CliOption> table = {{"help", nullptr, "this text"}};
  return table;
}

void PrintUsage(std::ostream& out) {
  out << "Usage: korvenia-cli ini check FILE\n"
         "       korvenia-cli ini merge OLD NEW OUT\n"
         "\ncheck: compares the settings file FILE with the default one and lists the\n"
         "sections, keys, list entries and messages it is missing, the texts still equal to\n"
         "the English ones (for a translation: a file whose [Interface Language] names\n"
         "another language), the values the program would refuse or ignore, the texts it\n"
         "would show wrongly (placeholders %1... or file patterns unlike the English text's,\n"
         "list entries added or split), with their line numbers, and the file's encoding\n"
         "and line ends.\n"
         "\nmerge: writes OUT as the settings file NEW with the interface texts of OLD\n"
         "(captions, tool tips, messages, list and file-type texts): a translation made for\n"
         "an older version carried into the newer default file. Every other value of NEW\n"
         "stays; texts OLD does not have stay as NEW has them. OUT may be NEW itself.\n";
  PrintOptions(out, Options());
  out << "\nExit status: check: 0 the program loads FILE, 1 it would replace FILE with a new\n"
         "file of defaults (or FILE cannot be read); merge: 0 written, 1 failed (OUT\n"
         "untouched); 2 usage error.\n";
}

std::optional<std::string> ReadWhole(const std::string& path) {
  InputFile input;
  if (ConvertResult opened = input.Open(path); !opened.ok()) {
    Failure(opened.fault);
    return std::nullopt;
  }
  std::string bytes{std::istreambuf_iterator<char>(input.stream()),
                    std::istreambuf_iterator<char>()};
  if (input.stream().bad()) {
    Failure(input.ReadFault());
    return std::nullopt;
  }
  return bytes;
}

void PrintFindings(const char* heading, const std::vector<IniFinding>& findings) {
  if (findings.empty()) return;
  std::cout << heading << " (" << findings.size() << "):\n";
  for (const IniFinding& f : findings) {
    std::cout << "  ";
    if (f.line > 0) std::cout << "line " << f.line << ": ";
    std::cout << f.where << (f.where.empty() ? "" : ": ") << f.detail << '\n';
  }
}

int Check(const std::string& path) {
  std::optional<std::string> bytes = ReadWhole(path);
  if (!bytes) return kExitFailed;
  const IniReport report = CheckSettingsFile(*bytes);
  std::cout << path << ": " << report.encoding << ", " << report.lineEnds << " line ends, "
            << report.lines << " lines, language " << report.language << '\n';
  if (report.encoding.find("Windows-1252") != std::string::npos) {
    // A Polish or Czech file saved in its own code page would show other letters, silently.
    std::cout << "Lines that are not UTF-8 are read as Windows-1252 (Western European "
                 "letters): a language that needs other letters must be saved as UTF-8.\n";
  }
  PrintFindings("Missing", report.missing);
  PrintFindings("Still in English", report.untranslated);
  if (report.untranslated.empty() && report.englishTexts > 0) {
    std::cout << report.englishTexts << " texts are the English ones.\n";
  }
  PrintFindings("Refused or ignored", report.refused);
  PrintFindings("Shown wrongly", report.wrong);
  std::cout << (report.loads ? "The program loads this file.\n"
                             : "The program would not load this file: it would replace it "
                               "with a new file of defaults.\n");
  std::cout.flush();
  return report.loads ? kExitOk : kExitFailed;
}

int Merge(const std::string& oldPath, const std::string& newPath, const std::string& outPath) {
  std::optional<std::string> from = ReadWhole(oldPath);
  if (!from) return kExitFailed;
  std::optional<std::string> into = ReadWhole(newPath);
  if (!into) return kExitFailed;
  const CarryResult carried = CarryTexts(*from, *into);
  for (const std::string& note : carried.notes)
    std::cerr << "korvenia-cli: warning: " << note << '\n';
  if (!carried.ok) {
    return Failure("Cannot take the texts of " + oldPath + " into " + newPath + ": " +
                   carried.fault);
  }
  if (!ReplaceFileAtomically(outPath, carried.bytes)) {
    return Failure(WriteFault(outPath, errno));
  }
  std::cout << carried.carried << " texts of " << oldPath << " written into " << outPath << '\n';
  return kExitOk;
}

int RunIni(const std::vector<std::string>& argv) {
  std::optional<ParsedArgs> parsed = ParseArgs(kCommand, argv, Options());
  if (!parsed) return kExitUsage;
  if (parsed->Has("help")) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  const std::vector<std::string>& words = parsed->files;
  if (words.empty()) return UsageError(kCommand, "give 'check FILE' or 'merge OLD NEW OUT'");
  if (words[0] == "check") {
    if (words.size() != 2) return UsageError(kCommand, "check takes one FILE");
    return Check(words[1]);
  }
  if (words[0] == "merge") {
    if (words.size() != 4) return UsageError(kCommand, "merge takes OLD NEW OUT");
    return Merge(words[1], words[2], words[3]);
  }
  return UsageError(kCommand, "unknown action '" + words[0] + "' (check or merge)");
}

}  // namespace

static const bool registered = RegisterCommand(
    {kCommand, "check a settings file, or carry a translation into a newer one", RunIni});

}  // namespace korv::cli
