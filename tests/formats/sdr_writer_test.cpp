// SDR-33 writers: whole output files compared byte for byte with hand-built golden files in
// tests/data/sdr, and the file handling around them (missing input, append, failed writes).
#include "formats/sdr_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <streambuf>

#include "test_support.h"

namespace korv {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(KORVENIA_TEST_DATA) / "sdr";

// 2024-03-05 09:07:04
std::tm FixedNow() {
  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 9;
  t.tm_min = 7;
  t.tm_sec = 4;
  return t;
}

SdrRun DefaultRun(int coordOrderIndex) {
  SdrRun run;
  run.now = FixedNow();
  run.coordOrderIndex = coordOrderIndex;
  return run;
}

class SdrFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korvenia_sdr_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Converts tests/data/sdr/<input> into <case>~sdr.sdr in the scratch folder and compares
  // it with the golden file of that name.
  void ExpectGolden(const std::string& input, bool raw, const SdrRun& run) {
    std::string stem = fs::path(input).stem().string();
    fs::path out = dir_ / (stem + "~sdr.sdr");
    ConvertResult r =
        raw ? RawToSDR((kData / input).string(), out.string(), WriteMode::Overwrite, run)
            : CoorToSDR((kData / input).string(), out.string(), WriteMode::Overwrite, run);
    ASSERT_TRUE(r.ok()) << r.fault;
    test::ExpectSameFile(test::ReadFileBytes(out), kData / (stem + "~sdr.sdr"));
  }

  fs::path dir_;
};

// Every record type, the station table, pending set-ups, target heights, cuts and notes.
TEST_F(SdrFiles, RawStationsGolden) { ExpectGolden("stations.raw", true, DefaultRun(0)); }

// LF line ends, no instrument comment, unset header code, ENZ, missing fields, heights that
// equal the starting -999.999.
TEST_F(SdrFiles, RawPlainGolden) {
  SdrRun run = DefaultRun(1);
  run.options.angleUnits = "4";
  run.options.distanceUnits = "2";
  run.options.pressureUnits = "";  // no option selected: blank column
  run.options.temperatureUnits = "2";
  run.options.temperatureAndPressure = "1";
  run.options.curvatureAndRefraction = "2";
  run.options.refractionConstant = "2";
  run.options.seaLevel = "1";
  ExpectGolden("plain.raw", true, run);
}

TEST_F(SdrFiles, CoordinatesNezGolden) { ExpectGolden("coords_nez.asc", false, DefaultRun(0)); }
TEST_F(SdrFiles, CoordinatesEnzGolden) { ExpectGolden("coords_enz.asc", false, DefaultRun(1)); }

TEST_F(SdrFiles, MissingInputLeavesTheOutputUntouched) {
  fs::path out = dir_ / "keep.sdr";
  test::WriteFileBytes(out, "existing\r\n");
  std::string missing = (dir_ / "missing.raw").string();
  for (WriteMode mode : {WriteMode::Overwrite, WriteMode::Append}) {
    ConvertResult r = RawToSDR(missing, out.string(), mode, DefaultRun(0));
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.fault.find("missing.raw"), std::string::npos) << r.fault;
    EXPECT_NE(r.fault.find("File not found"), std::string::npos) << r.fault;
    r = CoorToSDR(missing, out.string(), mode, DefaultRun(0));
    EXPECT_FALSE(r.ok());
  }
  EXPECT_EQ(test::ReadFileBytes(out), "existing\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "never.sdr"));
  EXPECT_FALSE(
      RawToSDR(missing, (dir_ / "never.sdr").string(), WriteMode::Overwrite, DefaultRun(0)).ok());
  EXPECT_FALSE(fs::exists(dir_ / "never.sdr"));
}

TEST_F(SdrFiles, AppendKeepsWhatWasThereAndOverwriteReplacesIt) {
  fs::path in = dir_ / "in.asc";
  test::WriteFileBytes(in, "P1,1,2,3,C\r\n");
  fs::path out = dir_ / "out.sdr";
  test::WriteFileBytes(out, "old line\r\n");
  ASSERT_TRUE(CoorToSDR(in.string(), out.string(), WriteMode::Append, DefaultRun(0)).ok());
  std::string appended = test::ReadFileBytes(out);
  EXPECT_EQ(appended.rfind("old line\r\n00NM", 0), 0u);
  ASSERT_TRUE(CoorToSDR(in.string(), out.string(), WriteMode::Overwrite, DefaultRun(0)).ok());
  EXPECT_EQ(test::ReadFileBytes(out), appended.substr(10));
}

TEST_F(SdrFiles, EmptyPathsAndTheInputAsOutputAreRefused) {
  fs::path in = dir_ / "in.raw";
  test::WriteFileBytes(in, "ST,S1,,B1,,1.5,0,0\r\n");
  EXPECT_FALSE(RawToSDR("", (dir_ / "x.sdr").string(), WriteMode::Overwrite, DefaultRun(0)).ok());
  EXPECT_FALSE(RawToSDR(in.string(), "", WriteMode::Overwrite, DefaultRun(0)).ok());
  EXPECT_FALSE(RawToSDR(in.string(), in.string(), WriteMode::Overwrite, DefaultRun(0)).ok());
  EXPECT_EQ(test::ReadFileBytes(in), "ST,S1,,B1,,1.5,0,0\r\n");
}

TEST_F(SdrFiles, AFailedWriteIsAFault) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  fs::path in = dir_ / "in.raw";
  std::string many;
  for (int i = 0; i < 20000; ++i) many += "SS,P" + std::to_string(i) + ",1.5,10,20,30,,C\r\n";
  test::WriteFileBytes(in, many);
  ConvertResult r = RawToSDR(in.string(), "/dev/full", WriteMode::Overwrite, DefaultRun(0));
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.fault.find("/dev/full"), std::string::npos) << r.fault;
  r = CoorToSDR(in.string(), "/dev/full", WriteMode::Overwrite, DefaultRun(0));
  EXPECT_FALSE(r.ok());
}

// A stream that can be read once only, like a pipe.
class OneWayBuffer : public std::streambuf {
 public:
  explicit OneWayBuffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 private:
  std::string text_;
};

TEST(RawToSDR, NeedsAnInputItCanReadTwice) {
  OneWayBuffer buffer("CO,Instrument:X\r\n");
  std::istream in(&buffer);
  std::ostringstream out;
  EXPECT_FALSE(RawToSDR(in, out, "JOB", DefaultRun(0)).ok());
}

TEST(RawToSDR, StreamLevelReadsFromWhereTheStreamStands) {
  std::istringstream in("ignored line\nCO,Instrument:ABC\nCO,x\n");
  std::string skip;
  std::getline(in, skip);
  std::ostringstream out;
  ASSERT_TRUE(RawToSDR(in, out, "JOB", DefaultRun(0)).ok());
  std::string text = out.str();
  EXPECT_NE(text.find("01KI1ABC             000000ABC"), std::string::npos);
  EXPECT_EQ(text.find("ignored"), std::string::npos);
  EXPECT_NE(text.find("\r\n13NMx" + std::string(59, ' ') + "\r\n"), std::string::npos);
}

TEST(RawToSDR, InstrumentNameKeepsTheBlankAfterTheColon) {
  std::istringstream in("  CO,Instrument: KRT 1  \r\nco,Instrument:lower case is no match\r\n");
  std::ostringstream out;
  ASSERT_TRUE(RawToSDR(in, out, "JOB", DefaultRun(0)).ok());
  EXPECT_NE(out.str().find("\r\n01KI1 KRT 1          000000 KRT 1          000000"),
            std::string::npos)
      << out.str();
}

// Body lines of a small raw file (the six header lines dropped).
std::string BodyOf(const std::string& raw, TextEncoding encoding = TextEncoding::Windows1252) {
  std::istringstream in(raw);
  std::ostringstream out;
  EXPECT_TRUE(RawToSDR(in, out, "JOB", DefaultRun(0), encoding).ok());
  std::string text = out.str();
  size_t at = 0;
  for (int i = 0; i < 6; ++i) at = text.find("\r\n", at) + 2;
  return text.substr(at);
}

TEST(RawToSDR, ObservationBeforeAnySetUpHasAnEmptyStation) {
  EXPECT_EQ(BodyOf("SS,P1,1.5,10,20,30,,C\r\n"),
            "03NM1.5\r\n09MC                P1              10              30              20"
            "              C\r\n");
}

TEST(RawToSDR, ASetUpLeftAtTheEndIsNotWritten) {
  EXPECT_EQ(BodyOf("UP,S1,,1,2,3,\r\nST,S1,,B,,1.5,0,0\r\n"),
            "08KIS1              1               2               3\r\n");
  // The same set-up followed by any record other than a comment is written.
  EXPECT_EQ(BodyOf("ST,S1,,B,,1.5,0,0\r\nXX\r\n"),
            "07KIS1              B               0               0\r\n");
}

// In UTF-8 a field's width counts characters: a station name of 20 characters keeps 16, a
// station code of 23 keeps 20, and a short name of two-byte characters is padded as one
// column a character.
TEST(RawToSDR, Utf8FieldsAreCutAndPaddedInCharacters) {
  auto blanks = [](size_t n) { return std::string(n, ' '); };
  const std::string station = "Østre-målepunkt-";  // 16 characters, 18 bytes
  EXPECT_EQ(BodyOf("ST,Østre-målepunkt-nord,KØDE-ÆØÅ-æøå-1234567890,Bæk,,1.55,7,8\r\n"
                   "UP,Østre-målepunkt-nord,,1,2,3,\r\n"
                   "SS,Åsø,1.5,10,20,30,,Kant\r\n",
                   TextEncoding::Utf8),
            "02KI" + station + "1" + blanks(15) + "2" + blanks(15) + "3" + blanks(15) + "1.55" +
                blanks(12) + "KØDE-ÆØÅ-æøå-1234567\r\n" +
                "07KI" + station + "Bæk" + blanks(13) + "7" + blanks(15) + "8\r\n" +
                "03NM1.5\r\n" +
                "09MC" + station + "Åsø" + blanks(13) + "10" + blanks(14) + "30" + blanks(14) +
                "20" + blanks(14) + "Kant\r\n");
}

}  // namespace
}  // namespace korv
