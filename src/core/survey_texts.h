// "[Survey Texts]", the last section of the settings file: what the survey windows (the plan
// view, the check report) say. A settings file written before the section existed has none of
// its keys; the windows then say what a new file would.
#pragma once

#include <string>
#include <string_view>

namespace korv {

class IniFile;

// The text of `key` in "[Survey Texts]", else the default settings file's.
std::string SurveyText(const IniFile& ini, std::string_view key);

// Appends the plan window's rows of the section as the default settings file has them (CR LF
// line ends), below the section's header and its first row.
void AppendSurveyTexts(std::string& out);

}  // namespace korv
