// "[Program Texts]": what the windows say that no control record or message holds: labels,
// tool tips and names a screen reader speaks of controls made in code, the SDR settings
// dialog, the setup editor, and the faults the windows report. A file written before the
// section existed has none of its keys; the windows then say what a new file would.
#pragma once

#include <string>
#include <string_view>

#include "core/text_section.h"

namespace korv {

class IniFile;

constexpr const char* kProgramTextsSection = "Program Texts";

// The text of `key` in "[Program Texts]", else the default settings file's.
std::string ProgramText(const IniFile& ini, std::string_view key);

// The section's texts; "%1", "%2", ... are filled in by the window.
const TextSection& ProgramTextSection();

}  // namespace korv
