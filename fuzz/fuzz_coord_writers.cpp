// Fuzz target: a coordinate list through CoorToKOF, CoorToSDR, CoorToDXF and CoorToCoordinates
// at stream level. Every run must succeed and write whole CR LF lines; each point gives one
// record with its texts in their columns, a drawing is pairs of group code and value whose
// points lie within its extents, and the same lines otherwise ended give the same output.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "coords/coord_file_writer.h"
#include "coords/coord_list.h"
#include "coords/dxf_writer.h"
#include "core/numbers.h"
#include "core/text.h"
#include "format_checks.h"
#include "formats/kof_writer.h"
#include "formats/sdr_writer.h"
#include "core/text_encoding.h"
#include "fuzz_properties.h"

namespace korv::fuzz {
namespace {

enum Writer { kKof, kSdr, kDxf, kCoordinates };

struct Run {
  Writer writer = kKof;
  int coordOrderIndex = 0;
  KofOptions kof;
  PointConversion table;
  std::string headerTexts[5];
  SdrRun sdr;
  std::string jobName;
  DxfOptions dxf;
  CoordFieldOptions fields;
};

std::string Convert(const Run& run, std::string_view doc, DxfExtents* extents = nullptr) {
  std::istringstream in{std::string(doc)};
  const TextEncoding encoding = OutputEncodingOf(in);
  std::ostringstream out;
  ConvertResult result;
  switch (run.writer) {
    case kKof:
      result = CoorToKOF(in, out, run.kof, run.coordOrderIndex, run.table, encoding);
      break;
    case kSdr:
      result = CoorToSDR(in, out, run.jobName, run.sdr, encoding);
      break;
    case kDxf:
      result = CoorToDXF(in, out, run.dxf, run.coordOrderIndex, extents, encoding);
      break;
    case kCoordinates:
      result = CoorToCoordinates(in, out, run.fields, run.fields.separator, run.coordOrderIndex);
      break;
  }
  Check(result.ok(), "a coordinate list conversion in memory succeeds", result.fault);
  return out.str();
}

// The fields of every input line that makes a point (at least four fields, and numbers rather
// than words where the coordinates belong).
std::vector<FieldArray> Points(std::string_view doc) {
  std::vector<FieldArray> points;
  FieldArray f;
  for (std::string_view view : InputLines(doc)) {
    std::string line(view);
    if (SplitFields(line, f) >= 4 && !IsTitleLine(f[2], f[3])) points.push_back(f);
  }
  return points;
}

void CheckKof(const Run& run, const Columns& c, const std::vector<std::string_view>& lines,
              std::string_view doc) {
  CheckKofHeader(c, lines, run.headerTexts);
  const std::vector<FieldArray> points = Points(doc);
  Check(lines.size() == 3 + points.size(), "KOF writes one line per point", doc);
  for (size_t i = 0; i < points.size(); ++i) {
    const std::string_view line = lines[3 + i];
    Check(c.Cut(line, 1, 4) == " 05 ", "KOF points are coordinate lines", line);
    CheckKofLine(c, line);
    if (!run.kof.usePointNumberConversion) {
      Check(RightTrimmed(c.Cut(line, 5, 15)) == RightTrimmed(c.First(points[i][1], 10)),
            "KOF point name stands cut to 10 characters in columns 5-14", line);
    }
    if (!run.kof.useCodeConversion) {
      Check(RightTrimmed(c.Cut(line, 16, 24)) == RightTrimmed(c.First(points[i][5], 8)),
            "KOF code stands cut to 8 characters in columns 16-23", line);
    }
  }
}

void CheckSdr(const Run& run, const Columns& c, const std::vector<std::string_view>& lines,
              std::string_view doc) {
  CheckSdrLines(c, lines, run.jobName);
  const std::vector<FieldArray> points = Points(doc);
  Check(lines.size() == 6 + points.size(), "SDR writes one record per point", doc);
  const bool northingFirst = run.coordOrderIndex == 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const std::string_view line = lines[6 + i];
    const FieldArray& f = points[i];
    Check(line.substr(0, 4) == "08KI", "SDR points are 08KI records", line);
    Check(c.Count(line) <= 84, "SDR coordinate record within 84 columns", line);
    const std::string_view texts[5] = {f[1], northingFirst ? f[3] : f[2],
                                       northingFirst ? f[2] : f[3], f[4], f[5]};
    for (size_t k = 0; k < 5; ++k) {
      const size_t from = 5 + 16 * k;
      Check(RightTrimmed(c.Cut(line, from, from + 15)) ==
                RightTrimmed(c.First(TrimView(texts[k]), 16)),
            "SDR field stands trimmed and cut to 16 characters in its columns", line);
    }
  }
}

bool IsFixed4(std::string_view text) {
  size_t i = text.substr(0, 1) == "-" ? 1 : 0;
  size_t point = text.find('.');
  if (point == std::string_view::npos || point == i || text.size() - point != 5) return false;
  for (; i < text.size(); ++i) {
    if (i != point && (text[i] < '0' || text[i] > '9')) return false;
  }
  return true;
}

void CheckDxf(const Run& run, const std::vector<std::string_view>& lines, std::string_view doc,
              const DxfExtents& extents) {
  Check(lines.size() % 2 == 0, "DXF lines come in pairs of group code and value", doc);
  bool entities = false;
  size_t points = 0;
  std::string_view entity;
  for (size_t i = 0; i < lines.size(); i += 2) {
    const std::string_view code = TrimView(lines[i]), value = lines[i + 1];
    Check(!code.empty() && code.find_first_not_of("0123456789") == std::string_view::npos &&
              code.size() <= 4,
          "DXF group code is a whole number", lines[i]);
    if (code == "2" && value == "ENTITIES") entities = true;
    if (!entities) continue;
    if (code == "0") {
      entity = value;
      points += value == "POINT";
      Check(value == "POINT" || value == "TEXT" || value == "ENDSEC" || value == "EOF",
            "DXF entity of a known type", value);
    } else if (code == "10" || code == "20" || code == "30") {
      Check(IsFixed4(value), "DXF coordinate written with four decimals", value);
      Check(!(run.dxf.output2D && code == "30"), "a 2D drawing has no elevations", value);
      if (entity == "POINT" && code != "30") {
        // The extents hold every point; the written value is rounded to four decimals.
        const double v = LeadingNumber(value);
        const double lo = code == "10" ? extents.XMin : extents.YMin;
        const double hi = code == "10" ? extents.XMax : extents.YMax;
        const double slack = 0.00005 + 1e-14 * std::max(std::fabs(lo), std::fabs(hi));
        Check(v >= lo - slack && v <= hi + slack, "DXF points lie within the extents", value);
      }
    }
  }
  Check(entities && lines.size() >= 4 && lines[lines.size() - 2] == " 0" && lines.back() == "EOF",
        "DXF drawing ends with EOF");
  Check(points == Points(doc).size(), "DXF draws one point per line that makes a point", doc);
}

void CheckCoordinates(const Run& run, const std::vector<std::string_view>& lines,
                      std::string_view doc) {
  size_t expected = 0;
  FieldViews f;
  for (std::string_view line : InputLines(doc)) expected += SplitFieldViews(line, f) > 0;
  Check(lines.size() == expected, "the coordinate file has one line per non-blank line", doc);
  if (run.fields.separator == FieldSeparator::Comma) {
    for (std::string_view line : lines) {
      // Fields 1 to 5 never hold a comma, so the five values are joined by exactly four.
      Check(std::count(line.begin(), line.end(), ',') == 4,
            "a comma-separated coordinate line holds five values", line);
    }
  }
}

}  // namespace
}  // namespace korv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korv;
  using namespace korv::fuzz;
  FuzzedDataProvider fdp(data, size);
  Run run;
  run.writer = static_cast<Writer>(fdp.ConsumeIntegralInRange(0, 3));
  run.coordOrderIndex = fdp.ConsumeIntegralInRange(0, 1);
  switch (run.writer) {
    case kKof:
      PickKofOptions(fdp, run.kof, run.headerTexts);
      run.table.entries[12] = "N";
      run.table.entries[99] = PickText(fdp);
      break;
    case kSdr:
      run.sdr.coordOrderIndex = run.coordOrderIndex;
      run.jobName = PickText(fdp);
      run.sdr.now.tm_year = 126;
      run.sdr.now.tm_mday = 2;
      break;
    case kDxf: {
      static const char* const kSizes[] = {"1", "0.25", "", "abc", "-2", "1e30", "1e39", "3E-45"};
      static const char* const kColours[] = {"0", "7", "8", "-1", "x", "", "2.5"};
      run.dxf.output2D = fdp.ConsumeBool();
      run.dxf.pointLayer = PickText(fdp);
      for (DxfTextRow& row : run.dxf.rows) {
        row.write = fdp.ConsumeBool();
        row.layer = PickText(fdp);
        row.size = kSizes[fdp.ConsumeIntegralInRange<size_t>(0, std::size(kSizes) - 1)];
        row.colour = kColours[fdp.ConsumeIntegralInRange<size_t>(0, std::size(kColours) - 1)];
      }
      break;
    }
    case kCoordinates:
      for (int& field : run.fields.fields) field = fdp.ConsumeIntegralInRange(0, 7);
      run.fields.separator = fdp.ConsumeBool() ? FieldSeparator::Space : FieldSeparator::Comma;
      break;
  }
  const std::string doc = fdp.ConsumeRemainingBytesAsString();

  DxfExtents extents;
  const std::string out = Convert(run, doc, &extents);
  const std::vector<std::string_view> lines = WholeLines(out);
  const Columns columns = Columns::For(doc);
  CheckEncoding(columns, out);
  switch (run.writer) {
    case kKof:
      CheckKof(run, columns, lines, doc);
      break;
    case kSdr:
      CheckSdr(run, columns, lines, doc);
      break;
    case kDxf:
      CheckDxf(run, lines, doc, extents);
      break;
    case kCoordinates:
      CheckCoordinates(run, lines, doc);
      break;
  }

  CheckLineEndsDoNotMatter([&](const std::string& d) { return Convert(run, d); }, doc, out);
  return 0;
}
