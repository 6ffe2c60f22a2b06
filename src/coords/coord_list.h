// The coordinate list file as the instrument delivers it: one point per line, comma-separated
// name, two plane coordinates in the order of the coordinate order setting, elevation, code.
#pragma once

#include <string>
#include <string_view>

#include "core/text.h"

namespace korv {

// The coordinate order setting (`CoordOrderIndex`): which plane coordinate comes first.
namespace CoordOrder {
constexpr int kNEZ = 0;  // northing, easting, elevation
constexpr int kENZ = 1;  // easting, northing, elevation
}  // namespace CoordOrder

// Field numbers of a coordinate list line once its plane coordinates are in NEZ order.
namespace CoordListField {
constexpr size_t kName = 1;
constexpr size_t kNorthing = 2;
constexpr size_t kEasting = 3;
constexpr size_t kElevation = 4;
constexpr size_t kCode = 5;
}  // namespace CoordListField

// Splits one line with SplitFields (the line is trimmed in place) and, for the ENZ order,
// exchanges fields 2 and 3, so that field 2 holds the northing and field 3 the easting.
// Returns the field count; 0 for a blank line.
int SplitCoordinateLine(std::string& line, FieldArray& fields, int coordOrderIndex);

// The leading-number reading of a field (as LeadingNumber), with a quick path for the plain
// decimal numbers that make up nearly every coordinate list.
double CoordinateValue(std::string_view text);

}  // namespace korv
