// A blank-filled line of fixed length into which fixed-column records are written field by
// field: each text goes in at its column, cut at its field's width, never lengthening the line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace korv {

class LineBuffer {
 public:
  explicit LineBuffer(size_t length) : text_(length, ' ') {}

  // Writes `text` left-justified from 1-based `column`, cut at `width` and at the line's end.
  void Put(size_t column, size_t width, std::string_view text) {
    if (column == 0 || column > text_.size()) return;
    size_t start = column - 1;
    size_t n = std::min({text.size(), width, text_.size() - start});
    std::copy_n(text.data(), n, text_.begin() + static_cast<std::ptrdiff_t>(start));
  }

  void Clear() { std::fill(text_.begin(), text_.end(), ' '); }
  const std::string& Text() const { return text_; }
  std::string WithoutTrailingBlanks() const {
    size_t e = text_.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : text_.substr(0, e + 1);
  }

 private:
  std::string text_;
};

}  // namespace korv
