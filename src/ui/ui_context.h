// What every window of the desktop program shares: the program-wide state, the user prompts,
// the way modal dialogs are run, the clock and the run's date, and the tables the KOF writers
// keep for the whole run.
#pragma once

#include <ctime>
#include <functional>

#include "core/app_state.h"
#include "core/clock.h"
#include "formats/kof_writer.h"
#include "ui/user_prompts.h"

class QDialog;
class QWidget;

namespace korv {

// Runs a modal dialog to its end. The program executes it; tests drive its widgets instead.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual int Run(QDialog& dialog);
};

struct UiContext {
  UiContext(AppState& s, UserPrompts& p, DialogRunner& d) : state(s), prompts(p), dialogs(d) {}

  AppState& state;
  UserPrompts& prompts;
  DialogRunner& dialogs;
  PromptReporter reporter{prompts};
  const Clock* clock = &SystemClock();
  std::function<std::tm()> now = LocalNow;
  // Point-number conversion table: a missing file keeps the entries of an earlier load.
  PointConversion pointTable;
  // The main window, owner of the dialogs; null until it exists.
  QWidget* mainWindow = nullptr;
  // Shows the upload window modally (the coordinate upload field dialog's OK after
  // "UpLoadCoord"); set by whoever provides that window.
  std::function<void()> showUploadWindow;
  // Ends the program (Exit, Save setup); unset, the application's event loop is left.
  std::function<void()> endProgram;

  const std::string& Msg(int n) const;
  const std::string& FileTypeMsg(int n) const;
};

}  // namespace korv
