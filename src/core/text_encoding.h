// Text encodings of the files the program reads and writes: the settings file and the data
// files are UTF-8 or Windows-1252 (the instrument's and the office programs' single-byte code
// page). Texts inside the program are UTF-8. An output file is written in one encoding, and
// its fixed-width fields count characters of that encoding, never bytes.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace korv {

enum class TextEncoding { Windows1252, Utf8 };

bool IsValidUtf8(std::string_view bytes);
// True when `bytes` hold a byte above 0x7F.
bool HasNonAscii(std::string_view bytes);
std::string Windows1252ToUtf8(std::string_view bytes);
// Characters the code page cannot hold become "?"; `unrepresentable`, when given, is
// increased by their number.
std::string Utf8ToWindows1252(std::string_view text, size_t* unrepresentable = nullptr);

// A text file whose lines may differ in encoding (a UTF-8 settings file that another program
// saved one Windows-1252 byte into): each line, up to and with its '\n', is read as UTF-8 when
// it is valid UTF-8 and as Windows-1252 otherwise, so one stray byte garbles one line only.
std::string LinesToUtf8(std::string_view bytes);
// The encoding new or changed lines of such a file are written in: Windows-1252 when more of
// its non-ASCII lines are Windows-1252 than UTF-8, otherwise UTF-8.
TextEncoding LinesEncoding(std::string_view bytes);

// The encoding of an output file written from `in`: UTF-8 when the input is valid UTF-8 that
// holds non-ASCII text, else Windows-1252 (bytes are then copied as they are). Reads `in` to
// its end and puts it back where it was; a stream that cannot seek gives Windows-1252.
TextEncoding OutputEncodingOf(std::istream& in);
// The encoding the text at `in` is in: nullopt when it is plain ASCII (any encoding holds it),
// UTF-8 when it is valid UTF-8, else Windows-1252 (also for a stream that cannot seek). Reads
// `in` to its end and puts it back where it was.
std::optional<TextEncoding> TextEncodingOf(std::istream& in);

// A text from inside the program (UTF-8; any other bytes are taken as Windows-1252) in
// `encoding`.
std::string ToEncoding(std::string_view text, TextEncoding encoding,
                       size_t* unrepresentable = nullptr);

// Byte length of the first `chars` characters of `text` (all of it when shorter). A UTF-8
// character is one code point; a byte that starts no valid sequence counts as one.
inline size_t CharPrefixLength(std::string_view text, size_t chars, TextEncoding encoding) {
  // Never more characters than bytes, so a short text is whole in either encoding.
  if (encoding == TextEncoding::Windows1252 || text.size() <= chars) {
    return text.size() < chars ? text.size() : chars;
  }
  size_t i = 0;
  for (size_t n = 0; n < chars && i < text.size(); ++n) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

// Number of characters of `text` in `encoding`.
inline size_t CharCount(std::string_view text, TextEncoding encoding) {
  if (encoding == TextEncoding::Windows1252) return text.size();
  size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The first `chars` characters of `text`.
inline std::string_view CharPrefix(std::string_view text, size_t chars, TextEncoding encoding) {
  return text.substr(0, CharPrefixLength(text, chars, encoding));
}

// The last `chars` characters of `text`.
std::string_view CharSuffix(std::string_view text, size_t chars, TextEncoding encoding);

}  // namespace korv
