// Where the command-line program finds the settings file the desktop program uses.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/file_procs.h"
#include "core/settings.h"

namespace korv::cli {

std::string FindOwnSettingsFile() {
  std::vector<std::string> candidates;
  char exe[4096];
  ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) candidates.push_back(FolderOf(std::string(exe, static_cast<size_t>(n))));
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (xdg && *xdg) {
    candidates.push_back(WithTrailingSeparator(xdg) + "Korvenia/");
  } else if (home && *home) {
    candidates.push_back(WithTrailingSeparator(home) + ".config/Korvenia/");
  }
  for (const auto& folder : candidates) {
    if (!folder.empty() && FileExists(folder + kIniFileName)) return folder + kIniFileName;
  }
  return "";
}

}  // namespace korv::cli
