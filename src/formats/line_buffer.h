// A blank-filled line of fixed length into which fixed-column records are written field by
// field: each text goes in at its column, cut at its field's width, never lengthening the line.
// Columns count characters of the output's encoding: in UTF-8 a character of several bytes
// still takes one column, and a cut never splits it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "core/text_encoding.h"

namespace korv {

class LineBuffer {
 public:
  explicit LineBuffer(size_t length, TextEncoding encoding = TextEncoding::Windows1252)
      : cells_(length, ' '), utf8_(encoding == TextEncoding::Utf8) {}

  // Writes `text` left-justified from 1-based `column`, cut at `width` and at the line's end.
  // Inline for the usual text, one byte a column, so that a record's constant columns fold
  // into a few moves; text of several-byte characters goes to PutWide.
  void Put(size_t column, size_t width, std::string_view text) {
    if (column == 0 || column > cells_.size()) return;
    const size_t start = column - 1;
    width = std::min(width, cells_.size() - start);
    if (utf8_ && HasNonAscii(text)) {
      PutWide(start, width, text);
      return;
    }
    const size_t n = std::min(text.size(), width);
    extent_ = std::max(extent_, start + n);
    char* const to = &cells_[start];
    const char* from = text.data();
#if defined(__GNUC__)
    // Hides where `from` points, so that the compiler does not warn about the block copies
    // below for a short literal, whose branch never runs.
    asm("" : "+r"(from));
#endif
    CopyShort(to, from, n);
  }

  // Copies `width` columns of `from`, starting at its 1-based `fromColumn`, to `column`.
  void PutColumns(size_t column, const LineBuffer& from, size_t fromColumn, size_t width) {
    for (size_t k = 0; k < width; ++k) {
      const size_t to = column - 1 + k, source = fromColumn - 1 + k;
      if (to >= cells_.size() || source >= from.cells_.size()) return;
      const char c = from.cells_[source];
      cells_[to] = from.IsMark(c) ? Mark(from.wide_[MarkIndex(c)]) : c;
      extent_ = std::max(extent_, to + 1);
    }
  }

  void Clear() {
    std::fill(cells_.begin(), cells_.end(), ' ');
    wide_.clear();
    extent_ = 0;
  }
  // The first `columns` columns as text.
  std::string_view Text(size_t columns = std::string_view::npos) const {
    std::string_view cells = std::string_view(cells_).substr(0, columns);
    if (wide_.empty()) return cells;
    text_.clear();
    for (char c : cells) {
      if (IsMark(c))
        text_ += wide_[MarkIndex(c)];
      else
        text_ += c;
    }
    return text_;
  }
  // The first `columns` columns as text without trailing blanks. Only the columns written
  // since the last Clear are looked at, one byte at a time from the last: a wide read of
  // bytes just stored piecemeal would wait for those stores to land.
  std::string_view TrimmedText(size_t columns = std::string_view::npos) const {
    std::string_view t = Text(std::min(columns, extent_));
    size_t end = t.size();
    while (end > 0 && t[end - 1] == ' ') --end;
    return t.substr(0, end);
  }

 private:
  // Put for UTF-8 text with characters of several bytes: one cell a character; a character of
  // several bytes is kept aside and its cell marks it.
  __attribute__((noinline)) void PutWide(size_t start, size_t width, std::string_view text) {
    size_t i = 0;
    for (size_t n = 0; n < width && i < text.size(); ++n) {
      size_t next = i + 1;
      while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
      if (next - i == 1 && static_cast<unsigned char>(text[i]) < 0x80) {
        cells_[start + n] = text[i];
      } else {
        cells_[start + n] = Mark(text.substr(i, next - i));
      }
      extent_ = std::max(extent_, start + n + 1);
      i = next;
    }
  }

  // In UTF-8 every byte above 0x7F in a cell marks a character kept in wide_.
  bool IsMark(char c) const { return utf8_ && static_cast<unsigned char>(c) >= 0x80; }
  static size_t MarkIndex(char c) { return static_cast<unsigned char>(c) - 0x80u; }
  char Mark(std::string_view character) {
    if (wide_.size() >= 0x80) return '?';  // no record has that many columns
    wide_.emplace_back(character);
    return static_cast<char>(0x80 + wide_.size() - 1);
  }

  std::string cells_;
  size_t extent_ = 0;  // columns up to the end of the furthest text written since Clear
  bool utf8_;
  std::vector<std::string> wide_;
  mutable std::string text_;
};

}  // namespace korv
