// Small string procedures shared by every layer: trimming, the comma and blank splitters,
// quote and folder stripping.
#pragma once

#include <array>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

// Copies `size` bytes as two overlapping blocks of fixed size (16, 8 or 4 bytes): a few moves
// instead of a call of variable size, for the short texts and numbers the writers copy.
inline void CopyShort(char* to, const char* from, size_t size) {
  if (size > 32) {
    std::memcpy(to, from, size);
  } else if (size >= 16) {
    std::memcpy(to, from, 16);
    std::memcpy(to + size - 16, from + size - 16, 16);
  } else if (size >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + size - 8, from + size - 8, 8);
  } else if (size >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + size - 4, from + size - 4, 4);
  } else {
    for (size_t i = 0; i < size; ++i) to[i] = from[i];
  }
}

// Trimming removes blanks only, as the settings and data formats define it; tabs are data.
// Inline: the converters trim every field of every line.
inline std::string_view TrimView(std::string_view s) {
  const char* b = s.data();
  const char* e = b + s.size();
  while (b < e && *b == ' ') ++b;
  while (e > b && e[-1] == ' ') --e;
  return std::string_view(b, static_cast<size_t>(e - b));
}
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// Trims blanks from both ends of `s`, keeping its buffer (no allocation).
void TrimInPlace(std::string& s);

std::string ToLowerAscii(std::string_view s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view s, std::string_view prefix);

// True when both plane coordinate fields of a coordinate line hold words, not numbers (neither
// starts with a sign, a digit or a point after the blanks a number may have before it): the
// title line a spreadsheet writes above its points ("Point,North,East,Height"), which is no
// point at 0, 0. Inline: the coordinate writers ask it of every line.
inline bool IsTitleLine(std::string_view northing, std::string_view easting) {
  auto word = [](std::string_view field) {
    size_t i = 0;
    while (i < field.size() &&
           (field[i] == ' ' || field[i] == '\t' || field[i] == '\r' || field[i] == '\n'))
      ++i;
    if (i == field.size()) return false;
    const char c = field[i];
    return !(c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9'));
  };
  return word(northing) && word(easting);
}

// Fields of one comma-separated record, numbered from 1 (index 0 stays empty).
// At most 12 commas split; the rest of the line, untrimmed, is the last field.
using FieldArray = std::vector<std::string>;

// Trims `line` in place and fills `fields` (resized to at least 17 entries, 1..16 cleared)
// with its fields. Returns the field count (0 for a blank line, fields then untouched).
int SplitFields(std::string& line, FieldArray& fields);

// Fields 1..16 of one line as views into it (index 0 unused).
using FieldViews = std::array<std::string_view, 17>;

// SplitFields on views, for the converters' millions of lines: the line trimmed of blanks
// (TrimView(line) is what SplitFields leaves in `line`), at most 12 commas split, each field
// trimmed except the last, which is the untrimmed rest of the line. Fields 1..16 are cleared
// unless the line is blank. Returns the count; 0 for a blank line.
int SplitFieldViews(std::string_view line, FieldViews& fields);

// The first `count` commas of `line` (fewer when it has fewer), for readers that need only
// the first fields of a line; returns how many were found.
int FindCommas(std::string_view line, const char** commas, int count);

// Trims `line` in place and splits it at runs of blanks into words 1..count of `words`.
// Entries 1..9 are cleared when the line is not blank; the array grows as needed.
int SplitWords(std::string& line, std::vector<std::string>& words);

// Trimmed text without one enclosing pair of double quotes.
std::string StripQuotes(std::string_view text);

// `text` with each "%1" ... "%9" replaced by that value, in one pass: a value holding "%2" keeps
// it, and a placeholder without a value (or a value without its placeholder, as a translation
// may leave one out) is left as it is.
std::string FillNumbered(std::string_view text, std::initializer_list<std::string_view> values);

// The part of the trimmed path after its last folder separator ("/" or "\").
std::string FileNameOnly(std::string_view path);

}  // namespace korv
