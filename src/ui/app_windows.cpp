// The windows start-up drives: splash, the hidden download window of special setup mode, and
// the main window.
#include "ui/app_windows.h"

#include <QApplication>
#include <QLockFile>

#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/text.h"
#include "ui/download_window.h"
#include "ui/f_dattr.h"
#include "ui/screen_place.h"
#include "ui/small_dialogs.h"
#include "ui/user_prompts.h"

namespace korv {

namespace {

// Held in the settings folder while a main window uses it.
constexpr const char* kLockName = "Korvenia.lock";

}  // namespace

AppWindows::AppWindows(UiContext& ctx, QtUserPrompts* prompts) : ctx_(ctx), prompts_(prompts) {}

AppWindows::~AppWindows() = default;

void AppWindows::ShowSplash() {
  // Before the settings are read the path may still be empty: the splash then says it in English.
  splash_ =
      std::make_unique<F_Start>(ProgramText(IniFile::Load(ctx_.state.IniFilePath), "Tagline"));
  CentreOnScreen(splash_.get());
  splash_->show();
}

void AppWindows::ProcessEvents() { QApplication::processEvents(); }

void AppWindows::LoadDownloadWindow() { download_ = std::make_unique<F_DL>(ctx_, nullptr); }

void AppWindows::UnloadWindows() {
  if (prompts_) prompts_->SetParent(nullptr);
  ctx_.mainWindow = nullptr;
  main_.reset();
  download_.reset();
}

void AppWindows::ShowMainWindow() {
  AppState& s = ctx_.state;
  instance_ = std::make_unique<QLockFile>(QString::fromStdString(s.ProgramFolder + kLockName));
  instance_->setStaleLockTime(0);  // stale only when its process has gone
  if (!instance_->tryLock(0) && instance_->error() == QLockFile::LockFailedError) {
    instance_.reset();
    ctx_.prompts.Message(FillNumbered(ProgramText(IniFile::Load(s.IniFilePath), "AlreadyRunning"),
                                      {s.ProgramFolder}),
                         ctx_.Msg(6), MessageIcon::Exclamation);
    if (ctx_.endProgram) {
      ctx_.endProgram();
    } else {
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return;
  }
  main_ = std::make_unique<F_DatTr>(ctx_);
  main_->ApplySettings();
  if (prompts_) {
    prompts_->SetParent(main_.get());
    prompts_->SetSettingsFile(ctx_.state.IniFilePath);
  }
  main_->RestorePlace();
  main_->show();
}

void AppWindows::UnloadSplash() { splash_.reset(); }

void StartDesktop(AppState& state, StartupOptions options, const std::vector<std::string>& args,
                  AppWindows& windows, Reporter& reporter, const Clock& clock,
                  const SleepFunction& sleep) {
  options.commandLine = JoinArguments(args);
  Main(state, options, windows, reporter, clock, sleep);
  const std::string file = FileArgument(args);
  if (!file.empty() && windows.MainWindow()) windows.MainWindow()->OpenFileToConvert(file);
}

}  // namespace korv
