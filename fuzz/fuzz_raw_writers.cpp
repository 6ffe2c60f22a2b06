// Fuzz target: raw data through RawToKOF, RawToMAPA and RawToSDR at stream level. Besides not
// crashing, every run must succeed, write whole CR LF lines in the formats' layouts, and write
// the same for the same lines however they are ended.
#include <ctime>
#include <sstream>
#include <string>

#include "format_checks.h"
#include "formats/kof_writer.h"
#include "formats/mapa_writer.h"
#include "formats/sdr_writer.h"
#include "core/text_encoding.h"
#include "fuzz_properties.h"

namespace korv::fuzz {
namespace {

enum Writer { kKof, kMapa, kSdr };

struct Run {
  Writer writer = kKof;
  int coordOrderIndex = 0;
  KofOptions kof;
  PointConversion table;
  std::string headerTexts[5];
  SdrRun sdr;
  std::string jobName;
  std::tm now{};
};

std::string Convert(const Run& run, std::string_view doc) {
  std::istringstream in{std::string(doc)};
  const TextEncoding encoding = OutputEncodingOf(in);
  std::ostringstream out;
  ConvertResult result;
  switch (run.writer) {
    case kKof:
      result = RawToKOF(in, out, run.kof, run.coordOrderIndex, run.table, encoding);
      break;
    case kMapa:
      result = RawToMAPA(in, out, run.now, encoding);
      break;
    case kSdr:
      result = RawToSDR(in, out, run.jobName, run.sdr, encoding);
      break;
  }
  Check(result.ok(), "a raw data conversion in memory succeeds", result.fault);
  return out.str();
}

void CheckKof(const Run& run, const Columns& c, const std::vector<std::string_view>& lines) {
  CheckKofHeader(c, lines, run.headerTexts);
  for (size_t i = 3; i < lines.size(); ++i) {
    CheckKofLine(c, lines[i]);
    const std::string_view kind = c.Cut(lines[i], 1, 4);
    if (kind == " 02 ") {
      Check(i + 1 < lines.size() && c.Cut(lines[i + 1], 1, 4) == " 03 " &&
                lines[i + 1].substr(lines[i + 1].size() - 9) == "36 Or.pkt",
            "KOF station line is followed by its backsight line", lines[i]);
    } else if (kind == " 09 ") {
      Check(i + 1 < lines.size() && c.Cut(lines[i + 1], 1, 4) == " 03 ",
            "KOF code suffix line comes before its observation", lines[i]);
    }
  }
}

void CheckMapa(const std::vector<std::string_view>& lines) {
  static constexpr std::string_view kBlock[] = {"9999", "999999999", "100001", "1", "3", "0", "2"};
  size_t i = 0;
  while (i < lines.size() && lines[i].substr(0, 1) == ";") ++i;  // the comment header
  for (std::string_view value : kBlock) {
    Check(i < lines.size() && lines[i] == value, "MAPA fixed block follows the header",
          i < lines.size() ? lines[i] : "");
    ++i;
  }
  Check(lines.size() >= i + 2 && lines[lines.size() - 2] == "/" && lines.back() == "-2",
        "MAPA file ends with / and -2");
  for (size_t k = i; k < lines.size(); ++k) {
    if (lines[k] == "-1") {
      Check(k > i && lines[k - 1].substr(0, 2) == "1 ", "MAPA -1 follows a station line",
            lines[k - 1]);
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
  run.writer = static_cast<Writer>(fdp.ConsumeIntegralInRange(0, 2));
  run.coordOrderIndex = fdp.ConsumeIntegralInRange(0, 1);
  PickKofOptions(fdp, run.kof, run.headerTexts);
  run.table.entries[0] = "Z";
  run.table.entries[12] = "N";
  run.table.entries[99] = PickText(fdp);
  run.sdr.coordOrderIndex = run.coordOrderIndex;
  run.jobName = PickText(fdp);
  run.now.tm_year = 126;
  run.now.tm_mon = 0;
  run.now.tm_mday = 2;
  run.now.tm_hour = 3;
  run.now.tm_min = 4;
  run.now.tm_sec = 5;
  run.sdr.now = run.now;
  const std::string doc = fdp.ConsumeRemainingBytesAsString();

  const std::string out = Convert(run, doc);
  const std::vector<std::string_view> lines = WholeLines(out);
  const Columns columns = Columns::For(doc);
  CheckEncoding(columns, out);
  switch (run.writer) {
    case kKof:
      CheckKof(run, columns, lines);
      break;
    case kMapa:
      CheckMapa(lines);
      break;
    case kSdr:
      CheckSdrLines(columns, lines, run.jobName);
      break;
  }

  CheckLineEndsDoNotMatter([&](const std::string& d) { return Convert(run, d); }, doc, out);
  return 0;
}
