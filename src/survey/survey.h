// A survey as the office sees it: the records of a raw data file or a coordinate list read into
// a compact model (set-ups, observations, coordinate records, lines not understood, each with its
// line number), and the reduction of the observations to easting, northing and elevation.
// The check report, the plan view and the raw data to coordinate list conversion all start
// here. No Qt.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

class IniFile;

// The unit the instrument wrote its angles in. Dms is degrees.minutesseconds (12.3045 is
// 12 degrees 30 minutes 45 seconds), as many instruments write.
enum class AngleUnit { Degrees, Gon, Mil, Dms };

// The command line's words: "deg", "gon", "mil", "dms"; nullopt for any other word.
const char* AngleUnitWord(AngleUnit unit);
std::optional<AngleUnit> AngleUnitFromWord(std::string_view word);
// The SDR settings' angle unit (Degrees, Gon, Mil; Gon when nothing is selected).
AngleUnit StoredAngleUnit(const IniFile& ini);

// An angle written in `unit` as radians, and back. A Dms value's minutes and seconds must be
// below 60; AngleInRange tells.
double AngleToRadians(double value, AngleUnit unit);
double RadiansToAngle(double radians, AngleUnit unit);
// True when `value` is a valid reading in `unit`: 0 up to (not including) a full circle, and
// for Dms minutes and seconds below 60.
bool AngleInRange(double value, AngleUnit unit);

struct ReductionOptions {
  AngleUnit angleUnit = AngleUnit::Gon;
  // Earth curvature and refraction on height differences: dh += (1 - k) * hd^2 / (2 R).
  bool curvatureAndRefraction = false;
  double refractionConstant = 0.132;  // k: 0.132 or 0.200
  // Horizontal distances reduced to sea level: hd * R / (R + station elevation).
  bool seaLevel = false;
  static constexpr double kEarthRadius = 6371000.0;  // R, metres
};

// A text of the model, kept once in the model's text pool (a million points must not cost a
// million heap blocks). Survey::Text turns it into a view.
struct TextSpan {
  uint32_t offset = 0;
  uint32_t size = 0;
};

constexpr uint32_t kNoIndex = UINT32_MAX;

// Record types the model knows; Other is any other type (counted by its own text).
enum class RecordKind : uint8_t {
  Comment,          // "CO"
  Station,          // "ST"
  SideShot,         // "SS"
  Observation,      // "SO"
  ControlPoint,     // "CP"
  UserPoint,        // "UP"
  MeasuredPoint,    // "MP"
  CalculatedPoint,  // "CC"
  Resection,        // "RE"
  UserCode,         // "UC"
  MeasuredCode,     // "MC"
  CoordinateLine,   // a line of a coordinate list
  Other
};
// "CO", "ST", ... ; "coordinate line" for CoordinateLine, "other" for Other.
const char* RecordKindWord(RecordKind kind);

// Why a set-up's orientation correction is what it is.
enum class Orientation : uint8_t {
  Unplaced,      // the station's coordinates are not known: nothing from it is reduced
  FromBacksight, // azimuth station -> backsight minus the backsight direction
  Assumed,       // backsight unknown: the circle is taken as oriented, correction 0
};

// An "ST" record, and what the reduction found for it.
struct SetUp {
  uint32_t line = 0;
  TextSpan station, code, backsight;
  double instrumentHeight = 0;
  double backsightDirection = 0;  // as written, in the angle unit
  // Its instrument height or backsight direction did not read: nothing observed from it is
  // reduced, as its points would be misplaced.
  bool notRead = false;
  // Filled by Reduce:
  Orientation orientation = Orientation::Unplaced;
  double correction = 0;  // radians, added to a horizontal angle to give an azimuth
  double east = 0, north = 0, elevation = 0;
  bool hasElevation = false;
  uint32_t observations = 0;  // observations recorded under this set-up
  uint32_t reduced = 0;       // of which reduced to a point
};

// An "SS", "SO" or "CP" record. Values as written (angles in the angle unit).
struct Observation {
  uint32_t line = 0;
  uint32_t setUp = kNoIndex;  // index into Survey::setUps; kNoIndex before any "ST"
  RecordKind kind = RecordKind::SideShot;
  TextSpan name, code;
  double targetHeight = 0;
  double slopeDistance = 0;
  double horizontalAngle = 0;
  double zenithAngle = 0;
};

// A point with plane coordinates: a coordinate record ("UP", "MP", "CC", "RE" or a coordinate
// list line) or an observation reduced by Reduce.
struct Point {
  uint32_t line = 0;
  RecordKind kind = RecordKind::UserPoint;
  TextSpan name, code;
  double east = 0, north = 0, elevation = 0;
  bool hasElevation = false;    // the elevation field was not empty (or could be computed)
  uint32_t setUp = kNoIndex;    // the set-up it was observed from; kNoIndex for a record
  bool repeated = false;        // filled by Reduce: an earlier point has the same name
};

// A line the reader did not understand.
enum class LineFault : uint8_t {
  UnknownRecordType,  // field 1 is no record type the program knows
  TooFewFields,       // fewer fields than the record type needs
  BadNumber,          // a numeric field whose text is not a number ("12,5", "x")
  OutOfRange,         // a number that cannot be (a negative distance, an angle of a circle or more)
};
const char* LineFaultWord(LineFault fault);  // "unknown record type", "too few fields", ...

struct LineProblem {
  uint32_t line = 0;
  LineFault fault = LineFault::UnknownRecordType;
  uint8_t field = 0;  // the field concerned, numbered from 1; 0 for the whole line
  std::string text;   // the line as it stands in the file (cut at 200 characters)
};

// How many lines `problems` (in line order) name: a line may have a problem in each field.
size_t ProblemLineCount(const std::vector<LineProblem>& problems);

// An observation that could not be reduced, and why.
enum class ReductionFault : uint8_t {
  NoSetUp,         // before any "ST" record
  StationUnknown,  // the set-up's station has no coordinates
  NoDistance,      // slope distance empty or 0
  SetUpNotRead,    // the set-up's instrument height or backsight direction did not read
};
const char* ReductionFaultWord(ReductionFault fault);

struct Unreduced {
  uint32_t observation = 0;  // index into Survey::observations
  ReductionFault fault = ReductionFault::NoSetUp;
};

// Two values of one point name that differ by more than half a millimetre in any coordinate:
// the first (which wins) and a later one.
struct NameConflict {
  uint32_t first = 0;   // index into Survey::points
  uint32_t later = 0;   // index into Survey::points
};

// Number of lines of one record type ("SS", "ZZ", ...).
struct RecordCount {
  std::string type;
  uint32_t count = 0;
};

struct Survey {
  std::string source;                 // the file's path as given
  // The unit the reader checks a raw data file's angles in (0 up to a full circle): set it
  // before reading, to the unit of the ReductionOptions that Reduce is given.
  AngleUnit angleUnit = AngleUnit::Gon;
  bool raw = true;                    // a raw data file; false for a coordinate list
  int coordOrder = 0;                 // CoordOrder::kNEZ or kENZ, as used for the records
  bool coordOrderDeclared = false;    // a "Coord Order:" comment gave it
  uint32_t lines = 0;                 // lines read, blank ones included
  std::vector<RecordCount> counts;    // by record type, in the order first seen
  std::vector<SetUp> setUps;          // in file order
  std::vector<Observation> observations;  // in file order
  // Coordinate records in file order; Reduce appends the reduced observations after them.
  std::vector<Point> points;
  uint32_t recordPoints = 0;          // points[0 .. recordPoints) are coordinate records
  std::vector<LineProblem> problems;  // in line order
  // Filled by Reduce:
  std::vector<Unreduced> unreduced;
  std::vector<NameConflict> conflicts;
  std::string pool;                   // the texts of every TextSpan

  std::string_view Text(TextSpan span) const { return {pool.data() + span.offset, span.size}; }
};

// Reads a raw data file. The coordinate order is the file's "CO,Coord Order:" comment when it
// has one, else `coordOrderSetting`. Returns false with `fault` set ("Cannot read ...") when
// the file cannot be read; a line not understood is a problem, never a failure.
//
// What enters the model from a line with a problem: a set-up always (marked `notRead` when its
// instrument height or backsight direction does not read), so that the observations after it
// are not credited to the set-up before; an observation or a coordinate record only when every
// number it is placed by reads (a coordinate record's elevation that does not read is left
// empty). A comment "Coord Order: NEZ" (or ENZ) applies to the coordinate records after it;
// survey.coordOrder is the order in force at the end of the file. Empty numeric fields read as
// 0; an empty point name (of an observation or a record), horizontal or zenith angle or plane
// coordinate is a missing field.
bool ReadRawSurvey(const std::string& path, int coordOrderSetting, Survey& survey,
                   std::string& fault);
// Reads a coordinate list (name, two plane coordinates in `coordOrder`, elevation, code).
bool ReadCoordinateSurvey(const std::string& path, int coordOrder, Survey& survey,
                          std::string& fault);
// The same on a stream, for a converter's stream level and tests; false when reading failed.
bool ReadRawSurvey(std::istream& in, int coordOrderSetting, Survey& survey);
bool ReadCoordinateSurvey(std::istream& in, int coordOrder, Survey& survey);

// Places every set-up and reduces every observation it can, in file order: a station's
// coordinates come from a coordinate record or from a point computed earlier in the file, the
// first value of a name winning. Appends the reduced points to survey.points and fills each
// set-up's result, survey.unreduced and survey.conflicts.
//
// The rule exactly: a set-up is placed when its first observation is reduced, with the points
// of the lines before that observation (coordinate records, and points reduced from earlier
// observations), the first value of each name; so a traverse carries on, a station computed
// from the set-up before being the next station. A set-up without observations is placed with
// every point of the file. The backsight is looked up the same way: known, it orients the
// circle (Orientation::FromBacksight); unknown, or at the station itself, correction 0
// (Assumed). A set-up marked `notRead` is never placed (Unplaced) and its observations are
// not reduced (SetUpNotRead). Per observation, angles in options.angleUnit:
//   hd = sd sin z, dh = sd cos z + instrument height - target height (+ (1 - k) hd^2 / 2R),
//   hd *= R / (R + station elevation) for sea level (when the station has an elevation),
//   azimuth = hz + correction, E = E0 + hd sin azimuth, N = N0 + hd cos azimuth,
//   elevation = station elevation + dh, none when the station has none.
// A face-two reading (hz + half a circle, z beyond half a circle) gives the same point. A
// later point of a known name is marked `repeated`; it is a conflict when it differs from the
// first by more than 0.0005 m in easting, northing or (both having one) elevation. Reduce can
// run again (other options): it starts from the records each time.
void Reduce(Survey& survey, const ReductionOptions& options);

}  // namespace korv
