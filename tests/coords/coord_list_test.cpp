// The coordinate list readers: the plane coordinates in NEZ order and the quick number reading,
// which agrees with LeadingNumber.
#include "coords/coord_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "core/numbers.h"
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

TEST(CoordinateValue, SameAsLeadingNumber) {
  for (const char* text : {"600.0",
                           "-50.5",
                           "+3",
                           ".5",
                           "5.",
                           "-0",
                           "",
                           "-",
                           ".",
                           "1.5m",
                           "abc",
                           " 12",
                           "1 2",
                           "1e3",
                           "0012.500",
                           "1..2",
                           "123456789012345678901",
                           "6543210.123",
                           "0.000000000000000000000001",
                           "12345678901234567",
                           "-0.0",
                           "1234567890.12345",
                           "999999999999999.9",
                           "9007199254740993",
                           "00000000000000000000000001.5",
                           "1.5.5"}) {
    double a = CoordinateValue(text), b = LeadingNumber(text);
    EXPECT_EQ(a, b) << text;
    EXPECT_EQ(std::signbit(a), std::signbit(b)) << text;
  }
  std::mt19937_64 random(7);
  std::uniform_int_distribution<long long> digits(0, 999999999999999999LL);
  std::uniform_int_distribution<int> decimals(0, 18);
  for (int i = 0; i < 100000; ++i) {
    std::string text = std::to_string(digits(random) >> (i % 40));
    int d = decimals(random);
    if (d < static_cast<int>(text.size())) text.insert(text.size() - static_cast<size_t>(d), ".");
    if (i % 2) text = "-" + text;
    ASSERT_EQ(CoordinateValue(text), LeadingNumber(text)) << text;
  }
}

}  // namespace
}  // namespace korv
