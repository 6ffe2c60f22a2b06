// The download window F_DL (link settings and the live byte count while receiving) and the
// SDR instruction window F_SdrDL shown before a download the instrument sends as SDR.
#pragma once

#include <QDialog>
#include <string>

#include "ui/dialog_parts.h"
#include "ui/ui_context.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace korv {

class F_DL : public QDialog {
  Q_OBJECT
 public:
  F_DL(UiContext& ctx, QWidget* owner);
  // Fills the value labels from the settings tab's lists and the chosen output format.
  void FillValues();
  void ShowCount(long long count);
  void ComCancel_Click();

  // The link settings rows (names and values).
  LinkSettingRows rows{};
  QLabel* LbDataformat;
  QLabel* LbRAWdata;
  QPushButton* ComCancel;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void LoadTexts();

  UiContext& ctx_;
  QString bytesText_;  // the count's text, read once: counts come many times a second
};

class F_SdrDL : public QDialog {
  Q_OBJECT
 public:
  // `sdr33` picks the SDR-33 texts, `coordinates` the coordinate data line.
  F_SdrDL(UiContext& ctx, bool sdr33, bool coordinates, QWidget* owner);
  QLabel* Lb1;
  QLabel* Lb2;
  QLabel* Lb3;
  QPushButton* ComOK;
};

}  // namespace korv
