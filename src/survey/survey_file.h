// A survey file read for looking at it: what `check`, `plot` and the survey window start from.
#pragma once

#include <string>

#include "survey/check_report.h"
#include "survey/survey.h"

namespace korv {

class IniFile;

// Raw data when the first line that is neither blank nor a comment has a raw record type in
// field 1 (ST, SS, SO, CP, UP, MP, CC, RE, UC, MC); a coordinate list otherwise. A file of
// comments only is raw data; one that cannot be read is left to the reader to report.
bool LooksLikeRawData(const std::string& path);

// Why `path` plainly holds other data than a conversion from raw data (`raw`) or from a
// coordinate list reads: a file given as raw data of which no line is a raw data record, or a
// file given as a coordinate list that starts as raw data does (a comment record, then a raw
// record). "" otherwise, for a pipe or device (read once, by the conversion) and for a file
// that cannot be read (the conversion names that fault).
std::string DataKindMismatch(const std::string& path, bool raw);

// Reads `path` as raw data or as a coordinate list (`coordOrder` unless a raw data file
// declares its own) and reduces its observations with `reduction`. False with `fault` set
// when the file cannot be read.
bool LoadSurvey(const std::string& path, bool raw, int coordOrder,
                const ReductionOptions& reduction, Survey& survey, std::string& fault);

// The options of the check of `path` read with `angleUnit`, with the settings file `ini`.
CheckOptions CheckOptionsOf(const IniFile& ini, const std::string& path, AngleUnit angleUnit);

}  // namespace korv
