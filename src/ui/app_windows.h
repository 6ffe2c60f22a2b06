// The windows that start-up drives in the desktop program: the splash, the download window that
// special setup mode loads without showing, and the main window F_DatTr.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/startup.h"
#include "ui/ui_context.h"

class QLockFile;

namespace korv {

class F_DatTr;
class F_DL;
class F_Start;
class QtUserPrompts;

class AppWindows : public StartupWindows {
 public:
  // `prompts`, when given, shows its boxes over the main window once that exists.
  explicit AppWindows(UiContext& ctx, QtUserPrompts* prompts = nullptr);
  ~AppWindows() override;

  void ShowSplash() override;
  void ProcessEvents() override;
  // Creates the download window hidden: its load reads the file's texts, which special setup
  // mode then shows and saves instead of the design texts.
  void LoadDownloadWindow() override;
  void UnloadWindows() override;
  // Shows the main window unless another instance of the program holds the same settings
  // folder: two would share the scratch file, and one's Exit would delete, one's download
  // overwrite, what the other receives. The second is then told so and ends.
  void ShowMainWindow() override;
  void UnloadSplash() override;

  F_Start* Splash() const { return splash_.get(); }
  F_DL* DownloadWindow() const { return download_.get(); }
  F_DatTr* MainWindow() const { return main_.get(); }

 private:
  UiContext& ctx_;
  QtUserPrompts* prompts_;
  std::unique_ptr<F_Start> splash_;
  std::unique_ptr<F_DL> download_;
  std::unique_ptr<F_DatTr> main_;
  std::unique_ptr<QLockFile> instance_;  // held while the main window is this folder's
};

// The desktop program's start with its arguments (without the program name): start-up (Main)
// with them as the command line, then a file argument (FileArgument) opened as the file to
// convert.
void StartDesktop(AppState& state, StartupOptions options, const std::vector<std::string>& args,
                  AppWindows& windows, Reporter& reporter, const Clock& clock,
                  const SleepFunction& sleep = SleepOnThread);

}  // namespace korv
