// "Interface language..." on the Settings tab: a translation taken into the settings file with
// every choice kept, shown at once, and English again.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <filesystem>

#include "core/key_store.h"
#include "ui_fixture.h"

namespace korv {
namespace {

class LanguageTest : public UiTest {
 protected:
  // Chooses the row whose text is `language` in the dialog and presses OK.
  void Choose(const std::string& language) {
    dialogs.scripts = {[language](QDialog& d) {
      auto* list = d.findChild<QListWidget*>("LstLanguages");
      auto found = list->findItems(QString::fromStdString(language), Qt::MatchExactly);
      ASSERT_EQ(found.size(), 1) << language;
      list->setCurrentItem(found[0]);
      ScriptedDialogs::Click(d, "ComOK");
    }};
    window->ComLanguage->click();
  }
};

TEST_F(LanguageTest, TranslationIsShownAtOnceAndEveryChoiceIsKept) {
  std::filesystem::create_directories(Path("translations"));
  std::filesystem::copy_file(test::DataPath("../../translations/Korvenia.nb.ini"),
                             Path("translations/Korvenia.nb.ini"));
  SetKey("KOF Settings", "Road", "E6 Kvål");
  Reload();
  // A choice of this run, not yet saved.
  window->StCombComm[1]->setCurrentIndex(2);
  window->StCombComm_Click(1);

  Choose("Norsk bokmål");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Tekstene fra Norsk bokmål er tatt i bruk.");
  EXPECT_EQ(window->Fr1->title().toStdString(), "Kilde:");
  EXPECT_EQ(window->MainTab->tabText(0).toStdString(), "Motta");
  EXPECT_EQ(window->ComLanguage->text().toStdString(), "&Grensesnittspråk...");
  EXPECT_EQ(window->StCombComm[1]->currentIndex(), 2);
  EXPECT_EQ(ReadKey(state.IniFilePath, "Default", "Speed"), "2");
  EXPECT_EQ(ReadKey(state.IniFilePath, "KOF Settings", "Road"), "E6 Kvål");
  EXPECT_EQ(ReadKey(state.IniFilePath, "Fr1", "Caption"), "Kilde:");
  EXPECT_EQ(window->ComFileName->text().toStdString(), "<filnavn>");

  // A file that is no settings file changes nothing and says why.
  WriteFileBytes(Path("photo.ini"), std::string("\x89PNG\r\n\x1A\n\0\0", 10));
  const std::string before = ReadFileBytes(state.IniFilePath);
  prompts.fileAnswers = {Path("photo.ini")};
  Choose("Fra en fil...");
  ASSERT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(prompts.messages[1].text,
            "Tekstene kunne ikke hentes fra " + Path("photo.ini") +
                ": den er ingen innstillingsfil (den inneholder binære data)");
  EXPECT_EQ(ReadFileBytes(state.IniFilePath), before);

  // A file chosen as the source, its target and the output name typed survive the change: the
  // window does not go back to the instrument.
  WriteFileBytes(Path("JOB1.RAW"), "x\r\n");
  window->OpSourse_Click(1);
  window->OpReceive_Click(1);
  prompts.fileAnswers = {Path("JOB1.RAW")};
  window->ComFileName_Click();
  window->ComboDataFormat->setCurrentIndex(1);
  window->ComboDataFormat_Click();
  window->TxFileName->setText(QString::fromStdString(Path("out.kof")));

  Choose("English");
  EXPECT_EQ(window->Fr1->title().toStdString(), "Source:");
  EXPECT_TRUE(window->OpSourse[1]->isChecked());
  EXPECT_FALSE(window->ComConv->isHidden());
  EXPECT_EQ(window->ComFileName->text().toStdString(), "JOB1.RAW");
  EXPECT_EQ(window->ComboDataFormat->currentText().toStdString(), "KOF coordinate file");
  EXPECT_EQ(window->TxFileName->text().toStdString(), Path("out.kof"));
  EXPECT_EQ(ReadKey(state.IniFilePath, "KOF Settings", "Road"), "E6 Kvål");
  EXPECT_EQ(ReadKey(state.IniFilePath, "Default", "Speed"), "2");
}

}  // namespace
}  // namespace korv
