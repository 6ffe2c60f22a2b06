// The main window's layout (ResizeForm): every control placed in twips from the window's size
// and from what the controls' texts need, one function per tab and one for the frame around
// them. The design's places and sizes are the least a control gets; a longer translated
// caption or a larger font makes the control, its frame and the window larger instead of
// cutting the text.
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <initializer_list>

#include "ui/control_binder.h"
#include "ui/f_dattr.h"

namespace korv {

namespace {

// The least window of the design (twips), whatever its texts.
constexpr double kLeastWidth = 6300;
constexpr double kLeastHeight = 5400;
// Where the tab pages' frames start (twips from the window's top) under tab headers of the
// design's height.
constexpr double kPageTop = 380;

double Widest(std::initializer_list<double> widths) { return std::max(widths); }

// Measures the main window's controls and places them, in twips. The window's size, the
// shift below taller tab headers and the heights of a list and a text box are set by the
// frame before the tabs are laid out.
class Twips {
 public:
  explicit Twips(const QWidget* window) : window_(window) {}

  int px(double twips) const { return TwipsToPixels(twips, window_); }
  double fromPixels(int pixels) const { return PixelsToTwips(pixels, window_); }
  // What a control's text needs across.
  double text(const QWidget* w) const { return fromPixels(TextRoom(w).width()); }
  static double heightOf(const QWidget* w, double fallback) { return NeededHeight(w, fallback); }
  // A button's recorded width, no wider than `room` unless its text needs more.
  double widthOf(const QWidget* w, double fallback, double room) const {
    return std::max(std::min(NeededWidth(w, fallback), room), text(w));
  }
  // The first row of a frame: at the design's place, or below a taller title.
  double firstRow(const QGroupBox* frame, double design) const {
    return std::max(design, fromPixels(frame->fontMetrics().height()) + 60);
  }
  // Places a widget of a frame, in twips from the frame's corner.
  void inFrame(QWidget* w, double l, double t, double wd, double h) const {
    w->setGeometry(px(l), px(t), std::max(px(wd), 1), std::max(px(h), 1));
  }
  // Places a widget of a tab page, in twips from the window's corner.
  void onPage(QWidget* w, double l, double t, double wd, double h) const {
    const QPoint offset = w->parentWidget()->mapTo(window_, QPoint(0, 0));
    w->setGeometry(px(l) - offset.x(), px(t) + shift - offset.y(), std::max(px(wd), 1),
                   std::max(px(h), 1));
  }
  // A label left of its field, the field's button at the right end of the row, and the
  // button's menu, when it has one, a square between them; the label and the field centred on
  // the row. Returns where the row ends.
  double besideRow(QWidget* label, double labelWidth, QWidget* field, double fieldHeight,
                   QWidget* button, double buttonWidth, double inner, double top,
                   QWidget* menu = nullptr) const {
    const double row = std::max(fieldHeight, heightOf(button, 375));
    inFrame(label, 120, top + (row - heightOf(label, 255)) / 2, labelWidth - 60,
            heightOf(label, 255));
    const double fieldWidth = inner - labelWidth - buttonWidth - 120 - MenuRoom(menu, row);
    inFrame(field, 120 + labelWidth, top + (row - fieldHeight) / 2, fieldWidth, fieldHeight);
    if (menu) inFrame(menu, 120 + labelWidth + fieldWidth + 60, top, row, row);
    inFrame(button, 120 + inner - buttonWidth, top, buttonWidth, row);
    return top + row;
  }
  // What a menu square of a row `row` high takes from the field before it, with its gap.
  static double MenuRoom(const QWidget* menu, double row) { return menu ? row + 60 : 0; }
  // A label over its field, the field's button at the right end of the field's row. Returns
  // where the row ends.
  double overRow(QWidget* label, QWidget* field, double fieldHeight, QWidget* button,
                 double buttonWidth, double inner, double top, QWidget* menu = nullptr) const {
    inFrame(label, 120, top, inner, heightOf(label, 255));
    const double rowTop = top + heightOf(label, 255) + 30;
    const double row = std::max(fieldHeight, heightOf(button, 375));
    const double fieldWidth = inner - buttonWidth - 120 - MenuRoom(menu, row);
    inFrame(field, 120, rowTop, fieldWidth, fieldHeight);
    if (menu) inFrame(menu, 120 + fieldWidth + 60, rowTop, row, row);
    inFrame(button, 120 + inner - buttonWidth, rowTop, buttonWidth, row);
    return rowTop + row;
  }
  // The room of a transfer button below a tab's frames: half the page less a gap.
  double actionRoom() const { return (W - 240) / 2 - 60; }
  // The width of each of the two frames side by side.
  double sideWidth() const { return W / 2 - 210; }

  double W = 0;      // the window's width
  double H = 0;      // and height
  int shift = 0;     // pixels every page control moves down below taller tab headers
  double combo = 0;  // the height of a drop-down list
  double box = 0;    // and of a text box

 private:
  const QWidget* window_;
};

// ---- Receive tab: two frames side by side, the output frame across the width below them ----

// The width of the output frame's labels, from the wider of its two.
double ReceiveLabelWidth(const F_DatTr& w, const Twips& t) {
  return std::max(t.text(w.LbDataFormat), t.text(w.LbFileName)) + 60;
}

// The least window width the tab's texts need.
double ReceiveLeastWidth(const F_DatTr& w, const Twips& t) {
  const double sourceSide =
      Widest({t.text(w.OpSourse[0]), t.text(w.OpSourse[1]),
              t.text(w.ComFileName) + t.heightOf(w.ComFileName, 375) + 60,
              t.text(w.OpReceive[0]), t.text(w.OpReceive[1]), t.text(w.OpReceive[2])}) +
      240;
  const double side = Widest({sourceSide, t.text(w.Fr1), t.text(w.Fr2)});
  const double fieldNeeded = std::max(
      std::max(t.text(w.ComSaveSetings), t.text(w.ComSaveBrowse)) + 120 + t.text(w.ComboDataFormat),
      t.text(w.CheckOrigDF));
  const double actions = Widest(
      {t.text(w.ComDLN), t.text(w.ComRecent), t.text(w.ComConv), t.text(w.ComCheck),
       t.text(w.ComViewFile)});
  // The two buttons on the left, View file and Open folder on the right.
  const double actionRow =
      Widest({t.text(w.ComDLN) + t.text(w.ComRecent), t.text(w.ComConv) + t.text(w.ComCheck)}) +
      t.text(w.ComViewFile) + t.text(w.ComOpenFolder) + 90 + 3 * 120 + 150;
  return Widest({2 * (side + 210), 480 + ReceiveLabelWidth(w, t) + fieldNeeded,
                 3 * (actions + 60) + 360, actionRow, t.text(w.Fr3) + 240});
}

// The source frame and the kind frame, one height; returns it.
double LayOutSourceAndKind(F_DatTr& w, const Twips& t) {
  const double sideWidth = t.sideWidth();
  double y = t.firstRow(w.Fr1, 330);
  t.inFrame(w.OpSourse[0], 120, y, sideWidth - 240, t.heightOf(w.OpSourse[0], 255));
  y += t.heightOf(w.OpSourse[0], 255) + 90;
  t.inFrame(w.OpSourse[1], 120, y, sideWidth - 240, t.heightOf(w.OpSourse[1], 255));
  y += t.heightOf(w.OpSourse[1], 255) + 90 + 60;
  const double fileRow = t.heightOf(w.ComFileName, 375);
  const double fileWidth = sideWidth - 240 - Twips::MenuRoom(w.ComFileNameRecent, fileRow);
  t.inFrame(w.ComFileName, 120, y, fileWidth, fileRow);
  t.inFrame(w.ComFileNameRecent, 120 + fileWidth + 60, y, fileRow, fileRow);
  double frameBottom = y + fileRow;
  y = t.firstRow(w.Fr2, 330);
  for (size_t i = 0; i < 3; ++i) {
    t.inFrame(w.OpReceive[i], 120, y, sideWidth - 240, t.heightOf(w.OpReceive[i], 255));
    frameBottom = std::max(frameBottom, y + t.heightOf(w.OpReceive[i], 255));
    y += t.heightOf(w.OpReceive[i], 255) + 150;
  }
  const double frameHeight = std::max(1650.0, frameBottom + 120);
  t.onPage(w.Fr1, 90, kPageTop, sideWidth, frameHeight);
  t.onPage(w.Fr2, t.W / 2 + 60, kPageTop, sideWidth, frameHeight);
  return frameHeight;
}

// The output frame at `top`: format row, copy box, file name row; returns its height.
double LayOutOutputFrame(F_DatTr& w, const Twips& t, double top) {
  const double labelWidth = ReceiveLabelWidth(w, t);
  const double width = t.W - 240;
  const double inner = width - 240;
  const double field = inner - labelWidth;
  // The buttons take at most a third of the field, and never what the list's entries need.
  const double buttonRoom = std::min(field / 3, field - 120 - t.text(w.ComboDataFormat));
  const double buttonWidth = std::max(t.widthOf(w.ComSaveSetings, 1215, buttonRoom),
                                      t.widthOf(w.ComSaveBrowse, 1215, buttonRoom));
  const double formatEnd =
      t.besideRow(w.LbDataFormat, labelWidth, w.ComboDataFormat, t.combo, w.ComSaveSetings,
                  buttonWidth, inner, t.firstRow(w.Fr3, 300));
  const double checkTop = formatEnd + 90;
  t.inFrame(w.CheckOrigDF, 120 + labelWidth, checkTop, field, t.heightOf(w.CheckOrigDF, 255));
  const double fileEnd =
      t.besideRow(w.LbFileName, labelWidth, w.TxFileName, t.box, w.ComSaveBrowse, buttonWidth,
                  inner, checkTop + t.heightOf(w.CheckOrigDF, 255) + 90, w.ComSaveBrowseRecent);
  const double height = fileEnd + 150;
  t.onPage(w.Fr3, 90, top, width, height);
  return height;
}

// Lays the Receive tab out; returns where its lowest control ends.
double LayOutReceiveTab(F_DatTr& w, const Twips& t) {
  const double frameHeight = LayOutSourceAndKind(w, t);
  const double fr3Top = std::max(2100.0, kPageTop + frameHeight + 70);
  const double actionTop = fr3Top + LayOutOutputFrame(w, t, fr3Top) + 150;
  const double actionWidth = t.widthOf(w.ComDLN, 1815, t.actionRoom());
  t.onPage(w.ComDLN, 90, actionTop, actionWidth, t.heightOf(w.ComDLN, 375));
  t.onPage(w.ComRecent, 90 + actionWidth + 120, actionTop,
           t.widthOf(w.ComRecent, 1815, t.actionRoom()), t.heightOf(w.ComRecent, 375));
  const double convWidth = t.widthOf(w.ComConv, 1815, t.actionRoom());
  t.onPage(w.ComConv, 90, actionTop, convWidth, t.heightOf(w.ComConv, 375));
  t.onPage(w.ComCheck, 90 + convWidth + 120, actionTop,
           t.widthOf(w.ComCheck, 1215, t.actionRoom()), t.heightOf(w.ComCheck, 375));
  // View file and Open folder at the right end, narrowed to what their texts need when the
  // buttons on the left leave less room.
  const double leftEnd =
      std::max(90 + actionWidth + 120 + t.widthOf(w.ComRecent, 1815, t.actionRoom()),
               90 + convWidth + 120 + t.widthOf(w.ComCheck, 1215, t.actionRoom()));
  const double rightRoom = t.W - 150 - leftEnd - 120;
  const double folderWidth =
      std::max(t.text(w.ComOpenFolder), std::min(1215.0, rightRoom / 2 - 60));
  const double viewWidth = std::max(
      t.text(w.ComViewFile),
      std::min(t.widthOf(w.ComViewFile, 1815, t.actionRoom()), rightRoom - 120 - folderWidth));
  t.onPage(w.ComOpenFolder, t.W - 150 - folderWidth, actionTop, folderWidth,
           t.heightOf(w.ComViewFile, 375));
  t.onPage(w.ComViewFile, t.W - 150 - folderWidth - 120 - viewWidth, actionTop, viewWidth,
           t.heightOf(w.ComViewFile, 375));
  return actionTop + Widest({t.heightOf(w.ComDLN, 375), t.heightOf(w.ComRecent, 375),
                             t.heightOf(w.ComConv, 375),
                             t.heightOf(w.ComCheck, 375), t.heightOf(w.ComViewFile, 375)});
}

// ---- Send tab: one frame across the width, the action buttons below it ----

// What the wider of Edit and Send needs across.
double SendActionsNeeded(const F_DatTr& w, const Twips& t) {
  return Widest({t.text(w.ComEditSend), t.text(w.ComSend)});
}

// The least window width the tab's texts need.
double SendLeastWidth(const F_DatTr& w, const Twips& t) {
  const double buttonText = std::max(t.text(w.ComSettingSend), t.text(w.ComBrowseSend));
  const double innerNeeded = Widest({buttonText + 120 + t.text(w.ComboDataFormatSend),
                                     t.text(w.LbDataFormaSend), t.text(w.LbFileNameSend)});
  return Widest(
      {480 + innerNeeded, 2 * (SendActionsNeeded(w, t) + 60) + 240, t.text(w.FrSend) + 240});
}

// Lays the Send tab out; returns where its lowest control ends.
double LayOutSendTab(F_DatTr& w, const Twips& t) {
  const double inner = t.W - 240 - 240;
  const double room = std::min(inner / 3, inner - 120 - t.text(w.ComboDataFormatSend));
  const double button =
      std::max(t.widthOf(w.ComSettingSend, 1215, room), t.widthOf(w.ComBrowseSend, 1215, room));
  const double formatEnd = t.overRow(w.LbDataFormaSend, w.ComboDataFormatSend, t.combo,
                                     w.ComSettingSend, button, inner, t.firstRow(w.FrSend, 300));
  const double fileEnd = t.overRow(w.LbFileNameSend, w.TxFileNameSend, t.box, w.ComBrowseSend,
                                   button, inner, formatEnd + 180, w.ComBrowseSendRecent);
  const double frameHeight = fileEnd + 180;
  t.onPage(w.FrSend, 90, kPageTop, t.W - 240, frameHeight);
  const double actionTop = kPageTop + frameHeight + 150;
  // Both buttons as wide as Download, or as their texts need.
  const double actionWidth =
      std::max(std::min(NeededWidth(w.ComDLN, 1815), t.actionRoom()), SendActionsNeeded(w, t));
  t.onPage(w.ComEditSend, 90, actionTop, actionWidth, t.heightOf(w.ComEditSend, 375));
  t.onPage(w.ComSend, t.W - 150 - actionWidth, actionTop, actionWidth, t.heightOf(w.ComSend, 375));
  return actionTop + std::max(t.heightOf(w.ComEditSend, 375), t.heightOf(w.ComSend, 375));
}

// ---- Settings tab: link settings on the left, coordinates and editor on the right ----

// The width of the link frame's labels, from the widest of them.
double LinkLabelWidth(const F_DatTr& w, const Twips& t) {
  double label = t.text(w.StLbDevice);
  for (size_t i = 0; i < 4; ++i) label = std::max(label, t.text(w.StLbComm[i]));
  return std::max(label, t.text(w.StLbComm[4])) + 60;
}

// The least window width the tab's texts need.
double SettingsLeastWidth(const F_DatTr& w, const Twips& t) {
  double box = std::max(t.text(w.StCombDevice), t.text(w.StLbComm[5]));
  for (size_t i = 0; i < 4; ++i) box = std::max(box, t.text(w.StCombComm[i]));
  double side = Widest(
      {(box + 240) / 0.55, box + 240 + LinkLabelWidth(w, t), 2 * t.text(w.ComEditorBrowse) + 330,
       t.text(w.ComLanguage) + 240});
  for (size_t i = 0; i < 2; ++i) {
    side = Widest({side, t.text(w.StLbCoord[i]) + 240, t.text(w.StCombCoord[i]) + 240,
                   t.text(w.StOpEditor[i]) + 240});
  }
  side = Widest({side, t.text(w.StFrComm), t.text(w.StFrCoord), t.text(w.StFrEditor)});
  return 2 * (side + 210);
}

// The link frame: a label left of each list, the fixed settings last; returns its height.
double LayOutLinkFrame(F_DatTr& w, const Twips& t) {
  const double sideWidth = t.sideWidth();
  // The labels take 45 % of the frame, or what the widest needs.
  const double rowLabel = std::max(sideWidth * 0.45, LinkLabelWidth(w, t));
  const double listWidth = sideWidth - 240 - rowLabel;
  double y = t.firstRow(w.StFrComm, 300);
  auto listRow = [&](QLabel* label, QComboBox* list) {
    t.inFrame(label, 120, y + 30, rowLabel - 60, t.heightOf(label, 255));
    t.inFrame(list, 120 + rowLabel, y, listWidth, t.combo);
    y += std::max(t.combo, t.heightOf(label, 255) + 30) + 90;
  };
  listRow(w.StLbComm[0], w.StCombComm[0]);
  // The device the port opens, right under the port list.
  listRow(w.StLbDevice, w.StCombDevice);
  for (size_t i = 1; i < 4; ++i) listRow(w.StLbComm[i], w.StCombComm[i]);
  // The fixed settings wrap, in at least the two lines of the design.
  const double recordedFixed = RecordedHeight(w.StLbComm[5], 0);
  const double fixedHeight = std::max(2 * (recordedFixed > 0 ? recordedFixed : 255),
                                      NeededHeight(w.StLbComm[5], 0, listWidth));
  t.inFrame(w.StLbComm[4], 120, y + 30, rowLabel - 60, t.heightOf(w.StLbComm[4], 255));
  t.inFrame(w.StLbComm[5], 120 + rowLabel, y + 30, listWidth, fixedHeight);
  const double height = y + 30 + std::max(fixedHeight, t.heightOf(w.StLbComm[4], 255)) + 150;
  t.onPage(w.StFrComm, 90, kPageTop, sideWidth, height);
  return height;
}

// The coordinate lists' frame and the editor frame below it; returns where the editor's ends.
double LayOutCoordAndEditor(F_DatTr& w, const Twips& t) {
  const double sideWidth = t.sideWidth();
  double y = t.firstRow(w.StFrCoord, 300);
  for (size_t i = 0; i < 2; ++i) {
    t.inFrame(w.StLbCoord[i], 120, y, sideWidth - 240, t.heightOf(w.StLbCoord[i], 255));
    y += t.heightOf(w.StLbCoord[i], 255) + 30;
    t.inFrame(w.StCombCoord[i], 120, y, sideWidth - 240, t.combo);
    y += t.combo + 90;
  }
  t.onPage(w.StFrCoord, t.W / 2 + 60, kPageTop, sideWidth, y + 90);
  const double editorTop = kPageTop + y + 90 + 120;
  double ey = t.firstRow(w.StFrEditor, 300);
  for (size_t i = 0; i < 2; ++i) {
    t.inFrame(w.StOpEditor[i], 120, ey, sideWidth - 240, t.heightOf(w.StOpEditor[i], 255));
    ey += t.heightOf(w.StOpEditor[i], 255) + 60;
  }
  const double browse = t.widthOf(w.ComEditorBrowse, 1215, (sideWidth - 240) / 3);
  const double row = std::max(t.box, t.heightOf(w.ComEditorBrowse, 375));
  t.inFrame(w.TxEditor, 120, ey, sideWidth - 240 - browse - 90, t.box);
  t.inFrame(w.ComEditorBrowse, sideWidth - 120 - browse, ey, browse, row);
  const double height = ey + row + 150;
  t.onPage(w.StFrEditor, t.W / 2 + 60, editorTop, sideWidth, height);
  return editorTop + height;
}

// Lays the Settings tab out; returns where its lowest control ends.
double LayOutSettingsTab(F_DatTr& w, const Twips& t) {
  const double linkHeight = LayOutLinkFrame(w, t);
  // The language button under the link frame.
  const double languageTop = kPageTop + linkHeight + 120;
  const double languageHeight = t.heightOf(w.ComLanguage, 375);
  t.onPage(w.ComLanguage, 90, languageTop, t.widthOf(w.ComLanguage, 2400, t.sideWidth()),
           languageHeight);
  return std::max(languageTop + languageHeight, LayOutCoordAndEditor(w, t));
}

}  // namespace

void F_DatTr::RelayoutOnTextChanges() {
  // A control whose text, font or visibility changes asks its parent to lay out again; the
  // window's frames and pages have no layout of their own to do that, so ResizeForm does.
  for (QWidget* container : std::initializer_list<QWidget*>{
           this, Fr1->parentWidget(), FrSend->parentWidget(), StFrComm->parentWidget(), Fr1, Fr2,
           Fr3, FrSend, StFrComm, StFrCoord, StFrEditor}) {
    container->installEventFilter(this);
  }
}

bool F_DatTr::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::LayoutRequest) ResizeForm();
  return QWidget::eventFilter(watched, event);
}

void F_DatTr::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ResizeForm();
}

// The frame: the window's least size from what every tab needs, the tab control, the three
// tabs and the window's own buttons below them.
void F_DatTr::ResizeForm() {
  Twips t(this);
  const double exitWidth = NeededWidth(ComExit, 1215);
  const double helpWidth = NeededWidth(ComHelp, 1215);
  const double setupWidth = NeededWidth(Command1, 1500);
  double ownButtons = 90 + helpWidth + 120 + exitWidth + 90;
  if (ctx_.state.SpecialSetupMode) ownButtons += setupWidth + 120;
  const double leastWidth =
      Widest({kLeastWidth, ReceiveLeastWidth(*this, t), SendLeastWidth(*this, t),
              SettingsLeastWidth(*this, t), ownButtons,
              t.fromPixels(MainTab->tabBar()->sizeHint().width()) + 150});
  if (minimumWidth() != t.px(leastWidth)) setMinimumWidth(t.px(leastWidth));
  // Laid out at least that wide even before the window system has grown the window.
  t.W = t.fromPixels(std::max(width(), minimumWidth()));
  t.H = t.fromPixels(std::max(height(), minimumHeight()));

  const double buttonRow =  // Help, Exit and, in setup mode, Save setup below the tabs
      std::max(620.0, Widest({t.heightOf(ComExit, 375), t.heightOf(ComHelp, 375),
                              t.heightOf(Command1, 375)}) +
                          245);
  MainTab->setGeometry(t.px(45), t.px(45), t.px(t.W - 90), std::max(t.px(t.H - 45 - buttonRow), 1));
  // When the tab headers are taller than the layout counts on, every page control moves
  // down by the same amount, so nothing overlaps.
  const int pageTop = Fr1->parentWidget()->mapTo(this, QPoint(0, 0)).y();
  t.shift = std::max(0, pageTop + t.px(60) - t.px(kPageTop));
  t.combo = t.fromPixels(ComboDataFormat->sizeHint().height());
  t.box = std::max(t.heightOf(TxFileName, 285), t.fromPixels(TxFileName->sizeHint().height()));

  const double bottom =
      Widest({LayOutReceiveTab(*this, t), LayOutSendTab(*this, t), LayOutSettingsTab(*this, t)});

  const double rowTop = t.H - buttonRow + 90;
  ComExit->setGeometry(t.px(t.W - 90 - exitWidth), t.px(rowTop), t.px(exitWidth),
                       t.px(t.heightOf(ComExit, 375)));
  ComHelp->setGeometry(t.px(t.W - 90 - exitWidth - 120 - helpWidth), t.px(rowTop), t.px(helpWidth),
                       t.px(t.heightOf(ComHelp, 375)));
  if (ctx_.state.SpecialSetupMode) {
    Command1->setGeometry(t.px(90), t.px(rowTop), t.px(setupWidth),
                          t.px(t.heightOf(Command1, 375)));
  }
  // The window never gets so low that a tab's controls leave it.
  const int leastHeight = std::max(t.px(kLeastHeight), t.px(bottom + 240 + buttonRow) + t.shift);
  if (minimumHeight() != leastHeight) setMinimumHeight(leastHeight);
}

}  // namespace korv
