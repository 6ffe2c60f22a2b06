// korvenia-cli check: reads a raw data file or a coordinate list, reduces the observations and
// tells what is wrong with it before it is converted, as text or as JSON; the exit status says
// whether anything is.

#include <ctime>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command.h"
#include "cli/survey_args.h"
#include "core/coord_order.h"
#include "core/file_procs.h"
#include "core/line_reader.h"
#include "core/text.h"
#include "formats/kof_options.h"
#include "survey/check_report.h"

namespace korv::cli {
namespace {

constexpr const char* kCommand = "check";

const std::vector<CliOption>& Options() {
  static const std::vector<CliOption> table = [] {
    std::vector<CliOption> t = {
        {"from", "raw|coord",
         "what FILE holds (default: raw when its first record other than\n"
         "a comment is of a raw data record type: ST, SS, SO, CP, UP, MP,\n"
         "CC, RE, UC or MC; else coord)"},
        {"json", nullptr, "write the report as JSON (see docs/check-json.md)"},
        {"order", "nez|enz",
         "coordinate order (default: the file's \"Coord Order:\" comment,\n"
         "else the settings file)"},
        {"ini", "FILE",
         "settings file (default: Korvenia.ini beside the program or in\n"
         "~/.config/Korvenia/, else the defaults of a new file)"},
    };
    t.insert(t.end(), ReductionCliOptions().begin(), ReductionCliOptions().end());
    t.push_back({"help", nullptr, "this text"});
    return t;
  }();
  return table;
}

void PrintUsage(std::ostream& out) {
  out << "Usage: korvenia-cli check [options] FILE\n"
         "\nReads FILE, reduces its observations and reports the record counts, the set-ups\n"
         "and their orientation, the extent, and what is wrong: lines not understood, names\n"
         "with two positions, observations not reduced, assumed orientations, names that\n"
         "become equal when KOF, SDR-33 or the upload cut them. Points without elevation and\n"
         "names or codes cut without a collision are warnings only.\n";
  PrintOptions(out, Options());
  out << "\nExit status: 0 nothing wrong, 1 problems found or FILE unreadable, 2 usage error.\n";
}

// Raw data when the first line that is neither blank nor a comment has a raw record type in
// field 1. A file of comments only is raw data; one that cannot be read is left to the reader.
bool LooksLikeRawData(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return true;
  LineReader reader(in);
  std::string_view line;
  while (reader.Next(line)) {
    const std::string_view type = TrimView(line.substr(0, line.find(',')));
    if (TrimView(line).empty() || type == RecordKindWord(RecordKind::Comment)) continue;
    for (int k = 0; k <= static_cast<int>(RecordKind::MeasuredCode); ++k) {
      if (type == RecordKindWord(static_cast<RecordKind>(k))) return true;
    }
    return false;
  }
  return true;
}

int RunCheck(const std::vector<std::string>& argv) {
  std::optional<ParsedArgs> args = ParseArgs(kCommand, argv, Options());
  if (!args) return kExitUsage;
  if (args->Has("help")) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  if (args->files.size() != 1) return UsageError(kCommand, "expected one FILE");
  const std::string& path = args->files[0];
  bool raw = true;
  if (auto from = args->Value("from")) {
    if (*from != "raw" && *from != "coord")
      return UsageError(kCommand, "--from wants raw or coord, not '" + *from + "'");
    raw = *from == "raw";
  } else {
    raw = LooksLikeRawData(path);
  }
  std::optional<int> order;
  if (auto word = args->Value("order")) {
    const std::string lower = ToLowerAscii(*word);
    if (lower != "nez" && lower != "enz")
      return UsageError(kCommand, "--order wants nez or enz, not '" + *word + "'");
    order = lower == "enz" ? CoordOrder::kENZ : CoordOrder::kNEZ;
  }
  const std::optional<std::string> settingsPath = SettingsFileOf(*args);
  if (!settingsPath) return kExitFailed;
  const IniFile ini = settingsPath->empty() ? IniFile() : IniFile::Load(*settingsPath);
  const std::optional<ReductionOptions> reduction = ReductionOptionsOf(kCommand, *args, ini);
  if (!reduction) return kExitUsage;

  Survey survey;
  survey.angleUnit = reduction->angleUnit;
  std::string fault;
  const int coordOrder = order ? *order : StoredCoordOrder(ini);
  const bool read = raw ? ReadRawSurvey(path, coordOrder, survey, fault)
                        : ReadCoordinateSurvey(path, coordOrder, survey, fault);
  if (!read) return Failure(fault);
  Reduce(survey, *reduction);

  CheckOptions options;
  options.angleUnit = reduction->angleUnit;
  options.encoding = EncodingOfFile(path);
  const std::tm noTime{};
  options.kofCodeConversion =
      ReadKofOptions(ini, FolderOf(*settingsPath), "", noTime).useCodeConversion;
  const CheckReport report = MakeCheckReport(survey, options);
  const std::string text =
      args->Has("json") ? CheckReportJson(survey, report) : CheckReportText(survey, report);
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cout.flush();
  if (!std::cout) return Failure("Cannot write the report");
  return report.problems ? kExitFailed : kExitOk;
}

}  // namespace

static const bool registered = RegisterCommand(
    {"check", "report what a raw data file or coordinate list holds and what is wrong with it",
     RunCheck});

}  // namespace korv::cli
