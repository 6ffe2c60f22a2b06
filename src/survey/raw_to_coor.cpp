// The raw data to coordinate list conversion.
#include "survey/raw_to_coor.h"

#include <algorithm>
#include <cmath>

#include "core/convert_files.h"
#include "core/coord_order.h"
#include "core/numbers.h"
#include "formats/line_sink.h"

namespace korv {

namespace {

// A coordinate with 3 decimals; what rounds to 0 is written "0.000", not "-0.000".
void AppendCoordinate(std::string& out, double value, size_t line, ConvertNotes& notes) {
  if (std::fabs(value) < 0.0005) value = 0;
  if (!AppendPicture(out, value, 3)) notes.OutOfRange(line);
}

}  // namespace

void NoteLeftOut(const Survey& s, ConvertNotes& notes) {
  std::vector<uint32_t> lines;
  for (const LineProblem& p : s.problems) lines.push_back(p.line);
  for (const Unreduced& u : s.unreduced) lines.push_back(s.observations[u.observation].line);
  for (const NameConflict& c : s.conflicts) lines.push_back(s.points[c.later].line);
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  for (uint32_t line : lines) notes.LeftOut(line);
}

std::vector<uint32_t> WrittenPoints(const Survey& s) {
  // Records and reduced points are each in line order: merged, they are the file's order.
  const uint32_t records = s.recordPoints, all = static_cast<uint32_t>(s.points.size());
  std::vector<uint32_t> written;
  written.reserve(all);
  for (uint32_t r = 0, c = records; r < records || c < all;) {
    const bool record = c == all || (r < records && s.points[r].line < s.points[c].line);
    const uint32_t i = record ? r++ : c++;
    if (!s.points[i].repeated) written.push_back(i);
  }
  return written;
}

ConvertResult RawToCoor(std::istream& in, std::ostream& out, const ReductionOptions& options,
                        int coordOrderIndex) {
  Survey s;
  s.angleUnit = options.angleUnit;
  if (!ReadRawSurvey(in, coordOrderIndex, s)) {
    return ConvertResult::InputFault("Cannot read the raw data");
  }
  Reduce(s, options);
  ConvertResult result;
  NoteLeftOut(s, result.notes);
  const bool nez = coordOrderIndex == CoordOrder::kNEZ;
  LineSink sink(out);
  std::string line;
  for (uint32_t i : WrittenPoints(s)) {
    const Point& p = s.points[i];
    line.assign(s.Text(p.name));
    line += ',';
    AppendCoordinate(line, nez ? p.north : p.east, p.line, result.notes);
    line += ',';
    AppendCoordinate(line, nez ? p.east : p.north, p.line, result.notes);
    line += ',';
    if (p.hasElevation) AppendCoordinate(line, p.elevation, p.line, result.notes);
    line += ',';
    line += s.Text(p.code);
    sink.Line(line);
  }
  if (!sink.Finish()) return WriteFailure(sink.error());
  return result;
}

ConvertResult RawToCoor(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const ReductionOptions& options, int coordOrderIndex) {
  // Names and codes are copied as they are, so the output keeps the input's encoding.
  return ConvertFiles(inputPath, outputPath, mode,
                      [&](std::istream& in, std::ostream& out, TextEncoding) {
                        return RawToCoor(in, out, options, coordOrderIndex);
                      });
}

}  // namespace korv
