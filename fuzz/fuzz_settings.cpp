// Fuzz target: the settings-file key store and the settings load. Any bytes must survive a
// read and write unchanged; a key written reads back equal, in memory and from the written
// bytes, and leaves every other key as it was; and a file that loads must save and load again
// to the same settings.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/key_store.h"
#include "core/settings.h"
#include "core/text.h"
#include "fuzz_properties.h"

namespace korv::fuzz {
namespace {

// `text` as valid UTF-8 (other bytes become "?") without line ends and without `drop`.
std::string Sanitized(std::string_view text, std::string_view drop) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    size_t len = 1;
    while (len <= 4 && i + len <= text.size() && !IsValidUtf8(text.substr(i, len))) ++len;
    if (len > 4 || i + len > text.size()) {
      out += '?';
      ++i;
      continue;
    }
    std::string_view piece = text.substr(i, len);
    if (piece != "\r" && piece != "\n" && drop.find(piece) == std::string_view::npos) out += piece;
    i += len;
  }
  return out;
}

// The first `n` characters of UTF-8 text.
std::string FirstChars(std::string_view text, size_t n) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == n) {
      return std::string(text.substr(0, i));
    }
  }
  return std::string(text);
}

bool InWindows1252(std::string_view text) {
  return Windows1252ToUtf8(Utf8ToWindows1252(text)) == text;
}

// Sections and keys the file names (a few of each), as the store's reader would see them.
void Names(std::string_view bytes, std::vector<std::string>& sections,
           std::vector<std::string>& keys) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::string text = IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
  size_t start = 0;
  while (start < text.size() && (sections.size() < 6 || keys.size() < 6)) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = TrimView(std::string_view(text).substr(start, end - start));
    size_t close = line.find(']');
    if (line.substr(0, 1) == "[" && close != std::string_view::npos) {
      if (sections.size() < 6) sections.emplace_back(line.substr(1, close - 1));
    } else if (size_t eq = line.find('='); eq != std::string_view::npos && keys.size() < 6) {
      keys.emplace_back(line.substr(0, eq));
    }
    start = end + 1;
  }
}

struct Write {
  std::string section, key, value;
};

// A key write made of pieces of the file itself and of names the program uses.
Write PickWrite(FuzzedDataProvider& fdp, std::string_view bytes) {
  static const char* const kSections[] = {"Default",     " default ", "DXF Settings",
                                          "New section", "MainForm",  "[x"};
  static const char* const kKeys[] = {"JobPath", "caption", "Dxf_Option3D", "New key", "", "a b"};
  auto slice = [&]() {
    size_t from = fdp.ConsumeIntegralInRange<size_t>(0, bytes.size());
    size_t length = fdp.ConsumeIntegralInRange<size_t>(0, 300);
    return bytes.substr(from, length);
  };
  Write w;
  w.section = fdp.ConsumeBool() ? Sanitized(slice(), "]")
                                : kSections[fdp.ConsumeIntegralInRange<size_t>(0, 5)];
  w.key =
      fdp.ConsumeBool() ? Sanitized(slice(), "=") : kKeys[fdp.ConsumeIntegralInRange<size_t>(0, 5)];
  if (TrimView(w.key).substr(0, 1) == "[") w.key.insert(0, "k");  // not a section header
  // A value reads back trimmed and cut to 254 characters: write one that is so already.
  w.value = std::string(TrimView(FirstChars(TrimView(Sanitized(slice(), "")), 254)));
  return w;
}

void CheckKeyStore(FuzzedDataProvider& fdp, std::string_view bytes) {
  IniFile ini = IniFile::FromBytes(bytes);
  Check(ini.ToBytes() == bytes, "a settings file is written back byte for byte", bytes);

  std::vector<std::string> sections, keys;
  Names(bytes, sections, keys);
  const Write w = PickWrite(fdp, bytes);
  sections.push_back(w.section);
  keys.push_back(w.key);
  std::vector<std::string> before;
  for (const std::string& s : sections) {
    for (const std::string& k : keys) before.push_back(ini.Get(s, k));
  }

  ini.Set(w.section, w.key, w.value);
  Check(ini.Get(w.section, w.key) == w.value, "a written key reads back equal", w.value);
  size_t i = 0;
  for (const std::string& s : sections) {
    for (const std::string& k : keys) {
      const bool written = EqualsIgnoreCase(TrimView(s), TrimView(w.section)) &&
                           EqualsIgnoreCase(TrimView(k), TrimView(w.key));
      Check(written || ini.Get(s, k) == before[i], "writing a key leaves the others as they were",
            s + " / " + k);
      ++i;
    }
  }

  const IniFile reread = IniFile::FromBytes(ini.ToBytes());
  // Bytes that happen to form UTF-8 once the value is replaced are read as UTF-8: only a
  // file that keeps its encoding can hand back the same text.
  if (reread.encoding() == ini.encoding() &&
      (ini.encoding() == IniFile::Encoding::Utf8 ||
       (InWindows1252(w.value) && InWindows1252(w.key) && InWindows1252(w.section)))) {
    Check(reread.Get(w.section, w.key) == w.value, "a written key reads back from the file",
          w.value);
  }
}

void CheckList(const ListModel& list, const char* what) {
  Check(list.selected >= -1 && list.selected < list.Count(), "a list selects one of its entries",
        what);
}

// A folder of its own for the saved settings file, removed at exit.
const std::string& ScratchFolder() {
  // Never destroyed, so the exit handler can still use it.
  static const std::string* const folder = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/korvenia-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) Fail("a scratch folder can be made", pattern);
    std::atexit([] {
      std::remove((ScratchFolder() + kIniFileName).c_str());
      rmdir(ScratchFolder().c_str());
    });
    return new std::string(pattern + "/");
  }();
  return *folder;
}

AppState FreshState() {
  AppState state;
  state.ProgramFolder = ScratchFolder();
  state.ExecutableFolder = "/opt/korvenia/";
  state.IniFilePath = state.ProgramFolder + kIniFileName;
  return state;
}

void CheckLoadAndSave(int retry, std::string_view bytes) {
  AppState state = FreshState();
  if (!LoadSettingsFromBytes(state, retry, bytes)) return;
  const MainWindowModel& w = state.mainWindow;
  CheckList(w.comboDataFormat, "comboDataFormat");
  CheckList(w.comboDataFormatSend, "comboDataFormatSend");
  for (const ListModel& l : w.stCombComm) CheckList(l, "StCombComm");
  for (const ListModel& l : w.stCombCoord) CheckList(l, "StCombCoord");
  for (int count : {state.RawOptionCount, state.CoordOptionCount, state.RawFileOptionCount,
                    state.CoordFileOptionCount}) {
    Check(count >= 0 && count <= kMaxOptionEntries, "an option list holds at most 19 entries");
  }

  // What is saved at exit loads again to the same settings.
  Check(ReplaceFileAtomically(state.IniFilePath, bytes), "the scratch settings file is written");
  Check(SaveSettings(state), "the settings are saved");
  AppState again = FreshState();
  Check(LoadSettings(again, retry), "saved settings load again", bytes);
  for (const DefaultKey& k : kDefaultKeys) {
    const bool same =
        k.text ? state.*k.text == again.*k.text : state.*k.integer == again.*k.integer;
    Check(same, "a [Default] setting saved at exit loads again unchanged", k.key);
  }
  for (const ControlRecordDef& def : ControlCatalogue()) {
    // The texts a load applies: those of the main and help windows.
    const std::string& name = def.name;
    if (!again.controls.count(name)) continue;
    const ControlTexts& texts = state.controls.at(name);
    const ControlTexts& other = again.controls.at(name);
    Check(texts.caption == other.caption && texts.fontName == other.fontName &&
              texts.fontBold == other.fontBold && texts.fontItalic == other.fontItalic &&
              texts.toolTip == other.toolTip,
          "a window text saved at exit loads again unchanged", name);
    // Sizes are saved rounded: the font size to two decimals, the others to whole twips.
    Check(std::fabs(texts.fontSize - other.fontSize) <= 0.005 + 1e-9 * texts.fontSize &&
              std::fabs(texts.height - other.height) <= 0.5 &&
              std::fabs(texts.width - other.width) <= 0.5,
          "a window size saved at exit loads again as its rounded value", name);
  }
}

}  // namespace
}  // namespace korv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korv;
  using namespace korv::fuzz;
  FuzzedDataProvider fdp(data, size);
  const int retry = fdp.ConsumeIntegralInRange(0, 1);
  const bool load = fdp.ConsumeBool();
  // The key write takes its pieces from the end of the input; the file is the whole input.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckKeyStore(fdp, bytes);
  if (load) CheckLoadAndSave(retry, bytes);
  return 0;
}
