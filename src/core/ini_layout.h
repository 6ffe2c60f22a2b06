// A settings file cut into sections and entries, for comparing two settings files line by line
// (taking the texts of a translation, checking a file against the default one) and changing
// single values while every other byte stays as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

struct IniSection {
  std::string name;    // as the header writes it, without brackets and blanks
  int occurrence = 0;  // sections of the same name (any letter case) before this one
  size_t header = 0;   // index of the header line
  size_t end = 0;      // index after the section's last line
};

// How a section holds its entries: "key=value" lines, lines without keys (the option lists,
// the serial settings, the file types), or the message rows "n,text".
enum class SectionForm { Keyed, List, Messages };
SectionForm FormOf(std::string_view section);

// One entry of a section: "key=value", a message row "n,text" (key n), or a list entry (key
// empty, the whole line its value).
struct IniEntry {
  size_t line = 0;
  std::string key;
  std::string value;  // blanks around it removed, except in list entries
};

class IniLayout {
 public:
  // Cuts `bytes` into lines (UTF-8 or Windows-1252 line by line, as the program reads them).
  static IniLayout Parse(std::string_view bytes);

  const std::vector<IniSection>& sections() const { return sections_; }
  size_t LineCount() const { return lines_.size(); }
  const std::string& Text(size_t i) const { return lines_[i].text; }
  // The section of that name (any letter case) and occurrence, or nullptr.
  const IniSection* Find(std::string_view name, int occurrence = 0) const;
  // The entries of `section` in file order; blank lines are no entries.
  std::vector<IniEntry> Entries(const IniSection& section) const;

  // Replaces the value of `entry`, keeping what comes before it on its line.
  void SetValue(const IniEntry& entry, const std::string& value);
  // The bytes line `i` was read from, without its line end (Text(i) differs from them when the
  // line was read as Windows-1252).
  const std::string& Raw(size_t i) const { return lines_[i].raw; }
  bool HasByteOrderMark() const { return !bom_.empty(); }
  // The encoding changed lines are written in (the one most non-ASCII lines have).
  bool Windows1252() const { return windows1252_; }
  // The file again: unchanged lines in the bytes they were read from, changed lines in the
  // file's encoding; when a changed text needs more than Windows-1252 holds, every line in
  // UTF-8.
  std::string ToBytes() const;

 private:
  struct StoredLine {
    std::string text;  // UTF-8, without the line end
    std::string raw;   // the bytes read, without the line end
    std::string end;   // "\r\n", "\n" or ""
    bool changed = false;
  };
  std::vector<StoredLine> lines_;
  std::vector<IniSection> sections_;
  std::string bom_;
  bool windows1252_ = false;  // the encoding of changed lines
};

}  // namespace korv
