// KOF writers from raw data and from coordinate lists.
#include "formats/kof_writer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string_view>

#include "core/convert_files.h"
#include "core/line_reader.h"
#include "core/numbers.h"
#include "core/text.h"
#include "formats/line_sink.h"
#include "formats/raw_data.h"

namespace korv {

namespace {

constexpr size_t kHeaderLength = 68;
constexpr size_t kPointCut = 10;  // point names keep 10 characters in an 11-column field
constexpr size_t kPointField = 11;
constexpr size_t kCodeCut = 8;  // codes keep 8 characters in a 9-column field
constexpr size_t kCodeField = 9;

// Blanks to pad fields with (no field is wider).
constexpr std::string_view kBlanks = "                                ";

// Appends `count` (at most kBlanks.size()) blanks.
void PutBlanks(std::string& line, size_t count) { line.append(kBlanks.data(), count); }

// Appends the first `cut` characters of `text`, padded with blanks to `width` columns.
void PutLeft(std::string& line, std::string_view text, size_t cut, size_t width,
             TextEncoding encoding) {
  text = CharPrefix(text, cut, encoding);
  line.append(text);
  PutBlanks(line, width - CharCount(text, encoding));
}

// Right-justifies what was appended to `line` after its first `from` characters in `width`
// columns; a longer text keeps its leftmost characters.
void JustifyRight(std::string& line, size_t from, size_t width) {
  const size_t size = line.size() - from;
  if (size >= width) {
    line.resize(from + width);
  } else {
    line.insert(from, width - size, ' ');
  }
}

// A number field read as a 64-bit value and written with `decimals` decimals. False when the
// value is beyond the 64-bit range (written as 0).
bool PutField(std::string& line, std::string_view field, int decimals, size_t width) {
  const size_t from = line.size();
  const bool inRange = AppendFieldPicture(line, field, decimals);
  JustifyRight(line, from, width);
  return inRange;
}

// A 32-bit value written with `decimals` decimals.
void PutNumber(std::string& line, float value, int decimals, size_t width) {
  char number[kPictureRoom];
  if (char* end = WritePicture(number, value, decimals)) {
    // Right-justified without moving the text: the blanks go first.
    const auto size = static_cast<size_t>(end - number);
    if (size < width) PutBlanks(line, width - size);
    line.append(number, std::min(size, width));
    return;
  }
  const size_t from = line.size();
  AppendPicture(line, value, decimals);
  JustifyRight(line, from, width);
}

// Fields written in place, into the sink's room for the line (kof lines of points and
// observations are built where they are stored, without a string of their own).

// The first `cut` characters of `text` at `at`, padded with blanks to `width` columns.
char* PlaceLeft(char* at, std::string_view text, size_t cut, size_t width, TextEncoding encoding) {
  text = CharPrefix(text, cut, encoding);
  CopyShort(at, text.data(), text.size());
  at += text.size();
  // Sixteen blanks at once (no field is wider); the line's room has them to spare.
  std::memcpy(at, kBlanks.data(), 16);
  return at + (width - CharCount(text, encoding));
}

// `text` right-justified in `width` (at most 16) columns at `at`; a longer text keeps its
// leftmost ones. A `text` of kPictureRoom bytes is copied sixteen bytes at once.
char* PlaceRight(char* at, const char* text, size_t size, size_t width, bool roomy) {
  if (size < width) {
    std::memcpy(at, kBlanks.data(), 16);
    at += width - size;
  } else {
    size = width;
  }
  if (roomy) {
    std::memcpy(at, text, 16);
  } else {
    std::memcpy(at, text, size);
  }
  return at + size;
}

// PutField in place (`width` at most kPictureRoom).
char* PlaceField(char* at, std::string_view field, int decimals, size_t width, bool& inRange) {
  char number[kPictureRoom];
  if (char* end = WriteFieldPicture(number, field, decimals)) {
    return PlaceRight(at, number, static_cast<size_t>(end - number), width, true);
  }
  std::string text;
  inRange &= AppendFieldPicture(text, field, decimals);
  return PlaceRight(at, text.data(), text.size(), width, false);
}

// PutNumber in place.
char* PlaceNumber(char* at, float value, int decimals, size_t width) {
  char number[kPictureRoom];
  if (char* end = WritePicture(number, value, decimals)) {
    return PlaceRight(at, number, static_cast<size_t>(end - number), width, true);
  }
  std::string text;
  AppendPicture(text, value, decimals);
  return PlaceRight(at, text.data(), text.size(), width, false);
}

// Bytes a line of a point name, a code and numbers of `numbers` columns can take.
size_t LineRoom(std::string_view point, std::string_view code, size_t numbers) {
  // Fields are padded sixteen blanks at once and numbers copied sixteen bytes at once: up to
  // sixteen bytes past the line's end are written over.
  return 4 + point.size() + kPointField + code.size() + kCodeField + numbers + 16;
}

// The three 68-column header lines, written with their trailing blanks. The texts come from
// the settings and are written in the output's encoding.
void WriteHeader(LineSink& sink, std::string_view title1, std::string_view title2,
                 const KofOptions& o, TextEncoding encoding, ConvertNotes& notes) {
  std::string line(title1);
  line.append(kHeaderLength - line.size(), ' ');
  sink.Line(line);
  line.assign(title2);
  line.append(kHeaderLength - line.size(), ' ');
  sink.Line(line);
  line.assign(" 01 ");
  size_t lost = 0;
  const std::string* texts[] = {&o.project, &o.date, &o.road, &o.city, &o.surveyor};
  for (const std::string* text : texts) {
    // Twelve characters and a blank each; the last field ends the line without one.
    PutLeft(line, ToEncoding(*text, encoding, &lost), 12, text == texts[4] ? 12 : 13, encoding);
  }
  notes.Unrepresentable(lost);
  sink.Line(line);
}

// Converts (when asked) and cuts a point name for its field.
void PreparePoint(std::string& point, const KofOptions& o, const PointConversion& table,
                  TextEncoding encoding) {
  if (o.usePointNumberConversion) ConvertPointNumber(point, table, encoding);
  point.resize(CharPrefixLength(point, kPointCut, encoding));
}

void CutCode(std::string& code, TextEncoding encoding) {
  code.resize(CharPrefixLength(code, kCodeCut, encoding));
}

// " 03 " observation line. False when a value was beyond the 64-bit range.
bool WriteObservation(LineSink& sink, std::string_view point, std::string_view code,
                      std::string_view hz, std::string_view v, std::string_view distance,
                      std::string_view height, TextEncoding encoding) {
  char* const begin = sink.Begin(LineRoom(point, code, 8 + 1 + 8 + 1 + 8 + 1 + 6));
  std::memcpy(begin, " 03 ", 4);
  char* at = PlaceLeft(begin + 4, point, kPointCut, kPointField, encoding);
  at = PlaceLeft(at, code, kCodeCut, kCodeField, encoding);
  bool inRange = true;
  at = PlaceField(at, hz, 4, 8, inRange);  // "##0.0000"
  *at++ = ' ';
  at = PlaceField(at, v, 4, 8, inRange);
  *at++ = ' ';
  at = PlaceField(at, distance, 3, 8, inRange);  // "###0.000"
  *at++ = ' ';
  at = PlaceField(at, height, 3, 6, inRange);  // "#0.000"
  sink.End(at);
  return inRange;
}

// " 05 " coordinate line; the values are single precision.
void WriteCoordinate(LineSink& sink, std::string_view point, std::string_view code,
                     float first, float second, float elevation, TextEncoding encoding) {
  char* const begin = sink.Begin(LineRoom(point, code, 12 + 1 + 11 + 1 + 8));
  std::memcpy(begin, " 05 ", 4);
  char* at = PlaceLeft(begin + 4, point, kPointCut, kPointField, encoding);
  at = PlaceLeft(at, code, kCodeCut, kCodeField, encoding);
  at = PlaceNumber(at, first, 3, 12);  // "##0.000"
  *at++ = ' ';
  at = PlaceNumber(at, second, 3, 11);
  *at++ = ' ';
  at = PlaceNumber(at, elevation, 3, 8);
  sink.End(at);
}

// What a comment changes: temperature and pressure ("Temp:", "Press:") and the coordinate
// order ("Coord Order: NEZ" or "ENZ"). False when a value was beyond the 32-bit range.
bool ReadComment(std::string_view text, float& temperature, float& pressure, bool& swap) {
  bool outOfRange = false;
  size_t temp = text.find(kTemperatureText);
  if (temp != std::string_view::npos) {
    auto part = [&](size_t from, size_t n) {
      return from < text.size() ? text.substr(from, n) : std::string_view();
    };
    temperature = SingleField(part(temp + 5, 4), outOfRange);
    // Without "Press:" the pressure is read from characters 6..10 of the comment.
    size_t press = text.find(kPressureText);
    pressure = SingleField(part(press == std::string_view::npos ? 5 : press + 6, 5), outOfRange);
  }
  if (text.find(kCoordOrderText) != std::string_view::npos) {
    std::string_view trimmed = TrimView(text);
    std::string_view word = trimmed.size() > 13 ? TrimView(trimmed.substr(13)) : "";
    if (word == "NEZ") swap = true;
    if (word == "ENZ") swap = false;
  }
  return !outOfRange;
}

}  // namespace

std::string LoadPointConversion(const KofOptions& options, PointConversion& table,
                                Reporter& reporter) {
  const std::string& path = options.pointFile;
  if (path.empty()) return "E";
  struct stat st {};
  std::ifstream in;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 4)
    in.open(path, std::ios::binary);
  if (!in.is_open()) {
    reporter.Report(path + " " + options.notFoundText, options.loadTitle + " " + path,
                    MessageIcon::Exclamation);
    return "E";
  }
  std::string line;
  LineReader reader(in);
  while (reader.Next(line)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    double index = RoundHalfEven(LeadingNumber(std::string_view(line).substr(0, eq)));
    std::string replacement = Trim(std::string_view(line).substr(eq + 1));
    if (!replacement.empty() && index >= 0 && index <= 199)
      table.entries[static_cast<size_t>(index)] = std::move(replacement);
  }
  return "";
}

void ConvertPointNumber(std::string& name, const PointConversion& table, TextEncoding encoding) {
  std::string_view trimmed = TrimView(name);
  if (trimmed.size() != name.size()) name = std::string(trimmed);
  const size_t first2 = CharPrefixLength(name, 2, encoding);
  if (CharCount(std::string_view(name).substr(0, first2), encoding) < 2) return;
  double prefix = RoundHalfEven(LeadingNumber(std::string_view(name).substr(0, first2)));
  if (prefix < 0 || prefix > 99) return;
  const std::string& replacement = table.entries[static_cast<size_t>(prefix)];
  if (!replacement.empty()) name.replace(0, first2, replacement);
}

void SplitCodeSuffix(std::string& code, std::string& suffix) {
  suffix.clear();
  size_t dash = code.rfind('-');
  if (dash == std::string::npos) return;
  suffix.assign(code, dash + 1, std::string::npos);
  code.erase(dash);
}

ConvertResult RawToKOF(std::istream& in, std::ostream& out, const KofOptions& o,
                       int coordOrderIndex, const PointConversion& table, TextEncoding encoding) {
  ConvertNotes notes;
  LineSink sink(out);
  WriteHeader(sink, " 00 KORVENIA VERSION 1.00",
              " 00 From Vexal RAW Data Format v2.00 to KOF format", o, encoding, notes);

  bool swap = coordOrderIndex == 0;  // NEZ files hold the northing first; KOF wants E first
  float temperature = 0, pressure = 0;
  std::string code;  // the current code: kept until a record sets it again
  std::string point, suffix, text;
  std::string_view line;
  FieldViews f;
  // A point name for its field: cut where it stands in the line unless it is converted.
  auto pointName = [&](std::string_view name) -> std::string_view {
    if (!o.usePointNumberConversion) return CharPrefix(name, kPointCut, encoding);
    point.assign(name);
    PreparePoint(point, o, table, encoding);
    return point;
  };
  LineReader reader(in);
  while (reader.Next(line)) {
    if (SplitFieldViews(line, f) == 0) continue;
    line = TrimView(line);
    bool inRange = true;
    const std::string_view type = f[1];
    if (type == RecordType::kComment) {
      std::string_view comment = line.substr(std::min<size_t>(3, line.size()));
      text.assign(" 00 ").append(comment);
      sink.Line(text);
      inRange = ReadComment(comment, temperature, pressure, swap);
    } else if (type == RecordType::kSideShot) {
      code.assign(f[8]);
      const std::string_view name = pointName(f[2]);
      suffix.clear();
      if (o.useCodeConversion) SplitCodeSuffix(code, suffix);
      CutCode(code, encoding);
      if (!suffix.empty()) sink.Line(text.assign(" 09 ").append(suffix));
      inRange = WriteObservation(sink, name, code, f[5], f[6], f[4], f[3], encoding);
    } else if (IsCoordinateRecord(type)) {
      bool outOfRange = false;
      float first = SingleField(f[4], outOfRange);
      float second = SingleField(f[5], outOfRange);
      float elevation = SingleField(f[6], outOfRange);
      inRange = !outOfRange;
      code.assign(f[7]);
      if (swap) SwapSingles(first, second);
      const std::string_view name = pointName(f[2]);
      if (o.useCodeConversion) SplitCodeSuffix(code, suffix);  // the suffix is dropped here
      CutCode(code, encoding);
      WriteCoordinate(sink, name, code, first, second, elevation, encoding);
    } else if (type == RecordType::kStation) {
      point.assign(f[2]);
      PreparePoint(point, o, table, encoding);
      CutCode(code, encoding);
      text.assign(" 02 ");
      PutLeft(text, point, kPointCut, kPointField, encoding);
      PutLeft(text, code, kCodeCut, kCodeField, encoding);
      text.append(9, ' ');
      PutNumber(text, pressure, 0, 8);  // "#0"
      text += ' ';
      PutNumber(text, temperature, 0, 8);
      text += ' ';
      inRange = PutField(text, f[6], 3, 6);  // "#0.000"
      text.append(" 33        ");  // "33" in columns 59-60, blank to column 68
      sink.Line(text);
      // Backsight: the name as read, never cut, so a long one pushes the rest to the right.
      const std::string_view backsight = f[4];
      text.assign(" 03 ").append(backsight);
      const size_t chars = CharCount(backsight, encoding);
      if (chars < kPointField) text.append(kPointField - chars, ' ');
      text.append(kCodeField, ' ');
      inRange &= PutField(text, f[7], 4, 8);  // "#0.0000"
      text.append(26, ' ');
      text.append("36 Or.pkt");
      sink.Line(text);
    } else if (type == RecordType::kObservation || type == RecordType::kControlPoint) {
      code.assign(f[9]);
      const std::string_view name = pointName(f[2]);
      CutCode(code, encoding);
      inRange = WriteObservation(sink, name, code, f[6], f[7], f[5], f[4], encoding);
    }
    if (!inRange) notes.OutOfRange(reader.lineNumber());
    if (sink.failed()) return WriteFailure(sink.error());
  }
  if (!sink.Finish()) return WriteFailure(sink.error());
  ConvertResult result;
  result.notes = notes;
  return result;
}

ConvertResult CoorToKOF(std::istream& in, std::ostream& out, const KofOptions& o,
                        int coordOrderIndex, const PointConversion& table, TextEncoding encoding) {
  ConvertNotes notes;
  LineSink sink(out);
  WriteHeader(sink, " 00 KORVENIA VERSION 1.0", " 00 From Vexal Coordinate Data to KOF format", o,
              encoding, notes);
  notes.leftOutReason = kShortCoordinateLine;
  bool swap = coordOrderIndex == 1;  // ENZ lists hold the easting first
  std::string point, code, suffix, text;
  std::string_view line;
  FieldViews f;
  LineReader reader(in);
  while (reader.Next(line)) {
    if (const int count = SplitFieldViews(line, f); count < 4 || IsTitleLine(f[2], f[3])) {
      if (count > 0) notes.LeftOut(reader.lineNumber());  // not blank: said
      continue;
    }
    bool outOfRange = false;
    float first = SingleField(f[3], outOfRange);
    float second = SingleField(f[2], outOfRange);
    float elevation = SingleField(f[4], outOfRange);
    if (outOfRange) notes.OutOfRange(reader.lineNumber());
    if (swap) SwapSingles(first, second);
    // Without conversions the name and code are cut where they stand, not copied.
    std::string_view pointText = CharPrefix(f[1], kPointCut, encoding);
    if (o.usePointNumberConversion) {
      point.assign(f[1]);
      PreparePoint(point, o, table, encoding);
      pointText = point;
    }
    std::string_view codeText = CharPrefix(f[5], kCodeCut, encoding);
    if (o.useCodeConversion) {
      code.assign(f[5]);
      SplitCodeSuffix(code, suffix);
      CutCode(code, encoding);
      codeText = code;
    }
    WriteCoordinate(sink, pointText, codeText, first, second, elevation, encoding);
    if (sink.failed()) return WriteFailure(sink.error());
  }
  if (!sink.Finish()) return WriteFailure(sink.error());
  ConvertResult result;
  result.notes = notes;
  return result;
}

namespace {
ConvertResult KofFiles(bool fromRaw, const std::string& inputPath, const std::string& outputPath,
                       WriteMode mode, const KofOptions& options, int coordOrderIndex,
                       PointConversion& table, Reporter& reporter) {
  if (inputPath.empty()) return ConvertResult::InputFault("No input file given");
  if (outputPath.empty()) return ConvertResult::OutputFault("No output file given");
  // A missing conversion file is reported; the run goes on with the table as it is.
  if (options.usePointNumberConversion) LoadPointConversion(options, table, reporter);
  return ConvertFiles(inputPath, outputPath, mode,
                      [&](std::istream& in, std::ostream& out, TextEncoding encoding) {
                        return fromRaw
                                   ? RawToKOF(in, out, options, coordOrderIndex, table, encoding)
                                   : CoorToKOF(in, out, options, coordOrderIndex, table, encoding);
                      });
}
}  // namespace

ConvertResult RawToKOF(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                       const KofOptions& options, int coordOrderIndex, PointConversion& table,
                       Reporter& reporter) {
  return KofFiles(true, inputPath, outputPath, mode, options, coordOrderIndex, table, reporter);
}

ConvertResult CoorToKOF(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const KofOptions& options, int coordOrderIndex, PointConversion& table,
                        Reporter& reporter) {
  return KofFiles(false, inputPath, outputPath, mode, options, coordOrderIndex, table, reporter);
}

}  // namespace korv
