// Reading and writing "[DXF Settings]" and the colour and height rules.
#include "coords/dxf_options.h"

#include <gtest/gtest.h>

namespace korv {
namespace {

TEST(DxfOptions, MissingKeysKeepDefaultsAndColoursBecomeZero) {
  DxfOptions o = LoadDxfOptions(IniFile::FromBytes("[DXF Settings]\r\nDxf_ColorCode=\r\n"));
  EXPECT_EQ(o.pointLayer, "PT");
  EXPECT_FALSE(o.output2D);
  EXPECT_EQ(o.rows[DxfRow::kPointName].layer, "PN");
  EXPECT_EQ(o.rows[DxfRow::kElevation].layer, "EL");
  EXPECT_EQ(o.rows[DxfRow::kCode].layer, "CD");
  for (const DxfTextRow& row : o.rows) {
    EXPECT_TRUE(row.write);
    EXPECT_EQ(row.size, "1");
    EXPECT_EQ(row.colour, "0");
  }
}

TEST(DxfOptions, ReadsValuesAsTheDialogLoadsThem) {
  DxfOptions o = LoadDxfOptions(IniFile::FromBytes(
      "[DXF Settings]\nDxf_Point_Layer=Points\nDxf_Check_PointName=0\nDxf_Check_Elevation=2\n"
      "Dxf_Check_Code=0.5\nDxf_Elevation_Layer=Heights\nDxf_Code_TS=2.5\nDxf_Option3D=2\n"
      "Dxf_ColorPointName=9\nDxf_ColorElevation= 3\n"));
  EXPECT_EQ(o.pointLayer, "Points");
  EXPECT_FALSE(o.rows[DxfRow::kPointName].write);
  EXPECT_TRUE(o.rows[DxfRow::kElevation].write);
  EXPECT_FALSE(o.rows[DxfRow::kCode].write);  // reads as less than 1
  EXPECT_EQ(o.rows[DxfRow::kElevation].layer, "Heights");
  EXPECT_EQ(o.rows[DxfRow::kCode].size, "2.5");
  EXPECT_TRUE(o.output2D);
  EXPECT_EQ(o.rows[DxfRow::kPointName].colour, "9");  // kept as stored
  EXPECT_EQ(o.rows[DxfRow::kElevation].colour, "3");
}

TEST(DxfOptions, StoreWritesWhatOkWrites) {
  IniFile ini = IniFile::FromBytes("[DXF Settings]\nDxf_Option3D=2\nDxf_ColorCode=9\n");
  DxfOptions o = LoadDxfOptions(ini);
  o.rows[DxfRow::kCode].write = false;
  StoreDxfOptions(ini, o);
  EXPECT_EQ(ini.Get(kDxfSettingsSection, "Dxf_Option3D"), "1");
  EXPECT_EQ(ini.Get(kDxfSettingsSection, "Dxf_ColorCode"), "9");
  EXPECT_EQ(ini.Get(kDxfSettingsSection, "Dxf_Check_Code"), "0");
  EXPECT_EQ(ini.Get(kDxfSettingsSection, "Dxf_Check_PointName"), "1");
  EXPECT_EQ(ini.Get(kDxfSettingsSection, "Dxf_Point_Layer"), "PT");
  EXPECT_EQ(ini.Get(kDxfSettingsSection, "Dxf_Code_TS"), "1");
}

TEST(DxfOptions, ColourNumberIsIndexPlusOneOrSeven) {
  EXPECT_EQ(DxfColourNumber("0"), 1);
  EXPECT_EQ(DxfColourNumber(" 7"), 8);
  EXPECT_EQ(DxfColourNumber(""), 1);
  EXPECT_EQ(DxfColourNumber("abc"), 1);
  EXPECT_EQ(DxfColourNumber("8"), 7);
  EXPECT_EQ(DxfColourNumber("9"), 7);
  EXPECT_EQ(DxfColourNumber("-1"), 7);
  EXPECT_EQ(DxfColourNumber("-2"), 7);
  EXPECT_EQ(DxfColourNumber("99999"), 7);
}

TEST(DxfOptions, TextHeightIsA32BitReading) {
  EXPECT_EQ(DxfTextHeight("2.5"), 2.5f);
  EXPECT_EQ(DxfTextHeight("1.1"), 1.1f);
  EXPECT_EQ(DxfTextHeight("x"), 0.0f);
}

}  // namespace
}  // namespace korv
