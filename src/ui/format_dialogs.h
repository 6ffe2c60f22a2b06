// The settings dialogs of the output formats: SDR (F_Sdr), KOF (F_KOFStp), DXF
// (DxfFormSetting) and the two coordinate field dialogs (F_UsDeCo for the coordinate file,
// F_UsDeCoUL for a coordinate file to upload). Each reads its settings section when it loads
// and writes it on OK.
#pragma once

#include <QDialog>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "coords/dxf_options.h"
#include "core/control_records.h"
#include "core/key_store.h"
#include "formats/kof_options.h"
#include "formats/sdr_options.h"
#include "ui/ui_context.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace korv {

// Loads the file's texts of `window` onto the dialog (nothing while CreatingIniFile).
void LoadDialogTexts(UiContext& ctx, QWidget* root, RecordWindow window);
// Writes the dialog's texts as they are on screen into `ini` (in memory).
void SaveDialogTexts(UiContext& ctx, QWidget* root, RecordWindow window, IniFile& ini);

class F_Sdr : public QDialog {
  Q_OBJECT
 public:
  explicit F_Sdr(UiContext& ctx, QWidget* owner = nullptr);
  // The selected option index of each group (kNoOption when none).
  SdrSettings Selected() const;
  void Select(const SdrSettings& settings);
  void OpCR_Click();
  void ComOK_Click();

  std::array<QButtonGroup*, kSdrGroupCount> groups;
  QPushButton* ComOK;
  QPushButton* ComCancel;

 private:
  UiContext& ctx_;
};

class F_KOFStp : public QDialog {
  Q_OBJECT
 public:
  // `output` is the main window's output name, `sourceCaption` its source file button's.
  F_KOFStp(UiContext& ctx, const std::string& output, const std::string& sourceCaption,
           QWidget* owner = nullptr);
  KofOptions Options() const;
  void Tx_LostFocus(int index);
  void ComOK_Click();
  void ComCancel_Click();
  bool confirmed() const { return confirmed_; }

  std::array<QLabel*, 6> Lb{};     // 1..5
  std::array<QLineEdit*, 6> Tx{};  // 1..5
  QCheckBox* ChkUPNC;
  QCheckBox* ChkUCC;
  QPushButton* ComOK;
  QPushButton* ComCancel;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  UiContext& ctx_;
  std::string pointFile_;
  bool confirmed_ = false;
  bool checking_ = false;
};

class DxfFormSetting : public QDialog {
  Q_OBJECT
 public:
  explicit DxfFormSetting(UiContext& ctx, QWidget* owner = nullptr);
  DxfOptions Options() const;
  void Check_Click(int row);
  void ComSelColor_Click(int row);
  void ComCol_Click(int index);
  void ComOK_Click();
  void ComCancel_Click();
  bool confirmed() const { return confirmed_; }
  bool PaletteShown() const;

  QLineEdit* TxPL;
  std::array<QCheckBox*, 3> Check{};
  std::array<QLineEdit*, 3> TxLN{};
  std::array<QLineEdit*, 3> TxTS{};
  std::array<QToolButton*, 3> UpTS{};
  std::array<QToolButton*, 3> DownTS{};
  std::array<QPushButton*, 3> ComSelColor{};
  std::array<QRadioButton*, 2> Option3D{};
  QFrame* FrPalette;
  std::array<QPushButton*, 8> ComCol{};
  QPushButton* ComOK;
  QPushButton* ComCancel;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Step(int row, int direction);
  void ShowTagColour(int row);
  // Shows palette colour `index` on the colour button of `row`, and says it in the button's
  // name: a screen reader cannot see the colour.
  void ShowColour(int row, int index);
  UiContext& ctx_;
  QString colourText_;  // "%1: %2", the button's caption and the colour's name
  std::array<QString, 8> colourNames_{};
  int colourRow_ = 0;
  bool confirmed_ = false;
};

// Both coordinate field dialogs; `upload` chooses the coordinate upload one.
class F_UsDeCo : public QDialog {
  Q_OBJECT
 public:
  F_UsDeCo(UiContext& ctx, bool upload, QWidget* owner = nullptr);
  void ComOK_Click();

  std::array<QComboBox*, 5> Combo{};
  std::array<QRadioButton*, 2> Op{};
  QPushButton* ComOk;

 private:
  UiContext& ctx_;
  bool upload_;
};

// The dialogs as the main window and the dispatch show them, modally through ctx.dialogs.
// KOF: the options as the dialog held them when OK closed it; nothing after Cancel.
std::optional<KofOptions> ShowKofSettings(UiContext& ctx, const std::string& output,
                                          const std::string& sourceCaption);
void ShowSdrSettings(UiContext& ctx);
// DXF: the options when OK closed it; nothing after Cancel.
std::optional<DxfOptions> ShowDxfSettings(UiContext& ctx);
void ShowCoordFileSettings(UiContext& ctx);
void ShowCoordUpLoadSettings(UiContext& ctx);

}  // namespace korv
