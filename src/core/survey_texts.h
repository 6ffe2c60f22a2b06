// "[Survey Texts]": what the survey windows (the plan
// view, the check report) say. A settings file written before the section existed has none of
// its keys; the windows then say what a new file would.
#pragma once

#include <string>
#include <string_view>

#include "core/text_section.h"

namespace korv {

class IniFile;

// The text of `key` in "[Survey Texts]", else the default settings file's.
std::string SurveyText(const IniFile& ini, std::string_view key);

// The section's texts, the computed coordinate list's name first.
const TextSection& SurveyTextSection();

}  // namespace korv
