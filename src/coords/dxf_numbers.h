// The DXF coordinate picture "0.0000" written straight into an output buffer. Gives exactly
// what FormatPicture(value, "0.0000") gives, without its temporary strings, for the millions
// of coordinates of a large drawing.
#pragma once

#include <string>

namespace korv {

// Appends `value` (64-bit: its 15-significant-digit decimal form) rounded half away from
// zero to four decimals.
void AppendFixed4(std::string& out, double value);
// The same for a 32-bit value (its 7-significant-digit decimal form).
void AppendFixed4(std::string& out, float value);

}  // namespace korv
