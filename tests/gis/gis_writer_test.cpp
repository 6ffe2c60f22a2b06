// The GIS point writers, every file read back by GDAL: the points, their attributes, the grid
// or WGS 84 (checked against PROJ's own cs2cs), and bad input refused with nothing written.
#include "gis/gis_writer.h"

#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

#include "core/coord_order.h"
#include "gis/gis_reader.h"
#include "gis_engine/gdal_support.h"
#include "survey/survey_file.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace korv {
namespace {

using gis_engine::DatasetPtr;
using gis_engine::ReadSrs;
using gis_engine::SrsPtr;
using gis_engine::Wgs84;
using test::ReadFileBytes;
using test::WriteFileBytes;

// A point as GDAL reads it back; a NULL attribute is nullopt.
struct ReadPoint {
  double x = 0, y = 0, z = 0;
  std::map<std::string, std::optional<std::string>> fields;
};

struct ReadLayer {
  std::string srs;  // "EPSG:25832", or the system's name when it has no code
  std::vector<ReadPoint> points;
};

ReadLayer ReadBack(const std::string& path) {
  // A CSV's geometry is its X, Y, Z columns; an empty value is NULL.
  const char* csvOptions[] = {"X_POSSIBLE_NAMES=X",       "Y_POSSIBLE_NAMES=Y",
                              "Z_POSSIBLE_NAMES=Z",       "KEEP_GEOM_COLUMNS=NO",
                              "EMPTY_STRING_AS_NULL=YES", nullptr};
  DatasetPtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr,
                                       csvOptions, nullptr));
  ReadLayer read;
  if (!dataset || dataset->GetLayerCount() != 1) {
    ADD_FAILURE() << "GDAL does not read one layer from " << path;
    return read;
  }
  OGRLayer* layer = dataset->GetLayer(0);
  if (const OGRSpatialReference* srs = layer->GetSpatialRef()) {
    const char* authority = srs->GetAuthorityName(nullptr);
    const char* code = srs->GetAuthorityCode(nullptr);
    read.srs = authority && code ? std::string(authority) + ":" + code : srs->GetName();
  }
  for (auto& feature : *layer) {
    ReadPoint p;
    const auto* point = dynamic_cast<const OGRPoint*>(feature->GetGeometryRef());
    if (!point) {
      ADD_FAILURE() << "a feature of " << path << " is no point";
      continue;
    }
    p.x = point->getX();
    p.y = point->getY();
    p.z = point->getZ();
    for (int i = 0; i < feature->GetFieldCount(); ++i) {
      std::optional<std::string> value;
      if (feature->IsFieldSetAndNotNull(i)) value = feature->GetFieldAsString(i);
      // KML names the placemark's name field "Name".
      std::string field = feature->GetFieldDefnRef(i)->GetNameRef();
      if (field == "Name") field = "name";
      p.fields[field] = value;
    }
    read.points.push_back(p);
  }
  return read;
}

class GisWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(KORVENIA_BIN_DIR) / "test_scratch" /
           (std::string("gis_writer_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }

  // A coordinate list (northing, easting) in Windows-1252: "Mål" with every attribute, P2
  // without elevation or code, and a later, different P2 that is left out (line 3).
  Survey CoordinateList() {
    return Load("points.asc",
                "M\xE5l,6000000.000,500000.000,12.345,KERB\r\n"
                "P2,6000100.250,500200.500,,\r\n"
                "P2,6000100.900,500200.500,,\r\n",
                false);
  }

  Survey Load(const std::string& name, const std::string& bytes, bool raw) {
    WriteFileBytes(dir_ / name, bytes);
    Survey survey;
    std::string fault;
    EXPECT_TRUE(LoadSurvey(Path(name), raw, CoordOrder::kNEZ, ReductionOptions(), survey, fault))
        << fault;
    return survey;
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // What the folder holds, so that a temporary file left behind shows.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

GisSettings InGrid(const std::string& crs) {
  GisSettings settings;
  settings.crs = crs;
  return settings;
}

// The longitude and latitude PROJ's cs2cs gives for a point of `crs`.
std::pair<double, double> Cs2cs(const std::string& crs, double east, double north) {
  const std::string command = "echo '" + std::to_string(east) + " " + std::to_string(north) +
                              "' | cs2cs -f %.9f " + crs + " EPSG:4326";
  FILE* pipe = ::popen(command.c_str(), "r");
  double lat = 0, lon = 0;
  EXPECT_TRUE(pipe && std::fscanf(pipe, "%lf %lf", &lat, &lon) == 2) << command;
  if (pipe) ::pclose(pipe);
  return {lon, lat};
}

TEST_F(GisWriter, GridFormatsHoldEveryPointWithItsAttributesAndSystem) {
  const Survey survey = CoordinateList();
  for (GisFormat format : {GisFormat::GeoPackage, GisFormat::Shapefile, GisFormat::Csv}) {
    SCOPED_TRACE(GisFormatWord(format));
    const std::string out = Path(std::string("points.") + GisFormatWord(format));
    const ConvertResult result =
        WriteGisPoints(survey, TextEncoding::Windows1252, out, format, InGrid("EPSG:25832"));
    ASSERT_TRUE(result.ok()) << result.fault;
    EXPECT_EQ(result.notes.leftOut, 1u);
    EXPECT_EQ(result.notes.leftOutLines, std::vector<size_t>{3});

    const ReadLayer layer = ReadBack(out);
    ASSERT_EQ(layer.points.size(), 2u);
    const ReadPoint& mal = layer.points[0];
    EXPECT_EQ(mal.x, 500000.0);
    EXPECT_EQ(mal.y, 6000000.0);
    EXPECT_DOUBLE_EQ(mal.z, 12.345);
    EXPECT_EQ(mal.fields.at("name"), "M\xC3\xA5l");
    EXPECT_EQ(mal.fields.at("code"), "KERB");
    ASSERT_TRUE(mal.fields.at("elevation"));
    EXPECT_DOUBLE_EQ(std::stod(*mal.fields.at("elevation")), 12.345);
    const ReadPoint& p2 = layer.points[1];
    EXPECT_EQ(p2.x, 500200.5);
    EXPECT_EQ(p2.y, 6000100.25);
    EXPECT_EQ(p2.z, 0.0);
    EXPECT_EQ(p2.fields.at("name"), "P2");
    EXPECT_EQ(p2.fields.at("elevation"), std::nullopt);
  }
  // The CSV holds the grid's coordinates only, X, Y, Z first; the others name their system.
  EXPECT_EQ(ReadFileBytes(dir_ / "points.csv").substr(0, 28), "X,Y,Z,name,code,elevation\n50");
  EXPECT_EQ(ReadBack(Path("points.gpkg")).srs, "EPSG:25832");
  EXPECT_NE(ReadFileBytes(dir_ / "points.prj").find("ETRS_1989_UTM_Zone_32N"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir_ / "points.cpg"), "UTF-8");

  // Replaced without a system, the Shapefile loses its .prj.
  ASSERT_TRUE(WriteGisPoints(survey, TextEncoding::Windows1252, Path("points.shp"),
                             GisFormat::Shapefile, GisSettings())
                  .ok());
  EXPECT_FALSE(fs::exists(dir_ / "points.prj"));
  EXPECT_EQ(ReadBack(Path("points.shp")).points.size(), 2u);
}

TEST_F(GisWriter, ShapefileKeepsLongAttributeNamesShortenedAndACapitalisedName) {
  // A Shapefile's attribute names hold 10 characters: the driver shortens these two to
  // "pointnumbe" and "pointnum_1", and the values go there, as the notes say.
  const Survey survey = CoordinateList();
  GisSettings settings = InGrid("EPSG:25832");
  settings.nameField = "pointnumber";
  settings.codeField = "pointnumber2";
  const ConvertResult result = WriteGisPoints(survey, TextEncoding::Windows1252, Path("long.shp"),
                                              GisFormat::Shapefile, settings);
  ASSERT_TRUE(result.ok()) << result.fault;
  EXPECT_EQ(result.notes.remarks,
            (std::vector<std::string>{
                "The attribute 'pointnumber' is named 'pointnumbe' in the file.",
                "The attribute 'pointnumber2' is named 'pointnum_1' in the file."}));
  const ReadLayer layer = ReadBack(Path("long.shp"));
  ASSERT_EQ(layer.points.size(), 2u);
  EXPECT_EQ(layer.points[0].fields.at("pointnumbe"), "M\xC3\xA5l");
  EXPECT_EQ(layer.points[0].fields.at("pointnum_1"), "KERB");
  EXPECT_EQ(layer.points[1].fields.at("pointnumbe"), "P2");

  // "POINTS.SHP" replaces an existing set: the driver names the other files in lower case.
  for (const char* old : {"POINTS.SHP", "POINTS.shx", "POINTS.dbf"})
    WriteFileBytes(Path(old), "old");
  ASSERT_TRUE(WriteGisPoints(survey, TextEncoding::Windows1252, Path("POINTS.SHP"),
                             GisFormat::Shapefile, InGrid("EPSG:25832"))
                  .ok());
  const ReadLayer capitals = ReadBack(Path("POINTS.SHP"));
  ASSERT_EQ(capitals.points.size(), 2u);
  EXPECT_EQ(capitals.points[1].fields.at("name"), "P2");
  EXPECT_EQ(capitals.srs, "EPSG:25832");
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{"POINTS.SHP", "POINTS.cpg", "POINTS.dbf", "POINTS.prj",
                                      "POINTS.shx", "long.cpg", "long.dbf", "long.prj", "long.shp",
                                      "long.shx", "points.asc"}));
}

TEST_F(GisWriter, GeoJsonAndKmlAreInWgs84AsCs2csHasItAndComeBackWithinAMillimetre) {
  const Survey survey = CoordinateList();
  const auto [lon, lat] = Cs2cs("EPSG:25832", 500000.0, 6000000.0);
  SrsPtr grid;
  std::string fault;
  grid = ReadSrs("EPSG:25832", fault);
  std::unique_ptr<OGRCoordinateTransformation> back(
      OGRCreateCoordinateTransformation(Wgs84().get(), grid.get()));
  ASSERT_TRUE(back);
  for (GisFormat format : {GisFormat::GeoJson, GisFormat::Kml}) {
    SCOPED_TRACE(GisFormatWord(format));
    const std::string out = Path(std::string("points.") + GisFormatWord(format));
    const ConvertResult result =
        WriteGisPoints(survey, TextEncoding::Windows1252, out, format, InGrid("EPSG:25832"));
    ASSERT_TRUE(result.ok()) << result.fault;
    const ReadLayer layer = ReadBack(out);
    EXPECT_TRUE(layer.srs == "EPSG:4326" || layer.srs == "EPSG:4979") << layer.srs;
    ASSERT_EQ(layer.points.size(), 2u);
    const ReadPoint& mal = layer.points[0];
    EXPECT_NEAR(mal.x, lon, 1e-9);
    EXPECT_NEAR(mal.y, lat, 1e-9);
    EXPECT_NEAR(mal.z, 12.345, 1e-9);
    EXPECT_EQ(mal.fields.at("name"), "M\xC3\xA5l");
    for (const auto& [point, east, north] : {std::tuple{mal, 500000.0, 6000000.0},
                                             std::tuple{layer.points[1], 500200.5, 6000100.25}}) {
      double x = point.x, y = point.y;
      ASSERT_TRUE(back->Transform(1, &x, &y));
      EXPECT_NEAR(x, east, 0.001);
      EXPECT_NEAR(y, north, 0.001);
    }
  }
  // GeoJSON keeps 9 decimals of a degree (and drops trailing zeros: 9.0).
  const std::string json = ReadFileBytes(dir_ / "points.geojson");
  char nine[32];
  std::snprintf(nine, sizeof nine, ", %.9f,", lat);
  EXPECT_NE(json.find(nine), std::string::npos) << json;

  // The placemarks are named by the name attribute whatever it is called, and read back by it.
  GisSettings pointnr = InGrid("EPSG:25832");
  pointnr.nameField = "pointnr";
  ASSERT_TRUE(WriteGisPoints(survey, TextEncoding::Windows1252, Path("pointnr.kml"), GisFormat::Kml,
                             pointnr)
                  .ok());
  EXPECT_NE(ReadFileBytes(dir_ / "pointnr.kml").find("<name>P2</name>"), std::string::npos);
  GisPoints read;
  ASSERT_TRUE(ReadGisPoints(Path("pointnr.kml"), pointnr, read, fault)) << fault;
  ASSERT_EQ(read.points.size(), 2u);
  EXPECT_EQ(read.points[0].name, "M\xC3\xA5l");
  EXPECT_NEAR(read.points[1].north, 6000100.25, 0.001);
}

TEST_F(GisWriter, ComputedPointsCarryTheirStationAndLine) {
  // S1 sees P1 at 100 gon (east) from the backsight B1 due north, 10 m level.
  const Survey survey = Load("survey.raw",
                             "CO,Coord Order: NEZ\r\n"
                             "UP,S1,,1000.000,2000.000,50.000,STN\r\n"
                             "UP,B1,,1100.000,2000.000,51.000,\r\n"
                             "ST,S1,STN,B1,,1.500,0.0000\r\n"
                             "SS,P1,1.500,10.000,100.0000,100.0000,,TREE\r\n"
                             "XX,not a record\r\n",
                             true);
  const ConvertResult result = WriteGisPoints(survey, TextEncoding::Windows1252, Path("s.gpkg"),
                                              GisFormat::GeoPackage, GisSettings());
  ASSERT_TRUE(result.ok()) << result.fault;
  EXPECT_EQ(result.notes.leftOutLines, std::vector<size_t>{6});
  const ReadLayer layer = ReadBack(Path("s.gpkg"));
  EXPECT_EQ(layer.srs, "Undefined Cartesian SRS");  // srs_id -1, not degrees
  ASSERT_EQ(layer.points.size(), 3u);
  const std::vector<std::tuple<std::string, std::optional<std::string>, std::string>> expected = {
      {"S1", std::nullopt, "2"}, {"B1", std::nullopt, "3"}, {"P1", "S1", "5"}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(layer.points[i].fields.at("name"), std::get<0>(expected[i]));
    EXPECT_EQ(layer.points[i].fields.at("station"), std::get<1>(expected[i]));
    EXPECT_EQ(layer.points[i].fields.at("line"), std::get<2>(expected[i]));
  }
  const ReadPoint& p1 = layer.points[2];
  EXPECT_NEAR(p1.x, 2010.0, 1e-9);
  EXPECT_NEAR(p1.y, 1000.0, 1e-9);
  EXPECT_NEAR(p1.z, 50.0, 1e-9);
  EXPECT_EQ(p1.fields.at("code"), "TREE");

  // Read for the instrument once a grid is chosen, the local grid's points stay as they are.
  GisPoints read;
  std::string fault;
  ASSERT_TRUE(ReadGisPoints(Path("s.gpkg"), InGrid("EPSG:25832"), read, fault)) << fault;
  ASSERT_EQ(read.points.size(), 3u);
  EXPECT_EQ(read.points[2].name, "P1");
  EXPECT_NEAR(read.points[2].east, 2010.0, 1e-9);
  EXPECT_NEAR(read.points[2].north, 1000.0, 1e-9);
}

TEST_F(GisWriter, BadInputIsRefusedAndLeavesTheOutputAsItWas) {
  const Survey survey = CoordinateList();
  const std::string out = Path("old.geojson"), gpkg = Path("old.gpkg");
  WriteFileBytes(out, "keep");
  WriteFileBytes(gpkg, "keep");
  auto fault = [&](const std::string& path, GisFormat format, const GisSettings& settings) {
    const ConvertResult result =
        WriteGisPoints(survey, TextEncoding::Windows1252, path, format, settings);
    EXPECT_EQ(result.status, Status::OutputFault);
    return result.fault;
  };
  EXPECT_EQ(fault(out, GisFormat::GeoJson, InGrid("EPSG:99999999"))
                .find("Unknown coordinate reference system 'EPSG:99999999'"),
            0u);
  EXPECT_EQ(fault(out, GisFormat::GeoJson, GisSettings()),
            "GeoJSON is written in WGS 84 (longitude, latitude): give the survey's coordinate "
            "reference system (--crs, or the GIS settings)");
  EXPECT_NE(fault(Path("k.kml"), GisFormat::Kml, GisSettings()).find("--crs"), std::string::npos);
  GisSettings badLayer = InGrid("EPSG:25832");
  badLayer.layerName = "";
  EXPECT_EQ(fault(gpkg, GisFormat::GeoPackage, badLayer),
            "Cannot write " + gpkg + ": the layer name '' is refused");
  badLayer.layerName = "gpkg_points";  // the prefix of the format's own tables
  EXPECT_EQ(fault(gpkg, GisFormat::GeoPackage, badLayer),
            "Cannot write " + gpkg +
                ": the layer name 'gpkg_points' is refused: The layer name may not begin with "
                "'gpkg' as it is a reserved geopackage prefix");
  GisSettings twice;
  twice.codeField = "NAME";
  EXPECT_EQ(fault(gpkg, GisFormat::GeoPackage, twice),
            "Cannot write " + gpkg + ": the attribute name 'NAME' is given twice");
  EXPECT_EQ(fault(Path("points.asc"), GisFormat::Csv, GisSettings()),
            "Cannot write " + Path("points.asc") + ": it is the input file");
  EXPECT_EQ(ReadFileBytes(out), "keep");
  EXPECT_EQ(ReadFileBytes(gpkg), "keep");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"old.geojson", "old.gpkg", "points.asc"}));

  // A folder that takes no new file (root may write anywhere, but not into /proc).
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  const std::string locked = ::geteuid() == 0 ? "/proc/points.gpkg" : Path("new.gpkg");
  EXPECT_EQ(
      fault(locked, GisFormat::GeoPackage, GisSettings()).find("Cannot write " + locked + ": "),
      0u);
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"old.geojson", "old.gpkg", "points.asc"}));
}

}  // namespace
}  // namespace korv
