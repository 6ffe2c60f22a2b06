// The settings the KOF writers take: the five texts of the "01" header line, the two
// conversion switches and the point-number conversion file, read from "[KOF Settings]" of the
// settings file the way the KOF settings dialog loads them, so the window and the command line
// share one reading.
#pragma once

#include <ctime>
#include <string>

#include "core/key_store.h"

namespace korv {

struct KofOptions {
  // Header texts (the dialog's Project, Date, Road, City and Surveyor boxes); the writers cut
  // each to 12 characters.
  std::string project;
  std::string date;
  std::string road;
  std::string city;
  std::string surveyor;
  bool usePointNumberConversion = false;  // "Use point number conversion"
  bool useCodeConversion = false;         // "Use code conversion"
  // Full path of the point-number conversion file; empty when none is set.
  std::string pointFile;
  // Texts of the message shown when the conversion file is missing ("<file> not found",
  // title "Load <file>"); the window program fills them from its numbered messages.
  std::string notFoundText = "not found";
  std::string loadTitle = "Load";
};

// The run's date as the KOF header shows it: "dd.mm.yy".
std::string KofDateText(const std::tm& now);

// The default Project text for an output path: its file name without folder and without its
// last extension ("C:\Data\JOB01.KOF" gives "JOB01", "survey.2024.kof" gives "survey.2024").
std::string KofProjectText(const std::string& outputPath);

// Builds the options from "[KOF Settings]" of `ini`. `settingsFolder` is the folder of the
// settings file in use (with its trailing separator): a stored "KofpointFile" value is always
// appended to it. Date comes from `now`, Project from `outputPath` (left empty when
// `outputPath` is empty). An empty store gives the settings of a freshly created file.
KofOptions ReadKofOptions(const IniFile& ini, const std::string& settingsFolder,
                          const std::string& outputPath, const std::tm& now);

}  // namespace korv
