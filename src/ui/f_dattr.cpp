// The main window: construction, binding to the settings state and the Receive tab's handlers
// (its layout is in main_window_layout.cpp).
#include "ui/f_dattr.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>

#include "core/file_procs.h"
#include "core/settings.h"
#include "core/text.h"
#include "ui/control_binder.h"
#include "ui/conversion_dispatch.h"
#include "ui/dialog_parts.h"
#include "ui/format_dialogs.h"
#include "ui/help_window.h"
#include "ui/qt_text.h"
#include "ui/setup_mode.h"
#include "ui/small_dialogs.h"

namespace korv {

namespace {

template <typename T>
T* Make(QWidget* parent, const char* name) {
  auto* w = new T(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// True when the chosen output is a DXF drawing, which is always written new.
bool WritesDrawing(int kind, bool fileSource, int position) {
  return kind == 1 && position == (fileSource ? 0 : 1);
}

// `name` without the extension of its file part.
std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t cut = name.find_last_of("/\\");
  if (dot == std::string::npos || (cut != std::string::npos && dot < cut)) return name;
  return name.substr(0, dot);
}

void FillCombo(QComboBox* combo, const ListModel& list) {
  combo->clear();
  for (const std::string& e : list.entries) combo->addItem(Q(e));
  combo->setCurrentIndex(list.selected < combo->count() ? list.selected : -1);
}

void ReadCombo(const QComboBox* combo, ListModel& list) {
  list.entries.clear();
  for (int i = 0; i < combo->count(); ++i) list.entries.push_back(combo->itemText(i).toStdString());
  list.selected = combo->currentIndex();
  list.visible = !combo->isHidden();
}

}  // namespace

F_DatTr::F_DatTr(UiContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName("F_DatTr");
  ctx_.mainWindow = this;
  MainTab = Make<QTabWidget>(this, "MainTab");
  auto* receive = new QWidget;
  receive->setObjectName("TabReceive");
  auto* send = new QWidget;
  send->setObjectName("TabSend");
  auto* settings = new QWidget;
  settings->setObjectName("TabSettings");
  MainTab->addTab(receive, Q(ctx.Msg(1)));
  MainTab->addTab(send, Q(ctx.Msg(2)));
  MainTab->addTab(settings, Q(ctx.Msg(3)));
  BuildReceiveTab(receive);
  BuildSendTab(send);
  BuildSettingsTab(settings);
  ComHelp = Make<QPushButton>(this, "ComHelp");
  ComExit = Make<QPushButton>(this, "ComExit");
  Command1 = Make<QPushButton>(this, "Command1");
  Command1->setText(QStringLiteral("Save setup"));
  Command1->setVisible(ctx.state.SpecialSetupMode);
  connect(ComExit, &QPushButton::clicked, this, [this] { ComExit_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  SetTabOrder();
  resize(TwipsToPixels(7400, this), TwipsToPixels(6200, this));
  RelayoutOnTextChanges();

  connect(MainTab, &QTabWidget::currentChanged, this, [this] { ResizeForm(); });
  connect(ComHelp, &QPushButton::clicked, this, [this] { ComHelp_Click(); });
  InstallSetupHooks(this, RecordWindow::Main, ctx_);

  // Form_Load.
  if (!ctx_.state.CreatingIniFile) {
    ctx_.state.FileWriteMode = 1;
    MainTab->setCurrentIndex(0);
  }
}

void F_DatTr::BuildReceiveTab(QWidget* page) {
  Fr1 = Make<QGroupBox>(page, "Fr1");
  OpSourse[0] = Make<QRadioButton>(Fr1, "OpSourse0");
  OpSourse[1] = Make<QRadioButton>(Fr1, "OpSourse1");
  ComFileName = Make<QPushButton>(Fr1, "ComFileName");
  Fr2 = Make<QGroupBox>(page, "Fr2");
  for (int i = 0; i < 3; ++i) {
    OpReceive[i] = Make<QRadioButton>(Fr2, ("OpReceive" + std::to_string(i)).c_str());
  }
  Fr3 = Make<QGroupBox>(page, "Fr3");
  LbDataFormat = Make<QLabel>(Fr3, "LbDataFormat");
  ComboDataFormat = Make<QComboBox>(Fr3, "ComboDataFormat");
  ComSaveSetings = Make<QPushButton>(Fr3, "ComSaveSetings");
  CheckOrigDF = Make<QCheckBox>(Fr3, "CheckOrigDF");
  LbFileName = Make<QLabel>(Fr3, "LbFileName");
  TxFileName = Make<QLineEdit>(Fr3, "TxFileName");
  ComSaveBrowse = Make<QPushButton>(Fr3, "ComSaveBrowse");
  ComDLN = Make<QPushButton>(page, "ComDLN");
  ComConv = Make<QPushButton>(page, "ComConv");
  ComViewFile = Make<QPushButton>(page, "ComViewFile");
  SetBuddy(LbDataFormat, ComboDataFormat);
  SetBuddy(LbFileName, TxFileName);
  ComFileName->setEnabled(false);
  ComConv->setVisible(false);
  ComViewFile->setEnabled(false);

  // Options answer being chosen, however that happens: a click, the arrow keys or Space, or
  // a screen reader's Toggle (which never clicks).
  for (int i = 0; i < 2; ++i) {
    connect(OpSourse[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) OpSourse_Click(i);
    });
  }
  for (int i = 0; i < 3; ++i) {
    connect(OpReceive[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) OpReceive_Click(i);
    });
  }
  connect(ComboDataFormat, QOverload<int>::of(&QComboBox::activated), this,
          [this] { ComboDataFormat_Click(); });
  connect(ComSaveSetings, &QPushButton::clicked, this, [this] { ComSaveSetings_Click(); });
  connect(ComFileName, &QPushButton::clicked, this, [this] { ComFileName_Click(); });
  connect(ComSaveBrowse, &QPushButton::clicked, this, [this] { ComSaveBrowse_Click(); });
  connect(TxFileName, &QLineEdit::textChanged, this, [this] { TxFileName_Change(); });
  connect(TxFileName, &QLineEdit::returnPressed, this, [this] { TxFileName_KeyPress(13); });
  connect(ComDLN, &QPushButton::clicked, this, [this] { ComDLN_Click(); });
  connect(ComConv, &QPushButton::clicked, this, [this] { ComConv_Click(); });
  connect(ComViewFile, &QPushButton::clicked, this, [this] { ComViewFile_Click(); });
  connect(CheckOrigDF, &QCheckBox::toggled, this,
          [this](bool on) { ctx_.state.CheckOrigDFState = on ? 1 : 0; });
}

void F_DatTr::BuildSendTab(QWidget* page) {
  FrSend = Make<QGroupBox>(page, "FrSend");
  LbDataFormaSend = Make<QLabel>(FrSend, "LbDataFormaSend");
  ComboDataFormatSend = Make<QComboBox>(FrSend, "ComboDataFormatSend");
  ComSettingSend = Make<QPushButton>(FrSend, "ComSettingSend");
  LbFileNameSend = Make<QLabel>(FrSend, "LbFileNameSend");
  TxFileNameSend = Make<QLineEdit>(FrSend, "TxFileNameSend");
  ComBrowseSend = Make<QPushButton>(FrSend, "ComBrowseSend");
  ComEditSend = Make<QPushButton>(page, "ComEditSend");
  ComSend = Make<QPushButton>(page, "ComSend");
  SetBuddy(LbDataFormaSend, ComboDataFormatSend);
  SetBuddy(LbFileNameSend, TxFileNameSend);
  ComEditSend->setEnabled(false);
  ComSend->setEnabled(false);
  ConnectSendTab();
}

void F_DatTr::BuildSettingsTab(QWidget* page) {
  StFrComm = Make<QGroupBox>(page, "StFrComm");
  for (int i = 0; i < 6; ++i) {
    StLbComm[i] = Make<QLabel>(StFrComm, ("StLbComm" + std::to_string(i)).c_str());
  }
  for (int i = 0; i < 4; ++i) {
    StCombComm[i] = Make<QComboBox>(StFrComm, ("StCombComm" + std::to_string(i)).c_str());
    SetBuddy(StLbComm[i], StCombComm[i]);
  }
  StLbComm[5]->setWordWrap(true);
  StFrCoord = Make<QGroupBox>(page, "StFrCoord");
  for (int i = 0; i < 2; ++i) {
    StLbCoord[i] = Make<QLabel>(StFrCoord, ("StLbCoord" + std::to_string(i)).c_str());
    StCombCoord[i] = Make<QComboBox>(StFrCoord, ("StCombCoord" + std::to_string(i)).c_str());
    SetBuddy(StLbCoord[i], StCombCoord[i]);
  }
  StFrEditor = Make<QGroupBox>(page, "StFrEditor");
  StOpEditor[0] = Make<QRadioButton>(StFrEditor, "StOpEditor0");
  StOpEditor[1] = Make<QRadioButton>(StFrEditor, "StOpEditor1");
  TxEditor = Make<QLineEdit>(StFrEditor, "TxEditor");
  ComEditorBrowse = Make<QPushButton>(StFrEditor, "ComEditorBrowse");
  TxEditor->setAccessibleName(QStringLiteral("Editor"));
  ConnectSettingsTab();
}

void F_DatTr::SetTabOrder() {
  QWidget* order[] = {MainTab,        OpSourse[0],    OpSourse[1],    ComFileName,
                      OpReceive[0],   OpReceive[1],   OpReceive[2],   ComboDataFormat,
                      ComSaveSetings, CheckOrigDF,    TxFileName,     ComSaveBrowse,
                      ComDLN,         ComConv,        ComViewFile,    ComboDataFormatSend,
                      ComSettingSend, TxFileNameSend, ComBrowseSend,  ComEditSend,
                      ComSend,        StCombComm[0],  StCombDevice,   StCombComm[1],
                      StCombComm[2],  StCombComm[3],  StCombCoord[0], StCombCoord[1],
                      StOpEditor[0],  StOpEditor[1],  TxEditor,       ComEditorBrowse,
                      Command1,       ComHelp,        ComExit};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

// ---- Binding to the state ----

void F_DatTr::ApplySettings() {
  AppState& s = ctx_.state;
  MainWindowModel& m = s.mainWindow;
  ApplyWindowTexts(this, RecordWindow::Main, s);
  for (int i = 0; i < 3; ++i) {
    const std::string& caption = m.tabCaptions[static_cast<size_t>(i)];
    MainTab->setTabText(i, Q(caption.empty() ? ctx_.Msg(i + 1) : caption));
  }
  FillCombo(ComboDataFormat, m.comboDataFormat);
  ComboDataFormat->setVisible(m.comboDataFormat.visible);
  LbDataFormat->setVisible(m.lbDataFormatVisible);
  CheckOrigDF->setVisible(m.checkOrigDFVisible);
  CheckOrigDF->setChecked(m.checkOrigDFChecked);
  ComSaveSetings->setVisible(m.comSaveSetingsVisible);
  if (!m.comSaveSetingsToolTip.empty()) ComSaveSetings->setToolTip(Q(m.comSaveSetingsToolTip));
  // Showing the stored choices is no choice of the user's: their handlers stay quiet.
  CheckQuietly(OpSourse[std::clamp(m.opSourse, 0, 1)]);
  CheckQuietly(OpReceive[std::clamp(m.opReceive, 0, 2)]);
  const bool file = m.opSourse == 1;
  ComFileName->setEnabled(file);
  OpReceive[2]->setEnabled(!file);
  ComDLN->setVisible(!file);
  ComConv->setVisible(file);

  FillCombo(ComboDataFormatSend, m.comboDataFormatSend);
  ComSettingSend->setVisible(m.comSettingSendVisible);
  for (size_t i = 0; i < 4; ++i) FillCombo(StCombComm[i], m.stCombComm[i]);
  ShowPortDevice();
  // The device label has no record of its own: it looks like the port's label above it.
  StLbDevice->setFont(StLbComm[0]->font());
  for (size_t i = 0; i < 2; ++i) FillCombo(StCombCoord[i], m.stCombCoord[i]);
  CheckQuietly(StOpEditor[std::clamp(m.stOpEditor, 0, 1)]);
  TxEditor->setText(Q(m.txEditor.empty() ? s.ProgramEditor : m.txEditor));
  TxEditor->setVisible(m.txEditorVisible);
  ComEditorBrowse->setVisible(m.comEditorBrowseVisible);
  Command1->setVisible(s.SpecialSetupMode);
  ResizeForm();
}

void F_DatTr::SyncModel() {
  MainWindowModel& m = ctx_.state.mainWindow;
  for (int i = 0; i < 3; ++i)
    m.tabCaptions[static_cast<size_t>(i)] = MainTab->tabText(i).toStdString();
  m.opSourse = OpSourse[1]->isChecked() ? 1 : 0;
  m.opReceive = OpReceive[2]->isChecked() ? 2 : OpReceive[1]->isChecked() ? 1 : 0;
  ReadCombo(ComboDataFormat, m.comboDataFormat);
  m.lbDataFormatVisible = !LbDataFormat->isHidden();
  m.checkOrigDFVisible = !CheckOrigDF->isHidden();
  m.checkOrigDFChecked = CheckOrigDF->isChecked();
  m.comSaveSetingsVisible = !ComSaveSetings->isHidden();
  m.comSaveSetingsToolTip = ComSaveSetings->toolTip().toStdString();
  ReadCombo(ComboDataFormatSend, m.comboDataFormatSend);
  m.comSettingSendVisible = !ComSettingSend->isHidden();
  for (size_t i = 0; i < 4; ++i) ReadCombo(StCombComm[i], m.stCombComm[i]);
  for (size_t i = 0; i < 2; ++i) ReadCombo(StCombCoord[i], m.stCombCoord[i]);
  m.stOpEditor = StOpEditor[1]->isChecked() ? 1 : 0;
  m.txEditor = TxEditor->text().toStdString();
  m.txEditorVisible = !TxEditor->isHidden();
  m.comEditorBrowseVisible = !ComEditorBrowse->isHidden();
}

// ---- Source, kind and output format ----

bool F_DatTr::FileSource() const { return OpSourse[1]->isChecked(); }

int F_DatTr::Position() const { return ComboDataFormat->currentIndex(); }

int& F_DatTr::CurrentTarget() {
  AppState& s = ctx_.state;
  const bool coord = s.SourceKind == 1;
  if (FileSource()) return coord ? s.CoordFileTargetIndex : s.RawFileTargetIndex;
  return coord ? s.CoordTargetIndex : s.RawTargetIndex;
}

void F_DatTr::OpSourse_Click(int index) {
  AppState& s = ctx_.state;
  s.SourceIndex = index;
  CheckQuietly(OpSourse[index]);
  if (index == 0) {
    ComFileName->setEnabled(false);
    OpReceive[2]->setEnabled(true);
    ComDLN->setVisible(true);
    ComConv->setVisible(false);
  } else {
    ComFileName->setEnabled(true);
    if (OpReceive[2]->isChecked()) {
      // A file from disk is converted, never stored as it is: "Other" becomes raw data.
      CheckQuietly(OpReceive[0]);
      s.SourceKind = 0;
      ComboDataFormat->setVisible(true);
      LbDataFormat->setVisible(true);
    }
    OpReceive[2]->setEnabled(false);
    ComConv->setVisible(true);
    ComDLN->setVisible(false);
  }
  TxFileName->clear();
  CheckOrigDFONOFF();
  TranCombo();
  ShowSettingsCommand();
  ToolTipsTextSettCom();
  SyncModel();
}

void F_DatTr::OpReceive_Click(int index) {
  AppState& s = ctx_.state;
  s.SourceKind = index;
  CheckQuietly(OpReceive[index]);
  TranCombo();
  const bool other = index == 2;
  ComboDataFormat->setVisible(!other);
  LbDataFormat->setVisible(!other);
  if (other) {
    CheckOrigDF->setVisible(false);
    ComSaveSetings->setVisible(false);
  }
  ToolTipsTextSettCom();
  CheckOrigDFONOFF();
  ShowSettingsCommand();
  SyncModel();
}

void F_DatTr::ComboDataFormat_Click() {
  AppState& s = ctx_.state;
  TxFileName->clear();
  s.SourceKind = OpReceive[1]->isChecked() ? 1 : 0;
  if (Position() >= 0) CurrentTarget() = Position();
  ToolTipsTextSettCom();
  CheckOrigDFONOFF();
  ShowSettingsCommand();
  SyncModel();
}

void F_DatTr::TranCombo() {
  AppState& s = ctx_.state;
  if (s.SourceKind != 0 && s.SourceKind != 1) return;
  const bool coord = s.SourceKind == 1;
  const bool file = FileSource();
  const auto& options = file ? (coord ? s.CoordFileOptions : s.RawFileOptions)
                             : (coord ? s.CoordOptions : s.RawOptions);
  const int count = file ? (coord ? s.CoordFileOptionCount : s.RawFileOptionCount)
                         : (coord ? s.CoordOptionCount : s.RawOptionCount);
  ComboDataFormat->clear();
  for (int i = 1; i <= count && i < kOptionListSize; ++i) {
    ComboDataFormat->addItem(Q(options[static_cast<size_t>(i)]));
  }
  int& target = CurrentTarget();
  if (target < 0 || target >= ComboDataFormat->count()) target = 0;
  ComboDataFormat->setCurrentIndex(target < ComboDataFormat->count() ? target : -1);
}

void F_DatTr::CheckOrigDFONOFF() {
  const AppState& s = ctx_.state;
  const int p = Position();
  bool visible = !FileSource() && s.SourceKind != 2;
  if (visible && s.SourceKind == 0 && (p == 0 || p == 3 || p == 4)) visible = false;
  if (visible && s.SourceKind == 1 && (p == 3 || p == 4)) visible = false;
  CheckOrigDF->setVisible(visible);
}

void F_DatTr::ShowSettingsCommand() {
  const AppState& s = ctx_.state;
  const int p = Position();
  bool visible = false;
  if (s.SourceKind == 1) {
    visible = true;
  } else if (s.SourceKind == 0) {
    visible = FileSource() ? p == 0 : p == 1;
  }
  ComSaveSetings->setVisible(visible);
}

void F_DatTr::ToolTipsTextSettCom() {
  const AppState& s = ctx_.state;
  const int p = Position();
  std::string tip;
  auto at = [p](const auto& table) {
    return p >= 0 && p < static_cast<int>(table.size()) ? table[static_cast<size_t>(p)]
                                                        : std::string();
  };
  if (s.SourceKind == 0) tip = FileSource() ? at(s.ToolTipsNRF) : at(s.ToolTipsNR);
  if (s.SourceKind == 1) tip = FileSource() ? at(s.ToolTipsCoF) : at(s.ToolTipsCo);
  ComSaveSetings->setToolTip(Q(tip));
}

void F_DatTr::ComSaveSetings_Click() {
  const AppState& s = ctx_.state;
  const int p = Position();
  if (p < 0) return;
  // The dialogs convert on OK only when the dispatch asks them to.
  ctx_.state.SettingsActionWord.clear();
  const std::string output = TxFileName->text().toStdString();
  if (!FileSource() && s.SourceKind == 0) {
    if (p == 1) ShowKofSettings(ctx_, output, ComFileName->text().toStdString());
    if (p == 3 || p == 4) ShowSdrSettings(ctx_);
  } else if (!FileSource() && s.SourceKind == 1) {
    if (p == 0) ShowCoordFileSettings(ctx_);
    if (p == 1) ShowDxfSettings(ctx_, output);
    if (p == 2) ShowKofSettings(ctx_, output, ComFileName->text().toStdString());
    if (p == 3 || p == 4) ShowSdrSettings(ctx_);
  } else if (FileSource() && s.SourceKind == 0) {
    if (p == 0) ShowKofSettings(ctx_, output, ComFileName->text().toStdString());
  } else if (FileSource() && s.SourceKind == 1) {
    if (p == 0) ShowDxfSettings(ctx_, output);
    if (p == 1) ShowKofSettings(ctx_, output, ComFileName->text().toStdString());
  }
}

// ---- Files ----

void F_DatTr::ComFileName_Click() {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) return;
  FileDialogRequest request;
  request.title = ctx_.Msg(4);
  request.folder = s.JobPath;
  request.filter = ctx_.FileTypeMsg(3) + "|*.vxl;*.dn?;*.raw|" + ctx_.FileTypeMsg(4) + "|*.asc|" +
                   ctx_.FileTypeMsg(5) + "|*.*";
  request.filterIndex = s.SourceKind == 1 ? 2 : 1;
  std::optional<std::string> chosen = ctx_.prompts.OpenFile(request);
  if (!chosen) return;
  if (chosen->empty()) {
    ComViewFile->setEnabled(false);
    return;
  }
  if (!FileExists(*chosen)) {
    ctx_.prompts.Message(ctx_.Msg(5), ctx_.Msg(4), MessageIcon::Critical);
    ComViewFile->setEnabled(false);
    return;
  }
  const std::string name = FileNameOnly(*chosen);
  if (ComFileName->text().toStdString() != name) {
    ComFileName->setText(Q(name));
    ComViewFile->setEnabled(false);
    TxFileName->clear();
  }
  s.JobPath = FolderOf(*chosen);
}

bool F_DatTr::RefuseName(const std::string& name) {
  // A name no file can have, or one in a folder that does not exist, cannot be created.
  bool refused = CheckFileName(name) == ErrorCode::kPathNotFound;
  const std::string folder = FolderOf(name);
  if (!refused && !folder.empty() && !QFileInfo(Q(folder)).isDir()) refused = true;
  if (refused) {
    ctx_.prompts.Message(ctx_.Msg(12) + "\r\n" + ctx_.Msg(13), ctx_.Msg(11), MessageIcon::Critical);
  }
  return refused;
}

void F_DatTr::ComSaveBrowse_Click() {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) return;
  const bool other = OpReceive[2]->isChecked();
  const int p = Position();
  if (!other && p < 0) return;

  std::string ext;
  if (!other) {
    const bool coord = s.SourceKind == 1;
    if (!FileSource() && !coord) {
      const char* parts[] = {" (*.vxl)|*.vxl", " (*.kof)|*.kof", " (*.asc)|*.asc", " (*.sdr)|*.sdr",
                             " (*.sdr)|*.sdr"};
      if (p < 5) ext = parts[p];
    } else if (!FileSource() && coord) {
      const char* parts[] = {" (*.asc)|*.asc", " (*.dxf)|*.dxf", " (*.kof)|*.kof", " (*.sdr)|*.sdr",
                             " (*.sdr)|*.sdr"};
      if (p < 5) ext = parts[p];
    } else if (!coord) {
      const char* parts[] = {" (*.kof)|*.kof", " (*.asc)|*.asc"};
      if (p < 2) ext = parts[p];
    } else {
      const char* parts[] = {" (*.dxf)|*.dxf", " (*.kof)|*.kof"};
      if (p < 2) ext = parts[p];
    }
  }
  FileDialogRequest request;
  request.title = ctx_.Msg(38);
  request.folder = s.SaveAsPath;
  // Positions added to an edited list have no extension of their own: every file is offered.
  request.filter = ext.empty() ? ctx_.FileTypeMsg(5) + "|*.*"
                               : ComboDataFormat->currentText().toStdString() + ext;
  // The extension the filter offers, such as ".kof"; none for every file.
  const std::string suffix = ext.empty() ? std::string() : ext.substr(ext.rfind("|*") + 2);
  // The dialog proposes the name already entered, else the source file's name with the
  // output's extension.
  const std::string entered = Trim(TxFileName->text().toStdString());
  const std::string source = ComFileName->text().toStdString();
  if (!entered.empty()) {
    request.fileName = entered;
  } else if (FileSource() && !StartsWith(source, "<")) {
    request.fileName = WithoutExtension(source) + suffix;
  }

  // A cancelled dialog keeps the name entered before.
  std::string chosen;
  for (;;) {
    std::optional<std::string> answer = ctx_.prompts.SaveFile(request);
    if (!answer || answer->empty()) return;
    chosen = *answer;
    // A name typed without an extension gets the one of the format chosen.
    if (WithoutExtension(chosen) == chosen) chosen += suffix;
    if (RefuseName(chosen)) return;
    s.ActionWord = "Overwite";
    if (!FileExists(chosen)) {
      s.FileWriteMode = 2;  // a new file: nothing there to append to
      break;
    }
    if (AskOverwriteOrAppend(ctx_, this, chosen, !WritesDrawing(s.SourceKind, FileSource(), p)) !=
        "Cancel") {
      recheckOutputFile_ = false;
      break;
    }
    request.fileName = chosen;
  }
  txFileNameTag_ = s.ActionWord;
  TxFileName->setText(Q(chosen));
  s.SaveAsPath = FolderOf(chosen);
  recheckOutputFile_ = false;
}

void F_DatTr::TestSaveAsFile() {
  AppState& s = ctx_.state;
  const std::string name = Trim(TxFileName->text().toStdString());
  if (name.empty()) return;
  if (RefuseName(name)) {
    TxFileName->clear();
    return;
  }
  s.ActionWord = "Overwite";
  if (FileExists(name)) {
    if (AskOverwriteOrAppend(ctx_, this, name,
                             !WritesDrawing(s.SourceKind, FileSource(), Position())) == "Cancel") {
      TxFileName->clear();
      TxFileName->setFocus();
      return;
    }
  } else {
    s.FileWriteMode = 2;  // a new file: nothing there to append to
  }
  txFileNameTag_ = s.ActionWord;
  TxFileName->setText(Q(name));
  recheckOutputFile_ = false;
  const size_t cut = name.find_last_of("/\\");
  if (cut != std::string::npos && cut >= 1) s.SaveAsPath = name.substr(0, cut);
}

void F_DatTr::TxFileName_Change() {
  ctx_.state.DownloadOK = false;
  ComViewFile->setEnabled(false);
  recheckOutputFile_ = true;
}

void F_DatTr::TxFileName_KeyPress(int key) {
  if (key != 13) return;
  if (FileSource()) {
    ComConv->setFocus();
  } else {
    ComDLN->setFocus();
  }
}

// ---- Transfers ----

bool F_DatTr::RecheckTypedOutputFile() {
  AppState& s = ctx_.state;
  if (!recheckOutputFile_) return true;
  TestSaveAsFile();
  recheckOutputFile_ = false;
  if (s.ActionWord != "Cancel") return true;
  ComViewFile->setEnabled(false);
  s.DownloadOK = false;
  return false;
}

void F_DatTr::ComConv_Click() {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) {
    s.ActionWord.clear();
    return;
  }
  // Nothing to convert before a source file is chosen.
  if (StartsWith(ComFileName->text().toStdString(), "<")) {
    ctx_.prompts.Message(ctx_.Msg(4), ctx_.Msg(11), MessageIcon::Critical);
    ComFileName->setFocus();
    return;
  }
  const std::string output = TxFileName->text().toStdString();
  const std::string input = s.JobPath + ComFileName->text().toStdString();
  // Never convert a file onto itself, however the two names are spelled.
  const QFileInfo outInfo(Q(Trim(output))), inInfo(Q(input));
  const bool same =
      Upper(output) == Upper(input) || (outInfo.exists() && inInfo.exists() &&
                                        outInfo.canonicalFilePath() == inInfo.canonicalFilePath());
  if (same) {
    ctx_.prompts.Message(ctx_.Msg(13), ctx_.Msg(6), MessageIcon::Critical);
    TxFileName->clear();
    return;
  }
  if (!RecheckTypedOutputFile()) return;
  if (Trim(TxFileName->text().toStdString()).empty()) {
    ctx_.prompts.Message(ctx_.Msg(38), ctx_.Msg(11), MessageIcon::Critical);
    return;
  }
  ConvertFromDisk(ctx_, MakeDispatchRequest());
  if (s.SettingsActionWord == "OK") ComViewFile->setEnabled(true);
  recheckOutputFile_ = true;
}

void F_DatTr::ComDLN_Click() {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) {
    s.ActionWord.clear();
    ShowDownloadWindowForSetup();
    return;
  }
  if (!RecheckTypedOutputFile()) return;
  if (TxFileName->text().isEmpty()) {
    ctx_.prompts.Message(ctx_.Msg(40), ctx_.Msg(6), MessageIcon::Critical);
    TxFileName->setFocus();
    return;
  }
  RunDownload();
}

DispatchRequest F_DatTr::MakeDispatchRequest() const {
  DispatchRequest request;
  request.output = TxFileName->text().toStdString();
  request.sourceCaption = ComFileName->text().toStdString();
  request.keepOriginal = !CheckOrigDF->isHidden() && CheckOrigDF->isChecked();
  request.formatText = ComboDataFormat->currentText().toStdString();
  request.owner = const_cast<F_DatTr*>(this);
  return request;
}

void F_DatTr::ComViewFile_Click() {
  const AppState& s = ctx_.state;
  if (s.SpecialSetupMode) return;
  const std::string path = Trim(TxFileName->text().toStdString());
  const std::string editor =
      !s.ProgramEditor.empty() && s.EditorChoice > 0 ? s.ProgramEditor : std::string();
  const std::string fault = ctx_.prompts.RunEditor(editor, path);
  if (!fault.empty()) ctx_.prompts.Message(fault, ctx_.Msg(11), MessageIcon::Critical);
}

void F_DatTr::closeEvent(QCloseEvent* event) {
  // Closing by the close box ends the program; only special setup mode saves first.
  if (ctx_.state.SpecialSetupMode) {
    SyncModel();
    SaveSettings(ctx_.state);
  }
  QWidget::closeEvent(event);
}

}  // namespace korv
