// The main window's Settings tab: link lists, coordinate lists and the editor choice, each
// stored in the program-wide state as soon as it is made; and beside the port list the serial
// device that port number opens, chosen from the devices present or typed as a path, kept in
// the "[Serial devices]" section of the settings file.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>

#include "comm/serial_link.h"
#include "core/key_store.h"
#include "core/settings.h"
#include "core/text.h"
#include "ui/control_binder.h"
#include "ui/dialog_parts.h"
#include "ui/f_dattr.h"
#include "ui/language_dialog.h"
#include "ui/qt_text.h"

namespace korv {

void F_DatTr::ConnectSettingsTab() {
  StCombDevice = new QComboBox(StFrComm);
  StCombDevice->setObjectName("StCombDevice");
  StCombDevice->setEditable(true);
  StCombDevice->setInsertPolicy(QComboBox::NoInsert);
  // Screen readers here name a list by its label, not by its accessible name. Both texts, and
  // the tool tip, are set with the settings (ApplyProgramTexts).
  StLbDevice = new QLabel(StFrComm);
  StLbDevice->setObjectName("StLbDevice");
  SetBuddy(StLbDevice, StCombDevice);
  for (int i = 0; i < 4; ++i) {
    connect(StCombComm[i], QOverload<int>::of(&QComboBox::activated), this,
            [this, i] { StCombComm_Click(i); });
  }
  for (int i = 0; i < 2; ++i) {
    connect(StCombCoord[i], QOverload<int>::of(&QComboBox::activated), this,
            [this, i] { StCombCoord_Click(i); });
    connect(StOpEditor[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) StOpEditor_Click(i);
    });
  }
  connect(TxEditor, &QLineEdit::textChanged, this, [this] { TxEditor_Change(); });
  connect(ComEditorBrowse, &QPushButton::clicked, this, [this] { ComEditorBrowse_Click(); });
  connect(StCombDevice, QOverload<int>::of(&QComboBox::activated), this,
          [this] { StCombDevice_Click(); });
  connect(StCombDevice->lineEdit(), &QLineEdit::editingFinished, this,
          [this] { StCombDevice_Click(); });
  connect(ComLanguage, &QPushButton::clicked, this, [this] { ComLanguage_Click(); });
}

void F_DatTr::ComLanguage_Click() {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) return;
  // Other texts are no new start: a file chosen as the source, and the output name typed for
  // it, stay as they were (loading the settings file again begins with the instrument).
  const int source = s.SourceIndex;
  const QString chosen = ComFileName->text();
  const bool fileChosen = chosen.toStdString() != TextsOf(s, "ComFileName").caption;
  const QString output = TxFileName->text();
  if (!ChooseInterfaceLanguage(ctx_)) return;
  ApplySettings();
  if (source == 1) OpSourse_Click(1);
  if (fileChosen) ComFileName->setText(chosen);
  TxFileName->setText(output);
}

void F_DatTr::StCombComm_Click(int index) {
  AppState& s = ctx_.state;
  const int selected = StCombComm[static_cast<size_t>(index)]->currentIndex();
  if (selected < 0) return;
  int* targets[4] = {&s.PortIndex, &s.SpeedIndex, &s.DataBitsIndex, &s.FlowControlIndex};
  *targets[index] = selected;
  SyncModel();
  if (index == 0) ShowPortDevice();
}

void F_DatTr::StCombCoord_Click(int index) {
  AppState& s = ctx_.state;
  const int selected = StCombCoord[static_cast<size_t>(index)]->currentIndex();
  if (selected < 0) return;
  (index == 0 ? s.CoordOrderIndex : s.CoordLabelsIndex) = selected;
  SyncModel();
}

void F_DatTr::StOpEditor_Click(int index) {
  ctx_.state.EditorChoice = index;
  CheckQuietly(StOpEditor[static_cast<size_t>(index)]);
  TxEditor->setVisible(index == 1);
  ComEditorBrowse->setVisible(index == 1);
  SyncModel();
}

void F_DatTr::TxEditor_Change() {
  ctx_.state.ProgramEditor = TxEditor->text().toStdString();
  ctx_.state.mainWindow.txEditor = ctx_.state.ProgramEditor;
}

void F_DatTr::ComEditorBrowse_Click() {
  const AppState& s = ctx_.state;
  FileDialogRequest request;
  if (s.ProgramEditor.size() >= 2) {
    const size_t cut = s.ProgramEditor.find_last_of("/\\");
    if (cut != std::string::npos) request.folder = s.ProgramEditor.substr(0, cut);
  }
  if (s.SpecialSetupMode) return;
  request.title = ctx_.FileTypeMsg(1);
  request.filter = ctx_.FileTypeMsg(2) + "|*.exe;*.bat";
#ifndef _WIN32
  // Programs here carry no extension: every file is offered, and preselected.
  request.filter += "|" + ctx_.FileTypeMsg(5) + "|*";
  request.filterIndex = 2;
#endif
  std::optional<std::string> chosen = ctx_.prompts.OpenFile(request);
  if (chosen && !chosen->empty()) TxEditor->setText(Q(*chosen));
}

void F_DatTr::ShowPortDevice() {
  const AppState& s = ctx_.state;
  const QString current = Q(DeviceForPort(s.PortIndex + 1, s.IniFilePath));
  StCombDevice->blockSignals(true);
  StCombDevice->clear();
  for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
    QString text = port.systemLocation();
    StCombDevice->addItem(text);
    QString about = port.description();
    if (!port.manufacturer().isEmpty()) about += QStringLiteral(" (%1)").arg(port.manufacturer());
    StCombDevice->setItemData(StCombDevice->count() - 1, about, Qt::ToolTipRole);
  }
  const int found = StCombDevice->findText(current);
  if (found >= 0) {
    StCombDevice->setCurrentIndex(found);
  } else {
    StCombDevice->setCurrentIndex(-1);
    StCombDevice->setEditText(current);
  }
  StCombDevice->blockSignals(false);
}

void F_DatTr::StCombDevice_Click() {
  const AppState& s = ctx_.state;
  const std::string chosen = Trim(StCombDevice->currentText().toStdString());
  const int port = s.PortIndex + 1;
  // Nothing to store when the box shows what the port opens already.
  if (chosen == DeviceForPort(port, s.IniFilePath)) return;
  if (!WriteKey(s.IniFilePath, "Serial devices", "COM" + std::to_string(port), chosen)) {
    ctx_.prompts.Message(FaultText("DeviceNotStored", s.IniFilePath), ctx_.Msg(11),
                         MessageIcon::Critical);
  }
  ShowPortDevice();
}

}  // namespace korv
