// Small pieces every test layer uses: the test data folder, whole-file reads and writes, the
// comparison with a golden file, and a reporter that records what the program would have
// shown the user.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/reporter.h"

namespace korv::test {

// A file of tests/data, such as "kof/survey~kof.kof".
inline std::filesystem::path DataPath(const std::string& relative) {
  return std::filesystem::path(KORVENIA_TEST_DATA) / relative;
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Expects `actual` to be the golden file's bytes. Compares line by line first, so that a
// failure names the first line that differs, then byte for byte (line ends included).
inline void ExpectSameFile(const std::string& actual, const std::filesystem::path& goldenPath) {
  const std::string expected = ReadFileBytes(goldenPath);
  ASSERT_FALSE(expected.empty()) << "missing golden file " << goldenPath;
  std::istringstream a(actual), e(expected);
  std::string la, le;
  for (int n = 1; std::getline(e, le); ++n) {
    ASSERT_TRUE(std::getline(a, la)) << "output ends before line " << n << " of " << goldenPath;
    ASSERT_EQ(la, le) << "line " << n << " of " << goldenPath;
  }
  EXPECT_EQ(actual, expected) << goldenPath;
}

struct RecordedReport {
  std::string text;
  std::string title;
  MessageIcon icon;
};

class RecordingReporter : public Reporter {
 public:
  void Report(const std::string& text, const std::string& title, MessageIcon icon) override {
    reports.push_back({text, title, icon});
  }
  void Beep() override { ++beeps; }
  std::vector<RecordedReport> reports;
  int beeps = 0;
};

// Limits the size of the files this process writes while it lives: a full disk on demand.
// A pseudo-terminal is no file and is not limited.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

}  // namespace korv::test
