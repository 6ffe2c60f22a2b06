#include "core/interface_language.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/app_state.h"
#include "core/control_records.h"
#include "core/ini_layout.h"
#include "core/key_store.h"
#include "core/numbers.h"
#include "core/program_texts.h"
#include "core/settings.h"
#include "core/text.h"

namespace korv {

namespace {

constexpr TextRow kLanguageTexts[] = {
    {"Language", "English"},
    {"Button", "&Interface language..."},
    {"Title", "Interface language"},
    {"Prompt", "&Texts of the program:"},
    {"FromFile", "From a file..."},
    {"FileFilter", "Settings files (*.ini)|*.ini"},
    {"Applied", "The texts of %1 are in use."},
    {"Failed", "The texts could not be taken from %1: %2"},
};

}  // namespace

const TextSection& InterfaceLanguageSection() {
  static constexpr TextSection section{kInterfaceLanguageSection, kLanguageTexts};
  return section;
}

bool IsInterfaceText(std::string_view section, std::string_view key) {
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (EqualsIgnoreCase(def.name, section)) {
      return EqualsIgnoreCase(key, "Caption") || EqualsIgnoreCase(key, "Text") ||
             EqualsIgnoreCase(key, "ToolTipText");
    }
  }
  if (EqualsIgnoreCase(section, "ToolTipsText CommandSetting")) return true;
  if (EqualsIgnoreCase(section, "Coordinate Settings") ||
      EqualsIgnoreCase(section, "Coordinate UpLoad Settings")) {
    return key.size() > 10 && EqualsIgnoreCase(key.substr(0, 10), "ComboField");
  }
  for (const TextSection* texts : KeyedTextSections()) {
    if (!EqualsIgnoreCase(texts->name, section)) continue;
    for (const TextRow& row : *texts) {
      if (EqualsIgnoreCase(row.key, key)) return true;
    }
  }
  return false;
}

bool IsTextList(std::string_view section) {
  for (const char* list :
       {"Vexal RAW data options", "Coortinate data options", "Vexal RAW data options file",
        "Coortinate data options file", "Send data format", "Coomunication Flow control",
        "Coordinate labes", "Messages for file types", "Messages"}) {
    if (EqualsIgnoreCase(section, list)) return true;
  }
  return false;
}

namespace {

bool HoldsTexts(const IniSection& section) {
  return IsTextList(section.name) || FormOf(section.name) == SectionForm::Keyed;
}

// Where a translation's entry for `entry` of `into` is: the same key (the first of it), the
// same message number, or the list entry at the same place.
const IniEntry* Counterpart(const IniEntry& entry, size_t index, SectionForm form,
                            const std::vector<IniEntry>& from) {
  if (form == SectionForm::List) return index < from.size() ? &from[index] : nullptr;
  for (const IniEntry& candidate : from) {
    if (form == SectionForm::Messages
            ? LeadingNumber(candidate.key) == LeadingNumber(entry.key) && !candidate.key.empty()
            : EqualsIgnoreCase(candidate.key, entry.key)) {
      return &candidate;
    }
  }
  return nullptr;
}

std::string Where(const IniSection& section, const IniEntry& entry) {
  return "[" + section.name + "] " + (entry.key.empty() ? "entry" : entry.key);
}

bool Loads(std::string_view bytes) {
  AppState state;
  return LoadSettingsFromBytes(state, 0, bytes);
}

CarryResult Refusal(CarryResult result, const char* key) {
  result.fault = ProgramTextSection().English(key);
  result.faultKey = key;
  return result;
}

// The program text `key` of `ini` with `path` in its "%1".
std::string FaultText(const IniFile& ini, const char* key, const std::string& path = "") {
  std::string text = ProgramText(ini, key);
  if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, path);
  return text;
}

}  // namespace

CarryResult CarryTexts(std::string_view from, std::string_view into) {
  CarryResult result;
  if (from.find('\0') != std::string_view::npos) return Refusal(result, "TextsBinary");
  if (!Loads(into)) return Refusal(result, "TextsOwnFile");
  const IniLayout source = IniLayout::Parse(from);
  IniLayout target = IniLayout::Parse(into);
  int offered = 0;
  for (const IniSection& section : target.sections()) {
    if (!HoldsTexts(section)) continue;
    const SectionForm form = FormOf(section.name);
    const IniSection* translated = source.Find(section.name, section.occurrence);
    if (!translated) continue;
    const std::vector<IniEntry> theirs = source.Entries(*translated);
    const std::vector<IniEntry> ours = target.Entries(section);
    if (form == SectionForm::List && theirs.size() != ours.size()) {
      result.notes.push_back("[" + section.name + "]: " + std::to_string(theirs.size()) +
                             " entries in the translation, " + std::to_string(ours.size()) +
                             " here; the first " +
                             std::to_string(std::min(theirs.size(), ours.size())) + " taken");
    }
    for (size_t i = 0; i < ours.size(); ++i) {
      const IniEntry& entry = ours[i];
      if (form == SectionForm::Keyed && !IsInterfaceText(section.name, entry.key)) continue;
      if (form == SectionForm::Messages && entry.key.empty()) continue;
      const IniEntry* text = Counterpart(entry, i, form, theirs);
      if (!text) continue;
      ++offered;
      if (TrimView(text->value).empty()) {
        result.notes.push_back(Where(section, entry) + ": empty in the translation, kept");
        continue;
      }
      if (text->value == entry.value) continue;
      target.SetValue(entry, text->value);
      ++result.carried;
    }
  }
  if (offered == 0) return Refusal(std::move(result), "TextsNone");
  result.bytes = target.ToBytes();
  if (!Loads(result.bytes)) {
    result.bytes.clear();
    return Refusal(std::move(result), "TextsWouldNotLoad");
  }
  result.ok = true;
  return result;
}

std::string EnglishTexts() {
  AppState fresh;
  return BuildIniFile(fresh);
}

bool TakeTexts(AppState& state, std::string_view translation, std::string& fault) {
  // Faults are said in the language the user reads now.
  if (!SaveSettings(state)) {
    fault = FaultText(IniFile::Load(state.IniFilePath), "TextsNotWritten", state.IniFilePath);
    return false;
  }
  std::ifstream in(state.IniFilePath, std::ios::binary);
  const std::string current{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const IniFile texts = IniFile::FromBytes(current);
  const CarryResult carried = CarryTexts(translation, current);
  if (!carried.ok) {
    fault = FaultText(texts, carried.faultKey);
    return false;
  }
  if (!ReplaceFileAtomically(state.IniFilePath, carried.bytes)) {
    fault = FaultText(texts, "TextsNotWritten", state.IniFilePath);
    return false;
  }
  for (RecordWindow window : {RecordWindow::Main, RecordWindow::Download, RecordWindow::Upload,
                              RecordWindow::Kof, RecordWindow::CoordForm, RecordWindow::CoordFormUL,
                              RecordWindow::Dxf, RecordWindow::Help}) {
    UnloadWindowTexts(state, window);
  }
  LoadSettings(state, 0);
  for (size_t tab = 0; tab < state.mainWindow.tabCaptions.size(); ++tab) {
    state.mainWindow.tabCaptions[tab] = state.Messages[tab + 1];
  }
  return true;
}

std::vector<std::string> TranslationFolders(const std::string& executableFolder) {
  if (executableFolder.empty()) return {};
  const std::filesystem::path exe(executableFolder);
  return {(exe / "translations").string(),
          (exe.parent_path() / "share" / "korvenia" / "translations").string()};
}

std::vector<Translation> TranslationsIn(const std::vector<std::string>& folders) {
  namespace fs = std::filesystem;
  std::vector<Translation> found;
  for (const std::string& folder : folders) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      const bool named = name.size() > 12 && name.compare(0, 9, "Korvenia.") == 0 &&
                         name.compare(name.size() - 4, 4, ".ini") == 0;
      if (!named || !it->is_regular_file(ec)) continue;
      std::string language =
          IniFile::Load(it->path().string()).Get(kInterfaceLanguageSection, "Language");
      if (language.empty()) language = name.substr(9, name.size() - 13);
      const bool known = std::any_of(found.begin(), found.end(), [&](const Translation& t) {
        return fs::path(t.path).filename() == it->path().filename();
      });
      if (!known) found.push_back({language, it->path().string()});
    }
  }
  std::sort(found.begin(), found.end(),
            [](const Translation& a, const Translation& b) { return a.language < b.language; });
  return found;
}

}  // namespace korv
