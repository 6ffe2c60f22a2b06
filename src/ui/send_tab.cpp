// The main window's Send tab: choosing, checking, creating, editing and sending the file for
// the instrument.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryFile>
#include <cctype>
#include <fstream>
#include <streambuf>
#include <vector>

#include "comm/serial_link.h"
#include "comm/upload_check.h"
#include "comm/upload_sender.h"
#include "core/file_procs.h"
#include "core/gis_settings.h"
#include "core/key_store.h"
#include "core/settings.h"
#include "core/text.h"
#include "gis/gis_reader.h"
#include "ui/f_dattr.h"
#include "ui/format_dialogs.h"
#include "ui/new_file_dialog.h"
#include "ui/qt_text.h"
#include "ui/upload_window.h"

namespace korv {

namespace {

// Takes what a builder writes when only its reading is wanted.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

// The check before an upload of `sent`, built as the upload window builds it with the saved
// column settings (a code list is not checked): one line per problem. A source that cannot be
// read gives none here; the upload reports it.
std::vector<std::string> UploadCheckLines(const AppState& s, const IniFile& ini,
                                          const std::string& sent, bool gisFile) {
  if (s.DataSendFormat != 0 && s.DataSendFormat != 2) return {};
  const CoordFieldOptions columns = LoadCoordUpLoadFieldOptions(ini);
  UploadFormat format = UploadFormat::Kof;
  if (gisFile) {
    format = UploadFormat::OwnList;
  } else if (s.DataSendFormat == 0) {
    format = columns.separator == FieldSeparator::Space ? UploadFormat::Space : UploadFormat::Comma;
  }
  NullBuffer nothing;
  std::ostream scratch(&nothing);
  const UploadBuild build = BuildUpLoadFile(format, sent, scratch, columns, s.CoordOrderIndex);
  std::vector<std::string> lines;
  if (!build.ok()) return lines;
  for (const UploadProblem& p : CheckUpload(build, !gisFile)) {
    lines.push_back(UploadProblemLine(p, build.encoding, gisFile));
  }
  return lines;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Runs `onFocusOut` when the watched box loses the focus to another control of the program
// (not when the whole window is deactivated or a menu pops up).
class FocusOutWatcher : public QObject {
 public:
  FocusOutWatcher(QObject* parent, std::function<void()> onFocusOut)
      : QObject(parent), onFocusOut_(std::move(onFocusOut)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) onFocusOut_();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> onFocusOut_;
};

}  // namespace

void F_DatTr::ConnectSendTab() {
  connect(ComboDataFormatSend, QOverload<int>::of(&QComboBox::activated), this,
          [this] { ComboDataFormatSend_Click(); });
  connect(ComSettingSend, &QPushButton::clicked, this, [this] { ComSettingSend_Click(); });
  connect(ComBrowseSend, &QPushButton::clicked, this, [this] { ComBrowseSend_Click(); });
  connect(TxFileNameSend, &QLineEdit::textChanged, this, [this] { TxFileNameSend_Change(); });
  connect(TxFileNameSend, &QLineEdit::returnPressed, this, [this] { TxFileNameSend_KeyDown(13); });
  TxFileNameSend->installEventFilter(
      new FocusOutWatcher(TxFileNameSend, [this] { TxFileNameSend_LostFocus(); }));
  connect(ComEditSend, &QPushButton::clicked, this, [this] { ComEditSend_Click(); });
  connect(ComSend, &QPushButton::clicked, this, [this] { ComSend_Click(); });
}

void F_DatTr::ComboDataFormatSend_Click() {
  AppState& s = ctx_.state;
  const int position = ComboDataFormatSend->currentIndex();
  if (position < 0 || position == s.DataSendFormat) return;
  s.DataSendFormat = position;
  TxFileNameSend->clear();
  ComSettingSend->setVisible(position == 0);
  SyncModel();
}

void F_DatTr::ComSettingSend_Click() {
  // Only the Send button's flow goes on to the upload from this dialog.
  ctx_.state.SettingsActionWord.clear();
  ShowCoordUpLoadSettings(ctx_);
}

void F_DatTr::TestSendFile() {
  AppState& s = ctx_.state;
  const std::string name = Trim(TxFileNameSend->text().toStdString());
  if (name.empty()) return;
  s.ActionWord.clear();
  auto refuse = [this] {
    TxFileNameSend->clear();
    ctx_.prompts.Message(ctx_.Msg(12) + "\r\n" + ctx_.Msg(13), ctx_.Msg(11), MessageIcon::Critical);
  };
  // The scratch file is overwritten by every transfer: it can never be the file to send.
  if (Lower(name).find(Lower(kScratchFileName)) != std::string::npos) return refuse();
  // A name no file can have, or a folder, cannot be sent.
  const QFileInfo info(Q(name));
  const int code = CheckFileName(name);
  if (code == ErrorCode::kPathNotFound || info.isDir()) return refuse();
  const long long length = code == ErrorCode::kNone ? info.size() : 0;
  if (code == ErrorCode::kFileNotFound || (code == ErrorCode::kNone && length == 0)) {
    s.ActionWord = "New";
    return;
  }
  if (code != ErrorCode::kNone) return;
  s.ActionWord = "Old";
  if (length <= 3) {
    ctx_.prompts.Message(ctx_.Msg(39), ctx_.Msg(11), MessageIcon::Critical);
    TxFileNameSend->clear();
    s.ActionWord.clear();
  }
}

void F_DatTr::ComBrowseSend_Click() {
  AppState& s = ctx_.state;
  const bool editWasEnabled = ComEditSend->isEnabled();
  const bool sendWasEnabled = ComSend->isEnabled();
  ComEditSend->setEnabled(false);
  ComSend->setEnabled(false);
  if (s.SpecialSetupMode) return;

  std::string filter;
  const std::string listText = ComboDataFormatSend->currentText().toStdString();
  if (s.DataSendFormat == 1) {
    filter = listText + " (*.txt; *.cod)|*.txt; *.cod|" + ctx_.FileTypeMsg(5) + "|*.*";
  } else if (s.DataSendFormat == 2) {
    filter = listText + " (*.kof)|*.kof|" + ctx_.FileTypeMsg(5) + "|*.*";
  } else {
    // A coordinate list, or the points of a GIS file, converted before sending.
    filter = ctx_.FileTypeMsg(5) + "|*.*|" + GisText(IniFile::Load(s.IniFilePath), "GisFiles");
  }
  std::string chosen;
  for (;;) {
    if (s.ActionWord == "New") s.ActionWord.clear();
    FileDialogRequest request;
    request.title = ctx_.Msg(26);
    request.folder = s.UpLoadPath;
    request.filter = filter;
    // A name that does not exist yet becomes a new file, as when it is typed.
    request.newNameAllowed = true;
    std::optional<std::string> answer = ctx_.prompts.OpenFile(request);
    if (!answer) {
      // A cancelled dialog leaves the file that was chosen before as it was.
      ComEditSend->setEnabled(editWasEnabled && !TxFileNameSend->text().isEmpty());
      ComSend->setEnabled(sendWasEnabled && !TxFileNameSend->text().isEmpty());
      return;
    }
    chosen = *answer;
    if (Lower(chosen).find(Lower(kScratchFileName)) != std::string::npos) {
      ctx_.prompts.Message(ctx_.Msg(12) + "\r\n" + ctx_.Msg(13), ctx_.Msg(11),
                           MessageIcon::Critical);
      TxFileNameSend->clear();
      ComEditSend->setEnabled(false);
      ComSend->setEnabled(false);
      return;
    }
    if (chosen.empty()) return;
    TxFileNameSend->setText(Q(chosen));
    TestSendFile();
    if (s.ActionWord != "New") break;
    TxFileNameSend->setText(Q(chosen));
    s.ActionWord.clear();
    AskEditNewFile(ctx_, chosen, s.DataSendFormat == 1, this);
    if (s.ActionWord != "PALI") {
      s.ActionWord.clear();
      ComEditSend->setEnabled(true);
      ComSend->setEnabled(true);
      return;
    }
  }
  if (s.ActionWord == "Old") {
    txFileNameSendTag_ = s.ActionWord;
    TxFileNameSend->setText(Q(chosen));
    s.ActionWord.clear();
    ComEditSend->setEnabled(true);
    ComSend->setEnabled(true);
  }
  s.UpLoadPath = FolderOf(chosen);
}

void F_DatTr::TxFileNameSend_Change() {
  if (TxFileNameSend->text().isEmpty()) {
    ComEditSend->setEnabled(false);
    ComSend->setEnabled(false);
  }
}

void F_DatTr::TxFileNameSend_KeyDown(int key) {
  if (key == 13) MainTab->setFocus();
}

void F_DatTr::TxFileNameSend_LostFocus() {
  AppState& s = ctx_.state;
  // The checks below show windows that take the focus again: one check at a time.
  if (testingSendFile_) return;
  testingSendFile_ = true;
  QApplication::processEvents();
  ComEditSend->setEnabled(false);
  ComSend->setEnabled(false);
  if (!TxFileNameSend->text().isEmpty()) {
    s.ActionWord.clear();
    TestSendFile();
    if (s.ActionWord == "New" && !TxFileNameSend->text().isEmpty()) {
      s.ActionWord.clear();
      AskEditNewFile(ctx_, Trim(TxFileNameSend->text().toStdString()), s.DataSendFormat == 1, this);
      if (s.ActionWord == "PALI") {
        TxFileNameSend->clear();
      } else {
        ComEditSend->setEnabled(true);
        ComSend->setEnabled(true);
      }
    } else if (s.ActionWord == "Old" && !TxFileNameSend->text().isEmpty()) {
      ComEditSend->setEnabled(true);
      ComSend->setEnabled(true);
    }
  }
  s.ActionWord.clear();
  testingSendFile_ = false;
}

void F_DatTr::ComEditSend_Click() {
  const AppState& s = ctx_.state;
  const std::string path = Trim(TxFileNameSend->text().toStdString());
  if (path.empty()) return;
  const std::string editor =
      !s.ProgramEditor.empty() && s.EditorChoice == 1 ? s.ProgramEditor : std::string();
  const std::string fault = ctx_.prompts.RunEditor(editor, path);
  if (!fault.empty()) ctx_.prompts.Message(fault, ctx_.Msg(11), MessageIcon::Critical);
}

void F_DatTr::ComSend_Click() {
  AppState& s = ctx_.state;
  const std::string source = Trim(TxFileNameSend->text().toStdString());
  if (s.SpecialSetupMode) {
    // The translator sees the window and its texts; nothing is opened or sent.
    ShowUploadWindow(ctx_, nullptr, source);
    return;
  }
  SyncModel();
  // A GIS file's points are sent as the coordinate list they convert to, made before the port
  // is opened.
  const bool gisFile = s.DataSendFormat == 0 && IsGisPointFile(source);
  QTemporaryFile list(QDir::tempPath() + "/korvenia-gis-XXXXXX.asc");
  std::string told;
  const bool listed =
      !gisFile || (list.open() && GisPointsToList(source, list.fileName().toStdString(), told));
  const std::string sent = gisFile ? list.fileName().toStdString() : source;
  // A coordinate file is checked once the coordinate file window has chosen its columns (the
  // port is open then, nothing sent); a GIS or KOF file before the port is opened.
  const bool checkOnceColumnsChosen = s.DataSendFormat == 0 && !gisFile;
  if (!listed || (!checkOnceColumnsChosen && !ConfirmUpload(sent, gisFile, told))) {
    ctx_.prompts.Message(ctx_.Msg(20), ctx_.Msg(16), MessageIcon::Critical);
    return;
  }
  // 1. and 2. The scratch file, only made new and empty here, and the port of the upload window.
  SerialLink link;
  {
    std::fstream scratch;
    if (!OpenScratchAndPort(scratch, link)) return;
  }
  // 3. The dialogs of the send format; the upload window reports "UpOK" when all was sent.
  s.SettingsActionWord.clear();
  const std::function<void()> previous = ctx_.showUploadWindow;
  ctx_.showUploadWindow = [this, &link, sent, checkOnceColumnsChosen] {
    if (checkOnceColumnsChosen && !ConfirmUpload(sent, false, {})) return;
    ShowUploadWindow(ctx_, &link, sent);
  };
  switch (s.DataSendFormat) {
    case 0:
      if (gisFile) {
        // The list's columns are the program's own: no column settings to ask.
        s.SettingsActionWord = "UpLoadList";
        ctx_.showUploadWindow();
        break;
      }
      s.SettingsActionWord = "UpLoadCoord";
      ShowCoordUpLoadSettings(ctx_);
      break;
    case 1:
      s.SettingsActionWord = "UpLoadVXL";
      ctx_.showUploadWindow();
      break;
    case 2:
      s.SettingsActionWord = "UpLoadKOF";
      ctx_.showUploadWindow();
      break;
    default:
      break;
  }
  ctx_.showUploadWindow = previous;
  link.Close();
  // 4. Anything but a finished upload.
  if (s.SettingsActionWord != "UpOK") {
    ctx_.prompts.Message(ctx_.Msg(20), ctx_.Msg(16), MessageIcon::Critical);
    return;
  }
  NoteRecentFile(RecentList::Sent, source);
}

bool F_DatTr::GisPointsToList(const std::string& source, const std::string& listPath,
                              std::string& told) {
  const AppState& s = ctx_.state;
  const IniFile ini = IniFile::Load(s.IniFilePath);
  const ConvertResult r =
      GisToCoor(source, listPath, WriteMode::Overwrite, LoadGisSettings(ini), s.CoordOrderIndex);
  if (!r.ok()) {
    ctx_.prompts.Message(r.fault, ctx_.Msg(11), MessageIcon::Critical);
    return false;
  }
  if (!r.notes.empty()) told = r.notes.Text();
  return true;
}

bool F_DatTr::ConfirmUpload(const std::string& sent, bool gisFile, std::string told) {
  const AppState& s = ctx_.state;
  const IniFile ini = IniFile::Load(s.IniFilePath);
  const std::vector<std::string> problems = UploadCheckLines(s, ini, sent, gisFile);
  if (!problems.empty()) {
    if (!told.empty()) told += "\r\n";
    told += GisText(ini, "UploadCheck");
    for (const std::string& line : problems) told += "\r\n" + line;
  }
  if (told.empty()) return true;
  return ctx_.prompts.Message(told + "\r\n\r\n" + GisText(ini, "SendAnyway"), ctx_.Msg(16),
                              MessageIcon::Question, MessageButtons::OkCancel) == MessageAnswer::Ok;
}

}  // namespace korv
