// The main window: construction, binding to the settings state, the Receive tab's handlers
// and the window's layout.
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
#include <QResizeEvent>
#include <QTabWidget>
#include <algorithm>

#include "core/file_procs.h"
#include "core/settings.h"
#include "core/text.h"
#include "ui/control_binder.h"
#include "ui/conversion_dispatch.h"
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
  setMinimumSize(TwipsToPixels(6300, this), TwipsToPixels(5400, this));
  resize(TwipsToPixels(7400, this), TwipsToPixels(6200, this));

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

  for (int i = 0; i < 2; ++i) {
    connect(OpSourse[i], &QRadioButton::clicked, this, [this, i] { OpSourse_Click(i); });
  }
  for (int i = 0; i < 3; ++i) {
    connect(OpReceive[i], &QRadioButton::clicked, this, [this, i] { OpReceive_Click(i); });
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
                      ComHelp,        ComExit,        Command1};
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
  OpSourse[std::clamp(m.opSourse, 0, 1)]->setChecked(true);
  OpReceive[std::clamp(m.opReceive, 0, 2)]->setChecked(true);
  const bool file = m.opSourse == 1;
  ComFileName->setEnabled(file);
  OpReceive[2]->setEnabled(!file);
  ComDLN->setVisible(!file);
  ComConv->setVisible(file);

  FillCombo(ComboDataFormatSend, m.comboDataFormatSend);
  ComSettingSend->setVisible(m.comSettingSendVisible);
  for (size_t i = 0; i < 4; ++i) FillCombo(StCombComm[i], m.stCombComm[i]);
  ShowPortDevice();
  for (size_t i = 0; i < 2; ++i) FillCombo(StCombCoord[i], m.stCombCoord[i]);
  StOpEditor[std::clamp(m.stOpEditor, 0, 1)]->setChecked(true);
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
  OpSourse[index]->setChecked(true);
  if (index == 0) {
    ComFileName->setEnabled(false);
    OpReceive[2]->setEnabled(true);
    ComDLN->setVisible(true);
    ComConv->setVisible(false);
  } else {
    ComFileName->setEnabled(true);
    if (OpReceive[2]->isChecked()) {
      // A file from disk is converted, never stored as it is: "Other" becomes raw data.
      OpReceive[0]->setChecked(true);
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
  OpReceive[index]->setChecked(true);
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

// ---- Layout ----

void F_DatTr::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ResizeForm();
}

void F_DatTr::ResizeForm() {
  const double W = PixelsToTwips(width(), this);
  const double H = PixelsToTwips(height(), this);
  auto px = [this](double twips) { return TwipsToPixels(twips, this); };
  auto heightOf = [](const QWidget* w, double fallback) {
    const double h = RecordedHeight(w, 0);
    return h > 0 ? h : fallback;
  };
  auto widthOf = [](const QWidget* w, double fallback) {
    const double v = RecordedWidth(w, 0);
    return v > 0 ? v : fallback;
  };
  // Places a widget of a frame, in twips from the frame's corner.
  auto inFrame = [&](QWidget* w, double l, double t, double wd, double h) {
    w->setGeometry(px(l), px(t), std::max(px(wd), 1), std::max(px(h), 1));
  };
  const double buttonRow = 620;  // Help, Exit and, in setup mode, Save setup below the tabs
  MainTab->setGeometry(px(45), px(45), px(W - 90), std::max(px(H - 45 - buttonRow), 1));
  // When the tab headers are taller than the 380 twips the layout counts on, every page
  // control moves down by the same amount, so nothing overlaps.
  const int pageTop = Fr1->parentWidget()->mapTo(this, QPoint(0, 0)).y();
  const int shift = std::max(0, pageTop + px(60) - px(380));
  // Places a widget of a tab page, in twips from the window's corner.
  auto onPage = [&](QWidget* w, double l, double t, double wd, double h) {
    const QPoint offset = w->parentWidget()->mapTo(this, QPoint(0, 0));
    w->setGeometry(px(l) - offset.x(), px(t) + shift - offset.y(), std::max(px(wd), 1),
                   std::max(px(h), 1));
  };

  // Receive tab: two frames side by side, the output frame across the width below them.
  const double half = W / 2;
  const double sideWidth = half - 210;
  onPage(Fr1, 90, 380, sideWidth, 1650);
  onPage(Fr2, half + 60, 380, sideWidth, 1650);
  const double opt = heightOf(OpSourse[0], 255);
  inFrame(OpSourse[0], 120, 330, sideWidth - 240, opt);
  inFrame(OpSourse[1], 120, 330 + opt + 90, sideWidth - 240, heightOf(OpSourse[1], 255));
  inFrame(ComFileName, 120, 330 + 2 * (opt + 90) + 60, sideWidth - 240, heightOf(ComFileName, 375));
  for (size_t i = 0; i < 3; ++i) {
    inFrame(OpReceive[i], 120, 330 + static_cast<double>(i) * (opt + 150), sideWidth - 240,
            heightOf(OpReceive[i], 255));
  }
  // The output frame: format row, copy box, file name row; labels left of their boxes.
  const double fr3Width = W - 240;
  const double inner = fr3Width - 240;
  const double combo = PixelsToTwips(ComboDataFormat->sizeHint().height(), this);
  const double box =
      std::max(heightOf(TxFileName, 285), PixelsToTwips(TxFileName->sizeHint().height(), this));
  const double labelWidth =
      PixelsToTwips(std::max(LbDataFormat->sizeHint().width(), LbFileName->sizeHint().width()),
                    this) +
      60;
  const double field = inner - labelWidth;
  const double buttonWidth =
      std::min(std::max(widthOf(ComSaveSetings, 1215), widthOf(ComSaveBrowse, 1215)), field / 3);
  const double formatTop = 300;
  const double formatRow = std::max(combo, heightOf(ComSaveSetings, 375));
  inFrame(LbDataFormat, 120, formatTop + (formatRow - heightOf(LbDataFormat, 255)) / 2,
          labelWidth - 60, heightOf(LbDataFormat, 255));
  inFrame(ComboDataFormat, 120 + labelWidth, formatTop + (formatRow - combo) / 2,
          field - buttonWidth - 120, combo);
  inFrame(ComSaveSetings, 120 + inner - buttonWidth, formatTop, buttonWidth, formatRow);
  const double checkTop = formatTop + formatRow + 90;
  inFrame(CheckOrigDF, 120 + labelWidth, checkTop, field, heightOf(CheckOrigDF, 255));
  const double boxTop = checkTop + heightOf(CheckOrigDF, 255) + 90;
  const double fileRow = std::max(box, heightOf(ComSaveBrowse, 375));
  inFrame(LbFileName, 120, boxTop + (fileRow - heightOf(LbFileName, 255)) / 2, labelWidth - 60,
          heightOf(LbFileName, 255));
  inFrame(TxFileName, 120 + labelWidth, boxTop + (fileRow - box) / 2, field - buttonWidth - 120,
          box);
  inFrame(ComSaveBrowse, 120 + inner - buttonWidth, boxTop, buttonWidth, fileRow);
  const double fr3Height = boxTop + fileRow + 150;
  onPage(Fr3, 90, 2100, fr3Width, fr3Height);
  const double actionTop = 2100 + fr3Height + 150;
  const double actionWidth = std::min(widthOf(ComDLN, 1815), (W - 240) / 2 - 60);
  onPage(ComDLN, 90, actionTop, actionWidth, heightOf(ComDLN, 375));
  onPage(ComConv, 90, actionTop, std::min(widthOf(ComConv, 1815), (W - 240) / 2 - 60),
         heightOf(ComConv, 375));
  const double viewWidth = std::min(widthOf(ComViewFile, 1815), (W - 240) / 2 - 60);
  onPage(ComViewFile, W - 150 - viewWidth, actionTop, viewWidth, heightOf(ComViewFile, 375));

  // Send tab: one frame across the width, the action buttons below it.
  const double sendInner = W - 240 - 240;
  const double sendButton = std::min(widthOf(ComSettingSend, 1215), sendInner / 3);
  inFrame(LbDataFormaSend, 120, 300, sendInner, heightOf(LbDataFormaSend, 255));
  const double sendComboTop = 300 + heightOf(LbDataFormaSend, 255) + 30;
  inFrame(ComboDataFormatSend, 120, sendComboTop, sendInner - sendButton - 120, combo);
  inFrame(ComSettingSend, 120 + sendInner - sendButton, sendComboTop, sendButton,
          std::max(combo, heightOf(ComSettingSend, 375)));
  const double sendLabelTop = sendComboTop + combo + 180;
  inFrame(LbFileNameSend, 120, sendLabelTop, sendInner, heightOf(LbFileNameSend, 255));
  const double sendBoxTop = sendLabelTop + heightOf(LbFileNameSend, 255) + 30;
  inFrame(TxFileNameSend, 120, sendBoxTop, sendInner - sendButton - 120, box);
  inFrame(ComBrowseSend, 120 + sendInner - sendButton, sendBoxTop, sendButton,
          std::max(box, heightOf(ComBrowseSend, 375)));
  const double frSendHeight = sendBoxTop + std::max(box, heightOf(ComBrowseSend, 375)) + 180;
  onPage(FrSend, 90, 380, W - 240, frSendHeight);
  const double sendActionTop = 380 + frSendHeight + 150;
  onPage(ComEditSend, 90, sendActionTop, actionWidth, heightOf(ComEditSend, 375));
  onPage(ComSend, W - 150 - actionWidth, sendActionTop, actionWidth, heightOf(ComSend, 375));

  // Settings tab: link settings on the left, coordinates and editor on the right.
  const double rowLabel = sideWidth * 0.45;
  double y = 300;
  for (size_t i = 0; i < 4; ++i) {
    inFrame(StLbComm[i], 120, y + 30, rowLabel - 60, heightOf(StLbComm[i], 255));
    inFrame(StCombComm[i], 120 + rowLabel, y, sideWidth - 240 - rowLabel, combo);
    y += combo + 90;
    if (i == 0) {
      // The device the port opens, right under the port list.
      inFrame(StCombDevice, 120 + rowLabel, y, sideWidth - 240 - rowLabel, combo);
      y += combo + 90;
    }
  }
  inFrame(StLbComm[4], 120, y + 30, rowLabel - 60, heightOf(StLbComm[4], 255));
  inFrame(StLbComm[5], 120 + rowLabel, y + 30, sideWidth - 240 - rowLabel,
          heightOf(StLbComm[5], 255) * 2);
  onPage(StFrComm, 90, 380, sideWidth, y + heightOf(StLbComm[5], 255) * 2 + 180);
  y = 300;
  for (size_t i = 0; i < 2; ++i) {
    inFrame(StLbCoord[i], 120, y, sideWidth - 240, heightOf(StLbCoord[i], 255));
    y += heightOf(StLbCoord[i], 255) + 30;
    inFrame(StCombCoord[i], 120, y, sideWidth - 240, combo);
    y += combo + 90;
  }
  onPage(StFrCoord, half + 60, 380, sideWidth, y + 90);
  const double editorTop = 380 + y + 90 + 120;
  double ey = 300;
  for (size_t i = 0; i < 2; ++i) {
    inFrame(StOpEditor[i], 120, ey, sideWidth - 240, heightOf(StOpEditor[i], 255));
    ey += heightOf(StOpEditor[i], 255) + 60;
  }
  const double editorBrowse = std::min(widthOf(ComEditorBrowse, 1215), (sideWidth - 240) / 3);
  inFrame(TxEditor, 120, ey, sideWidth - 240 - editorBrowse - 90, box);
  inFrame(ComEditorBrowse, sideWidth - 120 - editorBrowse, ey, editorBrowse,
          std::max(box, heightOf(ComEditorBrowse, 375)));
  onPage(StFrEditor, half + 60, editorTop, sideWidth,
         ey + std::max(box, heightOf(ComEditorBrowse, 375)) + 150);

  // The window's own buttons below the tabs.
  const double exitWidth = widthOf(ComExit, 1215);
  const double helpWidth = widthOf(ComHelp, 1215);
  const double rowTop = H - buttonRow + 90;
  ComExit->setGeometry(px(W - 90 - exitWidth), px(rowTop), px(exitWidth),
                       px(heightOf(ComExit, 375)));
  ComHelp->setGeometry(px(W - 90 - exitWidth - 120 - helpWidth), px(rowTop), px(helpWidth),
                       px(heightOf(ComHelp, 375)));
  if (ctx_.state.SpecialSetupMode) {
    Command1->setGeometry(px(90), px(rowTop), px(1500), px(375));
  }
  // The window never gets so low that the Receive tab's buttons leave it.
  const int needed = px(actionTop + heightOf(ComDLN, 375) + 240 + buttonRow) + shift;
  if (minimumHeight() != needed) setMinimumHeight(needed);
}

}  // namespace korv
