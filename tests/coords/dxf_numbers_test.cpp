// The quick number paths of the coordinate writers give exactly what the shared number
// procedures give.
#include "coords/dxf_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "coords/coord_list.h"
#include "core/numbers.h"

namespace korv {
namespace {

std::string Fixed4(double v) {
  std::string s;
  AppendFixed4(s, v);
  return s;
}
std::string Fixed4(float v) {
  std::string s;
  AppendFixed4(s, v);
  return s;
}

TEST(AppendFixed4, KnownValues) {
  EXPECT_EQ(Fixed4(100.5), "100.5000");
  EXPECT_EQ(Fixed4(-50.0), "-50.0000");
  EXPECT_EQ(Fixed4(0.0), "0.0000");
  EXPECT_EQ(Fixed4(0.00005), "0.0001");
  EXPECT_EQ(Fixed4(0.00004999), "0.0000");
  EXPECT_EQ(Fixed4(9.99995), "10.0000");
  EXPECT_EQ(Fixed4(-12.34565), "-12.3457");
  EXPECT_EQ(Fixed4(200.0 - static_cast<double>(1.7f)), "198.3000");
  EXPECT_EQ(Fixed4(ToSingle(1234.56789)), "1234.5680");
  EXPECT_EQ(Fixed4(ToSingle(1234567.891)), "1234568.0000");
  // 32-bit values whose 7-digit form is an exact half: rounded to even first.
  EXPECT_EQ(Fixed4(1048576.5f), "1048576.0000");
  EXPECT_EQ(Fixed4(1048577.5f), "1048578.0000");
  EXPECT_EQ(Fixed4(-1048577.5f), "-1048578.0000");
  EXPECT_EQ(Fixed4(9.9999995f), "10.0000");
  EXPECT_EQ(Fixed4(1.00005f), "1.0001");
}

TEST(WriteFixed4, LeavesHugeAndNonFiniteValuesToTheGeneralFormatter) {
  char buf[kFixed4Room];
  EXPECT_EQ(WriteFixed4(buf, 1e20), nullptr);
  EXPECT_EQ(WriteFixed4(buf, -std::numeric_limits<double>::infinity()), nullptr);
  EXPECT_EQ(WriteFixed4(buf, std::numeric_limits<float>::quiet_NaN()), nullptr);
  EXPECT_EQ(Fixed4(1e21), FormatPicture(1e21, "0.0000"));
  EXPECT_EQ(Fixed4(std::numeric_limits<float>::infinity()),
            FormatPicture(std::numeric_limits<float>::infinity(), "0.0000"));
}

TEST(AppendFixed4, SameAsPictureFormatter) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> coordinate(-1e7, 1e7);
  std::uniform_int_distribution<int> scale(-12, 19);
  std::vector<double> values = {5e-5,   -5e-5, 0.49995, 1000000000000005.0, 1000000000000015.0,
                                1e19,   1e21,  -0.0,    123456789.00005,    99999.99995,
                                2.5e-5, 1e-300};
  for (int i = 0; i < 50000; ++i) {
    values.push_back(coordinate(random));
    values.push_back(std::round(coordinate(random) * 1000) / 1000);  // three-decimal data
    values.push_back(coordinate(random) * std::pow(10.0, scale(random) - 7));
    values.push_back((std::floor(coordinate(random) * 1e4) + 0.5) / 1e4);  // near a half
  }
  for (double v : values) {
    ASSERT_EQ(Fixed4(v), FormatPicture(v, "0.0000")) << v;
    float f = static_cast<float>(v);
    ASSERT_EQ(Fixed4(f), FormatPicture(f, "0.0000")) << f;
  }
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
