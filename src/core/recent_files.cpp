#include "core/recent_files.h"

#include <algorithm>
#include <filesystem>

#include "core/key_store.h"

namespace fs = std::filesystem;

namespace korv {

namespace {

constexpr TextRow kDesktopFilesTexts[] = {
    {"Title", "Files"},
    {"SeveralFiles", "Only one file can be taken at a time."},
    {"Folder", "%1 is a folder, not a file."},
    {"Unreadable", "%1 does not exist or cannot be read."},
    {"RecentConverted", "Files converted recently"},
    {"RecentSent", "Files sent recently"},
    {"RecentWritten", "Files written recently"},
    {"RecentEmpty", "(none yet)"},
    {"Gone", "%1 is no longer there. It was taken off the list."},
    {"OpenFolder", "Open &folder"},
    {"OpenFolderTip", "Shows the folder of the saved file in the file manager"},
    {"OpenFolderFailed", "The folder %1 could not be opened."},
};

std::string KeyOf(RecentList list, size_t n) { return RecentListKey(list) + std::to_string(n + 1); }

// The file's path as it is stored: absolute, links and "." / ".." resolved where they exist.
std::string Canonical(const std::string& path) {
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? path : canonical.string();
}

// Stores `files` as the list, every key of the ten written (unused ones empty).
bool StoreList(const std::string& iniPath, RecentList list, const std::vector<std::string>& files) {
  IniFile ini = IniFile::Load(iniPath);
  for (size_t n = 0; n < kRecentFilesKept; ++n) {
    ini.Set(kRecentFilesSection, KeyOf(list, n), n < files.size() ? files[n] : "");
  }
  return ini.Save(iniPath);
}

}  // namespace

const char* RecentListKey(RecentList list) {
  switch (list) {
    case RecentList::Converted:
      return "Converted";
    case RecentList::Sent:
      return "Sent";
    case RecentList::Written:
      return "Written";
  }
  return "";
}

std::vector<std::string> RecentFiles(const IniFile& ini, RecentList list) {
  std::vector<std::string> files;
  for (size_t n = 0; n < kRecentFilesKept; ++n) {
    std::string path = ini.Get(kRecentFilesSection, KeyOf(list, n));
    if (!path.empty()) files.push_back(std::move(path));
  }
  return files;
}

bool AddRecentFile(const std::string& iniPath, RecentList list, const std::string& path) {
  const std::string added = Canonical(path);
  std::vector<std::string> files = RecentFiles(IniFile::Load(iniPath), list);
  files.erase(std::remove_if(files.begin(), files.end(),
                             [&](const std::string& f) { return Canonical(f) == added; }),
              files.end());
  files.insert(files.begin(), added);
  if (files.size() > kRecentFilesKept) files.resize(kRecentFilesKept);
  return StoreList(iniPath, list, files);
}

bool RemoveRecentFile(const std::string& iniPath, RecentList list, const std::string& path) {
  std::vector<std::string> files = RecentFiles(IniFile::Load(iniPath), list);
  files.erase(std::remove(files.begin(), files.end(), path), files.end());
  return StoreList(iniPath, list, files);
}

const TextSection& DesktopFilesSection() {
  static constexpr TextSection section{kDesktopFilesSection, kDesktopFilesTexts};
  return section;
}

std::string DesktopFilesText(const IniFile& ini, std::string_view key, const std::string& arg) {
  std::string text = SectionText(ini, DesktopFilesSection(), key);
  const size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, arg);
  return text;
}

}  // namespace korv
