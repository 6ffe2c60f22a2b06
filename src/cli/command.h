// Sub-commands of korvenia-cli. Each command's file registers itself, so the commands stay
// independent of each other and of main().
#pragma once

#include <string>
#include <vector>

namespace korv::cli {

struct Command {
  std::string name;     // word after "korvenia-cli"
  std::string summary;  // one line for --help
  // Runs with the arguments after the command word; returns the exit code
  // (0 done, 1 failed, 2 usage error).
  int (*run)(const std::vector<std::string>& args);
};

bool RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

// The program's own settings file: beside the executable, else in the per-user folder
// ($XDG_CONFIG_HOME/Korvenia or ~/.config/Korvenia); "" when there is none.
std::string FindOwnSettingsFile();

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

}  // namespace korv::cli
