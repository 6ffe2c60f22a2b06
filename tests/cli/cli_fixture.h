// A scratch folder per test and korvenia-cli run through the shell (so tests can pipe into it
// and limit it with ulimit), with no settings file of the user taking part.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace korv::test {

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(KORVENIA_BIN_DIR) / "test_scratch" /
           (std::string("cli_") + ::testing::UnitTest::GetInstance()->current_test_suite()->name() +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "home");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Runs `command` with /bin/sh in the scratch folder; "$KCLI" names korvenia-cli. Returns
  // the exit status; what it printed is in out_ and err_.
  int Shell(const std::string& command) {
    const std::string home = (dir_ / "home").string();
    const std::string full = "cd '" + dir_.string() + "' && HOME='" + home +
                             "' XDG_CONFIG_HOME='" + home + "/.config' XDG_DATA_HOME='" + home +
                             "/.local/share' KCLI='" KORVENIA_CLI
                             "' /bin/sh -c '" + Quoted(command) + "' >.out.txt 2>.err.txt";
    const int status = std::system(full.c_str());
    out_ = ReadFileBytes(dir_ / ".out.txt");
    err_ = ReadFileBytes(dir_ / ".err.txt");
    std::filesystem::remove(dir_ / ".out.txt");
    std::filesystem::remove(dir_ / ".err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Data(const std::string& name) { return DataPath(name).string(); }

  std::filesystem::path dir_;
  std::string out_, err_;

 private:
  // `text` for the inside of a single-quoted shell word.
  static std::string Quoted(const std::string& text) {
    std::string q;
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q;
  }
};

}  // namespace korv::test
