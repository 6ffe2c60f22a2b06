// korvenia: the desktop program's entry. Runs the start-up (splash, settings file, command
// line) and shows the main window F_DatTr.
#include <QApplication>
#include <QStandardPaths>
#include <csignal>

#include "core/app_state.h"
#include "core/startup.h"
#include "ui/app_windows.h"
#include "ui/ui_context.h"
#include "ui/user_prompts.h"

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
  options.executableFolder = QCoreApplication::applicationDirPath().toStdString();
  options.userFolder =
      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();

  korv::AppState state;
  korv::QtUserPrompts prompts;
  korv::DialogRunner dialogs;
  korv::UiContext ctx(state, prompts, dialogs);
  korv::AppWindows windows(ctx, &prompts);
  korv::StartDesktop(state, options, args, windows, ctx.reporter, korv::SystemClock());
  return QApplication::exec();
}
