// Fuzz target: the upload builders (coordinate lists split at commas or blanks, KOF files, code
// lists). Each writes whole CR LF lines, one byte a character in the instrument's code page,
// and counts the source lines as the sender expects; a comma list gives five values per point
// with point and code cut to 12 characters; and a KOF file written by CoorToKOF is read back
// column for column: the builder finds the point, code and numbers the writer put there.
#include <cmath>
#include <sstream>
#include <string>

#include "comm/upload_builders.h"
#include "core/numbers.h"
#include "core/text.h"
#include "formats/kof_writer.h"
#include "core/text_encoding.h"
#include "fuzz_properties.h"

namespace korv::fuzz {
namespace {

enum Builder { kComma, kSpace, kKof, kCodes };

std::vector<std::string_view> Split(std::string_view line, char at) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  while (true) {
    size_t end = line.find(at, start);
    pieces.push_back(line.substr(start, end - start));
    if (end == std::string_view::npos) return pieces;
    start = end + 1;
  }
}

void CheckBuilder(Builder builder, const CoordFieldOptions& fields, int order,
                  std::string_view doc) {
  std::istringstream in{std::string(doc)};
  std::ostringstream out;
  UploadBuild build;
  switch (builder) {
    case kComma:
      build = CreateUpLoadFileComma(in, out, fields, order);
      break;
    case kSpace:
      build = CreateUpLoadFileSpace(in, out, fields, order);
      break;
    case kKof:
      build = CreateUpLoadFileKOF(in, out, order);
      break;
    case kCodes:
      build = CreatUpLoadCodeFile(in, out);
      break;
  }
  Check(build.ok(), "an upload build in memory succeeds", build.fault);
  const std::string text = out.str();
  const std::vector<std::string_view> lines = WholeLines(text);
  const std::vector<std::string_view> source = InputLines(doc);
  const TextEncoding encoding =
      Columns::For(doc).utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;

  if (builder == kCodes) {
    Check(build.SendLineCount == static_cast<int>(source.size()), "the code list counts its lines",
          doc);
    Check(lines.size() == source.size(), "a code list is sent line for line", doc);
    for (size_t i = 0; i < lines.size() && i < source.size(); ++i) {
      Check(lines[i] == SentText(source[i], encoding), "a code list's lines are sent unchanged",
            lines[i]);
    }
    return;
  }
  // The sender's count: one before, one per source line, one after.
  Check(build.SendLineCount == static_cast<int>(source.size()) + 2,
        "an upload build counts every source line and two more", doc);
  Check(lines.size() <= source.size(), "an upload build makes at most one line per source line",
        doc);
  if (builder != kComma) return;
  for (std::string_view line : lines) {
    // Fields 1 to 5 hold no comma, so a line is point, three numbers and code.
    const std::vector<std::string_view> pieces = Split(line, ',');
    Check(pieces.size() == 5, "an upload line holds point, three numbers and code", line);
    Check(!pieces[0].empty() && pieces[0].size() <= 12, "an upload point holds 1 to 12 characters",
          line);
    Check(pieces[4].size() <= 12, "an upload code holds at most 12 characters", line);
    for (size_t k = 1; k <= 3; ++k) {
      Check(!pieces[k].empty(), "an upload coordinate is never empty", line);
    }
  }
}

// CoorToKOF's columns read back by the KOF builder.
void CheckKofRoundTrip(int order, std::string_view doc) {
  std::istringstream list{std::string(doc)};
  const TextEncoding encoding = OutputEncodingOf(list);
  std::ostringstream kof;
  Check(CoorToKOF(list, kof, KofOptions(), order, PointConversion(), encoding).ok(),
        "a KOF file is written in memory");
  std::istringstream kofIn(kof.str());
  // Columns are read back in the encoding the file shows; where the cuts made a file that
  // looks otherwise (a stray byte cut off), the columns cannot be found again.
  if (OutputEncodingOf(kofIn) != encoding) return;
  std::ostringstream out;
  const UploadBuild build = CreateUpLoadFileKOF(kofIn, out, order);
  Check(build.ok(), "a KOF upload build in memory succeeds", build.fault);
  const std::string text = out.str();
  const std::vector<std::string_view> lines = WholeLines(text);
  const Columns columns = Columns::For(doc);

  std::vector<FieldArray> points;
  FieldArray f;
  for (std::string_view view : InputLines(doc)) {
    std::string line(view);
    if (SplitFields(line, f) >= 4 && !IsTitleLine(f[2], f[3])) points.push_back(f);
  }
  Check(lines.size() == points.size(), "a KOF file sends one line per coordinate line", doc);
  for (size_t i = 0; i < points.size(); ++i) {
    const FieldArray& p = points[i];
    const std::string_view line = lines[i];
    const std::string point = SentText(TrimView(columns.First(p[1], 10)), encoding);
    const std::string code = SentText(TrimView(columns.First(p[5], 8)), encoding);
    std::vector<std::string_view> pieces = Split(line, ',');
    if (!point.empty()) {
      Check(pieces.size() == 5 && pieces[0] == point,
            "the point the KOF writer wrote is the one sent", line);
      pieces.erase(pieces.begin());
    }
    Check(pieces.size() == 4 && pieces[3] == code, "the code the KOF writer wrote is the one sent",
          line);
    // The coordinates go in the list's order; each is checked when it fitted its column (the
    // easting has 12, the northing 11).
    for (size_t k = 0; k < 3; ++k) {
      const float value = ToSingle(LeadingNumber(p[2 + k]));
      const bool easting = (k == 0) == (order == 1) && k < 2;
      const size_t width = k == 2 ? 8 : easting ? 12 : 11;
      if (FormatPicture(value, "0.000").size() > width) continue;
      const double v = value;
      Check(std::fabs(LeadingNumber(pieces[k]) - v) <= 0.0005 + 1e-6 * std::fabs(v),
            "a coordinate the KOF writer wrote is the one sent", line);
    }
  }
}

}  // namespace
}  // namespace korv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korv;
  using namespace korv::fuzz;
  FuzzedDataProvider fdp(data, size);
  const auto builder = static_cast<Builder>(fdp.ConsumeIntegralInRange(0, 3));
  const int order = fdp.ConsumeIntegralInRange(0, 1);
  CoordFieldOptions fields;
  for (int& field : fields.fields) field = fdp.ConsumeIntegralInRange(0, 6);
  const std::string doc = fdp.ConsumeRemainingBytesAsString();
  CheckBuilder(builder, fields, order, doc);
  CheckKofRoundTrip(order, doc);
  return 0;
}
