// Reading, writing and saving one control record, and the texts each window currently shows.
#include <cctype>
#include <cmath>
#include <string>

#include "core/numbers.h"
#include "core/settings.h"
#include "core/text.h"

namespace korv {

namespace {

// Which property lines a record of a kind holds, in the file's order.
struct KindLines {
  bool caption = false;  // "Caption"
  bool text = false;     // "Text" instead of Caption
  bool height = true;
  bool toolTip = true;
};

KindLines LinesOf(ControlRecordKind kind) {
  KindLines l;
  switch (kind) {
    case ControlRecordKind::Value:
      break;
    case ControlRecordKind::Captioned:
      l.caption = true;
      break;
    case ControlRecordKind::Combo:
      l.height = false;
      break;
    case ControlRecordKind::Window:
      l.caption = true;
      l.toolTip = false;
      break;
    case ControlRecordKind::TextBox:
      l.text = true;
      break;
  }
  return l;
}

// A whole number as decimal text, after rounding halves to even.
std::string WholeNumber(double value) {
  double r = RoundHalfEven(value);
  if (!std::isfinite(r) || std::fabs(r) > 9e15) return "0";
  return std::to_string(static_cast<long long>(r));
}

const char* TruthWord(bool value) { return value ? "True" : "False"; }

// True when `text` is a plain decimal number: sign, digits, optional point and decimals,
// optional exponent, nothing else.
bool IsPlainNumber(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == text.size();
}

}  // namespace

bool LoadableFontSize(double points) {
  return std::isfinite(points) && points > 0 && points <= kMaxFontSize;
}
bool LoadableTwips(double twips) {
  return std::isfinite(twips) && twips >= 0 && twips <= kMaxTwips;
}

bool ParseTruthValue(std::string_view text, bool& value) {
  std::string_view t = TrimView(text);
  if (EqualsIgnoreCase(t, "True")) {
    value = true;
    return true;
  }
  if (EqualsIgnoreCase(t, "False")) {
    value = false;
    return true;
  }
  if (!IsPlainNumber(t)) return false;
  value = LeadingNumber(t) != 0;
  return true;
}

bool ApplyControlRecord(const IniFile& ini, const std::string& name, ControlRecordKind kind,
                        ControlTexts& texts, AppState& state) {
  state.ActionWord.clear();
  KindLines lines = LinesOf(kind);
  if (lines.caption || lines.text) {
    std::string v = ini.Get(name, lines.caption ? "Caption" : "Text");
    if (v.empty()) {
      state.SettingsReadOK = false;
    } else {
      texts.caption = v;
    }
  }
  if (std::string v = ini.Get(name, "FontName"); !v.empty()) texts.fontName = v;
  if (std::string v = ini.Get(name, "FontBold"); !v.empty()) {
    if (!ParseTruthValue(v, texts.fontBold)) return false;
  }
  if (std::string v = ini.Get(name, "FontItalic"); !v.empty()) {
    if (!ParseTruthValue(v, texts.fontItalic)) return false;
  }
  if (std::string v = ini.Get(name, "FontSize"); !v.empty()) {
    double size = LeadingNumber(v);
    if (!LoadableFontSize(size)) return false;
    texts.fontSize = size;
  }
  if (lines.height) {
    if (std::string v = ini.Get(name, "Height"); !v.empty()) {
      double h = LeadingNumber(v);
      if (!LoadableTwips(h)) return false;
      texts.height = h;
    }
  }
  if (std::string v = ini.Get(name, "Width"); !v.empty()) {
    double w = LeadingNumber(v);
    if (!LoadableTwips(w)) return false;
    texts.width = w;
  }
  if (lines.toolTip) {
    if (std::string v = ini.Get(name, "ToolTipText"); !v.empty()) texts.toolTip = v;
  }
  return true;
}

void WriteControlRecord(std::string& out, const std::string& name, ControlRecordKind kind,
                        const ControlTexts& texts) {
  KindLines lines = LinesOf(kind);
  auto line = [&out](const std::string& key, const std::string& value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
  };
  out += "[" + name + "]\r\n";
  if (lines.caption) line("Caption", texts.caption);
  if (lines.text) line("Text", texts.caption);
  line("FontName", texts.fontName);
  line("FontBold", TruthWord(texts.fontBold));
  line("FontItalic", TruthWord(texts.fontItalic));
  line("FontSize", PrintedNumber(texts.fontSize));
  if (lines.height) line("Height", PrintedNumber(texts.height));
  line("Width", WholeNumber(texts.width));
  if (lines.toolTip) line("ToolTipText", texts.toolTip);
  out += "\r\n";
}

void SaveControlRecord(IniFile& ini, const std::string& name, ControlRecordKind kind,
                       const ControlTexts& texts) {
  KindLines lines = LinesOf(kind);
  if (lines.caption) ini.Set(name, "Caption", texts.caption);
  if (lines.text) ini.Set(name, "Text", texts.caption);
  ini.Set(name, "FontName", texts.fontName);
  ini.Set(name, "FontBold", TruthWord(texts.fontBold));
  ini.Set(name, "FontItalic", TruthWord(texts.fontItalic));
  ini.Set(name, "FontSize", FormatPicture(texts.fontSize, "0.00") + "    ");
  if (lines.height) ini.Set(name, "Height", WholeNumber(texts.height));
  ini.Set(name, "Width", WholeNumber(texts.width));
  if (lines.toolTip) ini.Set(name, "ToolTipText", texts.toolTip);
}

bool SaveControlRecord(const std::string& path, const std::string& name, ControlRecordKind kind,
                       const ControlTexts& texts) {
  IniFile ini = IniFile::Load(path);
  SaveControlRecord(ini, name, kind, texts);
  return ini.Save(path);
}

ControlTexts& TextsOf(AppState& state, const std::string& name) {
  auto it = state.controls.find(name);
  if (it != state.controls.end()) return it->second;
  ControlTexts design;
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.name == name) {
      design = def.design;
      break;
    }
  }
  return state.controls.emplace(name, design).first->second;
}

void UnloadWindowTexts(AppState& state, RecordWindow window) {
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.window == window) state.controls.erase(def.name);
  }
}

bool ApplyWindowRecords(const IniFile& ini, RecordWindow window, AppState& state) {
  if (state.CreatingIniFile && window != RecordWindow::Help) return true;
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.window != window) continue;
    if (!ApplyControlRecord(ini, def.name, def.kind, TextsOf(state, def.name), state)) {
      return false;
    }
  }
  return true;
}

}  // namespace korv
