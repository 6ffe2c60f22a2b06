// GIS files read as points for the instrument: a GeoJSON in degrees brought into the grid,
// the same points from a CSV and a GeoPackage that GDAL's own ogr2ogr made of it, a drawing
// the program wrote, and files that give no points.
#include "gis/gis_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "coords/dxf_writer.h"
#include "core/coord_order.h"
#include "test_support.h"

namespace korv {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::ReadFileBytes;
using test::WriteFileBytes;

class GisReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(KORVENIA_BIN_DIR) / "test_scratch" /
           (std::string("gis_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  static GisSettings Grid(const std::string& crs) {
    GisSettings settings;
    settings.crs = crs;
    return settings;
  }
  static GisPoints Read(const std::string& path, const GisSettings& settings) {
    GisPoints points;
    std::string fault;
    EXPECT_TRUE(ReadGisPoints(path, settings, points, fault)) << fault;
    return points;
  }
  static std::string Stakeout() { return DataPath("gis/stakeout.geojson").string(); }

  fs::path dir_;
};

// One expected point: name, code, easting, northing, and the elevation when there is one.
struct Expected {
  std::string name, code;
  double east, north;
  bool hasElevation;
  double elevation;
};

void ExpectPoints(const GisPoints& read, const std::vector<Expected>& expected, double tolerance) {
  ASSERT_EQ(read.points.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const GisPoint& p = read.points[i];
    const Expected& e = expected[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(p.name, e.name);
    EXPECT_EQ(p.code, e.code);
    EXPECT_NEAR(p.east, e.east, tolerance);
    EXPECT_NEAR(p.north, e.north, tolerance);
    EXPECT_EQ(p.hasElevation, e.hasElevation);
    if (e.hasElevation) {
      EXPECT_NEAR(p.elevation, e.elevation, 1e-9);
    }
  }
}

// The points of stakeout.geojson in ETRS89 / UTM zone 32N, by PROJ's own tool:
//   printf '52.0 9.5\n52.001 9.501\n52.002 9.502\n' | cs2cs -f %.6f EPSG:4326 EPSG:25832
const std::vector<Expected> kStakeoutInGrid = {
    {"P1", "KUM", 534325.167455, 5761156.235575, true, 12.345},
    {"BOUNDARYSTONE17", "GR", 534393.050976, 5761267.929975, true, 101.5},
    {"\xC5\x81"
     "7",
     "\xC3\x84"
     "B",
     534460.931425, 5761379.625329, false, 0},
};

TEST_F(GisReaderTest, GeoJsonInDegreesIsBroughtIntoTheGridAndWhatIsNoNamedPointIsListed) {
  const GisPoints points = Read(Stakeout(), Grid("EPSG:25832"));
  ExpectPoints(points, kStakeoutInGrid, 0.0005);
  ASSERT_EQ(points.skipped.size(), 2u);
  EXPECT_EQ(points.skipped[0].feature, 2);
  EXPECT_EQ(points.skipped[0].reason, "not a point: LineString");
  EXPECT_EQ(points.skipped[1].feature, 3);
  EXPECT_EQ(points.skipped[1].reason, "no name");
  EXPECT_EQ(points.longNames, std::vector<std::string>{"BOUNDARYSTONE17"});

  // Degrees without the instrument's grid are refused; a name field the layer lacks is named
  // with the fields it has.
  GisPoints none;
  std::string fault;
  EXPECT_FALSE(ReadGisPoints(Stakeout(), GisSettings(), none, fault));
  EXPECT_NE(fault.find("longitude and latitude"), std::string::npos) << fault;
  EXPECT_NE(fault.find("--crs"), std::string::npos) << fault;
  GisSettings label = Grid("EPSG:25832");
  label.nameField = "label";
  EXPECT_FALSE(ReadGisPoints(Stakeout(), label, none, fault));
  EXPECT_NE(fault.find("'label'"), std::string::npos) << fault;
  EXPECT_NE(fault.find("name, code, elevation"), std::string::npos) << fault;
  // Without a code field the codes are empty.
  GisSettings noCodes = Grid("EPSG:25832");
  noCodes.codeField = "remark";
  EXPECT_EQ(Read(Stakeout(), noCodes).points[0].code, "");
}

TEST_F(GisReaderTest, CsvAndGeoPackageMadeByOgr2ogrReadBackTheSamePoints) {
  // The GeoPackage keeps the degrees, read through the transformation; the CSV is in the grid
  // (ogr2ogr transformed it) and has no system of its own, so it is taken to be in the grid.
  const std::string gpkg = Path("stakeout.gpkg"), csv = Path("stakeout.csv");
  ASSERT_EQ(std::system(("ogr2ogr -f GPKG '" + gpkg + "' '" + Stakeout() + "'").c_str()), 0);
  ASSERT_EQ(std::system(("ogr2ogr -f CSV -t_srs EPSG:25832 -lco GEOMETRY=AS_XYZ '" + csv + "' '" +
                         Stakeout() + "'")
                            .c_str()),
            0);
  ASSERT_TRUE(IsGisPointFile(csv));
  for (const std::string& file : {gpkg, csv}) {
    SCOPED_TRACE(file);
    const GisPoints points = Read(file, Grid("EPSG:25832"));
    ExpectPoints(points, kStakeoutInGrid, 0.0005);
    ASSERT_EQ(points.skipped.size(), 2u);
    EXPECT_EQ(points.skipped[0].feature, 2);  // the line: no coordinates in the CSV
    EXPECT_EQ(points.skipped[1].feature, 3);
    EXPECT_EQ(points.skipped[1].reason, "no name");
  }
  // A coordinate list kept as .csv (no header naming coordinates) is not a GIS file.
  WriteFileBytes(Path("list.csv"), "P1,100.0,200.0,1.0,K\r\n");
  EXPECT_FALSE(IsGisPointFile(Path("list.csv")));
  // A spreadsheet's CSV UTF-8 begins with a byte-order mark, here just before the X column.
  WriteFileBytes(Path("bom.csv"),
                 "\xEF\xBB\xBF"
                 "East,North,Name\r\n500000.5,6000000.25,P1\r\n");
  EXPECT_TRUE(IsGisPointFile(Path("bom.csv")));
}

TEST_F(GisReaderTest, DrawingTheProgramWroteReadsBackWithItsNames) {
  // Entities: 1 POINT A1, 2-4 its name, elevation and code; 5 a POINT without a name and 6-7
  // its elevation and code (below the point, not beside it); 8 POINT LONG..., 9 its name.
  std::istringstream list(
      "A1,1000.000,2000.000,50.000,K1\r\n"
      ",1010.000,2010.000,51.000,K2\r\n"
      "LONGPOINTNAME77,1020.500,2020.250,7.125,\r\n");
  std::ostringstream drawing;
  ASSERT_TRUE(
      CoorToDXF(list, drawing, DxfOptions(), CoordOrder::kNEZ, nullptr, TextEncoding::Windows1252)
          .ok());
  WriteFileBytes(Path("points.dxf"), drawing.str());
  const GisPoints points = Read(Path("points.dxf"), GisSettings());
  ExpectPoints(points,
               {{"A1", "", 2000.0, 1000.0, true, 50.0},
                {"LONGPOINTNAME77", "", 2020.25, 1020.5, true, 7.125}},
               1e-9);
  ASSERT_EQ(points.skipped.size(), 1u);
  EXPECT_EQ(points.skipped[0].feature, 5);
  EXPECT_EQ(points.skipped[0].reason, "no name");
  EXPECT_EQ(points.longNames, std::vector<std::string>{"LONGPOINTNAME77"});
}

TEST_F(GisReaderTest, SpreadsheetCsvKeepsItsLettersElevationsAndColumns) {
  // A semicolon-separated CSV as a spreadsheet saves it: Windows-1252, decimal commas. The
  // second point's name and code hold commas, which the list cannot; "n/a" is no elevation.
  WriteFileBytes(Path("sheet.csv"),
                 "Name;East;North;Elevation;Code\r\n"
                 "M\xE5l 1;543210,987;6543210,123;12,345;K\xD8\r\n"
                 "Hj\xF8rne, SV;543211,5;6543211,25;n/a;Tree, oak\r\n");
  ASSERT_TRUE(IsGisPointFile(Path("sheet.csv")));
  GisSettings settings;
  settings.nameField = "Name";
  settings.codeField = "Code";
  settings.elevationField = "Elevation";
  const GisPoints points = Read(Path("sheet.csv"), settings);
  ExpectPoints(points,
               {{"M\xC3\xA5l 1", "K\xC3\x98", 543210.987, 6543210.123, true, 12.345},
                {"Hj\xC3\xB8rne, SV", "Tree, oak", 543211.5, 6543211.25, false, 0}},
               1e-9);

  // The list (Windows-1252, northing first) holds every field in its column.
  const ConvertResult r = GisToCoor(Path("sheet.csv"), Path("sheet.asc"), WriteMode::Overwrite,
                                    settings, CoordOrder::kNEZ);
  ASSERT_TRUE(r.ok()) << r.fault;
  EXPECT_EQ(ReadFileBytes(Path("sheet.asc")),
            "M\xE5l 1,6543210.123,543210.987,12.345,K\xD8\r\n"
            "Hj\xF8rne  SV,6543211.250,543211.500,,Tree  oak\r\n");
  EXPECT_EQ(r.notes.remarks,
            std::vector<std::string>{
                "2 commas of the names and codes would split the list's fields and became "
                "blanks."});
}

TEST_F(GisReaderTest, NumberFieldsOfAShapefileGiveNamesAndCodesAsTheNumbers) {
  // Point numbers and codes kept as numbers: the Shapefile ogr2ogr makes holds them with 15
  // decimals.
  WriteFileBytes(Path("numbers.geojson"),
                 "{\"type\":\"FeatureCollection\",\"features\":["
                 "{\"type\":\"Feature\",\"properties\":{\"pnr\":101.0,\"code\":8200.0},"
                 "\"geometry\":{\"type\":\"Point\",\"coordinates\":[500000.5,6000000.25]}},"
                 "{\"type\":\"Feature\",\"properties\":{\"pnr\":102.5,\"code\":1.0},"
                 "\"geometry\":{\"type\":\"Point\",\"coordinates\":[500001.5,6000001.25]}}]}");
  const std::string shp = Path("numbers.shp");
  ASSERT_EQ(std::system(("ogr2ogr -a_srs EPSG:25832 -f 'ESRI Shapefile' '" + shp + "' '" +
                         Path("numbers.geojson") + "'")
                            .c_str()),
            0);
  GisSettings settings = Grid("EPSG:25832");
  settings.nameField = "pnr";
  ExpectPoints(Read(shp, settings),
               {{"101", "8200", 500000.5, 6000000.25, false, 0},
                {"102.5", "1", 500001.5, 6000001.25, false, 0}},
               1e-9);
}

TEST_F(GisReaderTest, TheLayerOfTheLayerNameIsReadWhereTheFileHasIt) {
  // A GeoPackage of two layers, "design" first: the layer name chooses "stakeout".
  auto layer = [&](const std::string& name, const std::string& point) {
    WriteFileBytes(Path(name + ".geojson"),
                   "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\","
                   "\"properties\":{\"name\":\"" +
                       point +
                       "\"},\"geometry\":{\"type\":\"Point\",\"coordinates\":[9.5,52.0]}}]}");
    return std::system(("ogr2ogr -update -append -f GPKG -nln " + name + " '" + Path("two.gpkg") +
                        "' '" + Path(name + ".geojson") + "'")
                           .c_str());
  };
  ASSERT_EQ(layer("design", "D1"), 0);
  ASSERT_EQ(layer("stakeout", "S1"), 0);
  const GisPoints first = Read(Path("two.gpkg"), Grid("EPSG:25832"));
  EXPECT_EQ(first.points.at(0).name, "D1");
  GisSettings stakeout = Grid("EPSG:25832");
  stakeout.layerName = "stakeout";
  const GisPoints chosen = Read(Path("two.gpkg"), stakeout);
  EXPECT_EQ(chosen.points.at(0).name, "S1");
  // The layer not read is said, never dropped unseen.
  EXPECT_EQ(GisWarnings(first, 5), std::vector<std::string>{
                                       "layer 'stakeout' holds points too and is not read (the "
                                       "layer name of the GIS settings, or --layer, chooses the "
                                       "layer)"});
  EXPECT_EQ(chosen.otherLayers, std::vector<std::string>{"design"});
}

TEST_F(GisReaderTest, KmlPointsOnTheGroundHaveNoElevation) {
  // As a viewer saves placemarks: altitude 0 for one put on the ground, a height when given.
  WriteFileBytes(Path("viewer.kml"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document><Folder>"
                 "<name>Stakeout</name>"
                 "<Placemark><name>S1</name><Point><coordinates>9.5,52.0,0</coordinates></Point>"
                 "</Placemark>"
                 "<Placemark><name>S2</name><Point><altitudeMode>absolute</altitudeMode>"
                 "<coordinates>9.501,52.001,101.5</coordinates></Point></Placemark>"
                 "</Folder></Document></kml>\n");
  ExpectPoints(Read(Path("viewer.kml"), Grid("EPSG:25832")),
               {{"S1", "", 534325.167455, 5761156.235575, false, 0},
                {"S2", "", 534393.050976, 5761267.929975, true, 101.5}},
               0.0005);
}

TEST_F(GisReaderTest, FileWithoutPointsIsAFaultAndTheOutputStaysAsItWas) {
  WriteFileBytes(Path("lines.geojson"),
                 "{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\","
                 "\"properties\":{\"name\":\"L\"},\"geometry\":{\"type\":\"LineString\","
                 "\"coordinates\":[[1,2],[3,4]]}}]}");
  WriteFileBytes(Path("kept.asc"), "OLD,1,2,3,\r\n");
  const ConvertResult r = GisToCoor(Path("lines.geojson"), Path("kept.asc"), WriteMode::Overwrite,
                                    Grid("EPSG:25832"), CoordOrder::kNEZ);
  EXPECT_EQ(r.status, Status::InputFault);
  EXPECT_EQ(r.fault,
            "No points in " + Path("lines.geojson") + ": feature 1: not a point: LineString");
  EXPECT_EQ(ReadFileBytes(Path("kept.asc")), "OLD,1,2,3,\r\n");

  std::string fault;
  GisPoints points;
  WriteFileBytes(Path("broken.geojson"), "{\"type\":");
  EXPECT_FALSE(ReadGisPoints(Path("broken.geojson"), GisSettings(), points, fault));
  EXPECT_EQ(fault.rfind("Cannot read " + Path("broken.geojson") + ": ", 0), 0u) << fault;
}

}  // namespace
}  // namespace korv
