// Opening a converter's input with a clear fault when it cannot be read.
#pragma once

#include <fstream>
#include <string>

#include "core/convert_result.h"

namespace korv {

// Opens `path` for reading in binary mode; a missing file, a folder or a file that may not be
// read gives a fault naming the file and the reason.
ConvertResult OpenInputFile(std::ifstream& file, const std::string& path);

// "Cannot read <path>: <reason>" with the reason taken from errno.
std::string ReadFault(const std::string& path);

}  // namespace korv
