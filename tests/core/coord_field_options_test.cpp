// Loading and saving the coordinate field choices of both coordinate file layouts.
#include "core/coord_field_options.h"

#include <gtest/gtest.h>

namespace korv {
namespace {

IniFile Ini(const std::string& text) { return IniFile::FromBytes(text); }

TEST(CoordFieldOptions, EmptyFileGivesBuiltInDefaults) {
  CoordFieldOptions o = LoadCoordFieldOptions(IniFile());
  EXPECT_EQ(o.fields, (std::array<int, 5>{{0, 0, 0, 0, 0}}));
  EXPECT_EQ(o.separator, FieldSeparator::Comma);
  ASSERT_EQ(o.entries.size(), 8u);
  EXPECT_EQ(o.entries[0], "Point number");
  EXPECT_EQ(o.entries[7], "Ignore");

  CoordFieldOptions u = LoadCoordUpLoadFieldOptions(IniFile());
  ASSERT_EQ(u.entries.size(), 7u);
  EXPECT_EQ(u.entries[5], "Nothing");
  EXPECT_EQ(u.entries[6], "None");
}

TEST(CoordFieldOptions, ReadsStoredChoicesAndTexts) {
  IniFile ini =
      Ini("[Coordinate Settings]\r\nComboField1=Punkt\r\nComboField2=\r\nField1= 0\r\nField2= 5\r\n"
          "Field3= 2\r\nField4= 7\r\nField5= 4\r\nSeparator=1\r\n"
          "[Coordinate UpLoad Settings]\r\nComboField6=Ignore\r\nField1=6\r\nField2=7\r\n");
  CoordFieldOptions o = LoadCoordFieldOptions(ini);
  EXPECT_EQ(o.fields, (std::array<int, 5>{{0, 5, 2, 7, 4}}));
  EXPECT_EQ(o.separator, FieldSeparator::Space);
  EXPECT_EQ(o.entries[0], "Punkt");
  EXPECT_EQ(o.entries[1], "Northing");  // empty value: built-in text

  // The upload layout accepts 0..6 only and keeps its own texts.
  CoordFieldOptions u = LoadCoordUpLoadFieldOptions(ini);
  EXPECT_EQ(u.fields[0], 6);
  EXPECT_EQ(u.fields[1], 0);
  EXPECT_EQ(u.entries[5], "Ignore");
  EXPECT_EQ(u.separator, FieldSeparator::Comma);
}

TEST(CoordFieldOptions, ChoiceOutOfRangeOrNotWholeSelectsEntryZero) {
  IniFile ini =
      Ini("[Coordinate Settings]\nField1=9\nField2=-1\nField3=2.5\nField4=abc\nField5=3.0\n");
  EXPECT_EQ(LoadCoordFieldOptions(ini).fields, (std::array<int, 5>{{0, 0, 0, 0, 3}}));
}

TEST(CoordFieldOptions, SeparatorGreaterThanZeroMeansSpaceAndIsStoredBackAsOne) {
  IniFile ini = Ini("[Coordinate Settings]\nField3=9\nSeparator=2\n");
  CoordFieldOptions o = LoadCoordFieldOptions(ini);
  EXPECT_EQ(o.separator, FieldSeparator::Space);
  StoreCoordFieldOptions(ini, o);
  EXPECT_EQ(ini.Get(kCoordSettingsSection, "Separator"), "1");
  EXPECT_EQ(ini.Get(kCoordSettingsSection, "Field3"), "0");

  for (const char* text : {"0", "-1", "x", ""}) {
    IniFile other = Ini(std::string("[Coordinate Settings]\nSeparator=") + text + "\n");
    EXPECT_EQ(LoadCoordFieldOptions(other).separator, FieldSeparator::Comma) << text;
  }
}

TEST(CoordFieldOptions, StoreWritesPlainDigitsIntoItsOwnSection) {
  IniFile ini;
  CoordFieldOptions o;
  o.fields = {{4, 3, 2, 1, 0}};
  o.separator = FieldSeparator::Comma;
  StoreCoordUpLoadFieldOptions(ini, o);
  EXPECT_EQ(ini.Get(kCoordUpLoadSettingsSection, "Field1"), "4");
  EXPECT_EQ(ini.Get(kCoordUpLoadSettingsSection, "Field5"), "0");
  EXPECT_EQ(ini.Get(kCoordUpLoadSettingsSection, "Separator"), "0");
  EXPECT_EQ(ini.Get(kCoordSettingsSection, "Field1"), "");
  EXPECT_EQ(LoadCoordUpLoadFieldOptions(ini).fields, o.fields);
}

}  // namespace
}  // namespace korv
