#include "core/journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/key_store.h"
#include "test_support.h"

namespace korv {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kMegabyte = 1024 * 1024;

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("korvenia_journal_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::tm At(int minute, int second) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
  }

  // A download of `lines` lines of `width` characters, received at `stamp`.
  void Download(const std::tm& stamp, int lines, size_t width, const JournalLimits& limits) {
    JournalWriter w(folder_.string(), "/dev/ttyUSB0", limits, stamp, PlentyOfSpace);
    ASSERT_TRUE(w.active()) << w.warning();
    for (int i = 0; i < lines; ++i) w.Add(std::string(width, 'x'));
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const JournalEntry& e : ListJournal(folder_.string()))
      names.push_back(fs::path(e.path).filename().string());
    return names;
  }

  static std::optional<std::int64_t> PlentyOfSpace(const std::string&) { return 1000 * kMegabyte; }

  fs::path folder_;
};

// The limits come from the settings file; the newest downloads stay, the oldest go first,
// by count and by size, and a second download in the same second ranks as the newer one.
TEST_F(JournalTest, LimitsRemoveTheOldestFirst) {
  EXPECT_EQ(LoadJournalLimits(IniFile::FromBytes("[Default]\r\nA=1\r\n")).maxDownloads, 200);
  const JournalLimits byCount =
      LoadJournalLimits(IniFile::FromBytes("[Journal]\r\nMaxDownloads=3\r\nMaxMegabytes=x\r\n"));
  ASSERT_EQ(byCount.maxDownloads, 3);
  ASSERT_EQ(byCount.maxMegabytes, 500);  // unusable: the default
  Download(At(0, 5), 2, 10, byCount);
  Download(At(1, 0), 2, 10, byCount);
  Download(At(1, 0), 1, 10, byCount);
  Download(At(0, 59), 3, 10, byCount);  // a clock set back: older by its name
  Download(At(2, 0), 4, 10, byCount);
  EXPECT_EQ(Names(), (std::vector<std::string>{"2026-12-07_090200_ttyUSB0.raw",
                                               "2026-12-07_090100_ttyUSB0_2.raw",
                                               "2026-12-07_090100_ttyUSB0.raw"}));
  const std::vector<JournalEntry> entries = ListJournal(folder_.string());
  EXPECT_EQ(entries[0].date, "2026-12-07");
  EXPECT_EQ(entries[0].time, "09:02:00");
  EXPECT_EQ(entries[0].device, "ttyUSB0");
  EXPECT_EQ(entries[0].lines, 4);
  EXPECT_EQ(entries[0].size, 4 * 12);
  EXPECT_EQ(test::ReadFileBytes(entries[1].path), "xxxxxxxxxx\r\n");

  // 1 MB: downloads of 0.4 MB each, so two fit and a third does not.
  JournalLimits bySize;
  bySize.maxMegabytes = 1;
  const size_t width = 400 * 1024 - 2;
  Download(At(3, 0), 1, width, bySize);
  Download(At(4, 0), 1, width, bySize);
  Download(At(5, 0), 1, width, bySize);
  EXPECT_EQ(Names(), (std::vector<std::string>{"2026-12-07_090500_ttyUSB0.raw",
                                               "2026-12-07_090400_ttyUSB0.raw"}));
  // One download beyond the size alone is still kept: the newest never goes.
  Download(At(6, 0), 3, width, bySize);
  EXPECT_EQ(Names(), std::vector<std::string>{"2026-12-07_090600_ttyUSB0.raw"});
}

// Below the free-space minimum nothing new is kept, once said; at the minimum it is. Device
// names become file-name words, and an empty download leaves no file.
TEST_F(JournalTest, LowDiskKeepsNothingAndSaysSo) {
  const JournalLimits limits;  // 100 MB minimum
  auto freeMegabytes = [](std::int64_t mb) {
    return [mb](const std::string&) -> std::optional<std::int64_t> { return mb * kMegabyte; };
  };
  {
    JournalWriter w(folder_.string(), "COM3", limits, At(0, 0), freeMegabytes(99));
    EXPECT_FALSE(w.active());
    EXPECT_NE(w.warning().find("Less than 100 MB free"), std::string::npos) << w.warning();
    w.Add("LINE");
  }
  EXPECT_TRUE(ListJournal(folder_.string()).empty());
  {
    JournalWriter w(folder_.string(), "/dev/pts/12", limits, At(0, 0), freeMegabytes(100));
    EXPECT_TRUE(w.active());
    EXPECT_TRUE(w.warning().empty());
  }
  EXPECT_TRUE(ListJournal(folder_.string()).empty()) << "nothing came, nothing kept";
  {
    JournalWriter w(folder_.string(), "/dev/pts/12", limits, At(0, 0), freeMegabytes(100));
    w.Add("");
    w.Add("A,1");
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"2026-12-07_090000_pts-12.raw"});
  EXPECT_EQ(test::ReadFileBytes(folder_ / "2026-12-07_090000_pts-12.raw"), "\r\nA,1\r\n");
  EXPECT_EQ(JournalDeviceWord("../a b:c"), "a-b-c");
  EXPECT_EQ(JournalDeviceWord("/dev/"), "device");
}

}  // namespace
}  // namespace korv
