// Field choices of the two plain coordinate file layouts: the user-defined coordinate file
// ("[Coordinate Settings]") and the coordinate file to upload ("[Coordinate UpLoad Settings]").
// Loading follows the coordinate field dialogs' load step; saving writes what their OK writes.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/key_store.h"

namespace korv {

enum class FieldSeparator { Comma = 0, Space = 1 };

// The separator as the one character written or split at.
inline char SeparatorChar(FieldSeparator separator) {
  return separator == FieldSeparator::Space ? ' ' : ',';
}

inline constexpr const char* kCoordSettingsSection = "Coordinate Settings";
inline constexpr const char* kCoordUpLoadSettingsSection = "Coordinate UpLoad Settings";

// Meaning of an entry index in the user-defined coordinate file (0..7).
namespace CoordField {
constexpr int kPointNumber = 0;
constexpr int kNorthing = 1;
constexpr int kEasting = 2;
constexpr int kElevation = 3;
constexpr int kCode = 4;
// 5 "Nothing", 6 "None", 7 "Ignore": an empty value (in the upload layout 5 and 6 mean
// "column not used").
}  // namespace CoordField

struct CoordFieldOptions {
  // Chosen entry index of each of the five positions (0..7, upload 0..6).
  std::array<int, 5> fields{{0, 1, 2, 3, 4}};
  FieldSeparator separator = FieldSeparator::Comma;
  // The list entry texts, index = choice: eight for the coordinate file, seven for upload.
  std::vector<std::string> entries;
};

// Built-in entry texts, used for a missing or empty "ComboFieldN" key.
const std::vector<std::string>& BuiltInCoordFieldEntries();        // 8 texts
const std::vector<std::string>& BuiltInCoordUpLoadFieldEntries();  // 7 texts

// Reads "[Coordinate Settings]": entry texts (built-in text for a missing or empty key);
// each "FieldN" selects its entry when it reads as a whole number 0..7, otherwise entry 0;
// "Separator" reading as a number greater than 0 means space, anything else comma.
CoordFieldOptions LoadCoordFieldOptions(const IniFile& ini);
// The same for "[Coordinate UpLoad Settings]" with seven entries and choices 0..6.
CoordFieldOptions LoadCoordUpLoadFieldOptions(const IniFile& ini);

// Writes "Field1".."Field5" as plain digits and "Separator" as "0" (comma) or "1" (space)
// into the section, in memory; IniFile::Save makes it permanent. Entry texts are not written.
void StoreCoordFieldOptions(IniFile& ini, const CoordFieldOptions& options);
void StoreCoordUpLoadFieldOptions(IniFile& ini, const CoordFieldOptions& options);

}  // namespace korv
