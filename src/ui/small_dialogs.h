// The small windows other windows open: the overwrite/append question (F_Msg), the conversion
// progress window (F_MsgCon) and the splash (F_Start).
#pragma once

#include <QDialog>
#include <QWidget>
#include <string>

#include "ui/ui_context.h"

class QLabel;
class QPushButton;

namespace korv {

// The overwrite/append question. The caller sets the window title and puts the question into
// ActionWord; on showing, the question moves into LbMsg and ActionWord is emptied. Append,
// Overwite and Cancel leave their answer in ActionWord and FileWriteMode (1, 2, 0); closing
// by the close box leaves ActionWord empty and FileWriteMode as it was.
class F_Msg : public QDialog {
  Q_OBJECT
 public:
  F_Msg(UiContext& ctx, QWidget* owner);

  QLabel* LbMsg;
  QPushButton* ComAppend;
  QPushButton* ComOverwite;
  QPushButton* ComCancel;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Answer(const char* word, int mode);
  UiContext& ctx_;
};

// Asks the overwrite/append question about `file` (title message 6; the file's name above
// question message 7) owned by `owner` and returns the answer word ("Append", "Overwite",
// "Cancel", or "" when closed). Without `appendOffered` (a drawing, always written new) only
// Overwite and Cancel are offered, and the question says why.
std::string AskOverwriteOrAppend(UiContext& ctx, QWidget* owner, const std::string& file,
                                 bool appendOffered = true);

// The conversion progress window: "Converting <file>" / "Please Wait" while a conversion
// runs, then "Finished" / "Conversion finished" with its OK button.
class F_MsgCon : public QDialog {
  Q_OBJECT
 public:
  F_MsgCon(UiContext& ctx, QWidget* owner);
  QLabel* Lb1;
  QLabel* Lb2;
  QPushButton* ComOK;
};

// The splash window: a picture; a click on it closes it early.
class F_Start : public QWidget {
  Q_OBJECT
 public:
  explicit F_Start(const std::string& tagline);
  QLabel* Im;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace korv
