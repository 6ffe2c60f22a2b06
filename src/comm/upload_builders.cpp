// Upload line building for coordinate lists, KOF files and code lists.
#include "comm/upload_builders.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/file_procs.h"
#include "core/input_file.h"
#include "core/key_store.h"
#include "core/line_reader.h"
#include "core/text.h"
#include "core/text_encoding.h"

namespace korv {

namespace {

std::string Number(std::string_view text) {
  std::string s = Trim(text);
  const std::size_t comma = s.find(',');
  if (comma != std::string::npos) s[comma] = '.';
  return s;
}

// Keeps what a source line gave for the check before an upload.
void Record(UploadBuild& build, std::size_t line, std::string_view point, std::string_view first,
            std::string_view second, std::string_view elevation, std::string_view code) {
  build.records.push_back(UploadRecord{static_cast<int>(line), Trim(point), Trim(code),
                                       Number(first), Number(second), Number(elevation)});
}

// Meanings of the coordinate upload columns.
enum Meaning { kPoint = 0, kNorthing, kEasting, kElevation, kCode, kMeaningCount };

using SplitFn = int (*)(std::string& line, std::vector<std::string>& fields);

UploadBuild CoordinateBuilder(std::istream& source, std::ostream& scratch,
                              const CoordFieldOptions& columns, int coordOrderIndex,
                              SplitFn split) {
  UploadBuild build;
  build.SendLineCount = 1;
  // Names and codes are cut in characters of the encoding the whole file is in.
  const TextEncoding encoding = OutputEncodingOf(source);
  build.encoding = encoding;
  std::vector<std::string> fields;
  std::string line;
  LineReader reader(source);
  while (reader.Next(line)) {
    ++build.SendLineCount;
    // A blank line makes nothing (sending it would repeat the previous point or send an
    // all-default point).
    if (split(line, fields) == 0) continue;
    std::array<std::string, kMeaningCount> value;
    for (int meaning = 0; meaning < kMeaningCount; ++meaning) {
      for (std::size_t column = 0; column < columns.fields.size(); ++column) {
        if (columns.fields[column] != meaning) continue;
        const std::size_t index = column + 1;
        value[static_cast<std::size_t>(meaning)] = index < fields.size() ? fields[index] : "";
      }
    }
    if (coordOrderIndex == 1) std::swap(value[kNorthing], value[kEasting]);
    Record(build, reader.lineNumber(), value[kPoint], value[kNorthing], value[kEasting],
           value[kElevation], value[kCode]);
    if (value[kPoint].empty()) value[kPoint] = "0";
    for (Meaning m : {kNorthing, kEasting, kElevation}) {
      if (value[m].empty()) value[m] = "0.000";
    }
    PutUpLoadLine(scratch, value[kPoint], value[kNorthing], value[kEasting], value[kElevation],
                  value[kCode], encoding);
  }
  ++build.SendLineCount;
  return build;
}

int SplitCommaFields(std::string& line, std::vector<std::string>& fields) {
  return SplitFields(line, fields);
}

// The piece of `line` from 1-based column `from` to `to`, shorter or empty near the end.
// Columns count characters, as the KOF writers place them.
std::string_view Piece(std::string_view line, std::size_t from, std::size_t to,
                       TextEncoding encoding) {
  const std::string_view rest = line.substr(CharPrefixLength(line, from - 1, encoding));
  return rest.substr(0, CharPrefixLength(rest, to - from + 1, encoding));
}

// Checks the source and scratch after a builder ran.
void Finish(UploadBuild& build, std::istream& source, std::ostream& scratch) {
  if (source.bad()) {
    build.Fail(Status::InputFault,
               "Cannot read the file to send: " + ErrorDescription(ErrorCodeFromErrno(errno)));
  } else if (!scratch) {
    build.Fail(Status::OutputFault,
               "Cannot write the upload file: " + ErrorDescription(ErrorCodeFromErrno(errno)));
  }
}

// Opens the source and runs `body` on it; a source that cannot be read, or that is no survey
// text (UTF-16, binary data, or with `commaFields` a semicolon-separated list), gives a fault
// and nothing is built: its bytes would reach the instrument as names and codes.
template <typename Body>
UploadBuild WithSource(const std::string& sourcePath, bool commaFields, Body body) {
  UploadBuild build;
  std::error_code ec;
  if (std::filesystem::is_directory(sourcePath, ec)) {
    build.Fail(Status::InputFault, ErrorDescription(ErrorCode::kPathFileAccess) + ": " + sourcePath);
    return build;
  }
  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) {
    build.Fail(Status::InputFault, ErrorDescription(ErrorCodeFromErrno(errno)) + ": " + sourcePath);
    return build;
  }
  const std::string refusal = NotSurveyDataReason(in, commaFields);
  if (!refusal.empty()) {
    build.Fail(Status::InputFault, "Cannot send " + sourcePath + ": " + refusal);
    return build;
  }
  build = body(in);
  if (!build.ok()) build.SendLineCount = 0;
  return build;
}

}  // namespace

std::string UpLoadLine(std::string_view point, std::string_view first, std::string_view second,
                       std::string_view elevation, std::string_view code, TextEncoding encoding) {
  std::string out(CharPrefix(TrimView(point), kUpLoadFieldChars, encoding));
  if (!out.empty()) out += ',';
  for (std::string_view number : {first, second, elevation}) {
    std::string n = Number(number);
    if (!n.empty()) out += n + ',';
  }
  out += CharPrefix(TrimView(code), kUpLoadFieldChars, encoding);
  return out;
}

std::string SentText(std::string_view text, TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 ? Utf8ToWindows1252(text) : std::string(text);
}

void PutUpLoadLine(std::ostream& scratch, std::string_view point, std::string_view first,
                   std::string_view second, std::string_view elevation, std::string_view code,
                   TextEncoding encoding) {
  scratch << SentText(UpLoadLine(point, first, second, elevation, code, encoding), encoding)
          << "\r\n";
}

UploadBuild CreateUpLoadFileComma(std::istream& source, std::ostream& scratch,
                                  const CoordFieldOptions& columns, int coordOrderIndex) {
  UploadBuild b = CoordinateBuilder(source, scratch, columns, coordOrderIndex, SplitCommaFields);
  Finish(b, source, scratch);
  return b;
}

UploadBuild CreateUpLoadFileSpace(std::istream& source, std::ostream& scratch,
                                  const CoordFieldOptions& columns, int coordOrderIndex) {
  UploadBuild b = CoordinateBuilder(source, scratch, columns, coordOrderIndex, SplitWords);
  Finish(b, source, scratch);
  return b;
}

UploadBuild CreateUpLoadFileKOF(std::istream& source, std::ostream& scratch, int coordOrderIndex) {
  UploadBuild build;
  build.SendLineCount = 1;
  // The columns are read in the encoding the whole file was written in.
  const TextEncoding encoding = OutputEncodingOf(source);
  build.encoding = encoding;
  std::string line;
  LineReader reader(source);
  while (reader.Next(line)) {
    ++build.SendLineCount;
    if (line.size() < 3 || line.compare(1, 2, "05") != 0) continue;
    const std::string_view l(line);
    const std::string_view point = Piece(l, 5, 14, encoding);
    const std::string_view code = Piece(l, 16, 23, encoding);
    const std::string_view a = Piece(l, 25, 36, encoding);
    const std::string_view b = Piece(l, 38, 48, encoding);
    const std::string_view elevation = Piece(l, 50, 57, encoding);
    const std::string_view first = coordOrderIndex == 1 ? a : b;
    const std::string_view second = coordOrderIndex == 1 ? b : a;
    Record(build, reader.lineNumber(), point, first, second, elevation, code);
    PutUpLoadLine(scratch, point, first, second, elevation, code, encoding);
  }
  ++build.SendLineCount;
  Finish(build, source, scratch);
  return build;
}

UploadBuild CreatUpLoadCodeFile(std::istream& source, std::ostream& scratch) {
  UploadBuild build;
  const TextEncoding encoding = OutputEncodingOf(source);
  std::string line;
  LineReader reader(source);
  while (reader.Next(line)) {
    scratch << SentText(line, encoding) << "\r\n";
    ++build.SendLineCount;
  }
  Finish(build, source, scratch);
  return build;
}

UploadBuild CreateUpLoadFileComma(const std::string& sourcePath, std::ostream& scratch,
                                  const CoordFieldOptions& columns, int coordOrderIndex) {
  return WithSource(sourcePath, true, [&](std::istream& in) {
    return CreateUpLoadFileComma(in, scratch, columns, coordOrderIndex);
  });
}

UploadBuild CreateUpLoadFileSpace(const std::string& sourcePath, std::ostream& scratch,
                                  const CoordFieldOptions& columns, int coordOrderIndex) {
  return WithSource(sourcePath, false, [&](std::istream& in) {
    return CreateUpLoadFileSpace(in, scratch, columns, coordOrderIndex);
  });
}

UploadBuild CreateUpLoadFileKOF(const std::string& sourcePath, std::ostream& scratch,
                                int coordOrderIndex) {
  return WithSource(sourcePath, false, [&](std::istream& in) {
    return CreateUpLoadFileKOF(in, scratch, coordOrderIndex);
  });
}

UploadBuild CreatUpLoadCodeFile(const std::string& sourcePath, std::ostream& scratch) {
  return WithSource(sourcePath, false,
                    [&](std::istream& in) { return CreatUpLoadCodeFile(in, scratch); });
}

}  // namespace korv
