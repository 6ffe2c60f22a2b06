// The main window F_DatTr: the tab control MainTab with the Receive tab (source, kind, output
// format and file, Download and Convert), the widgets of the Send and Settings tabs, and the
// Help, Exit and Save setup buttons below the tabs.
#pragma once

#include <QWidget>
#include <array>
#include <iosfwd>
#include <string>

#include "conversions/list_positions.h"
#include "core/recent_files.h"
#include "ui/conversion_dispatch.h"
#include "ui/ui_context.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace korv {

class IniFile;
class JournalWriter;
class SerialLink;

class F_DatTr : public QWidget {
  Q_OBJECT
 public:
  explicit F_DatTr(UiContext& ctx, QWidget* parent = nullptr);

  // Puts the state that the settings load left (texts, lists, selections, visibility, tab
  // captions) on the widgets.
  void ApplySettings();
  // Copies the widgets' lists, selections and visibility into the state's window model.
  void SyncModel();

  // Receive tab handlers and procedures (receive_tab.cpp).
  void OpSourse_Click(int index);
  void OpReceive_Click(int index);
  void ComboDataFormat_Click();
  void TranCombo();
  void CheckOrigDFONOFF();
  void ShowSettingsCommand();
  void ToolTipsTextSettCom();
  void ComSaveSetings_Click();
  void ComFileName_Click();
  void ComSaveBrowse_Click();
  void TestSaveAsFile();
  void TxFileName_Change();
  void TxFileName_KeyPress(int key);
  void ComDLN_Click();
  void ComConv_Click();
  void ComViewFile_Click();
  void ComCheck_Click();
  void ComRecent_Click();
  void ComOpenFolder_Click();

  // Files from the desktop (desktop_files.cpp). `path` as the file to convert, its kind (raw
  // data or coordinate list) from its content; as the file to send, its format from its
  // extension (a GIS point file: a coordinate list). False, after the refusal is told, for a
  // folder or a file that cannot be read.
  bool OpenFileToConvert(const std::string& path);
  bool OpenFileToSend(const std::string& path);
  // A file dropped on the Receive tab (`toSend` false) or the Send tab.
  void DropFile(const QMimeData* mime, bool toSend);
  // An entry of a recent-file menu chosen: an input that has gone is taken off its list.
  void OpenRecentFile(RecentList list, const std::string& path);

  // Send tab handlers and procedures (send_tab.cpp).
  void ComboDataFormatSend_Click();
  void ComSettingSend_Click();
  void ComBrowseSend_Click();
  void TestSendFile();
  void TxFileNameSend_Change();
  void TxFileNameSend_KeyDown(int key);
  void TxFileNameSend_LostFocus();
  void ComEditSend_Click();
  void ComSend_Click();
  // Settings tab handlers (settings_tab.cpp).
  void StCombComm_Click(int index);
  void StCombCoord_Click(int index);
  void StOpEditor_Click(int index);
  void TxEditor_Change();
  void ComEditorBrowse_Click();
  // The serial device of the chosen port: shown beside the port list, chosen or typed there.
  void ShowPortDevice();
  void ApplyProgramTexts(const IniFile& texts);
  // The program text `key` with the settings file's path `path` in its "%1".
  std::string FaultText(const char* key, const std::string& path) const;
  void StCombDevice_Click();
  // "Interface language...": takes the chosen texts into the settings file and shows them.
  void ComLanguage_Click();
  // The buttons below the tabs: leaving the program, and the help window, modally.
  void ComExit_Click();
  void Command1_Click();
  void ComHelp_Click();
  // Puts the window where "[Window]" left it, on the screens present, and shows its tab; with
  // nothing stored, centred on the primary screen at the "Main Form" record's size. A stored
  // size wins over the record's, but the window never gets smaller than its texts need.
  void RestorePlace();
  // Places every control from the window's size and what the texts need, and sets the
  // window's least size (main_window_layout.cpp).
  void ResizeForm();

  const std::string& TxFileNameSendTag() const { return txFileNameSendTag_; }
  bool RecheckOutputFile() const { return recheckOutputFile_; }
  const std::string& TxFileNameTag() const { return txFileNameTag_; }

  QTabWidget* MainTab;
  // Receive tab.
  QGroupBox* Fr1;
  QGroupBox* Fr2;
  QGroupBox* Fr3;
  std::array<QRadioButton*, 2> OpSourse;
  std::array<QRadioButton*, 3> OpReceive;
  QPushButton* ComFileName;
  QLabel* LbDataFormat;
  QComboBox* ComboDataFormat;
  QPushButton* ComSaveSetings;
  QCheckBox* CheckOrigDF;
  QLabel* LbFileName;
  QLineEdit* TxFileName;
  QPushButton* ComSaveBrowse;
  QPushButton* ComDLN;
  QPushButton* ComConv;
  QPushButton* ComViewFile;
  QPushButton* ComCheck;  // a file from disk: its check report and plan
  QPushButton* ComRecent;  // beside Download: the download journal, one opened as the source
  QPushButton* ComOpenFolder;  // beside View file: the saved file's folder in the file manager
  // Menus of the recent files beside the file buttons.
  QToolButton* ComFileNameRecent;
  QToolButton* ComSaveBrowseRecent;
  // Send tab.
  QGroupBox* FrSend;
  QLabel* LbDataFormaSend;
  QComboBox* ComboDataFormatSend;
  QPushButton* ComSettingSend;
  QLabel* LbFileNameSend;
  QLineEdit* TxFileNameSend;
  QPushButton* ComBrowseSend;
  QToolButton* ComBrowseSendRecent;
  QPushButton* ComEditSend;
  QPushButton* ComSend;
  // Settings tab.
  QGroupBox* StFrComm;
  QGroupBox* StFrCoord;
  QGroupBox* StFrEditor;
  std::array<QLabel*, 6> StLbComm;
  std::array<QComboBox*, 4> StCombComm;
  std::array<QLabel*, 2> StLbCoord;
  std::array<QComboBox*, 2> StCombCoord;
  std::array<QRadioButton*, 2> StOpEditor;
  QLineEdit* TxEditor;
  QPushButton* ComEditorBrowse;
  QLabel* StLbDevice;
  QComboBox* StCombDevice;  // serial device of the chosen port ("[Serial devices]")
  QPushButton* ComLanguage;  // "Interface language..." below the link settings
  // Below the tabs.
  QPushButton* ComHelp;
  QPushButton* ComExit;
  QPushButton* Command1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildReceiveTab(QWidget* page);
  void BuildSendTab(QWidget* page);
  void BuildSettingsTab(QWidget* page);
  void SetTabOrder();
  // Lays the window out again whenever a control's text or font changes what it needs.
  void RelayoutOnTextChanges();
  void ConnectReceiveTab();
  void ConnectSendTab();
  void ConnectSettingsTab();
  // F1 for Help and Ctrl+Q for Exit, wherever the focus is in the window.
  void AddShortcuts();
  // Ends the program (through UiContext::endProgram when set).
  void EndProgram();
  // The selection of the current source and kind, and the list it indexes.
  int& CurrentTarget();
  bool FileSource() const;
  int Position() const;
  // What the chosen position of the output format list does (see conversions/list_positions).
  ListEntry ChosenEntry() const;
  // True when the chosen output is always written new (a drawing): no append is offered.
  bool WritesDrawing() const;
  bool RefuseName(const std::string& name);
  // Checks the output file name again when it was typed since the last check; false (with
  // View file disabled) when the user cancelled at the overwrite question.
  bool RecheckTypedOutputFile();
  // The first steps of a download and of an upload: the scratch file made new and empty and
  // left open in `scratch`, then the port opened on `link`. False, after the fault was
  // reported, when either cannot be opened; a port fault also shows the Settings tab.
  bool OpenScratchAndPort(std::fstream& scratch, SerialLink& link);
  // A GIS point file to send, converted to the coordinate list at `listPath`; what was left
  // out goes to `told`, for the list shown before sending. False when it cannot be read
  // (reported).
  bool GisPointsToList(const std::string& source, const std::string& listPath, std::string& told);
  // The check before an upload of `sent`, shown with what `told` holds already as one list
  // with the choice to send anyway; true when there is nothing to show or the user sends.
  bool ConfirmUpload(const std::string& sent, bool gisFile, std::string told);
  void RunDownload();
  // `path` as the file from disk to convert, as chosen with the file name button.
  void UseSourceFile(const std::string& path);
  // The file source chosen with `kind` of data, and `path` as the file to convert.
  void ChooseSourceFile(const std::string& path, int kind);
  // `path` as the output file, with the overwrite or append question.
  void UseOutputFile(const std::string& path);
  // Why `path` cannot be taken (a folder, a file that cannot be read), or "".
  std::string FileRefusal(const std::string& path) const;
  void RefuseFile(const std::string& why);
  // The recent-file menus, the Open folder button and the tabs taking dropped files.
  void BuildDesktopFiles();
  void ApplyDesktopFilesTexts(const IniFile& texts);
  void AcceptFileDrops(QWidget* page, bool toSend);
  QToolButton* MakeRecentButton(QWidget* parent, const char* name, RecentList list);
  void FillRecentMenu(QMenu& menu, RecentList list);
  // Puts `path` first in its recent list.
  void NoteRecentFile(RecentList list, const std::string& path);
  // Tells the journal's warning, if any (a full disk, a journal that cannot be written).
  void ReportJournal(const JournalWriter& journal);
  void ShowDownloadWindowForSetup();
  DispatchRequest MakeDispatchRequest() const;

  UiContext& ctx_;
  bool recheckOutputFile_ = false;
  std::string txFileNameTag_;
  std::string txFileNameSendTag_;
  bool testingSendFile_ = false;
};

}  // namespace korv
