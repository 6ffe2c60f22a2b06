// korvenia-cli convert --from coord --to dxf|asc through the real executable: golden drawing,
// settings file, order, separator, append and the faults it reports.
#include <string>

#include "cli_fixture.h"

namespace {

class CoordsCli : public korv::test::CliTest {
 protected:
  // Runs "korvenia-cli convert --from coord ARGS"; returns the exit status, stderr in `err_`.
  int Convert(const std::string& args) { return Shell("\"$KCLI\" convert --from coord " + args); }
};

TEST_F(CoordsCli, DxfWithSettingsFileMatchesGolden) {
  ASSERT_EQ(Convert("--to dxf --ini " + Data("dxf/code_only.ini") + " " +
                    Data("dxf/code_only.asc") + " " + Path("out.dxf")),
            0)
      << err_;
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(Path("out.dxf")),
                             korv::test::DataPath("dxf/code_only~dxf.dxf"));
  ASSERT_EQ(Convert("--to dxf --order enz " + Data("dxf/order_enz.asc") + " " + Path("out.dxf")), 0)
      << err_;
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(Path("out.dxf")),
                             korv::test::DataPath("dxf/order_enz~dxf.dxf"));
}

TEST_F(CoordsCli, DxfIgnoresAppendWithAWarning) {
  korv::test::WriteFileBytes(Path("out.dxf"), "OLD");
  ASSERT_EQ(Convert("--to dxf --append " + Data("dxf/no_points.asc") + " " + Path("out.dxf")), 0);
  EXPECT_NE(err_.find("--append is ignored"), std::string::npos) << err_;
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(Path("out.dxf")),
                             korv::test::DataPath("dxf/no_points~dxf.dxf"));
}

TEST_F(CoordsCli, AscSeparatorFromSettingsOrOption) {
  korv::test::WriteFileBytes(Path("in.asc"), "P4,300.0,600.0,12.5,WALL\r\nP9\r\n");
  korv::test::WriteFileBytes(
      Path("k.ini"),
      "[Default]\r\nStCombCoord0=1\r\n[Coordinate Settings]\r\nField1= 0\r\nField2= 1\r\n"
      "Field3= 2\r\nField4= 3\r\nField5= 4\r\nSeparator=1\r\n");
  ASSERT_EQ(Convert("--to asc --ini " + Path("k.ini") + " " + Path("in.asc") + " " + Path("o")), 0)
      << err_;
  EXPECT_EQ(korv::test::ReadFileBytes(Path("o")), "P4 600.0 300.0 12.5 WALL\r\nP9    \r\n");
  ASSERT_EQ(Convert("--to asc --separator comma --append --order nez --ini " + Path("k.ini") + " " +
                    Path("in.asc") + " " + Path("o")),
            0)
      << err_;
  EXPECT_EQ(korv::test::ReadFileBytes(Path("o")),
            "P4 600.0 300.0 12.5 WALL\r\nP9    \r\nP4,300.0,600.0,12.5,WALL\r\nP9,,,,\r\n");
}

TEST_F(CoordsCli, AscWithoutSettingsFileUsesTheFreshDefaults) {
  ASSERT_EQ(Convert("--to asc " + Data("asc/mixed.asc") + " " + Path("o")), 0) << err_;
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(Path("o")),
                             korv::test::DataPath("asc/mixed~asc.asc"));
}

TEST_F(CoordsCli, FaultsAreReportedAndLeaveTheOutputAlone) {
  korv::test::WriteFileBytes(Path("o"), "KEEP");
  EXPECT_EQ(Convert("--to asc --separator tab " + Data("asc/mixed.asc") + " " + Path("o")), 2);
  EXPECT_NE(err_.find("--separator wants one of: comma, space; not 'tab'"), std::string::npos)
      << err_;
  EXPECT_EQ(Convert("--to dxf " + Path("missing.asc") + " " + Path("o")), 1);
  EXPECT_NE(err_.find("Cannot read"), std::string::npos) << err_;
  EXPECT_EQ(Convert("--to asc --append " + Path("missing.asc") + " " + Path("o")), 1);
  EXPECT_EQ(korv::test::ReadFileBytes(Path("o")), "KEEP");
}

}  // namespace
