// The main window's Receive tab: the source (instrument or file) and kind of data, the output
// format and file, and the transfers it starts: Download (with the download window, reception
// and the conversion after it), Convert and View file.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cctype>
#include <fstream>

#include "comm/receive_data.h"
#include "comm/serial_link.h"
#include "conversions/list_positions.h"
#include "core/file_procs.h"
#include "core/gis_settings.h"
#include "core/journal.h"
#include "core/key_store.h"
#include "core/text.h"
#include "survey/survey_file.h"
#include "ui/conversion_dispatch.h"
#include "ui/dialog_parts.h"
#include "ui/download_window.h"
#include "ui/f_dattr.h"
#include "ui/format_dialogs.h"
#include "ui/gis_settings_dialog.h"
#include "ui/qt_text.h"
#include "ui/recent_downloads_dialog.h"
#include "ui/small_dialogs.h"
#include "ui/survey_window.h"

namespace korv {

namespace {

// A survey file read, reduced and checked, ready for the survey window.
struct CheckedSurvey {
  Survey survey;
  std::string report;
  std::vector<uint32_t> marked;

  void Show(UiContext& ctx) { ShowSurvey(ctx, std::move(survey), report, std::move(marked)); }
};

// Reads, reduces and checks `path` with the settings file's angle unit and coordinate order;
// nullopt after the fault is told.
std::optional<CheckedSurvey> CheckSurveyFile(UiContext& ctx, const std::string& path, bool raw) {
  const IniFile ini = IniFile::Load(ctx.state.IniFilePath);
  ReductionOptions reduction;
  reduction.angleUnit = StoredAngleUnit(ini);
  CheckedSurvey checked;
  std::string fault;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool read =
      LoadSurvey(path, raw, ctx.state.CoordOrderIndex, reduction, checked.survey, fault);
  QApplication::restoreOverrideCursor();
  if (!read) {
    ctx.prompts.Message(fault, ctx.Msg(11), MessageIcon::Critical);
    return std::nullopt;
  }
  const CheckReport report =
      MakeCheckReport(checked.survey, CheckOptionsOf(ini, path, reduction.angleUnit));
  checked.marked = ProblemPoints(checked.survey, report);
  checked.report = CheckReportText(checked.survey, report);
  return checked;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// `name` without the extension of its file part.
std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t cut = name.find_last_of("/\\");
  if (dot == std::string::npos || (cut != std::string::npos && dot < cut)) return name;
  return name.substr(0, dot);
}

// The text of an entry the format lists show after the settings file's entries.
std::string AddedEntryText(const AppState& s, const IniFile& ini, int position) {
  if (position == kComputedCoordinatesPosition) return s.ComputedCoordinatesText;
  return GisText(ini, kExchangeEntries[position - kFirstExchangePosition].textKey);
}

}  // namespace

void F_DatTr::ConnectReceiveTab() {
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
  connect(ComCheck, &QPushButton::clicked, this, [this] { ComCheck_Click(); });
  connect(ComRecent, &QPushButton::clicked, this, [this] { ComRecent_Click(); });
  connect(ComViewFile, &QPushButton::clicked, this, [this] { ComViewFile_Click(); });
  connect(CheckOrigDF, &QCheckBox::toggled, this,
          [this](bool on) { ctx_.state.CheckOrigDFState = on ? 1 : 0; });
}

// ---- Source, kind and output format ----

bool F_DatTr::FileSource() const { return OpSourse[1]->isChecked(); }

int F_DatTr::Position() const {
  return TargetPositionOf(ctx_.state, FileSource(), ComboDataFormat->currentIndex());
}

int& F_DatTr::CurrentTarget() { return TargetIndexOf(ctx_.state, FileSource()); }

ListEntry F_DatTr::ChosenEntry() const {
  return EntryAt(ctx_.state.SourceKind, FileSource(), Position());
}

bool F_DatTr::WritesDrawing() const {
  const ListEntry entry = ChosenEntry();
  return entry.conversion && !entry.conversion->appendPossible;
}

void F_DatTr::OpSourse_Click(int index) {
  AppState& s = ctx_.state;
  s.SourceIndex = index;
  CheckQuietly(OpSourse[index]);
  if (index == 0) {
    ComFileName->setEnabled(false);
    OpReceive[2]->setEnabled(true);
    ComDLN->setVisible(true);
    ComRecent->setVisible(true);
    ComConv->setVisible(false);
    ComCheck->setVisible(false);
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
    ComCheck->setVisible(true);
    ComDLN->setVisible(false);
    ComRecent->setVisible(false);
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
  if (ComboDataFormat->currentIndex() >= 0) CurrentTarget() = ComboDataFormat->currentIndex();
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
  const IniFile ini = IniFile::Load(s.IniFilePath);
  for (int position : AddedPositions(s.SourceKind)) {
    ComboDataFormat->addItem(Q(AddedEntryText(s, ini, position)));
  }
  int& target = CurrentTarget();
  if (target < 0 || target >= ComboDataFormat->count()) target = 0;
  ComboDataFormat->setCurrentIndex(target < ComboDataFormat->count() ? target : -1);
}

void F_DatTr::CheckOrigDFONOFF() {
  // A copy of the received data is offered where the data is converted, not stored as it is.
  CheckOrigDF->setVisible(!FileSource() && ctx_.state.SourceKind != 2 &&
                          ChosenEntry().action != ListAction::StoreAsReceived);
}

void F_DatTr::ShowSettingsCommand() {
  ComSaveSetings->setVisible(SettingsButtonShown(ctx_.state.SourceKind, FileSource(), Position()));
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
  if (Position() < 0) return;
  // The dialogs only store their settings here; conversions run from the dispatch.
  ctx_.state.SettingsActionWord.clear();
  switch (ChosenEntry().dialog) {
    case SettingsDialog::Kof:
      ShowKofSettings(ctx_, TxFileName->text().toStdString(), ComFileName->text().toStdString());
      break;
    case SettingsDialog::Sdr:
      ShowSdrSettings(ctx_);
      break;
    case SettingsDialog::Dxf:
      ShowDxfSettings(ctx_);
      break;
    case SettingsDialog::CoordFields:
      ShowCoordFileSettings(ctx_);
      break;
    case SettingsDialog::Gis:
      ShowGisSettings(ctx_, false);
      break;
    case SettingsDialog::None:
      break;
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
  UseSourceFile(*chosen);
}

void F_DatTr::UseSourceFile(const std::string& path) {
  const std::string name = FileNameOnly(path);
  if (ComFileName->text().toStdString() != name) {
    ComFileName->setText(Q(name));
    ComViewFile->setEnabled(false);
    TxFileName->clear();
  }
  ctx_.state.JobPath = FolderOf(path);
}

void F_DatTr::ComRecent_Click() {
  if (ctx_.state.SpecialSetupMode) return;
  const std::optional<std::string> path = ShowRecentDownloads(ctx_);
  if (!path) return;
  // A download is raw data as the instrument sent it.
  ChooseSourceFile(*path, 0);
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

  const ListEntry entry = ChosenEntry();
  const std::string ext = !other && entry.extension ? FilterPattern(entry.extension) : "";
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
    if (AskOverwriteOrAppend(ctx_, this, chosen, !WritesDrawing()) != "Cancel") {
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
    if (AskOverwriteOrAppend(ctx_, this, name, !WritesDrawing()) == "Cancel") {
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
  if (s.SettingsActionWord == "OK") {
    ComViewFile->setEnabled(true);
    NoteRecentFile(RecentList::Converted, input);
    NoteRecentFile(RecentList::Written, Trim(TxFileName->text().toStdString()));
  }
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

void F_DatTr::ComCheck_Click() {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) return;
  if (StartsWith(ComFileName->text().toStdString(), "<")) {
    ctx_.prompts.Message(ctx_.Msg(4), ctx_.Msg(11), MessageIcon::Critical);
    ComFileName->setFocus();
    return;
  }
  if (auto checked = CheckSurveyFile(ctx_, s.JobPath + ComFileName->text().toStdString(),
                                     s.SourceKind == 0)) {
    checked->Show(ctx_);
  }
}

// ---- Download, in the order the program runs it ----

void F_DatTr::ShowDownloadWindowForSetup() {
  F_DL window(ctx_, this);
  ctx_.dialogs.Run(window);
}

void F_DatTr::ReportJournal(const JournalWriter& journal) {
  if (journal.warning().empty()) return;
  ctx_.prompts.Message(journal.warning(),
                       JournalText(IniFile::Load(ctx_.state.IniFilePath), "Title"),
                       MessageIcon::Exclamation);
}

void F_DatTr::RunDownload() {
  AppState& s = ctx_.state;
  SyncModel();
  // 1. and 2. The scratch file, which receives the data, and the port.
  std::fstream scratch;
  SerialLink link;
  if (!OpenScratchAndPort(scratch, link)) return;
  const IniFile ini = IniFile::Load(s.IniFilePath);
  // 3. What to pick on the instrument for an SDR file.
  const ListEntry entry =
      EntryAt(s.SourceKind, false, TargetPositionOf(s, false, TargetIndexOf(s, false)));
  if (entry.instrumentSendsSdr) {
    F_SdrDL instructions(ctx_, entry.sdr33, s.SourceKind == 1, this);
    ctx_.dialogs.Run(instructions);
  }
  // 4. The download window over the disabled main window.
  F_DL window(ctx_, this);
  setEnabled(false);
  window.setEnabled(true);
  window.show();
  window.move(x() + (width() - window.width()) / 2, y() + (height() - window.height()) / 2);
  // 5. Reception with window events let run, every line kept in the journal as it comes.
  JournalWriter journal(JournalFolder(), link.device(), LoadJournalLimits(ini), ctx_.now());
  ReportJournal(journal);
  ReceiveHooks hooks;
  const bool journalling = journal.active();
  if (journalling) hooks.storeLine = [&journal](const std::string& line) { journal.Add(line); };
  hooks.processEvents = [] { QApplication::processEvents(); };
  hooks.showCount = [&window](std::int64_t count) { window.ShowCount(count); };
  const ReceiveResult received = ReceiveData(s, link, scratch, ctx_.reporter, hooks, *ctx_.clock);
  if (journalling) {
    journal.Close();
    ReportJournal(journal);
  }
  ComSaveSetings->setEnabled(true);
  window.hide();
  // 6. The main window again.
  setEnabled(true);
  QApplication::processEvents();
  // 7. Conversion after a normal end, the data checked first (the conversion may move it).
  if (!received.ok()) return;
  std::optional<CheckedSurvey> checked;
  if (s.SourceKind != 2) checked = CheckSurveyFile(ctx_, s.ScratchFilePath, s.SourceKind == 0);
  ConvertAfterDownload(ctx_, MakeDispatchRequest());
  if (s.SourceKind == 2 && s.DownloadOK) s.SettingsActionWord = "OK";
  if (s.SettingsActionWord == "OK") {
    ComViewFile->setEnabled(true);
    NoteRecentFile(RecentList::Written, Trim(TxFileName->text().toStdString()));
  }
  recheckOutputFile_ = true;
  // 8. What came, checked and drawn, whatever the conversion did with it. Stored as it came,
  // the output holds the lines the plan's points refer to.
  if (checked) {
    if (entry.action == ListAction::StoreAsReceived && s.DownloadOK)
      checked->survey.source = Trim(TxFileName->text().toStdString());
    checked->Show(ctx_);
  }
}

}  // namespace korv
