// The check report: built in a few linear passes over the survey, so that a file of a million
// lines is checked about as fast as it is read.
#include "survey/check_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <unordered_map>

#include "core/coord_order.h"
#include "core/text.h"

namespace korv {

const char* CutTargetWord(CutTarget target) {
  switch (target) {
    case CutTarget::Kof:
      return "kof";
    case CutTarget::Sdr:
      return "sdr";
    case CutTarget::Upload:
      return "upload";
  }
  return "kof";
}

TextEncoding EncodingOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? OutputEncodingOf(in) : TextEncoding::Windows1252;
}

namespace {

// ---------------------------------------------------------------------------------------------
// Cuts

struct TargetRule {
  CutTarget target;
  uint8_t nameChars, codeChars, setUpCodeChars;  // setUpCodeChars 0: set-up codes not written
  bool trims;                                    // names and codes trimmed before the cut
  bool setUpNames;                               // set-up station names written
  bool sideShotsOnly;                            // of the observations, only "SS" written
};

constexpr TargetRule kRules[kCutTargets] = {
    {CutTarget::Kof, 10, 8, 0, false, true, false},
    {CutTarget::Sdr, 16, 16, 20, true, true, true},
    {CutTarget::Upload, 12, 12, 0, true, false, false},
};

// A name or code of the survey.
struct Item {
  TextSource source;
  uint32_t index;
  bool code;
};

// Every name (or every code) of the set-ups, the observations and the coordinate records.
template <class Fn>
void ForEachItem(const Survey& s, bool codes, Fn fn) {
  for (uint32_t i = 0; i < s.setUps.size(); ++i) fn(Item{TextSource::SetUp, i, codes});
  for (uint32_t i = 0; i < s.observations.size(); ++i) fn(Item{TextSource::Observation, i, codes});
  const uint32_t records =
      std::min<uint32_t>(s.recordPoints, static_cast<uint32_t>(s.points.size()));
  for (uint32_t i = 0; i < records; ++i) fn(Item{TextSource::Point, i, codes});
}

TextSpan TextOf(const Survey& s, const Item& item) {
  switch (item.source) {
    case TextSource::SetUp:
      return item.code ? s.setUps[item.index].code : s.setUps[item.index].station;
    case TextSource::Observation:
      return item.code ? s.observations[item.index].code : s.observations[item.index].name;
    case TextSource::Point:
      return item.code ? s.points[item.index].code : s.points[item.index].name;
  }
  return {};
}

// The names and codes longer in bytes than the narrowest field: no other can be cut (a text
// never has more characters than bytes). One sweep over the survey, for every target.
std::vector<Item> Candidates(const Survey& s) {
  uint32_t narrowestName = UINT8_MAX, narrowestCode = UINT8_MAX;
  for (const TargetRule& rule : kRules) {
    narrowestName = std::min<uint32_t>(narrowestName, rule.nameChars);
    narrowestCode = std::min<uint32_t>(narrowestCode, rule.codeChars);
  }
  std::vector<Item> items;
  for (bool codes : {false, true}) {
    const uint32_t narrowest = codes ? narrowestCode : narrowestName;
    ForEachItem(s, codes, [&](const Item& item) {
      if (TextOf(s, item).size > narrowest) items.push_back(item);
    });
  }
  return items;
}

// One name or code as a target writes it, before its cut.
struct Written {
  uint32_t line;
  RecordKind kind;
  TextSpan text;
  uint8_t chars;
  bool splitSuffix;  // KOF code conversion: only the part before the last "-" is written
};

// What `rule`'s target writes of `item`; nullopt when it does not write it.
std::optional<Written> WrittenOf(const Survey& s, const TargetRule& rule, bool codeConversion,
                                 const Item& item) {
  const bool split = rule.target == CutTarget::Kof && codeConversion && item.code;
  const uint8_t chars = item.code ? rule.codeChars : rule.nameChars;
  switch (item.source) {
    case TextSource::SetUp: {
      if (item.code ? rule.setUpCodeChars == 0 : !rule.setUpNames) return std::nullopt;
      const SetUp& u = s.setUps[item.index];
      return Written{u.line, RecordKind::Station, item.code ? u.code : u.station,
                     item.code ? rule.setUpCodeChars : chars, false};
    }
    case TextSource::Observation: {
      const Observation& o = s.observations[item.index];
      if (rule.sideShotsOnly && o.kind != RecordKind::SideShot) return std::nullopt;
      // The KOF writer splits the codes of side shots only.
      return Written{o.line, o.kind, item.code ? o.code : o.name, chars,
                     split && o.kind == RecordKind::SideShot};
    }
    case TextSource::Point: {
      const Point& p = s.points[item.index];
      return Written{p.line, p.kind, item.code ? p.code : p.name, chars, split};
    }
  }
  return std::nullopt;
}

// The text a target starts from (trimmed when it trims) and what it keeps of it.
struct Kept {
  TextSpan whole, cut;
  bool cutShort;  // characters were dropped
};

Kept Keep(const Survey& s, const Written& w, bool trims, TextEncoding encoding) {
  std::string_view text = s.Text(w.text);
  uint32_t offset = w.text.offset;
  if (trims) {
    const std::string_view trimmed = TrimView(text);
    offset += static_cast<uint32_t>(trimmed.data() - text.data());
    text = trimmed;
  }
  const TextSpan whole{offset, static_cast<uint32_t>(text.size())};
  if (w.splitSuffix) {
    const size_t dash = text.rfind('-');
    if (dash != std::string_view::npos) text = text.substr(0, dash);
  }
  const size_t keep = CharPrefixLength(text, w.chars, encoding);
  return {whole, TextSpan{offset, static_cast<uint32_t>(keep)}, keep < text.size()};
}

CutText MakeCut(const Item& item, const Written& w, const Kept& k) {
  return CutText{w.line, w.kind, item.source, item.index, w.text, k.cut, w.chars};
}

bool ByLine(const CutText& a, const CutText& b) { return a.line < b.line; }

TargetCuts CutsOf(const Survey& s, const std::vector<Item>& candidates, const TargetRule& rule,
                  const CheckOptions& options) {
  TargetCuts cuts;
  cuts.target = rule.target;
  cuts.nameChars = rule.nameChars;
  cuts.codeChars = rule.codeChars;
  const TextEncoding encoding = options.encoding;
  const bool conversion = options.kofCodeConversion;

  // Names: the cut ones, grouped by what is left of them. Codes: each distinct one once.
  std::unordered_map<std::string_view, size_t> groupOf, codeOf;
  std::vector<CutCollision> groups;
  for (const Item& item : candidates) {
    const std::optional<Written> w = WrittenOf(s, rule, conversion, item);
    if (!w) continue;
    const Kept k = Keep(s, *w, rule.trims, encoding);
    if (!k.cutShort) continue;
    const CutText cut = MakeCut(item, *w, k);
    if (!item.code) {
      cuts.names.push_back(cut);
      auto [it, added] = groupOf.try_emplace(s.Text(k.cut), groups.size());
      if (added) groups.push_back(CutCollision{k.cut, {}});
      groups[it->second].names.push_back(cut);
      continue;
    }
    auto [it, added] = codeOf.try_emplace(s.Text(k.whole), cuts.codes.size());
    if (added) {
      cuts.codes.push_back(CutCode{cut, 0});
    } else if (cut.line < cuts.codes[it->second].first.line) {
      cuts.codes[it->second].first = cut;
    }
    ++cuts.codes[it->second].count;
  }
  // A name that keeps all its characters joins the group it equals.
  if (!groupOf.empty()) {
    ForEachItem(s, false, [&](const Item& item) {
      const std::optional<Written> w = WrittenOf(s, rule, conversion, item);
      if (!w) return;
      const Kept k = Keep(s, *w, rule.trims, encoding);
      if (k.cutShort) return;
      auto it = groupOf.find(s.Text(k.cut));
      if (it != groupOf.end()) groups[it->second].names.push_back(MakeCut(item, *w, k));
    });
  }
  for (CutCollision& group : groups) {
    auto whole = [&](const CutText& c) {
      return rule.trims ? TrimView(s.Text(c.original)) : s.Text(c.original);
    };
    const std::string_view first = whole(group.names.front());
    const bool different = std::any_of(group.names.begin(), group.names.end(),
                                       [&](const CutText& c) { return whole(c) != first; });
    if (!different) continue;
    std::stable_sort(group.names.begin(), group.names.end(), ByLine);
    cuts.collisions.push_back(std::move(group));
  }
  std::stable_sort(cuts.collisions.begin(), cuts.collisions.end(),
                   [](const CutCollision& a, const CutCollision& b) {
                     return a.names.front().line < b.names.front().line;
                   });
  std::stable_sort(cuts.names.begin(), cuts.names.end(), ByLine);
  std::stable_sort(cuts.codes.begin(), cuts.codes.end(),
                   [](const CutCode& a, const CutCode& b) { return a.first.line < b.first.line; });
  return cuts;
}

// ---------------------------------------------------------------------------------------------
// Renderings

// A text of the survey in UTF-8.
std::string Utf8(std::string_view text, TextEncoding encoding) {
  if (encoding == TextEncoding::Windows1252 && HasNonAscii(text)) return Windows1252ToUtf8(text);
  return std::string(text);
}

const char* OrientationWord(Orientation o) {
  switch (o) {
    case Orientation::FromBacksight:
      return "from backsight";
    case Orientation::Assumed:
      return "assumed";
    case Orientation::Unplaced:
      return "station unknown";
  }
  return "";
}

const char* OrientationKey(Orientation o) {
  switch (o) {
    case Orientation::FromBacksight:
      return "backsight";
    case Orientation::Assumed:
      return "assumed";
    case Orientation::Unplaced:
      return "unplaced";
  }
  return "";
}

const char* LineFaultKey(LineFault f) {
  switch (f) {
    case LineFault::UnknownRecordType:
      return "unknown_record_type";
    case LineFault::TooFewFields:
      return "too_few_fields";
    case LineFault::BadNumber:
      return "bad_number";
    case LineFault::OutOfRange:
      return "out_of_range";
  }
  return "";
}

const char* ReductionFaultKey(ReductionFault f) {
  switch (f) {
    case ReductionFault::NoSetUp:
      return "no_set_up";
    case ReductionFault::StationUnknown:
      return "station_unknown";
    case ReductionFault::NoDistance:
      return "no_distance";
    case ReductionFault::SetUpNotRead:
      return "set_up_not_read";
  }
  return "";
}

const char* TargetTitle(CutTarget target) {
  switch (target) {
    case CutTarget::Kof:
      return "KOF";
    case CutTarget::Sdr:
      return "SDR-33";
    case CutTarget::Upload:
      return "Upload";
  }
  return "";
}

// A set-up's orientation correction in the survey's angle unit, signed, within half a circle,
// to be shown with `decimals` decimals. Degrees.minutesseconds are rounded in seconds first,
// so that 59.6 seconds shown to the second carry into the next minute instead of reading 60.
double CorrectionInUnit(double radians, AngleUnit unit, int decimals) {
  constexpr double kPi = 3.14159265358979323846;
  const double r = std::remainder(radians, 2 * kPi);
  double size = std::fabs(r);
  if (unit == AngleUnit::Dms) {
    // The fifth decimal and beyond are fractions of a second.
    const double step = std::pow(10.0, 4 - decimals);  // seconds
    const double seconds = std::round(size * (180.0 / kPi) * 3600.0 / step) * step;
    size = seconds / 3600.0 * (kPi / 180.0);
  }
  size = RadiansToAngle(size, unit);
  return r < 0 ? -size : size;
}

std::string Fixed(double value, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

// A column-aligned list of at most kShown rows, with a line for the rest.
constexpr size_t kShown = 20;

class Table {
 public:
  // `align`: one letter a column, 'l' left or 'r' right.
  Table(std::vector<std::string> heads, std::string align)
      : rows_{std::move(heads)}, align_(std::move(align)) {}
  void Row(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

  // Prints the rows, indented by `indent` blanks, and "... and N more" when `total` is above
  // the rows shown.
  void Print(std::string& out, size_t total, size_t indent = 2) const {
    std::vector<size_t> width(align_.size(), 0);
    for (const auto& row : rows_)
      for (size_t c = 0; c < row.size(); ++c)
        width[c] = std::max(width[c], CharCount(row[c], TextEncoding::Utf8));
    for (const auto& row : rows_) {
      std::string line(indent, ' ');
      for (size_t c = 0; c < row.size(); ++c) {
        const size_t pad = width[c] - CharCount(row[c], TextEncoding::Utf8);
        if (c > 0) line += "  ";
        if (align_[c] == 'r') line.append(pad, ' ');
        line += row[c];
        if (align_[c] == 'l' && c + 1 < row.size()) line.append(pad, ' ');
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line;
      out += '\n';
    }
    const size_t shown = rows_.size() - 1;
    if (total > shown)
      out += std::string(indent, ' ') + "... and " + std::to_string(total - shown) + " more\n";
  }

 private:
  std::vector<std::vector<std::string>> rows_;
  std::string align_;
};

void Heading(std::string& out, const std::string& title) {
  out += '\n';
  out += title;
  out += '\n';
}

}  // namespace

CheckReport MakeCheckReport(const Survey& s, const CheckOptions& options) {
  CheckReport r;
  r.options = options;
  for (const SetUp& u : s.setUps) {
    r.assumed += u.orientation == Orientation::Assumed;
    r.unplaced += u.orientation == Orientation::Unplaced && !u.notRead;
  }
  Extent& e = r.extent;
  for (uint32_t i = 0; i < s.points.size(); ++i) {
    const Point& p = s.points[i];
    if (e.points++ == 0) {
      e.minEast = e.maxEast = p.east;
      e.minNorth = e.maxNorth = p.north;
    } else {
      e.minEast = std::min(e.minEast, p.east);
      e.maxEast = std::max(e.maxEast, p.east);
      e.minNorth = std::min(e.minNorth, p.north);
      e.maxNorth = std::max(e.maxNorth, p.north);
    }
    if (!p.hasElevation) {
      r.withoutElevation.push_back(i);
    } else if (e.withElevation++ == 0) {
      e.minElevation = e.maxElevation = p.elevation;
    } else {
      e.minElevation = std::min(e.minElevation, p.elevation);
      e.maxElevation = std::max(e.maxElevation, p.elevation);
    }
  }
  for (const NameConflict& c : s.conflicts) {
    const Point& a = s.points[c.first];
    const Point& b = s.points[c.later];
    ConflictCheck check{c.first, c.later, b.east - a.east, b.north - a.north, 0, false, 0};
    check.hasDElevation = a.hasElevation && b.hasElevation;
    if (check.hasDElevation) check.dElevation = b.elevation - a.elevation;
    check.horizontal = std::hypot(check.dEast, check.dNorth);
    r.conflicts.push_back(check);
  }
  bool collisions = false;
  const std::vector<Item> candidates = Candidates(s);
  for (size_t t = 0; t < kCutTargets; ++t) {
    r.cuts[t] = CutsOf(s, candidates, kRules[t], options);
    collisions |= !r.cuts[t].collisions.empty();
  }
  r.problems = !s.problems.empty() || !s.conflicts.empty() || !s.unreduced.empty() ||
               r.assumed > 0 || r.unplaced > 0 || collisions;
  return r;
}

std::vector<uint32_t> ProblemPoints(const Survey& s, const CheckReport& r) {
  std::vector<uint32_t> points;
  for (const ConflictCheck& c : r.conflicts) {
    points.push_back(c.first);
    points.push_back(c.later);
  }
  // Reduced points follow the coordinate records in file order: found by their line.
  const auto reducedBegin = s.points.begin() + std::min<size_t>(s.recordPoints, s.points.size());
  for (const TargetCuts& cuts : r.cuts) {
    for (const CutCollision& collision : cuts.collisions) {
      for (const CutText& c : collision.names) {
        if (c.source == TextSource::Point) {
          points.push_back(c.index);
        } else if (c.source == TextSource::Observation) {
          auto it = std::lower_bound(reducedBegin, s.points.end(), c.line,
                                     [](const Point& p, uint32_t line) { return p.line < line; });
          if (it != s.points.end() && it->line == c.line)
            points.push_back(static_cast<uint32_t>(it - s.points.begin()));
        }
      }
    }
  }
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  return points;
}

std::string CheckReportText(const Survey& s, const CheckReport& r) {
  const TextEncoding enc = r.options.encoding;
  auto text = [&](TextSpan span) { return Utf8(s.Text(span), enc); };
  auto num = [](uint64_t n) { return std::to_string(n); };
  std::string out;
  out += "Check of " + Utf8(s.source, enc) + " (" + (s.raw ? "raw data" : "coordinate list") +
         ", " + num(s.lines) + " lines)\n";
  out += r.problems ? "Result: problems found\n" : "Result: nothing wrong\n";

  Heading(out, "Records");
  {
    Table t({"type", "lines"}, "lr");
    for (const RecordCount& c : s.counts) t.Row({Utf8(c.type, enc), num(c.count)});
    t.Row({"coordinate records", num(s.recordPoints)});
    t.Print(out, 0);
  }
  out += std::string("Coordinate order: ") + (s.coordOrder == CoordOrder::kENZ ? "ENZ" : "NEZ") +
         (s.coordOrderDeclared ? " (declared in the file)\n"
                               : " (not declared in the file: from the settings or --order)\n");

  const Extent& e = r.extent;
  Heading(out,
          "Extent of " + num(e.points) + " points (" + num(e.withElevation) + " with elevation)");
  if (e.points > 0) {
    Table t({"", "min", "max"}, "lrr");
    t.Row({"east", Fixed(e.minEast, 3), Fixed(e.maxEast, 3)});
    t.Row({"north", Fixed(e.minNorth, 3), Fixed(e.maxNorth, 3)});
    if (e.withElevation > 0)
      t.Row({"elevation", Fixed(e.minElevation, 3), Fixed(e.maxElevation, 3)});
    t.Print(out, 0);
  }

  const char* unit = AngleUnitWord(r.options.angleUnit);
  Heading(out, "Set-ups: " + num(s.setUps.size()) + " (" + num(r.assumed) +
                   " with assumed orientation, " + num(r.unplaced) + " with the station unknown)");
  if (!s.setUps.empty()) {
    Table t({"line", "station", "backsight", "orientation",
             std::string("correction (") + unit + ")", "observations", "reduced"},
            "rlllrrr");
    for (size_t i = 0; i < s.setUps.size() && i < kShown; ++i) {
      const SetUp& u = s.setUps[i];
      t.Row({num(u.line), text(u.station), text(u.backsight),
             u.notRead ? "line not understood" : OrientationWord(u.orientation),
             u.orientation == Orientation::Unplaced
                 ? "-"
                 : Fixed(CorrectionInUnit(u.correction, r.options.angleUnit, 4), 4),
             num(u.observations), num(u.reduced)});
    }
    t.Print(out, s.setUps.size());
  }

  Heading(out, "Lines not understood: " + num(ProblemLineCount(s.problems)));
  if (!s.problems.empty()) {
    Table t({"line", "field", "reason", "text"}, "rrll");
    for (size_t i = 0; i < s.problems.size() && i < kShown; ++i) {
      const LineProblem& p = s.problems[i];
      t.Row({num(p.line), p.field == 0 ? "-" : num(p.field), LineFaultWord(p.fault),
             Utf8(p.text, enc)});
    }
    t.Print(out, s.problems.size());
  }

  Heading(out, "Names with two positions: " + num(r.conflicts.size()));
  if (!r.conflicts.empty()) {
    Table t({"name", "first line", "later line", "dE", "dN", "dZ", "horizontal"}, "lrrrrrr");
    for (size_t i = 0; i < r.conflicts.size() && i < kShown; ++i) {
      const ConflictCheck& c = r.conflicts[i];
      const Point& a = s.points[c.first];
      t.Row({text(a.name), num(a.line), num(s.points[c.later].line), Fixed(c.dEast, 3),
             Fixed(c.dNorth, 3), c.hasDElevation ? Fixed(c.dElevation, 3) : "-",
             Fixed(c.horizontal, 3)});
    }
    t.Print(out, r.conflicts.size());
  }

  Heading(out, "Observations not reduced: " + num(s.unreduced.size()));
  if (!s.unreduced.empty()) {
    Table t({"line", "record", "name", "reason"}, "rlll");
    for (size_t i = 0; i < s.unreduced.size() && i < kShown; ++i) {
      const Observation& o = s.observations[s.unreduced[i].observation];
      t.Row({num(o.line), RecordKindWord(o.kind), text(o.name),
             ReductionFaultWord(s.unreduced[i].fault)});
    }
    t.Print(out, s.unreduced.size());
  }

  Heading(out, "Points without elevation (warning): " + num(r.withoutElevation.size()));
  if (!r.withoutElevation.empty()) {
    Table t({"line", "record", "name"}, "rll");
    for (size_t i = 0; i < r.withoutElevation.size() && i < kShown; ++i) {
      const Point& p = s.points[r.withoutElevation[i]];
      t.Row({num(p.line), RecordKindWord(p.kind), text(p.name)});
    }
    t.Print(out, r.withoutElevation.size());
  }

  for (const TargetCuts& cuts : r.cuts) {
    Heading(out, std::string(TargetTitle(cuts.target)) + ": names " + num(cuts.nameChars) +
                     " characters, codes " + num(cuts.codeChars));
    if (cuts.collisions.empty() && cuts.names.empty() && cuts.codes.empty())
      out += "  Nothing is cut.\n";
    if (!cuts.collisions.empty()) {
      out += "  Different names equal after the cut: " + num(cuts.collisions.size()) + "\n";
      Table t({"cut to", "name", "line"}, "llr");
      size_t rows = 0, total = 0;
      for (const CutCollision& c : cuts.collisions) {
        total += c.names.size();
        for (const CutText& n : c.names) {
          if (rows++ >= kShown) break;
          t.Row({text(c.cut), text(n.original), num(n.line)});
        }
      }
      t.Print(out, total, 4);
    }
    if (!cuts.names.empty()) {
      out += "  Names cut (warning): " + num(cuts.names.size()) + "\n";
      Table t({"line", "record", "name", "written"}, "rlll");
      for (size_t i = 0; i < cuts.names.size() && i < kShown; ++i) {
        const CutText& n = cuts.names[i];
        t.Row({num(n.line), RecordKindWord(n.kind), text(n.original), text(n.cut)});
      }
      t.Print(out, cuts.names.size(), 4);
    }
    if (!cuts.codes.empty()) {
      out += "  Codes cut (warning): " + num(cuts.codes.size()) + "\n";
      Table t({"first line", "code", "written", "times"}, "rllr");
      for (size_t i = 0; i < cuts.codes.size() && i < kShown; ++i) {
        const CutCode& c = cuts.codes[i];
        t.Row({num(c.first.line), text(c.first.original), text(c.first.cut), num(c.count)});
      }
      t.Print(out, cuts.codes.size(), 4);
    }
  }
  return out;
}

namespace {

using Json = nlohmann::ordered_json;

// The JSON is written member by member: every value goes through nlohmann, which escapes it,
// and a long list one entry at a time, so that a hundred thousand problems never stand in
// memory as one tree. A text the survey cut inside a character is written with U+FFFD.
void Put(std::string& out, const Json& value) {
  out += value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// `"key":`, after a comma unless it is the object's first member. Keys are plain words.
void Key(std::string& out, const char* key) {
  if (out.back() != '{') out += ',';
  out += '"';
  out += key;
  out += "\":";
}

template <class List, class Make>
void PutArray(std::string& out, const List& list, Make make) {
  out += '[';
  bool first = true;
  for (const auto& item : list) {
    if (!first) out += ',';
    first = false;
    Put(out, make(item));
  }
  out += ']';
}

}  // namespace

std::string CheckReportJson(const Survey& s, const CheckReport& r) {
  const TextEncoding enc = r.options.encoding;
  auto text = [&](TextSpan span) { return Utf8(s.Text(span), enc); };
  // Differences in metres to 0.1 mm, corrections to a millionth of the unit: no float noise.
  auto rounded = [](double v, double scale) { return std::round(v * scale) / scale; };
  auto range = [](uint32_t count, double min, double max) {
    return count == 0 ? Json(nullptr) : Json{{"min", min}, {"max", max}};
  };

  std::string out = "{";
  Key(out, "version");
  Put(out, 1);
  Key(out, "file");
  Put(out, Utf8(s.source, enc));
  Key(out, "data");
  Put(out, s.raw ? "raw" : "coord");
  Key(out, "lines");
  Put(out, s.lines);
  Key(out, "problems");
  Put(out, r.problems);
  Key(out, "encoding");
  Put(out, enc == TextEncoding::Utf8 ? "utf-8" : "windows-1252");
  Key(out, "angle_unit");
  Put(out, AngleUnitWord(r.options.angleUnit));
  Key(out, "coordinate_order");
  Put(out, {{"order", s.coordOrder == CoordOrder::kENZ ? "enz" : "nez"},
            {"declared", s.coordOrderDeclared}});
  Key(out, "records");
  PutArray(out, s.counts, [&](const RecordCount& c) {
    return Json{{"type", Utf8(c.type, enc)}, {"count", c.count}};
  });
  Key(out, "coordinate_records");
  Put(out, s.recordPoints);
  const Extent& e = r.extent;
  Key(out, "extent");
  Put(out, {{"points", e.points},
            {"points_with_elevation", e.withElevation},
            {"east", range(e.points, e.minEast, e.maxEast)},
            {"north", range(e.points, e.minNorth, e.maxNorth)},
            {"elevation", range(e.withElevation, e.minElevation, e.maxElevation)}});

  Key(out, "set_ups");
  PutArray(out, s.setUps, [&](const SetUp& u) {
    const bool placed = u.orientation != Orientation::Unplaced;
    return Json{{"line", u.line},
                {"station", text(u.station)},
                {"code", text(u.code)},
                {"backsight", text(u.backsight)},
                {"orientation", OrientationKey(u.orientation)},
                {"correction",
                 placed ? Json(rounded(CorrectionInUnit(u.correction, r.options.angleUnit, 6), 1e6))
                        : Json(nullptr)},
                {"observations", u.observations},
                {"reduced", u.reduced}};
  });
  Key(out, "line_problems");
  PutArray(out, s.problems, [&](const LineProblem& p) {
    return Json{{"line", p.line},
                {"field", p.field},
                {"fault", LineFaultKey(p.fault)},
                {"reason", LineFaultWord(p.fault)},
                {"text", Utf8(p.text, enc)}};
  });
  Key(out, "conflicts");
  PutArray(out, r.conflicts, [&](const ConflictCheck& c) {
    return Json{{"name", text(s.points[c.first].name)},
                {"first_line", s.points[c.first].line},
                {"later_line", s.points[c.later].line},
                {"d_east", rounded(c.dEast, 1e4)},
                {"d_north", rounded(c.dNorth, 1e4)},
                {"d_elevation", c.hasDElevation ? Json(rounded(c.dElevation, 1e4)) : Json(nullptr)},
                {"horizontal", rounded(c.horizontal, 1e4)}};
  });
  Key(out, "unreduced");
  PutArray(out, s.unreduced, [&](const Unreduced& u) {
    const Observation& o = s.observations[u.observation];
    return Json{{"line", o.line},
                {"record", RecordKindWord(o.kind)},
                {"name", text(o.name)},
                {"fault", ReductionFaultKey(u.fault)},
                {"reason", ReductionFaultWord(u.fault)}};
  });
  Key(out, "without_elevation");
  PutArray(out, r.withoutElevation, [&](uint32_t i) {
    const Point& p = s.points[i];
    return Json{{"line", p.line}, {"record", RecordKindWord(p.kind)}, {"name", text(p.name)}};
  });
  Key(out, "cuts");
  out += '[';
  for (const TargetCuts& cuts : r.cuts) {
    if (&cuts != &r.cuts.front()) out += ',';
    out += '{';
    Key(out, "target");
    Put(out, CutTargetWord(cuts.target));
    Key(out, "name_chars");
    Put(out, cuts.nameChars);
    Key(out, "code_chars");
    Put(out, cuts.codeChars);
    Key(out, "equal_after_cut");
    PutArray(out, cuts.collisions, [&](const CutCollision& c) {
      Json names = Json::array();
      for (const CutText& n : c.names)
        names.push_back(
            {{"line", n.line}, {"record", RecordKindWord(n.kind)}, {"name", text(n.original)}});
      return Json{{"cut", text(c.cut)}, {"names", std::move(names)}};
    });
    Key(out, "names");
    PutArray(out, cuts.names, [&](const CutText& n) {
      return Json{{"line", n.line},
                  {"record", RecordKindWord(n.kind)},
                  {"name", text(n.original)},
                  {"cut", text(n.cut)},
                  {"chars", n.chars}};
    });
    Key(out, "codes");
    PutArray(out, cuts.codes, [&](const CutCode& c) {
      return Json{{"code", text(c.first.original)},
                  {"cut", text(c.first.cut)},
                  {"chars", c.first.chars},
                  {"first_line", c.first.line},
                  {"count", c.count}};
    });
    out += '}';
  }
  out += "]}\n";
  return out;
}

}  // namespace korv
