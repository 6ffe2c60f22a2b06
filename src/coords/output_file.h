// An output file that either ends complete or leaves what was there before: a new file is
// written beside the target and put in its place at the end; an appended file is cut back to
// its old length when the conversion fails (disk full, vanished medium). Devices and pipes
// are written in place.
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

  // "Cannot write <path>: <reason>" with the reason taken from errno.
  static std::string WriteFault(const std::string& path);

 private:
  std::ofstream file_;
  std::string target_;
  std::string temp_;            // the new file while writing over the target; "" when appending
  std::uintmax_t oldSize_ = 0;  // length of the appended file before this run
  bool existed_ = false;
  bool direct_ = false;  // a device or pipe, written in place
  bool open_ = false;
};

}  // namespace korv
