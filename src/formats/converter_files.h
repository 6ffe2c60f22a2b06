// The file side shared by the converters: open the input before the output is touched, refuse
// to write a file onto itself, run the stream-level converter, and report a failed write with
// the file's name and the reason. An append that fails leaves the old file as it was.
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "core/convert_result.h"

namespace korv {

// Fault text of a failed write at stream level; the file level replaces it by one that
// names the file.
constexpr const char* kWriteFault = "Cannot write the output";
// Stream-level failure for a write failure with system error `err` (0 when unknown).
ConvertResult WriteFailure(int err);

using StreamConverter = std::function<ConvertResult(std::istream& in, std::ostream& out)>;

// Opens `inputPath` for reading, then `outputPath` for appending or overwriting, and runs
// `convert` on them. Faults name the file: "Cannot read a.raw: File not found".
ConvertResult ConvertFiles(const std::string& inputPath, const std::string& outputPath,
                           WriteMode mode, const StreamConverter& convert);

}  // namespace korv
