// SDR settings: reading "[SDR33 Settings]" as the settings dialog loads it, and the header
// codes each choice gives.
#include "formats/sdr_options.h"

#include <gtest/gtest.h>

#include "core/key_store.h"

namespace korv {
namespace {

std::string Codes(const SdrOptions& o) {
  return o.angleUnits + "|" + o.distanceUnits + "|" + o.pressureUnits + "|" + o.temperatureUnits +
         "|" + o.temperatureAndPressure + "|" + o.curvatureAndRefraction + "|" +
         o.refractionConstant + "|" + o.seaLevel;
}

TEST(SdrOptions, FreshSettingsFileAndNoFileGiveTheSameCodes) {
  IniFile fresh = IniFile::FromBytes(
      "[SDR33 Settings]\r\nAngleUnits = 1\r\nDistanseUnits = 0\r\nPressureUnits = 0\r\n"
      "TemperatureUnits = 0\r\nTemperatureAndPressure = 0\r\nCurvatureAndRefraction = 1\r\n"
      "RefractionConstant = 0\r\nSeaLevel = 0\r\n");
  // Gon, Meters, mmHg, Celsius, T&P on, C&R off, 0.132, sea level on.
  EXPECT_EQ(Codes(ReadSdrOptions(fresh)), "2|1|1|1|2|1|1|2");
  EXPECT_EQ(Codes(ReadSdrOptions(IniFile())), "2|1|1|1|2|1|1|2");
  EXPECT_EQ(Codes(SdrOptions()), "2|1|1|1|2|1|1|2");
}

TEST(SdrOptions, MissingKeysSelectTheFirstOption) {
  IniFile ini =
      IniFile::FromBytes("[Default]\r\nPortIndex=0\r\n[SDR33 Settings]\r\nSeaLevel=1\r\n");
  EXPECT_EQ(Codes(ReadSdrOptions(ini)), "1|1|1|1|2|2|1|1");
  IniFile empty = IniFile::FromBytes("[SDR33 Settings]\r\nAngleUnits=\r\n");
  EXPECT_EQ(ReadSdrOptions(empty).angleUnits, "1");
}

TEST(SdrOptions, EveryChoiceGivesItsCode) {
  IniFile ini = IniFile::FromBytes(
      "[sdr33 settings]\r\nAngleUnits=2\r\nDistanseUnits=2\r\nPressureUnits=2\r\n"
      "TemperatureUnits=1\r\nTemperatureAndPressure=1\r\nCurvatureAndRefraction=0\r\n"
      "RefractionConstant=1\r\nSeaLevel=1\r\n");
  // Mil, Intl. Feet (same code as US Feet), mbar, Fahrenheit, off, on, 0.200, off.
  EXPECT_EQ(Codes(ReadSdrOptions(ini)), "4|2|3|2|1|2|2|1");
  IniFile us = IniFile::FromBytes("[SDR33 Settings]\r\nDistanseUnits=1\r\n");
  EXPECT_EQ(ReadSdrOptions(us).distanceUnits, "2");
}

TEST(SdrOptions, StoredTextIsReadByItsLeadingNumberRoundedHalfEven) {
  IniFile ini = IniFile::FromBytes(
      "[SDR33 Settings]\r\nAngleUnits=1.5\r\nDistanseUnits=0.5\r\nPressureUnits=2abc\r\n"
      "TemperatureUnits=abc\r\n");
  SdrSettings s = ReadSdrSettings(ini);
  EXPECT_EQ(s.selected[kSdrAngleUnits], 2);
  EXPECT_EQ(s.selected[kSdrDistanceUnits], 0);
  EXPECT_EQ(s.selected[kSdrPressureUnits], 2);
  EXPECT_EQ(s.selected[kSdrTemperatureUnits], 0);
}

TEST(SdrOptions, AnIndexOutsideTheGroupSelectsNothingAndLeavesTheColumnBlank) {
  IniFile ini = IniFile::FromBytes(
      "[SDR33 Settings]\r\nAngleUnits=3\r\nTemperatureUnits=2\r\nSeaLevel=-1\r\n");
  SdrSettings s = ReadSdrSettings(ini);
  EXPECT_EQ(s.selected[kSdrAngleUnits], kNoOption);
  SdrOptions o = SdrOptionsFrom(s);
  EXPECT_EQ(o.angleUnits, "");
  EXPECT_EQ(o.temperatureUnits, "");
  EXPECT_EQ(o.seaLevel, "");
  EXPECT_EQ(o.distanceUnits, "1");
}

TEST(SdrOptions, StoreAndLoadAgain) {
  IniFile ini = IniFile::FromBytes("[SDR33 Settings]\r\nAngleUnits = 1\r\n");
  SdrSettings s = DefaultSdrSettings();
  s.selected[kSdrAngleUnits] = 2;
  s.selected[kSdrDistanceUnits] = 2;
  s.selected[kSdrSeaLevel] = kNoOption;  // nothing selected: key left alone
  WriteSdrSettings(ini, s);
  EXPECT_EQ(ini.Get("SDR33 Settings", "AngleUnits"), "2");
  EXPECT_EQ(ini.Get("SDR33 Settings", "DistanseUnits"), "2");
  EXPECT_EQ(ini.Get("SDR33 Settings", "SeaLevel"), "");
  SdrSettings back = ReadSdrSettings(ini);
  EXPECT_EQ(back.selected[kSdrAngleUnits], 2);
  EXPECT_EQ(back.selected[kSdrCurvatureAndRefraction], 1);
}

}  // namespace
}  // namespace korv
