// The check before an upload.
#include "comm/upload_check.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <unordered_map>

#include "core/text_encoding.h"

namespace korv {

namespace {

std::optional<double> Coordinate(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto read = std::from_chars(text.data() + (text[0] == '+' ? 1 : 0), end, value);
  if (read.ec != std::errc() || read.ptr != end) return std::nullopt;
  return value;
}

struct Position {
  double first = 0, second = 0;
};

std::optional<Position> PositionOf(const UploadRecord& r) {
  if (r.first.empty() || r.second.empty()) return std::nullopt;
  const std::optional<double> first = Coordinate(r.first), second = Coordinate(r.second);
  if (!first || !second) return std::nullopt;
  return Position{*first, *second};
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// What makes a line's coordinates unreadable, or nothing.
std::string CoordinateFault(const UploadRecord& r) {
  if (r.first.empty() || r.second.empty()) return "a plane coordinate is missing (sent as 0.000)";
  for (const std::string* number : {&r.first, &r.second, &r.elevation}) {
    if (!number->empty() && !Coordinate(*number)) return Quoted(*number) + " is not a number";
  }
  return {};
}

// Median plus and minus twice the interquartile range (at least a metre) of `values`.
struct Range {
  double low = 0, high = 0;
  bool Holds(double v) const { return v >= low && v <= high; }
};
Range RangeOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  auto at = [&](double q) {
    return values[static_cast<size_t>(q * static_cast<double>(values.size() - 1))];
  };
  const double median = at(0.5);
  const double reach = std::max(2 * (at(0.75) - at(0.25)), 1.0);
  return {median - reach, median + reach};
}

void FindSwapped(const UploadBuild& build, std::vector<UploadProblem>& problems) {
  std::vector<std::pair<const UploadRecord*, Position>> points;
  for (const UploadRecord& r : build.records) {
    if (auto p = PositionOf(r)) points.emplace_back(&r, *p);
  }
  if (points.size() < 4) return;
  std::vector<double> firsts, seconds;
  for (const auto& [record, p] : points) {
    firsts.push_back(p.first);
    seconds.push_back(p.second);
  }
  const Range first = RangeOf(firsts), second = RangeOf(seconds);
  for (const auto& [record, p] : points) {
    if (first.Holds(p.first) || second.Holds(p.second)) continue;
    if (!first.Holds(p.second) || !second.Holds(p.first)) continue;
    problems.push_back({UploadProblemKind::Swapped, record->line, 0, record->point,
                        record->point + ": first and second coordinate look swapped (" +
                            record->first + ", " + record->second + ")"});
  }
}

}  // namespace

std::vector<UploadProblem> CheckUpload(const UploadBuild& build, bool nameCuts) {
  std::vector<UploadProblem> problems;
  std::unordered_map<std::string, const UploadRecord*> byName;  // the first line of each name
  std::unordered_map<std::string, const UploadRecord*> byCut;   // of each cut name
  byName.reserve(build.records.size());
  byCut.reserve(build.records.size());
  // A text as the instrument shows it, in the source's encoding, for the user.
  auto shown = [&](std::string_view text) {
    const std::string sent = SentText(text, build.encoding);
    return build.encoding == TextEncoding::Utf8 ? Windows1252ToUtf8(sent) : sent;
  };
  for (const UploadRecord& r : build.records) {
    const std::string_view cutName = CharPrefix(r.point, kUpLoadFieldChars, build.encoding);
    const std::string cut = shown(cutName);
    if (nameCuts && cutName.size() < r.point.size()) {
      problems.push_back({UploadProblemKind::NameCut, r.line, 0, r.point,
                          "point name " + Quoted(r.point) + " is sent as " + Quoted(cut)});
    } else if (cut != cutName) {
      problems.push_back({UploadProblemKind::Replaced, r.line, 0, r.point,
                          "point name " + Quoted(r.point) + " is sent as " + Quoted(cut) +
                              ": the instrument cannot hold every letter"});
    }
    const std::string_view cutCode = CharPrefix(r.code, kUpLoadFieldChars, build.encoding);
    const std::string code = shown(cutCode);
    if (cutCode.size() < r.code.size()) {
      problems.push_back({UploadProblemKind::CodeCut, r.line, 0, r.point,
                          "code " + Quoted(r.code) + " is sent as " + Quoted(code)});
    } else if (code != cutCode) {
      problems.push_back({UploadProblemKind::Replaced, r.line, 0, r.point,
                          "code " + Quoted(r.code) + " is sent as " + Quoted(code) +
                              ": the instrument cannot hold every letter"});
    }
    const auto [named, newName] = byName.emplace(r.point, &r);
    const auto [cutNamed, newCut] = byCut.emplace(cut, &r);
    if (!newName) {
      problems.push_back({UploadProblemKind::Duplicate, r.line, named->second->line, r.point,
                          "point " + Quoted(r.point) + " was sent before, on line " +
                              std::to_string(named->second->line)});
    } else if (!newCut) {
      problems.push_back({UploadProblemKind::CutCollision, r.line, cutNamed->second->line, r.point,
                          "point " + Quoted(r.point) + " and " + Quoted(cutNamed->second->point) +
                              " (line " + std::to_string(cutNamed->second->line) +
                              ") are both sent as " + Quoted(cut)});
    }
    const std::string fault = CoordinateFault(r);
    if (!fault.empty()) {
      problems.push_back({UploadProblemKind::Unreadable, r.line, 0, r.point,
                          "point " + Quoted(r.point) + ": " + fault});
    }
  }
  FindSwapped(build, problems);
  std::stable_sort(problems.begin(), problems.end(),
                   [](const UploadProblem& a, const UploadProblem& b) { return a.line < b.line; });
  return problems;
}

std::string UploadProblemLine(const UploadProblem& problem, TextEncoding encoding, bool gisFile) {
  return (gisFile ? "point " : "line ") + std::to_string(problem.line) + ": " +
         (encoding == TextEncoding::Utf8 ? problem.text : Windows1252ToUtf8(problem.text));
}

}  // namespace korv
