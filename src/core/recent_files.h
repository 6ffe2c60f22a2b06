// Files reaching the window as a desktop user expects: the lists of recent files and the texts
// of dropping a file, the recent-file menus and the Open folder button.
//
// "[Recent Files]", the last section of the settings file, keeps three lists, newest first:
// Converted1..Converted10 (files converted from disk), Sent1..Sent10 (files sent to the
// instrument) and Written1..Written10 (output files written). Each entry is a canonical path;
// a list holds a path once and at most ten of them. Unused keys are empty.
// "[Desktop Files]" holds the texts, so that translations carry them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text_section.h"

namespace korv {

class IniFile;

constexpr const char* kRecentFilesSection = "Recent Files";
constexpr const char* kDesktopFilesSection = "Desktop Files";
constexpr size_t kRecentFilesKept = 10;

enum class RecentList { Converted, Sent, Written };

// The list's key word ("Converted", "Sent", "Written").
const char* RecentListKey(RecentList list);
// The list's paths as the settings file holds them, newest first, without empty entries.
std::vector<std::string> RecentFiles(const IniFile& ini, RecentList list);
// `path` (made canonical) put first in the list of the settings file at `iniPath`, an earlier
// entry of the same file taken out, the list cut to ten. False when the file cannot be written.
bool AddRecentFile(const std::string& iniPath, RecentList list, const std::string& path);
// `path` taken out of the list. False when the file cannot be written.
bool RemoveRecentFile(const std::string& iniPath, RecentList list, const std::string& path);

// The texts of "[Desktop Files]".
const TextSection& DesktopFilesSection();
// The file's text of `key`, else the English one, with "%1" replaced by `arg`.
std::string DesktopFilesText(const IniFile& ini, std::string_view key, const std::string& arg = {});

}  // namespace korv
