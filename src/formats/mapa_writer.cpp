// MAPA 2 writer from raw data.
#include "formats/mapa_writer.h"

#include <cstdio>
#include <cstring>
#include <string_view>
#include <deque>
#include <utility>

#include "core/convert_files.h"
#include "core/line_reader.h"
#include "core/numbers.h"
#include "core/text.h"
#include "formats/line_sink.h"
#include "formats/raw_data.h"

namespace korv {

namespace {

// Point names of observation lines keep their last 10 characters.
std::string_view ObservationPoint(std::string_view name, TextEncoding encoding) {
  return CharSuffix(TrimView(name), 10, encoding);
}

// "<point> <distance> <target height> <hz> <v>" of "SS", "SO" and "CP" records. False when a
// value is beyond the 64-bit range (written as 0).
bool AppendObservation(std::string& line, std::string_view point, std::string_view distance,
                       std::string_view height, std::string_view hz, std::string_view v,
                       TextEncoding encoding) {
  line.assign(ObservationPoint(point, encoding));
  line += ' ';
  bool inRange = AppendFieldPicture(line, distance, 3);
  line += ' ';
  inRange &= AppendFieldPicture(line, height, 3);
  line += ' ';
  inRange &= AppendFieldPicture(line, hz, 4);
  line += ' ';
  inRange &= AppendFieldPicture(line, v, 4);
  return inRange;
}

// The same line with `mark` and `code` after it, written straight into the sink's room. False,
// writing nothing, when a number is not a plain decimal field (AppendObservation writes those).
bool PlaceObservation(LineSink& sink, std::string_view point, std::string_view distance,
                      std::string_view height, std::string_view hz, std::string_view v,
                      std::string_view mark, std::string_view code, TextEncoding encoding) {
  point = ObservationPoint(point, encoding);
  char* const begin = sink.Begin(point.size() + 4 * (1 + kPictureRoom) + mark.size() + code.size());
  char* at = begin;
  if (!point.empty()) std::memcpy(at, point.data(), point.size());
  at += point.size();
  const std::string_view numbers[] = {distance, height, hz, v};
  const int decimals[] = {3, 3, 4, 4};
  for (int i = 0; i < 4; ++i) {
    *at++ = ' ';
    at = WriteFieldPicture(at, numbers[i], decimals[i]);
    if (!at) return false;  // the line is left unended: nothing is kept
  }
  if (!mark.empty()) std::memcpy(at, mark.data(), mark.size());
  at += mark.size();
  if (!code.empty()) std::memcpy(at, code.data(), code.size());
  sink.End(at + code.size());
  return true;
}

bool HeaderCommentDropped(std::string_view line) {
  return StartsWith(line, "CO,Downloaded") || StartsWith(line, "CO,Tilt Correction") ||
         line.find("<JOB> Created") != std::string_view::npos;
}

}  // namespace

ConvertResult RawToMAPA(std::istream& in, std::ostream& out, const std::tm& now,
                        TextEncoding encoding) {
  // First pass: the code of each coded coordinate record's point (the first one wins). The
  // points (name, code) in a block-wise list, whose names do not move, and an index of them.
  std::deque<std::pair<std::string, std::string>> coded;
  NameIndex codes;
  std::streampos start = in.tellg();
  std::string_view line;
  std::string station;
  FieldViews f;
  LineReader firstPass(in);
  while (firstPass.Next(line)) {
    // Only coordinate records matter here; field 1 is the text before the first comma.
    size_t comma = line.find(',');
    if (comma == std::string_view::npos || !IsCoordinateRecord(TrimView(line.substr(0, comma))))
      continue;
    if (SplitFieldViews(line, f) > 4 && IsCoordinateRecord(f[1])) {
      std::string_view code = TrimView(f[7]);
      if (code.empty()) continue;
      // One lookup: the new entry's own name is the key; a known name takes it back (the
      // first code wins).
      coded.emplace_back(TrimView(f[2]), code);
      if (codes.Add(coded.back().first, coded.size()) != 0) coded.pop_back();
    }
  }
  in.clear();
  in.seekg(start);
  if (!in) return ConvertResult::InputFault("The input cannot be read a second time");

  LineSink sink(out);
  ConvertNotes notes;
  std::string text;
  LineReader reader(in);

  // Header: the leading comments, without the instrument's download notes.
  bool inBody = false;
  int headerComments = 0;
  while (reader.Next(line)) {
    if (!StartsWith(line, "CO,")) {
      inBody = true;
      break;
    }
    if (HeaderCommentDropped(line)) continue;
    std::string_view comment = line.substr(3);
    if (headerComments++ == 0) {
      sink.Line(text.assign("; MAPA 2 format from ").append(comment));
      char date[32];
      std::snprintf(date, sizeof date, "; Date: %02d-%02d-%02d", now.tm_mday % 100,
                    (now.tm_mon + 1) % 100, (now.tm_year + 1900) % 100);
      sink.Line(date);
    } else {
      sink.Line(text.assign("; ").append(comment));
    }
  }

  for (const char* value : {"9999", "999999999", "100001", "1", "3", "0", "2"}) sink.Line(value);

  // Body: `line` already holds its first line when the header ended before the input did.
  bool stationOpen = false;
  for (bool have = inBody; have; have = reader.Next(line)) {
    bool inRange = true;
    if (StartsWith(line, "CO,")) {
      sink.Line(text.assign("; ").append(line.substr(3)));
    } else if (SplitFieldViews(line, f) > 0) {
      const std::string_view type = f[1];
      if (type == RecordType::kStation) {
        if (stationOpen) sink.Line("/");
        stationOpen = true;
        station.assign(TrimView(f[2]));
        text.assign("1 ").append(station).append(" ");
        inRange = AppendFieldPicture(text, f[6], 3);
        if (const size_t point = codes.Find(station))
          text.append(" *").append(coded[point - 1].second);
        sink.Line(text);
        sink.Line("-1");
      } else if (type == RecordType::kSideShot) {
        std::string_view code = TrimView(f[8]);
        const std::string_view mark = code.empty() ? "" : " *";
        if (!PlaceObservation(sink, f[2], f[4], f[3], f[5], f[6], mark, code, encoding)) {
          inRange = AppendObservation(text, f[2], f[4], f[3], f[5], f[6], encoding);
          sink.Line(text.append(mark).append(code));
        }
      } else if (type == RecordType::kObservation) {
        std::string_view code = TrimView(f[9]);
        const std::string_view mark = code.empty() ? "" : " *";
        if (!PlaceObservation(sink, f[2], f[5], f[4], f[6], f[7], mark, code, encoding)) {
          inRange = AppendObservation(text, f[2], f[5], f[4], f[6], f[7], encoding);
          sink.Line(text.append(mark).append(code));
        }
      } else if (type == RecordType::kControlPoint) {
        if (!PlaceObservation(sink, f[2], f[5], f[4], f[6], f[7], " *OR", "", encoding)) {
          inRange = AppendObservation(text, f[2], f[5], f[4], f[6], f[7], encoding);
          sink.Line(text.append(" *OR"));
        }
      } else if (IsCoordinateRecord(type) || type == RecordType::kUserCode ||
                 type == RecordType::kMeasuredCode) {
        sink.Line(text.assign(";").append(TrimView(line)));
      }
    }
    if (!inRange) notes.OutOfRange(reader.lineNumber());
    if (sink.failed()) return WriteFailure(sink.error());
  }

  sink.Line("/");
  sink.Line("-2");
  if (!sink.Finish()) return WriteFailure(sink.error());
  ConvertResult result;
  result.notes = notes;
  return result;
}

ConvertResult RawToMAPA(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const std::tm& now) {
  return ConvertFiles(inputPath, outputPath, mode,
                      [&](std::istream& in, std::ostream& out, TextEncoding encoding) {
                        return RawToMAPA(in, out, now, encoding);
                      });
}

}  // namespace korv
