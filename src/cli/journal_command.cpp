// korvenia-cli journal: lists the download journal, newest first, one download a line.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command.h"
#include "core/journal.h"

namespace korv::cli {
namespace {

const std::vector<CliOption>& Options() {
  static const std::vector<CliOption> table = {{"help", nullptr, "this text"}};
  return table;
}

void PrintUsage(std::ostream& out) {
  out << "Usage: korvenia-cli journal\n"
         "\nLists the download journal, newest first: every download's lines, kept as they\n"
         "arrived whatever became of the download. One line each: date, time, device, lines,\n"
         "size in bytes and the file, which 'korvenia-cli convert' takes like any other.\n"
         "The journal is in $XDG_DATA_HOME/Korvenia/journal (default ~/.local/share); the\n"
         "settings file's [Journal] section limits how many downloads and megabytes it keeps.\n";
  PrintOptions(out, Options());
  out << "\nExit status: 0 listed (also when empty), 1 the list could not be written,\n"
         "2 usage error.\n";
}

int RunJournal(const std::vector<std::string>& argv) {
  std::optional<ParsedArgs> parsed = ParseArgs("journal", argv, Options());
  if (!parsed) return kExitUsage;
  if (parsed->Has("help")) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  if (!parsed->files.empty()) return UsageError("journal", "no file is taken");
  for (const JournalEntry& e : ListJournal(JournalFolder())) {
    std::cout << e.date << ' ' << e.time << "  " << e.device << "  " << e.lines << "  " << e.size
              << "  " << e.path << '\n';
  }
  std::cout.flush();
  return std::cout ? kExitOk : Failure("Cannot write the list");
}

}  // namespace

static const bool registered =
    RegisterCommand({"journal", "list the download journal (every download's lines)", RunJournal});

}  // namespace korv::cli
