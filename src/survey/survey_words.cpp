// The words the report, the JSON and the command line use for the model's enumerations, and
// the angle unit stored in the settings file.
#include "formats/sdr_options.h"
#include "survey/survey.h"

namespace korv {

const char* AngleUnitWord(AngleUnit unit) {
  switch (unit) {
    case AngleUnit::Degrees: return "deg";
    case AngleUnit::Gon: return "gon";
    case AngleUnit::Mil: return "mil";
    case AngleUnit::Dms: return "dms";
  }
  return "gon";
}

std::optional<AngleUnit> AngleUnitFromWord(std::string_view word) {
  for (AngleUnit unit : {AngleUnit::Degrees, AngleUnit::Gon, AngleUnit::Mil, AngleUnit::Dms}) {
    if (word == AngleUnitWord(unit)) return unit;
  }
  return std::nullopt;
}

AngleUnit StoredAngleUnit(const IniFile& ini) {
  switch (ReadSdrSettings(ini).selected[kSdrAngleUnits]) {
    case 0: return AngleUnit::Degrees;
    case 2: return AngleUnit::Mil;
    default: return AngleUnit::Gon;
  }
}

const char* RecordKindWord(RecordKind kind) {
  switch (kind) {
    case RecordKind::Comment: return "CO";
    case RecordKind::Station: return "ST";
    case RecordKind::SideShot: return "SS";
    case RecordKind::Observation: return "SO";
    case RecordKind::ControlPoint: return "CP";
    case RecordKind::UserPoint: return "UP";
    case RecordKind::MeasuredPoint: return "MP";
    case RecordKind::CalculatedPoint: return "CC";
    case RecordKind::Resection: return "RE";
    case RecordKind::UserCode: return "UC";
    case RecordKind::MeasuredCode: return "MC";
    case RecordKind::CoordinateLine: return "coordinate line";
    case RecordKind::Other: return "other";
  }
  return "other";
}

const char* LineFaultWord(LineFault fault) {
  switch (fault) {
    case LineFault::UnknownRecordType: return "unknown record type";
    case LineFault::TooFewFields: return "too few fields";
    case LineFault::BadNumber: return "a number that does not read";
    case LineFault::OutOfRange: return "a value out of range";
  }
  return "";
}

const char* ReductionFaultWord(ReductionFault fault) {
  switch (fault) {
    case ReductionFault::NoSetUp: return "no set-up before it";
    case ReductionFault::StationUnknown: return "the station's coordinates are not known";
    case ReductionFault::NoDistance: return "no slope distance";
    case ReductionFault::SetUpNotRead:
      return "its set-up's line is not understood";
  }
  return "";
}

size_t ProblemLineCount(const std::vector<LineProblem>& problems) {
  size_t lines = 0;
  for (size_t i = 0; i < problems.size(); ++i) {
    if (i == 0 || problems[i].line != problems[i - 1].line) ++lines;
  }
  return lines;
}

}  // namespace korv
