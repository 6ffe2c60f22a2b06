// Number reading and formatting shared by every writer.
#include "core/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/text.h"

namespace korv {

namespace {

// Powers of ten that are exact in a double (up to 10^22).
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

constexpr std::uint64_t kTens[] = {1ULL,      10ULL,      100ULL,      1000ULL,     10000ULL,
                                   100000ULL, 1000000ULL, 10000000ULL, 100000000ULL};

// Reads the run of digits at `p` into `value` (value * 10^n + digits) and returns the end of
// the run. Eight bytes at a time while eight remain: one subtraction and one comparison find
// how many of them are digits, and three multiplications join those digits.
inline __attribute__((always_inline)) const char* ReadDigits(const char* p, const char* const end,
                                                             std::uint64_t& value) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  while (end - p >= 8) {
    std::uint64_t bytes;
    std::memcpy(&bytes, p, 8);
    // Each byte less '0'; a digit byte is then below 10 and lends nothing to the next, so
    // the lowest byte with its top bit set here is the first that is not a digit.
    const std::uint64_t d = bytes - 0x3030303030303030ULL;
    const std::uint64_t other = (d | (d + 0x7676767676767676ULL)) & 0x8080808080808080ULL;
    const int n = other == 0 ? 8 : __builtin_ctzll(other) / 8;
    if (n == 0) return p;
    // The n digits moved to the top bytes (zeros before them), then joined in pairs, fours
    // and eight; the first character is the lowest byte.
    std::uint64_t v = d << (8 * (8 - n));
    v = (v & 0x0F0F0F0F0F0F0F0FULL) * 2561 >> 8;
    v = (v & 0x00FF00FF00FF00FFULL) * 6553601 >> 16;
    v = (v & 0x0000FFFF0000FFFFULL) * 42949672960001ULL >> 32;
    value = value * kTens[n] + v;  // wraps beyond 19 digits, which the callers refuse
    p += n;
    if (n < 8) return p;
  }
#endif
  for (unsigned digit; p < end && (digit = static_cast<unsigned char>(*p) - 48U) < 10; ++p) {
    value = value * 10 + digit;
  }
  return p;
}

// A plain number of more than 15 digits, read by from_chars: kept out of line, so that the
// usual field's reading needs no stack frame for it.
__attribute__((noinline)) bool LongPlainNumber(const char* from, const char* to, double& value) {
  auto [stop, ec] = std::from_chars(from, to, value);
  return ec == std::errc() && stop == to;
}

// The usual field, "[blanks][sign]digits[.digits]" followed by its end or by a character
// that cannot continue a number, read without copying. False for anything else.
bool PlainLeadingNumber(std::string_view text, double& value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && IsBlankChar(*p)) ++p;
  const char* const start = p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const char* const first = p;
  std::uint64_t digits = 0;  // every digit as one whole number (used up to 15 digits)
  p = ReadDigits(p, end, digits);
  size_t decimals = 0;
  size_t count = static_cast<size_t>(p - first);
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    p = ReadDigits(p, end, digits);
    decimals = static_cast<size_t>(p - fraction);
    count += decimals;
  }
  if (count == 0) return false;
  if (p < end) {
    const char c = *p;
    if (IsBlankChar(c) || c == '.' || c == 'E' || c == 'e' || c == 'D' || c == 'd') return false;
  }
  // Up to 15 digits form an exact whole number and the power of ten is exact, so one
  // division rounds correctly, as from_chars does; longer numbers go to from_chars.
  if (count <= 15) {
    value = static_cast<double>(digits) / kPow10[decimals];
    if (negative) value = -value;
    return true;
  }
  return LongPlainNumber(*start == '+' ? first : start, p, value);
}
}  // namespace

double LeadingNumber(std::string_view text) {
  bool outOfRange = false;
  return LeadingNumber(text, outOfRange);
}

namespace {

// LeadingNumber beyond the plain field: kept out of line so that the plain field's reading
// needs no stack frame of its own.
__attribute__((noinline)) double GeneralLeadingNumber(std::string_view text, bool& outOfRange) {
  // Collect the number's characters, skipping blanks anywhere, then let strtod read them.
  std::string digits;
  digits.reserve(text.size());
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
      ++i;
  };
  skipBlanks();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) digits += text[i++];
  bool any = false, point = false;
  for (;; ++i) {
    skipBlanks();
    if (i >= text.size()) break;
    char c = text[i];
    if (c >= '0' && c <= '9') {
      digits += c;
      any = true;
    } else if (c == '.' && !point) {
      digits += c;
      point = true;
    } else {
      break;
    }
  }
  if (!any) return 0.0;
  skipBlanks();
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    size_t j = i + 1;
    std::string exponent = "e";
    // The exponent skips the same characters as the digits before it.
    while (j < text.size() && IsBlankChar(text[j])) ++j;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    bool expDigits = false;
    for (; j < text.size(); ++j) {
      char c = text[j];
      if (IsBlankChar(c)) continue;
      if (c < '0' || c > '9') break;
      exponent += c;
      expDigits = true;
    }
    if (expDigits) digits += exponent;
  }
  double v = std::strtod(digits.c_str(), nullptr);
  if (std::isinf(v)) {
    v = 0.0;  // an absurd exponent reads as no number rather than infinity
    outOfRange = true;
  }
  return v;
}

}  // namespace

double LeadingNumber(std::string_view text, bool& outOfRange) {
  double fast;
  if (PlainLeadingNumber(text, fast)) return fast;
  return GeneralLeadingNumber(text, outOfRange);
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

namespace {

// Decimal digits of |value| rounded to `significant` digits: digits without point, and the
// power of ten of the first digit.
struct Decimal {
  bool negative = false;
  std::string digits;  // at least one digit, no leading zeros unless the value is zero
  int exponent = 0;    // value = 0.d1d2d3... * 10^(exponent+1), i.e. d1 is at 10^exponent
};

// Powers of ten as whole numbers (up to 10^15).
constexpr unsigned long long kPowers[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL};

// `a` (> 0) rounded to `significant` (at most 15) digits as printf rounds it (to nearest,
// exact ties to even), without printf: n (exactly `significant` digits) times
// 10^(e - significant + 1). `a` is scaled by an exact power of ten; the scaled value is below
// 2^50, where halves are exact, so the product's rounding cannot carry it across a half, and
// at an exact half the product's own error (fma) tells which side the true value lies on.
// Values out of the range handled here return false.
bool FastScaled(double a, int significant, unsigned long long& n, int& e) {
  if (!(a >= 1e-6 && a < 1e15)) return false;
  if (a >= 1.0) {
    e = 0;
    while (e < 15 && a >= kPow10[e + 1]) ++e;
  } else {
    e = static_cast<int>(std::floor(std::log10(a)));
  }
  int k = significant - 1 - e;
  if (k < 0 || k > 22) return false;
  double x = a * kPow10[k];
  double whole = std::floor(x);
  auto low = static_cast<unsigned long long>(kPow10[significant - 1]);
  // With the right exponent the exact product is at least `low`, which a double holds, so the
  // rounded product is too: below it, log10 put the leading digit one place too high (a value
  // just below a power of ten), and rounding it there would keep one digit too few.
  if (whole < static_cast<double>(low)) return false;
  double frac = x - whole;
  bool up = frac > 0.5;
  if (frac == 0.5) {
    double error = std::fma(a, kPow10[k], -x);  // exact: true product = x + error
    up = error > 0 || (error == 0 && std::fmod(whole, 2.0) != 0);
  }
  n = static_cast<unsigned long long>(whole) + (up ? 1 : 0);
  if (n >= low * 10) {
    if (n != low * 10) return false;
    n = low;  // 9.99...95 rounded up to the next power of ten
    ++e;
  }
  return true;
}

bool FastDigits(double a, int significant, Decimal& d) {
  unsigned long long n;
  if (!FastScaled(a, significant, n, d.exponent)) return false;
  char buf[24];
  char* end = std::to_chars(buf, buf + sizeof buf, n).ptr;
  d.digits.assign(buf, end);
  return true;
}

// |value| in units of 10^-decimals (at most 4): its `significant`-digit form rounded half
// away from zero, in whole numbers. False when the value needs the general path.
bool ScaledUnits(double value, int significant, int decimals, unsigned long long& units) {
  const double a = std::fabs(value);
  units = 0;
  if (a == 0.0) return true;
  unsigned long long n;
  int e;
  if (!FastScaled(a, significant, n, e)) return false;
  const int drop = significant - 1 - e - decimals;  // digits of n below the last kept place
  if (drop > 19) {
    units = 0;  // far below the last place (n < 10^15 <= half of 10^drop)
  } else if (drop > 0) {
    const auto div = static_cast<unsigned long long>(kPow10[drop]);
    units = n / div + (n % div >= div - div / 2 ? 1 : 0);
  } else {
    units = n * static_cast<unsigned long long>(kPow10[-drop]);  // below 10^19
  }
  return true;
}

// "00" to "99": two digits at a time halve the divisions of a number's digits.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void WritePair(char* out, unsigned long long value) {
  std::memcpy(out, kDigitPairs + 2 * value, 2);
}

// Number of decimal digits of `n` (1 for 0).
int DigitCount(unsigned long long n) {
  int count = 1;
  for (; n >= 10000; n /= 10000) count += 4;
  return count + (n >= 10) + (n >= 100) + (n >= 1000);
}

// The eight decimal digits of `n` (below 10^8), leading zeros included, one a byte as the
// values 0 to 9, the first digit in the lowest byte: both halves of four digits are split
// into pairs and the pairs into digits at once, with multiplications for the divisions.
std::uint64_t EightDigits(std::uint64_t n) {
  const std::uint64_t fours = n / 10000 | (n % 10000) << 32;
  const std::uint64_t high = ((fours * 10486ULL) >> 20) & ((0x7FULL << 32) | 0x7FULL);  // / 100
  const std::uint64_t low = fours - 100ULL * high;
  const std::uint64_t pairs = (low << 16) + high;
  std::uint64_t tens = (pairs * 103ULL) >> 10;  // / 10
  tens &= (0xFULL << 48) | (0xFULL << 32) | (0xFULL << 16) | 0xFULL;
  return tens + ((pairs - 10ULL * tens) << 8);
}

// Writes `units` (in units of 10^-kDecimals) as "[-]<whole>[.<decimals>]", the whole part
// with at least `minInt` digits, and returns the end of the text. Digits are written from
// the right, two at a time, with constant divisors.
template <int kDecimals>
inline __attribute__((always_inline)) char* WriteUnits(char* out, bool negative,
                                                   unsigned long long units, int minInt) {
  constexpr unsigned long long kUnit = kPowers[kDecimals];
  if (negative) *out++ = '-';
  unsigned long long whole = units / kUnit;
  const auto fraction = units % kUnit;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if (whole < 100000000 && minInt <= 8) {
    // The whole part of nearly every coordinate: its eight digits with leading zeros in one
    // word, shifted to the digits shown and stored at once (the bytes stored beyond them are
    // overwritten or lie past the end, within kPictureRoom).
    const std::uint64_t digits = EightDigits(whole);
    const int count = digits == 0 ? 0 : 8 - __builtin_ctzll(digits) / 8;
    const int shown = count > minInt ? count : minInt;
    if (shown > 0) {
      const std::uint64_t text = (digits + 0x3030303030303030ULL) >> (8 * (8 - shown));
      std::memcpy(out, &text, 8);
      out += shown;
    }
  } else
#endif
  {
    const int digits = whole == 0 ? 0 : DigitCount(whole);
    for (int pad = minInt - digits; pad > 0; --pad) *out++ = '0';
    char* p = out + digits;
    out = p;
    for (; whole >= 100; whole /= 100) WritePair(p -= 2, whole % 100);
    if (whole >= 10) {
      WritePair(p - 2, whole);
    } else if (whole > 0) {
      p[-1] = static_cast<char>('0' + whole);
    }
  }
  if constexpr (kDecimals > 0) {
    *out++ = '.';
    if constexpr (kDecimals == 4) {
      WritePair(out, fraction / 100);
      WritePair(out + 2, fraction % 100);
    } else if constexpr (kDecimals == 3) {
      *out = static_cast<char>('0' + fraction / 100);
      WritePair(out + 1, fraction % 100);
    } else if constexpr (kDecimals == 2) {
      WritePair(out, fraction);
    } else {
      *out = static_cast<char>('0' + fraction);
    }
    out += kDecimals;
  }
  return out;
}

// The same for 0 to 4 decimals given at run time.
char* WriteUnits(char* out, bool negative, unsigned long long units, int decimals, int minInt = 1) {
  switch (decimals) {
    case 0:
      return WriteUnits<0>(out, negative, units, minInt);
    case 1:
      return WriteUnits<1>(out, negative, units, minInt);
    case 2:
      return WriteUnits<2>(out, negative, units, minInt);
    case 3:
      return WriteUnits<3>(out, negative, units, minInt);
    default:
      return WriteUnits<4>(out, negative, units, minInt);
  }
}

// The picture's form of `value` built in integers, as Fixed(ToDecimal(...)) would build it;
// false when the value needs the general path.
bool FastPicture(double value, int significant, int minInt, int decimals, std::string& out) {
  if (decimals > 4 || minInt > 20 || !std::isfinite(value)) return false;
  unsigned long long units;
  if (!ScaledUnits(value, significant, decimals, units)) return false;
  char buf[48];
  out.assign(buf, WriteUnits(buf, std::signbit(value) && value != 0.0, units, decimals, minInt));
  return true;
}

Decimal ToDecimal(double value, int significant) {
  Decimal d;
  if (!std::isfinite(value)) value = 0.0;
  d.negative = std::signbit(value) && value != 0.0;
  if (FastDigits(std::fabs(value), significant, d)) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(value));
  // buf = "d.ddddde+XX"
  std::string s(buf);
  size_t e = s.find('e');
  for (size_t k = 0; k < e; ++k) {
    if (s[k] != '.') d.digits += s[k];
  }
  d.exponent = std::atoi(s.c_str() + e + 1);
  if (value == 0.0) d.exponent = 0;
  return d;
}

std::string Fixed(const Decimal& d, int minInt, int decimals) {
  // Place digits on a grid of positions from 10^hi down to 10^-decimals, rounding half away
  // from zero at the last kept position.
  std::string digits = d.digits;
  int exp = d.exponent;
  bool zero = digits.find_first_not_of('0') == std::string::npos;
  if (zero) {
    digits = "0";
    exp = 0;
  }
  // Number of digits kept: those at positions >= -decimals.
  int keep = exp + decimals + 1;
  std::string kept;
  if (keep <= 0) {
    // Everything is below the last kept position; it rounds to 0 or to one unit.
    bool up = keep == 0 && digits[0] >= '5';
    kept = up ? "1" : "0";
    exp = -decimals;  // the single kept digit sits at 10^-decimals
  } else {
    if (static_cast<int>(digits.size()) > keep) {
      bool up = digits[static_cast<size_t>(keep)] >= '5';
      kept = digits.substr(0, static_cast<size_t>(keep));
      if (up) {
        int k = keep - 1;
        while (k >= 0 && kept[static_cast<size_t>(k)] == '9') kept[static_cast<size_t>(k--)] = '0';
        if (k < 0) {
          kept.insert(kept.begin(), '1');
          ++exp;
        } else {
          ++kept[static_cast<size_t>(k)];
        }
      }
    } else {
      kept = digits + std::string(static_cast<size_t>(keep) - digits.size(), '0');
    }
  }
  // kept's first digit is at 10^exp, last at 10^-decimals.
  std::string intPart, fracPart;
  int pos = exp;
  for (char c : kept) {
    if (pos >= 0)
      intPart += c;
    else
      fracPart += c;
    --pos;
  }
  // Leading zero positions of the fraction when exp < -1.
  if (exp < -1) fracPart = std::string(static_cast<size_t>(-exp - 1), '0') + fracPart;
  fracPart.resize(static_cast<size_t>(decimals), '0');
  size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
  if (static_cast<int>(intPart.size()) < minInt) {
    intPart.insert(0, static_cast<size_t>(minInt) - intPart.size(), '0');
  }
  std::string out = d.negative ? "-" : "";
  out += intPart;
  if (decimals > 0) out += "." + fracPart;
  return out;
}

std::string Picture(double value, std::string_view picture, int significant) {
  size_t point = picture.find('.');
  std::string_view intPic = picture.substr(0, point);
  int minInt = 0;
  for (char c : intPic) minInt += c == '0';
  int decimals = 0;
  if (point != std::string_view::npos) {
    for (char c : picture.substr(point + 1)) decimals += (c == '0' || c == '#');
  }
  std::string out;
  if (FastPicture(value, significant, minInt, decimals, out)) return out;
  return Fixed(ToDecimal(value, significant), minInt, decimals);
}

std::string General(double value, int significant) {
  Decimal d = ToDecimal(value, significant);
  std::string digits = d.digits;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  if (digits == "0") return "0";
  std::string out = d.negative ? "-" : "";
  int exp = d.exponent;
  if (exp >= significant || exp < -4) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    char buf[16];
    std::snprintf(buf, sizeof buf, "E%c%02d", exp < 0 ? '-' : '+', exp < 0 ? -exp : exp);
    return out + buf;
  }
  if (exp < 0) {
    out += "0." + std::string(static_cast<size_t>(-exp - 1), '0') + digits;
  } else if (static_cast<int>(digits.size()) <= exp + 1) {
    out += digits + std::string(static_cast<size_t>(exp + 1) - digits.size(), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(exp + 1)) + "." +
           digits.substr(static_cast<size_t>(exp + 1));
  }
  return out;
}

std::string Printed(double value, int significant) {
  std::string g = General(value, significant);
  return (g[0] == '-' ? "" : " ") + g + " ";
}

}  // namespace

std::string FormatPicture(double value, std::string_view picture) {
  return Picture(value, picture, 15);
}
std::string FormatPicture(float value, std::string_view picture) {
  return Picture(value, picture, 7);
}
namespace {

constexpr std::string_view kPictures[] = {"0", "0.0", "0.00", "0.000", "0.0000"};

// `value` (32-bit) in "0.000..." form with `decimals` (0 to 4) decimals at `out`, for
// magnitudes from 1e-6 to 1e15 and zero; returns the end of the text, or nullptr (nothing
// written) for other values.
template <int kDecimals>
char* FixedSinglePicture(char* out, float value) {
  constexpr int decimals = kDecimals;
  const double magnitude = std::fabs(static_cast<double>(value));
  unsigned long long units = 0;  // in units of the last decimal
  if (magnitude != 0.0) {
    if (!(magnitude >= 1e-6 && magnitude < 1e15)) return nullptr;
    // The 7-significant-digit form: `digits` times 10^-places, rounded half to even as
    // printf rounds. 10^places has at most 12 factors of five (28 bits), so with the value's
    // 24 bits the product below is exact and so is the comparison with the half.
    int power = 0;  // of the leading digit
    if (magnitude >= 1.0) {
      // From the binary exponent e: the magnitude lies in [2^e, 2^(e+1)), so its power of ten
      // is floor(e log10 2) (1233 / 4096 is log10 2 close enough for e below 50) or one more.
      std::uint32_t bits;
      std::memcpy(&bits, &value, sizeof bits);
      const int exponent = static_cast<int>(bits >> 23 & 0xFF) - 127;
      power = exponent * 1233 >> 12;
      if (magnitude >= kPow10[power + 1]) ++power;
    } else {
      // Found with exact products, not with the inexact negative powers of ten.
      do {
        if (--power < -6) return nullptr;
      } while (magnitude * kPow10[6 - power] < 1e6);
    }
    const int places = 6 - power;
    unsigned long long digits;
    if (places >= 0) {
      const double scaled = magnitude * kPow10[places];  // below 10^7
      digits = static_cast<unsigned long long>(static_cast<long long>(scaled));  // its floor
      const double fraction = scaled - static_cast<double>(digits);
      if (fraction > 0.5 || (fraction == 0.5 && digits % 2 == 1)) ++digits;
    } else {
      // At 1e7 and beyond a 32-bit value is a whole number below 2^50.
      const auto whole = static_cast<unsigned long long>(magnitude);
      const unsigned long long step = kPowers[-places];
      digits = whole / step;
      const unsigned long long rest = whole % step * 2;
      if (rest > step || (rest == step && digits % 2 == 1)) ++digits;
    }
    if (places > decimals) {
      const unsigned long long step = kPowers[places - decimals];
      units = digits / step + (digits % step * 2 >= step ? 1 : 0);
    } else {
      units = digits * kPowers[decimals - places];  // at most 10^7 * 10^(4 + 8)
    }
  }
  return WriteUnits<kDecimals>(out, value < 0, units, 1);  // the sign of any value but zero
}

char* WriteSinglePicture(char* out, float value, int decimals) {
  switch (decimals) {
    case 0:
      return FixedSinglePicture<0>(out, value);
    case 1:
      return FixedSinglePicture<1>(out, value);
    case 2:
      return FixedSinglePicture<2>(out, value);
    case 3:
      return FixedSinglePicture<3>(out, value);
    default:
      return FixedSinglePicture<4>(out, value);
  }
}

// The same for a 64-bit value (its 15-significant-digit form), up to 1e15.
template <int kDecimals>
char* FixedDoublePicture(char* out, double value) {
  const double magnitude = std::fabs(value);
  const bool negative = std::signbit(value) && value != 0.0;
  // Below 1e9 the scaled value is rounded directly unless it lies near a half: the 15-digit
  // form then differs from the value by at most 5e-7, which is 5e-3 units of the fourth
  // decimal, and the product's own error is about 1e-3 units, so both round alike. Near a
  // half the 15-digit form decides.
  if (magnitude < 1e9) {
    const double scaled = magnitude * kPow10[kDecimals];
    // Below 10^13 the conversion's truncation is the floor, without a call.
    const auto whole = static_cast<long long>(scaled);
    const double fraction = scaled - static_cast<double>(whole);
    if (std::fabs(fraction - 0.5) >= 0.01) {
      const auto units = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
      return WriteUnits<kDecimals>(out, negative, units, 1);
    }
  }
  unsigned long long units;
  if (!std::isfinite(value) || !ScaledUnits(value, 15, kDecimals, units)) return nullptr;
  return WriteUnits<kDecimals>(out, negative, units, 1);
}

char* WriteDoublePicture(char* out, double value, int decimals) {
  switch (decimals) {
    case 0:
      return FixedDoublePicture<0>(out, value);
    case 1:
      return FixedDoublePicture<1>(out, value);
    case 2:
      return FixedDoublePicture<2>(out, value);
    case 3:
      return FixedDoublePicture<3>(out, value);
    default:
      return FixedDoublePicture<4>(out, value);
  }
}

// Appends what `write` gives, or the general picture's text for values it leaves.
template <typename T, typename Write>
bool AppendWith(std::string& out, T value, int decimals, Write write) {
  if (decimals < 0 || decimals > 4) decimals = 0;
  char buf[kPictureRoom];
  if (char* end = write(buf, value, decimals)) {
    out.append(buf, end);
  } else {
    out += FormatPicture(value, kPictures[decimals]);
  }
  return std::isfinite(value);
}

// One bit a byte of a field of up to sixteen bytes: its digits, its points and its zeros.
struct FieldMarks {
  unsigned digits, points, zeros;
};

// The bytes at `p` as a little-endian word of T's size.
template <typename T>
std::uint64_t LoadWord(const char* p) {
  T word;
  std::memcpy(&word, p, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  if constexpr (sizeof word == 8) {
    word = __builtin_bswap64(word);
  } else {
    word = __builtin_bswap32(word);
  }
#endif
  return word;
}

// The field's bytes (1 to 16) in two little-endian words, zeros after them. Read with
// overlapping loads of the field's own bytes, never past its end, and kept in registers: a
// copy into a padded buffer read back at once would wait for its stores to land.
void FieldWords(const char* p, size_t size, std::uint64_t& low, std::uint64_t& high) {
  high = 0;
  if (size >= 8) {
    low = LoadWord<std::uint64_t>(p);
    if (size > 8) high = LoadWord<std::uint64_t>(p + size - 8) >> (8 * (16 - size));
  } else if (size >= 4) {
    low = LoadWord<std::uint32_t>(p) | LoadWord<std::uint32_t>(p + size - 4) << (8 * (size - 4));
  } else {
    auto byte = [p](size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
    low = byte(0) | byte(size / 2) << (8 * (size / 2)) | byte(size - 1) << (8 * (size - 1));
  }
}

// Classifies the field's bytes all at once: loops whose length varies with each number end
// in a mispredicted branch, which costs more than the whole test.
FieldMarks MarkField(const char* field, size_t size) {
  std::uint64_t low, high;
  FieldWords(field, size, low, high);
#if defined(__SSE2__)
  const __m128i b = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
  const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(b, _mm_set1_epi8('0' - 1)),
                                      _mm_cmplt_epi8(b, _mm_set1_epi8('9' + 1)));
  auto bits = [](__m128i m) { return static_cast<unsigned>(_mm_movemask_epi8(m)); };
  return {bits(digit), bits(_mm_cmpeq_epi8(b, _mm_set1_epi8('.'))),
          bits(_mm_cmpeq_epi8(b, _mm_set1_epi8('0')))};
#else
  FieldMarks marks{0, 0, 0};
  for (unsigned i = 0; i < 16; ++i) {
    const auto c = static_cast<char>((i < 8 ? low >> (8 * i) : high >> (8 * (i - 8))) & 0xFF);
    marks.digits |= (c >= '0' && c <= '9' ? 1U : 0U) << i;
    marks.points |= (c == '.' ? 1U : 0U) << i;
    marks.zeros |= (c == '0' ? 1U : 0U) << i;
  }
  return marks;
#endif
}

}  // namespace

char* WriteFieldPicture(char* out, std::string_view field, int decimals) {
  // The plain form: optional sign, digits with at most one point, nothing else.
  const char* const end = field.data() + field.size();
  const char* start = field.data();
  bool negative = false;
  if (start < end && (*start == '-' || *start == '+')) negative = *start++ == '-';
  const auto size = static_cast<size_t>(end - start);
  // At most 15 digits and the point.
  if (size == 0 || size > 16 || decimals < 0 || decimals > 4) return nullptr;
  const FieldMarks marks = MarkField(start, size);
  const unsigned all = (1U << size) - 1;
  if ((marks.digits | marks.points) != all || (marks.points & (marks.points - 1)) != 0)
    return nullptr;
  const bool point = marks.points != 0;
  const size_t pointAt = point ? static_cast<size_t>(__builtin_ctz(marks.points)) : size;
  const char* const wholeEnd = start + pointAt;
  const int fieldDecimals = point ? static_cast<int>(size - pointAt - 1) : 0;
  const size_t count = size - (point ? 1 : 0);  // of digits
  if (count == 0 || count > 15) return nullptr;
  if (fieldDecimals <= decimals && (decimals > 0 || !point)) {
    // Nothing to round: the picture is the field's own text without leading zeros (one
    // whole digit at least) and a "+", and with the decimals it lacks as zeros.
    const auto leadingZeros = static_cast<size_t>(__builtin_ctz(~marks.zeros));
    const char* const from = start + std::min(leadingZeros, pointAt > 0 ? pointAt - 1 : 0);
    char* at = out;
    const bool zero = (marks.digits & ~marks.zeros) == 0;
    if (negative && !zero) *at++ = '-';  // the sign of any value but zero
    if (from == wholeEnd) *at++ = '0';
    const auto copied = static_cast<size_t>(end - from);  // at most 16
    CopyShort(at, from, copied);
    at += copied;
    if (decimals > 0 && !point) *at++ = '.';
    for (int i = fieldDecimals; i < decimals; ++i) *at++ = '0';
    return at;
  }
  // Every digit of the field as one whole number, in units of the last decimal rounded half
  // away from zero.
  unsigned long long digits = 0;
  for (const char* q = start; q < end; ++q) {
    if (*q != '.') digits = digits * 10 + static_cast<unsigned>(*q - '0');
  }
  unsigned long long units;
  if (fieldDecimals > decimals) {
    const unsigned long long step = kPowers[fieldDecimals - decimals];
    units = digits / step + (digits % step >= step / 2 ? 1 : 0);
  } else {
    units = digits * kPowers[decimals - fieldDecimals];
  }
  // The sign of any value but zero, as the picture.
  return WriteUnits(out, negative && digits != 0, units, decimals);
}

bool AppendFieldPicture(std::string& out, std::string_view field, int decimals) {
  char buf[kPictureRoom];
  if (char* end = WriteFieldPicture(buf, field, decimals)) {
    out.append(buf, end);
    return true;
  }
  bool outOfRange = false;
  const double value = LeadingNumber(field, outOfRange);
  out += FormatPicture(value, kPictures[decimals < 0 || decimals > 4 ? 0 : decimals]);
  return !outOfRange;
}

char* WritePicture(char* out, double value, int decimals) {
  if (decimals < 0 || decimals > 4) return nullptr;
  return WriteDoublePicture(out, value, decimals);
}

char* WritePicture(char* out, float value, int decimals) {
  if (decimals < 0 || decimals > 4) return nullptr;
  return WriteSinglePicture(out, value, decimals);
}

bool AppendPicture(std::string& out, double value, int decimals) {
  return AppendWith(out, value, decimals, WriteDoublePicture);
}

bool AppendPicture(std::string& out, float value, int decimals) {
  return AppendWith(out, value, decimals, WriteSinglePicture);
}

std::string GeneralNumber(double value) { return General(value, 15); }
std::string GeneralNumber(float value) { return General(value, 7); }
std::string PrintedNumber(double value) { return Printed(value, 15); }
std::string PrintedNumber(float value) { return Printed(value, 7); }

std::string RightJustify(std::string_view text, size_t width) {
  if (text.size() >= width) return std::string(text.substr(0, width));
  return std::string(width - text.size(), ' ') + std::string(text);
}

}  // namespace korv
