// korvenia-cli check through the real executable: a raw data file with one fault of each kind,
// its JSON read back and compared key by key with one written by hand from the file, its text
// naming every faulty line; the exit statuses; the choice of raw data or coordinate list.
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "cli_fixture.h"

namespace {

using Json = nlohmann::json;

class CheckCli : public korv::test::CliTest {
 protected:
  int Check(const std::string& args) { return Shell("\"$KCLI\" check " + args); }
};

// tests/data/check/faults.raw, line by line (angles in gon, coordinates NEZ):
//  1 CO,Coord Order: NEZ
//  2 SS,P0,...                 before any set-up: not reduced
//  3 UP,S1 (N 1000, E 2000, Z 50)
//  4 UP,B1 (N 1100, E 2000, Z 51)
//  5 ST,S1,STN,B1              oriented on B1: azimuth 0, backsight direction 0, correction 0
//  6 ZZ,what is this           unknown record type
//  7 SS,P1                     too few fields (field 3 is missing)
//  8 SS,P2,...,1x,...          horizontal angle (field 5) does not read
//  9 SS,P3,1.500,-10.000,...   negative distance (field 4)
// 10 SS,P4,1.500,,...          no slope distance: not reduced
// 11 ST,S9,,B1                 S9 unknown
// 12 SS,P5,...                 not reduced: the station is unknown
// 13 ST,S1,,NOPE               backsight unknown: orientation assumed
// 14 SS,P6,1.500,10.000,0,100,,KERBSTONE-EDGE  reduced: N 1010, E 2000, Z 50
// 15 UP,S1 (N 1000.3, E 2000.4, Z 50.5)  S1 again, 0.5 m away
// 16 UP,LONGNAME-01 (N 1010, E 2010, Z 55)
// 17 UP,LONGNAME-02 (N 1020, E 2020, Z 56)  equal to line 16 in KOF's 10 characters only
// 18 UP,NOELEV (N 1030, E 2030), no elevation
const char* const kFaultsJson = R"({
  "version": 1, "data": "raw", "lines": 18, "problems": true, "encoding": "windows-1252",
  "angle_unit": "gon", "coordinate_order": {"order": "nez", "declared": true},
  "records": [{"type": "CO", "count": 1}, {"type": "SS", "count": 7}, {"type": "UP", "count": 6},
              {"type": "ST", "count": 3}, {"type": "ZZ", "count": 1}],
  "coordinate_records": 6,
  "extent": {"points": 7, "points_with_elevation": 6, "east": {"min": 2000, "max": 2030},
             "north": {"min": 1000, "max": 1100}, "elevation": {"min": 50, "max": 56}},
  "set_ups": [
    {"line": 5, "station": "S1", "code": "STN", "backsight": "B1", "orientation": "backsight",
     "correction": 0, "observations": 1, "reduced": 0},
    {"line": 11, "station": "S9", "code": "", "backsight": "B1", "orientation": "unplaced",
     "correction": null, "observations": 1, "reduced": 0},
    {"line": 13, "station": "S1", "code": "", "backsight": "NOPE", "orientation": "assumed",
     "correction": 0, "observations": 1, "reduced": 1}],
  "line_problems": [
    {"line": 6, "field": 1, "fault": "unknown_record_type", "reason": "unknown record type",
     "text": "ZZ,what is this"},
    {"line": 7, "field": 3, "fault": "too_few_fields", "reason": "too few fields",
     "text": "SS,P1"},
    {"line": 8, "field": 5, "fault": "bad_number", "reason": "a number that does not read",
     "text": "SS,P2,1.500,10.000,1x,100.0000,,TREE"},
    {"line": 9, "field": 4, "fault": "out_of_range", "reason": "a value out of range",
     "text": "SS,P3,1.500,-10.000,50.0000,100.0000,,"}],
  "conflicts": [{"name": "S1", "first_line": 3, "later_line": 15, "d_east": 0.4, "d_north": 0.3,
                 "d_elevation": 0.5, "horizontal": 0.5}],
  "unreduced": [
    {"line": 2, "record": "SS", "name": "P0", "fault": "no_set_up",
     "reason": "no set-up before it"},
    {"line": 10, "record": "SS", "name": "P4", "fault": "no_distance",
     "reason": "no slope distance"},
    {"line": 12, "record": "SS", "name": "P5", "fault": "station_unknown",
     "reason": "the station's coordinates are not known"}],
  "without_elevation": [{"line": 18, "record": "UP", "name": "NOELEV"}],
  "cuts": [
    {"target": "kof", "name_chars": 10, "code_chars": 8,
     "equal_after_cut": [{"cut": "LONGNAME-0", "names": [
         {"line": 16, "record": "UP", "name": "LONGNAME-01"},
         {"line": 17, "record": "UP", "name": "LONGNAME-02"}]}],
     "names": [
       {"line": 16, "record": "UP", "name": "LONGNAME-01", "cut": "LONGNAME-0", "chars": 10},
       {"line": 17, "record": "UP", "name": "LONGNAME-02", "cut": "LONGNAME-0", "chars": 10}],
     "codes": [{"code": "KERBSTONE-EDGE", "cut": "KERBSTON", "chars": 8, "first_line": 14,
                "count": 1}]},
    {"target": "sdr", "name_chars": 16, "code_chars": 16, "equal_after_cut": [], "names": [],
     "codes": []},
    {"target": "upload", "name_chars": 12, "code_chars": 12, "equal_after_cut": [],
     "names": [],
     "codes": [{"code": "KERBSTONE-EDGE", "cut": "KERBSTONE-ED", "chars": 12, "first_line": 14,
                "count": 1}]}]
})";

TEST_F(CheckCli, EveryFaultOfARawFileWithItsLine) {
  const std::string file = Data("check/faults.raw");
  ASSERT_EQ(Check("--json --angle-unit gon " + file), 1) << err_;
  EXPECT_EQ(err_, "");
  Json expected = Json::parse(kFaultsJson);
  expected["file"] = file;
  const Json actual = Json::parse(out_);
  for (auto it = expected.begin(); it != expected.end(); ++it) {
    ASSERT_TRUE(actual.contains(it.key())) << it.key();
    EXPECT_EQ(actual[it.key()], it.value())
        << it.key() << ": " << Json::diff(it.value(), actual[it.key()]).dump(1);
  }
  EXPECT_EQ(actual.size(), expected.size()) << out_;

  // The text names each faulty line, a whole row of its section: columns two blanks apart,
  // numbers right-aligned, each as wide as its widest cell or heading.
  ASSERT_EQ(Check("--angle-unit gon " + file), 1) << err_;
  EXPECT_EQ(out_.rfind("Check of " + file + " (raw data, 18 lines)\nResult: problems found\n", 0),
            0u)
      << out_;
  for (const char* row : {
           "     5  S1       B1         from backsight             0.0000             1        0",
           "    11  S9       B1         station unknown                 -             1        0",
           "    13  S1       NOPE       assumed                    0.0000             1        1",
           "     6      1  unknown record type          ZZ,what is this",
           "     7      3  too few fields               SS,P1",
           "     8      5  a number that does not read  SS,P2,1.500,10.000,1x,100.0000,,TREE",
           "     9      4  a value out of range         SS,P3,1.500,-10.000,50.0000,100.0000,,",
           "  S1             3          15  0.400  0.300  0.500       0.500",
           "     2  SS      P0    no set-up before it",
           "    10  SS      P4    no slope distance",
           "    12  SS      P5    the station's coordinates are not known",
           "    18  UP      NOELEV",
           "    LONGNAME-0  LONGNAME-01    16",
           "    LONGNAME-0  LONGNAME-02    17",
       }) {
    EXPECT_NE(out_.find("\n" + std::string(row) + "\n"), std::string::npos)
        << "no row '" << row << "' in\n"
        << out_;
  }
}

TEST_F(CheckCli, ExitStatusSaysWhetherAnythingIsWrong) {
  // A raw data file and a coordinate list (found by its first record) with nothing wrong.
  EXPECT_EQ(Check("--angle-unit gon " + Data("check/clean.raw")), 0) << out_ << err_;
  EXPECT_NE(out_.find("Result: nothing wrong\n"), std::string::npos) << out_;
  EXPECT_EQ(Check("--json " + Data("check/clean.asc")), 0) << out_ << err_;
  EXPECT_EQ(Json::parse(out_)["data"], "coord") << out_;
  // The same list read as raw data: nothing in it is a raw record.
  EXPECT_EQ(Check("--from raw --json " + Data("check/clean.asc")), 1) << out_ << err_;
  EXPECT_EQ(Json::parse(out_)["line_problems"].size(), 2u) << out_;

  // A file that cannot be read: a message, nothing on stdout.
  EXPECT_EQ(Check("--json missing.raw"), 1);
  EXPECT_EQ(out_, "");
  EXPECT_NE(err_.find("missing.raw"), std::string::npos) << err_;

  // Usage errors.
  for (const char* args : {"", "a.raw b.raw", "--from kof x.raw", "--order zen x.raw",
                           "--angle-unit rad x.raw", "--refraction 0.15 x.raw", "--jsn x.raw"}) {
    EXPECT_EQ(Check(args), 2) << args;
    EXPECT_NE(err_.find("korvenia-cli check:"), std::string::npos) << args << ": " << err_;
    EXPECT_EQ(out_, "") << args;
  }
  ASSERT_EQ(Check("--help"), 0);
  for (const char* option :
       {"--from", "--json", "--order", "--ini", "--angle-unit", "--refraction", "--sea-level"})
    EXPECT_NE(out_.find(option), std::string::npos) << option;
}

}  // namespace
