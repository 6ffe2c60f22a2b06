// The check before an upload, on files built the way the sender builds them: each kind of
// problem found on its line, and nothing in clean files.
#include "comm/upload_check.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korv {
namespace {

UploadBuild BuildComma(const std::string& source) {
  std::istringstream in(source);
  std::ostringstream scratch;
  CoordFieldOptions columns;
  columns.fields = {0, 1, 2, 3, 4};
  return CreateUpLoadFileComma(in, scratch, columns, 0);
}

UploadBuild BuildKof(const std::string& source) {
  std::istringstream in(source);
  std::ostringstream scratch;
  return CreateUpLoadFileKOF(in, scratch, 0);
}

struct Found {
  UploadProblemKind kind;
  int line, earlier;
  std::string text;
  bool operator==(const Found& o) const {
    return kind == o.kind && line == o.line && earlier == o.earlier && text == o.text;
  }
};
std::ostream& operator<<(std::ostream& out, const Found& f) {
  return out << static_cast<int>(f.kind) << " line " << f.line << " (" << f.earlier
             << "): " << f.text;
}

std::vector<Found> Check(const UploadBuild& build) {
  std::vector<Found> found;
  for (const UploadProblem& p : CheckUpload(build)) {
    found.push_back({p.kind, p.line, p.earlier, p.text});
  }
  return found;
}

TEST(CheckUpload, FindsEveryKindOfProblemOnItsLine) {
  // Eight readable points within some 50 m, one of them (line 9) with its coordinates
  // exchanged. By hand: first axis median 6650020, quartiles 6650010 and 6650040, so the
  // extent is 6649960 to 6650080; second axis 550030, 550015 and 550045: 549970 to 550090.
  const std::string source =
      "101,6650010.000,550010.000,12.0,KERB\r\n"
      "102,6650020.000,550030.000,12.5,KERB\r\n"
      "\r\n"
      "103,6650040.000,550020.000,12.1,TREE\r\n"
      "BOUNDARYPOST01,6650030.000,550040.000,12.2,FENCECORNERPOST\r\n"
      "BOUNDARYPOST02,6650050.000,550050.000,12.3,FENCE\r\n"
      "102,6650060.000,550015.000,12.4,KERB\r\n"
      "104,66500x0.000,550025.000,12.0,KERB\r\n"
      "105,550035.000,6650045.000,12.0,KERB\r\n"
      "106,6650015.000,550045.000,12.0,KERB\r\n";
  using K = UploadProblemKind;
  const std::vector<Found> expected = {
      {K::NameCut, 5, 0, "point name \"BOUNDARYPOST01\" is sent as \"BOUNDARYPOST\""},
      {K::CodeCut, 5, 0, "code \"FENCECORNERPOST\" is sent as \"FENCECORNERP\""},
      {K::NameCut, 6, 0, "point name \"BOUNDARYPOST02\" is sent as \"BOUNDARYPOST\""},
      {K::CutCollision, 6, 5,
       "point \"BOUNDARYPOST02\" and \"BOUNDARYPOST01\" (line 5) are both sent as "
       "\"BOUNDARYPOST\""},
      {K::Duplicate, 7, 2, "point \"102\" was sent before, on line 2"},
      {K::Unreadable, 8, 0, "point \"104\": \"66500x0.000\" is not a number"},
      {K::Swapped, 9, 0, "105: first and second coordinate look swapped (550035.000, 6650045.000)"},
  };
  EXPECT_EQ(Check(BuildComma(source)), expected);

  // A KOF file: its header and other records are no problems, a coordinate record whose
  // coordinates are missing is; the point field (10 characters) is never cut.
  const std::string rec = std::string(" 05 ") + "P100      " + " " + "KUM     " + " " +
                          " 6543210.123" + " " + " 123456.789" + " " + "  45.678";
  const std::vector<Found> kof = {
      {K::Unreadable, 3, 0, "point \"P7\": a plane coordinate is missing (sent as 0.000)"},
      {K::Duplicate, 4, 2, "point \"P100\" was sent before, on line 2"},
  };
  EXPECT_EQ(Check(BuildKof(" 00 Header line\r\n" + rec + "\r\n 05 P7\r\n" + rec + "\r\n")), kof);
}

TEST(CheckUpload, LettersTheInstrumentCannotHoldAreShownAsSent) {
  using K = UploadProblemKind;
  const std::vector<Found> expected = {
      {K::Replaced, 1, 0,
       "point name \"Pł1\" is sent as \"P?1\": the instrument cannot hold every letter"},
      {K::Replaced, 2, 0,
       "point name \"Pń1\" is sent as \"P?1\": the instrument cannot hold every letter"},
      {K::CutCollision, 2, 1, "point \"Pń1\" and \"Pł1\" (line 1) are both sent as \"P?1\""},
      {K::Replaced, 3, 0,
       "code \"ŁĄKA\" is sent as \"??KA\": the instrument cannot hold every letter"},
  };
  EXPECT_EQ(Check(BuildComma("Pł1,1,2,3\r\nPń1,4,5,6\r\nØST,7,8,9,ŁĄKA\r\n")), expected);
}

TEST(CheckUpload, CleanFilesHaveNoProblems) {
  // Names and codes of exactly 12 characters, a missing elevation, a point far away on both axes
  // whose exchanged position is far away too, blank lines, and a UTF-8 name of 12 characters
  // that takes more than 12 bytes.
  const std::string source =
      "\r\n"
      "POINTNAME012,6650010.000,550010.000,12.0,CODE12CHARSX\r\n"
      "102,6650020.5,550030.000,12.5,KERB\r\n"
      "103,6650040.000,550020.000,,TREE\r\n"
      "104,6650030.000,550040.000,12.2,KERB\r\n"
      "\xC3\x86R\xC3\x98SK\xC3\x98"
      "BING01,6650050.000,550050.000,12.3,KERB\r\n"
      "FAR,7000000.000,900000.000,12.0,KERB\r\n"
      "\r\n";
  EXPECT_EQ(Check(BuildComma(source)), std::vector<Found>{});

  const std::string rec = std::string(" 05 ") + "P100      " + " " + "KUM     " + " " +
                          " 6543210.123" + " " + " 123456.789" + " " + "  45.678";
  EXPECT_EQ(Check(BuildKof(" 00 Header line\r\n" + rec + "\r\n 09 end\r\n")), std::vector<Found>{});
}

}  // namespace
}  // namespace korv
