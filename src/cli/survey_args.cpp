#include "cli/survey_args.h"

#include "core/coord_order.h"
#include "core/key_store.h"
#include "core/text.h"
#include "survey/survey_file.h"

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

const std::vector<CliOption>& SurveyCliOptions() {
  static const std::vector<CliOption> table = [] {
    std::vector<CliOption> t = {
        {"from", "raw|coord",
         "what FILE holds (default: raw when its first record other than\n"
         "a comment is of a raw data record type: ST, SS, SO, CP, UP, MP,\n"
         "CC, RE, UC or MC; else coord)"},
        {"order", "nez|enz",
         "coordinate order (default: the file's \"Coord Order:\" comment,\n"
         "else the settings file)"},
    };
    t.insert(t.end(), ReductionCliOptions().begin(), ReductionCliOptions().end());
    return t;
  }();
  return table;
}

std::optional<SurveyInput> SurveyInputOf(const char* command, const ParsedArgs& args,
                                         const IniFile& ini, const std::string& path) {
  SurveyInput input;
  if (auto from = args.Value("from")) {
    if (*from != "raw" && *from != "coord") {
      UsageError(command, "--from wants raw or coord, not '" + *from + "'");
      return std::nullopt;
    }
    input.raw = *from == "raw";
  } else {
    input.raw = LooksLikeRawData(path);
  }
  input.coordOrder = StoredCoordOrder(ini);
  if (auto word = args.Value("order")) {
    const std::string lower = ToLowerAscii(*word);
    if (lower != "nez" && lower != "enz") {
      UsageError(command, "--order wants nez or enz, not '" + *word + "'");
      return std::nullopt;
    }
    input.coordOrder = lower == "enz" ? CoordOrder::kENZ : CoordOrder::kNEZ;
  }
  std::optional<ReductionOptions> reduction = ReductionOptionsOf(command, args, ini);
  if (!reduction) return std::nullopt;
  input.reduction = *reduction;
  return input;
}

}  // namespace korv::cli
