// The new-file question F_EdSdF ("Edit new file?") of the send tab: creates the file named in
// the send tab's name box, empty for a coordinate file or as a code-list skeleton, and opens
// it in the editor.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "ui/ui_context.h"

class QPushButton;
class QRadioButton;

namespace korv {

// The lines a new code list starts with.
inline constexpr const char* kCodeListSkeleton = "DEFAULT\r\n{\r\n\r\n}\r\n";

class F_EdSdF : public QDialog {
  Q_OBJECT
 public:
  // `fileName` is the send tab's file name; `codeList` ticks "Code list file" on showing
  // (the send format is the code list).
  F_EdSdF(UiContext& ctx, std::string fileName, bool codeList, QWidget* owner);

  // OK or Enter: ActionWord emptied, then EditnewFile.
  void ComOK_Click();
  // Cancel, Escape and the close box: ActionWord "PALI".
  void ComCancel_Click();
  // Creates the file and starts the editor; closes the window when both worked, otherwise
  // reports the fault and stays open.
  void EditnewFile();

  std::array<QRadioButton*, 2> OpEditNewFile{};
  QPushButton* ComOK;
  QPushButton* ComCancel;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  UiContext& ctx_;
  std::string fileName_;
  bool codeList_;
};

// Shows the new-file window modally for `fileName`; afterwards ActionWord is "PALI" when the
// user cancelled, otherwise empty.
void AskEditNewFile(UiContext& ctx, const std::string& fileName, bool codeList, QWidget* owner);

}  // namespace korv
