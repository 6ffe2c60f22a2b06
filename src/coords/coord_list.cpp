// Reading the coordinate list file.
#include "coords/coord_list.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/numbers.h"
#include "core/text.h"

namespace korv {

int SplitCoordinateLine(std::string_view line, FieldViews& fields, int coordOrderIndex) {
  int count = SplitFieldViews(line, fields);
  if (count > 0 && coordOrderIndex == CoordOrder::kENZ) {
    std::swap(fields[CoordListField::kNorthing], fields[CoordListField::kEasting]);
  }
  return count;
}

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Any number of digits with at most one point, beyond the quick path of CoordinateValue.
double LongCoordinateValue(std::string_view text, bool& outOfRange) {
  // Up to 15 significant digits form an exact whole number and the power of ten is exact, so
  // one division rounds correctly, as the general reader does; longer numbers go to
  // from_chars, which also rounds correctly.
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const size_t start = i;
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      if (mantissa != 0 || c != '0') ++digits;
      mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
      decimals += point;
      if (digits > 15) break;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return LeadingNumber(text, outOfRange);
    }
  }
  if (i - start == static_cast<size_t>(point)) return LeadingNumber(text, outOfRange);  // no digit
  double value;
  if (digits <= 15) {
    if (decimals > 22) return LeadingNumber(text, outOfRange);
    value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  } else {
    auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return LeadingNumber(text, outOfRange);
  }
  return negative ? -value : value;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double CoordinateValue(std::string_view text, bool& outOfRange) {
  // Quick path for the plain form of nearly every coordinate: optional sign, at most 15
  // digits in all with at most one point. The digits form an exact whole number and the
  // power of ten is exact, so one division rounds correctly, as the general reader does.
  const char* p = text.data();
  const char* const end = p + text.size();
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  const char* const start = p;
  std::uint64_t mantissa = 0;
  for (; p < end && IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
  const bool point = p < end && *p == '.';
  int decimals = 0;
  if (point) {
    const char* const first = ++p;
    for (; p < end && IsDigit(*p); ++p) {
      mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    }
    decimals = static_cast<int>(p - first);
  }
  const size_t digits = static_cast<size_t>(p - start) - (point ? 1 : 0);
  if (p != end || digits == 0 || digits > 15) return LongCoordinateValue(text, outOfRange);
  const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  return negative ? -value : value;
}

}  // namespace korv
