// The user-defined coordinate file: worked lines, a whole list, appending, empty and missing
// inputs.
#include "coords/coord_file_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "coords/coord_list.h"
#include "test_files.h"

namespace korv {
namespace {

using test::ReadFileBytes;
using test::ScratchFolder;
using test::WriteFileBytes;

std::string Convert(const std::string& input, std::array<int, 5> choices, FieldSeparator separator,
                    int order) {
  CoordFieldOptions options;
  options.fields = choices;
  std::istringstream in(input);
  std::ostringstream out;
  EXPECT_TRUE(CoorToCoordinates(in, out, options, separator, order).ok());
  return out.str();
}

TEST(CoorToCoordinates, WorkedLines) {
  EXPECT_EQ(Convert("P4,600.0,300.0,12.5,WALL\r\n", {{0, 1, 2, 3, 4}}, FieldSeparator::Space,
                    CoordOrder::kNEZ),
            "P4 600.0 300.0 12.5 WALL\r\n");
  EXPECT_EQ(Convert("P4,300.0,600.0,12.5,WALL\r\n", {{0, 1, 2, 3, 4}}, FieldSeparator::Space,
                    CoordOrder::kENZ),
            "P4 600.0 300.0 12.5 WALL\r\n");
  EXPECT_EQ(
      Convert("A1,10,20,30,FENCE\r\n", {{0, 5, 3, 6, 4}}, FieldSeparator::Comma, CoordOrder::kNEZ),
      "A1,,30,,FENCE\r\n");
  EXPECT_EQ(Convert("P9\r\n", {{0, 1, 2, 3, 4}}, FieldSeparator::Comma, CoordOrder::kNEZ),
            "P9,,,,\r\n");
  // Choice 7 and the same field twice.
  EXPECT_EQ(Convert("A1,10,20,30\n", {{7, 4, 1, 1, 0}}, FieldSeparator::Comma, CoordOrder::kNEZ),
            ",,10,10,A1\r\n");
}

TEST(CoorToCoordinates, MissingCodeEndsInSeparatorAndLfLinesReadAsCrLf) {
  EXPECT_EQ(
      Convert("P1,1,2,3\nP2,4,5,6,C\n", {{0, 1, 2, 3, 4}}, FieldSeparator::Comma, CoordOrder::kNEZ),
      "P1,1,2,3,\r\nP2,4,5,6,C\r\n");
}

TEST(CoorToCoordinates, WholeListMatchesGolden) {
  ScratchFolder dir("coord_file_golden");
  CoordFieldOptions options;
  ConvertResult r =
      CoorToCoordinates(test::DataPath("asc/mixed.asc").string(), dir / "out.txt",
                        WriteMode::Overwrite, options, FieldSeparator::Comma, CoordOrder::kNEZ);
  ASSERT_TRUE(r.ok()) << r.fault;
  test::ExpectSameFile(ReadFileBytes(dir / "out.txt"), test::DataPath("asc/mixed~asc.asc"));
}

TEST(CoorToCoordinates, AppendKeepsExistingContentAndOverwriteReplacesIt) {
  ScratchFolder dir("coord_file_append");
  WriteFileBytes(dir / "in.asc", "P1,1,2,3,A\r\n");
  WriteFileBytes(dir / "out.txt", "OLD LINE\r\n");
  CoordFieldOptions options;
  ASSERT_TRUE(CoorToCoordinates(dir / "in.asc", dir / "out.txt", WriteMode::Append, options,
                                FieldSeparator::Space, CoordOrder::kNEZ)
                  .ok());
  EXPECT_EQ(ReadFileBytes(dir / "out.txt"), "OLD LINE\r\nP1 1 2 3 A\r\n");
  ASSERT_TRUE(CoorToCoordinates(dir / "in.asc", dir / "out.txt", WriteMode::Overwrite, options,
                                FieldSeparator::Space, CoordOrder::kNEZ)
                  .ok());
  EXPECT_EQ(ReadFileBytes(dir / "out.txt"), "P1 1 2 3 A\r\n");
}

TEST(CoorToCoordinates, EmptyInputGivesEmptyFileOrLeavesAppendedFileAlone) {
  ScratchFolder dir("coord_file_empty");
  WriteFileBytes(dir / "in.asc", "");
  WriteFileBytes(dir / "kept.txt", "KEEP\r\n");
  CoordFieldOptions options;
  EXPECT_TRUE(CoorToCoordinates(dir / "in.asc", dir / "new.txt", WriteMode::Overwrite, options,
                                FieldSeparator::Comma, CoordOrder::kNEZ)
                  .ok());
  EXPECT_TRUE(std::filesystem::exists(dir / "new.txt"));
  EXPECT_EQ(ReadFileBytes(dir / "new.txt"), "");
  EXPECT_TRUE(CoorToCoordinates(dir / "in.asc", dir / "kept.txt", WriteMode::Append, options,
                                FieldSeparator::Comma, CoordOrder::kNEZ)
                  .ok());
  EXPECT_EQ(ReadFileBytes(dir / "kept.txt"), "KEEP\r\n");
}

TEST(CoorToCoordinates, InputThatCannotBeReadLeavesOutputUntouched) {
  ScratchFolder dir("coord_file_missing");
  WriteFileBytes(dir / "out.txt", "KEEP\r\n");
  CoordFieldOptions options;
  for (WriteMode mode : {WriteMode::Overwrite, WriteMode::Append}) {
    ConvertResult r = CoorToCoordinates(dir / "missing.asc", dir / "out.txt", mode, options,
                                        FieldSeparator::Comma, CoordOrder::kNEZ);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.fault.find("missing.asc"), std::string::npos) << r.fault;
    EXPECT_NE(r.fault.find("File not found"), std::string::npos) << r.fault;
    EXPECT_EQ(ReadFileBytes(dir / "out.txt"), "KEEP\r\n");
  }
  // A folder as input, and no file at all created for a missing input.
  EXPECT_FALSE(CoorToCoordinates(dir.path().string(), dir / "new.txt", WriteMode::Overwrite,
                                 options, FieldSeparator::Comma, CoordOrder::kNEZ)
                   .ok());
  EXPECT_FALSE(std::filesystem::exists(dir / "new.txt"));
}

TEST(CoorToCoordinates, OutputThatCannotBeWrittenFailsClearly) {
  ScratchFolder dir("coord_file_unwritable");
  WriteFileBytes(dir / "in.asc", "P1,1,2,3\r\n");
  CoordFieldOptions options;
  ConvertResult r =
      CoorToCoordinates(dir / "in.asc", dir / "no/such/folder/out.txt", WriteMode::Overwrite,
                        options, FieldSeparator::Comma, CoordOrder::kNEZ);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.fault.find("Cannot write"), std::string::npos) << r.fault;
}

}  // namespace
}  // namespace korv
