// KOF writers: raw data to KOF (`RawToKOF`) and coordinate lists to KOF (`CoorToKOF`), with
// the point-number conversion (a table of two-digit prefixes read from a file) and the code
// conversion (a code's "-suffix" written as an extra " 09 " line) they share.
//
// KOF lines are fixed-column text: " 00 " comment, " 01" header, " 02 " station, " 03 "
// observation and backsight, " 05 " coordinate, " 09 " extra code.
#pragma once

#include <array>
#include <istream>
#include <ostream>
#include <string>

#include "core/convert_result.h"
#include "core/reporter.h"
#include "core/text_encoding.h"
#include "formats/kof_options.h"

namespace korv {

// Replacement texts of two-digit point-number prefixes, entries 0..199 (200 stays empty).
// The window program keeps one table for its whole run: a missing file leaves the entries of
// an earlier load in place.
struct PointConversion {
  std::array<std::string, 201> entries;
};

// Reads `options.pointFile` into `table` (lines "12=NORTH"). Returns "" when the file was
// read and "E" otherwise; a named file that is missing or shorter than 4 bytes is reported
// ("<file> not found", title "Load <file>", exclamation).
std::string LoadPointConversion(const KofOptions& options, PointConversion& table,
                                Reporter& reporter);

// Trims `name` and replaces its first two characters by the table's entry for their value
// (0..99) when there is one: with entry 12 = "N", "123" becomes "N3".
void ConvertPointNumber(std::string& name, const PointConversion& table,
                        TextEncoding encoding = TextEncoding::Windows1252);

// Splits `code` at its last "-": "AB-12-3" gives code "AB-12" and suffix "3". Without a
// "-" the code stays and the suffix is empty.
void SplitCodeSuffix(std::string& code, std::string& suffix);

// Stream level. `coordOrderIndex` is the coordinate order setting (0 NEZ, 1 ENZ). Lines end
// with CR LF. Names and codes are cut to their columns in characters of `encoding`, the
// output's encoding, and the header texts are converted to it. The only fault is a failed
// write; values that do not fit are noted in the result.
ConvertResult RawToKOF(std::istream& in, std::ostream& out, const KofOptions& options,
                       int coordOrderIndex, const PointConversion& table,
                       TextEncoding encoding = TextEncoding::Windows1252);
ConvertResult CoorToKOF(std::istream& in, std::ostream& out, const KofOptions& options,
                        int coordOrderIndex, const PointConversion& table,
                        TextEncoding encoding = TextEncoding::Windows1252);

// File level: loads the point-number conversion file into `table` when that conversion is
// on, opens the input, then the output (appending or overwriting), and converts.
ConvertResult RawToKOF(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                       const KofOptions& options, int coordOrderIndex, PointConversion& table,
                       Reporter& reporter);
ConvertResult CoorToKOF(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const KofOptions& options, int coordOrderIndex, PointConversion& table,
                        Reporter& reporter);

}  // namespace korv
