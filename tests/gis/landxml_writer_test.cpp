// LandXML documents written from real survey files and read back with pugixml: units, the
// coordinate system, the points and the set-ups with their observations, texts that need
// escaping or re-encoding, and outputs that stay as they were when the write cannot be done.
#include "gis/landxml_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "core/coord_order.h"
#include "survey/check_report.h"
#include "survey/survey_file.h"
#include "test_support.h"

namespace korv {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

class LandXmlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::path(KORVENIA_BIN_DIR) / "test_scratch" /
        (std::string("landxml_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    options_.now.tm_year = 2026 - 1900;
    options_.now.tm_mon = 2;
    options_.now.tm_mday = 9;
    options_.now.tm_hour = 7;
    options_.now.tm_min = 5;
    options_.now.tm_sec = 3;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes `bytes` as a survey file, reads it as the conversion does and writes `out.xml`.
  ConvertResult Write(const std::string& bytes, bool raw, AngleUnit unit = AngleUnit::Gon,
                      int coordOrder = CoordOrder::kNEZ) {
    const std::string in = (dir_ / (raw ? "in.raw" : "in.asc")).string();
    WriteFileBytes(in, bytes);
    Survey survey;
    ReductionOptions reduction;
    reduction.angleUnit = unit;
    std::string fault;
    EXPECT_TRUE(LoadSurvey(in, raw, coordOrder, reduction, survey, fault)) << fault;
    return WriteLandXml(survey, EncodingOfFile(in), Out(), options_);
  }
  std::string Out() const { return (dir_ / "out.xml").string(); }
  // The written document's root element; the test fails when it does not parse.
  pugi::xml_node Read() {
    const pugi::xml_parse_result parsed = doc_.load_file(Out().c_str());
    EXPECT_TRUE(parsed) << parsed.description();
    return doc_.child("LandXML");
  }

  fs::path dir_;
  LandXmlOptions options_;
  pugi::xml_document doc_;
};

std::vector<pugi::xml_node> Children(pugi::xml_node node, const char* name) {
  std::vector<pugi::xml_node> found;
  for (pugi::xml_node child : node.children(name)) found.push_back(child);
  return found;
}

std::string Attribute(pugi::xml_node node, const char* name) {
  return node.attribute(name).value();
}

// Two set-ups in gon, the first with an observation before it; point names and codes that XML
// must escape, a control character XML cannot hold and a Windows-1252 "Mål". Expected values worked out by hand: S1 at N 1000,
// E 2000, Z 100 looks north to B1 (circle 0), so 100 gon is east and 200 gon south; heights
// are Z + 1.55 - 1.5 from S1 and + 1.4 - 1.3 from S2.
const char kRaw[] =
    "CO,Coord Order: NEZ\r\n"
    "UP,S1,,1000.000,2000.000,100.000,STN\r\n"
    "UP,B1,,1100.000,2000.000,,B\x01S\r\n"
    "SS,X0,1.500,10.000,0.0000,100.0000,,\r\n"
    "ST,S1,,B1,,1.550,0.0000\r\n"
    "SS,<&\"'>,1.500,10.000,100.0000,100.0000,,M\xe5l\r\n"
    "SO,S2,,1.500,50.000,200.0000,100.0000,,STN\r\n"
    "ST,S2,,S1,,1.400,0.0000\r\n"
    "SS,M\xe5l,1.300,20.000,300.0000,100.0000,,\r\n"
    "SS,P4,1.300,,50.0000,100.0000,,\r\n";

TEST_F(LandXmlTest, RawDataBecomesPointsAndSetUpsThatReadBack) {
  options_.gis.crs = "EPSG:25832";
  // A last set-up whose instrument height does not read, and an observation from it.
  const ConvertResult r = Write(std::string(kRaw) +
                                    "ST,S2,,S1,,1.4x,0.0000\r\n"
                                    "SS,P9,1.300,20.000,300.0000,100.0000,,\r\n",
                                true);
  ASSERT_TRUE(r.ok()) << r.fault;
  // X0 (before any set-up), P4 (no distance) and the last set-up with P9 give nothing.
  EXPECT_EQ(r.notes.leftOutLines, (std::vector<size_t>{4, 10, 11, 12}));

  const pugi::xml_node root = Read();
  EXPECT_EQ(Attribute(root, "xmlns"), "http://www.landxml.org/schema/LandXML-1.2");
  EXPECT_EQ(Attribute(root, "version"), "1.2");
  EXPECT_EQ(Attribute(root, "date"), "2026-03-09");
  EXPECT_EQ(Attribute(root, "time"), "07:05:03");
  EXPECT_NE(Attribute(root, "xsi:schemaLocation").find("LandXML-1.2.xsd"), std::string::npos);

  const pugi::xml_node metric = root.child("Units").child("Metric");
  EXPECT_EQ(Attribute(metric, "linearUnit"), "meter");
  EXPECT_EQ(Attribute(metric, "areaUnit"), "squareMeter");
  EXPECT_EQ(Attribute(metric, "volumeUnit"), "cubicMeter");
  EXPECT_EQ(Attribute(metric, "angularUnit"), "grads");
  EXPECT_EQ(Attribute(metric, "directionUnit"), "grads");
  EXPECT_FALSE(root.child("Units").child("Imperial"));

  const pugi::xml_node system = root.child("CoordinateSystem");
  EXPECT_EQ(Attribute(system, "epsgCode"), "25832");
  EXPECT_EQ(Attribute(system, "name"), "ETRS89 / UTM zone 32N");
  EXPECT_EQ(Attribute(system, "ogcWktCode").rfind("PROJCS[\"ETRS89 / UTM zone 32N\"", 0), 0u);
  EXPECT_EQ(Attribute(root.child("Application"), "name"), "Korvenia");
  EXPECT_FALSE(Attribute(root.child("Application"), "version").empty());

  struct Expected {
    const char *name, *code, *text;
  };
  const std::vector<Expected> points = {
      {"S1", "STN", "1000.000 2000.000 100.000"},
      {"B1", "B?S", "1100.000 2000.000"},
      {"<&\"'>", "M\xc3\xa5l", "1000.000 2010.000 100.050"},
      {"S2", "STN", "950.000 2000.000 100.050"},
      {"M\xc3\xa5l", nullptr, "950.000 1980.000 100.150"},
  };
  const auto cg = Children(root.child("CgPoints"), "CgPoint");
  ASSERT_EQ(cg.size(), points.size());
  for (size_t i = 0; i < cg.size(); ++i) {
    SCOPED_TRACE(points[i].name);
    EXPECT_EQ(Attribute(cg[i], "name"), points[i].name);
    EXPECT_EQ(!cg[i].attribute("code"), points[i].code == nullptr);
    EXPECT_EQ(Attribute(cg[i], "code"), points[i].code ? points[i].code : "");
    EXPECT_STREQ(cg[i].child_value(), points[i].text);
  }

  const auto setUps = Children(root.child("Survey"), "InstrumentSetup");
  ASSERT_EQ(setUps.size(), 2u);
  EXPECT_EQ(Attribute(setUps[0], "id"), "setup1");
  EXPECT_EQ(Attribute(setUps[1], "id"), "setup2");
  EXPECT_EQ(Attribute(setUps[0], "stationName"), "S1");
  EXPECT_EQ(Attribute(setUps[0], "instrumentHeight"), "1.55");
  EXPECT_EQ(Attribute(setUps[0].child("InstrumentPoint"), "pntRef"), "S1");
  EXPECT_EQ(Attribute(setUps[0].child("Backsight"), "circle"), "0");
  EXPECT_EQ(Attribute(setUps[0].child("Backsight").child("BacksightPoint"), "pntRef"), "B1");
  EXPECT_EQ(Attribute(setUps[1].child("InstrumentPoint"), "pntRef"), "S2");
  EXPECT_EQ(Attribute(setUps[1].child("Backsight").child("BacksightPoint"), "pntRef"), "S1");

  const auto first = Children(setUps[0], "RawObservation");
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(Attribute(first[0], "horizAngle"), "100");
  EXPECT_EQ(Attribute(first[0], "zenithAngle"), "100");
  EXPECT_EQ(Attribute(first[0], "slopeDistance"), "10");
  EXPECT_EQ(Attribute(first[0], "targetHeight"), "1.5");
  EXPECT_EQ(Attribute(first[0].child("TargetPoint"), "pntRef"), "<&\"'>");
  EXPECT_EQ(Attribute(first[0].child("TargetPoint"), "code"), "M\xc3\xa5l");
  EXPECT_EQ(Attribute(first[1], "horizAngle"), "200");
  EXPECT_EQ(Attribute(first[1].child("TargetPoint"), "pntRef"), "S2");

  const auto second = Children(setUps[1], "RawObservation");
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(Attribute(second[0], "horizAngle"), "300");
  EXPECT_EQ(Attribute(second[0], "slopeDistance"), "20");
  EXPECT_EQ(Attribute(second[0], "targetHeight"), "1.3");
  EXPECT_EQ(Attribute(second[0].child("TargetPoint"), "pntRef"), "M\xc3\xa5l");
  // No distance, so no point: named, and without a slope distance.
  EXPECT_FALSE(second[1].attribute("slopeDistance"));
  EXPECT_EQ(Attribute(second[1].child("TargetPoint"), "name"), "P4");
  EXPECT_FALSE(second[1].child("TargetPoint").attribute("pntRef"));

  if (fs::exists("/usr/bin/xmllint")) {
    EXPECT_EQ(std::system(("/usr/bin/xmllint --noout '" + Out() + "'").c_str()), 0);
  }
}

TEST_F(LandXmlTest, CoordinateListHoldsPointsOnlyNorthingFirst) {
  // Easting first in the list; the document always has the northing first. A UTF-8 list's
  // names stay as they are.
  ASSERT_TRUE(Write("P1,200.000,100.000,,CODE\r\nM\xc3\xa5l,-0.0001,5.5,7,\r\n", false,
                    AngleUnit::Gon, CoordOrder::kENZ)
                  .ok());
  const pugi::xml_node root = Read();
  EXPECT_FALSE(root.child("CoordinateSystem"));
  EXPECT_FALSE(root.child("Survey"));
  const auto cg = Children(root.child("CgPoints"), "CgPoint");
  ASSERT_EQ(cg.size(), 2u);
  EXPECT_STREQ(cg[0].child_value(), "100.000 200.000");
  EXPECT_EQ(Attribute(cg[0], "code"), "CODE");
  EXPECT_EQ(Attribute(cg[1], "name"), "M\xc3\xa5l");
  EXPECT_STREQ(cg[1].child_value(), "5.500 0.000 7.000");
  EXPECT_FALSE(cg[1].attribute("code"));
}

TEST_F(LandXmlTest, ImperialUnitsAndMilsAsDecimalDegrees) {
  options_.imperial = true;
  ASSERT_TRUE(Write("UP,S1,,0,0,0,\r\nST,S1,,,,5.000,0\r\nSS,P1,5.000,100.000,1600,1600,,\r\n",
                    true, AngleUnit::Mil)
                  .ok());
  const pugi::xml_node root = Read();
  const pugi::xml_node imperial = root.child("Units").child("Imperial");
  EXPECT_EQ(Attribute(imperial, "linearUnit"), "USSurveyFoot");
  EXPECT_EQ(Attribute(imperial, "areaUnit"), "squareFoot");
  EXPECT_EQ(Attribute(imperial, "volumeUnit"), "cubicFeet");
  EXPECT_EQ(Attribute(imperial, "angularUnit"), "decimal degrees");
  EXPECT_FALSE(root.child("Units").child("Metric"));
  // 1600 mils are a quarter circle: east of the station, 100 feet away.
  const pugi::xml_node observation = root.child("Survey").child("InstrumentSetup");
  EXPECT_FALSE(observation.child("Backsight"));
  EXPECT_EQ(Attribute(observation.child("RawObservation"), "horizAngle"), "90");
  EXPECT_EQ(Attribute(observation.child("RawObservation"), "zenithAngle"), "90");
  EXPECT_STREQ(Children(root.child("CgPoints"), "CgPoint")[1].child_value(), "0.000 100.000 0.000");
}

TEST_F(LandXmlTest, FaultsLeaveTheOutputAsItWas) {
  const std::string coords = "P1,1,2,3,\r\n";
  WriteFileBytes(Out(), "old");

  options_.gis.crs = "EPSG:99999999";
  ConvertResult r = Write(coords, false);
  EXPECT_EQ(r.status, Status::OutputFault);
  EXPECT_NE(r.fault.find("'EPSG:99999999'"), std::string::npos) << r.fault;
  options_.gis.crs.clear();

  {
    test::FileSizeLimit full(100);  // the disk fills up while the document is written
    r = Write(coords, false);
  }
  EXPECT_EQ(r.fault.rfind("Cannot write " + Out() + ": ", 0), 0u) << r.fault;
  EXPECT_EQ(ReadFileBytes(Out()), "old");

  // The input itself, and a folder that is not there.
  Survey survey;
  std::string fault;
  ASSERT_TRUE(LoadSurvey(Out(), false, CoordOrder::kNEZ, {}, survey, fault));
  r = WriteLandXml(survey, TextEncoding::Windows1252, Out(), options_);
  EXPECT_EQ(r.fault, "Cannot write " + Out() + ": it is the input file");
  EXPECT_EQ(ReadFileBytes(Out()), "old");
  const std::string missing = (dir_ / "no" / "out.xml").string();
  r = WriteLandXml(survey, TextEncoding::Windows1252, missing, options_);
  EXPECT_EQ(r.fault.rfind("Cannot write " + missing + ": ", 0), 0u) << r.fault;

  // Nothing but the input and the old output is left in the folder.
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(dir_)) files += entry.is_regular_file();
  EXPECT_EQ(files, 2u);
}

}  // namespace
}  // namespace korv
