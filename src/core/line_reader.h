// The one reader of every text file the program reads: a line ends at CR LF, at LF or at a
// lone CR (the instrument itself ends lines with CR, and files captured by other programs keep
// that), so CR CR LF is a line end followed by an empty line. A UTF-8 byte-order mark at the
// start is skipped. Reads in large blocks, so a million lines cost no stream call each.
// It also reads the lines of a text already in memory, such as a part of a file cut at a line
// end (no byte-order mark is looked for there).
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(&in), buffer_(size_t{1} << 16) {
    text_ = buffer_.data();
  }
  explicit LineReader(std::string_view text)
      : text_(text.data()), end_(text.size()), atEnd_(true), started_(true) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line without its end, valid until the next call; false when nothing is left.
  bool Next(std::string_view& line);
  // The same as a copy.
  bool Next(std::string& line) {
    std::string_view view;
    if (!Next(view)) return false;
    line.assign(view);
    return true;
  }
  // Number of the line last returned, counted from 1.
  size_t lineNumber() const { return lineNumber_; }
  // True when reading failed (not merely reached the end).
  bool bad() const { return in_ && in_->bad(); }

 private:
  // Reads more input behind what is left; false at the end of the input.
  bool Fill();
  // Position of the first CR or LF at or after begin_; end_ when there is none.
  size_t NextEnd() const;

  std::istream* in_ = nullptr;  // none for a text in memory
  std::vector<char> buffer_;
  const char* text_;  // the buffer, or the text in memory
  size_t begin_ = 0, end_ = 0;
  size_t lineNumber_ = 0;
  bool atEnd_ = false;
  bool started_ = false;  // the byte-order mark has been looked for
};

}  // namespace korv
