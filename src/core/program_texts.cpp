#include "core/program_texts.h"

namespace korv {

namespace {

// In the order of the file.
constexpr TextRow kProgramTexts[] = {
    // The main window.
    {"SerialDevice", "Serial device"},
    {"SerialDeviceLabel", "Serial device:"},
    {"SerialDeviceTip",
     "Serial device of this port: pick one of the devices present or type its path"},
    {"Editor", "Editor"},
    {"SaveSetup", "Save setup"},
    {"SettingsNotSaved", "The settings could not be saved in %1"},
    {"SettingsNotWritten", "The settings file could not be written: %1"},
    {"DeviceNotStored", "The serial device could not be stored in %1"},
    {"CannotOpen", "Cannot open %1"},
    {"EditorNotFound", "File not found: %1"},
    {"Tagline", "Survey data transfer and conversion"},
    {"AlreadyRunning",
     "Korvenia is already running with the settings in %1. A second window would share its "
     "scratch file and overwrite the data the first one receives."},
    // The transfer windows.
    {"NoParity", "None"},
    {"Bytes", "Bytes:   %1"},
    {"UploadProgress", "Upload progress"},
    {"DrawingOverwrite",
     "A drawing cannot be appended to: it is always written new. Overwrite it?"},
    {"NotConverted", "The received data was not converted. It is saved as received in %1."},
    {"NotKept",
     "The received data was not converted and could not be saved beside %1 (%2). It is in %3 "
     "until the next transfer or Exit."},
    {"CopyNotKept",
     "The copy in the original data format could not be saved beside %1 (%2). The received "
     "data is in %3 until the next transfer or Exit."},
    {"NamesTaken", "every name from %1 to %2 is taken"},
    {"NoConversion", "Nothing was converted: \"%1\" has no conversion for this data."},
    {"GisNotWritten", "The settings could not be written to %1."},
    {"CrsMatches", "Matching coordinate reference systems"},
    // The settings dialogs.
    {"OK", "OK"},
    {"Cancel", "Cancel"},
    {"LargerTextSize", "Larger text size"},
    {"SmallerTextSize", "Smaller text size"},
    {"Red", "Red"},
    {"Yellow", "Yellow"},
    {"Green", "Green"},
    {"Cyan", "Cyan"},
    {"Blue", "Blue"},
    {"Magenta", "Magenta"},
    {"White", "White"},
    {"Grey", "Grey"},
    {"ChosenColour", "%1: %2"},
    {"SdrTitle", "SDR conversion settings"},
    {"SdrUnits", "UNITS:"},
    {"SdrCorrections", "CORRECTIONS:"},
    {"SdrAngle", "Angle units"},
    {"SdrDegrees", "Degrees"},
    {"SdrGon", "Gon"},
    {"SdrMil", "Mil"},
    {"SdrDistance", "Distance units"},
    {"SdrMeters", "Meters"},
    {"SdrUsFeet", "US Feet"},
    {"SdrIntlFeet", "Intl. Feet"},
    {"SdrPressure", "Pressure units"},
    {"SdrMmHg", "mmHg"},
    {"SdrInchHg", "InchHg"},
    {"SdrMbar", "mbar"},
    {"SdrTemperature", "Temperature units"},
    {"SdrCelsius", "Celsius"},
    {"SdrFahrenheit", "Fahrenheit"},
    {"SdrTP", "Temperature and Pressure"},
    {"SdrCR", "Curvature and Refraction"},
    {"SdrRefraction", "Refraction constant"},
    {"SdrSeaLevel", "Sea level"},
    {"SdrOn", "On"},
    {"SdrOff", "Off"},
    {"SdrOption", "%1: %2"},
    // Setup mode.
    {"SetupTitle", "Special setup"},
    {"SetupCaption", "Caption:"},
    {"SetupToolTip", "ToolTipText"},
    {"SetupFontName", "Font name"},
    {"SetupFontSize", "Font size"},
    {"SetupBold", "FontBold"},
    {"SetupItalic", "FontItalic"},
    {"ChooseFont", "Choose font"},
    {"SetupMode", "The program is in setup mode."},
    {"SetupPress", "Press %1 button"},
    {"SetupOr", "%1 or %2"},
    {"SetupModeTitle", "Setup"},
    // Why the texts of a translation could not be taken ("[Interface Language]" Failed's %2).
    {"TextsUnreadable", "the file cannot be read"},
    {"TextsBinary", "it is not a settings file (it holds binary data)"},
    {"TextsNone", "it holds no interface texts"},
    {"TextsOwnFile", "the settings file does not load as it stands"},
    {"TextsWouldNotLoad", "the settings file would not load with its texts"},
    {"TextsNotWritten", "the settings file %1 cannot be written"},
};

}  // namespace

std::string ProgramText(const IniFile& ini, std::string_view key) {
  return SectionText(ini, ProgramTextSection(), key);
}

const TextSection& ProgramTextSection() {
  static constexpr TextSection section{kProgramTextsSection, kProgramTexts};
  return section;
}

}  // namespace korv
