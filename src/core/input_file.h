// A converter's input, opened and found readable before any output is touched. An input that
// cannot be read twice (a pipe, a FIFO, a terminal) is first copied to a temporary file, so the
// writers that read their input twice work on it too.
#pragma once

#include <sys/types.h>

#include <fstream>
#include <istream>
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
// The reason alone of a failed write or creation ("Path not found" for a missing folder).
std::string WriteReason(int err);

// Why the input at `in` cannot be survey data, judged from its first 64 KB: UTF-16 text,
// binary data (more than 1 % control bytes other than tab, line ends, form feed and the
// end-of-file mark; a stray byte from a noisy line passes), or, for data whose fields are
// separated by commas (`commaFields`), fields separated by semicolons with decimal commas, as
// spreadsheets save them in many countries (their numbers would be read up to the first
// comma). "" when it can be. Puts `in` back where it was.
std::string NotSurveyDataReason(std::istream& in, bool commaFields = true);

}  // namespace korv
