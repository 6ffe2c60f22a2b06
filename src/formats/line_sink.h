// Collects output lines in a large buffer and hands them to the output stream in chunks, so a
// converter writes a million lines without a stream call per line. The first failed write is
// remembered with its system error, and nothing more is written after it.
#pragma once

#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

namespace korv {

class LineSink {
 public:
  explicit LineSink(std::ostream& out) : out_(out), buffer_(new char[capacity_]) {}
  LineSink(const LineSink&) = delete;
  LineSink& operator=(const LineSink&) = delete;

  // Appends `text` and the CR LF line end.
  void Line(std::string_view text) {
    char* at = Begin(text.size());
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    End(at + text.size());
  }

  // A line written in place: room for `size` bytes and its line end at the returned
  // position; End takes the position where the line stopped (at most `size` bytes on).
  char* Begin(size_t size) {
    if (size + 2 > capacity_ - used_) MakeRoom(size + 2);
    return buffer_.get() + used_;
  }
  void End(char* at) {
    at[0] = '\r';
    at[1] = '\n';
    used_ = static_cast<size_t>(at + 2 - buffer_.get());
    if (used_ >= kChunk) Flush();
  }

  // Writes what is buffered; false once any write has failed.
  bool Flush() {
    const size_t used = used_;
    used_ = 0;
    if (failed_) return false;
    if (used > 0) {
      errno = 0;
      out_.write(buffer_.get(), static_cast<std::streamsize>(used));
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

  // Flushes, and grows the buffer for a line longer than its room.
  void MakeRoom(size_t size) {
    Flush();
    if (size > capacity_) {
      capacity_ = size + kChunk;
      buffer_.reset(new char[capacity_]);
    }
  }

  void Fail() {
    failed_ = true;
    error_ = errno;
  }

  std::ostream& out_;
  // A chunk and room for the usual lines beyond it (a line that starts below kChunk).
  size_t capacity_ = kChunk + 1024;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  bool failed_ = false;
  int error_ = 0;
};

}  // namespace korv
