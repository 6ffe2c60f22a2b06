// Files reaching the main window from the desktop: dropped on the Receive and Send tabs, the
// recent-file menus kept in the settings file, and Open folder after a conversion.
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <cstdio>
#include <filesystem>

#include "core/recent_files.h"
#include "ui_fixture.h"

namespace korv {
namespace {

namespace fs = std::filesystem;

const std::string kData = KORVENIA_TEST_DATA;

class DesktopFilesTest : public UiTest {
 protected:
  QWidget* Page(int tab) const { return window->MainTab->widget(tab); }

  static void SetPaths(QMimeData& mime, const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const std::string& p : paths)
      urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
    mime.setUrls(urls);
  }
  // Whether the tab takes a drag of `mime` entering it.
  bool Enters(int tab, QMimeData& mime) {
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Page(tab), &enter);
    return enter.isAccepted();
  }
  // Drags `paths` onto the tab and drops them there, as a file manager does.
  void Drop(int tab, const std::vector<std::string>& paths) {
    QMimeData mime;
    SetPaths(mime, paths);
    ASSERT_TRUE(Enters(tab, mime));
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Page(tab), &drop);
    EXPECT_TRUE(drop.isAccepted());
  }
  std::string Copy(const std::string& data, const std::string& name) {
    WriteFileBytes(Path(name), ReadFileBytes(kData + "/" + data));
    return Path(name);
  }
  std::string Stored(const std::string& key) const {
    return ReadKey(state.IniFilePath, kRecentFilesSection, key);
  }
  // The entries of a recent-file menu as it opens.
  std::vector<QAction*> MenuEntries(QToolButton* button) {
    QMenu* menu = button->menu();
    emit menu->aboutToShow();
    std::vector<QAction*> entries;
    for (QAction* a : menu->actions()) entries.push_back(a);
    return entries;
  }
  std::string LastMessage() const {
    return prompts.messages.empty() ? "" : prompts.messages.back().text;
  }
};

TEST_F(DesktopFilesTest, ReceiveTabTakesOneFileAndChoosesItsKindFromItsContent) {
  const std::string raw = Copy("kof/survey.raw", "survey.txt");
  const std::string coords = Copy("kof/coords.asc", "coords.txt");
  fs::create_directory(Path("jobs"));
  // A text or a web address is no file: the tab shows at once that it does not take it.
  QMimeData text;
  text.setText(QString::fromStdString(raw));
  EXPECT_FALSE(Enters(0, text));
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org/survey.raw"))});
  EXPECT_FALSE(Enters(1, web));

  // The same extension either way: the first record decides.
  Drop(0, {raw});
  EXPECT_TRUE(window->OpSourse[1]->isChecked());
  EXPECT_TRUE(window->OpReceive[0]->isChecked());
  EXPECT_EQ(window->ComFileName->text().toStdString(), "survey.txt");
  EXPECT_EQ(state.JobPath, folder);
  Drop(0, {coords});
  EXPECT_TRUE(window->OpReceive[1]->isChecked());
  EXPECT_EQ(state.SourceKind, 1);
  EXPECT_EQ(window->ComFileName->text().toStdString(), "coords.txt");
  EXPECT_TRUE(prompts.messages.empty());

  // A folder, several files and a file gone since the drag began are refused, nothing changed.
  window->TxFileName->setText(QString::fromStdString(Path("out.kof")));
  Drop(0, {Path("jobs")});
  EXPECT_EQ(LastMessage(), Path("jobs") + " is a folder, not a file.");
  Drop(0, {raw, coords});
  EXPECT_EQ(LastMessage(), "Only one file can be taken at a time.");
  Drop(0, {Path("missing.raw")});
  EXPECT_EQ(LastMessage(), Path("missing.raw") + " does not exist or cannot be read.");
  EXPECT_EQ(prompts.messages.size(), 3u);
  EXPECT_EQ(prompts.messages.back().title, "Files");
  EXPECT_EQ(window->ComFileName->text().toStdString(), "coords.txt");
  EXPECT_TRUE(window->OpReceive[1]->isChecked());
  EXPECT_EQ(window->TxFileName->text().toStdString(), Path("out.kof"));
}

TEST_F(DesktopFilesTest, SendTabTakesAFileInTheFormatOfItsContentOrExtension) {
  const std::string kof = Copy("kof/coords~kof.kof", "coords.kof");
  const std::string list = Copy("kof/coords.asc", "points.txt");
  WriteFileBytes(Path("empty.txt"), "");
  Drop(1, {kof});
  EXPECT_EQ(window->MainTab->currentIndex(), 1);
  EXPECT_EQ(window->ComboDataFormatSend->currentIndex(), 2);
  EXPECT_EQ(state.DataSendFormat, 2);
  EXPECT_EQ(window->TxFileNameSend->text().toStdString(), kof);
  EXPECT_TRUE(window->ComSend->isEnabled());
  Drop(1, {list});
  EXPECT_EQ(state.DataSendFormat, 0);
  EXPECT_EQ(window->TxFileNameSend->text().toStdString(), list);
  EXPECT_EQ(state.UpLoadPath, folder);
  EXPECT_TRUE(prompts.messages.empty());
  // An empty file has nothing to send; a folder is no file.
  Drop(1, {Path("empty.txt")});
  EXPECT_EQ(LastMessage(), "This file contains no data");
  EXPECT_FALSE(window->ComSend->isEnabled());
  Drop(1, {folder});
  EXPECT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(window->ComboDataFormatSend->currentIndex(), 0);
}

TEST_F(DesktopFilesTest, RecentFilesAreKeptNewestFirstOnceEachAndGoneOnesLeaveTheList) {
  const std::string raw = Copy("kof/survey.raw", "survey.raw");
  auto convert = [&](const std::string& output) {
    window->TxFileName->setText(QString::fromStdString(output));
    dialogs.scripts = {ScriptedDialogs::Clicking("KOF_ComOK")};
    window->ComConv_Click();
  };
  ASSERT_TRUE(window->OpenFileToConvert(raw));
  convert(Path("a.kof"));
  convert(Path("b.kof"));
  ASSERT_TRUE(fs::exists(Path("b.kof")));
  EXPECT_EQ(Stored("Converted1"), raw);
  EXPECT_EQ(Stored("Converted2"), "");
  EXPECT_EQ(Stored("Written1"), Path("b.kof"));
  EXPECT_EQ(Stored("Written2"), Path("a.kof"));
  // The same file spelled otherwise is the same entry, moved to the top.
  dialogs.scripts = {ScriptedDialogs::Clicking("ComOverwite"),
                     ScriptedDialogs::Clicking("KOF_ComOK")};
  window->TxFileName->setText(QString::fromStdString(folder + "./a.kof"));
  window->ComConv_Click();
  EXPECT_EQ(Stored("Written1"), Path("a.kof"));
  EXPECT_EQ(Stored("Written2"), Path("b.kof"));
  EXPECT_EQ(Stored("Written3"), "");

  // Open folder shows the output's folder in the file manager.
  ASSERT_TRUE(window->ComOpenFolder->isEnabled());
  window->ComOpenFolder->click();
  EXPECT_EQ(prompts.openedDocuments, std::vector<std::string>{fs::path(folder).parent_path()});
  window->TxFileName->setText("c.kof");
  EXPECT_FALSE(window->ComOpenFolder->isEnabled());

  // At most ten, the oldest dropped.
  for (int n = 0; n < 11; ++n) {
    ASSERT_TRUE(AddRecentFile(state.IniFilePath, RecentList::Sent, Path(std::to_string(n))));
  }
  EXPECT_EQ(Stored("Sent1"), Path("10"));
  EXPECT_EQ(Stored("Sent10"), Path("1"));
  EXPECT_EQ(Stored("Sent11"), "");

  // A file that has gone is taken off its list with a word, and nothing else changes.
  const std::string other = Copy("kof/coords.asc", "coords.asc");
  ASSERT_TRUE(window->OpenFileToConvert(other));
  window->ComConv_Click();  // no output name: nothing converted, nothing noted
  EXPECT_EQ(Stored("Converted1"), raw);
  std::vector<QAction*> entries = MenuEntries(window->ComFileNameRecent);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0]->text().toStdString(), raw);
  std::remove(raw.c_str());
  const size_t before = prompts.messages.size();
  entries[0]->trigger();
  ASSERT_EQ(prompts.messages.size(), before + 1);
  EXPECT_EQ(LastMessage(), raw + " is no longer there. It was taken off the list.");
  EXPECT_EQ(Stored("Converted1"), "");
  EXPECT_EQ(window->ComFileName->text().toStdString(), "coords.asc");
  entries = MenuEntries(window->ComFileNameRecent);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_FALSE(entries[0]->isEnabled());

  // An entry still there is chosen again, its kind from its content.
  const std::vector<QAction*> sent = MenuEntries(window->ComBrowseSendRecent);
  ASSERT_EQ(sent.size(), 10u);
  Copy("kof/coords~kof.kof", "10");
  sent[0]->trigger();
  EXPECT_EQ(window->TxFileNameSend->text().toStdString(), Path("10"));
  EXPECT_TRUE(window->ComSend->isEnabled());
}

}  // namespace
}  // namespace korv
