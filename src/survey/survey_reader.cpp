// Reading raw data files and coordinate lists into the survey model.
#include <charconv>
#include <fstream>
#include <functional>

#include "core/coord_order.h"
#include "core/input_file.h"
#include "core/line_reader.h"
#include "core/text.h"
#include "formats/raw_data.h"
#include "survey/huge_pages.h"
#include "survey/survey.h"

namespace korv {

namespace {

constexpr size_t kProblemTextBytes = 200;

RecordKind KindOf(std::string_view type) {
  if (type.size() != 2) return RecordKind::Other;
  // The two bytes as one number (unsigned: a byte above 0x7F is no negative number here).
  switch ((static_cast<unsigned char>(type[0]) << 8) | static_cast<unsigned char>(type[1])) {
    case ('C' << 8) | 'O':
      return RecordKind::Comment;
    case ('S' << 8) | 'T':
      return RecordKind::Station;
    case ('S' << 8) | 'S':
      return RecordKind::SideShot;
    case ('S' << 8) | 'O':
      return RecordKind::Observation;
    case ('C' << 8) | 'P':
      return RecordKind::ControlPoint;
    case ('U' << 8) | 'P':
      return RecordKind::UserPoint;
    case ('M' << 8) | 'P':
      return RecordKind::MeasuredPoint;
    case ('C' << 8) | 'C':
      return RecordKind::CalculatedPoint;
    case ('R' << 8) | 'E':
      return RecordKind::Resection;
    case ('U' << 8) | 'C':
      return RecordKind::UserCode;
    case ('M' << 8) | 'C':
      return RecordKind::MeasuredCode;
  }
  return RecordKind::Other;
}

// The value of a plain decimal of at most 15 digits ("-12.345"), as from_chars reads it: the
// digits as a whole number over a power of ten, both exact in a double, so that the division
// rounds once. False, and nothing read, for any other text (left to from_chars).
bool PlainDecimal(std::string_view t, double& value) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const bool negative = !t.empty() && t[0] == '-';
  uint64_t digits = 0;
  int count = 0, decimals = -1;
  for (size_t i = negative ? 1 : 0; i < t.size(); ++i) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      digits = digits * 10 + static_cast<uint64_t>(c - '0');
      if (++count > 15) return false;
      if (decimals >= 0) ++decimals;
    } else if (c == '.' && decimals < 0) {
      decimals = 0;
    } else {
      return false;
    }
  }
  if (count == 0) return false;
  value = static_cast<double>(digits) / kPowers[decimals < 0 ? 0 : decimals];
  if (negative) value = -value;
  return true;
}

// What a numeric field may hold besides a plain number.
enum class Range { Any, NotNegative, Angle };

class SurveyReader {
 public:
  explicit SurveyReader(Survey& survey) : s_(survey), unit_(survey.angleUnit) {}

  // Reads every line of `in`; false when reading failed.
  bool ReadAll(std::istream& in, bool raw) {
    Reserve(in);
    LineReader reader(in);
    std::string_view text;
    while (reader.Next(text)) {
      line_ = static_cast<uint32_t>(reader.lineNumber());
      text_ = text;
      const int count = SplitFieldViews(text, f_);
      if (count == 0) continue;
      if (raw) {
        RawLine(count);
      } else {
        Count(RecordKindWord(RecordKind::CoordinateLine));
        CoordinateLine(count);
      }
    }
    s_.lines = line_ = static_cast<uint32_t>(reader.lineNumber());
    s_.recordPoints = static_cast<uint32_t>(s_.points.size());
    return !reader.bad();
  }

 private:
  // Room for what a file of this size holds, so that a million lines are not copied on every
  // growth. Observation lines are some 45 bytes; memory reserved and never written costs
  // nothing resident.
  void Reserve(std::istream& in) {
    const std::streampos here = in.tellg();
    if (here < 0 || !in.seekg(0, std::ios::end)) {
      in.clear();
      return;
    }
    const auto bytes = static_cast<size_t>(in.tellg() - here);
    in.seekg(here);
    ReserveOnHugePages(s_.observations, bytes / 40);
    ReserveOnHugePages(s_.points, bytes / 200);
    ReserveOnHugePages(s_.pool, bytes / 3);
  }

  void RawLine(int count) {
    const std::string_view type = f_[1];
    Count(type);
    switch (const RecordKind kind = KindOf(type)) {
      case RecordKind::Comment:
        Comment();
        break;
      case RecordKind::Station:
        Station();
        break;
      case RecordKind::SideShot:
        Observe(kind, count, {2, 3, 4, 5, 6, 8});
        break;
      case RecordKind::Observation:
      case RecordKind::ControlPoint:
        Observe(kind, count, {2, 4, 5, 6, 7, 9});
        break;
      case RecordKind::UserPoint:
      case RecordKind::MeasuredPoint:
      case RecordKind::CalculatedPoint:
      case RecordKind::Resection: {
        const bool nez = s_.coordOrder == CoordOrder::kNEZ;
        AddPoint(kind, count, {2, nez ? 4u : 5u, nez ? 5u : 4u, 6, 7}, 5);
        break;
      }
      case RecordKind::UserCode:
      case RecordKind::MeasuredCode:
        break;
      default:
        Problem(LineFault::UnknownRecordType, 1);
        break;
    }
  }

  void CoordinateLine(int count) {
    const bool nez = s_.coordOrder == CoordOrder::kNEZ;
    AddPoint(RecordKind::CoordinateLine, count, {1, nez ? 2u : 3u, nez ? 3u : 2u, 4, 5}, 4);
  }

  // "CO,Coord Order: NEZ" sets the order of the coordinate records after it.
  void Comment() {
    const size_t at = text_.find(kCoordOrderText);
    if (at == std::string_view::npos) return;
    const std::string_view word = TrimView(text_.substr(at + kCoordOrderText.size()));
    if (word == "NEZ" || word == "ENZ") {
      s_.coordOrder = word == "NEZ" ? CoordOrder::kNEZ : CoordOrder::kENZ;
      s_.coordOrderDeclared = true;
    }
  }

  // A set-up always enters the model, so that the observations after a faulty "ST" are not
  // credited to the set-up before it; a value that does not read is taken as 0 and marks it
  // `notRead`, so that no point is computed from it.
  void Station() {
    SetUp u;
    u.line = line_;
    if (f_[2].empty()) Problem(LineFault::TooFewFields, 2);
    u.station = Keep(f_[2]);
    u.code = Keep(f_[3]);
    u.backsight = Keep(f_[4]);
    bool ok = Number(6, Range::NotNegative, u.instrumentHeight);
    ok &= Number(7, Range::Angle, u.backsightDirection);
    u.notRead = !ok;
    s_.setUps.push_back(u);
  }

  struct ObservationFields {
    size_t name, targetHeight, distance, horizontal, zenith, code;
  };
  // An observation with a value that does not read is left out: its point would be misplaced.
  void Observe(RecordKind kind, int count, ObservationFields at) {
    if (static_cast<size_t>(count) < at.zenith) {
      Problem(LineFault::TooFewFields, static_cast<uint8_t>(count + 1));
      return;
    }
    if (f_[at.name].empty()) {
      Problem(LineFault::TooFewFields, static_cast<uint8_t>(at.name));
      return;
    }
    // Read as 0, an empty angle would misplace the point: an empty zenith angle puts it on the
    // station, the slope distance straight up; an empty horizontal angle on the circle's zero.
    for (size_t angle : {at.horizontal, at.zenith}) {
      if (f_[angle].empty()) {
        Problem(LineFault::TooFewFields, static_cast<uint8_t>(angle));
        return;
      }
    }
    Observation o;
    o.line = line_;
    o.kind = kind;
    o.setUp = s_.setUps.empty() ? kNoIndex : static_cast<uint32_t>(s_.setUps.size() - 1);
    bool ok = Number(at.targetHeight, Range::Any, o.targetHeight);
    ok &= Number(at.distance, Range::NotNegative, o.slopeDistance);
    ok &= Number(at.horizontal, Range::Angle, o.horizontalAngle);
    ok &= Number(at.zenith, Range::Angle, o.zenithAngle);
    if (!ok) return;
    o.name = Keep(f_[at.name]);
    o.code = Keep(f_[at.code]);
    s_.observations.push_back(o);
  }

  struct PointFields {
    size_t name, north, east, elevation, code;
  };
  // A point needs `needed` fields, its name and both plane coordinates; an elevation that does
  // not read is left empty, anything else wrong leaves the point out.
  void AddPoint(RecordKind kind, int count, PointFields at, int needed) {
    if (count < needed) {
      Problem(LineFault::TooFewFields, static_cast<uint8_t>(count + 1));
      return;
    }
    for (size_t i : {at.name, at.north, at.east}) {
      if (f_[i].empty()) {
        Problem(LineFault::TooFewFields, static_cast<uint8_t>(i));
        return;
      }
    }
    Point p;
    p.line = line_;
    p.kind = kind;
    bool ok = Number(at.north, Range::Any, p.north);
    ok &= Number(at.east, Range::Any, p.east);
    p.hasElevation = !f_[at.elevation].empty() && Number(at.elevation, Range::Any, p.elevation);
    if (!ok) return;
    p.name = Keep(f_[at.name]);
    p.code = Keep(f_[at.code]);
    s_.points.push_back(p);
  }

  // The number in field `i`: empty reads as 0; false (and a problem) when the field is not
  // wholly a number or out of `range`.
  bool Number(size_t i, Range range, double& value) {
    value = 0;
    std::string_view t = f_[i];
    if (t.empty()) return true;
    if (t[0] == '+') t.remove_prefix(1);
    std::errc err{};
    if (!PlainDecimal(t, value)) {
      // An exponent, or more digits: from_chars, refusing what it takes besides numbers.
      const size_t digit = !t.empty() && t[0] == '-' ? 1 : 0;
      const bool starts =
          t.size() > digit && (t[digit] == '.' || (t[digit] >= '0' && t[digit] <= '9'));
      const auto read = std::from_chars(t.data(), t.data() + t.size(), value);
      err = read.ec;
      if (!starts || read.ptr != t.data() + t.size() || err == std::errc::invalid_argument) {
        value = 0;
        Problem(LineFault::BadNumber, static_cast<uint8_t>(i));
        return false;
      }
    }
    const bool inRange = err != std::errc::result_out_of_range &&
                         (range == Range::Any || (range == Range::NotNegative && value >= 0) ||
                          (range == Range::Angle && AngleInRange(value, unit_)));
    if (!inRange) {
      value = 0;
      Problem(LineFault::OutOfRange, static_cast<uint8_t>(i));
    }
    return inRange;
  }

  // A text into the pool, trimmed (the last field of a line keeps its leading blanks).
  TextSpan Keep(std::string_view text) {
    text = TrimView(text);
    if (text.empty()) return {};
    const TextSpan span{static_cast<uint32_t>(s_.pool.size()), static_cast<uint32_t>(text.size())};
    s_.pool.append(text);
    return span;
  }

  void Count(std::string_view type) {
    if (last_ < s_.counts.size() && s_.counts[last_].type == type) {
      ++s_.counts[last_].count;
      return;
    }
    for (last_ = 0; last_ < s_.counts.size(); ++last_) {
      if (s_.counts[last_].type == type) {
        ++s_.counts[last_].count;
        return;
      }
    }
    s_.counts.push_back({std::string(type), 1});
  }

  void Problem(LineFault fault, uint8_t field) {
    size_t cut = std::min(text_.size(), kProblemTextBytes);
    // Not inside a UTF-8 character.
    while (cut < text_.size() && cut > 0 && (static_cast<unsigned char>(text_[cut]) & 0xC0) == 0x80)
      --cut;
    s_.problems.push_back({line_, fault, field, std::string(text_.substr(0, cut))});
  }

  Survey& s_;
  AngleUnit unit_;
  uint32_t line_ = 0;
  std::string_view text_;
  FieldViews f_;
  size_t last_ = 0;  // the record count found last
};

bool ReadFile(const std::string& path, std::string& fault,
              const std::function<bool(std::istream&)>& read) {
  InputFile input;
  const ConvertResult opened = input.Open(path);
  if (!opened.ok()) {
    fault = opened.fault;
    return false;
  }
  if (!read(input.stream())) {
    fault = input.ReadFault();
    return false;
  }
  return true;
}

}  // namespace

bool ReadRawSurvey(std::istream& in, int coordOrderSetting, Survey& survey) {
  survey.raw = true;
  survey.coordOrder = coordOrderSetting;
  return SurveyReader(survey).ReadAll(in, true);
}

bool ReadCoordinateSurvey(std::istream& in, int coordOrder, Survey& survey) {
  survey.raw = false;
  survey.coordOrder = coordOrder;
  return SurveyReader(survey).ReadAll(in, false);
}

bool ReadRawSurvey(const std::string& path, int coordOrderSetting, Survey& survey,
                   std::string& fault) {
  survey.source = path;
  return ReadFile(path, fault,
                  [&](std::istream& in) { return ReadRawSurvey(in, coordOrderSetting, survey); });
}

bool ReadCoordinateSurvey(const std::string& path, int coordOrder, Survey& survey,
                          std::string& fault) {
  survey.source = path;
  return ReadFile(path, fault,
                  [&](std::istream& in) { return ReadCoordinateSurvey(in, coordOrder, survey); });
}

}  // namespace korv
