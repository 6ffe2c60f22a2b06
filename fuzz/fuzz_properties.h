// What every fuzz target checks about text it was given and text the program wrote: whole
// CR LF lines, columns counted in characters, and the failure report. A failed check prints
// the property and the text it failed on and aborts, so libFuzzer keeps the input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/key_store.h"

namespace korv::fuzz {

// `text` with control characters and bytes above 0x7E escaped, cut to a readable length.
inline std::string Escaped(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size() && i < 400; ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (text.size() > 400) out += "...";
  return out;
}

[[noreturn]] inline void Fail(const char* property, std::string_view detail) {
  std::fprintf(stderr, "\nProperty failed: %s\n  at: \"%s\"\n", property, Escaped(detail).c_str());
  std::abort();
}

inline void Check(bool holds, const char* property, std::string_view detail = {}) {
  if (!holds) Fail(property, detail);
}

// Splits what a writer produced into its lines, checking that it is whole CR LF lines: it
// ends with CR LF (or is empty) and no line holds a CR or an LF.
inline std::vector<std::string_view> WholeLines(std::string_view out) {
  std::vector<std::string_view> lines;
  if (out.empty()) return lines;
  Check(out.size() >= 2 && out.substr(out.size() - 2) == "\r\n", "output ends with CR LF",
        out.substr(out.size() < 80 ? 0 : out.size() - 80));
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find("\r\n", start);
    std::string_view line = out.substr(start, end - start);
    Check(line.find('\n') == std::string_view::npos, "no LF inside an output line", line);
    Check(line.find('\r') == std::string_view::npos, "no lone CR inside an output line", line);
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

// How many characters `text` holds: code points of UTF-8 text, bytes otherwise.
struct Columns {
  bool utf8 = false;

  // The encoding the output of `input` is in: UTF-8 when the input is UTF-8 with non-ASCII
  // text, else Windows-1252.
  // A leading byte-order mark is skipped, not counted as text.
  static Columns For(std::string_view input) {
    if (input.substr(0, 3) == "\xEF\xBB\xBF") input.remove_prefix(3);
    return Columns{IsValidUtf8(input) && HasNonAscii(input)};
  }

  size_t Count(std::string_view text) const {
    if (!utf8) return text.size();
    size_t n = 0;
    for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
  }
  // Byte offset of character `index` (0-based), or the size when the text is shorter.
  size_t Offset(std::string_view text, size_t index) const {
    if (!utf8) return index < text.size() ? index : text.size();
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
      if (n++ == index) return i;
    }
    return text.size();
  }
  // Characters `from` to `to` (1-based, inclusive) of `line`; shorter near its end.
  std::string_view Cut(std::string_view line, size_t from, size_t to) const {
    size_t b = Offset(line, from - 1), e = Offset(line, to);
    return line.substr(b, e - b);
  }
  // The first `n` characters.
  std::string_view First(std::string_view text, size_t n) const {
    return text.substr(0, Offset(text, n));
  }
  // A program text (UTF-8) as the output holds it: in Windows-1252 unless the output is UTF-8.
  std::string Text(std::string_view text) const {
    return utf8 ? std::string(text) : Utf8ToWindows1252(text);
  }
};

// Checks the output is in the encoding the columns were counted in: text from UTF-8 input
// must stay UTF-8 (no character cut in half).
inline void CheckEncoding(const Columns& columns, std::string_view out) {
  if (columns.utf8) Check(IsValidUtf8(out), "output of UTF-8 input is UTF-8", out);
}

// A right-justified number field: blanks, then an optional "-" and digits with at most one
// point (possibly cut on the right), and nothing else.
inline bool IsNumberField(std::string_view field) {
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  if (i < field.size() && field[i] == '-') ++i;
  size_t digits = 0;
  bool point = false;
  for (; i < field.size(); ++i) {
    if (field[i] >= '0' && field[i] <= '9') {
      ++digits;
    } else if (field[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits > 0;
}

// The same document with every LF that has no CR before it made CR LF. Its lines are the
// same under every line rule, so a converter must write the same output for both.
inline std::string LfToCrLf(std::string_view doc) {
  std::string out;
  out.reserve(doc.size() + doc.size() / 8);
  for (size_t i = 0; i < doc.size(); ++i) {
    if (doc[i] == '\n' && (i == 0 || doc[i - 1] != '\r')) out += '\r';
    out += doc[i];
  }
  return out;
}

// A lone CR ends a line as CR LF does.
inline std::string LoneCrToCrLf(std::string_view doc) {
  std::string out;
  out.reserve(doc.size() + doc.size() / 8);
  for (size_t i = 0; i < doc.size(); ++i) {
    out += doc[i];
    if (doc[i] == '\r' && (i + 1 == doc.size() || doc[i + 1] != '\n')) out += '\n';
  }
  return out;
}

// The lines a reader finds in `doc`, without their ends: CR LF, LF and a lone CR all end a
// line, and a leading UTF-8 byte-order mark is skipped.
inline std::vector<std::string_view> InputLines(std::string_view doc) {
  std::vector<std::string_view> lines;
  if (doc.substr(0, 3) == "\xEF\xBB\xBF") doc.remove_prefix(3);
  size_t start = 0;
  while (start < doc.size()) {
    size_t end = doc.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = doc.size();
    std::string_view line = doc.substr(start, end - start);
    size_t next = end + 1;
    if (end + 1 < doc.size() && doc[end] == '\r' && doc[end + 1] == '\n') ++next;
    lines.push_back(line);
    start = next;
  }
  return lines;
}

// The same lines ended by LF, by CR LF or by a lone CR, or behind a byte-order mark, give the
// same output `out` as `doc` did through `convert`.
template <typename Convert>
void CheckLineEndsDoNotMatter(const Convert& convert, const std::string& doc,
                              const std::string& out) {
  Check(convert(LfToCrLf(doc)) == out, "LF and CR LF line ends give the same output", doc);
  Check(convert(LoneCrToCrLf(doc)) == out, "a lone CR ends a line as CR LF does", doc);
  // One mark at the start is skipped (a second one is text).
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (IsValidUtf8(doc) && doc.substr(0, 3) != kBom) {
    Check(convert(std::string(kBom) + doc) == out, "a byte-order mark is skipped", doc);
  }
}

// Texts a settings file or a dialog may hand a writer: UTF-8 without line ends, short and
// long, blank, with multi-byte characters.
inline std::string PickText(FuzzedDataProvider& fdp) {
  static const char* const kTexts[] = {"",
                                       "   ",
                                       "JOB01",
                                       "Road 7",
                                       "a text longer than any field it goes in",
                                       "\xC3\x86r\xC3\xB8-Vej 12 \xC3\xB8stre",  // Ærø-Vej 12 østre
                                       "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC",  // three euro signs
                                       "\tTAB",
                                       "dd.mm.yy",
                                       "N"};
  return kTexts[fdp.ConsumeIntegralInRange<size_t>(0, std::size(kTexts) - 1)];
}

}  // namespace korv::fuzz
