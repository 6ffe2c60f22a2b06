// The DXF writer: whole drawings against hand-built golden files, the text stacking and the
// failure paths.
#include "coords/dxf_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>
#include <vector>

#include "coords/coord_list.h"
#include "core/numbers.h"
#include "test_files.h"

namespace korv {
namespace {

using test::DataPath;
using test::ReadFileBytes;
using test::ScratchFolder;
using test::WriteFileBytes;

// Options of a golden case: "[DXF Settings]" of <case>.ini when there is one, else defaults.
DxfOptions CaseOptions(const std::string& name) {
  return LoadDxfOptions(IniFile::Load(DataPath("dxf/" + name + ".ini").string()));
}

struct GoldenCase {
  const char* name;
  int order;
};

class DxfGolden : public testing::TestWithParam<GoldenCase> {};

TEST_P(DxfGolden, DrawingMatchesGoldenFile) {
  const GoldenCase& c = GetParam();
  ScratchFolder dir(std::string("dxf_golden_") + c.name);
  std::string out = dir / "out.dxf";
  ConvertResult r = CoorToDXF(DataPath(std::string("dxf/") + c.name + ".asc").string(), out,
                              CaseOptions(c.name), c.order);
  ASSERT_TRUE(r.ok()) << r.fault;
  test::ExpectSameFile(ReadFileBytes(out), DataPath(std::string("dxf/") + c.name + "~dxf.dxf"));
}

INSTANTIATE_TEST_SUITE_P(Cases, DxfGolden,
                         testing::Values(GoldenCase{"all_on", CoordOrder::kNEZ},
                                         GoldenCase{"two_d", CoordOrder::kNEZ},
                                         GoldenCase{"code_only", CoordOrder::kNEZ},
                                         GoldenCase{"no_points", CoordOrder::kNEZ},
                                         GoldenCase{"colours", CoordOrder::kNEZ},
                                         GoldenCase{"order_nez", CoordOrder::kNEZ},
                                         GoldenCase{"order_enz", CoordOrder::kENZ}),
                         [](const testing::TestParamInfo<GoldenCase>& info) {
                           return std::string(info.param.name);
                         });

std::string Entities(const std::string& input, const DxfOptions& options, int order) {
  std::istringstream in(input);
  std::ostringstream out;
  EXPECT_TRUE(CoorToDXF(in, out, options, order).ok());
  std::string s = out.str();
  size_t at = s.find("ENTITIES\r\n  0\r\n");
  return at == std::string::npos ? s : s.substr(at + 15);
}

TEST(CoorToDXF, TextOffsetsStackWithEachTextsOwnHeight) {
  DxfOptions options;
  options.output2D = true;
  options.rows[DxfRow::kPointName].size = "2";
  options.rows[DxfRow::kElevation].size = "1";
  options.rows[DxfRow::kCode].size = "0.5";
  // Name: dx = dy = 1. Elevation: dy = 1 + 1.2. Code: dy = 2.2 + 0.6 (32-bit steps).
  std::string e = Entities("P,0,0,5,C\r\n", options, CoordOrder::kNEZ);
  EXPECT_NE(e.find("  1\r\nP\r\n 10\r\n1.0000\r\n 20\r\n-1.0000\r\n 40\r\n 2 \r\n"),
            std::string::npos)
      << e;
  EXPECT_NE(e.find("  1\r\n5\r\n 10\r\n1.0000\r\n 20\r\n-2.2000\r\n 40\r\n 1 \r\n"),
            std::string::npos)
      << e;
  EXPECT_NE(e.find("  1\r\nC\r\n 10\r\n1.0000\r\n 20\r\n-2.8000\r\n 40\r\n 0.5 \r\n"),
            std::string::npos)
      << e;
}

TEST(CoorToDXF, OffsetsAdvanceForEmptyTextsAndEmptyLayersWriteNoText) {
  DxfOptions options;
  options.output2D = true;
  options.rows[DxfRow::kElevation].layer = "";
  // No name: the elevation still moves the code down; the elevation text has no layer.
  std::string e = Entities(",0,0,5,C\r\n", options, CoordOrder::kNEZ);
  EXPECT_EQ(e.find("  1\r\n5\r\n"), std::string::npos) << e;
  EXPECT_EQ(e.find("PN"), std::string::npos) << e;
  EXPECT_NE(e.find("  1\r\nC\r\n 10\r\n0.5000\r\n 20\r\n-2.9000\r\n"), std::string::npos) << e;
}

// The drawing reads only the fields it needs; every shape of line gives the texts of the
// full field split: blanks around fields, a blank or missing rest, more than twelve commas,
// commas on either side of a sixteen-byte block.
TEST(CoorToDXF, TextsAreTheFieldsOfTheLine) {
  const std::string lines[] = {"P1,1,2,3",
                               "P1,1,2,   ",
                               "P1,1,2",
                               "  P1 , 1 , 2 , 3 , CODE , x,y  ",
                               "P1,1,2,3,,",
                               "P1,1,2,3, ,CODE",
                               "P1,1,2,3,  CODE  ",
                               "P1,1,2,3,C,1,2,3,4,5,6,7,8,9,10,11,12",
                               "LongPointName0123,1,2,3,C",
                               "LongPointName012,1,2,3,C",
                               "P,1234567.1234,12345678.123,12.5,KERB ONE",
                               "P,1,2,3,code, with comma",
                               "Name,,,4,5",
                               ",,,,",
                               "   ,1,2,3"};
  for (const std::string& line : lines) {
    FieldViews f;
    std::vector<std::string> expected;
    if (SplitCoordinateLine(line, f, CoordOrder::kNEZ) >= 4) {
      for (size_t i : {CoordListField::kName, CoordListField::kElevation, CoordListField::kCode}) {
        const std::string_view text = TrimView(f[i]);
        if (!text.empty()) expected.emplace_back(text);
      }
    }
    const std::string e = Entities(line + "\r\n", DxfOptions(), CoordOrder::kNEZ);
    std::vector<std::string> texts;
    for (size_t at = e.find("TEXT\r\n"); at != std::string::npos;
         at = e.find("TEXT\r\n", at + 1)) {
      const size_t from = e.find("  1\r\n", at) + 5;
      texts.push_back(e.substr(from, e.find("\r\n", from) - from));
    }
    EXPECT_EQ(texts, expected) << line;
    EXPECT_EQ(e.find("POINT\r\n") != std::string::npos,
              SplitCoordinateLine(line, f, CoordOrder::kNEZ) >= 4)
        << line;
  }
}

TEST(CoorToDXF, ElevationIsHeldAs32BitValue) {
  // 1234.56789 as a 32-bit value is 1234.568; the elevation text keeps what the file says.
  std::string e = Entities("P,0,0,1234.56789\r\n", DxfOptions(), CoordOrder::kNEZ);
  EXPECT_NE(e.find(" 30\r\n1234.5680\r\n"), std::string::npos) << e;
  EXPECT_NE(e.find("  1\r\n1234.56789\r\n"), std::string::npos) << e;
}

TEST(CoorToDXF, HugeNumbersAreWrittenInFullOnEveryEntity) {
  // Beyond the quick formatter's range; the point and its text both carry the full numbers.
  std::string e = Entities("P,1e21,-5e20,1e30\r\n", DxfOptions(), CoordOrder::kNEZ);
  const std::string lines = " 10\r\n" + FormatPicture(-5e20, "0.0000") + "\r\n 20\r\n" +
                            FormatPicture(1e21, "0.0000") + "\r\n 30\r\n" +
                            FormatPicture(ToSingle(1e30), "0.0000") + "\r\n";
  size_t first = e.find(lines);
  ASSERT_NE(first, std::string::npos) << e;
  EXPECT_NE(e.find(" 30\r\n" + FormatPicture(ToSingle(1e30), "0.0000") + "\r\n 40", first),
            std::string::npos)
      << e;
}

TEST(CoorToDXF, ExtentsUseEastingAsXInBothOrders) {
  DxfExtents nez, enz;
  for (auto [order, extents] : {std::pair{CoordOrder::kNEZ, &nez}, {CoordOrder::kENZ, &enz}}) {
    std::istringstream in("A,10,-5,0\r\nB,30,7,0\r\nshort,1\r\n");
    std::ostringstream out;
    ASSERT_TRUE(CoorToDXF(in, out, DxfOptions(), order, extents).ok());
  }
  EXPECT_DOUBLE_EQ(nez.XMin, -5);
  EXPECT_DOUBLE_EQ(nez.XMax, 7);
  EXPECT_DOUBLE_EQ(nez.YMin, 10);
  EXPECT_DOUBLE_EQ(nez.YMax, 30);
  EXPECT_DOUBLE_EQ(enz.XMin, 10);
  EXPECT_DOUBLE_EQ(enz.YMax, 7);
}

// The plane coordinates are read once, in the extents pass; a number beyond the 64-bit range
// (read as 0) must still be noted with its line, for either plane coordinate and the
// elevation, in both orders, and a true 0 must not be.
TEST(CoorToDXF, NumbersBeyondTheRangeAreNotedWithTheirLines) {
  for (int order : {CoordOrder::kNEZ, CoordOrder::kENZ}) {
    std::istringstream in("A,0,0,0,C\r\nB,1E999,5,1\r\nshort,1E999\r\nC,5,-1D999,1\r\n"
                          "D,5,6,1E99\r\nE,0.0,-0,0\r\n");
    std::ostringstream out;
    const ConvertResult r = CoorToDXF(in, out, DxfOptions(), order);
    ASSERT_TRUE(r.ok()) << r.fault;
    EXPECT_EQ(r.notes.outOfRangeLines, (std::vector<size_t>{2, 4, 5})) << order;
    EXPECT_EQ(r.notes.leftOutLines, std::vector<size_t>{3}) << order;  // too few fields
  }
  // A title line is left out of both passes: no point at 0, 0 in the drawing or its extents,
  // and each point keeps its own coordinates.
  std::istringstream titled("Point,North,East,Height\r\nP1,100,200,1\r\nP2,110,210,2\r\n");
  std::ostringstream drawing;
  DxfExtents e;
  const ConvertResult t = CoorToDXF(titled, drawing, DxfOptions(), CoordOrder::kNEZ, &e);
  EXPECT_EQ(t.notes.leftOutLines, std::vector<size_t>{1});
  EXPECT_EQ(std::vector<double>({e.XMin, e.YMin, e.XMax, e.YMax}),
            std::vector<double>({200, 100, 210, 110}));
  EXPECT_NE(drawing.str().find("POINT\r\n  8\r\n"), std::string::npos);
  EXPECT_NE(drawing.str().find(" 10\r\n200.0000\r\n 20\r\n100.0000\r\n"), std::string::npos);
  EXPECT_EQ(drawing.str().find("Point"), std::string::npos);
}

// A long list is read in blocks, each drawn in two parts at once: every point keeps its place
// and every noted line its number, whatever the line ends, a byte-order mark, or where the
// blocks and their halves fall.
TEST(CoorToDXF, LongListIsDrawnInOrderWhateverItsLineEnds) {
  constexpr size_t kLines = 60000;  // about 2 MB
  const std::set<size_t> tooShort = {3, 29999, 30000, 45123, 59999, 60000};
  constexpr size_t kHuge = 40000;  // a northing beyond the range
  std::vector<std::string> lines, names;
  for (size_t n = 1; n <= kLines; ++n) {
    const std::string name = "P" + std::to_string(n);
    if (tooShort.count(n)) {
      lines.push_back(name + ",1");
      continue;
    }
    names.push_back(name);
    lines.push_back(name + "," + (n == kHuge ? "1E999" : std::to_string(100000 + n)) + "," +
                    std::to_string(200000 + n) + ",1.5,CODE");
  }
  DxfOptions options;
  options.rows[DxfRow::kPointName].layer = "NAMES";
  std::string reference;
  for (const char* start : {"", "\xEF\xBB\xBF"}) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
      std::string text = start;
      for (const std::string& line : lines) text += line + end;
      std::istringstream in(text);
      std::ostringstream out;
      const ConvertResult r = CoorToDXF(in, out, options, CoordOrder::kNEZ);
      ASSERT_TRUE(r.ok()) << r.fault;
      EXPECT_EQ(r.notes.leftOut, tooShort.size());
      EXPECT_EQ(r.notes.leftOutLines, (std::vector<size_t>{3, 29999, 30000, 45123, 59999}));
      EXPECT_EQ(r.notes.outOfRangeLines, std::vector<size_t>{kHuge});
      if (reference.empty()) reference = out.str();
      ASSERT_EQ(out.str(), reference)
          << "start " << std::strlen(start) << ", end " << std::strlen(end);
    }
  }
  size_t at = 0;
  for (const std::string& name : names) {
    at = reference.find("\r\n" + name + "\r\n", at);
    ASSERT_NE(at, std::string::npos) << name << " missing or out of order";
  }
  EXPECT_EQ(reference.find("\r\nP3\r\n"), std::string::npos);
  // A CR LF may be cut by the end of a block: a first line longer by one character at a time
  // moves every line end across it, and the line after the body keeps its number.
  std::string body;
  for (size_t n = 0; n < 30000; ++n) body += "Q,100000,200000,1.5,CODE\r\n";  // 26 bytes
  for (size_t pad = 0; pad < 26; ++pad) {
    std::istringstream in("P" + std::string(pad, '0') + ",1,2,3\r\n" + body + "short\r\n");
    std::ostringstream out;
    EXPECT_EQ(CoorToDXF(in, out, options, CoordOrder::kNEZ).notes.leftOutLines,
              std::vector<size_t>{30002})
        << pad;
  }
  // The extents of all blocks (the huge northing reads as 0; the last two lines are too short).
  EXPECT_NE(reference.find("$EXTMIN\r\n 10\r\n 200001 \r\n 20\r\n 0 \r\n  9\r\n"
                           "$EXTMAX\r\n 10\r\n 259998 \r\n 20\r\n 159998 \r\n"),
            std::string::npos);
}

TEST(CoorToDXF, InputThatCannotBeReadLeavesOutputUntouched) {
  ScratchFolder dir("dxf_missing_input");
  WriteFileBytes(dir / "old.dxf", "OLD");
  ConvertResult r = CoorToDXF(dir / "missing.asc", dir / "old.dxf", DxfOptions(), 0);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.fault.find("missing.asc"), std::string::npos) << r.fault;
  EXPECT_EQ(ReadFileBytes(dir / "old.dxf"), "OLD");
  EXPECT_FALSE(CoorToDXF(dir / "missing.asc", dir / "new.dxf", DxfOptions(), 0).ok());
  EXPECT_FALSE(std::filesystem::exists(dir / "new.dxf"));
}

TEST(CoorToDXF, ExistingDrawingIsReplacedWhole) {
  ScratchFolder dir("dxf_replace");
  WriteFileBytes(dir / "in.asc", "P1,1,2,3\r\n");
  WriteFileBytes(dir / "out.dxf", std::string(100000, 'x'));
  ASSERT_TRUE(CoorToDXF(dir / "in.asc", dir / "out.dxf", DxfOptions(), 0).ok());
  std::string s = ReadFileBytes(dir / "out.dxf");
  EXPECT_EQ(s.substr(0, 4), "  0\r");
  EXPECT_EQ(s.substr(s.size() - 17), "ENDSEC\r\n 0\r\nEOF\r\n");
}

TEST(CoorToDXF, FullDiskFailsInsteadOfReportingSuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::string input;
  for (int i = 0; i < 20000; ++i) input += "P" + std::to_string(i) + ",1,2,3,C\r\n";
  std::istringstream in(input);
  std::ofstream full("/dev/full", std::ios::binary);
  ConvertResult r = CoorToDXF(in, full, DxfOptions(), 0);
  EXPECT_FALSE(r.ok());
}

}  // namespace
}  // namespace korv
