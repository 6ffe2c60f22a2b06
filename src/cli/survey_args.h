// The options of every command that reads a survey (convert --from raw --to coord, check,
// plot): how the angles are written and which corrections the reduction applies.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "survey/survey.h"

namespace korv {
class IniFile;
}

namespace korv::cli {

// --angle-unit, --refraction, --sea-level, to be added to a command's own table.
const std::vector<CliOption>& ReductionCliOptions();

// What a command that looks at a survey file (check, plot) was asked to read.
struct SurveyInput {
  bool raw = true;
  int coordOrder = 0;
  ReductionOptions reduction;
};

// --from, --order and the reduction options, to be added to such a command's table.
const std::vector<CliOption>& SurveyCliOptions();

// The survey input for `path` from the settings file `ini` with the command line on top:
// --from, else the file's content (LooksLikeRawData); --order, else the settings file's order.
// nullopt after a usage error is printed for `command`.
std::optional<SurveyInput> SurveyInputOf(const char* command, const ParsedArgs& args,
                                         const IniFile& ini, const std::string& path);

// The reduction options of the settings file `ini` (its SDR angle unit) with the command line
// laid on top; nullopt after a usage error is printed for `command`.
std::optional<ReductionOptions> ReductionOptionsOf(const char* command, const ParsedArgs& args,
                                                   const IniFile& ini);

}  // namespace korv::cli
