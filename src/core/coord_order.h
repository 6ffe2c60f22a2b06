// The coordinate order setting (`CoordOrderIndex`, key "StCombCoord0"): which plane coordinate
// a coordinate list holds first. Every reader and writer of plane coordinates takes it.
#pragma once

#include "core/key_store.h"

namespace korv {

namespace CoordOrder {
constexpr int kNEZ = 0;  // northing, easting, elevation
constexpr int kENZ = 1;  // easting, northing, elevation
}  // namespace CoordOrder

// The order a settings file holds: ENZ when "StCombCoord0" of "[Default]" reads as 1, NEZ for
// anything else (no key, no settings file, a value the list does not have).
int StoredCoordOrder(const IniFile& ini);

}  // namespace korv
