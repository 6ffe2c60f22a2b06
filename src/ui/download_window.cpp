// The download windows and the main window's download, in the order the program runs it:
// scratch file, port, SDR instructions, download window, reception, conversion.
#include "ui/download_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <fstream>

#include "comm/receive_data.h"
#include "comm/serial_link.h"
#include "core/file_procs.h"
#include "core/settings.h"
#include "ui/control_binder.h"
#include "ui/conversion_dispatch.h"
#include "ui/dialog_parts.h"
#include "ui/f_dattr.h"
#include "ui/format_dialogs.h"
#include "ui/qt_text.h"
#include "ui/setup_mode.h"

namespace korv {

F_DL::F_DL(UiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
  setObjectName("DL_Form");
  auto* fr1 = new QGroupBox(this);
  fr1->setObjectName("DL_Fr1");
  rows = MakeLinkSettingRows(fr1, QStringLiteral("DL_"));
  auto* fr2 = new QGroupBox(this);
  fr2->setObjectName("DL_Fr2");
  LbDataformat = new QLabel(fr2);
  LbDataformat->setObjectName("DL_LbDataformat");
  LbDataformat->setWordWrap(true);
  auto* fr3 = new QGroupBox(this);
  fr3->setObjectName("DL_Fr3");
  LbRAWdata = new QLabel(fr3);
  LbRAWdata->setObjectName("DL_LbRAWdata");
  LbRAWdata->setWordWrap(true);
  ComCancel = new QPushButton(this);
  ComCancel->setObjectName("DL_ComCancel");
  ComCancel->setDefault(true);
  connect(ComCancel, &QPushButton::clicked, this, [this] { ComCancel_Click(); });

  LoadDialogTexts(ctx_, this, RecordWindow::Download);
  if (!ctx_.state.CreatingIniFile && !ctx_.state.SpecialSetupMode) FillValues();

  PlaceLinkSettingRows(fr1, rows);
  auto* frames = new QHBoxLayout;
  auto* l2 = new QVBoxLayout(fr2);
  l2->addWidget(LbDataformat);
  auto* l3 = new QVBoxLayout(fr3);
  l3->addWidget(LbRAWdata);
  frames->addWidget(fr2, 1);
  frames->addWidget(fr3, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fr1);
  layout->addLayout(frames);
  layout->addWidget(ComCancel, 0, Qt::AlignHCenter);
  InstallSetupHooks(this, RecordWindow::Download, ctx_);
}

void F_DL::FillValues() {
  const MainWindowModel& m = ctx_.state.mainWindow;
  FillLinkSettingValues(rows, m);
  if (m.opReceive == 2) {
    LbDataformat->setText(Q(TextsOf(ctx_.state, "OpReceive2").caption));
  } else {
    LbDataformat->setText(Q(SelectedText(m.comboDataFormat)));
  }
}

void F_DL::showEvent(QShowEvent* event) {
  if (!ctx_.state.CreatingIniFile) FillValues();
  FitLinkSettingRows(rows);
  QDialog::showEvent(event);
}

void F_DL::ShowCount(long long count) {
  LbRAWdata->setText(QStringLiteral("Bytes:   %1").arg(count));
  LbRAWdata->repaint();
}

void F_DL::ComCancel_Click() {
  if (ctx_.state.SpecialSetupMode) {
    hide();
    return;
  }
  ctx_.state.CancelRequested = true;
}

void F_DL::reject() {
  // Escape acts as the Cancel button.
  ComCancel_Click();
  if (ctx_.state.SpecialSetupMode) QDialog::reject();
}

void F_DL::closeEvent(QCloseEvent* event) {
  AppState& s = ctx_.state;
  s.CancelRequested = true;
  if (s.ActionWord != "end" && RefuseCloseInSetupMode(s, ctx_.prompts, {ComCancel->text()})) {
    event->ignore();
    return;
  }
  // While receiving, the reception ends through the cancel flag and unloads the window.
  event->ignore();
}

F_SdrDL::F_SdrDL(UiContext& ctx, bool sdr33, bool coordinates, QWidget* owner) : QDialog(owner) {
  setObjectName("F_SdrDL");
  setWindowTitle(Q(ctx.Msg(sdr33 ? 37 : 31)));
  Lb1 = new QLabel(Q(ctx.Msg(32)), this);
  Lb1->setObjectName("Lb1");
  Lb2 = new QLabel(Q(ctx.Msg(sdr33 ? 36 : 33)), this);
  Lb2->setObjectName("Lb2");
  Lb3 = new QLabel(Q(ctx.Msg(coordinates ? 41 : 34)), this);
  Lb3->setObjectName("Lb3");
  ComOK = new QPushButton(Q(ctx.Msg(35)), this);
  ComOK->setObjectName("ComOK");
  ComOK->setDefault(true);
  auto px = [this](double twips) { return TwipsToPixels(twips, this); };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(px(120), px(120), px(120), px(120));
  layout->setSpacing(0);
  layout->addWidget(Lb1);
  layout->addSpacing(px(150));
  auto indent = [&](QLabel* l) { l->setContentsMargins(px(144), 0, 0, 0); };
  indent(Lb2);
  indent(Lb3);
  layout->addWidget(Lb2);
  layout->addSpacing(px(48));
  layout->addWidget(Lb3);
  layout->addSpacing(px(200));
  layout->addWidget(ComOK, 0, Qt::AlignHCenter);
  connect(ComOK, &QPushButton::clicked, this, &QDialog::accept);
}

bool InstrumentSendsSdr(const AppState& s) {
  if (s.SourceIndex != 0) return false;
  if (s.SourceKind == 0) return s.RawTargetIndex == 3 || s.RawTargetIndex == 4;
  if (s.SourceKind == 1) return s.CoordTargetIndex == 3 || s.CoordTargetIndex == 4;
  return false;
}

void F_DatTr::ShowDownloadWindowForSetup() {
  F_DL window(ctx_, this);
  ctx_.dialogs.Run(window);
}

bool F_DatTr::OpenScratchAndPort(std::fstream& scratch, SerialLink& link) {
  AppState& s = ctx_.state;
  s.ScratchFilePath = s.ProgramFolder + kScratchFileName;
  if (!OpenNumberedFile(scratch, s.ScratchFilePath, OpenMode::Write, s, ctx_.reporter).empty()) {
    s.ActionWord.clear();
    return false;
  }
  OpenCommPort(link, s, ctx_.reporter);
  if (!s.ActionWord.empty()) {
    scratch.close();
    MainTab->setCurrentIndex(2);
    return false;
  }
  return true;
}

void F_DatTr::RunDownload() {
  AppState& s = ctx_.state;
  SyncModel();
  // 1. and 2. The scratch file, which receives the data, and the port.
  std::fstream scratch;
  SerialLink link;
  if (!OpenScratchAndPort(scratch, link)) return;
  // 3. What to pick on the instrument for an SDR file.
  if (InstrumentSendsSdr(s)) {
    const bool sdr33 = (s.SourceKind == 0 ? s.RawTargetIndex : s.CoordTargetIndex) == 4;
    F_SdrDL instructions(ctx_, sdr33, s.SourceKind == 1, this);
    ctx_.dialogs.Run(instructions);
  }
  // 4. The download window over the disabled main window.
  F_DL window(ctx_, this);
  setEnabled(false);
  window.setEnabled(true);
  window.show();
  window.move(x() + (width() - window.width()) / 2, y() + (height() - window.height()) / 2);
  // 5. Reception with window events let run.
  ReceiveHooks hooks;
  hooks.processEvents = [] { QApplication::processEvents(); };
  hooks.showCount = [&window](std::int64_t count) { window.ShowCount(count); };
  const ReceiveResult received = ReceiveData(s, link, scratch, ctx_.reporter, hooks, *ctx_.clock);
  ComSaveSetings->setEnabled(true);
  window.hide();
  // 6. The main window again.
  setEnabled(true);
  QApplication::processEvents();
  // 7. Conversion after a normal end.
  if (!received.ok()) return;
  ConvertAfterDownload(ctx_, MakeDispatchRequest());
  if (s.SourceKind == 2 && s.DownloadOK) s.SettingsActionWord = "OK";
  if (s.SettingsActionWord == "OK") ComViewFile->setEnabled(true);
  recheckOutputFile_ = true;
}

}  // namespace korv
