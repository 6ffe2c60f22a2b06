// Number reading and the picture and general number forms.
#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace korv {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  EXPECT_DOUBLE_EQ(LeadingNumber("1.5m"), 1.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("  -12.25 "), -12.25);
  EXPECT_DOUBLE_EQ(LeadingNumber("1 2 3"), 123);  // blanks are skipped wherever they stand
  EXPECT_DOUBLE_EQ(LeadingNumber("\t8.\t25"), 8.25);
  EXPECT_DOUBLE_EQ(LeadingNumber("8,25"), 8);  // a decimal comma ends the number
  EXPECT_DOUBLE_EQ(LeadingNumber("1.5E3x"), 1500);
  EXPECT_DOUBLE_EQ(LeadingNumber("-3d-\r\n7"), -3e-7);  // the exponent skips CR and LF too
  EXPECT_DOUBLE_EQ(LeadingNumber("2D2"), 200);
  EXPECT_DOUBLE_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("1.2.3"), 1.2);
}

TEST(LeadingNumber, PlainNumbersReadAsTheNearestValue) {
  std::mt19937_64 rng(17);
  for (int i = 0; i < 100000; ++i) {
    std::string text = std::to_string(rng() % 100000000000000000ULL >> (rng() % 57));
    size_t decimals = rng() % (text.size() + 1);
    if (decimals > 0) text.insert(text.size() - decimals, ".");
    if (i % 3 == 0) text.insert(0, "-");
    if (i % 7 == 0) text += ",x";
    const double value = LeadingNumber(text);
    const double expected = std::strtod(text.c_str(), nullptr);
    ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;  // -0 included
  }
  EXPECT_TRUE(std::signbit(LeadingNumber("-0")));
}

TEST(LeadingNumber, TextWithoutNumberIsZero) {
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber("1E999999"), 0);  // no infinity from an absurd exponent
}

// Plain fields ("[sign]digits[.digits]") read exactly as strtod reads them.
TEST(LeadingNumber, PlainFieldsReadAsStrtod) {
  for (const char* t : {"-.5", "5.", "+3", "0009", "1.5m", "-0", "123456789012345678901234567890",
                        "0.000000000000000000000000000001", "6543210.123", "359.99995,x"}) {
    EXPECT_EQ(LeadingNumber(t), std::strtod(t, nullptr)) << t;
  }
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    std::string t = rng() % 2 ? "-" : "";
    for (int n = 1 + static_cast<int>(rng() % 9); n > 0; --n)
      t += static_cast<char>('0' + rng() % 10);
    t += '.';
    for (int n = static_cast<int>(rng() % 9); n > 0; --n) t += static_cast<char>('0' + rng() % 10);
    ASSERT_EQ(LeadingNumber(t), std::strtod(t.c_str(), nullptr)) << t;
  }
}

// The plain field's quick reading against the general rule, which a blank after the field
// selects (blanks are skipped wherever they stand): every digit count on both sides of the
// point, across the eight-digit blocks the quick reading takes at once.
TEST(LeadingNumber, QuickReadingAgreesWithTheGeneralRule) {
  auto check = [](const std::string& text) {
    const double quick = LeadingNumber(text), general = LeadingNumber(text + " ");
    ASSERT_EQ(std::memcmp(&quick, &general, sizeof quick), 0) << text;  // -0 included
  };
  for (const char* text : {"600.0", "-50.5", "+3", ".5", "5.", "-0", "", "-", ".", "1.5m", "abc",
                           " 12", "1 2", "1e3", "0012.500", "1..2", "123456789012345678901",
                           "6543210.123", "0.000000000000000000000001", "12345678901234567",
                           "-0.0", "1234567890.12345", "999999999999999.9", "9007199254740993",
                           "00000000000000000000000001.5", "1.5.5", "12345678,9", "1234567/",
                           "12345678:", "\xff" "12345678", "1234567\x80", "+.", "-.e5"}) {
    check(text);
  }
  std::mt19937_64 rng(7);
  const char* after[] = {"", "", ",", "x", ":", "/", "\x80"};
  for (int i = 0; i < 200000; ++i) {
    std::string text = i % 2 ? "-" : (i % 5 == 0 ? "+" : "");
    for (int n = static_cast<int>(rng() % 21); n > 0; --n) text += static_cast<char>('0' + rng() % 10);
    if (rng() % 4 != 0) {
      text += '.';
      for (int n = static_cast<int>(rng() % 21); n > 0; --n) text += static_cast<char>('0' + rng() % 10);
    }
    text += after[rng() % 7];
    check(text);
  }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
}

TEST(FormatPicture, RoundsTheDecimalFormHalfAwayFromZero) {
  EXPECT_EQ(FormatPicture(1.0005, "0.000"), "1.001");  // 1.0005 is 1.000499999... in binary
  EXPECT_EQ(FormatPicture(-1.0005, "0.000"), "-1.001");
  EXPECT_EQ(FormatPicture(2.5, "#0"), "3");
  EXPECT_EQ(FormatPicture(0.9996, "0.000"), "1.000");
  EXPECT_EQ(FormatPicture(999.9996, "##0.000"), "1000.000");
}

TEST(FormatPicture, IntegerDigitsFollowThePicture) {
  EXPECT_EQ(FormatPicture(0.25, "##0.000"), "0.250");
  EXPECT_EQ(FormatPicture(0.25, "#.000"), ".250");
  EXPECT_EQ(FormatPicture(12345.5, "##0.000"), "12345.500");
  EXPECT_EQ(FormatPicture(7.0, "0.0000"), "7.0000");
  EXPECT_EQ(FormatPicture(0.0, "#0"), "0");
  EXPECT_EQ(FormatPicture(-0.0, "0.000"), "0.000");
  EXPECT_EQ(FormatPicture(0.00004, "0.0000"), "0.0000");
  EXPECT_EQ(FormatPicture(0.00005, "0.0000"), "0.0001");
  EXPECT_EQ(FormatPicture(5.0, "000.0"), "005.0");
  EXPECT_EQ(FormatPicture(12345.0, "000"), "12345");
  EXPECT_EQ(FormatPicture(-12.0, "00000000"), "-00000012");
  EXPECT_EQ(FormatPicture(12.0, "000000000"), "000000012");
  EXPECT_EQ(FormatPicture(99999999.5, "00000000"), "100000000");
}

TEST(FormatPicture, SinglePrecisionKeepsSevenSignificantDigits) {
  EXPECT_EQ(FormatPicture(ToSingle(1234567.891), "0.000"), "1234568.000");
  EXPECT_EQ(FormatPicture(ToSingle(6543210.5), "0.000"), "6543210.000");
  EXPECT_EQ(FormatPicture(ToSingle(123.4567), "0.000"), "123.457");
  EXPECT_EQ(FormatPicture(1234567.891, "0.000"), "1234567.891");
}

// The pictures of the KOF and MAPA 2 fields, with the values that carry their rounding.
TEST(FormatPicture, SurveyFieldPictures) {
  EXPECT_EQ(FormatPicture(359.99995, "##0.0000"), "360.0000");
  EXPECT_EQ(FormatPicture(1234.56789, "##0.0000"), "1234.5679");  // the writer cuts it to 8
  EXPECT_EQ(FormatPicture(1234.5678, "###0.000"), "1234.568");
  EXPECT_EQ(FormatPicture(-0.00005, "#0.0000"), "-0.0001");
  EXPECT_EQ(FormatPicture(-1.25, "#0.000"), "-1.250");
  EXPECT_EQ(FormatPicture(ToSingle(998.6), "#0"), "999");
  EXPECT_EQ(FormatPicture(ToSingle(-3.5), "#0"), "-4");
  EXPECT_EQ(FormatPicture(ToSingle(234567.891), "##0.000"), "234567.900");
  EXPECT_EQ(FormatPicture(ToSingle(0.0), "##0.000"), "0.000");
  EXPECT_EQ(FormatPicture(-30.00005, "0.0000"), "-30.0001");
  EXPECT_EQ(FormatPicture(ToSingle(1e300), "##0.000"), "0.000");  // out of range: no number
}

// Reference for the pictures "0.000"-style: the value's decimal form with `significant`
// digits from printf, then rounded half away from zero to `decimals` places in integers.
std::string ReferencePicture(double value, int significant, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(value));
  std::string digits;
  const char* p = buf;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  int exponent = std::atoi(p + 1);
  // value = digits * 10^(exponent - significant + 1); scale to units of 10^-decimals.
  int shift = exponent - significant + 1 + decimals;
  unsigned __int128 n = 0;
  for (char c : digits) n = n * 10 + static_cast<unsigned>(c - '0');
  if (shift >= 0) {
    for (int i = 0; i < shift; ++i) n *= 10;
  } else {
    unsigned __int128 div = 1;
    for (int i = 0; i < -shift; ++i) div *= 10;
    unsigned __int128 rest = n % div;
    n /= div;
    if (rest * 2 >= div) ++n;
  }
  std::string text;
  do {
    text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
    n /= 10;
  } while (n > 0);
  if (static_cast<int>(text.size()) <= decimals)
    text.insert(0, static_cast<size_t>(decimals + 1) - text.size(), '0');
  if (decimals > 0) text.insert(text.size() - static_cast<size_t>(decimals), ".");
  return (std::signbit(value) && value != 0 ? "-" : "") + text;
}

TEST(FormatPicture, AgreesWithThePrintfDecimalForm) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  const char* pictures[] = {"0", "0.0", "0.00", "0.000", "0.0000"};
  for (int i = 0; i < 200000; ++i) {
    double v = mantissa(rng) * std::pow(10.0, static_cast<int>(rng() % 16) - 7);
    if (i % 3 == 0) v = std::round(v * 1000.0) / 1000.0;  // values as instruments write them
    if (i % 7 == 0) v = std::round(v * 2000.0) / 2000.0;  // and exact halves
    int places = static_cast<int>(rng() % 5);
    const char* picture = pictures[places];
    ASSERT_EQ(FormatPicture(v, picture), ReferencePicture(v, 15, places)) << v;
    float f = ToSingle(v);
    ASSERT_EQ(FormatPicture(f, picture), ReferencePicture(f, 7, places)) << f;
  }
}

TEST(AppendFieldPicture, SameAsPictureOfTheLeadingNumber) {
  const char* pictures[] = {"0", "0.0", "0.00", "0.000", "0.0000"};
  auto check = [&](const std::string& field) {
    for (int places = 0; places <= 4; ++places) {
      std::string out = "x";
      AppendFieldPicture(out, field, places);
      ASSERT_EQ(out, "x" + FormatPicture(LeadingNumber(field), pictures[places]))
          << field << " " << places;
    }
  };
  for (const char* field : {"668.941",
                            "-1.0005",
                            "+2.5",
                            "0.00005",
                            "-0.00004",
                            "-0.0001",
                            "-0",
                            "-0.000",
                            "9.99995",
                            "999.9996",
                            ".5",
                            "5.",
                            "-.5",
                            "",
                            "-",
                            ".",
                            "+",
                            "1.5m",
                            " 12",
                            "12 ",
                            "1e3",
                            "1..2",
                            "1.2.3",
                            "00012.500",
                            "123456789012345",
                            "1234567890123456",
                            "12345678901234.5",
                            "0.000000000000001",
                            "-99999999999999.9",
                            "0000000000000000001",
                            "0",
                            "000.25",
                            "+0.000",
                            "-00.0",
                            "-007",
                            "1234567890.12345"}) {
    check(field);
  }
  std::mt19937_64 rng(11);
  for (int i = 0; i < 100000; ++i) {
    std::string field = std::to_string(rng() % 1000000000000000ULL >> (rng() % 50));
    size_t decimals = rng() % (field.size() + 1);
    if (decimals > 0) field.insert(field.size() - decimals, ".");
    if (i % 3 == 0) field = "-" + field;
    // Now and then a character that ends the plain form, anywhere in the field.
    if (i % 4 == 0) field[rng() % field.size()] = " +-.eE,x"[rng() % 8];
    check(field);
  }
}

// Hand-checked texts of the writers' fixed-point pictures, where rounding and the 7-digit form
// of 32-bit values decide.
TEST(AppendPicture, KnownValues) {
  auto text = [](auto value, int decimals) {
    std::string out;
    AppendPicture(out, value, decimals);
    return out;
  };
  EXPECT_EQ(text(100.5, 4), "100.5000");
  EXPECT_EQ(text(-50.0, 4), "-50.0000");
  EXPECT_EQ(text(0.0, 4), "0.0000");
  EXPECT_EQ(text(-0.0, 3), "0.000");
  EXPECT_EQ(text(0.00005, 4), "0.0001");
  EXPECT_EQ(text(0.00004999, 4), "0.0000");
  EXPECT_EQ(text(-0.00004, 4), "-0.0000");  // a negative value keeps its sign at zero
  EXPECT_EQ(text(9.99995, 4), "10.0000");
  EXPECT_EQ(text(-12.34565, 4), "-12.3457");
  EXPECT_EQ(text(1.0005, 3), "1.001");  // 1.000499999... in binary; its 15-digit form decides
  EXPECT_EQ(text(2.5, 0), "3");
  EXPECT_EQ(text(200.0 - static_cast<double>(1.7f), 4), "198.3000");
  EXPECT_EQ(text(ToSingle(1234.56789), 4), "1234.5680");
  EXPECT_EQ(text(ToSingle(1234567.891), 4), "1234568.0000");
  EXPECT_EQ(text(ToSingle(1234567.891), 0), "1234568");
  // 32-bit values whose 7-digit form is an exact half: rounded to even first.
  EXPECT_EQ(text(1048576.5f, 4), "1048576.0000");
  EXPECT_EQ(text(1048577.5f, 4), "1048578.0000");
  EXPECT_EQ(text(-1048577.5f, 4), "-1048578.0000");
  EXPECT_EQ(text(9.9999995f, 4), "10.0000");
  EXPECT_EQ(text(1.00005f, 4), "1.0001");
  EXPECT_EQ(text(ToSingle(-3.5), 0), "-4");
  // Values the formats cannot hold are written as 0 and reported.
  std::string out;
  EXPECT_FALSE(AppendPicture(out, std::numeric_limits<double>::infinity(), 4));
  EXPECT_FALSE(AppendPicture(out, std::numeric_limits<float>::quiet_NaN(), 3));
  EXPECT_EQ(out, "0.00000.000");
}

// The fixed-point pictures (WritePicture, AppendPicture) give exactly what the general picture
// gives, for 64- and 32-bit values and every decimal count the writers use: values as
// instruments write them, exact and near halves of the last decimal, negative values that
// round to zero, decade edges, the ends of the quick ranges and values beyond them. Finite
// values below 1e18 are also checked against the printf decimal form.
TEST(WritePicture, SameAsTheGeneralPicture) {
  const char* pictures[] = {"0", "0.0", "0.00", "0.000", "0.0000"};
  auto check = [&](auto value) {
    for (int places = 0; places <= 4; ++places) {
      const std::string expected = FormatPicture(value, pictures[places]);
      std::string out = "x";
      const bool finite = AppendPicture(out, value, places);
      ASSERT_EQ(out, "x" + expected) << value << " " << places;
      ASSERT_EQ(finite, std::isfinite(value)) << value;
      char buf[kPictureRoom];
      if (char* end = WritePicture(buf, value, places)) {
        ASSERT_EQ(std::string(buf, end), expected) << value << " " << places;
      } else {
        // Only values beyond the quick range are left to the general picture.
        const double m = std::fabs(static_cast<double>(value));
        ASSERT_FALSE(m < 1e15 && (sizeof value == sizeof(double) || m >= 1e-6 || m == 0)) << value;
      }
      const double m = std::fabs(static_cast<double>(value));
      if (std::isfinite(value) && m < 1e18 && (m == 0 || m > 1e-20)) {
        ASSERT_EQ(expected, ReferencePicture(value, sizeof value == 4 ? 7 : 15, places))
            << value << " " << places;
      }
    }
  };
  const double edges[] = {0.0,
                          5e-5,
                          4.999999e-5,
                          0.49995,
                          9.99995,
                          99999.99995,
                          359.99995,
                          -30.00005,
                          -0.00004,
                          -0.4,
                          -0.04999,
                          -1e-300,
                          1e-6,
                          9.9999e-7,
                          2.5e-5,
                          9999999.99995,
                          99999999.99995,
                          99999999.49995,
                          100000000.00005,
                          999999999.99995,
                          1e9,
                          123456789.00005,
                          999999999999999.9,
                          999999999999999.0,
                          1e15,
                          1000000000000005.0,
                          1e19,
                          1e21,
                          1e300,
                          std::numeric_limits<double>::max(),
                          std::numeric_limits<double>::denorm_min(),
                          std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
  for (double v : edges) {
    check(v);
    check(-v);
    check(ToSingle(v));
    check(ToSingle(-v));
  }
  for (float v : {6547770.5f, 6547771.5f, 0.0005f, 1234.5f, 9999999.5f, 1e7f, 16777217.0f, 2.5e9f,
                  1e15f, 9.99999e14f, 1e-7f, 0.1f, 1.0f, 10.0f, 3.4e38f, 1e20f}) {
    check(v);
    check(-v);
  }
  std::mt19937_64 rng(20240611);
  std::uniform_real_distribution<double> coordinate(-1e7, 1e7);
  std::uniform_int_distribution<int> scale(-12, 19);
  for (int i = 0; i < 12000; ++i) {
    const int places = static_cast<int>(rng() % 5);
    const double unit = std::pow(10.0, -places);
    check(coordinate(rng));
    check(std::round(coordinate(rng) * 1000) / 1000);  // three-decimal data
    check(coordinate(rng) * std::pow(10.0, scale(rng) - 7));
    check((std::floor(coordinate(rng) / unit) + 0.5) * unit);  // halves of the last decimal
    check(static_cast<float>((std::floor(coordinate(rng) / unit) + 0.5) * unit));
    check(static_cast<float>(static_cast<double>(rng() % 1000000000) / 1000));
    std::uint64_t bits = rng();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    check(d);
    float f;
    const auto bits32 = static_cast<std::uint32_t>(bits >> 16);
    std::memcpy(&f, &bits32, sizeof f);
    check(f);
  }
}

TEST(GeneralNumber, ShortestFormWithinTheDigits) {
  EXPECT_EQ(GeneralNumber(8.25), "8.25");
  EXPECT_EQ(GeneralNumber(9999999.0), "9999999");
  EXPECT_EQ(GeneralNumber(-9999999.0), "-9999999");
  EXPECT_EQ(GeneralNumber(0.5), "0.5");
  EXPECT_EQ(GeneralNumber(0.0), "0");
  EXPECT_EQ(GeneralNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(GeneralNumber(1e15), "1E+15");
  EXPECT_EQ(GeneralNumber(123456789012345.0), "123456789012345");
  EXPECT_EQ(GeneralNumber(0.0001), "0.0001");
  EXPECT_EQ(GeneralNumber(0.00001), "1E-05");
  EXPECT_EQ(GeneralNumber(ToSingle(1.1)), "1.1");
  EXPECT_EQ(GeneralNumber(ToSingle(12345678.0)), "1.234568E+07");
  // Just below a power of ten the leading digit is easily put one place too high, which
  // loses a digit: 9.9999999999999896e-05 is "9.99999999999999E-05", not "0.0001".
  EXPECT_EQ(GeneralNumber(9.9999999999999896e-05), "9.99999999999999E-05");
  for (int power = -7; power <= 15; ++power) {
    double value = std::pow(10.0, power);
    for (int i = 0; i < 100; ++i) {
      value = std::nextafter(value, 0.0);
      char printed[64];
      std::snprintf(printed, sizeof printed, "%.15g", value);
      ASSERT_EQ(LeadingNumber(GeneralNumber(value)), std::strtod(printed, nullptr)) << printed;
    }
  }
}

TEST(PrintedNumber, LeadingBlankForTheSignAndTrailingBlank) {
  EXPECT_EQ(PrintedNumber(ToSingle(8.25)), " 8.25 ");
  EXPECT_EQ(PrintedNumber(-3.0), "-3 ");
  EXPECT_EQ(PrintedNumber(0.0), " 0 ");
}

TEST(RightJustify, PadsOnTheLeftAndKeepsLeftmostCharacters) {
  EXPECT_EQ(RightJustify("1.5", 6), "   1.5");
  EXPECT_EQ(RightJustify("1234.5678", 8), "1234.567");
  EXPECT_EQ(RightJustify("", 2), "  ");
}

}  // namespace
}  // namespace korv
