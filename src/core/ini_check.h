// Checks a settings file against the default one, as a translator or an administrator wants it
// checked before the program meets it: what is missing, which texts are still English, which
// values the program would refuse (with their line numbers), and whether the program would
// load the file or replace it with a new one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

struct IniFinding {
  size_t line = 0;     // 1-based; 0 when there is no such line
  std::string where;   // "[Main Form] Caption", "[Messages] 47", "[Coordinate labes] entry 2"
  std::string detail;  // the value, or what is wrong with it
};

struct IniReport {
  std::string encoding;  // "UTF-8", "Windows-1252" or "ASCII", and what is unusual
  std::string lineEnds;  // "CR LF", "LF" or "mixed"
  size_t lines = 0;
  std::string language;  // its "[Interface Language]" Language, "English" when it has none
  std::vector<IniFinding> missing;       // sections, keys, entries and messages not there
  std::vector<IniFinding> untranslated;  // texts equal to the English default (translations)
  size_t englishTexts = 0;               // how many texts are equal to the English default
  std::vector<IniFinding> refused;       // values the program would refuse or ignore
  // Texts the program would show wrongly: placeholders ("%1") or file patterns unlike the
  // English text's, list entries that would stand in the wrong place.
  std::vector<IniFinding> wrong;
  bool loads = false;  // false: the program would write a new file with the defaults
};

IniReport CheckSettingsFile(std::string_view bytes);

}  // namespace korv
