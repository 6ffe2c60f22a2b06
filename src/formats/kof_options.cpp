// Reads the KOF writers' settings from "[KOF Settings]".
#include "formats/kof_options.h"

#include <cctype>
#include <cstdio>

#include "core/numbers.h"
#include "core/text.h"

namespace korv {

namespace {
constexpr const char* kSection = "KOF Settings";

// A check box takes the integer value of the stored text; it is ticked when that is 1.
bool Ticked(const std::string& text) { return RoundHalfEven(LeadingNumber(text)) == 1.0; }
}  // namespace

std::string KofDateText(const std::tm& now) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", now.tm_mday % 100, (now.tm_mon + 1) % 100,
                (now.tm_year + 1900) % 100);
  return buf;
}

std::string KofProjectText(const std::string& outputPath) {
  std::string name = FileNameOnly(outputPath);  // trims and drops the folder ("/" or "\")
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string KofPointFilePath(const std::string& settingsFolder, const std::string& stored) {
  if (stored.empty()) return "";
  const char first = stored[0];
  const bool fromRoot = first == '/' || first == '\\';
  const bool withDrive = stored.size() >= 3 && std::isalpha(static_cast<unsigned char>(first)) &&
                         stored[1] == ':' && (stored[2] == '/' || stored[2] == '\\');
  return fromRoot || withDrive ? stored : settingsFolder + stored;
}

KofOptions ReadKofOptions(const IniFile& ini, const std::string& settingsFolder,
                          const std::string& outputPath, const std::tm& now) {
  KofOptions o;
  // The text boxes keep their (empty) design texts when a key reads as nothing.
  o.road = ini.Get(kSection, "Road");
  o.city = ini.Get(kSection, "City");
  o.surveyor = ini.Get(kSection, "Surveyor");
  o.usePointNumberConversion = Ticked(ini.Get(kSection, "UsePointNumberConversion"));
  o.useCodeConversion = Ticked(ini.Get(kSection, "UseCodeConversion"));
  o.pointFile = KofPointFilePath(settingsFolder, ini.Get(kSection, "KofpointFile"));
  o.date = KofDateText(now);
  if (!outputPath.empty()) o.project = KofProjectText(outputPath);
  return o;
}

}  // namespace korv
