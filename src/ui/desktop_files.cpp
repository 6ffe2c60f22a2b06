// Files reaching the main window as a desktop user expects: a file dropped on the Receive or
// Send tab, the recent-file menus beside the file buttons, the Open folder button after a
// conversion, and the file the program was started with.
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <vector>

#include "core/file_procs.h"
#include "core/key_store.h"
#include "core/recent_files.h"
#include "core/text.h"
#include "gis/gis_reader.h"
#include "survey/survey_file.h"
#include "ui/f_dattr.h"
#include "ui/qt_text.h"

namespace korv {

namespace {

// Hands the watched widget's events of one kind to `handle`; true from it stops the event.
class EventWatcher : public QObject {
 public:
  EventWatcher(QObject* watched, std::initializer_list<QEvent::Type> types,
               std::function<bool(QEvent*)> handle)
      : QObject(watched), types_(types), handle_(std::move(handle)) {
    watched->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    for (QEvent::Type type : types_) {
      if (event->type() == type) return handle_(event);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::vector<QEvent::Type> types_;
  std::function<bool(QEvent*)> handle_;
};

// The one local file a drag carries; "" when it carries none, several or something else.
std::string OneLocalFile(const QMimeData* mime, bool& several) {
  several = mime && mime->urls().size() > 1;
  if (!mime || mime->urls().size() != 1 || !mime->urls().front().isLocalFile()) return {};
  return mime->urls().front().toLocalFile().toStdString();
}

// Whether a drag carries files of this computer (files or folders, one or more).
bool HoldsLocalFiles(const QMimeData* mime) {
  if (!mime || mime->urls().isEmpty()) return false;
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) return false;
  }
  return true;
}

// The Send tab's format (the position of its list) for `path`: a GIS point file is sent as a
// coordinate list, a .kof file as KOF, a .cod file as a code list, anything else as a
// coordinate list.
int SendFormatOf(const std::string& path) {
  if (IsGisPointFile(path)) return 0;
  const QString suffix = QFileInfo(Q(path)).suffix().toLower();
  if (suffix == QLatin1String("kof")) return 2;
  if (suffix == QLatin1String("cod")) return 1;
  return 0;
}

}  // namespace

std::string F_DatTr::FileRefusal(const std::string& path) const {
  const IniFile ini = IniFile::Load(ctx_.state.IniFilePath);
  const QFileInfo info(Q(path));
  if (info.isDir()) return DesktopFilesText(ini, "Folder", path);
  if (!info.isFile() || !std::ifstream(path, std::ios::binary)) {
    return DesktopFilesText(ini, "Unreadable", path);
  }
  return {};
}

void F_DatTr::RefuseFile(const std::string& why) {
  ctx_.prompts.Message(why, DesktopFilesText(IniFile::Load(ctx_.state.IniFilePath), "Title"),
                       MessageIcon::Critical);
}

void F_DatTr::ChooseSourceFile(const std::string& path, int kind) {
  MainTab->setCurrentIndex(0);
  OpSourse_Click(1);
  OpReceive_Click(kind);
  UseSourceFile(path);
}

bool F_DatTr::OpenFileToConvert(const std::string& path) {
  if (ctx_.state.SpecialSetupMode) return false;
  if (const std::string why = FileRefusal(path); !why.empty()) {
    RefuseFile(why);
    return false;
  }
  ChooseSourceFile(path, LooksLikeRawData(path) ? 0 : 1);
  return true;
}

bool F_DatTr::OpenFileToSend(const std::string& path) {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) return false;
  if (const std::string why = FileRefusal(path); !why.empty()) {
    RefuseFile(why);
    return false;
  }
  MainTab->setCurrentIndex(1);
  ComboDataFormatSend->setCurrentIndex(SendFormatOf(path));
  ComboDataFormatSend_Click();
  TxFileNameSend->setText(Q(path));
  TestSendFile();
  const bool taken = s.ActionWord == "Old";
  if (s.ActionWord == "New") {
    // An empty file: nothing to send, and nothing to create as when a new name is typed.
    ctx_.prompts.Message(ctx_.Msg(39), ctx_.Msg(11), MessageIcon::Critical);
    TxFileNameSend->clear();
  }
  s.ActionWord.clear();
  ComEditSend->setEnabled(taken);
  ComSend->setEnabled(taken);
  if (!taken) return false;
  txFileNameSendTag_ = "Old";
  s.UpLoadPath = FolderOf(path);
  return true;
}

void F_DatTr::UseOutputFile(const std::string& path) {
  MainTab->setCurrentIndex(0);
  TxFileName->setText(Q(path));
  // The overwrite or append question, as for a typed name.
  TestSaveAsFile();
}

// ---- Drops ----

void F_DatTr::AcceptFileDrops(QWidget* page, bool toSend) {
  page->setAcceptDrops(true);
  new EventWatcher(page, {QEvent::DragEnter, QEvent::DragMove, QEvent::Drop},
                   [this, toSend](QEvent* event) {
                     auto* drop = static_cast<QDropEvent*>(event);
                     if (event->type() == QEvent::Drop) {
                       DropFile(drop->mimeData(), toSend);
                       drop->acceptProposedAction();
                       return true;
                     }
                     // Files are taken, or refused with the reason once dropped; anything else (a
                     // text, a web address) shows at once that it is not taken.
                     if (!ctx_.state.SpecialSetupMode && HoldsLocalFiles(drop->mimeData())) {
                       drop->acceptProposedAction();
                     } else {
                       drop->ignore();
                     }
                     return true;
                   });
}

void F_DatTr::DropFile(const QMimeData* mime, bool toSend) {
  if (ctx_.state.SpecialSetupMode) return;
  bool several = false;
  const std::string path = OneLocalFile(mime, several);
  if (path.empty()) {
    if (several) {
      RefuseFile(DesktopFilesText(IniFile::Load(ctx_.state.IniFilePath), "SeveralFiles"));
    }
    return;
  }
  if (toSend) {
    OpenFileToSend(path);
  } else {
    OpenFileToConvert(path);
  }
}

// ---- Recent files ----

QToolButton* F_DatTr::MakeRecentButton(QWidget* parent, const char* name, RecentList list) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setArrowType(Qt::DownArrow);
  button->setPopupMode(QToolButton::InstantPopup);
  button->setFocusPolicy(Qt::StrongFocus);
  auto* menu = new QMenu(button);
  menu->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
  button->setMenu(menu);
  connect(menu, &QMenu::aboutToShow, this, [this, menu, list] { FillRecentMenu(*menu, list); });
  return button;
}

void F_DatTr::FillRecentMenu(QMenu& menu, RecentList list) {
  menu.clear();
  const IniFile ini = IniFile::Load(ctx_.state.IniFilePath);
  const std::vector<std::string> files = RecentFiles(ini, list);
  if (files.empty()) menu.addAction(Q(DesktopFilesText(ini, "RecentEmpty")))->setEnabled(false);
  for (const std::string& path : files) {
    QAction* action = menu.addAction(Q(path));
    connect(action, &QAction::triggered, this, [this, list, path] { OpenRecentFile(list, path); });
  }
}

void F_DatTr::OpenRecentFile(RecentList list, const std::string& path) {
  AppState& s = ctx_.state;
  if (s.SpecialSetupMode) return;
  // An output file is chosen whether or not it is there yet; an input that has gone is not.
  if (list != RecentList::Written && !QFileInfo::exists(Q(path))) {
    RemoveRecentFile(s.IniFilePath, list, path);
    const IniFile ini = IniFile::Load(s.IniFilePath);
    ctx_.prompts.Message(DesktopFilesText(ini, "Gone", path), DesktopFilesText(ini, "Title"),
                         MessageIcon::Information);
    return;
  }
  switch (list) {
    case RecentList::Converted:
      OpenFileToConvert(path);
      break;
    case RecentList::Sent:
      OpenFileToSend(path);
      break;
    case RecentList::Written:
      UseOutputFile(path);
      break;
  }
}

void F_DatTr::NoteRecentFile(RecentList list, const std::string& path) {
  // The lists are a convenience: a settings file that cannot be written loses only them.
  AddRecentFile(ctx_.state.IniFilePath, list, path);
}

// ---- Open folder ----

void F_DatTr::ComOpenFolder_Click() {
  if (ctx_.state.SpecialSetupMode) return;
  const std::string folder =
      QDir::cleanPath(QFileInfo(Q(Trim(TxFileName->text().toStdString()))).absolutePath())
          .toStdString();
  if (!ctx_.prompts.OpenDocument(folder)) {
    RefuseFile(DesktopFilesText(IniFile::Load(ctx_.state.IniFilePath), "OpenFolderFailed", folder));
  }
}

void F_DatTr::BuildDesktopFiles() {
  ComFileNameRecent = MakeRecentButton(Fr1, "ComFileNameRecent", RecentList::Converted);
  ComSaveBrowseRecent = MakeRecentButton(Fr3, "ComSaveBrowseRecent", RecentList::Written);
  ComBrowseSendRecent = MakeRecentButton(FrSend, "ComBrowseSendRecent", RecentList::Sent);
  ComOpenFolder = new QPushButton(Fr1->parentWidget());
  ComOpenFolder->setObjectName(QStringLiteral("ComOpenFolder"));
  // The folder of the saved file opens whenever the saved file can be viewed.
  auto follow = [this] {
    ComOpenFolder->setEnabled(ComViewFile->isEnabledTo(ComViewFile->parentWidget()));
  };
  follow();
  new EventWatcher(ComViewFile, {QEvent::EnabledChange}, [follow](QEvent*) {
    follow();
    return false;
  });
  connect(ComOpenFolder, &QPushButton::clicked, this, [this] { ComOpenFolder_Click(); });
  AcceptFileDrops(Fr1->parentWidget(), false);
  AcceptFileDrops(FrSend->parentWidget(), true);
}

void F_DatTr::ApplyDesktopFilesTexts(const IniFile& ini) {
  const std::pair<QToolButton*, const char*> menus[] = {{ComFileNameRecent, "RecentConverted"},
                                                        {ComSaveBrowseRecent, "RecentWritten"},
                                                        {ComBrowseSendRecent, "RecentSent"}};
  for (const auto& [button, key] : menus) {
    button->setToolTip(Q(DesktopFilesText(ini, key)));
    button->setAccessibleName(Q(DesktopFilesText(ini, key)));
  }
  ComOpenFolder->setText(Q(DesktopFilesText(ini, "OpenFolder")));
  ComOpenFolder->setToolTip(Q(DesktopFilesText(ini, "OpenFolderTip")));
}

}  // namespace korv
