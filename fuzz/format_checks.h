// Layout checks of the fixed-column formats, shared by the raw data and the coordinate list
// targets: every KOF line of a known kind with each field in its columns, SDR-33 records no
// longer than their buffers, and the KOF header.
#pragma once

#include <string_view>
#include <vector>

#include "formats/kof_options.h"
#include "fuzz_properties.h"

namespace korv::fuzz {

inline std::string_view RightTrimmed(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

inline bool AllBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// One KOF line: " 00 " and " 09 " carry free text; " 02 ", " 03 " and " 05 " have fixed
// columns, number fields right-justified and a point (code) field of 10 (8) characters and a
// blank.
inline void CheckKofLine(const Columns& c, std::string_view line) {
  auto col = [&](size_t from, size_t to) { return c.Cut(line, from, to); };
  auto number = [&](size_t from, size_t to) {
    Check(IsNumberField(col(from, to)), "KOF number field holds a right-justified number", line);
  };
  auto blank = [&](size_t from, size_t to) {
    Check(AllBlank(col(from, to)) && c.Count(col(from, to)) == to - from + 1,
          "KOF blank columns are blank", line);
  };
  const size_t n = c.Count(line);
  const std::string_view kind = col(1, 4);
  if (kind == " 00 " || kind == " 09 ") return;
  if (kind == " 03 " && n >= 9 && col(n - 8, n) == "36 Or.pkt") {
    // Backsight: the name is never cut, so the rest is found from the right.
    Check(n >= 67, "KOF backsight line holds its fields", line);
    blank(n - 34, n - 9);
    number(n - 42, n - 35);
    blank(n - 51, n - 43);
    return;
  }
  if (kind == " 03 " || kind == " 05 " || kind == " 02 ") {
    blank(15, 15);  // after the point name
    blank(24, 24);  // after the code
  }
  if (kind == " 03 ") {
    Check(n == 57, "KOF observation line is 57 characters", line);
    number(25, 32);
    blank(33, 33);
    number(34, 41);
    blank(42, 42);
    number(43, 50);
    blank(51, 51);
    number(52, 57);
  } else if (kind == " 05 ") {
    Check(n == 57, "KOF coordinate line is 57 characters", line);
    number(25, 36);
    blank(37, 37);
    number(38, 48);
    blank(49, 49);
    number(50, 57);
  } else if (kind == " 02 ") {
    Check(n == 68, "KOF station line is 68 characters", line);
    blank(25, 33);
    number(34, 41);
    blank(42, 42);
    number(43, 50);
    blank(51, 51);
    number(52, 57);
    Check(col(58, 68) == " 33        ", "KOF station line ends with 33", line);
  } else {
    Fail("KOF line of a known kind", line);
  }
}

// The KOF options a run tries, alike for both KOF writers: the two conversion switches and
// the five header texts, which `texts` keeps for CheckKofHeader.
inline void PickKofOptions(FuzzedDataProvider& fdp, KofOptions& kof, std::string (&texts)[5]) {
  kof.usePointNumberConversion = fdp.ConsumeBool();
  kof.useCodeConversion = fdp.ConsumeBool();
  for (std::string& text : texts) text = PickText(fdp);
  kof.project = texts[0];
  kof.date = texts[1];
  kof.road = texts[2];
  kof.city = texts[3];
  kof.surveyor = texts[4];
}

// The three header lines of both KOF writers: 68 characters each, the five texts of the
// "01" line cut to 12 characters at their columns.
inline void CheckKofHeader(const Columns& c, const std::vector<std::string_view>& lines,
                           const std::string (&texts)[5]) {
  Check(lines.size() >= 3, "KOF output starts with three header lines");
  for (size_t i = 0; i < 3; ++i) {
    Check(c.Count(lines[i]) == 68, "KOF header line is 68 characters", lines[i]);
  }
  Check(c.Cut(lines[2], 1, 4) == " 01 ", "KOF third header line is the 01 line", lines[2]);
  static constexpr size_t kColumn[5] = {5, 18, 31, 44, 57};
  for (size_t i = 0; i < 5; ++i) {
    const std::string text = c.Text(texts[i]);
    Check(RightTrimmed(c.Cut(lines[2], kColumn[i], kColumn[i] + 11)) ==
              RightTrimmed(c.First(text, 12)),
          "KOF header text stands cut to 12 characters in its columns", lines[2]);
  }
}

// Longest an SDR-33 record may be (its buffer), by record type; 0 for an unknown type.
inline size_t SdrRecordLength(std::string_view type) {
  struct Limit {
    std::string_view type;
    size_t length;
  };
  static constexpr Limit kLimits[] = {{"00NM", 49},  {"10NM", 49},  {"01KI", 87},  {"07KI", 68},
                                      {"02KI", 104}, {"08KI", 104}, {"09MC", 100}, {"13NM", 64}};
  for (const Limit& l : kLimits) {
    if (l.type == type) return l.length;
  }
  return 0;
}

// Every SDR-33 line: a known record within its buffer, without trailing blanks except a note
// made from a comment, which is written with all 64 columns. The header opens the file with
// the job name cut to 15 characters.
inline void CheckSdrLines(const Columns& c, const std::vector<std::string_view>& lines,
                          std::string_view jobName) {
  Check(lines.size() >= 6, "SDR output starts with its six header lines");
  Check(lines[0].substr(0, 4) == "00NM" && lines[1].substr(0, 4) == "10NM" &&
            lines[2].substr(0, 4) == "01KI",
        "SDR header records come first", lines[0]);
  Check(RightTrimmed(c.Cut(lines[1], 5, 19)) == RightTrimmed(c.First(c.Text(jobName), 15)),
        "SDR job name stands cut to 15 characters in columns 5-19", lines[1]);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::string_view type = line.substr(0, 4);
    if (type == "03NM") continue;  // the target height as read: no buffer
    const size_t limit = SdrRecordLength(type);
    Check(limit > 0, "SDR record of a known type", line);
    const size_t n = c.Count(line);
    Check(n <= limit, "SDR record no longer than its buffer", line);
    if (type == "13NM" && i >= 6) {
      Check(n == 64, "SDR note from a comment keeps all 64 columns", line);
    } else {
      Check(line.back() != ' ', "SDR record written without trailing blanks", line);
    }
    if (type == "02KI") {
      Check(i + 1 < lines.size() && lines[i + 1].substr(0, 4) == "07KI",
            "SDR station record is followed by its backsight", line);
    }
  }
}

}  // namespace korv::fuzz
