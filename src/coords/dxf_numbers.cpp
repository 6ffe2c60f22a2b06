// Fast "0.0000" formatting for the DXF writer.
#include "coords/dxf_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/numbers.h"

namespace korv {

namespace {

// The largest power of ten of a leading digit handled here; larger values take the general
// picture formatter.
constexpr int kMaxExponent = 20;

// Splits a to_chars scientific form "d.ddde+XX" into its digits and exponent.
bool ParseScientific(const char* first, const char* last, char* digits, int& count, int& exp) {
  count = 0;
  const char* p = first;
  for (; p < last && *p != 'e'; ++p) {
    if (*p != '.') digits[count++] = *p;
  }
  if (p == last) return false;
  ++p;
  bool minus = p < last && *p == '-';
  if (p < last && (*p == '-' || *p == '+')) ++p;
  exp = 0;
  for (; p < last; ++p) exp = exp * 10 + (*p - '0');
  if (minus) exp = -exp;
  return count > 0;
}

// Writes the digits (first digit at 10^exp, exp <= kMaxExponent) rounded half away from zero
// at 10^-4.
char* WriteRounded(char* out, bool negative, const char* digits, int count, int exp) {
  bool zero = true;
  for (int i = 0; i < count; ++i) zero = zero && digits[i] == '0';
  if (zero) {
    digits = "0";
    count = 1;
    exp = 0;
  }
  char kept[kMaxExponent + 8];
  int keep = exp + 5;  // digits from 10^exp down to 10^-4
  int k = 0;
  if (keep <= 0) {
    kept[k++] = (keep == 0 && digits[0] >= '5') ? '1' : '0';
    exp = -4;
  } else {
    for (; k < keep; ++k) kept[k] = k < count ? digits[k] : '0';
    if (count > keep && digits[keep] >= '5') {
      int i = keep - 1;
      while (i >= 0 && kept[i] == '9') kept[i--] = '0';
      if (i >= 0) {
        ++kept[i];
      } else {
        for (int j = k; j > 0; --j) kept[j] = kept[j - 1];
        kept[0] = '1';
        ++k;
        ++exp;
      }
    }
  }
  // kept[i] sits at 10^(exp - i); the last one at 10^-4.
  if (negative) *out++ = '-';
  int i = 0;
  if (exp >= 0) {
    while (i < exp && kept[i] == '0') ++i;  // no leading zeros, but at least one digit
    size_t size = static_cast<size_t>(exp + 1 - i);
    std::memcpy(out, kept + i, size);
    out += size;
  } else {
    *out++ = '0';
  }
  *out++ = '.';
  for (int pos = -1; pos >= -4; --pos) {
    int idx = exp - pos;
    *out++ = idx < 0 ? '0' : kept[idx];
  }
  return out;
}

// "00" to "99": two digits at a time halve the divisions of a number's digits.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void WritePair(char* out, unsigned value) { std::memcpy(out, kDigitPairs + 2 * value, 2); }

// Writes `units` (below 10^18) ten-thousandths as "<whole>.dddd".
char* WriteUnits(char* out, bool negative, std::uint64_t units) {
  if (negative) *out++ = '-';
  std::uint64_t whole = units / 10000;
  const auto fraction = static_cast<unsigned>(units % 10000);
  int length = 1;
  for (std::uint64_t limit = 10; length < 19 && whole >= limit; limit *= 10) ++length;
  char* p = out + length;
  for (; whole >= 100; whole /= 100) {
    p -= 2;
    WritePair(p, static_cast<unsigned>(whole % 100));
  }
  if (whole >= 10) {
    WritePair(p - 2, static_cast<unsigned>(whole));
  } else {
    p[-1] = static_cast<char>('0' + whole);
  }
  out += length;
  *out = '.';
  WritePair(out + 1, fraction / 100);
  WritePair(out + 3, fraction % 100);
  return out + 5;
}

// Below 1e9 the value times 10^4 is rounded directly unless it lies near a half: the
// 15-digit form then differs from the value by less than 5e-3 units of the fourth decimal
// and the product by about 1e-3, so both round alike. Near a half the digits decide.
char* WriteFixed4Quick(char* out, double value) {
  double magnitude = std::fabs(value);
  if (!(magnitude < 1e9)) return nullptr;
  double scaled = magnitude * 10000.0;
  double whole = std::floor(scaled);
  double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < 0.01) return nullptr;
  std::uint64_t units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  return WriteUnits(out, std::signbit(value) && value != 0.0, units);
}

// From 1 to 1e7 a 32-bit value times 10^(6 - its leading power of ten) is exact in 64 bits,
// so its 7-significant-digit form (rounded half to even, as to_chars rounds) is found in
// whole numbers and then rounded half away from zero to four decimals.
char* WriteFixed4Quick(char* out, float value) {
  static constexpr std::uint64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  double magnitude = std::fabs(static_cast<double>(value));
  if (!(magnitude >= 1.0 && magnitude < 1e7)) return nullptr;
  int decimals = 6;  // decimals of the 7-digit form
  while (decimals > 0 && magnitude >= static_cast<double>(kPowers[7 - decimals])) --decimals;
  double scaled = magnitude * static_cast<double>(kPowers[decimals]);
  double whole = std::floor(scaled);
  double fraction = scaled - whole;
  std::uint64_t digits = static_cast<std::uint64_t>(whole);
  if (fraction > 0.5 || (fraction == 0.5 && digits % 2 == 1)) ++digits;
  std::uint64_t units;
  if (decimals > 4) {
    std::uint64_t step = kPowers[decimals - 4];
    units = digits / step + (digits % step * 2 >= step ? 1 : 0);
  } else {
    units = digits * kPowers[4 - decimals];
  }
  return WriteUnits(out, value < 0, units);
}

}  // namespace

char* WriteFixed4(char* out, double value) {
  if (char* end = WriteFixed4Quick(out, value)) return end;
  if (!std::isfinite(value) || std::fabs(value) >= 1e20) return nullptr;
  bool negative = std::signbit(value) && value != 0.0;
  double magnitude = std::fabs(value);
  char buf[64], digits[40];
  int count = 0, exp = 0;
  // The shortest form that reads back as the value is its 15-digit form whenever it has at
  // most 15 digits (a 64-bit value's spacing is well below one unit of the 15th digit).
  auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
  if (!ParseScientific(buf, r.ptr, digits, count, exp) || count > 15) {
    r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    ParseScientific(buf, r.ptr, digits, count, exp);
  }
  if (exp > kMaxExponent) return nullptr;
  return WriteRounded(out, negative, digits, count, exp);
}

char* WriteFixed4(char* out, float value) {
  if (char* end = WriteFixed4Quick(out, value)) return end;
  if (!std::isfinite(value) || std::fabs(value) >= 1e20f) return nullptr;
  bool negative = std::signbit(value) && value != 0.0f;
  char buf[64], digits[40];
  int count = 0, exp = 0;
  double magnitude = std::fabs(static_cast<double>(value));
  auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 6);
  ParseScientific(buf, r.ptr, digits, count, exp);
  return WriteRounded(out, negative, digits, count, exp);
}

void AppendFixed4(std::string& out, double value) {
  char buf[kFixed4Room];
  if (char* end = WriteFixed4(buf, value)) {
    out.append(buf, end);
  } else {
    out += FormatPicture(value, "0.0000");
  }
}

void AppendFixed4(std::string& out, float value) {
  char buf[kFixed4Room];
  if (char* end = WriteFixed4(buf, value)) {
    out.append(buf, end);
  } else {
    out += FormatPicture(value, "0.0000");
  }
}

}  // namespace korv
