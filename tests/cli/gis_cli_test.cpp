// korvenia-cli convert to the GIS formats: GeoJSON needs the survey's grid to reach WGS 84.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_fixture.h"

namespace korv::test {
namespace {

using GisCli = CliTest;

TEST_F(GisCli, GeoJsonIsRefusedWithoutCrsAndWrittenInWgs84WithIt) {
  // Easting 500000 of UTM zone 32 is its central meridian, 9 degrees east.
  WriteFileBytes(Path("points.asc"), "P1,6000000.000,500000.000,12.345,KERB\r\n");
  EXPECT_EQ(Shell("\"$KCLI\" convert --from coord --to geojson points.asc out.geojson"), 1);
  EXPECT_EQ(err_,
            "korvenia-cli: GeoJSON is written in WGS 84 (longitude, latitude): give the survey's "
            "coordinate reference system (--crs, or the GIS settings)\n");
  EXPECT_FALSE(std::filesystem::exists(Path("out.geojson")));

  ASSERT_EQ(Shell("\"$KCLI\" convert --from coord --to geojson --crs EPSG:25832 points.asc "
                  "out.geojson"),
            0)
      << err_;
  const auto json = nlohmann::json::parse(ReadFileBytes(Path("out.geojson")));
  ASSERT_EQ(json["features"].size(), 1u);
  const auto& feature = json["features"][0];
  EXPECT_EQ(feature["properties"]["name"], "P1");
  EXPECT_EQ(feature["properties"]["code"], "KERB");
  const auto& coordinates = feature["geometry"]["coordinates"];
  EXPECT_NEAR(coordinates[0].get<double>(), 9.0, 1e-9);
  EXPECT_NEAR(coordinates[2].get<double>(), 12.345, 1e-9);
}

// The GIS engine is a module loaded on first use: a program installed without it still converts
// everything else, and a GIS conversion says why it cannot be done.
TEST_F(GisCli, WithoutItsGisEngineTheProgramRefusesGisFilesAndConvertsTheRest) {
  WriteFileBytes(Path("points.asc"), "P1,6000000.000,500000.000,12.345,KERB\r\n");
  std::filesystem::create_directories(Path("alone/bin"));
  std::filesystem::copy_file(KORVENIA_CLI, Path("alone/bin/korvenia-cli"));
  const std::string alone = "\"" + Path("alone/bin/korvenia-cli") + "\" convert --from coord ";
  EXPECT_EQ(Shell(alone + "--to gpkg points.asc out.gpkg"), 1);
  EXPECT_EQ(err_.rfind("korvenia-cli: GIS files cannot be read or written: " + Path("alone/lib/"), 0),
            0u)
      << err_;
  EXPECT_NE(err_.find("korvenia-gis.so"), std::string::npos) << err_;
  EXPECT_FALSE(std::filesystem::exists(Path("out.gpkg")));
  EXPECT_EQ(Shell(alone + "--to kof points.asc out.kof"), 0) << err_;
  EXPECT_TRUE(std::filesystem::exists(Path("out.kof")));
}

}  // namespace
}  // namespace korv::test
