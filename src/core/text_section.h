// Keyed text sections of the settings file ("[Survey Texts]", "[GIS Settings]", "[Journal]",
// "[Interface Language]", "[Program Texts]", "[Desktop Files]"): a table of keys with their
// English texts, which a new settings file holds and which a file without them falls back to.
// Translations carry exactly these keys.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

class IniFile;

struct TextRow {
  const char* key;
  const char* text;  // English; "%1", "%2", ... are filled in where it is shown
};

struct TextSection {
  template <size_t N>
  constexpr TextSection(const char* section, const TextRow (&table)[N])
      : name(section), rows(table), count(N) {}

  const TextRow* begin() const { return rows; }
  const TextRow* end() const { return rows + count; }
  // The English text of `key`, or nullptr when the section has no such text.
  const char* English(std::string_view key) const;

  const char* name;
  const TextRow* rows;
  size_t count;
};

// The file's text of `key` in `section`, else the English one.
std::string SectionText(const IniFile& ini, const TextSection& section, std::string_view key);
// Appends "key=text" lines (CR LF) for every row, as a new settings file holds them.
void AppendTextRows(std::string& out, const TextSection& section);

// Every keyed text section, in the order of the file.
const std::vector<const TextSection*>& KeyedTextSections();

}  // namespace korv
