// The station table: first coordinates win, exact name matching, numbering from 1.
#include "formats/raw_data.h"

#include <gtest/gtest.h>

namespace korv {
namespace {

TEST(StationTable, FirstCoordinatesOfANameWin) {
  StationTable t;
  EXPECT_EQ(t.FindStation("S1"), 0u);
  t.AddStation("S1", "100.000", "200.000", "10.000");
  t.AddStation("S2", "1", "2", "3");
  t.AddStation("S1", "999", "999", "999");
  ASSERT_EQ(t.count(), 2u);
  ASSERT_EQ(t.FindStation("S1"), 1u);
  EXPECT_EQ(t.At(1).first, "100.000");
  EXPECT_EQ(t.At(1).second, "200.000");
  EXPECT_EQ(t.At(1).elevation, "10.000");
  EXPECT_EQ(t.FindStation("S2"), 2u);
}

TEST(StationTable, NamesMatchExactly) {
  StationTable t;
  t.AddStation("Stn1", "1", "2", "3");
  EXPECT_EQ(t.FindStation("STN1"), 0u);
  EXPECT_EQ(t.FindStation("Stn1 "), 0u);
  EXPECT_EQ(t.FindStation(""), 0u);
  t.AddStation("", "4", "5", "6");
  EXPECT_EQ(t.FindStation(""), 2u);
}

TEST(RawData, CoordinateRecordTypes) {
  for (const char* type : {"UP", "MP", "CC", "RE"}) EXPECT_TRUE(IsCoordinateRecord(type)) << type;
  for (const char* type : {"up", "UC", "MC", "SS", "ST", "CO", "", "UPX"})
    EXPECT_FALSE(IsCoordinateRecord(type)) << type;
}

TEST(RawData, Swaps) {
  float a = 1.5f, b = -2.0f;
  SwapSingles(a, b);
  EXPECT_EQ(a, -2.0f);
  EXPECT_EQ(b, 1.5f);
  std::string x = "x", y = "a longer text than fits inline";
  SwapStrings(x, y);
  EXPECT_EQ(x, "a longer text than fits inline");
  EXPECT_EQ(y, "x");
}

}  // namespace
}  // namespace korv
