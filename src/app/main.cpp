// korvenia: the desktop program's entry. Runs the start-up (splash, settings file, command
// line) and shows the main window F_DatTr.
#include <QApplication>
#include <QScreen>
#include <QStandardPaths>
#include <csignal>
#include <memory>

#include "core/app_state.h"
#include "core/startup.h"
#include "ui/f_dattr.h"
#include "ui/small_dialogs.h"
#include "ui/ui_context.h"
#include "ui/user_prompts.h"

namespace {

// The windows start-up drives: the splash and the main window.
class AppWindows : public korv::StartupWindows {
 public:
  explicit AppWindows(korv::UiContext& ctx, korv::QtUserPrompts& prompts)
      : ctx_(ctx), prompts_(prompts) {}

  void ShowSplash() override {
    splash_ = std::make_unique<korv::F_Start>();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      splash_->move(screen->availableGeometry().center() - splash_->rect().center());
    }
    splash_->show();
  }
  void ProcessEvents() override { QApplication::processEvents(); }
  void UnloadWindows() override {
    prompts_.SetParent(nullptr);
    ctx_.mainWindow = nullptr;
    main_.reset();
  }
  void ShowMainWindow() override {
    main_ = std::make_unique<korv::F_DatTr>(ctx_);
    main_->ApplySettings();
    prompts_.SetParent(main_.get());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      main_->move(screen->availableGeometry().center() - main_->rect().center());
    }
    main_->show();
  }
  void UnloadSplash() override { splash_.reset(); }

 private:
  korv::UiContext& ctx_;
  korv::QtUserPrompts& prompts_;
  std::unique_ptr<korv::F_Start> splash_;
  std::unique_ptr<korv::F_DatTr> main_;
};

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit makes a write fail like a full disk instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  QApplication::setApplicationName("Korvenia");
  QApplication::setApplicationVersion(KORVENIA_VERSION);
  // Lets the desktop match the window to the installed menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("korvenia"));

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  korv::StartupOptions options;
  options.commandLine = korv::JoinArguments(args);
  options.executableFolder = QCoreApplication::applicationDirPath().toStdString();
  options.userFolder =
      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();

  korv::AppState state;
  korv::QtUserPrompts prompts;
  korv::DialogRunner dialogs;
  korv::UiContext ctx(state, prompts, dialogs);
  AppWindows windows(ctx, prompts);
  korv::Main(state, options, windows, ctx.reporter, korv::SystemClock());
  return QApplication::exec();
}
