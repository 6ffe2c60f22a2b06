#include "cli/survey_args.h"

#include "core/key_store.h"

namespace korv::cli {

const std::vector<CliOption>& ReductionCliOptions() {
  static const std::vector<CliOption> table = {
      {"angle-unit", "deg|gon|mil|dms",
       "unit of the angles in the file (default: the SDR settings'\n"
       "angle unit; dms is degrees.minutesseconds)"},
      {"refraction", "0.132|0.200",
       "apply earth curvature and refraction with this constant\n(default: off)"},
      {"sea-level", nullptr, "reduce horizontal distances to sea level (default: off)"},
  };
  return table;
}

std::optional<ReductionOptions> ReductionOptionsOf(const char* command, const ParsedArgs& args,
                                                   const IniFile& ini) {
  ReductionOptions options;
  options.angleUnit = StoredAngleUnit(ini);
  if (auto word = args.Value("angle-unit")) {
    const std::optional<AngleUnit> unit = AngleUnitFromWord(*word);
    if (!unit) {
      UsageError(command, "--angle-unit wants deg, gon, mil or dms, not '" + *word + "'");
      return std::nullopt;
    }
    options.angleUnit = *unit;
  }
  if (auto k = args.Value("refraction")) {
    if (*k != "0.132" && *k != "0.200") {
      UsageError(command, "--refraction wants 0.132 or 0.200, not '" + *k + "'");
      return std::nullopt;
    }
    options.curvatureAndRefraction = true;
    options.refractionConstant = *k == "0.132" ? 0.132 : 0.200;
  }
  options.seaLevel = args.Has("sea-level");
  return options;
}

}  // namespace korv::cli
