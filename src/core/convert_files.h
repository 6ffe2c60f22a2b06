// The file side of every conversion: the input is opened and found readable before the output
// is touched, a file is never converted onto itself, the output ends complete or as it was
// (see OutputFile), the output's encoding is chosen from the input (lines added to a file go in
// the encoding its text is in already), and faults name the file.
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "core/convert_result.h"
#include "core/text_encoding.h"

namespace korv {

// Fault text of a failed write at stream level; the file level replaces it by one that names
// the file.
constexpr const char* kWriteFault = "Cannot write the output";
// Stream-level failure for a write failure with system error `err` (0 when unknown).
ConvertResult WriteFailure(int err);

// A stream-level converter. `in` can be read twice (seek back to where it stood); `encoding`
// is the encoding the output is to be written in.
using StreamConverter =
    std::function<ConvertResult(std::istream& in, std::ostream& out, TextEncoding encoding)>;

// What a conversion reads: survey data's text lines (UTF-16 text, binary data and
// semicolon-separated lists are refused before the output is touched), or any bytes (received
// data kept as it came; a file another library reads).
enum class InputKind { kText, kAnyBytes };

// Opens `inputPath`, then `outputPath` for appending or overwriting, and runs `convert` on
// them. Faults name the file: "Cannot read a.raw: File not found", "Cannot write b.kof: it is
// the input file", "Cannot convert c.asc: it holds binary data, ...".
ConvertResult ConvertFiles(const std::string& inputPath, const std::string& outputPath,
                           WriteMode mode, const StreamConverter& convert,
                           InputKind kind = InputKind::kText);

// Copies the input's bytes as they are (storing received data in a new file).
ConvertResult CopyFile(const std::string& inputPath, const std::string& outputPath,
                       WriteMode mode);
// Copies the input's lines, each ended by CR LF (received data added to a file, or kept).
ConvertResult CopyLines(const std::string& inputPath, const std::string& outputPath,
                        WriteMode mode);

}  // namespace korv
