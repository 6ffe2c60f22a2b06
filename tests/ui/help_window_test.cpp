// The help window: layout that grows with its texts, the manual and web links, the close box in
// special setup mode, and where its texts come from.
#include "ui/help_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <filesystem>

#include "ui/control_binder.h"
#include "ui_fixture.h"

namespace korv {
namespace {

void Release(QWidget* w, Qt::MouseButton button) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button,
                    Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), button, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

void Key(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
}

class HelpWindowTest : public UiTest {
 protected:
  int Px(double twips) const { return TwipsToPixels(twips, window.get()); }

  // Every gap the layout keeps, for a window that is showing.
  void ExpectGaps(const F_Help& help) {
    EXPECT_EQ(help.Fr1->x(), Px(96));
    EXPECT_EQ(help.Fr1->y(), Px(90));
    for (const QGroupBox* frame : {help.Fr1, help.Fr2, help.Fr3}) {
      EXPECT_EQ(frame->width(), Px(3000));
    }
    EXPECT_EQ(help.Fr2->y(), help.Fr1->geometry().bottom() + 1 + Px(90));
    EXPECT_EQ(help.Fr3->y(), help.Fr2->geometry().bottom() + 1 + Px(90));
    EXPECT_EQ(help.ComOK->y(), help.Fr3->geometry().bottom() + 1 + Px(180));
    EXPECT_EQ(help.height(), help.ComOK->geometry().bottom() + 1 + Px(180));
    EXPECT_NEAR(help.ComOK->x(), (help.width() - help.ComOK->width()) / 2, 1);
    EXPECT_NEAR(help.ComOpenHelpFile->x(), (help.Fr3->width() - help.ComOpenHelpFile->width()) / 2,
                1);
    // Contact lines follow each other, with one empty line before the last two.
    for (size_t i = 1; i < help.LbCI.size(); ++i) {
      const QLabel* before = help.LbCI[i - 1];
      const int gap = i == 4 ? before->height() : 0;
      EXPECT_EQ(help.LbCI[i]->y(), before->geometry().bottom() + 1 + gap) << "label " << i;
    }
    EXPECT_EQ(help.Fr1->height(), help.LbCI[5]->geometry().bottom() + 1 + help.LbCI[5]->height());
    for (const QLabel* label : help.LbCI) {
      EXPECT_LE(label->geometry().right(), help.Fr1->width()) << "inside its frame";
    }
  }
};

TEST_F(HelpWindowTest, GrowsWithLongerTranslatedContactTextsKeepingItsGaps) {
  F_Help& shortTexts = *new F_Help(*ctx, window.get());  // owned by the main window
  shortTexts.show();
  ExpectGaps(shortTexts);
  const int shortHeight = shortTexts.height();
  const int shortFr1 = shortTexts.Fr1->height();
  const int fr2Height = shortTexts.Fr2->height();
  const int width = shortTexts.width();
  shortTexts.hide();

  // A translation whose address lines are much longer than the frame is wide.
  SetKey("Help_LbCI1", "Caption",
         "Abteilung Vermessung und Geoinformation, Kundendienst fuer Tachymeter");
  SetKey("Help_LbCI4", "Caption", "Telefon: +00 100 200 300 (Montag bis Freitag von 8 bis 16 Uhr)");
  Reload();
  F_Help& longTexts = *new F_Help(*ctx, window.get());  // owned by the main window
  longTexts.show();
  ExpectGaps(longTexts);
  EXPECT_GT(longTexts.LbCI[1]->height(), 2 * longTexts.LbCI[2]->height() - 2);
  EXPECT_GT(longTexts.Fr1->height(), shortFr1);
  // Only the contact frame grew; everything below it moved down by as much.
  EXPECT_EQ(longTexts.Fr2->height(), fr2Height);
  EXPECT_EQ(longTexts.height() - shortHeight, longTexts.Fr1->height() - shortFr1);
  EXPECT_EQ(longTexts.width(), width);
}

TEST_F(HelpWindowTest, LaysItselfOutAgainWhenShownAfterAnEdit) {
  F_Help& help = *new F_Help(*ctx, window.get());  // owned by the main window
  help.show();
  const int before = help.height();
  help.hide();
  // As the setup editor changes a caption and a font on screen.
  help.LbCI[0]->setText(
      QStringLiteral("Vexal Instruments, Division of Survey and Geodesy Systems"));
  QFont big = help.ComOK->font();
  big.setPointSizeF(20);
  help.ComOK->setFont(big);
  help.show();
  ExpectGaps(help);
  EXPECT_GT(help.height(), before);
  EXPECT_GE(help.ComOK->height(), help.ComOK->sizeHint().height());
}

TEST_F(HelpWindowTest, OpenHelpFileAsksTheSystemToOpenTheDocumentBesideTheProgram) {
  const std::string manual = Path("KorveniaManual.doc");
  WriteFileBytes(manual, "{\\rtf1 manual}");
  ASSERT_EQ(state.HelpFileName, manual);
  F_Help& help = *new F_Help(*ctx, window.get());  // owned by the main window
  help.ComOpenHelpFile->click();
  EXPECT_EQ(prompts.openedDocuments, std::vector<std::string>{manual});
  EXPECT_TRUE(prompts.messages.empty());

  // A document the system cannot show is not the program's to report.
  prompts.documentOpens = false;
  help.ComOpenHelpFile->click();
  EXPECT_EQ(prompts.openedDocuments.size(), 2u);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(HelpWindowTest, OpenHelpFileWithoutADocumentNameDoesNothing) {
  SetKey("Help file", "HelpFileName", "");
  Reload();
  F_Help& help = *new F_Help(*ctx, window.get());  // owned by the main window
  help.ComOpenHelpFile->click();
  EXPECT_TRUE(prompts.openedDocuments.empty());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(HelpWindowTest, AMissingManualIsSaidSoAndNothingIsStarted) {
  F_Help& help = *new F_Help(*ctx, window.get());  // owned by the main window
  help.ComOpenHelpFile->click();
  EXPECT_TRUE(prompts.openedDocuments.empty());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "File not exist.\r\n" + Path("KorveniaManual.doc"));
  EXPECT_EQ(prompts.messages[0].title, "Error");
}

TEST_F(HelpWindowTest, TheManualOfAnInstallationIsFoundInItsSharedDataFolder) {
  namespace fs = std::filesystem;
  AppState installed;
  installed.ExecutableFolder = Path("usr/bin/");
  installed.HelpFileName = installed.ExecutableFolder + "KorveniaManual.doc";
  fs::create_directories(Path("usr/bin"));
  EXPECT_EQ(HelpDocumentPath(installed), installed.HelpFileName) << "nowhere: the name as given";
  fs::create_directories(Path("usr/share/korvenia"));
  WriteFileBytes(Path("usr/share/korvenia/KorveniaManual.doc"), "{\\rtf1}");
  EXPECT_EQ(fs::path(HelpDocumentPath(installed)).lexically_normal(),
            fs::path(Path("usr/share/korvenia/KorveniaManual.doc")).lexically_normal());
  // Beside the executable wins (a portable copy).
  WriteFileBytes(installed.HelpFileName, "{\\rtf1}");
  EXPECT_EQ(HelpDocumentPath(installed), installed.HelpFileName);
}

TEST_F(HelpWindowTest, LinkLabelsOpenTheirAddressesByMouseAndKeyboard) {
  F_Help& help = *new F_Help(*ctx, window.get());  // owned by the main window
  help.show();
  Release(help.LbNet[0], Qt::LeftButton);
  Release(help.LbNet[1], Qt::RightButton);  // not a click on a link
  Key(help.LbNet[1], Qt::Key_Return);
  help.LbNet[1]->setText(QStringLiteral("https://vexal.example/de"));
  help.LbNet_Click(1);
  EXPECT_EQ(prompts.openedDocuments,
            (std::vector<std::string>{kMakerSurveyPage, "http://www.vexal.example",
                                      "https://vexal.example/de"}));
}

TEST_F(HelpWindowTest, CloseBoxInSetupModeIsRefusedNamingOK) {
  state.SpecialSetupMode = true;
  F_Help& help = *new F_Help(*ctx, window.get());  // owned by the main window
  help.show();
  help.close();
  EXPECT_TRUE(help.isVisible());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "The program is in setup mode.\r\nPress <OK> button");
  EXPECT_EQ(prompts.messages[0].title, "Setup");
  EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Information);
  help.ComOK->click();
  EXPECT_FALSE(help.isVisible());
}

TEST_F(HelpWindowTest, InSetupModeEveryTextButTheFirstLinkIsEditedByARightClick) {
  state.SpecialSetupMode = true;
  F_Help& help = *new F_Help(*ctx, window.get());  // owned by the main window
  help.show();
  Release(help.LbNet[0], Qt::RightButton);
  EXPECT_TRUE(dialogs.shown.empty());
  Release(help.LbCI[3], Qt::RightButton);
  Release(help.LbNet[1], Qt::RightButton);
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"F_stp", "F_stp"}));
  EXPECT_EQ(state.SetupTarget, "Help_Net1");
  EXPECT_EQ(state.SetupTargetKind, 0);
  EXPECT_TRUE(prompts.openedDocuments.empty()) << "a right click opens no web page";
}

TEST_F(HelpWindowTest, TextsComeFromTheFileAtEveryLoadButNeverTheFirstLink) {
  SetKey("Help_Fr1", "Caption", "Kontakt");
  SetKey("Help_Net0", "Caption", "www.elsewhere.example");
  SetKey("Help_Net1", "Caption", "www.vexal.example/de");
  // Even while the settings file is being written anew.
  state.CreatingIniFile = true;
  F_Help& help = *new F_Help(*ctx, window.get());  // owned by the main window
  state.CreatingIniFile = false;
  EXPECT_EQ(help.Fr1->title(), "Kontakt");
  EXPECT_EQ(help.LbNet[0]->text(), "www.vexal.example/survey");
  EXPECT_EQ(help.LbNet[1]->text(), "www.vexal.example/de");
  EXPECT_TRUE(state.SettingsReadOK);

  // Hidden by OK it keeps its texts; closed by its close box it reads them again.
  help.show();
  SetKey("Help_Fr1", "Caption", "Contatti");
  help.ComOK->click();
  help.show();
  EXPECT_EQ(help.Fr1->title(), "Kontakt");
  help.close();
  help.show();
  EXPECT_EQ(help.Fr1->title(), "Contatti");
}

TEST_F(HelpWindowTest, HelpButtonShowsOneHelpWindowModally) {
  const F_Help* first = nullptr;
  const F_Help* second = nullptr;
  dialogs.scripts.push_back([&](QDialog& d) {
    first = qobject_cast<F_Help*>(&d);
    EXPECT_TRUE(d.isModal());
    ScriptedDialogs::Click(d, "Help_ComOK");
  });
  dialogs.scripts.push_back([&](QDialog& d) { second = qobject_cast<F_Help*>(&d); });
  window->ComHelp->click();
  window->ComHelp->click();
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"Help_Form", "Help_Form"}));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
}

}  // namespace
}  // namespace korv
