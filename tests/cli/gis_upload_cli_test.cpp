// A GIS point file converted to a coordinate list and uploaded as one: the lines built by hand
// from the points (PROJ's cs2cs for the grid coordinates), the features left out warned of.
#include "cli/cli_fixture.h"

namespace korv::test {
namespace {

class GisUploadCliTest : public CliTest {};

TEST_F(GisUploadCliTest, GisFileConvertsAndUploadsAsItsCoordinateList) {
  const std::string geojson = Data("gis/stakeout.geojson");
  ASSERT_EQ(Shell("\"$KCLI\" convert --from gis --to asc --crs EPSG:25832 '" + geojson +
                  "' stakeout.asc"),
            0)
      << err_;
  ExpectSameFile(ReadFileBytes(Path("stakeout.asc")), DataPath("asc/stakeout~asc.asc"));
  EXPECT_NE(err_.find("feature 2: not a point: LineString"), std::string::npos) << err_;

  // Names cut at 12, a missing elevation sent as 0.000, as from any coordinate list.
  const std::string lines =
      "P1,5761156.236,534325.167,12.345,KUM\r\n"
      "BOUNDARYSTON,5761267.930,534393.051,101.500,GR\r\n"
      "?7,5761379.625,534460.931,0.000,\xC4"
      "B\r\n";
  ASSERT_EQ(Shell("\"$KCLI\" upload --format coord --dry-run --crs EPSG:25832 '" + geojson + "'"),
            0)
      << err_;
  EXPECT_EQ(out_, lines);
  EXPECT_EQ(err_,
            "korvenia-cli: warning: feature 2: not a point: LineString\n"
            "korvenia-cli: warning: feature 3: no name\n"
            "korvenia-cli: warning: name 'BOUNDARYSTONE17' is longer than 12 characters: the "
            "instrument keeps 'BOUNDARYSTON'\n"
            "korvenia-cli: warning: 1 character of the names and codes cannot be held in "
            "Windows-1252 and became \"?\".\n");
  // The coordinate list of the same points, also as a .csv, uploads the same lines.
  WriteFileBytes(Path("list.csv"), ReadFileBytes(DataPath("asc/stakeout~asc.asc")));
  ASSERT_EQ(Shell("\"$KCLI\" upload --format coord --dry-run list.csv"), 0) << err_;
  EXPECT_EQ(out_, lines);
  EXPECT_EQ(Shell("\"$KCLI\" upload --format coord --dry-run --crs EPSG:25832 list.csv"), 2);

  // Degrees without the grid: refused before anything is built, nothing written.
  EXPECT_EQ(Shell("\"$KCLI\" upload --format coord --dry-run '" + geojson + "'"), 1);
  EXPECT_EQ(out_, "");
  EXPECT_NE(err_.find("is in longitude and latitude"), std::string::npos) << err_;
  EXPECT_NE(err_.find("--crs"), std::string::npos) << err_;
  EXPECT_EQ(Shell("\"$KCLI\" convert --from gis --to asc '" + geojson + "' degrees.asc"), 1);
  EXPECT_FALSE(std::filesystem::exists(Path("degrees.asc")));
}

}  // namespace
}  // namespace korv::test
