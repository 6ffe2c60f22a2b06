// Reading the coordinate list file.
#include "coords/coord_list.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "core/numbers.h"

namespace korv {

int SplitCoordinateLine(std::string& line, FieldArray& fields, int coordOrderIndex) {
  int count = SplitFields(line, fields);
  if (count > 0 && coordOrderIndex == CoordOrder::kENZ) {
    std::swap(fields[CoordListField::kNorthing], fields[CoordListField::kEasting]);
  }
  return count;
}

double CoordinateValue(std::string_view text) {
  // Plain form: optional sign, digits with at most one point, nothing else. from_chars and
  // the general reader both round correctly, so the quick path gives the same value.
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  size_t start = i;
  bool digit = false, point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return LeadingNumber(text);
    }
  }
  if (!digit) return LeadingNumber(text);
  double value = 0.0;
  auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return LeadingNumber(text);
  return text[0] == '-' ? -value : value;
}

}  // namespace korv
