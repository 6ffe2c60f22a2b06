#include "core/text_section.h"

#include "core/gis_settings.h"
#include "core/interface_language.h"
#include "core/journal.h"
#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/recent_files.h"
#include "core/survey_texts.h"

namespace korv {

const char* TextSection::English(std::string_view key) const {
  for (const TextRow& row : *this) {
    if (key == row.key) return row.text;
  }
  return nullptr;
}

std::string SectionText(const IniFile& ini, const TextSection& section, std::string_view key) {
  std::string text = ini.Get(section.name, key);
  if (!text.empty()) return text;
  const char* english = section.English(key);
  return english ? english : "";
}

void AppendTextRows(std::string& out, const TextSection& section) {
  for (const TextRow& row : section) {
    out += row.key;
    out += '=';
    out += row.text;
    out += "\r\n";
  }
}

const std::vector<const TextSection*>& KeyedTextSections() {
  static const std::vector<const TextSection*> sections = {
      &SurveyTextSection(),        &GisTextSection(),     &JournalTextSection(),
      &InterfaceLanguageSection(), &ProgramTextSection(), &DesktopFilesSection()};
  return sections;
}

}  // namespace korv
