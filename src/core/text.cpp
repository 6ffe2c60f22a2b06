// Small string procedures shared by every layer.
#include "core/text.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korv {

namespace {
bool IsBlank(char c) { return c == ' '; }
}  // namespace

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// Trims `s` in place without giving up its buffer.
void TrimInPlace(std::string& s) {
  std::string_view t = TrimView(s);
  size_t begin = static_cast<size_t>(t.data() - s.data());
  s.erase(begin + t.size());
  s.erase(0, begin);
}

int SplitFields(std::string& line, FieldArray& fields) {
  TrimInPlace(line);
  FieldViews views;
  const int count = SplitFieldViews(line, views);
  if (count == 0) return 0;
  if (fields.size() < 17) fields.resize(17);
  for (size_t i = 1; i <= 16; ++i) fields[i].assign(views[i]);
  return count;
}

namespace {

// The first `count` commas of `line` (fewer when it has fewer), and whether the bytes read
// hold a blank: found sixteen bytes at a time, one comparison each marking every comma and
// every blank of the block. Returns how many commas were found.
inline __attribute__((always_inline)) int ScanCommas(std::string_view line, const char** commas,
                                                     int count, bool& blank) {
  int found = 0;
  const char* p = line.data();
  const char* const end = p + line.size();
  unsigned blanks = 0;
#if defined(__SSE2__)
  const __m128i comma = _mm_set1_epi8(','), space = _mm_set1_epi8(' ');
  for (; end - p >= 16; p += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    blanks |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, space)));
    for (auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, comma)));
         hits != 0; hits &= hits - 1) {
      commas[found] = p + __builtin_ctz(hits);
      if (++found == count) {
        blank = true;  // the rest was not looked at
        return found;
      }
    }
  }
  // The rest of a line of sixteen bytes or more: the line's last sixteen bytes, less those
  // already read.
  if (p < end && line.size() >= 16) {
    const auto rest = static_cast<unsigned>(end - p);
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
    blanks |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, space))) >> (16 - rest);
    for (auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, comma))) >>
                     (16 - rest);
         hits != 0; hits &= hits - 1) {
      commas[found] = p + __builtin_ctz(hits);
      if (++found == count) {
        blank = true;
        return found;
      }
    }
    p = end;
  }
#endif
  for (; p < end; ++p) {
    blanks |= *p == ' ';
    if (*p != ',') continue;
    commas[found] = p;
    if (++found == count) {
      blank = true;
      return found;
    }
  }
  blank = blanks != 0;
  return found;
}

}  // namespace

int SplitFieldViews(std::string_view line, FieldViews& fields) {
  line = TrimView(line);
  if (line.empty()) return 0;
  // The twelve commas that split are found first; the fields are then cut between them. A
  // line without blanks (nearly every line) needs no field trimmed.
  const char* commas[12];
  bool blank = false;
  const int found = ScanCommas(line, commas, 12, blank);
  const char* start = line.data();  // of the field being cut
  for (int i = 0; i < found; ++i) {
    std::string_view field(start, static_cast<size_t>(commas[i] - start));
    fields[static_cast<size_t>(i + 1)] = blank ? TrimView(field) : field;
    start = commas[i] + 1;
  }
  int count = found;
  // The rest is not empty once trimmed when it holds a byte and the line no blank.
  const std::string_view rest(start, static_cast<size_t>(line.data() + line.size() - start));
  if (blank ? !TrimView(rest).empty() : !rest.empty()) fields[static_cast<size_t>(++count)] = rest;
  // Only the fields after the last are cleared: clearing the whole array became a string
  // instruction whose start-up cost half of the split.
  for (auto i = static_cast<size_t>(count) + 1; i < fields.size(); ++i) fields[i] = {};
  return count;
}

int FindCommas(std::string_view line, const char** commas, int count) {
  bool blank;
  return ScanCommas(line, commas, count, blank);
}

int SplitWords(std::string& line, std::vector<std::string>& words) {
  line = Trim(line);
  if (line.empty()) return 0;
  if (words.size() < 10) words.resize(10);
  for (size_t i = 1; i <= 9; ++i) words[i].clear();

  int count = 0;
  std::string_view rest(line);
  while (!rest.empty()) {
    size_t blank = rest.find(' ');
    std::string_view word = blank == std::string_view::npos ? rest : rest.substr(0, blank);
    ++count;
    if (words.size() <= static_cast<size_t>(count)) words.resize(static_cast<size_t>(count) + 1);
    words[static_cast<size_t>(count)] = Trim(word);
    if (blank == std::string_view::npos) break;
    rest = rest.substr(blank + 1);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  }
  return count;
}

std::string StripQuotes(std::string_view text) {
  std::string_view t = TrimView(text);
  if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
  return std::string(t);
}

std::string FileNameOnly(std::string_view path) {
  std::string_view p = TrimView(path);
  size_t cut = p.find_last_of("/\\");
  if (cut != std::string_view::npos) p = p.substr(cut + 1);
  return std::string(p);
}

std::string FillNumbered(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const size_t n = next >= '1' && next <= '9' ? static_cast<size_t>(next - '1') : values.size();
    if (text[i] == '%' && n < values.size()) {
      out += values.begin()[n];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace korv
