// The DXF coordinate picture "0.0000" written straight into an output buffer. Gives exactly
// what FormatPicture(value, "0.0000") gives, without its temporary strings, for the millions
// of coordinates of a large drawing.
#pragma once

#include <cstddef>
#include <string>

namespace korv {

// Room WriteFixed4 needs at `out`: the longest text it writes.
inline constexpr size_t kFixed4Room = 32;

// Writes `value` (64-bit: its 15-significant-digit decimal form) rounded half away from zero
// to four decimals at `out` and returns the end of the text. Returns nullptr, writing
// nothing, for values beyond 1e20 and non-finite ones, which need AppendFixed4.
char* WriteFixed4(char* out, double value);
// The same for a 32-bit value (its 7-significant-digit decimal form).
char* WriteFixed4(char* out, float value);

// The same appended to `out`, for any value.
void AppendFixed4(std::string& out, double value);
void AppendFixed4(std::string& out, float value);

}  // namespace korv
