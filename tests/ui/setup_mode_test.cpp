// Special setup mode: right and middle clicks, overlays and the context-menu keys opening the
// editor F_stp with the boxes each target allows, OK putting the edit on screen and into the
// texts that are saved, and the close refusal of the windows that only hide.
#include "ui/setup_mode.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>

#include "ui/control_binder.h"
#include "ui/download_window.h"
#include "ui/format_dialogs.h"
#include "ui/setup_editor.h"
#include "ui_fixture.h"

namespace korv {
namespace {

void Press(QWidget* widget, Qt::MouseButton button, QPoint at = {-1, -1}) {
  const QPointF pos =
      at.x() < 0 ? QPointF(widget->width() / 2.0, widget->height() / 2.0) : QPointF(at);
  QMouseEvent event(QEvent::MouseButtonPress, pos, widget->mapToGlobal(pos), button, button,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(widget, &event);
}

// What the editor showed when it opened.
struct EditorView {
  bool shown = false;
  QWidget* owner = nullptr;
  std::string caption, toolTip, fontName, fontSize;
  bool captionOn = false, toolTipOn = false, fontNameOn = false, fontSizeOn = false;
  bool boldOn = false, italicOn = false, bold = false;
};

class SetupTest : public UiTest {
 protected:
  void EnterSetupMode() {
    state.SpecialSetupMode = true;
    window = std::make_unique<F_DatTr>(*ctx);
    window->ApplySettings();
    window->show();
  }

  QWidget* Overlay(QWidget* root, const char* box) {
    return root->findChild<QFrame*>(QStringLiteral("Im") + QString::fromLatin1(box));
  }

  // Scripts the next editor: records what it shows, then `edit` drives it (nothing closes it).
  void NextEditor(EditorView& view, std::function<void(F_stp&)> edit = {}) {
    dialogs.scripts.push_back([&view, edit](QDialog& dialog) {
      auto& e = dynamic_cast<F_stp&>(dialog);
      view.shown = true;
      view.owner = e.parentWidget();
      view.caption = e.TxCaption->text().toStdString();
      view.toolTip = e.TxToolTip->text().toStdString();
      view.fontName = e.TxFontName->text().toStdString();
      view.fontSize = e.TxFontSize->text().toStdString();
      view.captionOn = e.TxCaption->isEnabled();
      view.toolTipOn = e.TxToolTip->isEnabled();
      view.fontNameOn = e.TxFontName->isEnabled();
      view.fontSizeOn = e.TxFontSize->isEnabled();
      view.boldOn = e.ChkFontBold->isEnabled();
      view.italicOn = e.ChkFontItalic->isEnabled();
      view.bold = e.ChkFontBold->isChecked();
      if (edit) edit(e);
    });
  }
};

TEST_F(SetupTest, RightClickOnACaptionedControlEditsEverythingAndOkAppliesAtOnce) {
  EnterSetupMode();
  EditorView view;
  NextEditor(view, [](F_stp& e) {
    e.TxCaption->setText("&Hent data");
    e.TxToolTip->setText("Hent fra instrumentet");
    e.TxFontSize->setText("12");
    e.ChkFontBold->setChecked(true);
    e.ComOK->click();
  });
  Press(window->ComDLN, Qt::RightButton);
  ASSERT_TRUE(view.shown);
  EXPECT_EQ(view.owner, window.get());
  EXPECT_EQ(state.SetupTarget, "ComDLN");
  EXPECT_EQ(state.SetupTargetKind, 0);
  EXPECT_EQ(view.caption, "&Download");
  EXPECT_EQ(view.toolTip, "Start receiving data from the instrument");
  EXPECT_EQ(view.fontName, "MS Sans Serif");
  EXPECT_EQ(view.fontSize, "8.25");
  EXPECT_TRUE(view.captionOn && view.toolTipOn && view.fontNameOn && view.fontSizeOn &&
              view.boldOn && view.italicOn);
  EXPECT_FALSE(view.bold);

  EXPECT_EQ(window->ComDLN->text().toStdString(), "&Hent data");
  EXPECT_EQ(window->ComDLN->toolTip().toStdString(), "Hent fra instrumentet");
  EXPECT_DOUBLE_EQ(window->ComDLN->font().pointSizeF(), 12.0);
  EXPECT_TRUE(window->ComDLN->font().bold());
  const ControlTexts& t = state.controls.at("ComDLN");
  EXPECT_EQ(t.caption, "&Hent data");
  EXPECT_EQ(t.toolTip, "Hent fra instrumentet");
  EXPECT_DOUBLE_EQ(t.fontSize, 12.0);
  EXPECT_TRUE(t.fontBold);
  EXPECT_FALSE(t.fontItalic);
}

TEST_F(SetupTest, MiddleButtonActsLikeTheRightOneAndDisabledButtonsAreReached) {
  EnterSetupMode();
  ASSERT_FALSE(window->ComViewFile->isEnabled());
  EditorView view;
  NextEditor(view);
  Press(window->ComViewFile, Qt::MiddleButton);
  EXPECT_TRUE(view.shown);
  EXPECT_EQ(state.SetupTarget, "ComViewFile");
  EXPECT_EQ(view.caption, "&View saved file");
}

TEST_F(SetupTest, TheWindowBackgroundEditsOnlyTheWindowCaption) {
  EnterSetupMode();
  EditorView view;
  NextEditor(view, [](F_stp& e) {
    e.TxCaption->setText("Korvenia (oversatt)");
    e.ComOK->click();
  });
  // The tab page has no record of its own: the click belongs to the window.
  Press(window->MainTab->widget(0), Qt::RightButton, {5, 5});
  ASSERT_TRUE(view.shown);
  EXPECT_EQ(state.SetupTarget, "Main Form");
  EXPECT_EQ(state.SetupTargetKind, 4);
  EXPECT_EQ(view.caption, "Korvenia");
  EXPECT_TRUE(view.captionOn);
  EXPECT_EQ(view.toolTip, "");
  EXPECT_FALSE(view.toolTipOn || view.fontNameOn || view.fontSizeOn || view.boldOn ||
               view.italicOn);
  EXPECT_EQ(window->windowTitle().toStdString(), "Korvenia (oversatt)");
  EXPECT_EQ(state.controls.at("Main Form").caption, "Korvenia (oversatt)");
}

TEST_F(SetupTest, OverlaysCoverTheBoxesAndOpenTheEditorWithoutCaption) {
  EnterSetupMode();
  const char* boxes[] = {"TxFileName",          "TxFileNameSend", "TxEditor",    "ComboDataFormat",
                         "ComboDataFormatSend", "StCombComm0",    "StCombComm3", "StCombCoord1"};
  // Boxes on a tab not shown yet take their places when it shows; so do their overlays.
  for (int tab = 0; tab < 3; ++tab) {
    window->MainTab->setCurrentIndex(tab);
    for (const char* name : boxes) {
      QWidget* box = FindControl(window.get(), name);
      QWidget* overlay = Overlay(window.get(), name);
      ASSERT_NE(overlay, nullptr) << name;
      if (!window->MainTab->widget(tab)->isAncestorOf(box)) continue;
      EXPECT_EQ(overlay->isHidden(), box->isHidden()) << name;
      if (!box->isHidden()) {
        EXPECT_EQ(overlay->geometry(), box->geometry()) << name;
      }
      EXPECT_EQ(overlay->toolTip().toStdString(), "Press right kay to setup");
    }
  }
  window->MainTab->setCurrentIndex(2);
  window->TxEditor->show();
  EXPECT_FALSE(Overlay(window.get(), "TxEditor")->isHidden());
  EXPECT_EQ(Overlay(window.get(), "TxEditor")->geometry(), window->TxEditor->geometry());
  window->MainTab->setCurrentIndex(0);
  // The overlay follows its box when the window lays itself out again.
  window->resize(window->width() + 200, window->height() + 100);
  EXPECT_EQ(Overlay(window.get(), "TxFileName")->geometry(), window->TxFileName->geometry());
  // ... and when the box is hidden ("Other" hides the format list).
  window->OpReceive_Click(2);
  EXPECT_TRUE(Overlay(window.get(), "ComboDataFormat")->isHidden());
  window->OpReceive_Click(0);
  EXPECT_FALSE(Overlay(window.get(), "ComboDataFormat")->isHidden());

  EditorView view;
  NextEditor(view, [](F_stp& e) {
    e.TxToolTip->setText("Velg format");
    e.ComOK->click();
  });
  Press(Overlay(window.get(), "ComboDataFormat"), Qt::RightButton);
  ASSERT_TRUE(view.shown);
  EXPECT_EQ(state.SetupTarget, "ComboDataFormat");
  EXPECT_EQ(state.SetupTargetKind, 1);
  EXPECT_EQ(view.caption, "");
  EXPECT_FALSE(view.captionOn);
  EXPECT_TRUE(view.toolTipOn && view.fontSizeOn);
  EXPECT_EQ(window->ComboDataFormat->toolTip().toStdString(), "Velg format");
  EXPECT_EQ(state.controls.at("ComboDataFormat").toolTip, "Velg format");
  // The list keeps its entries: a caption never reaches a box.
  EXPECT_GT(window->ComboDataFormat->count(), 0);
}

TEST_F(SetupTest, LeftClicksAndNormalModeOpenNothing) {
  EnterSetupMode();
  Press(window->ComDLN, Qt::LeftButton);
  Press(Overlay(window.get(), "TxFileName"), Qt::LeftButton);
  EXPECT_TRUE(dialogs.shown.empty());

  state.SpecialSetupMode = false;
  window = std::make_unique<F_DatTr>(*ctx);
  window->ApplySettings();
  EXPECT_TRUE(Overlay(window.get(), "TxFileName")->isHidden());
  Press(window->LbFileName, Qt::RightButton);
  Press(window.get(), Qt::MiddleButton, {3, 3});
  Key(window->TxFileName, Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(state.SetupTarget, "");
}

TEST_F(SetupTest, ShiftF10AndTheMenuKeyActOnTheFocusedControl) {
  EnterSetupMode();
  EditorView onBox, onButton;
  NextEditor(onBox);
  NextEditor(onButton);
  Key(window->TxFileName, Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_TRUE(onBox.shown);
  EXPECT_EQ(state.SetupTarget, "TxFileName");
  EXPECT_FALSE(onBox.captionOn);
  Key(window->ComSaveBrowse, Qt::Key_Menu);
  EXPECT_TRUE(onButton.shown);
  EXPECT_EQ(state.SetupTarget, "ComSaveBrowse");
  EXPECT_EQ(onButton.caption, "&Browse");
  // F10 alone is no way in.
  Key(window->ComSaveBrowse, Qt::Key_F10);
  EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(SetupTest, CancelAndUnusableEntriesChangeNothing) {
  EnterSetupMode();
  EditorView cancelled, odd;
  NextEditor(cancelled, [](F_stp& e) {
    e.TxCaption->setText("changed");
    e.ComCancel->click();
  });
  // An empty caption would make the next start refuse the settings file; sizes the file could
  // not load again are not taken either.
  NextEditor(odd, [](F_stp& e) {
    e.TxCaption->setText("");
    e.TxFontSize->setText("abc");
    e.TxFontName->setText("  ");
    e.ComOK->click();
  });
  Press(window->LbFileName, Qt::RightButton);
  EXPECT_EQ(window->LbFileName->text().toStdString(), "Filename:");
  Press(window->LbFileName, Qt::RightButton);
  EXPECT_EQ(window->LbFileName->text().toStdString(), "Filename:");
  EXPECT_DOUBLE_EQ(window->LbFileName->font().pointSizeF(), 8.25);
  EXPECT_EQ(window->LbFileName->font().family().toStdString(), "MS Sans Serif");
  EXPECT_EQ(state.controls.at("LbFileName").caption, "Filename:");

  EditorView huge;
  NextEditor(huge, [](F_stp& e) {
    e.TxFontSize->setText("5000");
    e.ComOK->click();
  });
  Press(window->LbFileName, Qt::RightButton);
  EXPECT_DOUBLE_EQ(state.controls.at("LbFileName").fontSize, 8.25);
}

TEST_F(SetupTest, FontButtonPresetsAndTakesTheChosenFontWithinItsLimits) {
  EnterSetupMode();
  FontChoice chosen;
  chosen.name = "DejaVu Serif";
  chosen.size = 250;  // beyond the dialog's limit
  chosen.bold = true;
  chosen.italic = true;
  prompts.fontAnswers = {std::nullopt, chosen};
  EditorView view;
  std::string afterCancel, afterChoice;
  NextEditor(view, [&](F_stp& e) {
    e.ComFont->click();  // cancelled: nothing changes
    afterCancel = e.TxFontName->text().toStdString() + "|" + e.TxFontSize->text().toStdString();
    e.ComFont->click();
    afterChoice = e.TxFontName->text().toStdString() + "|" + e.TxFontSize->text().toStdString();
    EXPECT_TRUE(e.ChkFontBold->isChecked());
    EXPECT_TRUE(e.ChkFontItalic->isChecked());
    e.ComOK->click();
  });
  Press(window->CheckOrigDF, Qt::RightButton);
  EXPECT_EQ(afterCancel, "MS Sans Serif|8.25");
  EXPECT_EQ(afterChoice, "DejaVu Serif|100");
  const ControlTexts& t = state.controls.at("CheckOrigDF");
  EXPECT_EQ(t.fontName, "DejaVu Serif");
  EXPECT_DOUBLE_EQ(t.fontSize, 100);
  EXPECT_TRUE(t.fontBold && t.fontItalic);
}

TEST_F(SetupTest, AnEditedCaptionSurvivesSaveSettingsAndARestart) {
  EnterSetupMode();
  EditorView view;
  NextEditor(view, [](F_stp& e) {
    e.TxCaption->setText("&Avslutt");
    e.TxToolTip->setText("Lagre og avslutt");
    e.TxFontSize->setText("9.75");
    e.ComOK->click();
  });
  Press(window->ComExit, Qt::RightButton);
  ASSERT_TRUE(SaveSettings(state));
  Reload();
  EXPECT_EQ(window->ComExit->text().toStdString(), "&Avslutt");
  EXPECT_EQ(window->ComExit->toolTip().toStdString(), "Lagre og avslutt");
  EXPECT_DOUBLE_EQ(window->ComExit->font().pointSizeF(), 9.75);
  EXPECT_EQ(ReadKey(state.IniFilePath, "ComExit", "Caption"), "&Avslutt");
}

TEST_F(SetupTest, DownloadWindowValueLabelsBackgroundAndEditsKeptUntilSaved) {
  EnterSetupMode();
  EditorView value, background, button;
  NextEditor(value);
  NextEditor(background);
  NextEditor(button, [](F_stp& e) {
    e.TxCaption->setText("&Lukk");
    e.ComOK->click();
  });
  {
    F_DL dl(*ctx, window.get());
    dl.show();
    Press(dl.rows[0][1], Qt::RightButton);
    EXPECT_EQ(state.SetupTarget, "DL_LbBaundRate1");
    EXPECT_EQ(state.SetupTargetKind, 1);
    EXPECT_FALSE(value.captionOn);
    EXPECT_EQ(value.owner, &dl);
    Press(&dl, Qt::RightButton, {2, dl.height() - 2});
    EXPECT_EQ(state.SetupTarget, "DL_Form");
    EXPECT_EQ(state.SetupTargetKind, 4);
    Press(dl.ComCancel, Qt::RightButton);
    EXPECT_EQ(dl.ComCancel->text().toStdString(), "&Lukk");
    // The close box names the button as it reads now.
    dl.close();
    EXPECT_TRUE(dl.isVisible());
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back().text, "The program is in setup mode.\r\nPress <Lukk> button");
    EXPECT_EQ(prompts.messages.back().title, "Setup");
    EXPECT_EQ(prompts.messages.back().icon, MessageIcon::Information);
    dl.ComCancel->click();
    EXPECT_FALSE(dl.isVisible());
  }
  // Shown again before the exit: the edit is still there, and the exit saves it.
  F_DL again(*ctx, window.get());
  EXPECT_EQ(again.ComCancel->text().toStdString(), "&Lukk");
  ASSERT_TRUE(SaveSettings(state));
  EXPECT_EQ(ReadKey(state.IniFilePath, "DL_ComCancel", "Caption"), "&Lukk");
}

TEST_F(SetupTest, FormatDialogsAreHookedWithTheirOverlays) {
  state.SpecialSetupMode = true;
  EditorView label, check, coord;
  NextEditor(label);
  NextEditor(check);
  NextEditor(coord, [](F_stp& e) {
    e.TxCaption->setText("Felter for opplasting");
    e.ComOK->click();
  });
  F_KOFStp kof(*ctx, "a.kof", "", window.get());
  kof.show();
  PlaceSetupOverlays(&kof);
  for (int i = 1; i <= 5; ++i) {
    QWidget* overlay = Overlay(&kof, ("KOF_Tx" + std::to_string(i)).c_str());
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->geometry(), kof.Tx[i]->geometry());
  }
  Press(kof.Lb[1], Qt::RightButton);
  EXPECT_EQ(state.SetupTarget, "KOF_Lb1");
  EXPECT_EQ(label.caption, "Project:");

  DxfFormSetting dxf(*ctx, window.get());
  dxf.show();
  Press(dxf.Check[0], Qt::RightButton);
  EXPECT_EQ(state.SetupTarget, "DxfFormSetting_Check0");
  EXPECT_TRUE(check.captionOn);

  F_UsDeCo upload(*ctx, true, window.get());
  upload.show();
  Press(&upload, Qt::RightButton, {2, 2});
  EXPECT_EQ(state.SetupTarget, "CoordFormUL");
  EXPECT_EQ(upload.windowTitle().toStdString(), "Felter for opplasting");
  // Its confirm button writes the dialog's records.
  upload.ComOk->click();
  EXPECT_EQ(ReadKey(state.IniFilePath, "CoordFormUL", "Caption"), "Felter for opplasting");
}

TEST(SetupCloseMessage, NamesTheButtonsWithoutTheirAccessKey) {
  EXPECT_EQ(CaptionWithoutAccessKey("&OK").toStdString(), "OK");
  EXPECT_EQ(CaptionWithoutAccessKey("Can&cel").toStdString(), "Cancel");
  EXPECT_EQ(CaptionWithoutAccessKey("Close").toStdString(), "Close");
  EXPECT_EQ(CaptionWithoutAccessKey("A&&B").toStdString(), "A&B");  // the first "&" only
  EXPECT_EQ(SetupCloseMessage({"&OK"}), "The program is in setup mode.\r\nPress <OK> button");
  EXPECT_EQ(SetupCloseMessage({"&Send", "&Cancel"}),
            "The program is in setup mode.\r\nPress <Send> or <Cancel> button");

  AppState s;
  ScriptedPrompts p;
  EXPECT_FALSE(RefuseCloseInSetupMode(s, p, {"&OK"}));
  EXPECT_TRUE(p.messages.empty());
  s.SpecialSetupMode = true;
  EXPECT_TRUE(RefuseCloseInSetupMode(s, p, {"&Send", "Cancel"}));
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.messages[0].title, "Setup");
  EXPECT_EQ(p.messages[0].icon, MessageIcon::Information);
}

}  // namespace
}  // namespace korv
