// Start-up without widgets: folders, command line, settings with recreation, splash time.
#include "core/startup.h"

#include <cmath>
#include <ctime>
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
const char* const kKeptSettingsText = "The file that could not be read is kept as ";

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

std::string FileArgument(const std::vector<std::string>& args) {
  if (args.size() != 1 || ParseCommandLine(args.front()) != CommandLineMode::Normal) return {};
  return TrimView(args.front()).empty() ? std::string() : args.front();
}

namespace {

// The windows a recreation unloads, in order.
constexpr RecordWindow kRecreatedWindows[] = {
    RecordWindow::Main,      RecordWindow::Download,    RecordWindow::Help, RecordWindow::Upload,
    RecordWindow::CoordForm, RecordWindow::CoordFormUL, RecordWindow::Dxf};

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

// Copies the settings file at `path` to a name beside it that nothing has yet: `path` + ".bad",
// or, when that exists, `path` + "." + the date and time + ".bad" (and a number after the time
// when even that exists). Returns the copy's path, or "" when there is nothing to keep (no file,
// or an empty one) or the copy failed (`failed`).
std::string KeepUnreadableFile(const std::string& path, const std::tm& now, bool& failed) {
  failed = false;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) == 0 || ec) return {};
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &now);
  for (int n = 0; n < 100; ++n) {
    std::string copy = n == 0   ? path + ".bad"
                       : n == 1 ? path + "." + stamp + ".bad"
                                : path + "." + stamp + "-" + std::to_string(n) + ".bad";
    if (fs::exists(copy, ec) || fs::is_symlink(copy, ec)) continue;
    // Never over an existing file: the copy fails rather than replace one.
    if (fs::copy_file(path, copy, fs::copy_options::none, ec)) return copy;
    if (ec != std::errc::file_exists) break;
  }
  failed = true;
  return {};
}

// The defaults a fresh file holds, loaded without writing a file, with the windows unloaded
// as a recreation leaves them.
void LoadDefaultsWithoutFile(AppState& state, StartupWindows& windows) {
  windows.UnloadWindows();
  for (RecordWindow w : kRecreatedWindows) UnloadWindowTexts(state, w);
  LoadSettingsFromBytes(state, 1, BuildIniFile(state));
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
  auto unload = [&] {
    windows.UnloadWindows();
    for (RecordWindow w : kRecreatedWindows) UnloadWindowTexts(state, w);
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

  // Reports once that the file cannot be written; what follows from it differs by case.
  bool writeFailureReported = false;
  auto reportWriteFailure = [&](const std::string& consequence) {
    if (writeFailureReported) return;
    writeFailureReported = true;
    reporter.Report(
        "The settings file " + state.IniFilePath + " cannot be written.\r\n" + consequence, "Error",
        MessageIcon::Critical);
  };

  switch (ParseCommandLine(options.commandLine)) {
    case CommandLineMode::SpecialSetup:
      state.SpecialSetupMode = true;
      windows.LoadDownloadWindow();
      break;
    case CommandLineMode::CreateIniFile:
      // A file that cannot be replaced is loaded next as it stands; a missing one fails that
      // load and is dealt with there.
      if (!RecreateSettingsFile(state, windows) && FileExists(state.IniFilePath)) {
        reportWriteFailure("It is left as it is and used as it is.");
      }
      break;
    case CommandLineMode::Normal:
      break;
  }

  LoadSettings(state, 0);
  if (!state.SettingsReadOK) {
    // The file the user made (a translation, a long list of messages, the choices) is kept
    // beside the new one before the defaults replace it, and the warning says where.
    bool copyFailed = false;
    const std::string kept =
        KeepUnreadableFile(state.IniFilePath, options.now ? options.now() : LocalNow(), copyFailed);
    std::string warning = kUnreadableSettingsText;
    if (!kept.empty()) warning += "\r\n" + std::string(kKeptSettingsText) + kept;
    reporter.Report(warning, kUnreadableSettingsTitle, MessageIcon::Exclamation);
    if (copyFailed) {
      // Without a copy the file is not replaced.
      reporter.Report("No copy of the settings file " + state.IniFilePath +
                          " can be made beside it, so it is left as it is.\r\nThe program runs "
                          "with the default settings; changes will not be kept.",
                      "Error", MessageIcon::Critical);
      LoadDefaultsWithoutFile(state, windows);
    } else if (!RecreateSettingsFile(state, windows)) {
      reportWriteFailure("The program runs with the default settings; changes will not be kept.");
      LoadDefaultsWithoutFile(state, windows);
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
