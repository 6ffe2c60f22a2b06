// korvenia-cli check: reads a raw data file or a coordinate list, reduces the observations and
// tells what is wrong with it before it is converted, as text or as JSON; the exit status says
// whether anything is.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command.h"
#include "cli/survey_args.h"
#include "core/key_store.h"
#include "survey/check_report.h"
#include "survey/survey_file.h"

namespace korv::cli {
namespace {

constexpr const char* kCommand = "check";

const std::vector<CliOption>& Options() {
  static const std::vector<CliOption> table = [] {
    std::vector<CliOption> t = {
        {"json", nullptr, "write the report as JSON (see docs/check-json.md)"},
        {"ini", "FILE",
         "settings file (default: Korvenia.ini beside the program or in\n"
         "~/.config/Korvenia/, else the defaults of a new file)"},
    };
    t.insert(t.end(), SurveyCliOptions().begin(), SurveyCliOptions().end());
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

int RunCheck(const std::vector<std::string>& argv) {
  std::optional<ParsedArgs> args = ParseArgs(kCommand, argv, Options());
  if (!args) return kExitUsage;
  if (args->Has("help")) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  if (args->files.size() != 1) return UsageError(kCommand, "expected one FILE");
  const std::string& path = args->files[0];
  const std::optional<std::string> settingsPath = SettingsFileOf(*args);
  if (!settingsPath) return kExitFailed;
  const IniFile ini = settingsPath->empty() ? IniFile() : IniFile::Load(*settingsPath);
  const std::optional<SurveyInput> input = SurveyInputOf(kCommand, *args, ini, path);
  if (!input) return kExitUsage;
  Survey survey;
  std::string fault;
  if (!LoadSurvey(path, input->raw, input->coordOrder, input->reduction, survey, fault))
    return Failure(fault);

  const CheckReport report = MakeCheckReport(survey, CheckOptionsOf(ini, path, input->reduction.angleUnit));
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
