// The user-defined coordinate file: one line of five chosen values per point, joined by one
// comma or one blank (`CoorToCoordinates`).
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "core/convert_result.h"
#include "core/coord_field_options.h"

namespace korv {

// Converts a coordinate list read from `in`. Every non-blank line gives one output line of
// the five values `fields.fields` names (missing fields give empty values), joined by
// `separator` and ended by CR LF. Fails only when reading or writing fails.
ConvertResult CoorToCoordinates(std::istream& in, std::ostream& out,
                                const CoordFieldOptions& fields, FieldSeparator separator,
                                int coordOrderIndex);

// The same from file to file. The input is opened first: when it cannot be read the output
// is not touched. `mode` appends to or replaces the output; a failed conversion leaves the
// output as it was before.
ConvertResult CoorToCoordinates(const std::string& inputPath, const std::string& outputPath,
                                WriteMode mode, const CoordFieldOptions& fields,
                                FieldSeparator separator, int coordOrderIndex);

}  // namespace korv
