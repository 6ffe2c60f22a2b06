// A scratch folder for the coordinate tests (the data folder, whole-file reads and writes and
// the golden comparison come from test_support.h).
#pragma once

#include <filesystem>
#include <string>

#include "test_support.h"

namespace korv::test {

// A fresh folder below the build tree, removed at the end of the test.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name)
      : path_(std::filesystem::path(KORVENIA_BIN_DIR) / "test_scratch" / name) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace korv::test
