// Output files: a conversion that fails while writing (here: a file size limit standing in for
// a full disk) leaves the output as it was: an appended file is cut back, a replaced file stays
// the old one. An appended file's unended last line is ended first.
#include <gtest/gtest.h>

#include "coords/coord_file_writer.h"
#include "coords/dxf_writer.h"
#include "test_files.h"

namespace korv {
namespace {

using test::FileSizeLimit;
using test::ReadFileBytes;
using test::ScratchFolder;
using test::WriteFileBytes;

std::string ManyPoints(int count) {
  std::string s;
  for (int i = 0; i < count; ++i)
    s += "P" + std::to_string(i) + ",6543210.123,543210.456,12.5,C\r\n";
  return s;
}

TEST(OutputFile, FailedAppendIsCutBackToTheOldContent) {
  ScratchFolder dir("output_append_fails");
  WriteFileBytes(dir / "in.asc", ManyPoints(20000));
  const std::string old = "OLD LINE\r\n";
  WriteFileBytes(dir / "out.txt", old);
  ConvertResult r;
  {
    FileSizeLimit limit(100000);
    r = CoorToCoordinates(dir / "in.asc", dir / "out.txt", WriteMode::Append, CoordFieldOptions(),
                          FieldSeparator::Comma, 0);
  }
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.fault.find("Cannot write"), std::string::npos) << r.fault;
  EXPECT_EQ(ReadFileBytes(dir / "out.txt"), old);
}

// A file saved without a line end after its last line (as some editors do) keeps that line
// whole: the appended lines start on a line of their own, and an append that adds nothing
// leaves the file exactly as it was.
TEST(OutputFile, AppendAfterAnUnendedLastLineStartsANewLine) {
  ScratchFolder dir("output_append_unended");
  WriteFileBytes(dir / "in.asc", "P1,1,2,3,A\r\n");
  WriteFileBytes(dir / "none.asc", "");
  const auto append = [&](const std::string& input, const std::string& old) {
    WriteFileBytes(dir / "out.txt", old);
    EXPECT_TRUE(CoorToCoordinates(dir / input, dir / "out.txt", WriteMode::Append,
                                  CoordFieldOptions(), FieldSeparator::Comma, 0)
                    .ok());
    return ReadFileBytes(dir / "out.txt");
  };
  EXPECT_EQ(append("in.asc", "OLD"), "OLD\r\nP1,1,2,3,A\r\n");
  EXPECT_EQ(append("in.asc", "OLD\r"), "OLD\r\nP1,1,2,3,A\r\n");
  EXPECT_EQ(append("in.asc", "OLD\n"), "OLD\nP1,1,2,3,A\r\n");
  EXPECT_EQ(append("none.asc", "OLD"), "OLD");
}

TEST(OutputFile, FailedDrawingLeavesTheOldDrawingAndNoPartFile) {
  ScratchFolder dir("output_replace_fails");
  WriteFileBytes(dir / "in.asc", ManyPoints(20000));
  WriteFileBytes(dir / "out.dxf", "OLD DRAWING");
  ConvertResult r;
  {
    FileSizeLimit limit(100000);
    r = CoorToDXF(dir / "in.asc", dir / "out.dxf", DxfOptions(), 0);
  }
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(ReadFileBytes(dir / "out.dxf"), "OLD DRAWING");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++files;
  }
  EXPECT_EQ(files, 2);  // in.asc and out.dxf only
}

TEST(OutputFile, ReplacedFileKeepsItsPermissions) {
  ScratchFolder dir("output_permissions");
  WriteFileBytes(dir / "in.asc", "P1,1,2,3\r\n");
  WriteFileBytes(dir / "out.dxf", "OLD");
  namespace fs = std::filesystem;
  fs::permissions(dir / "out.dxf",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(CoorToDXF(dir / "in.asc", dir / "out.dxf", DxfOptions(), 0).ok());
  EXPECT_EQ(fs::status(dir / "out.dxf").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(OutputFile, DrawingThroughALinkReplacesTheLinkedFile) {
  ScratchFolder dir("output_link");
  WriteFileBytes(dir / "in.asc", "P1,1,2,3\r\n");
  WriteFileBytes(dir / "real.dxf", "OLD");
  std::filesystem::create_symlink("real.dxf", dir / "link.dxf");
  ASSERT_TRUE(CoorToDXF(dir / "in.asc", dir / "link.dxf", DxfOptions(), 0).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.dxf"));
  EXPECT_NE(ReadFileBytes(dir / "real.dxf"), "OLD");
}

}  // namespace
}  // namespace korv

namespace korv {
namespace {

TEST(OutputFile, DeviceIsWrittenInPlaceNotReplaced) {
  if (!std::filesystem::is_character_file("/dev/null")) GTEST_SKIP() << "no /dev/null";
  ScratchFolder dir("output_device");
  WriteFileBytes(dir / "in.asc", "P1,1,2,3\r\n");
  ASSERT_TRUE(CoorToDXF(dir / "in.asc", "/dev/null", DxfOptions(), 0).ok());
  ASSERT_TRUE(CoorToCoordinates(dir / "in.asc", "/dev/null", WriteMode::Overwrite,
                                CoordFieldOptions(), FieldSeparator::Comma, 0)
                  .ok());
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
  EXPECT_FALSE(std::filesystem::exists("/dev/null.korvenia-part"));
}

}  // namespace
}  // namespace korv
