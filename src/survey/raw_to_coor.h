// Raw data to a coordinate list: every point of the file once, its coordinate records and the
// points its observations reduce to, in the program's coordinate list layout (name, first,
// second coordinate, elevation, code). The coordinate targets (DXF, KOF, ...) then take the
// computed points from that list.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "core/convert_result.h"
#include "survey/survey.h"

namespace korv {

// The points a survey's outputs hold, as indices into survey.points: every name once, its
// first value, coordinate records and reduced points merged in line order.
std::vector<uint32_t> WrittenPoints(const Survey& survey);

// Notes the lines whose points those outputs do not hold: lines not understood, observations
// that gave no point, and later values of a name that differ from the first.
void NoteLeftOut(const Survey& survey, ConvertNotes& notes);

// Reads the raw data of `in` (its coordinate records in `coordOrderIndex` unless the file
// declares its own order), reduces it with `options` and writes one line per point name, the
// first value of a name, in line order: name, the plane coordinates in `coordOrderIndex` and
// the elevation with 3 decimals (empty when unknown), code; CR LF. A line not understood and an
// observation that gives no point are left out and named in the notes.
ConvertResult RawToCoor(std::istream& in, std::ostream& out, const ReductionOptions& options,
                        int coordOrderIndex);
// The same from file to file, through ConvertFiles (`mode` appends or replaces).
ConvertResult RawToCoor(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const ReductionOptions& options, int coordOrderIndex);

}  // namespace korv
