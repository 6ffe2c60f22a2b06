// The main window as a desktop program: it comes back where it was, on a screen that is there;
// its texts fit at any scaling; it takes the desktop's palette; the keyboard reaches it all.
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QtTest/QTest>
#include <map>
#include <set>

#include "core/window_place.h"
#include "every_window.h"
#include "ui/screen_place.h"
#include "ui_fixture.h"

namespace korv {
namespace {

class WindowTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ctx->endProgram = [this] { ++ended; };
  }
  // Starts anew on the settings file as the program does: load, place, show.
  void Start() {
    Reload();
    ctx->endProgram = [this] { ++ended; };
    window->RestorePlace();
    window->show();
    QApplication::processEvents();
  }
  int ended = 0;
};

// A caption as drawn: without its access key's "&" ("&&" draws one "&").
QString Drawn(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// The room a button's text has inside it: a check box or option loses its indicator.
int TextRoomOf(const QAbstractButton* b) {
  const QStyle* style = b->style();
  int taken = 0;
  if (qobject_cast<const QCheckBox*>(b)) {
    taken = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b) +
            style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
  } else if (qobject_cast<const QRadioButton*>(b)) {
    taken = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, b) +
            style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, b);
  } else if (!b->icon().isNull()) {
    taken = b->iconSize().width();
  }
  return b->contentsRect().width() - taken;
}

// Every caption shown in `root` fits its widget, measured with its own font: a button's,
// check box's or option's text, a label's (a wrapping one in lines), a frame's title.
void ExpectCaptionsFit(QWidget& root) {
  for (QWidget* w : WidgetsOf(root)) {
    if (!w->isVisible()) continue;
    const QFontMetrics fm(w->font());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      if (b->text().isEmpty()) continue;
      EXPECT_LE(fm.horizontalAdvance(Drawn(b->text())), TextRoomOf(b)) << Describe(w);
      EXPECT_LE(fm.height(), b->contentsRect().height()) << Describe(w);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
      if (l->text().isEmpty() || Qt::mightBeRichText(l->text())) continue;
      const QRect room =
          l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
      const int flags = l->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine;
      const QRect need = fm.boundingRect(room, flags, Drawn(l->text()));
      EXPECT_LE(need.width(), room.width()) << Describe(w);
      EXPECT_LE(need.height(), room.height()) << Describe(w);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
      EXPECT_LE(fm.horizontalAdvance(Drawn(g->title())), g->width()) << Describe(w);
    }
  }
}

// ---- The window remembers ----

TEST(ScreenPlaceTest, AWindowComesBackOntoAScreenThatIsThere) {
  const QRect primary(0, 0, 1920, 1040);
  const QRect right(1920, 0, 1280, 1024);
  // On the second screen it stays where it was.
  EXPECT_EQ(PlaceOnScreens(QRect(2000, 100, 800, 600), {primary, right}),
            QRect(2000, 100, 800, 600));
  // That screen gone: onto the primary, at its right edge, whole.
  EXPECT_EQ(PlaceOnScreens(QRect(2000, 100, 800, 600), {primary}), QRect(1120, 100, 800, 600));
  // Half over the edge between them: onto the screen holding more of it.
  EXPECT_EQ(PlaceOnScreens(QRect(1800, 50, 800, 600), {primary, right}), QRect(1920, 50, 800, 600));
  // Larger than the screen it is on: shrunk to it.
  EXPECT_EQ(PlaceOnScreens(QRect(-300, -200, 2500, 1400), {primary, right}),
            QRect(0, 0, 1920, 1040));
  // Above and left of every screen: into the corner of the first screen given, the primary.
  EXPECT_EQ(PlaceOnScreens(QRect(-5000, -5000, 400, 300), {right, primary}),
            QRect(1920, 0, 400, 300));
  // A screen left of the primary (negative places) is a screen like any other.
  EXPECT_EQ(PlaceOnScreens(QRect(-1000, 10, 500, 400), {primary, QRect(-1280, 0, 1280, 1024)}),
            QRect(-1000, 10, 500, 400));
}

// Centred as the window is placed before it shows: to the pixel or two its layout then adds.
void ExpectCentred(const QWidget& window, const QRect& room) {
  const QPoint off = window.geometry().center() - room.center();
  EXPECT_LE(off.manhattanLength(), 4) << off.x() << "," << off.y();
}

TEST_F(WindowTest, ComesBackWhereItWasAtExitWithItsTab) {
  // A fresh file: centred on the screen at the design's size, on the first tab, as always.
  Start();
  const QRect room = ScreenRooms().front();
  ExpectCentred(*window, room);
  EXPECT_EQ(window->width(), TwipsToPixels(TextsOf(state, "Main Form").width, window.get()));
  EXPECT_EQ(window->MainTab->currentIndex(), 0);

  const QSize least = window->minimumSize();
  window->move(room.topLeft() + QPoint(13, 17));
  window->resize(least + QSize(41, 29));
  window->MainTab->setCurrentIndex(2);
  QApplication::processEvents();
  window->ComExit_Click();
  EXPECT_EQ(ended, 1);
  const IniFile saved = IniFile::Load(state.IniFilePath);
  EXPECT_EQ(LoadWindowPlace(saved), (WindowPlace{room.left() + 13, room.top() + 17,
                                                 least.width() + 41, least.height() + 29, 2}));
  // The section is written in its place, once.
  const std::string bytes = ReadFileBytes(state.IniFilePath);
  const std::string section = "\r\n[Window]\r\nLeft=" + std::to_string(room.left() + 13) +
                              "\r\nTop=" + std::to_string(room.top() + 17) +
                              "\r\nWidth=" + std::to_string(least.width() + 41) +
                              "\r\nHeight=" + std::to_string(least.height() + 29) + "\r\nTab=2\r\n";
  EXPECT_NE(bytes.find(section), std::string::npos);
  EXPECT_EQ(bytes.find("[Window]"), bytes.rfind("[Window]"));

  Start();
  EXPECT_EQ(window->pos(), room.topLeft() + QPoint(13, 17));
  EXPECT_EQ(window->size(), least + QSize(41, 29));
  EXPECT_EQ(window->MainTab->currentIndex(), 2);

  // A remembered size smaller than the texts need gives way to them; a tab that does not
  // exist and a key that is no number are not taken.
  SetKey("Window", "Width", "50");
  SetKey("Window", "Height", "40");
  SetKey("Window", "Tab", "7");
  Start();
  EXPECT_EQ(window->size(), window->minimumSize());
  EXPECT_EQ(window->MainTab->currentIndex(), 0);
  SetKey("Window", "Left", "12px");
  Start();
  ExpectCentred(*window, room);
}

// The window was on a second screen, right of and below this one, that is gone now.
TEST_F(WindowTest, APlaceOnAScreenThatIsGoneComesBackOntoTheScreen) {
  const QRect room = ScreenRooms().front();
  SetKey("Window", "Left", std::to_string(room.right() + 900));
  SetKey("Window", "Top", std::to_string(room.bottom() + 700));
  SetKey("Window", "Width", std::to_string(room.width() + 500));
  SetKey("Window", "Height", std::to_string(room.height() / 2 + 100));
  SetKey("Window", "Tab", "1");
  Start();
  const QRect frame = window->frameGeometry();
  EXPECT_TRUE(room.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width()
                                    << "x" << frame.height();
  // As wide as the screen: the stored width was wider.
  EXPECT_EQ(frame.width(), room.width());
  EXPECT_EQ(window->MainTab->currentIndex(), 1);
}

// ---- Scaling: run at 100 %, and by ctest at 150 % and 200 % (QT_SCALE_FACTOR) ----

TEST_F(WindowTest, EveryTextFitsAtTheScreensScale) {
  const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                           ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                           : 1.0;
  Start();
  // The offscreen platform honours QT_SCALE_FACTOR: the window is drawn at that density.
  EXPECT_DOUBLE_EQ(window->devicePixelRatioF(), scale);
  const QPixmap drawn = window->grab();
  EXPECT_DOUBLE_EQ(drawn.devicePixelRatio(), scale);
  EXPECT_EQ(drawn.width(), qRound(window->width() * scale));
  ForEachWindow(*ctx, *window, [](QWidget& w) { ExpectCaptionsFit(w); });
  // The splash picture is drawn at the screen's density, not scaled up from a smaller one.
  F_Start splash("Survey data transfer and conversion");
  splash.show();
  EXPECT_DOUBLE_EQ(splash.Im->pixmap().devicePixelRatio(), scale);
  EXPECT_EQ(splash.Im->pixmap().width(), qRound(splash.width() * scale));
}

// ---- Palette ----

TEST_F(WindowTest, EveryWindowTakesADarkDesktopPalette) {
  const QPalette before = QApplication::palette();
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(0x20, 0x22, 0x25));
  dark.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
  dark.setColor(QPalette::Base, QColor(0x14, 0x15, 0x17));
  dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
  dark.setColor(QPalette::Button, QColor(0x30, 0x32, 0x36));
  dark.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
  dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7e, 0xc0));
  dark.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xfe));
  dark.setColor(QPalette::Link, QColor(0x7a, 0xb8, 0xff));
  QApplication::setPalette(dark);
  Start();
  // Drawn, the window's own background is the palette's.
  const QImage drawn = window->grab().toImage();
  EXPECT_EQ(drawn.pixelColor(1, drawn.height() - 2), dark.color(QPalette::Window));
  ForEachWindow(*ctx, *window, [&](QWidget& root) {
    for (QWidget* w : WidgetsOf(root)) {
      // Only the DXF dialog's colour buttons show colours of their own: the drawing's.
      if (w->objectName().contains("ComCol") || w->objectName().contains("ComSelColor")) {
        continue;
      }
      EXPECT_TRUE(w->styleSheet().isEmpty()) << Describe(w);
      EXPECT_FALSE(w->testAttribute(Qt::WA_SetPalette)) << Describe(w) << " has its own palette";
      for (auto role : {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text}) {
        EXPECT_EQ(w->palette().color(role), dark.color(role)) << Describe(w);
      }
    }
  });
  F_Start splash("Survey data transfer and conversion");
  const QImage picture = splash.Im->pixmap().toImage();
  EXPECT_EQ(picture.pixelColor(0, 0), dark.color(QPalette::Highlight));
  QApplication::setPalette(before);
}

// ---- Keyboard ----

TEST_F(WindowTest, F1OpensHelpAndCtrlQExits) {
  Start();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->TxFileName->setFocus();
  QTest::keyClick(window->TxFileName, Qt::Key_F1);
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Help_Form"});
  EXPECT_EQ(ended, 0);
  window->MainTab->setCurrentIndex(1);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->TxFileNameSend->setFocus();
  QTest::keyClick(window->TxFileNameSend, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(ended, 1);
  // Ctrl+Q is the Exit button: the settings are saved with the window's place.
  EXPECT_EQ(ReadKey(state.IniFilePath, "Window", "Tab"), "1");
}

// The access keys of what one tab or dialog shows: a button's, check box's, option's, or a
// label's, which moves to its field; the main window's Help and Exit sit below every tab.
TEST_F(WindowTest, AccessKeysNeverClashAndTheMainButtonsAllHaveOne) {
  Start();
  int windowsSeen = 0;
  ForEachWindow(*ctx, *window, [&](QWidget& root) {
    ++windowsSeen;
    std::map<QKeySequence, std::string> taken;
    for (QWidget* w : WidgetsOf(root)) {
      if (!w->isVisible()) continue;
      QString text;
      if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
      if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) text = l->text();
      const QKeySequence key = QKeySequence::mnemonic(text);
      if (key.isEmpty()) continue;
      const auto [at, first] = taken.emplace(key, Describe(w));
      EXPECT_TRUE(first) << Describe(w) << " has the access key of " << at->second;
    }
  });
  EXPECT_EQ(windowsSeen, 6 + 17);
  // Every button of the main window's tabs has an access key in the default texts.
  for (QPushButton* b : window->findChildren<QPushButton*>()) {
    if (b == window->ComFileName || b == window->Command1) continue;  // a file name; setup mode
    EXPECT_FALSE(QKeySequence::mnemonic(b->text()).isEmpty()) << Describe(b);
  }
}

}  // namespace
}  // namespace korv
