#include "core/ini_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>

#include "core/app_state.h"
#include "core/control_records.h"
#include "core/ini_layout.h"
#include "core/interface_language.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "core/text.h"
#include "core/text_encoding.h"

namespace korv {

namespace {

std::string EntryName(const IniSection& section, const IniEntry& entry, size_t index) {
  std::string name = "[" + section.name + "]";
  if (!entry.key.empty()) return name + " " + entry.key;
  return name + " entry " + std::to_string(index + 1);
}

// The receive target lists, which hold at most kMaxOptionEntries entries.
bool IsOptionList(std::string_view section) {
  for (const char* list : {"Vexal RAW data options", "Coortinate data options",
                           "Vexal RAW data options file", "Coortinate data options file"}) {
    if (EqualsIgnoreCase(section, list)) return true;
  }
  return false;
}

bool HasLetter(const std::string& text) {
  for (unsigned char c : text) {
    if (std::isalpha(c) || c >= 0x80) return true;
  }
  return false;
}

// The entry of `entries` that stands where `wanted` (at `index` of its own list) stands.
const IniEntry* Matching(const std::vector<IniEntry>& entries, const IniEntry& wanted, size_t index,
                         SectionForm form) {
  if (form == SectionForm::List) return index < entries.size() ? &entries[index] : nullptr;
  for (const IniEntry& e : entries) {
    if (!e.key.empty() && EqualsIgnoreCase(e.key, wanted.key)) return &e;
  }
  return nullptr;
}

// The numbers of the "%1" ... "%99" a window fills into `text`, in rising order, each once.
std::vector<int> Placeholders(std::string_view text) {
  std::vector<int> numbers;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '%' || !std::isdigit(static_cast<unsigned char>(text[i + 1]))) continue;
    int n = text[i + 1] - '0';
    if (i + 2 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 2])))
      n = n * 10 + (text[i + 2] - '0');
    if (n > 0 && std::find(numbers.begin(), numbers.end(), n) == numbers.end())
      numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

std::string PlaceholderList(const std::vector<int>& numbers) {
  if (numbers.empty()) return "none";
  std::string list;
  for (int n : numbers) list += (list.empty() ? "%" : " %") + std::to_string(n);
  return list;
}

// The file patterns of a file-type text "name|patterns|name|patterns...": every second part.
std::vector<std::string> FilePatterns(std::string_view text) {
  std::vector<std::string> patterns;
  size_t start = 0;
  for (size_t part = 0;; ++part) {
    const size_t bar = text.find('|', start);
    if (part % 2 == 1) patterns.push_back(Trim(text.substr(start, bar - start)));
    if (bar == std::string_view::npos) return patterns;
    start = bar + 1;
  }
}

// What would make the program show `text` wrongly where the default file has `english`: the
// windows fill "%1" ... by number, cut file-type texts at "|" and match files by the patterns
// after it, and join the file types of "[Messages for file types]" with "|" themselves.
std::string UnlikeEnglish(std::string_view section, const std::string& text,
                          const std::string& english) {
  const std::vector<int> ours = Placeholders(text), theirs = Placeholders(english);
  if (ours != theirs) {
    return "\"" + text + "\": the program fills " + PlaceholderList(theirs) + ", this text has " +
           PlaceholderList(ours);
  }
  if (english.find('|') != std::string::npos &&
      (std::count(text.begin(), text.end(), '|') !=
           std::count(english.begin(), english.end(), '|') ||
       FilePatterns(text) != FilePatterns(english))) {
    return "\"" + text + "\": the file patterns and the \"|\" between them must stay as in \"" +
           english + "\"";
  }
  if (EqualsIgnoreCase(section, "Messages for file types") && text.find('|') != std::string::npos) {
    return "\"" + text + "\": \"|\" separates the file types of the program's file dialogs";
  }
  return {};
}

void Describe(const IniLayout& file, std::string_view bytes, IniReport& report) {
  size_t crlf = 0, lf = 0, nonAscii = 0;
  std::vector<size_t> cp1252;
  for (size_t i = 0; i < file.LineCount(); ++i) {
    if (HasNonAscii(file.Raw(i))) ++nonAscii;
    if (file.Raw(i) != file.Text(i)) cp1252.push_back(i + 1);
  }
  size_t cr = 0;  // a CR alone, as old Macintosh editors end lines
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') ++(i > 0 && bytes[i - 1] == '\r' ? crlf : lf);
    if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) ++cr;
  }
  report.lines = file.LineCount();
  report.lineEnds = cr > 0 && lf == 0 && crlf == 0 ? "CR"
                    : cr > 0                       ? "mixed"
                    : lf == 0                      ? "CR LF"
                    : crlf == 0                    ? "LF"
                                                   : "mixed";
  if (cr > 0) {
    report.refused.push_back({0, "",
                              std::to_string(cr) +
                                  " lines end in a CR alone: the program ends lines at "
                                  "LF or CR LF only, so it reads them as one"});
  }
  if (nonAscii == 0) {
    report.encoding = "ASCII";
  } else if (cp1252.empty()) {
    report.encoding = "UTF-8";
  } else if (cp1252.size() == nonAscii) {
    report.encoding = "Windows-1252";
  } else {
    report.encoding = file.Windows1252() ? "Windows-1252" : "UTF-8";
    report.encoding += ", lines in both encodings (Windows-1252:";
    for (size_t i = 0; i < cp1252.size() && i < 10; ++i)
      report.encoding += " " + std::to_string(cp1252[i]);
    report.encoding += cp1252.size() > 10 ? " ...)" : ")";
  }
  if (file.HasByteOrderMark()) report.encoding += ", byte-order mark";
}

// Missing sections, keys, entries and messages, and texts equal to the English ones.
void Compare(const IniLayout& file, const IniLayout& defaults, IniReport& report) {
  for (const IniSection& section : defaults.sections()) {
    const IniSection* own = file.Find(section.name, section.occurrence);
    if (!own) {
      report.missing.push_back({0, "[" + section.name + "]", "section"});
      continue;
    }
    const SectionForm form = FormOf(section.name);
    const std::vector<IniEntry> english = defaults.Entries(section);
    const std::vector<IniEntry> entries = file.Entries(*own);
    if (form == SectionForm::List && entries.size() < english.size()) {
      report.missing.push_back(
          {own->header + 1, "[" + section.name + "]",
           std::to_string(entries.size()) + " entries of " + std::to_string(english.size())});
    }
    const bool texts = IsTextList(section.name);
    for (const IniEntry& e : entries) {
      const char first = form == SectionForm::List ? TrimView(e.value).front() : ' ';
      if (first == ';' || first == '#') {
        report.wrong.push_back({e.line + 1, "[" + section.name + "]",
                                "\"" + e.value +
                                    "\": a list has no comments: the program takes this line "
                                    "as an entry"});
      }
    }
    if (form == SectionForm::List && texts && entries.size() > english.size()) {
      report.wrong.push_back(
          {own->header + 1, "[" + section.name + "]",
           std::to_string(entries.size()) + " entries where the program has " +
               std::to_string(english.size()) +
               ": a choice is stored by its place in the list, so an entry added or split in "
               "two moves the ones after it"});
    }
    for (size_t i = 0; i < english.size(); ++i) {
      const IniEntry* found = Matching(entries, english[i], i, form);
      if (!found) {
        if (form != SectionForm::List) {
          report.missing.push_back({own->header + 1, EntryName(section, english[i], i), "key"});
        }
        continue;
      }
      const bool text = texts || IsInterfaceText(section.name, english[i].key);
      if (text && found->value == english[i].value && HasLetter(found->value)) {
        ++report.englishTexts;
        report.untranslated.push_back(
            {found->line + 1, EntryName(section, english[i], i), found->value});
      }
      if (!text) continue;
      const std::string unlike = UnlikeEnglish(section.name, found->value, english[i].value);
      if (!unlike.empty()) {
        report.wrong.push_back({found->line + 1, EntryName(section, english[i], i), unlike});
      }
    }
  }
}

void Refuse(IniReport& report, const IniEntry& e, const IniSection& s, size_t index,
            const std::string& why) {
  report.refused.push_back({e.line + 1, EntryName(s, e, index), "\"" + e.value + "\": " + why});
}

// Values the program refuses (the file is then replaced) or ignores (its default is used).
void CheckValues(const IniLayout& file, IniReport& report) {
  for (const IniSection& section : file.sections()) {
    if (section.occurrence > 0) continue;  // the program reads the first section of a name
    const std::vector<IniEntry> entries = file.Entries(section);
    const ControlRecordDef* record = FindControlRecord(section.name);
    for (size_t i = 0; i < entries.size(); ++i) {
      const IniEntry& e = entries[i];
      const std::string key = ToLowerAscii(e.key);
      if (record) {
        bool truth = false;
        if ((key == "fontbold" || key == "fontitalic") && !e.value.empty() &&
            !ParseTruthValue(e.value, truth)) {
          Refuse(report, e, section, i, "neither True nor False");
        } else if (key == "fontsize" && !e.value.empty() &&
                   !LoadableFontSize(LeadingNumber(e.value))) {
          Refuse(report, e, section, i, "a font size from 0 to 100 points is taken");
        } else if ((key == "width" ||
                    (key == "height" && record->kind != ControlRecordKind::Combo)) &&
                   !e.value.empty() && !LoadableTwips(LeadingNumber(e.value))) {
          Refuse(report, e, section, i, "a size from 0 to 144000 twips is taken");
        } else if ((key == "caption" || key == "text") && e.value.empty()) {
          Refuse(report, e, section, i, "empty: the control needs a text");
        }
      } else if (EqualsIgnoreCase(section.name, "Default")) {
        for (const DefaultKey& k : kDefaultKeys) {
          if (!k.integer || !EqualsIgnoreCase(k.key, e.key) || e.value.empty()) continue;
          const double n = RoundHalfEven(LeadingNumber(e.value));
          if (!(n >= INT16_MIN && n <= INT16_MAX)) {
            Refuse(report, e, section, i, "out of the range -32768 to 32767");
          }
        }
      } else if (EqualsIgnoreCase(section.name, "Journal") && !e.key.empty() &&
                 !IsInterfaceText(section.name, e.key) &&
                 (e.value.empty() ||
                  e.value.find_first_not_of("0123456789") != std::string::npos)) {
        Refuse(report, e, section, i, "not a whole number: the default is used");
      }
    }
    if (IsOptionList(section.name) && entries.size() > static_cast<size_t>(kMaxOptionEntries)) {
      report.refused.push_back({entries[kMaxOptionEntries].line + 1, "[" + section.name + "]",
                                "more than " + std::to_string(kMaxOptionEntries) + " entries"});
    }
  }
  // Before a missing caption (and the lists) ends the load there.
  for (const ControlRecordDef& def : ControlCatalogue()) {
    const bool needsText = def.kind == ControlRecordKind::Captioned ||
                           def.kind == ControlRecordKind::Window ||
                           def.kind == ControlRecordKind::TextBox;
    const IniSection* section = file.Find(def.name);
    if (!needsText || !section) continue;
    const char* key = def.kind == ControlRecordKind::TextBox ? "Text" : "Caption";
    bool found = false;
    for (const IniEntry& e : file.Entries(*section)) found = found || EqualsIgnoreCase(e.key, key);
    if (!found)
      report.refused.push_back({section->header + 1, "[" + def.name + "]",
                                std::string("no ") + key + ": the control needs a text"});
  }
}

// A stored choice of "[Default]" that selects an entry its list does not have: found by
// loading the file with that choice set to the first entry.
void FindBadChoice(const IniLayout& file, IniReport& report) {
  const IniSection* section = file.Find("Default");
  if (!section) return;
  const std::vector<IniEntry> entries = file.Entries(*section);
  for (size_t i = 0; i < entries.size(); ++i) {
    IniLayout changed = file;
    changed.SetValue(entries[i], "0");
    AppState state;
    if (LoadSettingsFromBytes(state, 0, changed.ToBytes())) {
      Refuse(report, entries[i], *section, i, "selects an entry its list does not have");
    }
  }
}

}  // namespace

IniReport CheckSettingsFile(std::string_view bytes) {
  IniReport report;
  AppState state;
  const IniLayout defaults = IniLayout::Parse(BuildIniFile(state));
  const IniLayout file = IniLayout::Parse(bytes);
  Describe(file, bytes, report);
  if (bytes.find('\0') != std::string_view::npos) {
    report.refused.push_back({0, "", "binary data: this is no settings file"});
    return report;
  }
  const IniSection* language = file.Find(kInterfaceLanguageSection);
  report.language = "English";
  if (language) {
    for (const IniEntry& e : file.Entries(*language)) {
      if (EqualsIgnoreCase(e.key, "Language") && !e.value.empty()) report.language = e.value;
    }
  }
  Compare(file, defaults, report);
  if (report.language == "English") report.untranslated.clear();
  CheckValues(file, report);
  AppState loaded;
  report.loads = LoadSettingsFromBytes(loaded, 0, bytes);
  if (!report.loads && report.refused.empty()) FindBadChoice(file, report);
  if (!report.loads && report.refused.empty() && report.missing.empty()) {
    report.refused.push_back({0, "", "the sections are not in the order the program reads them"});
  }
  return report;
}

}  // namespace korv
