// Builders of the upload file: turn a coordinate list (comma or blank separated), a KOF file
// or a code list into the lines that go over the link, one upload line per point.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/coord_field_options.h"
#include "core/outcome.h"
#include "core/text_encoding.h"

namespace korv {

// One upload line of a coordinate or KOF source as the builder read it, before the defaults
// and the cut: for the check before an upload (upload_check.h).
struct UploadRecord {
  int line = 0;               // the source line, from 1
  std::string point, code;    // trimmed
  std::string first, second;  // in sending order, trimmed, first "," turned into "."
  std::string elevation;
};

// What a builder leaves behind: InputFault when the source could not be read, OutputFault
// when the scratch file could not be written.
struct UploadBuild : Outcome {
  // Line count kept for the sender: the coordinate and KOF builders start at 1, add 1 per
  // source line (used or not) and 1 at the end; the code list builder counts its lines.
  // The sender sends nothing when it is below 3.
  int SendLineCount = 0;
  // The coordinate and KOF builders: every upload line they wrote, and the encoding the
  // source's names and codes are cut in.
  std::vector<UploadRecord> records;
  TextEncoding encoding = TextEncoding::Windows1252;

  void Fail(Status why, std::string text) {
    status = why;
    fault = std::move(text);
  }
};

// The width of the instrument's point and code fields, in characters.
constexpr size_t kUpLoadFieldChars = 12;

// One upload line without its line end: point (trimmed, first 12 characters), the two
// plane coordinates and the elevation (trimmed, first "," turned into "."), each followed by
// a comma unless it is empty (then it is left out with its comma), and the code (trimmed,
// first 12 characters). Characters are counted in `encoding`, the source file's.
std::string UpLoadLine(std::string_view point, std::string_view first, std::string_view second,
                       std::string_view elevation, std::string_view code,
                       TextEncoding encoding = TextEncoding::Windows1252);
// `text` as the instrument receives it: in its code page, Windows-1252, one byte a character;
// a letter of a UTF-8 source that it cannot hold is sent as "?".
std::string SentText(std::string_view text, TextEncoding encoding);
// Writes UpLoadLine followed by CR LF, as SentText.
void PutUpLoadLine(std::ostream& scratch, std::string_view point, std::string_view first,
                   std::string_view second, std::string_view elevation, std::string_view code,
                   TextEncoding encoding = TextEncoding::Windows1252);

// Coordinate list, comma-separated (SplitFields) or blank-separated (SplitWords). `columns`
// are the upload field settings: what each of the five columns holds (0 point, 1 northing,
// 2 easting, 3 elevation, 4 code, 5 and 6 not used; a later column wins a meaning).
// `coordOrderIndex` 1 (ENZ) sends the easting first. Missing point becomes "0", missing
// coordinates "0.000". Blank source lines are counted but produce nothing.
UploadBuild CreateUpLoadFileComma(std::istream& source, std::ostream& scratch,
                                  const CoordFieldOptions& columns, int coordOrderIndex);
UploadBuild CreateUpLoadFileSpace(std::istream& source, std::ostream& scratch,
                                  const CoordFieldOptions& columns, int coordOrderIndex);
// KOF file: only "05" coordinate records (characters 2 and 3) make upload lines, cut by
// character positions; every line counts.
UploadBuild CreateUpLoadFileKOF(std::istream& source, std::ostream& scratch, int coordOrderIndex);
// Code list: every line copied unchanged (empty lines too, a UTF-8 list's as SentText), each
// counted.
UploadBuild CreatUpLoadCodeFile(std::istream& source, std::ostream& scratch);

// The same reading the source file at `sourcePath`; a source that cannot be opened or read,
// or that is no survey text (NotSurveyDataReason; semicolon lists only for the comma-separated
// coordinate list), gives InputFault and SendLineCount 0.
UploadBuild CreateUpLoadFileComma(const std::string& sourcePath, std::ostream& scratch,
                                  const CoordFieldOptions& columns, int coordOrderIndex);
UploadBuild CreateUpLoadFileSpace(const std::string& sourcePath, std::ostream& scratch,
                                  const CoordFieldOptions& columns, int coordOrderIndex);
UploadBuild CreateUpLoadFileKOF(const std::string& sourcePath, std::ostream& scratch,
                                int coordOrderIndex);
UploadBuild CreatUpLoadCodeFile(const std::string& sourcePath, std::ostream& scratch);

}  // namespace korv
