// korvenia: the desktop program's entry. Runs the start-up (splash, settings file, command
// line) and shows the main window.
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "core/app_state.h"
#include "core/settings.h"
#include "core/startup.h"

namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// Message boxes for the faults and warnings the core reports.
class MessageBoxReporter : public korv::Reporter {
 public:
  void Report(const std::string& text, const std::string& title, korv::MessageIcon icon) override {
    QMessageBox::Icon qIcon = QMessageBox::NoIcon;
    switch (icon) {
      case korv::MessageIcon::Critical:
        qIcon = QMessageBox::Critical;
        break;
      case korv::MessageIcon::Exclamation:
        qIcon = QMessageBox::Warning;
        break;
      case korv::MessageIcon::Information:
        qIcon = QMessageBox::Information;
        break;
      case korv::MessageIcon::Question:
        qIcon = QMessageBox::Question;
        break;
      default:
        break;
    }
    QString body = FromUtf8(text);
    body.replace("\r\n", "\n");
    QMessageBox box(qIcon, FromUtf8(title), body, QMessageBox::Ok);
    box.exec();
  }
  void Beep() override { QApplication::beep(); }
};

// The main window until the full window arrives: the three tabs with their captions. Closing
// it ends the program; in special setup mode the settings are saved first.
class MainWindow : public QTabWidget {
 public:
  explicit MainWindow(korv::AppState& state) : state_(state) {
    setObjectName("Main Form");
    auto it = state.controls.find("Main Form");
    setWindowTitle(it != state.controls.end() ? FromUtf8(it->second.caption) : "Korvenia");
    for (const std::string& caption : state.mainWindow.tabCaptions) {
      addTab(new QWidget(this), FromUtf8(caption));
    }
    resize(520, 380);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (state_.SpecialSetupMode) korv::SaveSettings(state_);
    event->accept();
  }

 private:
  korv::AppState& state_;
};

// The windows start-up drives: the splash and the main window.
class AppWindows : public korv::StartupWindows {
 public:
  explicit AppWindows(korv::AppState& state) : state_(state) {}

  void ShowSplash() override {
    splash_ = std::make_unique<QFrame>(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
    auto* layout = new QVBoxLayout(splash_.get());
    auto* name = new QLabel("Korvenia", splash_.get());
    QFont font = name->font();
    font.setPointSize(24);
    font.setBold(true);
    name->setFont(font);
    name->setAlignment(Qt::AlignCenter);
    auto* line = new QLabel("Data transfer and conversion for Vexal total stations\nVersion " +
                                QString(KORVENIA_VERSION),
                            splash_.get());
    line->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    layout->addWidget(line);
    splash_->setFrameStyle(QFrame::Box);
    splash_->resize(420, 180);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      splash_->move(screen->availableGeometry().center() - splash_->rect().center());
    }
    splash_->show();
  }
  void ProcessEvents() override { QApplication::processEvents(); }
  void UnloadWindows() override { main_.reset(); }
  void ShowMainWindow() override {
    main_ = std::make_unique<MainWindow>(state_);
    main_->show();
  }
  void UnloadSplash() override { splash_.reset(); }

 private:
  korv::AppState& state_;
  std::unique_ptr<QFrame> splash_;
  std::unique_ptr<MainWindow> main_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Korvenia");
  QApplication::setApplicationVersion(KORVENIA_VERSION);

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  korv::StartupOptions options;
  options.commandLine = korv::JoinArguments(args);
  options.executableFolder = QCoreApplication::applicationDirPath().toStdString();
  options.userFolder =
      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();

  korv::AppState state;
  MessageBoxReporter reporter;
  AppWindows windows(state);
  korv::Main(state, options, windows, reporter, korv::SystemClock());
  return QApplication::exec();
}
