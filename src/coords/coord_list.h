// The coordinate list file as the instrument delivers it: one point per line, comma-separated
// name, two plane coordinates in the order of the coordinate order setting, elevation, code.
// The readers here work on views into a block buffer, as the writers of large drawings need.
#pragma once

#include <string>
#include <string_view>

#include "core/coord_order.h"
#include "core/text.h"  // FieldViews, SplitFieldViews

namespace korv {

// Field numbers of a coordinate list line once its plane coordinates are in NEZ order.
namespace CoordListField {
constexpr size_t kName = 1;
constexpr size_t kNorthing = 2;
constexpr size_t kEasting = 3;
constexpr size_t kElevation = 4;
constexpr size_t kCode = 5;
}  // namespace CoordListField

// Splits one line and, for the ENZ order, exchanges fields 2 and 3, so that field 2 holds
// the northing and field 3 the easting. Returns the field count; 0 for a blank line.
int SplitCoordinateLine(std::string_view line, FieldViews& fields, int coordOrderIndex);

// The northing and easting fields of a line as SplitCoordinateLine gives them, when the line
// has at least four fields (false otherwise), found without splitting the rest of the line.
bool PlaneCoordinateFields(std::string_view line, int coordOrderIndex, std::string_view& northing,
                           std::string_view& easting);

}  // namespace korv
