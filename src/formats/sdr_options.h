// The SDR-33 unit and correction choices: the eight option groups stored in the settings
// file's "[SDR33 Settings]" section, and the code characters the SDR writers put into the
// header records. The window's settings dialog and the command line both read them here.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace korv {

class IniFile;

constexpr std::string_view kSdrSection = "SDR33 Settings";

// The option groups in the order the settings file stores them.
enum SdrGroup {
  kSdrAngleUnits,              // Degrees, Gon, Mil
  kSdrDistanceUnits,           // Meters, US Feet, Intl. Feet
  kSdrPressureUnits,           // mmHg, InchHg, mbar
  kSdrTemperatureUnits,        // Celsius, Fahrenheit
  kSdrTemperatureAndPressure,  // On, Off
  kSdrCurvatureAndRefraction,  // On, Off
  kSdrRefractionConstant,      // 0.132, 0.200
  kSdrSeaLevel,                // On, Off
  kSdrGroupCount
};

struct SdrGroupInfo {
  std::string_view key;                   // settings key ("DistanseUnits" spelled so)
  int options;                            // number of option buttons (2 or 3)
  std::array<std::string_view, 3> codes;  // header code character of each option
};
const SdrGroupInfo& SdrGroupAt(int group);

// Selected option index of every group; kNoOption when none is selected.
constexpr int kNoOption = -1;
struct SdrSettings {
  std::array<int, kSdrGroupCount> selected{};
};

// The choices of a freshly created settings file: Gon, curvature and refraction off, the
// rest option 0.
SdrSettings DefaultSdrSettings();

// The dialog's load step: each key read in turn; a missing or empty value selects option 0,
// otherwise its leading number rounded (halves to even) selects that option, and a number
// that names no option of the group selects none. A store without any content stands for a
// settings file not yet created and gives DefaultSdrSettings().
SdrSettings ReadSdrSettings(const IniFile& ini);

// The dialog's OK step: each group's selected index written as "0", "1" or "2"; a group
// with nothing selected is not written.
void WriteSdrSettings(IniFile& ini, const SdrSettings& settings);

// Header code characters of the SDR writers; empty for a group with nothing selected,
// which leaves its column blank. Defaults: those of a freshly created settings file.
struct SdrOptions {
  std::string angleUnits = "2";
  std::string distanceUnits = "1";
  std::string pressureUnits = "1";
  std::string temperatureUnits = "1";
  std::string temperatureAndPressure = "2";
  std::string curvatureAndRefraction = "1";
  std::string refractionConstant = "1";
  std::string seaLevel = "2";
};

SdrOptions SdrOptionsFrom(const SdrSettings& settings);
// SdrOptionsFrom(ReadSdrSettings(ini)): what a conversion uses.
SdrOptions ReadSdrOptions(const IniFile& ini);

}  // namespace korv
