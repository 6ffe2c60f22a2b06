// The help window F_Help: the maker's contact details, two web addresses, the button that opens
// the program's manual, and OK. It lays itself out again every time it is activated, so longer
// translated texts make it taller while its frames and buttons keep their gaps.
#pragma once

#include <QDialog>
#include <QLabel>
#include <array>
#include <string>

#include "ui/ui_context.h"

class QGroupBox;
class QPushButton;

namespace korv {

// The maker's survey page, opened by the first link label whatever that label shows.
inline constexpr const char* kMakerSurveyPage = "http://www.vexal.example/survey";

// The help document to open: HelpFileName when it is there; otherwise the same name in the
// shared data folders of an installation (../share/korvenia/ or ../share/doc/korvenia/ beside
// the executable's folder). "" when HelpFileName is empty. When the document is nowhere, the
// name from the settings is returned unchanged.
std::string HelpDocumentPath(const AppState& state);

// A label that acts as a web link: pointing-hand cursor, underlined, reachable by Tab and
// clicked by the left mouse button, Enter or Space.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  explicit LinkLabel(QWidget* parent);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

class F_Help : public QDialog {
  Q_OBJECT
 public:
  F_Help(UiContext& ctx, QWidget* owner);

  // Reads the window's texts from the settings file (even while it is being written anew) and
  // puts them on the widgets. Runs when the window is created and again when it is shown after
  // having been closed by its close box.
  void Form_Load();
  // Lays the window out for its current texts.
  void Form_Activate();
  void ComOpenHelpFile_Click();
  void LbNet_Click(int index);
  void ComOK_Click();

  QGroupBox* Fr1;
  std::array<QLabel*, 6> LbCI{};
  QGroupBox* Fr2;
  std::array<LinkLabel*, 2> LbNet{};
  QGroupBox* Fr3;
  QPushButton* ComOpenHelpFile;
  QPushButton* ComOK;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  UiContext& ctx_;
  bool loaded_ = false;
};

// The main window's Help button (ComHelp_Click): shows the help window owned by `owner`,
// created on first use and kept while hidden, modally.
void ShowHelpWindow(UiContext& ctx, QWidget* owner);

}  // namespace korv
