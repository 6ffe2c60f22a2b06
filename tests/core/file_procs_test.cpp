// File procedures and the small string procedures that go with them.
#include "core/file_procs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/app_state.h"
#include "core/text.h"
#include "test_support.h"

namespace korv {
namespace {

namespace fs = std::filesystem;

using test::RecordingReporter;

class FileProcs : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korv_fp_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    existing_ = (dir_ / "JOB1.RAW").string();
    test::WriteFileBytes(existing_, "CO,x\r\n");
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
  std::string existing_;
};

TEST_F(FileProcs, CheckFileNameCodes) {
  EXPECT_EQ(CheckFileName(existing_), 0);
  EXPECT_EQ(CheckFileName("  \"" + existing_ + "\"  "), 0);  // quotes and blanks stripped
  EXPECT_EQ(CheckFileName((dir_ / "missing.raw").string()), ErrorCode::kFileNotFound);
  EXPECT_EQ(CheckFileName((dir_ / "JOB?.RAW").string()), 76);
  EXPECT_EQ(CheckFileName((dir_ / "*.RAW").string()), 76);
  EXPECT_EQ(CheckFileName((dir_ / "no" / "x.raw").string()), ErrorCode::kFileNotFound);
  EXPECT_NE(CheckFileName(dir_.string() + "/"), 0);  // a folder is no file
  EXPECT_NE(CheckFileName(""), 0);
}

TEST_F(FileProcs, FileExists) {
  EXPECT_TRUE(FileExists(existing_));
  EXPECT_TRUE(FileExists(" \"" + existing_ + "\" "));
  EXPECT_FALSE(FileExists((dir_ / "missing.raw").string()));
  EXPECT_FALSE(FileExists(dir_.string()));
}

TEST_F(FileProcs, OpenNumberedFileReportsFailureOnce) {
  AppState state;
  state.Messages[11] = "Error";
  state.Messages[14] = "Cannot open output file";
  RecordingReporter reporter;
  std::fstream f;
  EXPECT_EQ(OpenNumberedFile(f, existing_, OpenMode::Append, state, reporter), "");
  f << "CO,y\r\n";
  f.close();
  EXPECT_EQ(OpenNumberedFile(f, existing_, OpenMode::Read, state, reporter), "");
  std::string line;
  std::getline(f, line);
  EXPECT_EQ(line, "CO,x\r");
  EXPECT_TRUE(reporter.reports.empty());

  EXPECT_EQ(OpenNumberedFile(f, (dir_ / "no" / "x").string(), OpenMode::Write, state, reporter),
            "53");
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].text, "Cannot open output file");
  EXPECT_EQ(reporter.reports[0].title, "Error");
  EXPECT_EQ(reporter.reports[0].icon, MessageIcon::Critical);
  EXPECT_EQ(OpenNumberedFile(f, dir_.string(), OpenMode::Read, state, reporter), "75");
}

TEST(StripQuotes, OnePairAroundTheTrimmedText) {
  EXPECT_EQ(StripQuotes("  \"/data/JOB1.RAW\"  "), "/data/JOB1.RAW");
  EXPECT_EQ(StripQuotes("\""), "\"");
  EXPECT_EQ(StripQuotes("\"\"x\"\""), "\"x\"");
  EXPECT_EQ(StripQuotes("\"open"), "\"open");
}

TEST(FileNameOnly, SplitsAtBothSeparators) {
  EXPECT_EQ(FileNameOnly(" /home/anna/JOB1.RAW "), "JOB1.RAW");
  EXPECT_EQ(FileNameOnly("C:\\Jobs\\JOB1.RAW"), "JOB1.RAW");
  EXPECT_EQ(FileNameOnly("JOB1.RAW"), "JOB1.RAW");
  EXPECT_EQ(FileNameOnly("/tmp/"), "");
  EXPECT_EQ(FolderOf("/home/anna/JOB1.RAW"), "/home/anna/");
  EXPECT_EQ(WithTrailingSeparator("/home/anna"), "/home/anna/");
  EXPECT_EQ(WithTrailingSeparator("/home/anna/"), "/home/anna/");
}

TEST(SplitWords, RunsOfBlanksNeverGiveEmptyWords) {
  std::vector<std::string> words(31);
  std::string line = "   P1    1000.5  2000.25   ";
  ASSERT_EQ(SplitWords(line, words), 3);
  EXPECT_EQ(line, "P1    1000.5  2000.25");
  EXPECT_EQ(words[1], "P1");
  EXPECT_EQ(words[2], "1000.5");
  EXPECT_EQ(words[3], "2000.25");
  EXPECT_EQ(words[4], "");

  std::string blank = "    ";
  EXPECT_EQ(SplitWords(blank, words), 0);
  EXPECT_EQ(words[1], "P1");  // untouched by a blank line

  std::string many = "1 2 3 4 5 6 7 8 9 10 11 12";
  EXPECT_EQ(SplitWords(many, words), 12);
  EXPECT_EQ(words[12], "12");
}

}  // namespace
}  // namespace korv
