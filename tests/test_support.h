// Small pieces every test layer uses: whole-file reads and writes, and a reporter that records
// what the program would have shown the user.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/reporter.h"

namespace korv::test {

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
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

}  // namespace korv::test
