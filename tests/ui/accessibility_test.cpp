// Every window for every reader: translated texts that are never cut, a name a screen reader
// speaks for every control the keyboard reaches, a focus order that follows the drawing, and
// options and check boxes that do the same whether clicked, keyed or toggled by a screen reader.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "conversions/list_positions.h"
#include "ui/control_binder.h"
#include "ui/download_window.h"
#include "ui/format_dialogs.h"
#include "ui/gis_settings_dialog.h"
#include "ui/help_window.h"
#include "ui/new_file_dialog.h"
#include "ui/setup_editor.h"
#include "ui/small_dialogs.h"
#include "ui/survey_window.h"
#include "ui/upload_window.h"
#include "every_window.h"
#include "ui_fixture.h"

namespace korv {
namespace {

bool ShowsCaption(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLabel*>(w) ||
         qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTabBar*>(w);
}

// A caption is cut when its widget is narrower or lower than its text needs, reaches out of
// its parent or lies under another. A wrapping label needs its longest word's width and the
// height of its lines at the width it has; a tab bar every tab; anything else its size hint.
void ExpectTextsFit(QWidget& root) {
  std::vector<QWidget*> shown;
  for (QWidget* w : WidgetsOf(root)) {
    if (!w->isVisible() || !ShowsCaption(w)) continue;
    const QSize need = qobject_cast<QTabBar*>(w) ? w->sizeHint() : w->minimumSizeHint();
    const int needHeight = w->hasHeightForWidth() ? w->heightForWidth(w->width()) : need.height();
    EXPECT_GE(w->width(), need.width()) << Describe(w);
    EXPECT_GE(w->height(), needHeight) << Describe(w);
    const QRect room = w->parentWidget()->rect();
    EXPECT_TRUE(room.contains(w->geometry())) << Describe(w) << " outside its parent";
    for (const QWidget* other : shown) {
      if (other->parentWidget() != w->parentWidget()) continue;
      EXPECT_FALSE(other->geometry().intersects(w->geometry()))
          << Describe(w) << " lies over " << Describe(other);
    }
    shown.push_back(w);
  }
}

// No control of the main window, whatever its kind (lists and text boxes have no caption to be
// cut, but can still slide under a label or out of their frame), reaches out of its frame, page
// or window or lies over another, on any tab with either source.
void ExpectMainControlsApart(F_DatTr& main) {
  const QWidget* pages = main.MainTab->currentWidget()->parentWidget();
  for (int source : {0, 1}) {
    main.OpSourse[source]->click();
    for (int tab = 0; tab < 3; ++tab) {
      main.MainTab->setCurrentIndex(tab);
      QApplication::processEvents();
      std::vector<QWidget*> placed;
      for (QWidget* w : main.findChildren<QWidget*>()) {
        const QWidget* parent = w->parentWidget();
        const bool placedByResizeForm = parent == &main || parent->parentWidget() == pages ||
                                        qobject_cast<const QGroupBox*>(parent);
        if (!w->isVisible() || w->objectName().isEmpty() || !placedByResizeForm) continue;
        EXPECT_TRUE(parent->rect().contains(w->geometry()))
            << Describe(w) << " outside " << parent->objectName().toStdString();
        for (const QWidget* other : placed) {
          if (other->parentWidget() != parent) continue;
          EXPECT_FALSE(other->geometry().intersects(w->geometry()))
              << Describe(w) << " lies over " << Describe(other);
        }
        placed.push_back(w);
      }
    }
  }
  main.MainTab->setCurrentIndex(0);
}

// What a screen reader speaks for a control that gets the focus: the name of the part that
// takes it (a tab bar's current tab) or its own, or, for a box whose name is only its value,
// the label that names it. A list, tree or table answers its name for its value too.
QString SpokenName(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  if (!iface) return {};
  auto nameOf = [](QAccessibleInterface* i) {
    const QString name = i->text(QAccessible::Name).trimmed();
    const bool view = i->role() == QAccessible::List || i->role() == QAccessible::Tree ||
                      i->role() == QAccessible::Table;
    return !view && name == i->text(QAccessible::Value).trimmed() ? QString() : name;
  };
  if (QAccessibleInterface* part = iface->focusChild()) {
    if (!nameOf(part).isEmpty()) return nameOf(part);
  }
  if (!nameOf(iface).isEmpty()) return nameOf(iface);
  for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
    if (!qobject_cast<QLabel*>(label->object())) continue;
    const QString text = label->text(QAccessible::Name).trimmed();
    if (!text.isEmpty()) return text;
  }
  return {};
}

bool TakesTabFocus(const QWidget* w) {
  return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

// Tab moves through the controls as they are drawn: down a column, along a row.
void ExpectFocusFollowsDrawing(QWidget& root) {
  std::vector<QWidget*> chain;
  for (QWidget* w = root.nextInFocusChain(); w != &root; w = w->nextInFocusChain()) {
    if (w->window() == &root && w->isVisible() && TakesTabFocus(w)) chain.push_back(w);
  }
  auto drawn = [&root](QWidget* w) { return QRect(w->mapTo(&root, QPoint(0, 0)), w->size()); };
  for (size_t i = 0; i < chain.size(); ++i) {
    for (size_t j = i + 1; j < chain.size(); ++j) {
      const QRect a = drawn(chain[i]), b = drawn(chain[j]);
      const bool sameColumn = a.left() <= b.right() && b.left() <= a.right();
      const bool sameRow = a.top() <= b.bottom() && b.top() <= a.bottom();
      EXPECT_FALSE(sameColumn && b.bottom() < a.top())
          << Describe(chain[j]) << " is drawn above " << Describe(chain[i])
          << " but comes after it";
      EXPECT_FALSE(sameRow && !sameColumn && b.right() < a.left())
          << Describe(chain[j]) << " is drawn left of " << Describe(chain[i])
          << " but comes after it";
    }
  }
}

// Every record and every message reworded into a long German text in a larger font.
TEST_F(UiTest, LongTranslatedTextsAreNeverCut) {
  IniFile ini = IniFile::Load(state.IniFilePath);
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.kind == ControlRecordKind::Captioned || def.kind == ControlRecordKind::Window) {
      ini.Set(def.name, "Caption", "Herunterladen vom Vermessungsinstrument " + def.name);
    }
    ini.Set(def.name, "FontSize", "11");
  }
  ASSERT_TRUE(ini.Save(state.IniFilePath));
  std::string bytes = ReadFileBytes(state.IniFilePath);
  for (int n = 1; n <= 47; ++n) {
    bytes +=
        std::to_string(n) + ",Übertragung zum Vermessungsinstrument " + std::to_string(n) + "\r\n";
  }
  WriteFileBytes(state.IniFilePath, bytes);
  Reload();
  ASSERT_EQ(window->OpSourse[0]->text().toStdString(),
            "Herunterladen vom Vermessungsinstrument OpSourse0");
  ForEachWindow(*ctx, *window, [](QWidget& w) { ExpectTextsFit(w); });
  ExpectMainControlsApart(*window);
  // Save setup joins Help and Exit below the tabs in special setup mode.
  state.SpecialSetupMode = true;
  window->Command1->show();
  window->ResizeForm();
  ExpectMainControlsApart(*window);
  state.SpecialSetupMode = false;
  window->Command1->hide();

  // A long source file name, chosen while the window shows, widens the window too.
  window->OpSourse[1]->click();
  window->ComFileName->setText(QStringLiteral("Vermessung_Hauptstrasse_Nord_Abschnitt_7.vxl"));
  QApplication::processEvents();
  ExpectTextsFit(*window);
}

// The texts of a fresh settings file fit the window and the frames of the design.
TEST_F(UiTest, DesignTextsKeepTheDesignedMainWindow) {
  window->show();
  QApplication::processEvents();
  const ControlTexts& design = TextsOf(state, "Main Form");
  EXPECT_EQ(window->width(), TwipsToPixels(design.width, window.get()));
  EXPECT_EQ(window->height(), TwipsToPixels(design.height, window.get()));
  EXPECT_EQ(window->Fr1->height(), TwipsToPixels(1650, window.get()));
  EXPECT_EQ(window->Fr3->mapTo(window.get(), QPoint()).y() -
                window->Fr1->mapTo(window.get(), QPoint()).y(),
            TwipsToPixels(2100, window.get()) - TwipsToPixels(380, window.get()));
  ForEachWindow(*ctx, *window, [](QWidget& w) { ExpectTextsFit(w); });
  ExpectMainControlsApart(*window);
}

TEST_F(UiTest, EveryControlTheKeyboardReachesHasASpokenName) {
  ForEachWindow(*ctx, *window, [](QWidget& root) {
    for (QWidget* w : WidgetsOf(root)) {
      if (!TakesTabFocus(w)) continue;
      EXPECT_FALSE(SpokenName(w).isEmpty()) << Describe(w);
    }
  });
  // "On" and "Off" of the SDR corrections are spoken with their group's name.
  F_Sdr sdr(*ctx);
  for (QButtonGroup* group : sdr.groups) {
    const QLabel* label = nullptr;
    for (QLabel* l : sdr.findChildren<QLabel*>()) {
      if (l->buddy() == group->button(0)) label = l;
    }
    ASSERT_NE(label, nullptr);
    for (QAbstractButton* option : group->buttons()) {
      EXPECT_TRUE(SpokenName(option).startsWith(label->text())) << Describe(option);
    }
  }
  // The serial device box has a label of its own that shows.
  const QLabel* device = nullptr;
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (label->buddy() == window->StCombDevice) device = label;
  }
  ASSERT_NE(device, nullptr);
  window->MainTab->setCurrentIndex(2);
  QApplication::processEvents();
  EXPECT_TRUE(device->isVisible());
  EXPECT_FALSE(device->text().isEmpty());
}

TEST_F(UiTest, TabFollowsTheDrawnOrderInEveryWindow) {
  ForEachWindow(*ctx, *window, [](QWidget& w) { ExpectFocusFollowsDrawing(w); });
  // Save setup, left of Help and Exit in special setup mode.
  state.SpecialSetupMode = true;
  window->Command1->show();
  window->ResizeForm();
  ExpectFocusFollowsDrawing(*window);
}

void Toggle(QAbstractButton* button) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
  ASSERT_NE(iface, nullptr);
  ASSERT_NE(iface->actionInterface(), nullptr);
  iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

void Key(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

// A screen reader's Toggle, the keyboard and the mouse choose an option alike.
TEST_F(UiTest, OptionsAndCheckBoxesAnswerAScreenReaderAndTheKeyboardAsAClick) {
  const std::vector<std::pair<const char*, std::function<void(QAbstractButton*)>>> ways = {
      {"click", [](QAbstractButton* b) { b->click(); }},
      {"toggle", [](QAbstractButton* b) { Toggle(b); }},
      {"space", [](QAbstractButton* b) { Key(b, Qt::Key_Space); }},
  };
  for (const auto& [way, choose] : ways) {
    SCOPED_TRACE(way);
    Reload();
    window->show();
    window->OpReceive[2]->click();
    choose(window->OpSourse[1]);
    EXPECT_EQ(state.SourceIndex, 1);
    EXPECT_TRUE(window->ComFileName->isEnabled());
    EXPECT_TRUE(window->ComDLN->isHidden());
    EXPECT_FALSE(window->ComConv->isHidden());
    // "Other" became raw data and cannot be chosen for a file.
    EXPECT_TRUE(window->OpReceive[0]->isChecked());
    EXPECT_FALSE(window->OpReceive[2]->isEnabled());
    choose(window->OpReceive[1]);
    EXPECT_EQ(state.SourceKind, 1);
    EXPECT_EQ(window->ComboDataFormat->count(),
              state.CoordFileOptionCount + static_cast<int>(std::size(kExchangeEntries)));
    choose(window->OpSourse[0]);
    EXPECT_EQ(state.SourceIndex, 0);
    EXPECT_FALSE(window->ComDLN->isHidden());
    EXPECT_TRUE(window->OpReceive[2]->isEnabled());
    choose(window->StOpEditor[1]);
    EXPECT_EQ(state.EditorChoice, 1);
    EXPECT_FALSE(window->TxEditor->isHidden());
    choose(window->CheckOrigDF);
    EXPECT_EQ(state.CheckOrigDFState, window->CheckOrigDF->isChecked() ? 1 : 0);

    F_Sdr sdr(*ctx);
    choose(sdr.groups[kSdrCurvatureAndRefraction]->button(0));
    EXPECT_TRUE(sdr.groups[kSdrRefractionConstant]->button(0)->isEnabled());
    choose(sdr.groups[kSdrCurvatureAndRefraction]->button(1));
    EXPECT_FALSE(sdr.groups[kSdrRefractionConstant]->button(0)->isEnabled());

    DxfFormSetting dxf(*ctx);
    choose(dxf.Check[1]);
    EXPECT_FALSE(dxf.TxLN[1]->isEnabled());
    dxf.ComSelColor_Click(0);
    choose(dxf.Option3D[1]);
    EXPECT_FALSE(dxf.PaletteShown());
  }
}

// Texts the program shows to be read (the check report, a point's line, the contact details)
// are reached, read and copied from the keyboard too: the report's caret moves and Shift
// selects, Tab reaches a label and Select All takes its text.
TEST_F(UiTest, ShownTextsAreSelectedFromTheKeyboard) {
  SurveyWindow survey(*ctx, Survey{}, "first line\nsecond line", {}, window.get());
  survey.show();
  QTest::keyClick(survey.Report, Qt::Key_Down);
  EXPECT_EQ(survey.Report->textCursor().blockNumber(), 1);
  QTest::keyClick(survey.Report, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(survey.Report->textCursor().selectedText(), QStringLiteral("second line"));
  F_Help help(*ctx, window.get());
  help.show();
  for (QLabel* label : {survey.LbPoint, help.LbCI[4]}) {
    EXPECT_TRUE(TakesTabFocus(label)) << Describe(label);
    label->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(label->window()));
    label->setFocus(Qt::TabFocusReason);
    QTest::keySequence(label, QKeySequence::SelectAll);
    EXPECT_EQ(label->selectedText(), label->text()) << Describe(label);
  }
}

// What a window shows only as a colour or beside the focus is said where the focus is: the
// DXF text colours, the matches of a system search, an empty download journal. Escape in the
// colour palette closes the palette, not the dialog.
TEST_F(UiTest, WhatShowsBesideTheFocusIsSpokenAtIt) {
  DxfFormSetting dxf(*ctx);
  dxf.show();
  EXPECT_TRUE(SpokenName(dxf.ComSelColor[0]).endsWith(QStringLiteral(": Red")))
      << SpokenName(dxf.ComSelColor[0]).toStdString();
  dxf.ComSelColor_Click(0);
  ASSERT_TRUE(dxf.PaletteShown());
  QTest::keyClick(dxf.ComCol[0], Qt::Key_Escape);
  EXPECT_FALSE(dxf.PaletteShown());
  EXPECT_TRUE(dxf.isVisible());
  EXPECT_EQ(dxf.focusWidget(), dxf.ComSelColor[0]);
  dxf.ComSelColor_Click(0);
  QTest::keyClick(dxf.ComCol[4], Qt::Key_Space);
  EXPECT_EQ(SpokenName(dxf.ComSelColor[0]), QStringLiteral("Select Color: Blue"));
  // Another colour row keeps its own.
  EXPECT_TRUE(SpokenName(dxf.ComSelColor[1]).endsWith(QStringLiteral(": Red")));

  GisSettingsDialog gis(*ctx, true);
  gis.show();
  EXPECT_TRUE(TakesTabFocus(gis.LstCrs));
  EXPECT_EQ(SpokenName(gis.LstCrs), QStringLiteral("Matching coordinate reference systems"));
  // The reason the system is asked for, said with the system's box that has the focus.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(gis.CbCrs)->text(QAccessible::Description),
            gis.LbFault->text());

  RecentDownloadsDialog recent(*ctx, window.get());
  EXPECT_EQ(
      QAccessible::queryAccessibleInterface(recent.LstDownloads)->text(QAccessible::Description),
      QStringLiteral("No download has been kept yet."));
}

// The mean colour of a widget's pixels.
QColor MeanColour(QWidget* w) {
  const QImage image = w->grab().toImage();
  long long r = 0, g = 0, b = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      r += c.red();
      g += c.green();
      b += c.blue();
    }
  }
  const long long n = std::max(1LL, static_cast<long long>(image.width()) * image.height());
  return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

int Distance(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
         std::abs(a.blue() - b.blue());
}

// A disabled colour button shows its colour faded, as every disabled control looks.
TEST_F(UiTest, ADisabledColourButtonLooksDisabled) {
  DxfFormSetting dialog(*ctx);
  dialog.show();
  QApplication::processEvents();
  QPushButton* button = dialog.ComSelColor[0];
  const QColor enabled = MeanColour(button);
  EXPECT_GT(enabled.red(), 180);
  EXPECT_LT(enabled.green(), 150);
  dialog.Check[0]->setChecked(false);
  ASSERT_FALSE(button->isEnabled());
  const QColor disabled = MeanColour(button);
  const QColor background = dialog.palette().color(QPalette::Window);
  EXPECT_LT(Distance(disabled, background), Distance(enabled, background) / 2);
  // Still a shade of the row's colour, so the choice stays visible.
  EXPECT_GT(disabled.red(), disabled.green());
}

}  // namespace
}  // namespace korv
