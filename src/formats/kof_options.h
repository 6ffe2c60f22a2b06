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
  // Path of the point-number conversion file (see KofPointFilePath); empty when none is set.
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

// Where a stored "KofpointFile" value names the conversion file, the one rule of the window
// program and the command line: a full path ("/data/points.txt", or Windows-made "\\srv\x",
// "C:\x") is used as it is; any other name, a bare "points.txt" as older settings files hold
// or "lists/points.txt", is taken in `settingsFolder` (the folder of the settings file, with
// its trailing separator). "" when nothing is stored.
std::string KofPointFilePath(const std::string& settingsFolder, const std::string& stored);

// Builds the options from "[KOF Settings]" of `ini`. `settingsFolder` is the folder of the
// settings file in use (with its trailing separator), where KofPointFilePath looks up the
// conversion file. Date comes from `now`, Project from `outputPath` (left empty when
// `outputPath` is empty). An empty store gives the settings of a freshly created file.
KofOptions ReadKofOptions(const IniFile& ini, const std::string& settingsFolder,
                          const std::string& outputPath, const std::tm& now);

}  // namespace korv
