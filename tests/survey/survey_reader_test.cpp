// The readers on crafted files: one fault of each kind at a known line, what enters the model
// and what does not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "coords/test_files.h"
#include "core/coord_order.h"
#include "survey/survey.h"

namespace korv {
namespace {

struct Expected {
  uint32_t line;
  LineFault fault;
  uint8_t field;
};

void ExpectProblems(const Survey& s, const std::vector<Expected>& expected) {
  ASSERT_EQ(s.problems.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(s.problems[i].text);
    EXPECT_EQ(s.problems[i].line, expected[i].line);
    EXPECT_EQ(s.problems[i].fault, expected[i].fault);
    EXPECT_EQ(s.problems[i].field, expected[i].field);
  }
}

TEST(SurveyReader, RawFileWithOneFaultOfEachKind) {
  test::ScratchFolder folder("survey_reader_raw");
  const std::string longLine = "XX," + std::string(300, 'y');
  test::WriteFileBytes(folder / "faults.raw",
                       "CO,Coord Order: ENZ\r\n"                     // 1
                       "UP,A,,200.000,100.000,,STN\r\n"              // 2 east first; no elevation
                       "ZZ,whatever\r\n"                             // 3 unknown type
                       "ss,P1,1.5,10,0,100\r\n"                      // 4 types are case-sensitive
                       "\r\n"                                        // 5
                       "ST,A,,B,,-1.5,0\r\n"                         // 6 negative instrument height
                       "SS,P2,1.5,10\r\n"                            // 7 too few fields
                       "SS,P3,1.5,1x0,0,100,,\r\n"                   // 8 not a number
                       "SS,P4,1.5,10,400,100,,\r\n"                  // 9 a full circle
                       "SO,P5,,1.5,-10,0,100,,C5\r\n"                // 10 negative distance
                       "MP,B,,300.000,100.000,12.5x,\r\n"            // 11 elevation not a number
                       "CC,C,,,100.000,1.000,\r\n"                   // 12 a coordinate missing
                       "CP,P6,,1.5,10,0,100,,C6\r\n"                 // 13
                       "UC,x\rMC,y\n"                                // 14, 15
                       "RE,D,,1,2,3,CODE\r\n"                        // 16
                       "CO,Coord Order: NEZ\r\n"                     // 17
                       "UP,E,,1,2,,\r\n"                             // 18 north first now
                       "SS, P7 , 1.5 , 1e1 ,+0.5,100,,  CODE 7\r\n"  // 19
                           + longLine + "\r\n" +                     // 20
                           "SS,,1.5,10,0,100,,\r\n");                // 21 no name
  Survey s;
  std::string fault;
  ASSERT_TRUE(ReadRawSurvey(folder / "faults.raw", CoordOrder::kNEZ, s, fault)) << fault;
  EXPECT_EQ(s.source, folder / "faults.raw");
  EXPECT_EQ(s.lines, 21u);
  EXPECT_TRUE(s.coordOrderDeclared);
  EXPECT_EQ(s.coordOrder, CoordOrder::kNEZ);
  ExpectProblems(s, {{3, LineFault::UnknownRecordType, 1},
                     {4, LineFault::UnknownRecordType, 1},
                     {6, LineFault::OutOfRange, 6},
                     {7, LineFault::TooFewFields, 5},
                     {8, LineFault::BadNumber, 4},
                     {9, LineFault::OutOfRange, 5},
                     {10, LineFault::OutOfRange, 5},
                     {11, LineFault::BadNumber, 6},
                     {12, LineFault::TooFewFields, 4},
                     {20, LineFault::UnknownRecordType, 1},
                     {21, LineFault::TooFewFields, 2}});
  EXPECT_EQ(s.problems[0].text, "ZZ,whatever");
  EXPECT_EQ(s.problems[9].text, longLine.substr(0, 200));

  std::vector<std::pair<std::string, uint32_t>> counts;
  for (const RecordCount& c : s.counts) counts.emplace_back(c.type, c.count);
  EXPECT_EQ(counts, (std::vector<std::pair<std::string, uint32_t>>{{"CO", 2},
                                                                   {"UP", 2},
                                                                   {"ZZ", 1},
                                                                   {"ss", 1},
                                                                   {"ST", 1},
                                                                   {"SS", 5},
                                                                   {"SO", 1},
                                                                   {"MP", 1},
                                                                   {"CC", 1},
                                                                   {"CP", 1},
                                                                   {"UC", 1},
                                                                   {"MC", 1},
                                                                   {"RE", 1},
                                                                   {"XX", 1}}));

  // The set-up enters with its faulty value as 0; the faulty observations stay out.
  ASSERT_EQ(s.setUps.size(), 1u);
  EXPECT_EQ(s.setUps[0].line, 6u);
  EXPECT_EQ(s.setUps[0].instrumentHeight, 0);
  EXPECT_EQ(s.Text(s.setUps[0].backsight), "B");
  ASSERT_EQ(s.observations.size(), 2u);
  EXPECT_EQ(s.observations[0].line, 13u);
  EXPECT_EQ(s.observations[0].kind, RecordKind::ControlPoint);
  EXPECT_EQ(s.Text(s.observations[0].code), "C6");
  const Observation& p7 = s.observations[1];
  EXPECT_EQ(s.Text(p7.name), "P7");
  EXPECT_EQ(s.Text(p7.code), "CODE 7");
  EXPECT_EQ(p7.slopeDistance, 10.0);
  EXPECT_EQ(p7.horizontalAngle, 0.5);
  EXPECT_EQ(p7.setUp, 0u);

  // Points: A and B (its elevation dropped), D in the order ENZ, E in NEZ.
  ASSERT_EQ(s.recordPoints, 4u);
  ASSERT_EQ(s.points.size(), 4u);
  const Point& a = s.points[0];
  EXPECT_EQ(s.Text(a.name), "A");
  EXPECT_EQ(a.east, 200.0);
  EXPECT_EQ(a.north, 100.0);
  EXPECT_FALSE(a.hasElevation);
  EXPECT_EQ(s.Text(a.code), "STN");
  EXPECT_EQ(s.points[1].line, 11u);
  EXPECT_FALSE(s.points[1].hasElevation);
  EXPECT_EQ(s.points[2].kind, RecordKind::Resection);
  EXPECT_EQ(s.points[2].east, 1.0);
  EXPECT_EQ(s.points[2].north, 2.0);
  EXPECT_TRUE(s.points[2].hasElevation);
  EXPECT_EQ(s.points[2].elevation, 3.0);
  EXPECT_EQ(s.points[3].north, 1.0);
  EXPECT_EQ(s.points[3].east, 2.0);

  // Minutes and seconds of 60 in degrees.minutesseconds.
  Survey dms;
  dms.angleUnit = AngleUnit::Dms;
  test::WriteFileBytes(folder / "dms.raw",
                       "ST,A,,B,,1.5,12.6000\r\nSS,P,1.5,10,12.3060,90.0000,,\r\n"
                       "SS,Q,1.5,10,359.5959,90.0000,,\r\n");
  ASSERT_TRUE(ReadRawSurvey(folder / "dms.raw", CoordOrder::kNEZ, dms, fault));
  ExpectProblems(dms, {{1, LineFault::OutOfRange, 7}, {2, LineFault::OutOfRange, 5}});
  EXPECT_EQ(dms.observations.size(), 1u);
}

TEST(SurveyReader, CoordinateListAndFilesThatCannotBeRead) {
  test::ScratchFolder folder("survey_reader_coord");
  test::WriteFileBytes(folder / "points.asc",
                       "P1,200.5,100.25,5,C1\r\n"  // 1 easting first
                       "P2,1,2\r\n"                // 2 too few fields
                       "P3,1,2,,X\r\n"             // 3 no elevation
                       "P4,1,2,4m,X\r\n"           // 4 elevation not a number
                       "P5,1,north,4,X\r\n");      // 5
  Survey s;
  std::string fault;
  ASSERT_TRUE(ReadCoordinateSurvey(folder / "points.asc", CoordOrder::kENZ, s, fault));
  EXPECT_FALSE(s.raw);
  ExpectProblems(s, {{2, LineFault::TooFewFields, 4},
                     {4, LineFault::BadNumber, 4},
                     {5, LineFault::BadNumber, 3}});
  ASSERT_EQ(s.points.size(), 3u);
  EXPECT_EQ(s.points[0].east, 200.5);
  EXPECT_EQ(s.points[0].north, 100.25);
  EXPECT_EQ(s.points[0].elevation, 5.0);
  EXPECT_EQ(s.points[0].kind, RecordKind::CoordinateLine);
  EXPECT_FALSE(s.points[1].hasElevation);
  EXPECT_FALSE(s.points[2].hasElevation);
  ASSERT_EQ(s.counts.size(), 1u);
  EXPECT_EQ(s.counts[0].count, 5u);

  Survey none;
  EXPECT_FALSE(ReadRawSurvey(folder / "missing.raw", CoordOrder::kNEZ, none, fault));
  EXPECT_EQ(fault.rfind("Cannot read " + folder / "missing.raw" + ": ", 0), 0u) << fault;
  EXPECT_FALSE(ReadCoordinateSurvey(folder.path().string(), CoordOrder::kNEZ, none, fault));
  EXPECT_EQ(fault, "Cannot read " + folder.path().string() + ": it is a folder");
}

}  // namespace
}  // namespace korv
