// A converter's input, opened and found readable before any output is touched. An input that
// cannot be read twice (a pipe, a FIFO, a terminal) is first copied to a temporary file, so the
// writers that read their input twice work on it too.
#pragma once

#include <sys/types.h>

#include <fstream>
#include <string>

#include "core/convert_result.h"

namespace korv {

class InputFile {
 public:
  // Opens `path`; the fault names the file and the reason ("Cannot read a.raw: File not
  // found", "... it is a folder").
  ConvertResult Open(const std::string& path);

  std::ifstream& stream() { return file_; }
  // Device and inode of the file named (before any copy), to recognise the same file.
  bool SameFileAs(const std::string& otherPath) const;
  // "Cannot read <path>: <reason>" with the reason taken from errno.
  std::string ReadFault() const;

 private:
  std::ifstream file_;
  std::string path_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// True when both paths name one existing file (the same device and inode), as for writers
// that open their files themselves and must not write onto their input.
bool SameFile(const std::string& a, const std::string& b);

// "Cannot read <path>: <reason>" / "Cannot write <path>: <reason>" with the reason taken from
// `err` (an errno value; 0 gives the general access error).
std::string ReadFault(const std::string& path, int err);
std::string WriteFault(const std::string& path, int err);

}  // namespace korv
