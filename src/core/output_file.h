// An output file that either ends complete or leaves what was there before: a replaced file is
// written as a temporary file in the same folder and renamed over the target when complete; an
// appended file is cut back to its old length when the run fails (disk full, a file-size limit,
// a vanished medium); an appended file whose last line has no line end gets one first, so
// that no two lines run together. Devices and pipes are written in place. A file-size limit
// makes writes fail instead of ending the program.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "core/convert_result.h"

namespace korv {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Discards an uncommitted file: removes the new file or cuts the appended one back.
  ~OutputFile();

  // Opens `path` for `mode`. The fault text names the file and the reason.
  ConvertResult Open(const std::string& path, WriteMode mode);
  std::ostream& stream() { return file_; }

  // Flushes and closes; a new file then replaces the target. On failure the target keeps
  // what it held before.
  ConvertResult Commit();
  // Gives up the output as the destructor does.
  void Discard();

  // The path as given to Open.
  const std::string& path() const { return path_; }

 private:
  std::ofstream file_;
  std::string path_;
  std::string target_;          // the file written: `path_` with links resolved
  std::string temp_;            // the new file while replacing the target; "" when appending
  std::uintmax_t oldSize_ = 0;  // length of the appended file before this run
  std::string lineEnd_;         // written first to end the appended file's unended last line
  bool existed_ = false;
  bool direct_ = false;  // a device or pipe, written in place
  bool open_ = false;
};

}  // namespace korv
