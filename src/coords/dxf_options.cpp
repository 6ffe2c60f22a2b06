// Loading, saving and reading the DXF writer's choices.
#include "coords/dxf_options.h"

#include <cmath>

#include "core/numbers.h"

namespace korv {

namespace {

struct RowKeys {
  const char* check;
  const char* layer;
  const char* size;
  const char* colour;
};

constexpr RowKeys kRowKeys[3] = {
    {"Dxf_Check_PointName", "Dxf_PointName_Layer", "Dxf_PointName_TS", "Dxf_ColorPointName"},
    {"Dxf_Check_Elevation", "Dxf_Elevation_Layer", "Dxf_Elevation_TS", "Dxf_ColorElevation"},
    {"Dxf_Check_Code", "Dxf_Code_Layer", "Dxf_Code_TS", "Dxf_ColorCode"},
};

}  // namespace

DxfOptions LoadDxfOptions(const IniFile& ini) {
  DxfOptions options;
  auto get = [&](const char* key) { return ini.Get(kDxfSettingsSection, key); };
  std::string value = get("Dxf_Point_Layer");
  if (!value.empty()) options.pointLayer = value;
  for (size_t i = 0; i < 3; ++i) {
    DxfTextRow& row = options.rows[i];
    value = get(kRowKeys[i].check);
    if (!value.empty()) row.write = LeadingNumber(value) >= 1;
    value = get(kRowKeys[i].layer);
    if (!value.empty()) row.layer = value;
    value = get(kRowKeys[i].size);
    if (!value.empty()) row.size = value;
    value = get(kRowKeys[i].colour);
    row.colour = value.empty() ? "0" : value;
  }
  value = get("Dxf_Option3D");
  if (!value.empty()) options.output2D = LeadingNumber(value) != 0;
  return options;
}

void StoreDxfOptions(IniFile& ini, const DxfOptions& options) {
  auto set = [&](const char* key, const std::string& value) {
    ini.Set(kDxfSettingsSection, key, value);
  };
  set("Dxf_Point_Layer", options.pointLayer);
  // Key order of a fresh settings file, for keys that are missing.
  for (size_t i = 0; i < 3; ++i) set(kRowKeys[i].check, options.rows[i].write ? "1" : "0");
  for (size_t i = 0; i < 3; ++i) set(kRowKeys[i].layer, options.rows[i].layer);
  for (size_t i = 0; i < 3; ++i) set(kRowKeys[i].size, options.rows[i].size);
  set("Dxf_Option3D", options.output2D ? "1" : "0");
  for (size_t i = 0; i < 3; ++i) set(kRowKeys[i].colour, options.rows[i].colour);
}

float DxfTextHeight(const std::string& size) { return ToSingle(LeadingNumber(size)); }

int DxfColourNumber(const std::string& colour) {
  double number = LeadingNumber(colour) + 1;
  if (number >= 1 && number <= 8 && std::floor(number) == number) return static_cast<int>(number);
  return 7;
}

}  // namespace korv
