// The main window: its construction, the binding of its controls to the settings state, what
// the tabs share and the buttons below the tabs (Help, Exit, Save setup). Each tab's handlers
// are in receive_tab.cpp, send_tab.cpp and settings_tab.cpp, the layout in
// main_window_layout.cpp.
#include "ui/f_dattr.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "comm/serial_link.h"
#include "core/file_procs.h"
#include "core/interface_language.h"
#include "core/journal.h"
#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/settings.h"
#include "core/survey_texts.h"
#include "core/window_place.h"
#include "ui/control_binder.h"
#include "ui/dialog_parts.h"
#include "ui/help_window.h"
#include "ui/qt_text.h"
#include "ui/screen_place.h"
#include "ui/setup_mode.h"

namespace korv {

namespace {

template <typename T>
T* Make(QWidget* parent, const char* name) {
  auto* w = new T(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
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
  BuildDesktopFiles();
  ComHelp = Make<QPushButton>(this, "ComHelp");
  ComExit = Make<QPushButton>(this, "ComExit");
  Command1 = Make<QPushButton>(this, "Command1");
  Command1->setVisible(ctx.state.SpecialSetupMode);
  connect(ComExit, &QPushButton::clicked, this, [this] { ComExit_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  SetTabOrder();
  resize(TwipsToPixels(7400, this), TwipsToPixels(6200, this));
  RelayoutOnTextChanges();

  connect(MainTab, &QTabWidget::currentChanged, this, [this] { ResizeForm(); });
  connect(ComHelp, &QPushButton::clicked, this, [this] { ComHelp_Click(); });
  AddShortcuts();
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
  ComCheck = Make<QPushButton>(page, "ComCheck");
  ComRecent = Make<QPushButton>(page, "ComRecent");
  SetBuddy(LbDataFormat, ComboDataFormat);
  SetBuddy(LbFileName, TxFileName);
  ComFileName->setEnabled(false);
  ComConv->setVisible(false);
  ComCheck->setVisible(false);
  ComViewFile->setEnabled(false);
  ConnectReceiveTab();
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
  ComLanguage = Make<QPushButton>(page, "ComLanguage");
  ConnectSettingsTab();
}

// The texts of controls that have no control record of their own.
void F_DatTr::ApplyProgramTexts(const IniFile& texts) {
  StCombDevice->setAccessibleName(Q(ProgramText(texts, "SerialDevice")));
  StLbDevice->setText(Q(ProgramText(texts, "SerialDeviceLabel")));
  StCombDevice->setToolTip(Q(ProgramText(texts, "SerialDeviceTip")));
  TxEditor->setAccessibleName(Q(ProgramText(texts, "Editor")));
  Command1->setText(Q(ProgramText(texts, "SaveSetup")));
}

std::string F_DatTr::FaultText(const char* key, const std::string& path) const {
  return Q(ProgramText(IniFile::Load(ctx_.state.IniFilePath), key)).arg(Q(path)).toStdString();
}

void F_DatTr::AddShortcuts() {
  // The desktop's own keys for help and quitting; a key scheme without them (Windows' has no
  // Quit) gets F1 and Ctrl+Q.
  auto keys = [](QKeySequence::StandardKey standard, const QKeySequence& fallback) {
    QList<QKeySequence> bound = QKeySequence::keyBindings(standard);
    if (!bound.contains(fallback)) bound.append(fallback);
    return bound;
  };
  auto* help = new QShortcut(this);
  help->setObjectName("HelpShortcut");
  help->setKeys(keys(QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)));
  connect(help, &QShortcut::activated, this, [this] { ComHelp_Click(); });
  auto* quit = new QShortcut(this);
  quit->setObjectName("ExitShortcut");
  quit->setKeys(keys(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
  connect(quit, &QShortcut::activated, this, [this] { ComExit_Click(); });
}

void F_DatTr::SetTabOrder() {
  QWidget* order[] = {MainTab,
                      OpSourse[0],
                      OpSourse[1],
                      ComFileName,
                      ComFileNameRecent,
                      OpReceive[0],
                      OpReceive[1],
                      OpReceive[2],
                      ComboDataFormat,
                      ComSaveSetings,
                      CheckOrigDF,
                      TxFileName,
                      ComSaveBrowseRecent,
                      ComSaveBrowse,
                      ComDLN,
                      ComRecent,
                      ComConv,
                      ComCheck,
                      ComViewFile,
                      ComOpenFolder,
                      ComboDataFormatSend,
                      ComSettingSend,
                      TxFileNameSend,
                      ComBrowseSendRecent,
                      ComBrowseSend,
                      ComEditSend,
                      ComSend,
                      StCombComm[0],
                      StCombDevice,
                      StCombComm[1],
                      StCombComm[2],
                      StCombComm[3],
                      StCombCoord[0],
                      StCombCoord[1],
                      StOpEditor[0],
                      StOpEditor[1],
                      TxEditor,
                      ComEditorBrowse,
                      ComLanguage,
                      Command1,
                      ComHelp,
                      ComExit};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

// ---- Binding to the state ----

void F_DatTr::ApplySettings() {
  AppState& s = ctx_.state;
  MainWindowModel& m = s.mainWindow;
  const IniFile texts = IniFile::Load(s.IniFilePath);
  ApplyWindowTexts(this, RecordWindow::Main, s);
  ApplyProgramTexts(texts);
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
  ComCheck->setVisible(file);
  ComCheck->setText(Q(SurveyText(texts, "Check")));
  ComRecent->setVisible(!file);
  ComRecent->setText(Q(JournalText(texts, "Recent")));
  ApplyDesktopFilesTexts(texts);
  ComLanguage->setText(Q(SectionText(texts, InterfaceLanguageSection(), "Button")));

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

// ---- Shared by the tabs ----

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

// ---- The buttons below the tabs and leaving the program ----

void F_DatTr::ComHelp_Click() { ShowHelpWindow(ctx_, this); }

void F_DatTr::RestorePlace() {
  // The least size as the shown window will have it: its style's fonts and margins.
  ensurePolished();
  ResizeForm();
  const std::optional<WindowPlace>& place = ctx_.state.windowPlace;
  if (!place) {
    CentreOnScreen(this);
    return;
  }
  // The frame around the window counts too, where the platform tells it before the window
  // shows.
  create();
  const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  const QList<QRect> screens = ScreenRooms();
  const QPoint corner(place->left, place->top);
  resize(PlaceOnScreens(QRect(corner, QSize(place->width, place->height).grownBy(frame)), screens)
             .size()
             .shrunkBy(frame));
  // Placed again at the size the window took, which its texts may have made larger.
  move(PlaceOnScreens(QRect(corner, size().grownBy(frame)), screens).topLeft());
  if (place->tab >= 0 && place->tab < MainTab->count()) MainTab->setCurrentIndex(place->tab);
}

void F_DatTr::ComExit_Click() {
  AppState& s = ctx_.state;
  SyncModel();
  s.windowPlace = WindowPlace{x(), y(), width(), height(), MainTab->currentIndex()};
  if (!SaveSettings(s)) {
    ctx_.prompts.Message(FaultText("SettingsNotSaved", s.IniFilePath), ctx_.Msg(11),
                         MessageIcon::Critical);
  }
  s.ScratchFilePath = s.ProgramFolder + kScratchFileName;
  std::remove(s.ScratchFilePath.c_str());
  EndProgram();
}

void F_DatTr::Command1_Click() {
  AppState& s = ctx_.state;
  SyncModel();
  // The edited texts go into the file as it stands: what setup mode cannot edit (messages,
  // lists, the choices, the converters' settings) stays as the file has it.
  if (!SaveSetup(s)) {
    ctx_.prompts.Message(FaultText("SettingsNotWritten", s.IniFilePath), ctx_.Msg(11),
                         MessageIcon::Critical);
  }
  EndProgram();
}

void F_DatTr::EndProgram() {
  if (ctx_.endProgram) {
    ctx_.endProgram();
  } else {
    QApplication::quit();
  }
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
