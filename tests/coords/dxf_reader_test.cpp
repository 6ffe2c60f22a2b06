// A drawing made by the writer opens in established DXF readers (ezdxf and GDAL's ogrinfo,
// from Debian's python3-ezdxf and gdal-bin) with every point and every text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "coords/coord_list.h"
#include "coords/dxf_writer.h"
#include "test_files.h"

namespace korv {
namespace {

// A list as instruments deliver it: large northings, negative elevations, missing codes,
// blanks around fields, an LF-only line, a header and an empty line.
std::string SampleList(int order) {
  std::string s = "Coordinates\r\n\r\n";
  for (int i = 1; i <= 250; ++i) {
    std::string north = std::to_string(6543000 + i * 7) + "." + std::to_string(100 + i % 900);
    std::string east = std::to_string(543000 - i * 13) + "." + std::to_string(i % 10) + "5";
    std::string z = (i % 4 == 0 ? "-" : "") + std::to_string(i % 300) + ".25";
    std::string first = order == CoordOrder::kNEZ ? north : east;
    std::string second = order == CoordOrder::kNEZ ? east : north;
    std::string code = i % 3 == 0 ? "" : ",C" + std::to_string(i % 7);
    std::string sep = i % 10 == 0 ? " , " : ",";
    s += "P" + std::to_string(i) + sep + first + sep + second + sep + z + code +
         (i % 25 == 0 ? "\n" : "\r\n");
  }
  return s;
}

TEST(DxfReaders, EveryPointAndTextIsFound) {
  const char* python = "/usr/bin/python3";
  ASSERT_EQ(std::system((std::string(python) + " -c 'import ezdxf' 2>/dev/null").c_str()), 0)
      << "python3-ezdxf is not installed (Debian packages python3-ezdxf and gdal-bin)";
  ASSERT_EQ(std::system("ogrinfo --version >/dev/null 2>&1"), 0) << "gdal-bin is not installed";
  test::ScratchFolder dir("dxf_readers");
  std::string script = test::DataPath("../coords/check_dxf.py").string();
  for (int order : {CoordOrder::kNEZ, CoordOrder::kENZ}) {
    test::WriteFileBytes(dir / "list.asc", SampleList(order));
    ConvertResult r = CoorToDXF(dir / "list.asc", dir / "out.dxf", DxfOptions(), order);
    ASSERT_TRUE(r.ok()) << r.fault;
    std::string command = std::string(python) + " '" + script + "' '" + (dir / "out.dxf") + "' '" +
                          (dir / "list.asc") + "' " + std::to_string(order);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }
}

}  // namespace
}  // namespace korv
