// The DXF writer's choices as the DXF settings dialog holds them ("[DXF Settings]"): point
// layer, the three text rows (point name, elevation, code) and 2D or 3D output.
#pragma once

#include <array>
#include <string>

#include "core/key_store.h"

namespace korv {

inline constexpr const char* kDxfSettingsSection = "DXF Settings";

// Rows of the text options.
namespace DxfRow {
constexpr size_t kPointName = 0;
constexpr size_t kElevation = 1;
constexpr size_t kCode = 2;
}  // namespace DxfRow

struct DxfTextRow {
  bool write = true;         // write this text beside each point
  std::string layer;         // layer of the TEXT entity
  std::string size = "1";    // text height as the text box holds it
  std::string colour = "0";  // palette index 0..7 as text (the Select Color button's tag)
};

struct DxfOptions {
  std::string pointLayer = "PT";
  std::array<DxfTextRow, 3> rows{
      {{true, "PN", "1", "0"}, {true, "EL", "1", "0"}, {true, "CD", "1", "0"}}};
  bool output2D = false;  // true: no elevation (group 30) on points and texts
};

// Reads "[DXF Settings]" as the dialog loads it: a key that reads empty leaves the default,
// except the colours, which become "0"; check boxes are on when the value reads as 1 or more;
// 2D when "Dxf_Option3D" reads as anything but 0.
DxfOptions LoadDxfOptions(const IniFile& ini);

// Writes every key of "[DXF Settings]" as the dialog's OK does (check boxes "1"/"0",
// "Dxf_Option3D" "0" for 3D and "1" for 2D, texts and colours unchanged), in memory.
void StoreDxfOptions(IniFile& ini, const DxfOptions& options);

// The text height a row's size text gives (a 32-bit value).
float DxfTextHeight(const std::string& size);

// The DXF colour number of a palette index text: index + 1, and 7 when that is not a whole
// number from 1 to 8 (an empty or non-numeric index reads as 0 and gives 1).
int DxfColourNumber(const std::string& colour);

}  // namespace korv
