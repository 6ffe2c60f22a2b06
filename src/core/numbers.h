// Number reading and formatting shared by every writer: the leading-number rule, the
// picture formats ("##0.000", "0.0000", "#0", ...), the general number form, and the
// rounding rules. The decimal mark is "." on every locale.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace korv {

// Value of the number at the start of `text`. Blanks, tabs, CR and LF are ignored wherever
// they stand; an optional sign, digits, "." as decimal point and an exponent ("E" or "D")
// are read; reading stops at the first other character; no number gives 0.
double LeadingNumber(std::string_view text);
// The same, and `outOfRange` set when the text holds a number beyond the 64-bit range (which
// reads as 0).
double LeadingNumber(std::string_view text, bool& outOfRange);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// Rounds a 64-bit value to the 32-bit value the formats hold (single precision). A value
// beyond the 32-bit range becomes an infinity (a plain cast would be undefined behaviour),
// which the pictures write as 0.
inline float ToSingle(double value) {
  constexpr double kMax = static_cast<double>(std::numeric_limits<float>::max());
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

// The 32-bit value of a field as the formats hold it; `outOfRange` is set when the field's
// number does not fit in 32 or 64 bits (it is then written as 0).
inline float SingleField(std::string_view field, bool& outOfRange) {
  const float value = ToSingle(LeadingNumber(field, outOfRange));
  if (value - value != 0) outOfRange = true;  // an infinity
  return value;
}

// Formats `value` with a picture such as "##0.000", "0.0000" or "#0": at least as many
// integer digits as the picture has "0"s before the point, exactly as many decimals as it
// has after it. The value's decimal form (15 significant digits) is rounded half away from
// zero; negative values get a leading "-".
std::string FormatPicture(double value, std::string_view picture);
// The same for a 32-bit value, whose decimal form has 7 significant digits.
std::string FormatPicture(float value, std::string_view picture);

// Appends FormatPicture(LeadingNumber(field), picture) for the picture "0.000..." with one
// integer "0" and `decimals` (0 to 4) decimals. A field that is a plain decimal number of at
// most 15 digits is rounded in its own digits, which are exactly its value's 15-digit form,
// without reading or formatting a double; anything else takes the general path. False when the
// field's number is beyond the 64-bit range (written as 0).
bool AppendFieldPicture(std::string& out, std::string_view field, int decimals);

// The same written at `out` (kPictureRoom bytes) for the plain decimal field of at most 15
// digits; returns the end of the text, or nullptr, writing nothing, for any other field (left
// to AppendFieldPicture).
char* WriteFieldPicture(char* out, std::string_view field, int decimals);

// The fixed-point pictures "0", "0.0", ... "0.0000" (one integer "0" and `decimals`, 0 to 4,
// decimals) of the writers' millions of numbers, built in whole numbers instead of through the
// general path; each gives exactly what FormatPicture gives.

// Room WritePicture needs at `out`: the longest text it writes.
inline constexpr size_t kPictureRoom = 32;

// Writes the picture of `value` (64-bit: its 15-significant-digit form) at `out` and returns
// the end of the text. Returns nullptr, writing nothing, for what it leaves to FormatPicture:
// magnitudes of 1e15 and beyond, infinities and NaN, `decimals` outside 0 to 4.
char* WritePicture(char* out, double value, int decimals);
// The same for a 32-bit value (its 7-significant-digit form); it also leaves magnitudes below
// 1e-6 (but not zero) to FormatPicture.
char* WritePicture(char* out, float value, int decimals);

// Appends the picture of any value. False for an infinity or NaN (written as 0).
bool AppendPicture(std::string& out, double value, int decimals);
bool AppendPicture(std::string& out, float value, int decimals);

// Shortest decimal form with up to 15 (64-bit) or 7 (32-bit) significant digits, "0" before
// a leading point, exponent form ("1.5E+16", "1E-05") for very large or small values.
std::string GeneralNumber(double value);
std::string GeneralNumber(float value);

// The general number form as a printed field: one leading blank when the value is not
// negative, and one trailing blank (" 8.25 ", "-3 ").
std::string PrintedNumber(double value);
std::string PrintedNumber(float value);

// `text` right-justified in a field of `width` characters; a longer text keeps its
// leftmost `width` characters.
std::string RightJustify(std::string_view text, size_t width);

}  // namespace korv
