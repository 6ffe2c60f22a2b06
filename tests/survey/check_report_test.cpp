// The check report of a survey filled by hand as the reader and the reduction leave it: one
// fault of each kind, every one found with its line in the text and in the JSON (the JSON
// compared as a whole with one written from the rules), what counts as a problem and what as
// a warning, long lists cut in the text only.
#include "survey/check_report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace korv {
namespace {

using Json = nlohmann::json;

TextSpan Add(Survey& s, std::string_view text) {
  TextSpan span{static_cast<uint32_t>(s.pool.size()), static_cast<uint32_t>(text.size())};
  s.pool.append(text);
  return span;
}

SetUp MakeSetUp(Survey& s, uint32_t line, std::string_view station, std::string_view code,
                std::string_view backsight, Orientation orientation, double correction,
                uint32_t observations, uint32_t reduced) {
  SetUp u;
  u.line = line;
  u.station = Add(s, station);
  u.code = Add(s, code);
  u.backsight = Add(s, backsight);
  u.instrumentHeight = 1.5;
  u.orientation = orientation;
  u.correction = correction;
  u.observations = observations;
  u.reduced = reduced;
  return u;
}

Observation MakeObservation(Survey& s, uint32_t line, uint32_t setUp, std::string_view name,
                            std::string_view code) {
  Observation o;
  o.line = line;
  o.setUp = setUp;
  o.kind = RecordKind::SideShot;
  o.name = Add(s, name);
  o.code = Add(s, code);
  o.targetHeight = 1.5;
  o.slopeDistance = 10;
  o.zenithAngle = 100;
  return o;
}

Point MakePoint(Survey& s, uint32_t line, RecordKind kind, std::string_view name,
                std::string_view code, double east, double north, std::optional<double> elevation,
                uint32_t setUp = kNoIndex) {
  Point p;
  p.line = line;
  p.kind = kind;
  p.name = Add(s, name);
  p.code = Add(s, code);
  p.east = east;
  p.north = north;
  p.hasElevation = elevation.has_value();
  p.elevation = elevation.value_or(0);
  p.setUp = setUp;
  return p;
}

// This raw data file, read with the angles in gon and reduced:
//  1 CO,Coord Order: NEZ
//  2 ST,S1,STN,B1,,1.500,0.0000           oriented on B1, correction 0.1 gon
//  3 UP,S1,,1000.000,2000.000,50.000,STN
//  4 UP,B1,,1100.000,2000.000,51.000,
//  5 ZZ,what is this                      unknown record type
//  6 SS,P1,1.500,10.000,1x,100.0000,,TREE  a number that does not read (field 5)
//  7 SS,P2,1.500,0.000,50.0000,100.0000,,  no slope distance
//  8 ST,S9,,B1,,1.500,0.0000              S9 unknown
//  9 SS,P3,1.500,10.000,50.0000,100.0000,, not reduced: station unknown
// 10 ST,S1,,NOPE,,1.500,0.0000            backsight unknown: orientation assumed
// 11 SS,P4,1.500,10.000,0.0000,100.0000,,KERBSTONE-EDGE
// 12 UP,S1,,1000.300,2000.400,50.500,     S1 again, 0.5 m off
// 13 UP,LONGNAME-01,,1010.000,2010.000,55.000,
// 14 UP,LONGNAME-02,,1020.000,2020.000,56.000,  equal to line 13 in KOF's 10 characters
// 15 UP,NOELEV,,1030.000,2030.000,,             no elevation (a warning)
// 16
Survey FaultySurvey() {
  constexpr double kPi = 3.14159265358979323846;
  Survey s;
  s.source = "job.raw";
  s.raw = true;
  s.coordOrder = 0;
  s.coordOrderDeclared = true;
  s.lines = 16;
  s.counts = {{"CO", 1}, {"ST", 3}, {"UP", 6}, {"ZZ", 1}, {"SS", 4}};
  s.setUps = {MakeSetUp(s, 2, "S1", "STN", "B1", Orientation::FromBacksight, kPi / 2000, 1, 0),
              MakeSetUp(s, 8, "S9", "", "B1", Orientation::Unplaced, 0, 1, 0),
              MakeSetUp(s, 10, "S1", "", "NOPE", Orientation::Assumed, 0, 1, 1)};
  s.observations = {MakeObservation(s, 7, 0, "P2", ""), MakeObservation(s, 9, 1, "P3", ""),
                    MakeObservation(s, 11, 2, "P4", "KERBSTONE-EDGE")};
  s.observations[0].slopeDistance = 0;
  const RecordKind up = RecordKind::UserPoint;
  s.points = {MakePoint(s, 3, up, "S1", "STN", 2000, 1000, 50),
              MakePoint(s, 4, up, "B1", "", 2000, 1100, 51),
              MakePoint(s, 12, up, "S1", "", 2000.4, 1000.3, 50.5),
              MakePoint(s, 13, up, "LONGNAME-01", "", 2010, 1010, 55),
              MakePoint(s, 14, up, "LONGNAME-02", "", 2020, 1020, 56),
              MakePoint(s, 15, up, "NOELEV", "", 2030, 1030, std::nullopt),
              MakePoint(s, 11, RecordKind::SideShot, "P4", "KERBSTONE-EDGE", 2000, 1010, 50, 2)};
  s.recordPoints = 6;
  s.problems = {{5, LineFault::UnknownRecordType, 0, "ZZ,what is this"},
                {6, LineFault::BadNumber, 5, "SS,P1,1.500,10.000,1x,100.0000,,TREE"}};
  s.unreduced = {{0, ReductionFault::NoDistance}, {1, ReductionFault::StationUnknown}};
  s.conflicts = {{0, 2}};
  return s;
}

// The lines of the text section whose heading starts with `heading`, up to the next blank line.
std::vector<std::string> Section(const std::string& text, const std::string& heading) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!inside) {
      inside = line.rfind(heading, 0) == 0;
      if (inside) lines.push_back(line);
    } else if (line.empty()) {
      break;
    } else {
      lines.push_back(line);
    }
  }
  return lines;
}

// The row of a section whose words are `words` (columns separated by runs of blanks).
bool HasRow(const std::vector<std::string>& section, const std::vector<std::string>& words) {
  for (const std::string& line : section) {
    std::istringstream in(line);
    std::vector<std::string> got;
    std::string w;
    while (in >> w) got.push_back(w);
    if (got == words) return true;
  }
  return false;
}

TEST(CheckReport, FindsEachFaultWithItsLineInTextAndJson) {
  const Survey s = FaultySurvey();
  CheckOptions options;
  options.angleUnit = AngleUnit::Gon;
  const CheckReport r = MakeCheckReport(s, options);
  EXPECT_TRUE(r.problems);

  const Json expected = Json::parse(R"({
    "version": 1, "file": "job.raw", "data": "raw", "lines": 16, "problems": true,
    "encoding": "windows-1252", "angle_unit": "gon",
    "coordinate_order": {"order": "nez", "declared": true},
    "records": [{"type": "CO", "count": 1}, {"type": "ST", "count": 3}, {"type": "UP", "count": 6},
                {"type": "ZZ", "count": 1}, {"type": "SS", "count": 4}],
    "coordinate_records": 6,
    "extent": {"points": 7, "points_with_elevation": 6, "east": {"min": 2000, "max": 2030},
               "north": {"min": 1000, "max": 1100}, "elevation": {"min": 50, "max": 56}},
    "set_ups": [
      {"line": 2, "station": "S1", "code": "STN", "backsight": "B1", "orientation": "backsight",
       "correction": 0.1, "observations": 1, "reduced": 0},
      {"line": 8, "station": "S9", "code": "", "backsight": "B1", "orientation": "unplaced",
       "correction": null, "observations": 1, "reduced": 0},
      {"line": 10, "station": "S1", "code": "", "backsight": "NOPE", "orientation": "assumed",
       "correction": 0, "observations": 1, "reduced": 1}],
    "line_problems": [
      {"line": 5, "field": 0, "fault": "unknown_record_type", "reason": "unknown record type",
       "text": "ZZ,what is this"},
      {"line": 6, "field": 5, "fault": "bad_number", "reason": "a number that does not read",
       "text": "SS,P1,1.500,10.000,1x,100.0000,,TREE"}],
    "conflicts": [{"name": "S1", "first_line": 3, "later_line": 12, "d_east": 0.4,
                   "d_north": 0.3, "d_elevation": 0.5, "horizontal": 0.5}],
    "unreduced": [
      {"line": 7, "record": "SS", "name": "P2", "fault": "no_distance",
       "reason": "no slope distance"},
      {"line": 9, "record": "SS", "name": "P3", "fault": "station_unknown",
       "reason": "the station's coordinates are not known"}],
    "without_elevation": [{"line": 15, "record": "UP", "name": "NOELEV"}],
    "cuts": [
      {"target": "kof", "name_chars": 10, "code_chars": 8,
       "equal_after_cut": [{"cut": "LONGNAME-0", "names": [
           {"line": 13, "record": "UP", "name": "LONGNAME-01"},
           {"line": 14, "record": "UP", "name": "LONGNAME-02"}]}],
       "names": [
         {"line": 13, "record": "UP", "name": "LONGNAME-01", "cut": "LONGNAME-0", "chars": 10},
         {"line": 14, "record": "UP", "name": "LONGNAME-02", "cut": "LONGNAME-0", "chars": 10}],
       "codes": [{"code": "KERBSTONE-EDGE", "cut": "KERBSTON", "chars": 8, "first_line": 11,
                  "count": 1}]},
      {"target": "sdr", "name_chars": 16, "code_chars": 16, "equal_after_cut": [], "names": [],
       "codes": []},
      {"target": "upload", "name_chars": 12, "code_chars": 12, "equal_after_cut": [],
       "names": [],
       "codes": [{"code": "KERBSTONE-EDGE", "cut": "KERBSTONE-ED", "chars": 12,
                  "first_line": 11, "count": 1}]}]
  })");
  const Json actual = Json::parse(CheckReportJson(s, r));
  EXPECT_EQ(actual, expected) << Json::diff(expected, actual).dump(1);

  const std::string text = CheckReportText(s, r);
  EXPECT_NE(text.find("Result: problems found\n"), std::string::npos) << text;
  const auto setUps = Section(text, "Set-ups: 3 (1 with assumed orientation, 1 with the station");
  EXPECT_TRUE(HasRow(setUps, {"line", "station", "backsight", "orientation", "correction", "(gon)",
                              "observations", "reduced"}))
      << text;
  EXPECT_TRUE(HasRow(setUps, {"2", "S1", "B1", "from", "backsight", "0.1000", "1", "0"})) << text;
  EXPECT_TRUE(HasRow(setUps, {"8", "S9", "B1", "station", "unknown", "-", "1", "0"})) << text;
  EXPECT_TRUE(HasRow(setUps, {"10", "S1", "NOPE", "assumed", "0.0000", "1", "1"})) << text;
  const auto problems = Section(text, "Lines not understood: 2");
  EXPECT_TRUE(HasRow(problems, {"5", "-", "unknown", "record", "type", "ZZ,what", "is", "this"}))
      << text;
  EXPECT_TRUE(HasRow(problems, {"6", "5", "a", "number", "that", "does", "not", "read",
                                "SS,P1,1.500,10.000,1x,100.0000,,TREE"}))
      << text;
  EXPECT_TRUE(HasRow(Section(text, "Names with two positions: 1"),
                     {"S1", "3", "12", "0.400", "0.300", "0.500", "0.500"}))
      << text;
  const auto unreduced = Section(text, "Observations not reduced: 2");
  EXPECT_TRUE(HasRow(unreduced, {"7", "SS", "P2", "no", "slope", "distance"})) << text;
  EXPECT_TRUE(HasRow(unreduced,
                     {"9", "SS", "P3", "the", "station's", "coordinates", "are", "not", "known"}))
      << text;
  EXPECT_TRUE(
      HasRow(Section(text, "Points without elevation (warning): 1"), {"15", "UP", "NOELEV"}))
      << text;
  const auto kof = Section(text, "KOF: names 10 characters, codes 8");
  EXPECT_TRUE(HasRow(kof, {"Different", "names", "equal", "after", "the", "cut:", "1"})) << text;
  EXPECT_TRUE(HasRow(kof, {"LONGNAME-0", "LONGNAME-01", "13"})) << text;
  EXPECT_TRUE(HasRow(kof, {"LONGNAME-0", "LONGNAME-02", "14"})) << text;
  EXPECT_TRUE(HasRow(kof, {"11", "KERBSTONE-EDGE", "KERBSTON", "1"})) << text;
  EXPECT_EQ(
      Section(text, "SDR-33: names 16 characters, codes 16"),
      (std::vector<std::string>{"SDR-33: names 16 characters, codes 16", "  Nothing is cut."}))
      << text;

  // The points to mark on a plan: both positions of S1, both long names.
  EXPECT_EQ(ProblemPoints(s, r), (std::vector<uint32_t>{0, 2, 3, 4}));
}

// Warnings alone leave nothing wrong; each problem alone is one.
TEST(CheckReport, WarningsAreNoProblemsButEachProblemIs) {
  Survey s;
  s.source = "clean.raw";
  s.lines = 3;
  s.setUps = {MakeSetUp(s, 1, "S1", "", "B1", Orientation::FromBacksight, 0, 1, 1)};
  s.points = {MakePoint(s, 2, RecordKind::UserPoint, "VERY-LONG-NAME-1234", "VERY-LONG-CODE-1234",
                        10, 20, std::nullopt),
              MakePoint(s, 3, RecordKind::SideShot, "P1", "", 11, 21, 5, 0)};
  s.recordPoints = 1;
  s.observations = {MakeObservation(s, 3, 0, "P1", "")};
  const CheckReport clean = MakeCheckReport(s, {});
  EXPECT_FALSE(clean.problems);
  EXPECT_EQ(clean.withoutElevation, std::vector<uint32_t>{0});
  for (const TargetCuts& cuts : clean.cuts) {
    EXPECT_EQ(cuts.names.size(), 1u) << CutTargetWord(cuts.target);
    EXPECT_TRUE(cuts.collisions.empty()) << CutTargetWord(cuts.target);
  }
  EXPECT_NE(CheckReportText(s, clean).find("Result: nothing wrong\n"), std::string::npos);

  auto expectProblem = [&](const char* what, auto change) {
    Survey faulty = s;
    change(faulty);
    EXPECT_TRUE(MakeCheckReport(faulty, {}).problems) << what;
  };
  expectProblem("line problem", [](Survey& f) {
    f.problems.push_back({2, LineFault::TooFewFields, 0, "SS"});
  });
  expectProblem("unreduced", [](Survey& f) {
    f.unreduced.push_back({0, ReductionFault::NoDistance});
  });
  expectProblem("conflict", [](Survey& f) { f.conflicts.push_back({0, 1}); });
  expectProblem("assumed", [](Survey& f) { f.setUps[0].orientation = Orientation::Assumed; });
  expectProblem("station unknown",
                [](Survey& f) { f.setUps[0].orientation = Orientation::Unplaced; });
  expectProblem("equal after the cut", [](Survey& f) {
    f.points.insert(f.points.begin() + 1,
                    MakePoint(f, 4, RecordKind::UserPoint, "VERY-LONG-NAME-9", "", 1, 2, 3));
    f.recordPoints = 2;
  });
}

// Names are trimmed before the cut where the writer trims them, and in the output's encoding a
// character of several bytes is one: "ÅSGÅRDSVEIEN-12" and "ÅSGÅRDSVEIEN-13" (15 characters,
// 17 bytes in UTF-8) collide in the upload's 12 characters and fit SDR-33's 16.
TEST(CheckReport, CutsCountCharactersOfTheFileEncodingAfterTrimming) {
  Survey s;
  s.source = "u.asc";
  s.raw = false;
  s.points = {
      MakePoint(s, 1, RecordKind::CoordinateLine, " \xC3\x85SG\xC3\x85RDSVEIEN-12 ", "", 1, 1, 1),
      MakePoint(s, 2, RecordKind::CoordinateLine, "\xC3\x85SG\xC3\x85RDSVEIEN-13", "", 2, 2, 2)};
  s.recordPoints = 2;
  CheckOptions utf8;
  utf8.encoding = TextEncoding::Utf8;
  const CheckReport r = MakeCheckReport(s, utf8);
  const TargetCuts& sdr = r.cuts[static_cast<size_t>(CutTarget::Sdr)];
  const TargetCuts& upload = r.cuts[static_cast<size_t>(CutTarget::Upload)];
  EXPECT_TRUE(sdr.names.empty());
  ASSERT_EQ(upload.collisions.size(), 1u);
  EXPECT_EQ(s.Text(upload.collisions[0].cut), "\xC3\x85SG\xC3\x85RDSVEIEN");
  // In Windows-1252 the same bytes are 17 characters: SDR-33 cuts them too.
  const CheckReport bytes = MakeCheckReport(s, {});
  EXPECT_EQ(bytes.cuts[static_cast<size_t>(CutTarget::Sdr)].names.size(), 2u);
}

// Corrections in degrees.minutesseconds are rounded in seconds, so that they carry into the next
// minute or degree: -(0 deg 59 min 59.6 s) is -1.0000 to the second, never -0.5960 (59 minutes
// 60 seconds); 12 deg 59 min 59.999 s is 13.000000 to a hundredth of a second.
TEST(CheckReport, CorrectionsInDegreesMinutesSecondsCarry) {
  constexpr double kPi = 3.14159265358979323846;
  constexpr double kSecond = kPi / (180.0 * 3600.0);
  Survey s;
  s.source = "dms.raw";
  s.lines = 2;
  s.setUps = {MakeSetUp(s, 1, "A", "", "B", Orientation::FromBacksight, -3599.6 * kSecond, 0, 0),
              MakeSetUp(s, 2, "C", "", "D", Orientation::FromBacksight,
                        (12 * 3600 + 59 * 60 + 59.999) * kSecond, 0, 0),
              MakeSetUp(s, 3, "E", "", "F", Orientation::FromBacksight,
                        (12 * 3600 + 34 * 60 + 56.4) * kSecond, 0, 0)};
  CheckOptions dms;
  dms.angleUnit = AngleUnit::Dms;
  const CheckReport r = MakeCheckReport(s, dms);
  const auto section = Section(CheckReportText(s, r), "Set-ups: 3");
  EXPECT_TRUE(HasRow(section, {"1", "A", "B", "from", "backsight", "-1.0000", "0", "0"}));
  EXPECT_TRUE(HasRow(section, {"2", "C", "D", "from", "backsight", "13.0000", "0", "0"}));
  EXPECT_TRUE(HasRow(section, {"3", "E", "F", "from", "backsight", "12.3456", "0", "0"}));
  const Json json = Json::parse(CheckReportJson(s, r));
  EXPECT_EQ(json["set_ups"][0]["correction"], -0.5959600);
  EXPECT_EQ(json["set_ups"][1]["correction"], 13.0);
  EXPECT_EQ(json["set_ups"][2]["correction"], 12.345640);
}

// Text lists stop after twenty rows and say how many more there are; the JSON has them all.
TEST(CheckReport, LongListsAreCutInTheTextOnly) {
  Survey s;
  s.source = "many.raw";
  for (uint32_t line = 1; line <= 25; ++line)
    s.problems.push_back({line, LineFault::UnknownRecordType, 0, "ZZ," + std::to_string(line)});
  s.problems.push_back({25, LineFault::BadNumber, 3, "ZZ,25"});  // a line of two problems
  s.lines = 25;
  const CheckReport r = MakeCheckReport(s, {});
  const auto section = Section(CheckReportText(s, r), "Lines not understood: 25");
  ASSERT_EQ(section.size(), 1u + 1u + 20u + 1u);  // heading, column heads, rows, the rest
  EXPECT_TRUE(HasRow(section, {"20", "-", "unknown", "record", "type", "ZZ,20"}));
  EXPECT_FALSE(HasRow(section, {"21", "-", "unknown", "record", "type", "ZZ,21"}));
  EXPECT_EQ(section.back(), "  ... and 6 more");
  EXPECT_EQ(Json::parse(CheckReportJson(s, r))["line_problems"].size(), 26u);
}

}  // namespace
}  // namespace korv
