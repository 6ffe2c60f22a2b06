// Fuzz target: raw data read into the survey model, reduced with any options and converted to a
// coordinate list at stream level. Besides not crashing: the model's indices and texts stay
// within it, every observation is either reduced or said why not, conflicts pair a first and a
// later value of one name, and the list holds each name once in five fields, whatever the line
// ends.
#include <sstream>
#include <string>
#include <unordered_set>

#include "fuzz_properties.h"
#include "survey/raw_to_coor.h"
#include "survey/survey.h"

namespace korv::fuzz {
namespace {

void CheckModel(const Survey& s) {
  auto inPool = [&s](TextSpan t) { return size_t{t.offset} + t.size <= s.pool.size(); };
  uint32_t last = 0;
  for (const LineProblem& p : s.problems) {
    Check(p.line >= last && p.line <= s.lines, "problems are in line order", p.text);
    Check(p.field <= 13 && p.text.size() <= 200, "a problem names a field and a cut line", p.text);
    last = p.line;
  }
  for (const Observation& o : s.observations) {
    Check(o.setUp == kNoIndex || o.setUp < s.setUps.size(), "an observation's set-up exists");
    Check(inPool(o.name) && inPool(o.code), "an observation's texts are in the pool");
  }
  uint32_t reduced = 0;
  for (const SetUp& u : s.setUps) {
    Check(inPool(u.station) && inPool(u.backsight) && inPool(u.code), "set-up texts in the pool");
    Check(u.reduced <= u.observations, "a set-up reduces at most its observations");
    reduced += u.reduced;
  }
  Check(s.recordPoints + reduced == s.points.size(), "reduced points follow the records");
  Check(reduced + s.unreduced.size() == s.observations.size(),
        "every observation is reduced or said why not");
  for (const Point& p : s.points) Check(inPool(p.name) && inPool(p.code), "point texts in pool");
  for (const NameConflict& c : s.conflicts) {
    Check(c.first < s.points.size() && c.later < s.points.size() &&
              s.points[c.first].line < s.points[c.later].line,
          "a conflict's first value comes first in the file");
    Check(s.Text(s.points[c.first].name) == s.Text(s.points[c.later].name) &&
              !s.points[c.first].repeated && s.points[c.later].repeated,
          "a conflict pairs the first and a later value of one name");
  }
}

std::string Convert(const ReductionOptions& options, int order, const std::string& doc) {
  std::istringstream in(doc);
  std::ostringstream out;
  const ConvertResult result = RawToCoor(in, out, options, order);
  Check(result.ok(), "raw data to a coordinate list in memory succeeds", result.fault);
  return out.str();
}

}  // namespace
}  // namespace korv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korv;
  using namespace korv::fuzz;
  FuzzedDataProvider fdp(data, size);
  ReductionOptions options;
  options.angleUnit = static_cast<AngleUnit>(fdp.ConsumeIntegralInRange(0, 3));
  options.curvatureAndRefraction = fdp.ConsumeBool();
  options.refractionConstant = fdp.ConsumeBool() ? 0.132 : 0.200;
  options.seaLevel = fdp.ConsumeBool();
  const int order = fdp.ConsumeIntegralInRange(0, 1);
  const std::string doc = fdp.ConsumeRemainingBytesAsString();

  Survey survey;
  survey.angleUnit = options.angleUnit;
  std::istringstream in(doc);
  Check(ReadRawSurvey(in, order, survey), "reading raw data in memory succeeds");
  Reduce(survey, options);
  CheckModel(survey);

  const std::string out = Convert(options, order, doc);
  std::unordered_set<std::string_view> names;
  for (std::string_view line : WholeLines(out)) {
    size_t commas = 0;
    for (char c : line) commas += c == ',';
    Check(commas == 4, "a coordinate list line has five fields", line);
    Check(names.insert(line.substr(0, line.find(','))).second, "each name is written once", line);
  }
  CheckLineEndsDoNotMatter([&](const std::string& d) { return Convert(options, order, d); }, doc,
                           out);
  return 0;
}
