// MAPA 2 writer from raw data (`RawToMAPA`): a comment header, a fixed block of seven number
// lines, then per station a "1 <station> <height>" line, "-1", its observations and a "/"
// line, and a closing "/" and "-2". Station lines carry the code of their point's first
// coded coordinate record, found in a first pass over the input.
#pragma once

#include <ctime>
#include <istream>
#include <ostream>
#include <string>

#include "core/convert_result.h"
#include "core/text_encoding.h"

namespace korv {

// Stream level: reads `in` twice (it must be seekable), from where it stands. `now` is the
// run's local date and time (the header shows its date "dd-mm-yy"). Point names are cut in
// characters of `encoding`, the output's encoding.
ConvertResult RawToMAPA(std::istream& in, std::ostream& out, const std::tm& now,
                        TextEncoding encoding = TextEncoding::Windows1252);

// File level: opens the input, then the output (appending or overwriting), and converts.
ConvertResult RawToMAPA(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const std::tm& now);

}  // namespace korv
