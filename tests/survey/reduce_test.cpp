// The reduction: surveys made from known points (observations computed here, exactly, in every
// angle unit and on both faces) must reduce back to those points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "core/coord_order.h"
#include "survey/check_report.h"
#include "survey/survey.h"

namespace korv {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kR = ReductionOptions::kEarthRadius;

struct Known {
  double e, n, h;
};

Survey ReadAndReduce(const std::string& text, const ReductionOptions& options) {
  Survey survey;
  survey.angleUnit = options.angleUnit;
  std::istringstream in(text);
  EXPECT_TRUE(ReadRawSurvey(in, CoordOrder::kNEZ, survey));
  EXPECT_TRUE(survey.problems.empty())
      << survey.problems[0].line << ": " << survey.problems[0].text;
  Reduce(survey, options);
  return survey;
}

const Point* FindPoint(const Survey& s, const std::string& name) {
  for (const Point& p : s.points) {
    if (s.Text(p.name) == name) return &p;
  }
  return nullptr;
}

// The point `name` exists and lies at east, north, elevation within `tolerance`.
void ExpectPointAt(const Survey& s, const std::string& name, double east, double north,
                   double elevation, double tolerance) {
  const Point* p = FindPoint(s, name);
  ASSERT_NE(p, nullptr) << name;
  EXPECT_NEAR(p->east, east, tolerance) << name;
  EXPECT_NEAR(p->north, north, tolerance) << name;
  EXPECT_NEAR(p->elevation, elevation, tolerance) << name;
}

// A worked example, by hand, in degrees:
//   station A  E 500.000  N 1000.000  H 50.000, instrument height 1.600
//   backsight B  E 600.000  N 1100.000: azimuth A->B = atan(100/100) = 45 deg; the circle reads
//   15 deg on B, so the correction is 45 - 15 = 30 deg.
//   P: horizontal angle 60, zenith 60, slope distance 20.000, target height 1.300
//   hd = 20 sin 60 = 17.3205; dh = 20 cos 60 + 1.600 - 1.300 = 10.300; azimuth = 60 + 30 = 90
//   E = 500 + 17.3205 sin 90 = 517.3205, N = 1000 + 17.3205 cos 90 = 1000.000, H = 60.300.
// The same survey in degrees.minutesseconds (45.3000 is 45.5 deg) turned by half a degree.
TEST(Reduce, WorkedExampleByHand) {
  const std::string deg =
      "UP,A,,1000.000,500.000,50.000,STN\r\nUP,B,,1100.000,600.000,,\r\n"
      "ST,A,,B,,1.600,15.0000\r\nSS,P,1.300,20.000,60.0000,60.0000,,X\r\n";
  const std::string dms =
      "UP,A,,1000.000,500.000,50.000,STN\r\nUP,B,,1100.000,600.000,,\r\n"
      "ST,A,,B,,1.600,15.3000\r\nSS,P,1.300,20.000,60.3000,60.0000,,X\r\n";
  for (const auto& [unit, text, correction] :
       {std::tuple{AngleUnit::Degrees, deg, 30.0}, {AngleUnit::Dms, dms, 29.5}}) {
    ReductionOptions options;
    options.angleUnit = unit;
    const Survey s = ReadAndReduce(text, options);
    ExpectPointAt(s, "P", 517.3205, 1000.000, 60.300, 1e-4);
    EXPECT_EQ(s.setUps[0].orientation, Orientation::FromBacksight);
    EXPECT_NEAR(s.setUps[0].correction * 180 / kPi, correction, 1e-9);
  }
}

// A traverse of three set-ups: S1 and its backsight are known; S2 is observed from S1 and is
// the next station, S3 from S2. Every set-up has its own circle orientation and observes its
// side shots on both faces ("SS" face one, "SO" face two), and the next station as "CP".
class Traverse {
 public:
  Traverse(AngleUnit unit, const ReductionOptions& options) : unit_(unit), o_(options) {
    known_ = {{"B0", {1000.0, 5000.0, 80.0}},  {"S1", {1100.0, 5150.0, 85.5}},
              {"S2", {1350.25, 5210.5, 92.0}}, {"S3", {1500.0, 5050.0, 70.25}},
              {"P1", {1120.0, 5180.0, 86.0}},  {"P2", {1060.5, 5100.25, 84.0}},
              {"P3", {1400.0, 5400.0, 120.5}}, {"P4", {1300.0, 5000.0, 60.0}},
              {"P5", {1899.0, 4700.0, 40.0}},  {"P6", {1500.1, 5050.2, 71.0}}};
  }

  std::string File() {
    out_ = "CO,Coord Order: ENZ\r\n";
    Record("B0");
    Record("S1");
    SetUp("S1", "B0", 1.55, 37.0, {"P1", "P2"}, "S2");
    SetUp("S2", "S1", 1.62, 301.5, {"P3", "P4"}, "S3");
    SetUp("S3", "S2", 1.48, 0.0, {"P5", "P6"}, "");
    return out_;
  }

  const std::map<std::string, Known>& known() const { return known_; }

 private:
  void Record(const std::string& name) {
    const Known& k = known_[name];
    Line("UP," + name + ",," + Num(k.e) + "," + Num(k.n) + "," + Num(k.h) + ",CTRL");
  }

  // A set-up whose circle reads `zeroAzimuth` (degrees) less than the azimuth.
  void SetUp(const std::string& station, const std::string& backsight, double hi,
             double zeroAzimuth, std::vector<std::string> shots, const std::string& next) {
    const Known& s = known_[station];
    const Known& b = known_[backsight];
    const double offset = zeroAzimuth * kPi / 180;
    Line("ST," + station + ",," + backsight + ",," + Num(hi) + "," +
         Angle(std::atan2(b.e - s.e, b.n - s.n) - offset));
    for (const std::string& p : shots) {
      Shot("SS", p, s, hi, offset, false);
      Shot("SO", p, s, hi, offset, true);
    }
    if (!next.empty()) Shot("CP", next, s, hi, offset, false);
  }

  // The observation of `name` from `s`, inverting the reduction: the horizontal distance
  // measured on the ground is the sea-level one enlarged, the height difference measured lacks
  // the curvature and refraction term.
  void Shot(const char* type, const std::string& name, const Known& s, double hi, double offset,
            bool faceTwo) {
    const Known& p = known_[name];
    const double th = 1.3 + 0.1 * static_cast<double>(out_.size() % 5);
    double hd = std::hypot(p.e - s.e, p.n - s.n);
    if (o_.seaLevel) hd *= (kR + s.h) / kR;
    double dh = p.h - s.h - hi + th;
    if (o_.curvatureAndRefraction) dh -= (1 - o_.refractionConstant) * hd * hd / (2 * kR);
    const double sd = std::hypot(hd, dh);
    double zenith = std::atan2(hd, dh);
    double hz = std::atan2(p.e - s.e, p.n - s.n) - offset;
    if (faceTwo) {
      zenith = 2 * kPi - zenith;
      hz += kPi;
    }
    const std::string prefix = std::string(type) + "," + name + (type[1] == 'S' ? "," : ",,");
    Line(prefix + Num(th) + "," + Num(sd) + "," + Angle(hz) + "," + Angle(zenith) + ",,CODE");
  }

  // Radians in the unit, brought into one circle.
  std::string Angle(double radians) {
    radians = std::fmod(radians, 2 * kPi);
    if (radians < 0) radians += 2 * kPi;
    return Num(RadiansToAngle(radians, unit_));
  }
  static std::string Num(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10f", v);
    return text;
  }
  void Line(const std::string& line) { out_ += line + "\r\n"; }

  AngleUnit unit_;
  ReductionOptions o_;
  std::map<std::string, Known> known_;
  std::string out_;
};

void ExpectTraverseReduces(const ReductionOptions& options) {
  Traverse traverse(options.angleUnit, options);
  const Survey s = ReadAndReduce(traverse.File(), options);
  EXPECT_TRUE(s.unreduced.empty());
  EXPECT_TRUE(s.conflicts.empty()) << s.Text(s.points[s.conflicts[0].later].name);
  ASSERT_EQ(s.setUps.size(), 3u);
  for (const SetUp& u : s.setUps) {
    EXPECT_EQ(u.orientation, Orientation::FromBacksight);
    EXPECT_EQ(u.reduced, u.observations);
  }
  // Each side shot twice (both faces), and S2, S3.
  ASSERT_EQ(s.points.size(), 2u + 2 * 6 + 2);
  for (const Point& p : s.points) {
    const std::string name(s.Text(p.name));
    const Known& k = traverse.known().at(name);
    EXPECT_NEAR(p.east, k.e, 0.0005) << name;
    EXPECT_NEAR(p.north, k.n, 0.0005) << name;
    EXPECT_TRUE(p.hasElevation);
    EXPECT_NEAR(p.elevation, k.h, 0.0005) << name;
  }
}

TEST(Reduce, TraverseOnBothFacesInEveryAngleUnit) {
  for (AngleUnit unit : {AngleUnit::Degrees, AngleUnit::Gon, AngleUnit::Mil, AngleUnit::Dms}) {
    SCOPED_TRACE(AngleUnitWord(unit));
    ReductionOptions options;
    options.angleUnit = unit;
    ExpectTraverseReduces(options);
  }
}

TEST(Reduce, TraverseWithCurvatureRefractionAndSeaLevel) {
  for (double k : {0.132, 0.200}) {
    ReductionOptions options;
    options.curvatureAndRefraction = true;
    options.refractionConstant = k;
    options.seaLevel = true;
    ExpectTraverseReduces(options);
  }
  // The corrections matter at these distances: without them the same file is off.
  ReductionOptions on;
  on.curvatureAndRefraction = on.seaLevel = true;
  Traverse traverse(AngleUnit::Gon, on);
  const Survey s = ReadAndReduce(traverse.File(), ReductionOptions());
  const Point* p5 = FindPoint(s, "P5");
  ASSERT_NE(p5, nullptr);
  EXPECT_GT(std::fabs(p5->elevation - traverse.known().at("P5").h), 0.005);
}

// The placing rule, the reasons for what is not reduced, and name conflicts.
TEST(Reduce, PlacesInFileOrderAndSaysWhatIsNotReduced) {
  const std::string text =
      "SS,EARLY,1.5,10,0,100,,\r\n"                // 1: before any set-up
      "UP,A,,100.000,200.000,,\r\n"                // 2: no elevation
      "ST,A,,NOBS,,1.5,0\r\n"                      // 3: backsight unknown: assumed
      "SS,P1,1.5,10.000,100.0000,100.0000,,\r\n"   // 4: east of A
      "SS,P0,1.5,,100.0000,100.0000,,\r\n"         // 5: no distance
      "SS,P1,1.5,10.0003,100.0000,100.0000,,\r\n"  // 6: again, 0.3 mm off: the same point
      "SS,P1,1.5,10.002,100.0000,100.0000,,\r\n"   // 7: again, 2 mm off: a conflict
      "ST,LATE,,A,,1.5,0\r\n"                      // 8: placed only at its first observation
      "SS,Q,1.5,10,0,100,,\r\n"                    // 9: LATE is not known yet
      "UP,LATE,,0,0,0,\r\n"                        // 10: too late for line 9
      "ST,P1,,A,,1.5,0\r\n"                        // 11: a computed point as station
      "SS,R,1.5,10,0,100,,\r\n";                   // 12: towards A
  Survey s;
  std::istringstream in(text);
  ASSERT_TRUE(ReadRawSurvey(in, CoordOrder::kNEZ, s));
  Reduce(s, ReductionOptions());
  Reduce(s, ReductionOptions());  // again: the same result, nothing twice
  ASSERT_EQ(s.unreduced.size(), 3u);
  EXPECT_EQ(s.observations[s.unreduced[0].observation].line, 1u);
  EXPECT_EQ(s.unreduced[0].fault, ReductionFault::NoSetUp);
  EXPECT_EQ(s.observations[s.unreduced[1].observation].line, 5u);
  EXPECT_EQ(s.unreduced[1].fault, ReductionFault::NoDistance);
  EXPECT_EQ(s.observations[s.unreduced[2].observation].line, 9u);
  EXPECT_EQ(s.unreduced[2].fault, ReductionFault::StationUnknown);
  EXPECT_EQ(s.setUps[0].orientation, Orientation::Assumed);
  EXPECT_EQ(s.setUps[1].orientation, Orientation::Unplaced);
  EXPECT_EQ(s.setUps[2].orientation, Orientation::FromBacksight);
  EXPECT_EQ(s.setUps[0].observations, 4u);
  EXPECT_EQ(s.setUps[0].reduced, 3u);
  ASSERT_EQ(s.conflicts.size(), 1u);
  EXPECT_EQ(s.points[s.conflicts[0].first].line, 4u);
  EXPECT_EQ(s.points[s.conflicts[0].later].line, 7u);
  const Point* p1 = FindPoint(s, "P1");
  EXPECT_NEAR(p1->east, 210.0, 1e-9);
  EXPECT_NEAR(p1->north, 100.0, 1e-9);
  EXPECT_FALSE(p1->hasElevation);
  // From P1 (its first value), the circle reading 0 on A: R at 0 lies on A.
  const Point* r = FindPoint(s, "R");
  ASSERT_NE(r, nullptr);
  EXPECT_NEAR(r->east, 200.0, 1e-9);
  EXPECT_NEAR(r->north, 100.0, 1e-9);
  EXPECT_EQ(r->setUp, 2u);
}

// A set-up whose backsight direction or instrument height does not read gives no points: with
// the value taken as 0 they would be turned about the station or off in elevation.
TEST(Reduce, SetUpWithAValueThatDoesNotReadGivesNoPoints) {
  const std::string text =
      "UP,A,,100.000,200.000,50.000,\r\n"         // 1
      "UP,B,,110.000,200.000,,\r\n"               // 2: north of A
      "ST,A,,B,,1.5,1OO.0000\r\n"                 // 3: direction misread
      "SS,P1,1.5,10.000,100.0000,100.0000,,\r\n"  // 4
      "ST,A,,B,,-1.5,100.0000\r\n"                // 5: negative instrument height
      "SS,P2,1.5,10.000,100.0000,100.0000,,\r\n"  // 6
      "ST,A,,B,,1.6,100.0000\r\n"                 // 7: read: the circle reads 100 on B
      "SS,P3,1.5,10.000,100.0000,100.0000,,\r\n"  // 8: towards B
      "ST,A,,B,,1.5,x\r\n";                       // 9: never used
  Survey s;
  std::istringstream in(text);
  ASSERT_TRUE(ReadRawSurvey(in, CoordOrder::kNEZ, s));
  ASSERT_EQ(s.problems.size(), 3u);
  Reduce(s, ReductionOptions());
  ASSERT_EQ(s.unreduced.size(), 2u);
  EXPECT_EQ(s.observations[s.unreduced[0].observation].line, 4u);
  EXPECT_EQ(s.unreduced[0].fault, ReductionFault::SetUpNotRead);
  EXPECT_EQ(s.observations[s.unreduced[1].observation].line, 6u);
  EXPECT_EQ(s.unreduced[1].fault, ReductionFault::SetUpNotRead);
  EXPECT_EQ(FindPoint(s, "P1"), nullptr);
  EXPECT_EQ(FindPoint(s, "P2"), nullptr);
  for (size_t k : {0u, 1u, 3u}) EXPECT_EQ(s.setUps[k].orientation, Orientation::Unplaced) << k;
  // The report names them by their line, not as stations without coordinates.
  const CheckReport report = MakeCheckReport(s, {});
  EXPECT_EQ(report.unplaced, 0u);
  EXPECT_NE(
      CheckReportText(s, report).find("(0 with assumed orientation, 0 with the station unknown)"),
      std::string::npos);
  EXPECT_NE(CheckReportText(s, report).find(" line not understood "), std::string::npos);
  EXPECT_EQ(s.setUps[2].orientation, Orientation::FromBacksight);
  ExpectPointAt(s, "P3", 200.0, 110.0, 50.1, 1e-9);
}

// An observation whose zenith or horizontal angle field is empty gives no point: read as 0 it
// would stand on the station with the slope distance as its height above it, or on the line of
// the circle's zero. It is named as a missing field.
TEST(Reduce, ObservationWithoutAnAngleGivesNoPoint) {
  const std::string text =
      "UP,A,,100.000,200.000,50.000,\r\n"           // 1
      "ST,A,,,,1.5,0\r\n"                           // 2
      "SS,P1,1.5,10.000,50.0000,,,X\r\n"            // 3
      "SO,P2,,1.5,10.000,50.0000,,,X\r\n"           // 4
      "CP,P3,,1.5,10.000,50.0000, ,,X\r\n"          // 5
      "SS,P5,1.5,10.000,,100.0000,,X\r\n"           // 6
      "SO,P6,,1.5,10.000, ,100.0000,,X\r\n"         // 7
      "SS,P4,1.5,10.000,100.0000,100.0000,,X\r\n";  // 8: east of A
  Survey s;
  std::istringstream in(text);
  ASSERT_TRUE(ReadRawSurvey(in, CoordOrder::kNEZ, s));
  const std::vector<uint8_t> fields = {6, 7, 7, 5, 6};
  ASSERT_EQ(s.problems.size(), fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(s.problems[i].line, 3 + i);
    EXPECT_EQ(s.problems[i].fault, LineFault::TooFewFields);
    EXPECT_EQ(s.problems[i].field, fields[i]) << i;
  }
  Reduce(s, ReductionOptions());
  for (const char* name : {"P1", "P2", "P3", "P5", "P6"})
    EXPECT_EQ(FindPoint(s, name), nullptr) << name;
  ExpectPointAt(s, "P4", 210.0, 100.0, 50.0, 1e-9);
}

TEST(Angles, UnitsAndRanges) {
  EXPECT_NEAR(AngleToRadians(100, AngleUnit::Gon), kPi / 2, 1e-15);
  EXPECT_NEAR(AngleToRadians(1600, AngleUnit::Mil), kPi / 2, 1e-15);
  EXPECT_NEAR(AngleToRadians(90, AngleUnit::Degrees), kPi / 2, 1e-15);
  EXPECT_NEAR(AngleToRadians(12.3045, AngleUnit::Dms), (12 + 30 / 60.0 + 45 / 3600.0) * kPi / 180,
              1e-12);
  EXPECT_NEAR(AngleToRadians(359.5959, AngleUnit::Dms), (360 - 1 / 3600.0) * kPi / 180, 1e-12);
  // 59.9999999 seconds carry into the next minute rather than being written as 60.
  EXPECT_DOUBLE_EQ(RadiansToAngle((10 + 31 / 60.0 - 1e-11) * kPi / 180, AngleUnit::Dms), 10.31);
  EXPECT_TRUE(AngleInRange(399.9999, AngleUnit::Gon));
  EXPECT_FALSE(AngleInRange(400, AngleUnit::Gon));
  EXPECT_FALSE(AngleInRange(-0.0001, AngleUnit::Degrees));
  EXPECT_TRUE(AngleInRange(6399.9, AngleUnit::Mil));
  EXPECT_FALSE(AngleInRange(360, AngleUnit::Degrees));
  EXPECT_FALSE(AngleInRange(12.6000, AngleUnit::Dms));  // 60 minutes
  EXPECT_FALSE(AngleInRange(12.3060, AngleUnit::Dms));  // 60 seconds
  EXPECT_TRUE(AngleInRange(12.5959, AngleUnit::Dms));
  EXPECT_FALSE(AngleInRange(std::nan(""), AngleUnit::Gon));
}

}  // namespace
}  // namespace korv
