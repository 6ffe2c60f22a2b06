// The upload window F_UL ("Send data"): shows the link settings and the send format, and on
// Send builds the upload file from the chosen source and writes it to the instrument line by
// line with a progress bar, until the end or until Cancel or the close box stops it.
#pragma once

#include <QDialog>
#include <string>

#include "ui/dialog_parts.h"
#include "ui/ui_context.h"

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace korv {

class SerialLink;

class F_UL : public QDialog {
  Q_OBJECT
 public:
  // `port` is the open port of the upload (may be null in special setup mode, where the
  // window only shows its texts); `sourcePath` the send tab's file name.
  F_UL(UiContext& ctx, SerialLink* port, std::string sourcePath, QWidget* owner);

  // Fills the value labels from the settings tab's lists and the send format.
  void FillValues();
  void ComSend_Click();
  void ComCancel_Click();

  // The link settings rows (names and values).
  LinkSettingRows rows{};
  QGroupBox* Fr3;
  QLabel* LbDataformat;
  QLabel* LbRAWdata;
  QProgressBar* ProgressBar1;
  QPushButton* ComSend;
  QPushButton* ComCancel;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void PlaceProgressBar();
  UiContext& ctx_;
  SerialLink* port_;
  std::string sourcePath_;
  bool sending_ = false;
};

// Shows the upload window modally, owned by the main window.
void ShowUploadWindow(UiContext& ctx, SerialLink* port, const std::string& sourcePath);

}  // namespace korv
