#include "core/ini_layout.h"

#include "core/key_store.h"
#include "core/text.h"
#include "core/text_encoding.h"

namespace korv {

SectionForm FormOf(std::string_view section) {
  static constexpr const char* kLists[] = {"Vexal RAW data options",
                                           "Coortinate data options",
                                           "Vexal RAW data options file",
                                           "Coortinate data options file",
                                           "Send data format",
                                           "Coomunication Port",
                                           "Coomunication Speed",
                                           "Coomunication Data bits",
                                           "Coomunication Flow control",
                                           "Coordinate order",
                                           "Coordinate labes",
                                           "Messages for file types"};
  if (EqualsIgnoreCase(section, "Messages")) return SectionForm::Messages;
  for (const char* list : kLists) {
    if (EqualsIgnoreCase(section, list)) return SectionForm::List;
  }
  return SectionForm::Keyed;
}

IniLayout IniLayout::Parse(std::string_view bytes) {
  IniLayout layout;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    layout.bom_ = bytes.substr(0, 3);
    bytes.remove_prefix(3);
  }
  layout.windows1252_ = LinesEncoding(bytes) == TextEncoding::Windows1252;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t nl = bytes.find('\n', pos);
    size_t next = nl == std::string_view::npos ? bytes.size() : nl + 1;
    size_t stop = nl == std::string_view::npos ? bytes.size() : nl;
    if (stop > pos && bytes[stop - 1] == '\r') --stop;
    StoredLine line;
    line.raw = bytes.substr(pos, stop - pos);
    line.end = bytes.substr(stop, next - stop);
    line.text = IsValidUtf8(line.raw) ? line.raw : Windows1252ToUtf8(line.raw);
    layout.lines_.push_back(std::move(line));
    pos = next;
  }
  for (size_t i = 0; i < layout.lines_.size(); ++i) {
    std::string_view name;
    if (!HeaderName(layout.lines_[i].text, name)) continue;
    if (!layout.sections_.empty()) layout.sections_.back().end = i;
    IniSection section;
    section.name = name;
    section.header = i;
    for (const IniSection& before : layout.sections_) {
      if (EqualsIgnoreCase(before.name, name)) ++section.occurrence;
    }
    layout.sections_.push_back(std::move(section));
  }
  if (!layout.sections_.empty()) layout.sections_.back().end = layout.lines_.size();
  return layout;
}

const IniSection* IniLayout::Find(std::string_view name, int occurrence) const {
  for (const IniSection& s : sections_) {
    if (s.occurrence == occurrence && EqualsIgnoreCase(s.name, name)) return &s;
  }
  return nullptr;
}

std::vector<IniEntry> IniLayout::Entries(const IniSection& section) const {
  std::vector<IniEntry> entries;
  const SectionForm form = FormOf(section.name);
  for (size_t i = section.header + 1; i < section.end; ++i) {
    const std::string& text = lines_[i].text;
    if (TrimView(text).empty()) continue;
    const size_t cut = form == SectionForm::List
                           ? std::string::npos
                           : text.find(form == SectionForm::Messages ? ',' : '=');
    IniEntry e;
    e.line = i;
    if (cut == std::string::npos || cut == 0) {
      e.value = text;
    } else {
      e.key = Trim(std::string_view(text).substr(0, cut));
      e.value = Trim(std::string_view(text).substr(cut + 1));
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

void IniLayout::SetValue(const IniEntry& entry, const std::string& value) {
  StoredLine& line = lines_[entry.line];
  std::string text;
  if (entry.key.empty()) {
    text = value;
  } else {
    // Keep the key, its separator and the blanks after it as they were.
    // A key has no comma and a message number no "=", so the first of them ends either.
    size_t cut = line.text.find_first_of(",=") + 1;
    while (cut < line.text.size() && line.text[cut] == ' ') ++cut;
    text = line.text.substr(0, cut) + value;
  }
  if (text == line.text) return;
  line.text = std::move(text);
  line.changed = true;
}

std::string IniLayout::ToBytes() const {
  bool utf8 = !windows1252_;
  for (const StoredLine& line : lines_) {
    size_t lost = 0;
    if (!utf8 && line.changed) Utf8ToWindows1252(line.text, &lost);
    if (lost > 0) utf8 = true;  // a text Windows-1252 cannot hold makes the whole file UTF-8
  }
  const bool convertAll = utf8 && windows1252_;
  std::string out = bom_;
  for (const StoredLine& line : lines_) {
    if (line.changed) {
      out += utf8 ? line.text : Utf8ToWindows1252(line.text);
    } else {
      out += convertAll ? line.text : line.raw;
    }
    out += line.end;
  }
  return out;
}

}  // namespace korv
