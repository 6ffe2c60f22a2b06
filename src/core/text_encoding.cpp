// Text encodings: UTF-8 checks, Windows-1252 conversions and character-counted cuts.
#include "core/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace korv {

namespace {

// Windows-1252 bytes 0x80..0x9F as Unicode code points; the five unassigned bytes map to the
// C1 control of the same number so that every byte survives a round trip.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `i` of valid UTF-8 text; advances `i`.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (int k = 1; k < len && i + static_cast<size_t>(k) < s.size(); ++k) {
    cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0x3F);
  }
  i += static_cast<size_t>(len);
  return cp;
}

}  // namespace

namespace {
// True when the eight bytes at `p` are all ASCII.
inline bool AsciiWord(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return (w & 0x8080808080808080ull) == 0;
}
}  // namespace

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    if (i + 8 <= s.size() && AsciiWord(s.data() + i)) {
      i += 8;
      continue;
    }
    auto b = static_cast<unsigned char>(s[i]);
    size_t len;
    char32_t min;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4, min = 0x10000;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    char32_t cp = b & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
      auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

bool HasNonAscii(std::string_view bytes) {
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    if (!AsciiWord(bytes.data() + i)) return true;
  }
  for (char c : bytes.substr(i)) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else if (b < 0xA0) {
      AppendUtf8(out, kCp1252High[b - 0x80]);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

std::string Utf8ToWindows1252(std::string_view text, size_t* unrepresentable) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t cp = NextCodePoint(text, i);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k) {
      if (kCp1252High[k] == cp) mapped = static_cast<char>(0x80 + k);
    }
    if (mapped == '?' && unrepresentable) ++*unrepresentable;
    out += mapped;
  }
  return out;
}

namespace {

// Calls `line` with each line of `bytes`, its '\n' included.
template <typename LineFunction>
void ForEachLine(std::string_view bytes, LineFunction line) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t nl = bytes.find('\n', pos);
    const size_t end = nl == std::string_view::npos ? bytes.size() : nl + 1;
    line(bytes.substr(pos, end - pos));
    pos = end;
  }
}

}  // namespace

std::string LinesToUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  ForEachLine(bytes, [&out](std::string_view line) {
    if (IsValidUtf8(line)) {
      out += line;
    } else {
      out += Windows1252ToUtf8(line);
    }
  });
  return out;
}

TextEncoding LinesEncoding(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return TextEncoding::Utf8;
  size_t utf8 = 0, cp1252 = 0;
  ForEachLine(bytes, [&](std::string_view line) {
    if (!HasNonAscii(line)) return;
    ++(IsValidUtf8(line) ? utf8 : cp1252);
  });
  return cp1252 > utf8 ? TextEncoding::Windows1252 : TextEncoding::Utf8;
}

namespace {

// Where an unfinished UTF-8 sequence at the end of `data` starts; data.size() when the data
// ends on a whole character (or on bytes that are no UTF-8 at all, which the check finds).
size_t UnfinishedTail(std::string_view data) {
  for (size_t k = 1; k <= 4 && k <= data.size(); ++k) {
    auto b = static_cast<unsigned char>(data[data.size() - k]);
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return need > k ? data.size() - k : data.size();
  }
  return data.size();
}

}  // namespace

std::optional<TextEncoding> TextEncodingOf(std::istream& in) {
  const std::istream::pos_type start = in.tellg();
  if (start == std::istream::pos_type(-1)) return TextEncoding::Windows1252;
  // A byte-order mark is skipped by every reader, so it says nothing of the text.
  char mark[3] = {};
  in.read(mark, 3);
  if (in.gcount() != 3 || std::string_view(mark, 3) != "\xEF\xBB\xBF") {
    in.clear();
    in.seekg(start);
  }
  constexpr size_t kBlock = size_t{1} << 16;
  std::vector<char> buffer(kBlock + 4);
  size_t kept = 0;  // an unfinished sequence carried to the front of the next block
  bool valid = true, nonAscii = false;
  while (valid) {
    in.read(buffer.data() + kept, static_cast<std::streamsize>(kBlock));
    const size_t got = static_cast<size_t>(in.gcount());
    if (got == 0) break;
    const std::string_view data(buffer.data(), kept + got);
    const size_t cut = UnfinishedTail(data);
    const std::string_view whole = data.substr(0, cut);
    // Plain ASCII, nearly every survey file, needs no closer look.
    if (HasNonAscii(whole)) {
      nonAscii = true;
      valid = IsValidUtf8(whole);
    }
    kept = data.size() - cut;
    std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(cut),
              buffer.begin() + static_cast<std::ptrdiff_t>(data.size()), buffer.begin());
  }
  in.clear();
  in.seekg(start);
  if (kept > 0) return TextEncoding::Windows1252;  // the input ends inside a sequence
  if (!nonAscii) return std::nullopt;
  return valid ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

TextEncoding OutputEncodingOf(std::istream& in) {
  return TextEncodingOf(in).value_or(TextEncoding::Windows1252);
}

std::string ToEncoding(std::string_view text, TextEncoding encoding, size_t* unrepresentable) {
  // A text that is no UTF-8 (a command-line word typed in a single-byte locale) is taken as
  // Windows-1252, as the settings file's lines are.
  if (!IsValidUtf8(text)) {
    return encoding == TextEncoding::Utf8 ? Windows1252ToUtf8(text) : std::string(text);
  }
  if (encoding == TextEncoding::Utf8) return std::string(text);
  return Utf8ToWindows1252(text, unrepresentable);
}

std::string_view CharSuffix(std::string_view text, size_t chars, TextEncoding encoding) {
  if (encoding == TextEncoding::Windows1252) {
    return text.size() > chars ? text.substr(text.size() - chars) : text;
  }
  size_t i = text.size();
  for (size_t n = 0; n < chars && i > 0; ++n) {
    --i;
    while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
  }
  return text.substr(i);
}

}  // namespace korv
