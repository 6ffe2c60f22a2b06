// The upload window: its texts, values, progress bar and the Send and Cancel buttons.
#include "ui/upload_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "comm/serial_link.h"
#include "comm/upload_sender.h"
#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/reporter.h"
#include "core/settings.h"
#include "ui/control_binder.h"
#include "ui/dialog_parts.h"
#include "ui/format_dialogs.h"
#include "ui/qt_text.h"
#include "ui/setup_mode.h"

namespace korv {

F_UL::F_UL(UiContext& ctx, SerialLink* port, std::string sourcePath, QWidget* owner)
    : QDialog(owner), ctx_(ctx), port_(port), sourcePath_(std::move(sourcePath)) {
  setObjectName("UL_Form");
  auto px = [this](double twips) { return TwipsToPixels(twips, this); };
  auto* fr1 = new QGroupBox(this);
  fr1->setObjectName("UL_Fr1");
  rows = MakeLinkSettingRows(fr1, QStringLiteral("UL_"));
  auto* fr2 = new QGroupBox(this);
  fr2->setObjectName("UL_Fr2");
  LbDataformat = new QLabel(fr2);
  LbDataformat->setObjectName("UL_LbDataformat");
  LbDataformat->setWordWrap(true);
  Fr3 = new QGroupBox(this);
  Fr3->setObjectName("UL_Fr3");
  LbRAWdata = new QLabel(Fr3);
  LbRAWdata->setObjectName("UL_LbRAWdata");
  LbRAWdata->setWordWrap(true);
  ProgressBar1 = new QProgressBar(Fr3);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setAccessibleName(
      Q(ProgramText(IniFile::Load(ctx_.state.IniFilePath), "UploadProgress")));
  ComSend = new QPushButton(this);
  ComSend->setObjectName("UL_ComSend");
  ComSend->setDefault(true);
  ComCancel = new QPushButton(this);
  ComCancel->setObjectName("UL_ComCancel");
  connect(ComSend, &QPushButton::clicked, this, [this] { ComSend_Click(); });
  connect(ComCancel, &QPushButton::clicked, this, [this] { ComCancel_Click(); });

  // Form_Load.
  LoadDialogTexts(ctx_, this, RecordWindow::Upload);
  rows[2][1]->setText(NoParityText(ctx_.state));
  rows[3][1]->setText(QStringLiteral("1"));

  PlaceLinkSettingRows(fr1, rows);
  auto* l2 = new QVBoxLayout(fr2);
  l2->addWidget(LbDataformat);
  // The hint and the progress bar take the same place; only one of them shows.
  auto* l3 = new QVBoxLayout(Fr3);
  l3->setContentsMargins(px(120), px(120), px(120), px(120));
  l3->addWidget(LbRAWdata);
  l3->addWidget(ProgressBar1);
  ProgressBar1->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fr1);
  layout->addWidget(fr2);
  layout->addWidget(Fr3);
  layout->addLayout(CentredButtonRow({ComSend, ComCancel}));
  InstallSetupHooks(this, RecordWindow::Upload, ctx_);
}

void F_UL::PlaceProgressBar() {
  // 120 twips from the frame's left edge and 240 twips narrower than the frame.
  const int left = TwipsToPixels(120, this);
  ProgressBar1->setMinimumWidth(std::max(Fr3->width() - 2 * left, 1));
}

void F_UL::FillValues() {
  const MainWindowModel& m = ctx_.state.mainWindow;
  FillLinkSettingValues(rows, ctx_.state);
  LbDataformat->setText(Q(SelectedText(m.comboDataFormatSend)));
  FitLinkSettingRows(rows);
}

void F_UL::showEvent(QShowEvent* event) {
  // Form_Activate.
  if (!ctx_.state.CreatingIniFile) FillValues();
  QDialog::showEvent(event);
}

void F_UL::ComSend_Click() {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) {
    hide();
    return;
  }
  if (sending_) return;
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  PlaceProgressBar();
  LbRAWdata->hide();
  ProgressBar1->show();
  ComSend->setEnabled(false);
  QApplication::processEvents();

  // Only the four builder words start an upload; anything else leaves the window open.
  if (!UploadFormatFor(s.SettingsActionWord)) return;
  if (!port_) {
    s.SettingsActionWord = "Esc";
    done(QDialog::Rejected);
    return;
  }
  sending_ = true;
  HeldReports held;
  UploadHooks hooks;
  hooks.processEvents = [] { QApplication::processEvents(); };
  hooks.progress = [this](int value, int maximum) {
    ProgressBar1->setMaximum(std::max(maximum, 1));
    ProgressBar1->setValue(std::min(value, ProgressBar1->maximum()));
  };
  const UploadResult sent = SendUpLoadFile(s, *port_, sourcePath_, held, hooks);
  sending_ = false;
  done(sent.ok() ? QDialog::Accepted : QDialog::Rejected);
  held.ShowOn(ctx_.reporter);
}

void F_UL::ComCancel_Click() {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) {
    hide();
    return;
  }
  s.CancelRequested = true;
  s.ActionWord = "End";
  s.SettingsActionWord = "Esc";
  done(QDialog::Rejected);
}

void F_UL::reject() {
  // Escape acts as the Cancel button.
  ComCancel_Click();
}

void F_UL::closeEvent(QCloseEvent* event) {
  AppState& s = ctx_.state;
  const QStringList buttons = {ComSend->text(), ComCancel->text()};
  if (RefuseCloseInSetupMode(s, ctx_.prompts, buttons)) {
    event->ignore();
    return;
  }
  // Form_Unload: a running upload stops before its next line.
  s.CancelRequested = true;
  event->accept();
  if (!sending_) done(QDialog::Rejected);
}

void ShowUploadWindow(UiContext& ctx, SerialLink* port, const std::string& sourcePath) {
  F_UL window(ctx, port, sourcePath, ctx.mainWindow);
  ctx.dialogs.Run(window);
}

}  // namespace korv
