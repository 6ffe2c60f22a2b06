// The options of every command that reads a survey (convert --from raw --to coord, check,
// plot): how the angles are written and which corrections the reduction applies.
#pragma once

#include <optional>
#include <vector>

#include "cli/args.h"
#include "survey/survey.h"

namespace korv {
class IniFile;
}

namespace korv::cli {

// --angle-unit, --refraction, --sea-level, to be added to a command's own table.
const std::vector<CliOption>& ReductionCliOptions();

// The reduction options of the settings file `ini` (its SDR angle unit) with the command line
// laid on top; nullopt after a usage error is printed for `command`.
std::optional<ReductionOptions> ReductionOptionsOf(const char* command, const ParsedArgs& args,
                                                   const IniFile& ini);

}  // namespace korv::cli
