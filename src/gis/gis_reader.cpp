// What the GIS exchange reads without GDAL: which files are GIS point files, the warnings of a
// reading, and the points written as the program's coordinate list.
#include "gis/gis_reader.h"

#include <cmath>
#include <cstdint>
#include <fstream>

#include "core/convert_files.h"
#include "core/coord_order.h"
#include "core/numbers.h"
#include "core/text.h"
#include "core/text_encoding.h"
#include "formats/line_sink.h"

namespace korv {

std::string LowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return ToLowerAscii(path.substr(dot + 1));
}

namespace {

// True when a CSV header field is one the CSV driver takes for X or Y (as the engine opens a
// CSV: kCsvOpenOptions of gis_engine/point_reader.cpp).
bool IsCoordinateColumn(std::string name, bool xAxis) {
  name = ToLowerAscii(StripQuotes(Trim(name)));
  if (xAxis) return name == "x" || name == "e" || StartsWith(name, "east");
  return name == "y" || name == "n" || StartsWith(name, "north");
}

bool CsvNamesCoordinates(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string header;
  if (!std::getline(in, header)) return false;
  // A spreadsheet's "CSV UTF-8" begins with a byte-order mark, which GDAL skips as well.
  if (StartsWith(header, "\xEF\xBB\xBF")) header.erase(0, 3);
  bool x = false, y = false;
  for (size_t start = 0; start <= header.size();) {
    size_t end = header.find_first_of(",;\t\r", start);
    if (end == std::string::npos) end = header.size();
    const std::string field = header.substr(start, end - start);
    x = x || IsCoordinateColumn(field, true);
    y = y || IsCoordinateColumn(field, false);
    if (end == header.size() || header[end] == '\r') break;
    start = end + 1;
  }
  return x && y;
}

// A coordinate with 3 decimals; what rounds to 0 is written "0.000", not "-0.000".
void AppendCoordinate(std::string& out, double value, size_t line, ConvertNotes& notes) {
  if (std::fabs(value) < 0.0005) value = 0;
  if (!AppendPicture(out, value, 3)) notes.OutOfRange(line);
}

// A name or code in the list's Windows-1252. A comma would end its field and shift the
// coordinates into the wrong columns (and to the instrument): each becomes a blank.
std::string ListText(const std::string& utf8, size_t& lost, size_t& commas) {
  std::string text = Utf8ToWindows1252(utf8, &lost);
  for (char& c : text) {
    if (c == ',') {
      c = ' ';
      ++commas;
    }
  }
  return text;
}

ConvertResult WriteCoorList(const GisPoints& points, std::ostream& out, int coordOrderIndex) {
  ConvertResult result;
  const bool nez = coordOrderIndex == CoordOrder::kNEZ;
  size_t lost = 0, commas = 0;
  LineSink sink(out);
  std::string line;
  size_t lineNumber = 0;
  for (const GisPoint& p : points.points) {
    ++lineNumber;
    line = ListText(p.name, lost, commas);
    line += ',';
    AppendCoordinate(line, nez ? p.north : p.east, lineNumber, result.notes);
    line += ',';
    AppendCoordinate(line, nez ? p.east : p.north, lineNumber, result.notes);
    line += ',';
    if (p.hasElevation) AppendCoordinate(line, p.elevation, lineNumber, result.notes);
    line += ',';
    line += ListText(p.code, lost, commas);
    sink.Line(line);
  }
  if (!sink.Finish()) return WriteFailure(sink.error());
  if (commas > 0) {
    result.notes.remarks.push_back(std::to_string(commas) + (commas == 1 ? " comma" : " commas") +
                                   " of the names and codes would split the list's fields and"
                                   " became blanks.");
  }
  if (lost > 0) {
    result.notes.remarks.push_back(std::to_string(lost) +
                                   (lost == 1 ? " character" : " characters") +
                                   " of the names and codes cannot be held in Windows-1252 and"
                                   " became \"?\".");
  }
  return result;
}

}  // namespace

bool IsGisPointFile(const std::string& path) {
  const std::string extension = LowerExtension(path);
  if (extension == "csv") return CsvNamesCoordinates(path);
  for (const char* known : {"gpkg", "geojson", "json", "shp", "kml", "dxf"}) {
    if (extension == known) return true;
  }
  return false;
}
std::vector<std::string> GisWarnings(const GisPoints& points, size_t limit) {
  std::vector<std::string> warnings;
  const size_t all =
      points.otherLayers.size() + points.skipped.size() + points.longNames.size();
  for (const GisSkipped& s : points.skipped) {
    if (warnings.size() == limit) break;
    warnings.push_back("feature " + std::to_string(s.feature) + ": " + s.reason);
  }
  for (const std::string& name : points.longNames) {
    if (warnings.size() == limit) break;
    warnings.push_back(
        "name '" + name + "' is longer than " + std::to_string(kInstrumentNameLength) +
        " characters: the instrument keeps '" +
        std::string(CharPrefix(name, kInstrumentNameLength, TextEncoding::Utf8)) + "'");
  }
  for (const std::string& layer : points.otherLayers) {
    if (warnings.size() == limit) break;
    warnings.push_back("layer '" + layer +
                       "' holds points too and is not read (the layer name of the GIS "
                       "settings, or --layer, chooses the layer)");
  }
  if (all > warnings.size()) {
    warnings.push_back("and " + std::to_string(all - warnings.size()) + " more");
  }
  return warnings;
}

ConvertResult GisToCoor(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const GisSettings& settings, int coordOrderIndex,
                        std::vector<std::string>* warnings) {
  // GDAL reads the file by its name; ConvertFiles then only checks it before the output.
  GisPoints points;
  std::string fault;
  if (!ReadGisPoints(inputPath, settings, points, fault)) return ConvertResult::InputFault(fault);
  ConvertResult result = ConvertFiles(inputPath, outputPath, mode,
                                      [&](std::istream&, std::ostream& out, TextEncoding) {
                                        return WriteCoorList(points, out, coordOrderIndex);
                                      },
                                      InputKind::kAnyBytes);
  if (!result.ok()) return result;
  if (warnings) {
    *warnings = GisWarnings(points, SIZE_MAX);
    warnings->insert(warnings->end(), result.notes.remarks.begin(), result.notes.remarks.end());
  }
  // What was left out first, then what the writing changed.
  std::vector<std::string> remarks;
  if (!points.skipped.empty()) {
    remarks.push_back(std::to_string(points.skipped.size()) +
                      (points.skipped.size() == 1 ? " feature was" : " features were") +
                      " left out:");
  }
  for (std::string& w : GisWarnings(points, kWarningsInNotes)) remarks.push_back(std::move(w));
  remarks.insert(remarks.end(), result.notes.remarks.begin(), result.notes.remarks.end());
  result.notes.remarks = std::move(remarks);
  return result;
}

}  // namespace korv
