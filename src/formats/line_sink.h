// Collects output lines in a large buffer and hands them to the output stream in chunks, so a
// converter writes a million lines without a stream call per line. The first failed write is
// remembered with its system error, and nothing more is written after it.
#pragma once

#include <cerrno>
#include <ostream>
#include <string>
#include <string_view>

namespace korv {

class LineSink {
 public:
  explicit LineSink(std::ostream& out) : out_(out) { buffer_.reserve(kChunk + 512); }
  LineSink(const LineSink&) = delete;
  LineSink& operator=(const LineSink&) = delete;

  // Appends `text` and the CR LF line end.
  void Line(std::string_view text) {
    buffer_.append(text);
    buffer_.append("\r\n", 2);
    if (buffer_.size() >= kChunk) Flush();
  }

  // Writes what is buffered; false once any write has failed.
  bool Flush() {
    if (failed_) return false;
    if (!buffer_.empty()) {
      errno = 0;
      out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
      buffer_.clear();
    }
    if (!out_) Fail();
    return !failed_;
  }

  // Flushes the stream itself; false when anything failed on the way.
  bool Finish() {
    if (!Flush()) return false;
    errno = 0;
    out_.flush();
    if (!out_) Fail();
    return !failed_;
  }

  bool failed() const { return failed_; }
  // errno of the failed write (0 when the stream did not say).
  int error() const { return error_; }

 private:
  static constexpr size_t kChunk = 1 << 16;

  void Fail() {
    failed_ = true;
    error_ = errno;
    buffer_.clear();
  }

  std::ostream& out_;
  std::string buffer_;
  bool failed_ = false;
  int error_ = 0;
};

}  // namespace korv
