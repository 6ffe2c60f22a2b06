// The special setup editor F_stp: edits the caption, tool tip and font of the control or window
// that was right-clicked in special setup mode, and puts the result on the widget and into the
// program's table of control texts at once.
#pragma once

#include <QDialog>
#include <QPointer>
#include <string>

#include "ui/ui_context.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korv {

class F_stp : public QDialog {
  Q_OBJECT
 public:
  // Edits `target` (the record named state.SetupTarget, kind state.SetupTargetKind).
  F_stp(UiContext& ctx, QWidget* target, QWidget* owner);

  // Fills and enables the boxes for the target; runs each time the window is shown.
  void Activate();
  void ComFont_Click();
  void ComOK_Click();
  void ComCancel_Click();

  QLabel* LbCaption;
  QLabel* LbToolTip;
  QLabel* LbFontName;
  QLabel* LbFontSize;
  QLineEdit* TxCaption;
  QLineEdit* TxToolTip;
  QLineEdit* TxFontName;
  QLineEdit* TxFontSize;
  QCheckBox* ChkFontBold;
  QCheckBox* ChkFontItalic;
  QPushButton* ComFont;
  QPushButton* ComOK;
  QPushButton* ComCancel;

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  UiContext& ctx_;
  QPointer<QWidget> target_;
};

}  // namespace korv
