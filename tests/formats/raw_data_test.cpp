// The station table: first coordinates win, exact name matching, numbering from 1.
#include "formats/raw_data.h"

#include <gtest/gtest.h>

#include <string>

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

// Stations added between look-ups: new names are found, and a name known before a look-up
// keeps its first coordinates.
TEST(StationTable, AddsBetweenLookUps) {
  StationTable t;
  t.AddStation("S1", "1", "1", "1");
  EXPECT_EQ(t.FindStation("S1"), 1u);
  EXPECT_EQ(t.FindStation("S2"), 0u);
  t.AddStation("S2", "2", "2", "2");
  t.AddStation("S1", "9", "9", "9");
  EXPECT_EQ(t.FindStation("S2"), 2u);
  EXPECT_EQ(t.FindStation("S1"), 1u);
  EXPECT_EQ(t.At(1).first, "1");
  t.AddStation("S3", "3", "3", "3");
  EXPECT_EQ(t.count(), 3u);
  EXPECT_EQ(t.At(3).elevation, "3");
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

// A day's worth of points: the index grows many times over, and names that differ in one
// character, or share a prefix, stay apart.
TEST(StationTable, ManyNamesThroughGrowth) {
  StationTable t;
  constexpr int kPoints = 20000;
  for (int i = 1; i <= kPoints; ++i) t.AddStation(std::to_string(i), std::to_string(i), "0", "0");
  for (int i = 1; i <= kPoints; i += 7) t.AddStation(std::to_string(i), "again", "0", "0");
  ASSERT_EQ(t.count(), static_cast<size_t>(kPoints));
  for (int i = 1; i <= kPoints; ++i) {
    const size_t index = t.FindStation(std::to_string(i));
    ASSERT_EQ(index, static_cast<size_t>(i));
    EXPECT_EQ(t.At(index).first, std::to_string(i));
  }
  EXPECT_EQ(t.FindStation("0"), 0u);
  EXPECT_EQ(t.FindStation(std::to_string(kPoints + 1)), 0u);
  t.Clear();
  EXPECT_EQ(t.FindStation("1"), 0u);
  t.AddStation("1", "a", "b", "c");
  EXPECT_EQ(t.FindStation("1"), 1u);
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
