// Coordinate reference systems, read by PROJ through GDAL: checking what a user typed, and
// the database of known systems for a search by code or name. Points are always handled in
// the traditional GIS axis order (easting or longitude first), set explicitly, never guessed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

// True when `crs` ("EPSG:25832", a WKT or PROJ string) names a coordinate reference system a
// survey's grid can be in; otherwise false with `fault` naming it ("Unknown coordinate
// reference system 'X'"). A system in longitude and latitude is refused: the survey's
// coordinates are metres.
bool CheckCrs(const std::string& crs, std::string& fault);

// What the user sees of a system: "ETRS89 / UTM zone 32N (EPSG:25832)"; for a system without
// an authority code its name alone; `crs` as it is when it does not read.
std::string CrsDisplayName(const std::string& crs);

struct CrsEntry {
  std::string code;  // "EPSG:25832": what CheckCrs and the writers take
  std::string name;  // "ETRS89 / UTM zone 32N"
  bool geographic = false;
};

// The projected and geographic systems of PROJ's database that are not deprecated, by
// authority and code. Read once, on first use.
const std::vector<CrsEntry>& CrsCatalogue();

// The projected entries of the catalogue whose code or name hold every word of `text` (case
// does not matter; "25832", "utm 32n", "epsg:5972"), in catalogue order, at most `limit`.
std::vector<const CrsEntry*> FindCrs(std::string_view text, size_t limit);

}  // namespace korv
