// MAPA 2 writer: golden files built by hand, the header-phase rules and the file level.
#include "formats/mapa_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_support.h"

namespace korv {
namespace {

const std::string kData = std::string(KORVENIA_TEST_DATA) + "/mapa/";
const std::string kBlock = "9999\r\n999999999\r\n100001\r\n1\r\n3\r\n0\r\n2\r\n";

std::tm Now() {
  std::tm now{};
  now.tm_year = 2026 - 1900;
  now.tm_mon = 11;
  now.tm_mday = 7;
  now.tm_hour = 9;
  return now;
}

std::string Mapa(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  EXPECT_TRUE(RawToMAPA(in, out, Now()).ok());
  return out.str();
}

// Header drops, Windows-1252 byte kept, station codes from the first pass (first entry
// wins), station "/" lines, point names keeping their last 10 characters, LF input.
TEST(RawToMAPA, GoldenJob) {
  test::ExpectSameFile(Mapa(test::ReadFileBytes(kData + "job.raw")), kData + "job~mapa.map");
}

TEST(RawToMAPA, GoldenOnlyComments) {
  test::ExpectSameFile(Mapa(test::ReadFileBytes(kData + "comments.raw")),
                       kData + "comments~mapa.map");
}

TEST(RawToMAPA, HeaderPhaseRules) {
  // No comment: the fixed block comes first; the file always ends with "/" and "-2".
  EXPECT_EQ(Mapa("SS,P,1,2,3,4\r\n"), kBlock + "P 2.000 1.000 3.0000 4.0000\r\n/\r\n-2\r\n");
  EXPECT_EQ(Mapa(""), kBlock + "/\r\n-2\r\n");
  // A dropped note after the first observation is an ordinary comment.
  EXPECT_EQ(Mapa("ST,A\r\nCO,Downloaded\r\n"),
            kBlock + "1 A 0.000\r\n-1\r\n; Downloaded\r\n/\r\n-2\r\n");
  // A blank line ends the header phase.
  EXPECT_EQ(Mapa("CO,a\r\n\r\nCO,Tilt Correction\r\n"),
            "; MAPA 2 format from a\r\n; Date: 07-12-26\r\n" + kBlock +
                "; Tilt Correction\r\n/\r\n-2\r\n");
}

TEST(RawToMAPA, MissingInputLeavesTheOutputUntouched) {
  std::string out = ::testing::TempDir() + "mapa_keep.map";
  test::WriteFileBytes(out, "old");
  ConvertResult r =
      RawToMAPA(::testing::TempDir() + "absent.raw", out, WriteMode::Overwrite, Now());
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(test::ReadFileBytes(out), "old");
}

TEST(RawToMAPA, FileLevelAppends) {
  std::string in = kData + "comments.raw", out = ::testing::TempDir() + "mapa_append.map";
  test::WriteFileBytes(out, "old\r\n");
  ASSERT_TRUE(RawToMAPA(in, out, WriteMode::Append, Now()).ok());
  EXPECT_EQ(test::ReadFileBytes(out), "old\r\n" + test::ReadFileBytes(kData + "comments~mapa.map"));
}

}  // namespace
}  // namespace korv
