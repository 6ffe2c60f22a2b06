#include "survey/survey_file.h"

#include <ctime>
#include <fstream>

#include "core/line_reader.h"
#include "core/text.h"
#include "formats/kof_options.h"

namespace korv {

bool LooksLikeRawData(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return true;
  LineReader reader(in);
  std::string_view line;
  while (reader.Next(line)) {
    const std::string_view type = TrimView(line.substr(0, line.find(',')));
    if (TrimView(line).empty() || type == RecordKindWord(RecordKind::Comment)) continue;
    for (int k = 0; k <= static_cast<int>(RecordKind::MeasuredCode); ++k) {
      if (type == RecordKindWord(static_cast<RecordKind>(k))) return true;
    }
    return false;
  }
  return true;
}

bool LoadSurvey(const std::string& path, bool raw, int coordOrder,
                const ReductionOptions& reduction, Survey& survey, std::string& fault) {
  survey.angleUnit = reduction.angleUnit;
  const bool read = raw ? ReadRawSurvey(path, coordOrder, survey, fault)
                        : ReadCoordinateSurvey(path, coordOrder, survey, fault);
  if (!read) return false;
  Reduce(survey, reduction);
  return true;
}

CheckOptions CheckOptionsOf(const IniFile& ini, const std::string& path, AngleUnit angleUnit) {
  CheckOptions options;
  options.angleUnit = angleUnit;
  options.encoding = EncodingOfFile(path);
  const std::tm noTime{};
  options.kofCodeConversion = ReadKofOptions(ini, "", "", noTime).useCodeConversion;
  return options;
}

}  // namespace korv
