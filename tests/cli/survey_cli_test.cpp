// korvenia-cli convert --from raw --to coord: a small traverse against golden files built by
// hand, the reduction options, the notes of what was left out, and chaining into a drawing.
#include <gtest/gtest.h>

#include <string>

#include "cli/cli_fixture.h"

namespace korv::test {
namespace {

using RawToCoordCli = CliTest;

// traverse.raw in gon: S1 (N 1000, E 2000, H 100) sees its backsight B1 due north at circle
// reading 100, so azimuth = reading - 100. P1: reading 200, 10 m level -> 10 m east. S2
// (observed "SO"): reading 300, 50 m -> 50 m south, the next station. P2: reading 100, zenith
// 50 (45 degrees), 20 m, target 2.000: hd = dh = 14.1421, H = 100 + 14.1421 + 1.5 - 2.0 =
// 113.642. At S2 the circle reads 0 on S1 (north): P3 at 300 -> 5 m west, P6 at 0 -> 2 m north.
// P3's second value is 0.2 mm off (the same point), P4 has no distance, ZZ is no record type,
// CC P1 repeats a name with other coordinates: line 11 is dropped silently, 12, 13 and 15 are
// named. With --sea-level every distance shrinks by R / (R + 100) (50 m by 0.8 mm).
TEST_F(RawToCoordCli, TraverseAgainstHandBuiltFiles) {
  const std::string raw = Data("coord/traverse.raw");
  ASSERT_EQ(Shell("\"$KCLI\" convert --from raw --to coord --angle-unit gon '" + raw + "' a.asc"),
            0)
      << err_;
  ExpectSameFile(ReadFileBytes(Path("a.asc")), DataPath("coord/traverse~coord.asc"));
  EXPECT_EQ(err_,
            "korvenia-cli: 3 lines were left out (lines 12, 13, 15): not understood, no "
            "coordinates computed, or a point name already written with other coordinates.\n");

  ASSERT_EQ(Shell("\"$KCLI\" convert --from raw --to coord --angle-unit gon --order enz "
                  "--sea-level --refraction 0.200 '" +
                  raw + "' b.asc"),
            0)
      << err_;
  ExpectSameFile(ReadFileBytes(Path("b.asc")), DataPath("coord/traverse-enz-sea~coord.asc"));

  // Appending, then the computed points into a drawing.
  ASSERT_EQ(Shell("\"$KCLI\" convert --from raw --to coord --append '" + raw +
                  "' a.asc && "
                  "\"$KCLI\" convert --from coord --to dxf a.asc a.dxf"),
            0)
      << err_;
  const std::string twice = ReadFileBytes(DataPath("coord/traverse~coord.asc"));
  EXPECT_EQ(ReadFileBytes(Path("a.asc")), twice + twice);
  EXPECT_NE(ReadFileBytes(Path("a.dxf")).find("1014.142"), std::string::npos);
}

TEST_F(RawToCoordCli, RefusesBadOptionsAndKeepsTheOutput) {
  WriteFileBytes(Path("out.asc"), "kept\r\n");
  const std::string raw = Data("coord/traverse.raw");
  EXPECT_EQ(Shell("\"$KCLI\" convert --from raw --to coord --angle-unit rad '" + raw + "' out.asc"),
            2);
  EXPECT_NE(err_.find("--angle-unit wants deg, gon, mil or dms, not 'rad'"), std::string::npos)
      << err_;
  EXPECT_EQ(Shell("\"$KCLI\" convert --from raw --to kof --sea-level '" + raw + "' out.asc"), 2);
  EXPECT_EQ(Shell("\"$KCLI\" convert --from raw --to coord missing.raw out.asc"), 1);
  EXPECT_NE(err_.find("Cannot read missing.raw: "), std::string::npos) << err_;
  EXPECT_EQ(ReadFileBytes(Path("out.asc")), "kept\r\n");
}

}  // namespace
}  // namespace korv::test
