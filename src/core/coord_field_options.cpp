// Loading and saving the field choices of the two plain coordinate file layouts.
#include "core/coord_field_options.h"

#include <cmath>

#include "core/numbers.h"

namespace korv {

const std::vector<std::string>& BuiltInCoordFieldEntries() {
  static const std::vector<std::string> entries = {
      "Point number", "Northing", "Easting", "Elevation", "Code", "Nothing", "None", "Ignore"};
  return entries;
}

const std::vector<std::string>& BuiltInCoordUpLoadFieldEntries() {
  static const std::vector<std::string> entries = {
      "Point number", "Northing", "Easting", "Elevation", "Code", "Nothing", "None"};
  return entries;
}

namespace {

CoordFieldOptions Load(const IniFile& ini, const char* section,
                       const std::vector<std::string>& builtIn) {
  CoordFieldOptions options;
  options.entries = builtIn;
  for (size_t i = 0; i < builtIn.size(); ++i) {
    std::string text = ini.Get(section, "ComboField" + std::to_string(i + 1));
    if (!text.empty()) options.entries[i] = text;
  }
  const double last = static_cast<double>(builtIn.size() - 1);
  for (size_t i = 0; i < options.fields.size(); ++i) {
    // A choice that is not a whole number in the list's range selects entry 0.
    double v = LeadingNumber(ini.Get(section, "Field" + std::to_string(i + 1)));
    options.fields[i] = (v >= 0 && v <= last && std::floor(v) == v) ? static_cast<int>(v) : 0;
  }
  options.separator = LeadingNumber(ini.Get(section, "Separator")) > 0 ? FieldSeparator::Space
                                                                       : FieldSeparator::Comma;
  return options;
}

void Store(IniFile& ini, const char* section, const CoordFieldOptions& options) {
  for (size_t i = 0; i < options.fields.size(); ++i) {
    ini.Set(section, "Field" + std::to_string(i + 1), std::to_string(options.fields[i]));
  }
  ini.Set(section, "Separator", options.separator == FieldSeparator::Space ? "1" : "0");
}

}  // namespace

CoordFieldOptions LoadCoordFieldOptions(const IniFile& ini) {
  return Load(ini, kCoordSettingsSection, BuiltInCoordFieldEntries());
}

CoordFieldOptions LoadCoordUpLoadFieldOptions(const IniFile& ini) {
  return Load(ini, kCoordUpLoadSettingsSection, BuiltInCoordUpLoadFieldEntries());
}

void StoreCoordFieldOptions(IniFile& ini, const CoordFieldOptions& options) {
  Store(ini, kCoordSettingsSection, options);
}

void StoreCoordUpLoadFieldOptions(IniFile& ini, const CoordFieldOptions& options) {
  Store(ini, kCoordUpLoadSettingsSection, options);
}

}  // namespace korv
