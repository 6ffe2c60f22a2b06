// The SDR-33 unit and correction choices: settings-file load and store, header codes.
#include "formats/sdr_options.h"

#include <cmath>

#include "core/key_store.h"
#include "core/numbers.h"

namespace korv {

namespace {

const std::array<SdrGroupInfo, kSdrGroupCount> kGroups = {{
    {"AngleUnits", 3, {"1", "2", "4"}},
    {"DistanseUnits", 3, {"1", "2", "2"}},  // US and international feet share a code
    {"PressureUnits", 3, {"1", "2", "3"}},
    {"TemperatureUnits", 2, {"1", "2", ""}},
    {"TemperatureAndPressure", 2, {"2", "1", ""}},  // On, Off
    {"CurvatureAndRefraction", 2, {"2", "1", ""}},
    {"RefractionConstant", 2, {"1", "2", ""}},
    {"SeaLevel", 2, {"2", "1", ""}},
}};

std::string CodeOf(int group, int selected) {
  const SdrGroupInfo& info = kGroups[static_cast<size_t>(group)];
  if (selected < 0 || selected >= info.options) return std::string();
  return std::string(info.codes[static_cast<size_t>(selected)]);
}

}  // namespace

const SdrGroupInfo& SdrGroupAt(int group) { return kGroups[static_cast<size_t>(group)]; }

SdrSettings DefaultSdrSettings() {
  SdrSettings s;
  s.selected[kSdrAngleUnits] = 1;
  s.selected[kSdrCurvatureAndRefraction] = 1;
  return s;
}

SdrSettings ReadSdrSettings(const IniFile& ini) {
  if (ini.empty()) return DefaultSdrSettings();
  SdrSettings s;
  for (int g = 0; g < kSdrGroupCount; ++g) {
    const SdrGroupInfo& info = kGroups[static_cast<size_t>(g)];
    std::string text = ini.Get(kSdrSection, info.key);
    int selected = 0;
    if (!text.empty()) {
      double v = RoundHalfEven(LeadingNumber(text));
      selected = (v >= 0 && v < info.options) ? static_cast<int>(v) : kNoOption;
    }
    s.selected[static_cast<size_t>(g)] = selected;
  }
  return s;
}

void WriteSdrSettings(IniFile& ini, const SdrSettings& settings) {
  for (int g = 0; g < kSdrGroupCount; ++g) {
    const SdrGroupInfo& info = kGroups[static_cast<size_t>(g)];
    int selected = settings.selected[static_cast<size_t>(g)];
    if (selected < 0 || selected >= info.options) continue;
    ini.Set(kSdrSection, info.key, std::to_string(selected));
  }
}

SdrOptions SdrOptionsFrom(const SdrSettings& settings) {
  auto code = [&](SdrGroup g) { return CodeOf(g, settings.selected[g]); };
  SdrOptions o;
  o.angleUnits = code(kSdrAngleUnits);
  o.distanceUnits = code(kSdrDistanceUnits);
  o.pressureUnits = code(kSdrPressureUnits);
  o.temperatureUnits = code(kSdrTemperatureUnits);
  o.temperatureAndPressure = code(kSdrTemperatureAndPressure);
  o.curvatureAndRefraction = code(kSdrCurvatureAndRefraction);
  o.refractionConstant = code(kSdrRefractionConstant);
  o.seaLevel = code(kSdrSeaLevel);
  return o;
}

SdrOptions ReadSdrOptions(const IniFile& ini) { return SdrOptionsFrom(ReadSdrSettings(ini)); }

}  // namespace korv
