// Reading the coordinate list file.
#include "coords/coord_list.h"

#include <utility>

#include "core/text.h"

namespace korv {

int SplitCoordinateLine(std::string_view line, FieldViews& fields, int coordOrderIndex) {
  int count = SplitFieldViews(line, fields);
  if (count > 0 && coordOrderIndex == CoordOrder::kENZ) {
    std::swap(fields[CoordListField::kNorthing], fields[CoordListField::kEasting]);
  }
  return count;
}

bool PlaneCoordinateFields(std::string_view line, int coordOrderIndex, std::string_view& northing,
                           std::string_view& easting) {
  // Each of the first twelve commas ends a field, so four fields are four commas, or three
  // and something other than blanks after the third.
  const char* commas[4];
  const int count = FindCommas(line, commas, 4);
  if (count < 3) return false;
  const char* const p = commas[count - 1] + 1;
  const char* const end = line.data() + line.size();
  if (count == 3 && TrimView(std::string_view(p, static_cast<size_t>(end - p))).empty()) {
    return false;
  }
  auto between = [](const char* a, const char* b) {
    return TrimView(std::string_view(a + 1, static_cast<size_t>(b - a - 1)));
  };
  northing = between(commas[0], commas[1]);
  easting = between(commas[1], commas[2]);
  if (coordOrderIndex == CoordOrder::kENZ) std::swap(northing, easting);
  return true;
}

}  // namespace korv
