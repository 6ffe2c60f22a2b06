// The settings-file key store: read and write one key of one section of an INI file.
//
// Section and key names match without regard to letter case; the first section of a name
// wins; blanks around names and values are ignored; values come back whole, without the
// blanks around them. A missing key and an empty value both read as "".
// A write replaces the first matching key, adds a missing key at the end of its section,
// and a missing section at the end of the file; every other byte of the file stays as it
// was. Each line is read as UTF-8 when its bytes are valid UTF-8, otherwise as Windows-1252,
// and an unchanged line is written back in the bytes it was read from; changed and new lines
// take the file's encoding (LinesEncoding), except that a text Windows-1252 cannot hold makes
// the whole file UTF-8 rather than lose characters. Values are UTF-8 in the program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text_encoding.h"

namespace korv {

class IniFile {
 public:
  enum class Encoding { Utf8, Windows1252 };

  IniFile() = default;
  // Reads `path`; a missing or unreadable file gives an empty store.
  static IniFile Load(const std::string& path);
  // Parses file bytes as Load does.
  static IniFile FromBytes(std::string_view bytes);

  // Value of `key` in the first section named `section`, or "" when not found.
  std::string Get(std::string_view section, std::string_view key) const;
  // Sets the value in memory; Save or ToBytes makes it permanent.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole file as bytes in its encoding.
  std::string ToBytes() const;
  // Replaces `path` atomically with ToBytes(). False (file untouched) when the file is
  // read-only or the folder cannot take the new file.
  bool Save(const std::string& path) const;

  Encoding encoding() const { return encoding_; }
  bool empty() const { return lines_.empty(); }

 private:
  struct Line {
    std::string text;     // UTF-8, without line end
    std::string end;      // "\r\n", "\n" or "" (last line without end)
    bool cp1252 = false;  // written as Windows-1252
  };
  // A changed or new line, written in the file's encoding.
  Line NewLine(std::string text) const;
  // Index of the first header line of `section`, or -1.
  long FindSection(std::string_view section) const;
  // Index of the first key line of `key` in the section starting at `header`, or -1.
  long FindKey(long header, std::string_view key) const;

  std::vector<Line> lines_;
  std::string bom_;
  Encoding encoding_ = Encoding::Utf8;
};

// The section name of a header line ("[name]", blanks around either ignored), or false when the
// line is no header.
bool HeaderName(std::string_view line, std::string_view& name);

// One-shot access as the original profile-string functions offered it.
std::string ReadKey(const std::string& path, std::string_view section, std::string_view key);
bool WriteKey(const std::string& path, std::string_view section, std::string_view key,
              std::string_view value);

// Writes `bytes` to `path` through a temporary file in the same folder and a rename, so the
// file is either the old one or the whole new one. False when that fails.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace korv
