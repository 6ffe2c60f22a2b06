// Fast "0.0000" formatting for the DXF writer.
#include "coords/dxf_numbers.h"

#include <charconv>
#include <cmath>
#include <string_view>

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

// Writes the digits (first digit at 10^exp) rounded half away from zero at 10^-4.
void AppendRounded(std::string& out, bool negative, const char* digits, int count, int exp) {
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
  if (negative) out += '-';
  int i = 0;
  if (exp >= 0) {
    while (i < exp && kept[i] == '0') ++i;  // no leading zeros, but at least one digit
    out.append(kept + i, static_cast<size_t>(exp + 1 - i));
  } else {
    out += '0';
  }
  out += '.';
  for (int pos = -1; pos >= -4; --pos) {
    int idx = exp - pos;
    out += idx < 0 ? '0' : kept[idx];
  }
}

}  // namespace

namespace {

// Below 1e9 the value times 10^4 is rounded directly unless it lies near a half: the
// 15-digit form then differs from the value by less than 5e-3 units of the fourth decimal
// and the product by about 1e-3, so both round alike. Near a half the digits decide.
bool AppendFixed4Quick(std::string& out, double value) {
  double magnitude = std::fabs(value);
  if (!(magnitude < 1e9)) return false;
  double scaled = magnitude * 10000.0;
  double whole = std::floor(scaled);
  double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < 0.01) return false;
  unsigned long long units = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
  char buf[32];
  char* end = buf + sizeof buf;
  char* p = end;
  for (int i = 0; i < 4; ++i) {
    *--p = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  *--p = '.';
  do {
    *--p = static_cast<char>('0' + units % 10);
    units /= 10;
  } while (units > 0);
  if (std::signbit(value) && value != 0.0) *--p = '-';
  out.append(p, static_cast<size_t>(end - p));
  return true;
}

}  // namespace

void AppendFixed4(std::string& out, double value) {
  if (AppendFixed4Quick(out, value)) return;
  if (!std::isfinite(value) || std::fabs(value) >= 1e20) {
    out += FormatPicture(value, "0.0000");
    return;
  }
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
  if (exp > kMaxExponent) {
    out += FormatPicture(value, "0.0000");
    return;
  }
  AppendRounded(out, negative, digits, count, exp);
}

void AppendFixed4(std::string& out, float value) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e20f) {
    out += FormatPicture(value, "0.0000");
    return;
  }
  bool negative = std::signbit(value) && value != 0.0f;
  char buf[64], digits[40];
  int count = 0, exp = 0;
  double magnitude = std::fabs(static_cast<double>(value));
  auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 6);
  ParseScientific(buf, r.ptr, digits, count, exp);
  AppendRounded(out, negative, digits, count, exp);
}

}  // namespace korv
