// The settings-file key store: lookups, writes that keep the rest of the file, encodings.
#include "core/key_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "test_support.h"

namespace korv {
namespace {

namespace fs = std::filesystem;

class KeyStoreFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korv_ks_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "Korvenia.ini").string();
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }
  void Write(const std::string& bytes) { test::WriteFileBytes(path_, bytes); }
  std::string Read() { return test::ReadFileBytes(path_); }
  fs::path dir_;
  std::string path_;
};

TEST(KeyStore, LookupRules) {
  IniFile ini = IniFile::FromBytes(
      "[Default]\r\n"
      "  Speed  =  4  \r\n"
      "Empty=\r\n"
      "Blank= \r\n"
      "[default]\r\n"
      "Speed=9\r\n"
      "Other=x\r\n"
      "[ Help file ]\r\n"
      "HelpProgShow =WORDPAD.EXE\r\n");
  EXPECT_EQ(ini.Get("DEFAULT", "speed"), "4");  // any letter case; the first section wins
  EXPECT_EQ(ini.Get("Default", "Other"), "");   // keys of the second copy are never seen
  EXPECT_EQ(ini.Get("Default", "Empty"), "");
  EXPECT_EQ(ini.Get("Default", "Blank"), "");
  EXPECT_EQ(ini.Get("Default", "Missing"), "");
  EXPECT_EQ(ini.Get("Missing", "Speed"), "");
  EXPECT_EQ(ini.Get("Help file", "HelpProgShow"), "WORDPAD.EXE");
}

TEST(KeyStore, LongValuesAreReadWhole) {
  // A value cut on reading would be written back cut at the next save.
  const std::string path = "/home/surveyor/" + std::string(300, 'x') + "/m\xC3\xA5ling";
  IniFile ini = IniFile::FromBytes("[Default]\r\nJobPath= " + path + "  \r\n");
  EXPECT_EQ(ini.Get("Default", "JobPath"), path);
}

TEST(KeyStore, WritesKeepEveryOtherByte) {
  const std::string before =
      "[Coordinate order]\r\nNEZ\r\nENZ\r\n\r\n"
      "[Default]\r\nJobPath=\r\nSpeed= 4 \r\n\r\n"
      "[Unknown]\nkept=as is\n\n"
      "[Messages]\r\n1,Receive\r\n47,Conversion finished";
  IniFile ini = IniFile::FromBytes(before);
  ini.Set("default", "SPEED", "3");                   // replaced in place, file's key spelling kept
  ini.Set("Default", "Port", "0");                    // added after the last line of its section
  ini.Set("Serial devices", "COM1", "/dev/ttyUSB0");  // added at the end of the file
  EXPECT_EQ(ini.ToBytes(),
            "[Coordinate order]\r\nNEZ\r\nENZ\r\n\r\n"
            "[Default]\r\nJobPath=\r\nSpeed=3\r\nPort=0\r\n\r\n"
            "[Unknown]\nkept=as is\n\n"
            "[Messages]\r\n1,Receive\r\n47,Conversion finished\r\n"
            "\r\n[Serial devices]\r\nCOM1=/dev/ttyUSB0\r\n");
}

TEST_F(KeyStoreFile, MissingFileReadsEmptyAndIsCreatedByAWrite) {
  EXPECT_EQ(ReadKey(path_, "Default", "Speed"), "");
  ASSERT_TRUE(WriteKey(path_, "Default", "Speed", "4"));
  EXPECT_EQ(Read(), "[Default]\r\nSpeed=4\r\n");
  EXPECT_EQ(ReadKey(path_, "default", "speed"), "4");
}

TEST_F(KeyStoreFile, Windows1252FileStaysWindows1252) {
  Write("[KOF Settings]\r\nCity=Tr\xF8ndelag\r\n");  // ø in Windows-1252
  EXPECT_EQ(ReadKey(path_, "KOF Settings", "City"), "Tr\xC3\xB8ndelag");
  ASSERT_TRUE(WriteKey(path_, "KOF Settings", "Road", "\xC3\x85s \xE2\x82\xAC"));  // Ås €
  EXPECT_EQ(Read(), "[KOF Settings]\r\nCity=Tr\xF8ndelag\r\nRoad=\xC5s \x80\r\n");

  // A text Windows-1252 cannot hold (a Polish city, a job folder's name) is not written as "?":
  // the file becomes UTF-8 as a whole, its other lines with it, and reads back the same.
  ASSERT_TRUE(WriteKey(path_, "KOF Settings", "City", "\xC5\x81\xC3\xB3\x64\xC5\xBA"));  // Łódź
  EXPECT_EQ(
      Read(),
      "[KOF Settings]\r\nCity=\xC5\x81\xC3\xB3\x64\xC5\xBA\r\nRoad=\xC3\x85s \xE2\x82\xAC\r\n");
  EXPECT_EQ(ReadKey(path_, "KOF Settings", "Road"), "\xC3\x85s \xE2\x82\xAC");
}

TEST_F(KeyStoreFile, Utf8FileStaysUtf8) {
  Write("\xEF\xBB\xBF[KOF Settings]\r\nCity=Tr\xC3\xB8ndelag\r\n");
  ASSERT_TRUE(WriteKey(path_, "KOF Settings", "City", "\xC3\x85s"));
  EXPECT_EQ(Read(), "\xEF\xBB\xBF[KOF Settings]\r\nCity=\xC3\x85s\r\n");
}

TEST_F(KeyStoreFile, ReadOnlyFileKeepsItsContent) {
  Write("[Default]\r\nSpeed=4\r\n");
  fs::permissions(path_, fs::perms::owner_read);
  EXPECT_FALSE(WriteKey(path_, "Default", "Speed", "1"));
  EXPECT_EQ(Read(), "[Default]\r\nSpeed=4\r\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(KeyStoreFile, FailedReplacementLeavesNoTemporaryFiles) {
  Write("[Default]\r\nSpeed=4\r\n");
  std::string inMissingFolder = (dir_ / "nope" / "Korvenia.ini").string();
  EXPECT_FALSE(ReplaceFileAtomically(inMissingFolder, "x"));
  ASSERT_TRUE(ReplaceFileAtomically(path_, "new"));
  EXPECT_EQ(Read(), "new");
  int files = 0;
  for (auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace korv
