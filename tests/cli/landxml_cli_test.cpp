// korvenia-cli convert --to landxml through the real executable: raw data with a coordinate
// system, and an unknown system that leaves no file behind.
#include <filesystem>
#include <string>

#include "cli_fixture.h"

namespace korv::test {
namespace {

class LandXmlCli : public CliTest {};

TEST_F(LandXmlCli, RawDataToLandXmlWithACoordinateSystem) {
  WriteFileBytes(Path("in.raw"),
                 "UP,S1,,1000.000,2000.000,100.000,STN\r\n"
                 "ST,S1,,,,1.500,0.0000\r\n"
                 "SS,P1,1.500,10.000,100.0000,100.0000,,TREE\r\n");
  ASSERT_EQ(Shell("\"$KCLI\" convert --from raw --to landxml --crs EPSG:25832 in.raw out.xml"), 0)
      << err_;
  const std::string xml = ReadFileBytes(Path("out.xml"));
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << xml;
  // No settings file: metres and gon, as a fresh one has them.
  for (const char* part :
       {"<Metric ", "angularUnit=\"grads\"", "epsgCode=\"25832\"",
        "<CgPoint name=\"S1\" code=\"STN\">1000.000 2000.000 100.000</CgPoint>",
        "<CgPoint name=\"P1\" code=\"TREE\">1000.000 2010.000 100.000</CgPoint>",
        "<InstrumentSetup id=\"setup1\" stationName=\"S1\" instrumentHeight=\"1.5\">",
        "<TargetPoint pntRef=\"P1\" code=\"TREE\""}) {
    EXPECT_NE(xml.find(part), std::string::npos) << part << "\n" << xml;
  }

  EXPECT_NE(Shell("\"$KCLI\" convert --from raw --to landxml --crs EPSG:99999999 in.raw new.xml"),
            0);
  EXPECT_NE(err_.find("EPSG:99999999"), std::string::npos) << err_;
  EXPECT_FALSE(std::filesystem::exists(Path("new.xml")));
}

}  // namespace
}  // namespace korv::test
