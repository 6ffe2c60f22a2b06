// Start-up without widgets: folders, command line, settings with recreation, splash time.
#include "core/startup.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include "core/file_procs.h"
#include "core/settings.h"
#include "core/text.h"

namespace korv {

namespace fs = std::filesystem;

const char* const kUnreadableSettingsText =
    "The program is unable to read the saved settings\r\nDefault settings are used instead.";
const char* const kUnreadableSettingsTitle = "Warning";

CommandLineMode ParseCommandLine(std::string_view commandLine) {
  std::string_view words = TrimView(commandLine);
  if (words == "Special Setup") return CommandLineMode::SpecialSetup;
  if (words == "CreateIniFile") return CommandLineMode::CreateIniFile;
  return CommandLineMode::Normal;
}

std::string JoinArguments(const std::vector<std::string>& args) {
  std::string line;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line += ' ';
    line += args[i];
  }
  return line;
}

namespace {

// True when a new file can be created in `folder` (tried, then removed).
bool FolderWritable(const std::string& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  fs::path probe = fs::path(folder) / ".korvenia-write-test";
  for (int n = 0; fs::exists(probe, ec) && n < 100; ++n) {
    probe = fs::path(folder) / (".korvenia-write-test" + std::to_string(n));
  }
  bool ok = static_cast<bool>(std::ofstream(probe, std::ios::binary));
  fs::remove(probe, ec);
  return ok;
}

}  // namespace

ProgramFolderChoice ChooseProgramFolder(const std::string& executableFolder,
                                        const std::string& userFolder) {
  std::string exe = WithTrailingSeparator(executableFolder);
  if (userFolder.empty() || FolderWritable(exe)) return {exe, false};
  std::error_code ec;
  fs::create_directories(userFolder, ec);
  return {WithTrailingSeparator(userFolder), true};
}

bool RecreateSettingsFile(AppState& state, StartupWindows& windows) {
  static constexpr RecordWindow kUnloaded[] = {
      RecordWindow::Main,      RecordWindow::Download,    RecordWindow::Help, RecordWindow::Upload,
      RecordWindow::CoordForm, RecordWindow::CoordFormUL, RecordWindow::Dxf};
  auto unload = [&] {
    windows.UnloadWindows();
    for (RecordWindow w : kUnloaded) UnloadWindowTexts(state, w);
  };
  state.CreatingIniFile = true;
  unload();
  bool ok = CreateIniFile(state);
  state.CreatingIniFile = false;
  unload();
  return ok;
}

void SleepOnThread(Clock::Duration d) { std::this_thread::sleep_for(d); }

void Main(AppState& state, const StartupOptions& options, StartupWindows& windows,
          Reporter& reporter, const Clock& clock, const SleepFunction& sleep) {
  windows.ShowSplash();
  windows.ProcessEvents();
  const Clock::Duration start = clock.Now();

  state.Pi = 4 * std::atan(1.0);

  state.ExecutableFolder = WithTrailingSeparator(options.executableFolder);
  ProgramFolderChoice folder = ChooseProgramFolder(options.executableFolder, options.userFolder);
  state.ProgramFolder = folder.folder;
  state.IniFilePath = state.ProgramFolder + kIniFileName;
  state.ScratchFilePath = state.ProgramFolder + kScratchFileName;
  if (folder.perUser && !FileExists(state.IniFilePath)) {
    // First start from a read-only installation: begin with the file shipped beside the
    // executable, if any, and say once where the settings are kept from now on.
    std::error_code ec;
    fs::copy_file(state.ExecutableFolder + kIniFileName, state.IniFilePath, ec);
    reporter.Report("The program folder " + state.ExecutableFolder +
                        " cannot be written.\r\nThe settings are kept in " + state.IniFilePath +
                        ".",
                    "Settings", MessageIcon::Information);
  }

  bool writeFailed = false;
  bool writeFailureReported = false;
  auto recreate = [&] {
    writeFailed = !RecreateSettingsFile(state, windows);
    if (writeFailed && !writeFailureReported) {
      writeFailureReported = true;
      reporter.Report("The settings file " + state.IniFilePath +
                          " cannot be written.\r\nThe program runs with the default settings; "
                          "changes will not be kept.",
                      "Error", MessageIcon::Critical);
    }
  };

  switch (ParseCommandLine(options.commandLine)) {
    case CommandLineMode::SpecialSetup:
      state.SpecialSetupMode = true;
      windows.LoadDownloadWindow();
      break;
    case CommandLineMode::CreateIniFile:
      recreate();
      break;
    case CommandLineMode::Normal:
      break;
  }

  LoadSettings(state, 0);
  if (!state.SettingsReadOK) {
    reporter.Report(kUnreadableSettingsText, kUnreadableSettingsTitle, MessageIcon::Exclamation);
    recreate();
    if (writeFailed) {
      // Nothing on disk to read: load the defaults the file would have held.
      LoadSettingsFromBytes(state, 1, BuildIniFile(state));
    } else {
      LoadSettings(state, 1);
    }
  }

  for (size_t tab = 0; tab < state.mainWindow.tabCaptions.size(); ++tab) {
    state.mainWindow.tabCaptions[tab] = state.Messages[tab + 1];
  }

  // The splash stays until more than two seconds have passed; window events wait.
  for (;;) {
    Clock::Duration elapsed = clock.Now() - start;
    if (elapsed > kSplashMinimum) break;
    sleep(kSplashMinimum - elapsed + std::chrono::milliseconds(1));
  }

  windows.ShowMainWindow();
  windows.UnloadSplash();
}

}  // namespace korv
