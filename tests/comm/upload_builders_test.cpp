// Upload line builders: column meanings, defaults, cuts, decimal commas, KOF positions and
// the line count the sender relies on.
#include "comm/upload_builders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "comm/pty_fixture.h"

namespace korv {
namespace {

CoordFieldOptions Columns(std::array<int, 5> fields) {
  CoordFieldOptions c;
  c.fields = fields;
  return c;
}
const CoordFieldOptions kDefault = Columns({0, 1, 2, 3, 4});

struct Built {
  std::string out;
  UploadBuild build;
};

Built Comma(const std::string& src, const CoordFieldOptions& c = kDefault, int order = 0) {
  std::istringstream in(src);
  std::ostringstream out;
  UploadBuild b = CreateUpLoadFileComma(in, out, c, order);
  return {out.str(), b};
}
Built Space(const std::string& src, const CoordFieldOptions& c = kDefault, int order = 0) {
  std::istringstream in(src);
  std::ostringstream out;
  UploadBuild b = CreateUpLoadFileSpace(in, out, c, order);
  return {out.str(), b};
}
Built Kof(const std::string& src, int order) {
  std::istringstream in(src);
  std::ostringstream out;
  UploadBuild b = CreateUpLoadFileKOF(in, out, order);
  return {out.str(), b};
}

TEST(PutUpLoadLine, TrimsCutsAndLeavesOutEmptyValues) {
  EXPECT_EQ(UpLoadLine(" P1 ", " 100.5", "200.25 ", "10", " KERB "), "P1,100.5,200.25,10,KERB");
  EXPECT_EQ(UpLoadLine("P2", "15", "0.000", "0.000", ""), "P2,15,0.000,0.000,");
  EXPECT_EQ(UpLoadLine("ABCDEFGHIJKLMNO", "1", "2", "3", "123456789012345"),
            "ABCDEFGHIJKL,1,2,3,123456789012");
  // Only the first comma of a number becomes a point.
  EXPECT_EQ(UpLoadLine("P", "1,5", "2,5,0", "3", "C"), "P,1.5,2.5,0,3,C");
  // Empty values go out with their comma: the rest moves forward.
  EXPECT_EQ(UpLoadLine("  ", "1", " ", "3", "C"), "1,3,C");
  EXPECT_EQ(UpLoadLine("", "", "", "", ""), "");
  // Twelve characters, not twelve bytes, of a name in a UTF-8 file.
  EXPECT_EQ(UpLoadLine("ÅÅÅÅÅÅÅÅÅÅÅÅÅÅ", "1", "2", "3", "", TextEncoding::Utf8),
            "ÅÅÅÅÅÅÅÅÅÅÅÅ,1,2,3,");

  std::ostringstream out;
  PutUpLoadLine(out, "P1", "1", "2", "3", "C");
  EXPECT_EQ(out.str(), "P1,1,2,3,C\r\n");
}

TEST(CreateUpLoadFileComma, OrderDefaultsAndCount) {
  Built nez = Comma("P1,100.5,200.25,10,KERB\r\nP2,15\r\n");
  EXPECT_EQ(nez.out, "P1,100.5,200.25,10,KERB\r\nP2,15,0.000,0.000,\r\n");
  EXPECT_EQ(nez.build.SendLineCount, 4);  // 1 + two lines + 1
  EXPECT_TRUE(nez.build.ok());

  Built enz = Comma("P1,100.5,200.25,10,KERB\n", kDefault, 1);
  EXPECT_EQ(enz.out, "P1,200.25,100.5,10,KERB\r\n");

  // A missing point takes "0"; a missing elevation "0.000".
  EXPECT_EQ(Comma(",1,2,,C\n").out, "0,1,2,0.000,C\r\n");
}

TEST(CreateUpLoadFileComma, ColumnMeanings) {
  // Northing, Easting, Point number, Elevation, Code.
  EXPECT_EQ(Comma("N,E,P,Z,C\n", Columns({1, 2, 0, 3, 4})).out, "P,N,E,Z,C\r\n");
  // A later column wins a meaning; 5 and 6 are not used; an unclaimed meaning is empty.
  EXPECT_EQ(Comma("A,B,1,2,X\n", Columns({0, 0, 1, 2, 6})).out, "B,1,2,0.000,\r\n");
  EXPECT_EQ(Comma("A,B,1,2,X\n", Columns({5, 0, 1, 2, 5})).out, "B,1,2,0.000,\r\n");
}

TEST(CreateUpLoadFileComma, BlankLinesAreCountedButNeverRepeatAPoint) {
  Built b = Comma("P1,1,2,3,C\r\n\r\n   \r\nP2,4,5,6,D\r\n");
  EXPECT_EQ(b.out, "P1,1,2,3,C\r\nP2,4,5,6,D\r\n");
  EXPECT_EQ(b.build.SendLineCount, 6);
}

TEST(CreateUpLoadFileSpace, RunsOfBlanksAndDecimalCommas) {
  Built b = Space("  P3   12,5 7  1   TREE  \nP4 1 2\n");
  EXPECT_EQ(b.out, "P3,12.5,7,1,TREE\r\nP4,1,2,0.000,\r\n");
  EXPECT_EQ(b.build.SendLineCount, 4);
  EXPECT_EQ(Space("N E P Z C\n", Columns({1, 2, 0, 3, 4}), 1).out, "P,E,N,Z,C\r\n");
}

TEST(CreateUpLoadFileKOF, CharacterPositionsAndOrder) {
  // Columns: 2-3 "05", point 5-14, code 16-23, A 25-36, B 38-48, elevation 50-57.
  const std::string rec = std::string(" 05 ") + "P100      " + " " + "KUM     " + " " +
                          " 6543210.123" + " " + " 123456.789" + " " + "  45.678";
  ASSERT_EQ(rec.size(), 57u);
  const std::string blankPoint = std::string(" 05 ") + "          " + " " + "KUM     " + " " +
                                 " 6543210.123" + " " + " 123456.789" + " " + "  45.678";
  const std::string src =
      " 00 Header line\r\n" + rec + "\r\n" + blankPoint + "\r\n 05 P7\r\n05 P8 not a 05 record\r\n";

  Built nez = Kof(src, 0);
  EXPECT_EQ(nez.out,
            "P100,123456.789,6543210.123,45.678,KUM\r\n"
            "123456.789,6543210.123,45.678,KUM\r\n"
            "P7,\r\n");
  EXPECT_EQ(nez.build.SendLineCount, 7);  // 1 + five lines + 1

  Built enz = Kof(rec + "\n", 1);
  EXPECT_EQ(enz.out, "P100,6543210.123,123456.789,45.678,KUM\r\n");

  // A UTF-8 file counts its columns in characters, as the KOF writers place them; its letters
  // reach the instrument in the instrument's code page, one byte each.
  const std::string utf8 = std::string(" 05 ") + "\xC3\x86r\xC3\xB8sk\xC3\xB8" "bing" + " " +
                           "\xC3\x86\xC3\x98\xC3\x85\xC3\xA6\xC3\xB8\xC3\xA5\xC3\x86\xC3\x98" +
                           " " + "     200.000" + " " + "    100.000" + " " + "  12.500";
  EXPECT_EQ(Kof(utf8 + "\r\n", 1).out,
            "\xC6r\xF8sk\xF8"
            "bing,200.000,100.000,12.500,\xC6\xD8\xC5\xE6\xF8\xE5\xC6\xD8\r\n");
}

// The instrument holds one byte a character in Windows-1252: the letters of a UTF-8 file go
// out in it ("?" for those it has not), as the same file in Windows-1252 would send them.
TEST(UploadBuilders, Utf8SourcesAreSentInTheInstrumentsCodePage) {
  const std::string oe = "\xD8", o = "\xF3";  // Ø and ó in Windows-1252
  EXPECT_EQ(Comma("ØST1,1,2,3,GRØFT\r\nŁódź,4,5,6,\r\n").out,
            oe + "ST1,1,2,3,GR" + oe + "FT\r\n?" + o + "d?,4,5,6,\r\n");
  // The same letters in a Windows-1252 file, and a code list of each.
  EXPECT_EQ(Comma(oe + "ST1,1,2,3,GR" + oe + "FT\r\n").out, oe + "ST1,1,2,3,GR" + oe + "FT\r\n");
  for (const std::string& codes : {std::string("KUM\r\nGRØFT\r\n"), "KUM\r\nGR" + oe + "FT\r\n"}) {
    std::istringstream in(codes);
    std::ostringstream out;
    CreatUpLoadCodeFile(in, out);
    EXPECT_EQ(out.str(), "KUM\r\nGR" + oe + "FT\r\n");
  }
}

TEST(CreatUpLoadCodeFile, CopiesEveryLineAndCounts) {
  std::istringstream in("KERB\r\n\r\n TREE \nLAMP");
  std::ostringstream out;
  UploadBuild b = CreatUpLoadCodeFile(in, out);
  EXPECT_EQ(out.str(), "KERB\r\n\r\n TREE \r\nLAMP\r\n");
  EXPECT_EQ(b.SendLineCount, 4);
}

TEST(UploadBuilders, CountsBelowThreeMeanNothingToSend) {
  std::istringstream one("A\r\n"), two("A\r\nB\r\n");
  std::ostringstream out;
  EXPECT_EQ(CreatUpLoadCodeFile(one, out).SendLineCount, 1);
  EXPECT_EQ(CreatUpLoadCodeFile(two, out).SendLineCount, 2);
  EXPECT_EQ(Comma("").build.SendLineCount, 2);
  EXPECT_EQ(Space("").build.SendLineCount, 2);
  EXPECT_EQ(Kof("", 0).build.SendLineCount, 2);
}

TEST(UploadBuilders, UnreadableSourceFailsWithoutCount) {
  const std::string folder = test::TempFolder();
  std::ostringstream out;
  for (const std::string& path : {folder + "missing.asc", folder}) {
    SCOPED_TRACE(path);
    UploadBuild b = CreateUpLoadFileComma(path, out, kDefault, 0);
    EXPECT_EQ(b.status, Status::InputFault);
    EXPECT_EQ(b.SendLineCount, 0);
    EXPECT_FALSE(b.fault.empty());
    EXPECT_FALSE(CreateUpLoadFileSpace(path, out, kDefault, 0).ok());
    EXPECT_FALSE(CreateUpLoadFileKOF(path, out, 0).ok());
    EXPECT_FALSE(CreatUpLoadCodeFile(path, out).ok());
  }
  EXPECT_EQ(out.str(), "");
  test::WriteFileBytes(folder + "p.asc", "P1,1,2,3,C\r\n");
  UploadBuild b = CreateUpLoadFileComma(folder + "p.asc", out, kDefault, 0);
  EXPECT_TRUE(b.ok());
  EXPECT_EQ(b.SendLineCount, 3);
  EXPECT_EQ(out.str(), "P1,1,2,3,C\r\n");
  std::filesystem::remove_all(folder);
}

TEST(UploadBuilders, FilesThatAreNoSurveyTextAreRefusedAndNothingIsBuilt) {
  const std::string folder = test::TempFolder();
  const std::string utf16 = folder + "utf16.asc", binary = folder + "binary.asc",
                    semicolons = folder + "semicolons.asc";
  test::WriteFileBytes(utf16, std::string("\xFF\xFEP\0001\000,\0001\000\r\0\n\0", 14));
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes += static_cast<char>(i * 37 % 256);
  test::WriteFileBytes(binary, bytes);
  test::WriteFileBytes(semicolons, "P1;6547770,343;572368,275;11,503\r\nP2;1,5;2,5;3,5\r\n");
  std::ostringstream out;
  for (const auto& [path, why] : {std::pair<std::string, std::string>{utf16, "UTF-16"},
                                  {binary, "binary data"}}) {
    SCOPED_TRACE(path);
    for (const UploadBuild& b :
         {CreateUpLoadFileComma(path, out, kDefault, 0),
          CreateUpLoadFileSpace(path, out, kDefault, 0), CreateUpLoadFileKOF(path, out, 0),
          CreatUpLoadCodeFile(path, out)}) {
      EXPECT_EQ(b.status, Status::InputFault);
      EXPECT_EQ(b.SendLineCount, 0);
      EXPECT_EQ(b.fault.rfind("Cannot send " + path + ": ", 0), 0u) << b.fault;
      EXPECT_NE(b.fault.find(why), std::string::npos) << b.fault;
    }
  }
  // A spreadsheet's list read as comma-separated would send its numbers cut at the decimal
  // commas; a code list may hold semicolons.
  EXPECT_NE(CreateUpLoadFileComma(semicolons, out, kDefault, 0).fault.find("semicolons"),
            std::string::npos);
  EXPECT_EQ(out.str(), "");
  const UploadBuild codes = CreatUpLoadCodeFile(semicolons, out);
  EXPECT_TRUE(codes.ok()) << codes.fault;
  EXPECT_EQ(codes.SendLineCount, 2);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace korv
