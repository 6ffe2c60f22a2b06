// Start-up without widgets: the program folder, the command-line words, loading the settings
// (recreating a file that cannot be read), the tab captions and the splash's minimum time.
// The window program supplies the windows through StartupWindows.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"
#include "core/clock.h"
#include "core/reporter.h"

namespace korv {

// What start-up asks of the windows. Every call may do nothing (the command line, tests).
class StartupWindows {
 public:
  virtual ~StartupWindows() = default;
  virtual void ShowSplash() {}
  // Lets pending window events run once (so the splash paints).
  virtual void ProcessEvents() {}
  // Special setup mode: the download window is loaded, not shown.
  virtual void LoadDownloadWindow() {}
  // Unloads the main, download, help, upload, coordinate file, coordinate upload field and
  // DXF settings windows, in this order, so that each reloads its texts later.
  virtual void UnloadWindows() {}
  virtual void ShowMainWindow() {}
  virtual void UnloadSplash() {}
};

enum class CommandLineMode { Normal, SpecialSetup, CreateIniFile };

// The whole command line, trimmed, compared case-sensitively with "Special Setup" and
// "CreateIniFile"; anything else is a normal start.
CommandLineMode ParseCommandLine(std::string_view commandLine);
// The program's arguments (without the program name) as one command line, joined by blanks.
std::string JoinArguments(const std::vector<std::string>& args);
// The file the program is started with, as a file manager's "Open with" passes it: the one
// argument, when it is no command-line word; else "".
std::string FileArgument(const std::vector<std::string>& args);

struct StartupOptions {
  std::string commandLine;
  std::string executableFolder;  // folder of the executable
  std::string userFolder;        // per-user settings folder, used when the first is read-only
  // Local date and time, for the name of a kept settings file; unset, the system's.
  std::function<std::tm()> now;
};

// Where the settings and scratch files live.
struct ProgramFolderChoice {
  std::string folder;    // ends in the folder separator
  bool perUser = false;  // the executable's folder could not be written
};
ProgramFolderChoice ChooseProgramFolder(const std::string& executableFolder,
                                        const std::string& userFolder);

// The texts start-up shows.
extern const char* const kUnreadableSettingsText;  // the warning before recreation
extern const char* const kUnreadableSettingsTitle;
extern const char* const kKeptSettingsText;  // after the warning: where the old file is kept

// The least time the splash stays up; the main window shows only when more has passed.
constexpr Clock::Duration kSplashMinimum = std::chrono::seconds(2);

// Unloads the seven windows, writes the default settings file and unloads them again.
// False when the file could not be written.
bool RecreateSettingsFile(AppState& state, StartupWindows& windows);

// Blocks for about the given time without letting window events run.
using SleepFunction = std::function<void(Clock::Duration)>;
void SleepOnThread(Clock::Duration d);

// The program's start: splash, folders, command line, settings (with recreation and the
// warning), tab captions, the splash's two seconds on `clock`, the main window.
void Main(AppState& state, const StartupOptions& options, StartupWindows& windows,
          Reporter& reporter, const Clock& clock, const SleepFunction& sleep = SleepOnThread);

}  // namespace korv
