// KOF writers: whole golden files built by hand column by column, the point-number and code
// conversions, the settings reader and the file-level guarantees.
#include "formats/kof_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "core/text_encoding.h"
#include "formats/kof_options.h"
#include "formats/sdr_writer.h"
#include "test_support.h"

namespace korv {
namespace {

const std::string kData = std::string(KORVENIA_TEST_DATA) + "/kof/";

using test::ExpectSameFile;

struct Recorder : Reporter {
  std::vector<std::string> texts, titles;
  void Report(const std::string& text, const std::string& title, MessageIcon icon) override {
    texts.push_back(text);
    titles.push_back(title);
    EXPECT_EQ(icon, MessageIcon::Exclamation);
  }
};

KofOptions SurveyOptions() {
  KofOptions o;
  o.project = "SURVEY";
  o.date = "07.12.26";
  o.road = "E6 Nordveien";
  o.city = "Trondheimsfjord";  // cut to 12
  o.surveyor = "K. Nordmann";
  return o;
}

std::string RunRaw(const std::string& input, const KofOptions& o, int order,
                   const PointConversion& table) {
  std::istringstream in(input);
  std::ostringstream out;
  EXPECT_TRUE(RawToKOF(in, out, o, order, table).ok());
  return out.str();
}

std::string RunCoord(const std::string& input, const KofOptions& o, int order) {
  std::istringstream in(input);
  std::ostringstream out;
  EXPECT_TRUE(CoorToKOF(in, out, o, order, PointConversion()).ok());
  return out.str();
}

// Every record type, single precision in the millions, a cut angle, Temp:/Press:, "Coord
// Order:" switching, a 12-character backsight, skipped records, CR LF input.
TEST(RawToKOF, GoldenSurvey) {
  ExpectSameFile(RunRaw(test::ReadFileBytes(kData + "survey.raw"), SurveyOptions(), 0, {}),
                 kData + "survey~kof.kof");
}

// Point-number and code conversion with a conversion file, " 09 " suffix lines, the current
// code on a station line, LF input, order ENZ.
TEST(RawToKOF, GoldenConversions) {
  KofOptions o;
  o.project = "CONVERT";
  o.date = "31.01.27";
  o.usePointNumberConversion = o.useCodeConversion = true;
  o.pointFile = kData + "convert.pts";
  PointConversion table;
  Recorder r;
  ASSERT_EQ(LoadPointConversion(o, table, r), "");
  EXPECT_TRUE(r.texts.empty());
  ExpectSameFile(RunRaw(test::ReadFileBytes(kData + "convert.raw"), o, 1, table),
                 kData + "convert~kof.kof");
}

TEST(CoorToKOF, GoldenCoordinatesEnz) {
  KofOptions o;
  o.project = "COORDS";
  o.date = "07.12.26";
  o.road = "Road 1";
  o.city = "City";
  o.surveyor = "Me";
  ExpectSameFile(RunCoord(test::ReadFileBytes(kData + "coords.asc"), o, 1),
                 kData + "coords~kof.kof");
}

TEST(CoorToKOF, EastingFirstForBothOrders) {
  std::string enz = RunCoord("P1,500.1,600.2,10,TREE\r\n", {}, 1);
  std::string nez = RunCoord("P1,600.2,500.1,10,TREE\r\n", {}, 0);
  const std::string line = " 05 P1         TREE          500.100     600.200   10.000\r\n";
  EXPECT_EQ(enz.substr(enz.size() - line.size()), line);
  EXPECT_EQ(nez.substr(nez.size() - line.size()), line);
}

// Lines are built in the output buffer itself: thousands of them cross its flushes, and a
// comment far longer than the buffer is written whole, with the lines after it.
TEST(RawToKOF, LinesAcrossFlushesAndLongerThanTheBuffer) {
  const std::string shot = "SS,P7,1.500,123.456,45.6789,90.1234,,TREE\r\n";
  const std::string header = RunRaw("", {}, 0, {});
  const std::string one = RunRaw(shot, {}, 0, {}).substr(header.size());
  ASSERT_EQ(one.substr(0, 4), " 03 ");
  std::string input, expected = header;
  for (int i = 0; i < 3000; ++i) {
    input += shot;
    expected += one;
  }
  const std::string comment(300000, 'c');
  input += "CO," + comment + "\r\n" + shot;
  expected += " 00 " + comment + "\r\n" + one;
  EXPECT_TRUE(RunRaw(input, {}, 0, {}) == expected);
}

TEST(RawToKOF, CoordinateOrderSettingAndComment) {
  // Point (11 columns), empty code (9), first (12), blank, second (11), blank, elevation (8).
  const std::string head = " 05 P" + std::string(10 + 9, ' ');
  const std::string nezLine = head + "       2.000" + "       1.000" + "    3.000\r\n";
  const std::string enzLine = head + "       1.000" + "       2.000" + "    3.000\r\n";
  auto last = [](const std::string& s, size_t n) { return s.substr(s.size() - n); };
  EXPECT_EQ(last(RunRaw("UP,P,,1,2,3\r\n", {}, 0, {}), nezLine.size()), nezLine);
  EXPECT_EQ(last(RunRaw("UP,P,,1,2,3\r\n", {}, 1, {}), enzLine.size()), enzLine);
  // The comment overrides the setting; an unknown word leaves the order as it was.
  EXPECT_EQ(last(RunRaw("CO,Coord Order: NEZ\r\nUP,P,,1,2,3\r\n", {}, 1, {}), nezLine.size()),
            nezLine);
  EXPECT_EQ(last(RunRaw("CO,Coord Order: XYZ\r\nUP,P,,1,2,3\r\n", {}, 1, {}), enzLine.size()),
            enzLine);
}

TEST(PointConversion, FileRules) {
  PointConversion table;
  table.entries[40] = "KEPT";
  KofOptions o;
  Recorder r;
  EXPECT_EQ(LoadPointConversion(o, table, r), "E");  // no file set: no message
  EXPECT_TRUE(r.texts.empty());

  o.pointFile = kData + "convert.pts";
  ASSERT_EQ(LoadPointConversion(o, table, r), "");
  EXPECT_EQ(table.entries[12], "N");
  EXPECT_EQ(table.entries[3], "THREE");
  EXPECT_EQ(table.entries[2], "TWO");  // 2.5 rounds to the even 2
  EXPECT_EQ(table.entries[5], "");     // empty replacement ignored
  EXPECT_EQ(table.entries[200], "");   // out of range
  EXPECT_EQ(table.entries[40], "KEPT");

  o.pointFile = kData + "no-such-file.pts";
  EXPECT_EQ(LoadPointConversion(o, table, r), "E");
  ASSERT_EQ(r.texts.size(), 1u);
  EXPECT_EQ(r.texts[0], o.pointFile + " not found");
  EXPECT_EQ(r.titles[0], "Load " + o.pointFile);
  EXPECT_EQ(table.entries[12], "N");

  std::string tiny = ::testing::TempDir() + "tiny.pts";
  test::WriteFileBytes(tiny, "1=A");  // shorter than 4 bytes counts as missing
  o.pointFile = tiny;
  EXPECT_EQ(LoadPointConversion(o, table, r), "E");
  EXPECT_EQ(r.texts.size(), 2u);
  EXPECT_EQ(table.entries[1], "");
}

TEST(PointConversion, ConvertPointNumber) {
  PointConversion t;
  t.entries[12] = "N";
  t.entries[7] = "SEVEN";
  t.entries[0] = "ZERO";
  std::string name = "  123 ";
  ConvertPointNumber(name, t);
  EXPECT_EQ(name, "N3");
  name = "7A";
  ConvertPointNumber(name, t);
  EXPECT_EQ(name, "SEVEN");
  name = " 5 ";  // trimmed, too short to convert
  ConvertPointNumber(name, t);
  EXPECT_EQ(name, "5");
  name = "AB1";  // no leading number: prefix 0
  ConvertPointNumber(name, t);
  EXPECT_EQ(name, "ZERO1");
  name = "-12";
  ConvertPointNumber(name, t);
  EXPECT_EQ(name, "-12");
}

TEST(CodeSuffix, SplitsAtTheLastDash) {
  auto split = [](std::string code) {
    std::string suffix = "old";
    SplitCodeSuffix(code, suffix);
    return code + "|" + suffix;
  };
  EXPECT_EQ(split("AB-12-3"), "AB-12|3");
  EXPECT_EQ(split("-5"), "|5");
  EXPECT_EQ(split("AB-"), "AB|");
  EXPECT_EQ(split("TREE"), "TREE|");
}

TEST(KofOptions, ReadFromSettingsFile) {
  std::tm now{};
  now.tm_year = 2026 - 1900;
  now.tm_mon = 0;
  now.tm_mday = 5;
  IniFile ini = IniFile::FromBytes(
      "[KOF Settings]\r\nRoad=Main road\r\nCity= \r\nSurveyor=KN\r\n"
      "UsePointNumberConversion = 1\r\nUseCodeConversion = 2\r\nKofpointFile=points.txt\r\n");
  KofOptions o = ReadKofOptions(ini, "/opt/korvenia/", "C:\\Data\\JOB01.KOF", now);
  EXPECT_EQ(o.project, "JOB01");
  EXPECT_EQ(o.date, "05.01.26");
  EXPECT_EQ(o.road, "Main road");
  EXPECT_EQ(o.city, "");
  EXPECT_EQ(o.surveyor, "KN");
  EXPECT_TRUE(o.usePointNumberConversion);
  EXPECT_FALSE(o.useCodeConversion);  // only 1 ticks the box
  EXPECT_EQ(o.pointFile, "/opt/korvenia/points.txt");
  // A path with folders is taken in the settings folder too; a full path, also a Windows-made
  // one, as it is.
  EXPECT_EQ(KofPointFilePath("/opt/k/", "lists/p.txt"), "/opt/k/lists/p.txt");
  for (const char* full : {"/srv/p.txt", "\\\\srv\\p.txt", "C:\\Data\\p.txt", "d:/p.txt"})
    EXPECT_EQ(KofPointFilePath("/opt/k/", full), full);

  KofOptions d = ReadKofOptions(IniFile(), "/x/", "/home/u/survey.2024.kof", now);
  EXPECT_EQ(d.project, "survey.2024");
  EXPECT_EQ(d.road + d.city + d.surveyor + d.pointFile, "");
  EXPECT_FALSE(d.usePointNumberConversion || d.useCodeConversion);
  EXPECT_EQ(KofProjectText("/a.b/JOB"), "JOB");
}

// A coordinate list's lines of fewer than four fields (a title, a space-separated line) and a
// spreadsheet's title line of four fields are left out with their line numbers said, not
// written as points at 0, 0; blank lines are not counted, and a point with one coordinate
// missing or a negative one is still a point.
TEST(CoordinateLists, LinesOfTooFewFieldsAreNotedAsLeftOut) {
  const std::string input =
      "Job 12\r\nPoint, North ,East,Height,Code\r\nP1,1,2,3,A\r\nP2 1 2 3\r\n  \r\nP3,4,5,6\r\n"
      "P4,,x,7\r\nP5,-1,.5,8\r\nP6,\t9,\t8,7\r\n";
  std::istringstream kofIn(input), sdrIn(input);
  std::ostringstream kofOut, sdrOut;
  const ConvertResult kof = CoorToKOF(kofIn, kofOut, {}, 0, PointConversion());
  const ConvertResult sdr = CoorToSDR(sdrIn, sdrOut, "JOB", SdrRun());
  for (const ConvertResult* r : {&kof, &sdr}) {
    EXPECT_EQ(r->notes.leftOutLines, (std::vector<size_t>{1, 2, 4}));
    EXPECT_EQ(r->notes.Text(),
              "3 lines were left out (lines 1, 2, 4): fewer than four fields (point, two "
              "coordinates, elevation) separated by commas, or words where the coordinates "
              "belong (a title line).");
  }
  for (const std::string& out : {kofOut.str(), sdrOut.str()}) {
    EXPECT_EQ(out.find("Point"), std::string::npos) << out;
    for (const char* point : {"P1", "P3", "P4", "P5", "P6"})
      EXPECT_NE(out.find(point), std::string::npos);
  }
}

class KofFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "kof_files_" + std::to_string(::getpid()) + "/";
    ::mkdir(dir_.c_str(), 0700);
  }
  std::string dir_;
  PointConversion table_;
  Recorder reporter_;
};

TEST_F(KofFiles, MissingInputLeavesTheOutputUntouched) {
  std::string out = dir_ + "keep.kof";
  test::WriteFileBytes(out, "precious\r\n");
  ConvertResult r =
      RawToKOF(dir_ + "missing.raw", out, WriteMode::Overwrite, {}, 0, table_, reporter_);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.fault, "Cannot read " + dir_ + "missing.raw: File not found");
  EXPECT_EQ(test::ReadFileBytes(out), "precious\r\n");
}

// A wrong file chosen (UTF-16 text, a program's binary file, a spreadsheet's list with
// semicolons and decimal commas) is refused by name before the output is touched; codes with
// semicolons and a raw file with a stray control byte from a noisy line still convert.
TEST_F(KofFiles, AFileThatIsNoSurveyDataIsRefusedAndTheOutputKept) {
  std::string out = dir_ + "keep.kof";
  test::WriteFileBytes(out, "precious\r\n");
  const auto convert = [&](const std::string& name, const std::string& bytes) {
    test::WriteFileBytes(dir_ + name, bytes);
    return RawToKOF(dir_ + name, out, WriteMode::Overwrite, {}, 0, table_, reporter_);
  };
  const std::string line = "SS,P,1.5,10,20,30,,C\r\n";
  ConvertResult r = convert("utf16.raw", std::string("\xFF\xFES\0S\0,\0", 8));
  EXPECT_EQ(r.fault, "Cannot convert " + dir_ +
                         "utf16.raw: it is UTF-16 text, which is not read here (save it as "
                         "UTF-8 or ANSI text)");
  std::string binary = line;
  for (int i = 0; i < 40; ++i) binary += std::string("\x01\0\x7F\x05", 4) + line;
  r = convert("job.bin", binary);
  EXPECT_EQ(r.fault, "Cannot convert " + dir_ +
                         "job.bin: it holds binary data, not the text lines of survey data");
  r = convert("sheet.csv", "Point;North;East;Height\r\nP1;6547770,343;572368,275;11,503\r\n");
  EXPECT_EQ(r.fault, "Cannot convert " + dir_ +
                         "sheet.csv: its fields are separated by semicolons; survey data "
                         "separates them by commas and writes numbers with a decimal point");
  EXPECT_EQ(test::ReadFileBytes(out), "precious\r\n");

  // Codes may hold semicolons, after the commas of the fields.
  EXPECT_TRUE(convert("codes.raw", "SS,P1,1.5,10,20,30,,A;B;C;D;E;F;G;H\r\n").ok());
  std::string noisy;
  for (int i = 0; i < 40; ++i) noisy += line;
  noisy.insert(noisy.size() / 2, 1, '\0');
  EXPECT_TRUE(convert("noisy.raw", noisy).ok());
  EXPECT_NE(test::ReadFileBytes(out), "precious\r\n");
}

TEST_F(KofFiles, AppendKeepsWhatWasThere) {
  std::string in = dir_ + "in.asc", out = dir_ + "out.kof";
  test::WriteFileBytes(in, "P,1,2,3\n");
  test::WriteFileBytes(out, "before\r\n");
  ASSERT_TRUE(CoorToKOF(in, out, WriteMode::Append, {}, 0, table_, reporter_).ok());
  std::string bytes = test::ReadFileBytes(out);
  EXPECT_EQ(bytes.substr(0, 8), "before\r\n");
  EXPECT_EQ(bytes.size(), 8u + 3 * 70 + 59);
  ASSERT_TRUE(CoorToKOF(in, out, WriteMode::Overwrite, {}, 0, table_, reporter_).ok());
  EXPECT_EQ(test::ReadFileBytes(out).size(), 3u * 70 + 59);
}

// Lines added to a KOF file are in the encoding its text is in already, whatever the new
// input's: a file of two encodings shows one part's letters garbled and shifts that part's
// columns for every reader (the upload reads the coordinates from them). The header's texts
// follow too; what Windows-1252 cannot hold is said.
TEST_F(KofFiles, AppendKeepsTheEncodingOfTheFile) {
  const std::string cp1252 = dir_ + "cp1252.asc", utf8 = dir_ + "utf8.asc", ascii = dir_ + "a.asc";
  test::WriteFileBytes(cp1252, "GR\xD8" "FT\xC5" "SEN1,1,2,3,M\xC6L\r\n");
  test::WriteFileBytes(utf8, "GR\xC3\x98" "FT\xC3\x85" "SEN1,1,2,3,M\xC3\x86L\xE2\x88\x9A\r\n");
  test::WriteFileBytes(ascii, "P1,1,2,3,X\r\n");
  KofOptions o;
  o.city = "Troms\xC3\xB8";
  const auto pointLine = [](const std::string& file) {
    return file.substr(file.rfind(" 05 "));
  };
  // The coordinates stand in the columns of a single-byte text.
  const std::string tail = "       2.000       1.000    3.000\r\n";

  const std::string inUtf8 = dir_ + "in_utf8.kof", inCp1252 = dir_ + "in_cp1252.kof";
  ASSERT_TRUE(CoorToKOF(utf8, inUtf8, WriteMode::Overwrite, o, 0, table_, reporter_).ok());
  ConvertResult r = CoorToKOF(cp1252, inUtf8, WriteMode::Append, o, 0, table_, reporter_);
  ASSERT_TRUE(r.ok()) << r.fault;
  EXPECT_TRUE(r.notes.empty()) << r.notes.Text();
  ASSERT_TRUE(CoorToKOF(ascii, inUtf8, WriteMode::Append, o, 0, table_, reporter_).ok());
  std::string bytes = test::ReadFileBytes(inUtf8);
  EXPECT_TRUE(IsValidUtf8(bytes));
  // "Troms\xC3\xB8" in three headers, three letters in each of the two point lines.
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\xC3'), 3 + 2 * 3);
  EXPECT_NE(bytes.find(" 05 GR\xC3\x98" "FT\xC3\x85" "SEN1 M\xC3\x86L      " + tail),
            std::string::npos);

  ASSERT_TRUE(CoorToKOF(cp1252, inCp1252, WriteMode::Overwrite, o, 0, table_, reporter_).ok());
  r = CoorToKOF(utf8, inCp1252, WriteMode::Append, o, 0, table_, reporter_);
  ASSERT_TRUE(r.ok()) << r.fault;
  EXPECT_EQ(r.notes.Text(), "1 character of " + utf8 +
                                " could not be written in the Windows-1252 text of " + inCp1252 +
                                ", which the lines were added to, and became \"?\".");
  ASSERT_TRUE(CoorToKOF(ascii, inCp1252, WriteMode::Append, o, 0, table_, reporter_).ok());
  bytes = test::ReadFileBytes(inCp1252);
  EXPECT_FALSE(IsValidUtf8(bytes));
  EXPECT_EQ(bytes.find('\xC3'), std::string::npos);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\xF8'), 3);  // "Troms\xF8" in three headers
  const size_t second = bytes.find(" 05 GR", bytes.find(" 05 GR") + 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(bytes.substr(second, bytes.find('\n', second) + 1 - second),
            " 05 GR\xD8" "FT\xC5" "SEN1 M\xC6L?     " + tail);
  EXPECT_EQ(pointLine(bytes), " 05 P1" + std::string(9, ' ') + "X" + std::string(8, ' ') + tail);
}

TEST_F(KofFiles, WritingOntoTheInputIsRefused) {
  std::string in = dir_ + "same.raw";
  test::WriteFileBytes(in, "SS,P,1,2,3,4\r\n");
  ConvertResult r = RawToKOF(in, in, WriteMode::Append, {}, 0, table_, reporter_);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(test::ReadFileBytes(in), "SS,P,1,2,3,4\r\n");
}

TEST_F(KofFiles, FullDiskIsAFailureNotSuccess) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  std::string in = dir_ + "big.raw";
  std::string raw;
  for (int i = 0; i < 5000; ++i) raw += "SS,P" + std::to_string(i) + ",1.5,10,20,30,,C\r\n";
  test::WriteFileBytes(in, raw);
  ConvertResult r = RawToKOF(in, "/dev/full", WriteMode::Overwrite, {}, 0, table_, reporter_);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.fault, "Cannot write /dev/full: Disk full");
}

TEST_F(KofFiles, MissingConversionFileIsReportedAndTheRunGoesOn) {
  std::string in = dir_ + "conv.raw", out = dir_ + "conv.kof";
  test::WriteFileBytes(in, "SS,123,1,2,3,4\r\n");
  KofOptions o;
  o.usePointNumberConversion = true;
  o.pointFile = dir_ + "absent.pts";
  table_.entries[12] = "EARLIER";
  ASSERT_TRUE(RawToKOF(in, out, WriteMode::Overwrite, o, 0, table_, reporter_).ok());
  EXPECT_EQ(reporter_.texts.size(), 1u);
  EXPECT_NE(test::ReadFileBytes(out).find(" 03 EARLIER3"), std::string::npos);
}

}  // namespace
}  // namespace korv
