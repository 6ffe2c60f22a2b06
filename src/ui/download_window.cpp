// The download windows: F_DL, which shows the link settings and the byte count while the main
// window's download receives (receive_tab.cpp runs it), and F_SdrDL, the instructions shown
// before a download the instrument sends as SDR.
#include "ui/download_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/settings.h"
#include "ui/control_binder.h"
#include "ui/dialog_parts.h"
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
  LoadTexts();
}

void F_DL::FillValues() {
  const MainWindowModel& m = ctx_.state.mainWindow;
  FillLinkSettingValues(rows, ctx_.state);
  if (m.opReceive == 2) {
    LbDataformat->setText(Q(TextsOf(ctx_.state, "OpReceive2").caption));
  } else {
    LbDataformat->setText(Q(SelectedText(m.comboDataFormat)));
  }
}

void F_DL::LoadTexts() {
  bytesText_ = Q(ProgramText(IniFile::Load(ctx_.state.IniFilePath), "Bytes"));
}

void F_DL::showEvent(QShowEvent* event) {
  LoadTexts();
  if (!ctx_.state.CreatingIniFile) FillValues();
  FitLinkSettingRows(rows);
  QDialog::showEvent(event);
}

void F_DL::ShowCount(long long count) {
  LbRAWdata->setText(bytesText_.arg(count));
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


}  // namespace korv
