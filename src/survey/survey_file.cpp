#include "survey/survey_file.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/line_reader.h"
#include "core/text.h"
#include "formats/kof_options.h"

namespace korv {

namespace {

// The record type of a line: its first field, trimmed.
std::string_view RecordType(std::string_view line) {
  return TrimView(line.substr(0, line.find(',')));
}

// A raw data record type other than the comment (ST, SS, SO, CP, UP, MP, CC, RE, UC, MC).
bool IsRawRecord(std::string_view type) {
  for (int k = static_cast<int>(RecordKind::Comment) + 1;
       k <= static_cast<int>(RecordKind::MeasuredCode); ++k) {
    if (type == RecordKindWord(static_cast<RecordKind>(k))) return true;
  }
  return false;
}

}  // namespace

bool LooksLikeRawData(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return true;
  LineReader reader(in);
  std::string_view line;
  while (reader.Next(line)) {
    const std::string_view type = RecordType(line);
    if (TrimView(line).empty() || type == RecordKindWord(RecordKind::Comment)) continue;
    return IsRawRecord(type);
  }
  return true;
}

std::string DataKindMismatch(const std::string& path, bool raw) {
  // A pipe or device is read once, by the conversion.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return "";
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  LineReader reader(in);
  std::string_view line;
  bool startsAsRaw = false;  // a coordinate list's first line is a comment record
  bool anyLine = false;
  while (reader.Next(line)) {
    if (TrimView(line).empty()) continue;
    const std::string_view type = RecordType(line);
    const bool comment = type == RecordKindWord(RecordKind::Comment);
    if (raw) {
      // Raw data shows itself on its first lines; a file of none is read to its end.
      if (comment || IsRawRecord(type)) return "";
      anyLine = true;
    } else if (!anyLine) {
      anyLine = true;
      if (!comment) return "";
      startsAsRaw = true;
    } else if (!comment) {
      return startsAsRaw && IsRawRecord(type)
                 ? "it holds raw data, not a coordinate list (choose raw data as its format)"
                 : "";
    }
  }
  return raw && anyLine ? "none of its lines is raw data (is it a coordinate list?)" : "";
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
