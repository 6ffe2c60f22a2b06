// The SDR-33 writers: RawToSDR turns an instrument raw data file into an SDR-33 file (header,
// station set-ups with coordinates and backsights, target heights, observations, coordinate
// records and notes); CoorToSDR turns a coordinate list into SDR-33 coordinate records.
// Values are copied as the text the instrument wrote; the options only choose the unit and
// correction codes of the header.
#pragma once

#include <ctime>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "core/convert_result.h"
#include "core/text_encoding.h"
#include "formats/sdr_options.h"

namespace korv {

// What one SDR run needs besides its files.
struct SdrRun {
  SdrOptions options;
  std::tm now{};            // the run's local date and time, written into the header
  int coordOrderIndex = 0;  // 0 NEZ (northing first), 1 ENZ
};

// Stream level. `jobName` is the job name of the header ("10NM"), normally the output
// file's name without its folder. RawToSDR reads `in` twice (the first pass finds the
// instrument name), so `in` must be seekable. Output lines end with CR LF. A failed write
// stops the run and returns a fault. Fields are cut to their columns in characters of
// `encoding`, the encoding of the output (the input's).
ConvertResult RawToSDR(std::istream& in, std::ostream& out, std::string_view jobName,
                       const SdrRun& run, TextEncoding encoding = TextEncoding::Windows1252);
ConvertResult CoorToSDR(std::istream& in, std::ostream& out, std::string_view jobName,
                        const SdrRun& run, TextEncoding encoding = TextEncoding::Windows1252);

// Path level: opens the input first (a missing input leaves the output untouched), then
// the output as `mode` says; the job name is the output's file name.
ConvertResult RawToSDR(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                       const SdrRun& run);
ConvertResult CoorToSDR(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const SdrRun& run);

}  // namespace korv
