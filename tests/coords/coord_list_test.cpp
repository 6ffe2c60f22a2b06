// The coordinate list reader: the plane coordinates in NEZ order.
#include "coords/coord_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/text.h"

namespace korv {
namespace {

TEST(SplitCoordinateLine, EnzOrderExchangesThePlaneCoordinates) {
  FieldViews f;
  ASSERT_EQ(SplitCoordinateLine("P4,300.0,600.0,12.5,WALL", f, CoordOrder::kENZ), 5);
  EXPECT_EQ(f[CoordListField::kNorthing], "600.0");
  EXPECT_EQ(f[CoordListField::kEasting], "300.0");
  ASSERT_EQ(SplitCoordinateLine("P4,600.0,300.0", f, CoordOrder::kNEZ), 3);
  EXPECT_EQ(f[CoordListField::kNorthing], "600.0");
  EXPECT_EQ(f[CoordListField::kElevation], "");
}

// The first pass of the drawing finds the plane coordinates without splitting the whole line;
// it must take the same lines and fields as the splitter, on lines of every shape.
TEST(PlaneCoordinateFields, SameAsSplitCoordinateLine) {
  std::mt19937 rng(3);
  const char pieces[] = {',', ',', ',', ' ', ' ', '1', '.', 'P', '\t'};
  for (int i = 0; i < 100000; ++i) {
    std::string line;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) line += pieces[rng() % sizeof pieces];
    for (int order : {CoordOrder::kNEZ, CoordOrder::kENZ}) {
      FieldViews f;
      std::string_view northing, easting;
      const bool four = SplitCoordinateLine(line, f, order) >= 4;
      ASSERT_EQ(PlaneCoordinateFields(line, order, northing, easting), four) << line;
      if (!four) continue;
      ASSERT_EQ(northing, f[CoordListField::kNorthing]) << line;
      ASSERT_EQ(easting, f[CoordListField::kEasting]) << line;
    }
  }
}

}  // namespace
}  // namespace korv
