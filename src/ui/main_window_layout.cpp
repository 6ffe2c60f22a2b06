// The main window's layout (ResizeForm): every control placed in twips from the window's size
// and from what the controls' texts need. The design's places and sizes are the least a control
// gets; a longer translated caption or a larger font makes the control, its frame and the
// window larger instead of cutting the text.
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
#include <algorithm>
#include <initializer_list>

#include "ui/control_binder.h"
#include "ui/f_dattr.h"

namespace korv {

namespace {

// The least window of the design (twips), whatever its texts.
constexpr double kLeastWidth = 6300;
constexpr double kLeastHeight = 5400;

double Widest(std::initializer_list<double> widths) { return std::max(widths); }

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

void F_DatTr::ResizeForm() {
  auto px = [this](double twips) { return TwipsToPixels(twips, this); };
  // What a control's text needs across, in twips.
  auto text = [this](const QWidget* w) { return PixelsToTwips(TextRoom(w).width(), this); };
  auto heightOf = [](const QWidget* w, double fallback) { return NeededHeight(w, fallback); };
  // A button's recorded width, no wider than `room` unless its text needs more.
  auto widthOf = [&text](const QWidget* w, double fallback, double room) {
    return std::max(std::min(NeededWidth(w, fallback), room), text(w));
  };
  // The first row of a frame: at the design's place, or below a taller title.
  auto firstRow = [this](const QGroupBox* frame, double design) {
    return std::max(design, PixelsToTwips(frame->fontMetrics().height(), this) + 60);
  };

  // ---- The least width every tab's texts need ----
  // Receive tab: two frames side by side, each half the window less 210 twips.
  const double sourceSide = Widest({text(OpSourse[0]), text(OpSourse[1]), text(ComFileName),
                                    text(OpReceive[0]), text(OpReceive[1]), text(OpReceive[2])}) +
                            240;
  const double labelWidth = std::max(text(LbDataFormat), text(LbFileName)) + 60;
  const double fieldNeeded =
      std::max(std::max(text(ComSaveSetings), text(ComSaveBrowse)) + 120 + text(ComboDataFormat),
               text(CheckOrigDF));
  const double dlnWidth = NeededWidth(ComDLN, 1815);
  const double receiveActions = Widest({text(ComDLN), text(ComConv), text(ComViewFile)});
  // Send tab: one frame across the window.
  const double sendButtonText = std::max(text(ComSettingSend), text(ComBrowseSend));
  const double sendInnerNeeded = Widest({sendButtonText + 120 + text(ComboDataFormatSend),
                                         text(LbDataFormaSend), text(LbFileNameSend)});
  const double sendActions = Widest({text(ComEditSend), text(ComSend)});
  // Settings tab: labels and lists of the link frame; the coordinate and editor frames.
  double commLabel = text(StLbDevice);
  double commBox = std::max(text(StCombDevice), text(StLbComm[5]));
  for (size_t i = 0; i < 4; ++i) {
    commLabel = std::max(commLabel, text(StLbComm[i]));
    commBox = std::max(commBox, text(StCombComm[i]));
  }
  commLabel = std::max(commLabel, text(StLbComm[4])) + 60;
  double settingsSide =
      Widest({(commBox + 240) / 0.55, commBox + 240 + commLabel, 2 * text(ComEditorBrowse) + 330});
  for (size_t i = 0; i < 2; ++i) {
    settingsSide = Widest({settingsSide, text(StLbCoord[i]) + 240, text(StCombCoord[i]) + 240,
                           text(StOpEditor[i]) + 240});
  }
  // Every frame's title; the tab captions; the window's own buttons.
  const double side = Widest({sourceSide, settingsSide, text(Fr1), text(Fr2), text(StFrComm),
                              text(StFrCoord), text(StFrEditor)});
  const double exitWidth = NeededWidth(ComExit, 1215);
  const double helpWidth = NeededWidth(ComHelp, 1215);
  const double setupWidth = NeededWidth(Command1, 1500);
  double ownButtons = 90 + helpWidth + 120 + exitWidth + 90;
  if (ctx_.state.SpecialSetupMode) ownButtons += setupWidth + 120;
  const double leastWidth = Widest(
      {kLeastWidth, 2 * (side + 210), 480 + labelWidth + fieldNeeded, 480 + sendInnerNeeded,
       2 * (std::max(receiveActions, sendActions) + 60) + 240, text(Fr3) + 240, text(FrSend) + 240,
       ownButtons, PixelsToTwips(MainTab->tabBar()->sizeHint().width(), this) + 150});
  if (minimumWidth() != px(leastWidth)) setMinimumWidth(px(leastWidth));
  // Laid out at least that wide even before the window system has grown the window.
  const double W = PixelsToTwips(std::max(width(), minimumWidth()), this);
  const double H = PixelsToTwips(std::max(height(), minimumHeight()), this);

  // Places a widget of a frame, in twips from the frame's corner.
  auto inFrame = [&](QWidget* w, double l, double t, double wd, double h) {
    w->setGeometry(px(l), px(t), std::max(px(wd), 1), std::max(px(h), 1));
  };
  const double buttonRow =  // Help, Exit and, in setup mode, Save setup below the tabs
      std::max(
          620.0,
          Widest({heightOf(ComExit, 375), heightOf(ComHelp, 375), heightOf(Command1, 375)}) + 245);
  MainTab->setGeometry(px(45), px(45), px(W - 90), std::max(px(H - 45 - buttonRow), 1));
  // When the tab headers are taller than the 380 twips the layout counts on, every page
  // control moves down by the same amount, so nothing overlaps.
  const int pageTop = Fr1->parentWidget()->mapTo(this, QPoint(0, 0)).y();
  const int shift = std::max(0, pageTop + px(60) - px(380));
  // Places a widget of a tab page, in twips from the window's corner.
  auto onPage = [&](QWidget* w, double l, double t, double wd, double h) {
    const QPoint offset = w->parentWidget()->mapTo(this, QPoint(0, 0));
    w->setGeometry(px(l) - offset.x(), px(t) + shift - offset.y(), std::max(px(wd), 1),
                   std::max(px(h), 1));
  };

  // Receive tab: two frames side by side, the output frame across the width below them.
  const double half = W / 2;
  const double sideWidth = half - 210;
  double y = firstRow(Fr1, 330);
  inFrame(OpSourse[0], 120, y, sideWidth - 240, heightOf(OpSourse[0], 255));
  y += heightOf(OpSourse[0], 255) + 90;
  inFrame(OpSourse[1], 120, y, sideWidth - 240, heightOf(OpSourse[1], 255));
  y += heightOf(OpSourse[1], 255) + 90 + 60;
  inFrame(ComFileName, 120, y, sideWidth - 240, heightOf(ComFileName, 375));
  double frameBottom = y + heightOf(ComFileName, 375);
  y = firstRow(Fr2, 330);
  for (size_t i = 0; i < 3; ++i) {
    inFrame(OpReceive[i], 120, y, sideWidth - 240, heightOf(OpReceive[i], 255));
    frameBottom = std::max(frameBottom, y + heightOf(OpReceive[i], 255));
    y += heightOf(OpReceive[i], 255) + 150;
  }
  const double frameHeight = std::max(1650.0, frameBottom + 120);
  onPage(Fr1, 90, 380, sideWidth, frameHeight);
  onPage(Fr2, half + 60, 380, sideWidth, frameHeight);
  // The output frame: format row, copy box, file name row; labels left of their boxes.
  const double fr3Top = std::max(2100.0, 380 + frameHeight + 70);
  const double fr3Width = W - 240;
  const double inner = fr3Width - 240;
  const double combo = PixelsToTwips(ComboDataFormat->sizeHint().height(), this);
  const double box =
      std::max(heightOf(TxFileName, 285), PixelsToTwips(TxFileName->sizeHint().height(), this));
  const double field = inner - labelWidth;
  // The buttons take at most a third of the field, and never what the list's entries need.
  const double buttonRoom = std::min(field / 3, field - 120 - text(ComboDataFormat));
  const double buttonWidth =
      std::max(widthOf(ComSaveSetings, 1215, buttonRoom), widthOf(ComSaveBrowse, 1215, buttonRoom));
  const double formatTop = firstRow(Fr3, 300);
  const double formatRow = std::max(combo, heightOf(ComSaveSetings, 375));
  inFrame(LbDataFormat, 120, formatTop + (formatRow - heightOf(LbDataFormat, 255)) / 2,
          labelWidth - 60, heightOf(LbDataFormat, 255));
  inFrame(ComboDataFormat, 120 + labelWidth, formatTop + (formatRow - combo) / 2,
          field - buttonWidth - 120, combo);
  inFrame(ComSaveSetings, 120 + inner - buttonWidth, formatTop, buttonWidth, formatRow);
  const double checkTop = formatTop + formatRow + 90;
  inFrame(CheckOrigDF, 120 + labelWidth, checkTop, field, heightOf(CheckOrigDF, 255));
  const double boxTop = checkTop + heightOf(CheckOrigDF, 255) + 90;
  const double fileRow = std::max(box, heightOf(ComSaveBrowse, 375));
  inFrame(LbFileName, 120, boxTop + (fileRow - heightOf(LbFileName, 255)) / 2, labelWidth - 60,
          heightOf(LbFileName, 255));
  inFrame(TxFileName, 120 + labelWidth, boxTop + (fileRow - box) / 2, field - buttonWidth - 120,
          box);
  inFrame(ComSaveBrowse, 120 + inner - buttonWidth, boxTop, buttonWidth, fileRow);
  const double fr3Height = boxTop + fileRow + 150;
  onPage(Fr3, 90, fr3Top, fr3Width, fr3Height);
  const double actionTop = fr3Top + fr3Height + 150;
  const double actionRoom = (W - 240) / 2 - 60;
  const double actionWidth = widthOf(ComDLN, 1815, actionRoom);
  onPage(ComDLN, 90, actionTop, actionWidth, heightOf(ComDLN, 375));
  onPage(ComConv, 90, actionTop, widthOf(ComConv, 1815, actionRoom), heightOf(ComConv, 375));
  const double viewWidth = widthOf(ComViewFile, 1815, actionRoom);
  onPage(ComViewFile, W - 150 - viewWidth, actionTop, viewWidth, heightOf(ComViewFile, 375));
  const double receiveBottom = actionTop + Widest({heightOf(ComDLN, 375), heightOf(ComConv, 375),
                                                   heightOf(ComViewFile, 375)});

  // Send tab: one frame across the width, the action buttons below it.
  const double sendInner = W - 240 - 240;
  const double sendRoom = std::min(sendInner / 3, sendInner - 120 - text(ComboDataFormatSend));
  const double sendButton =
      std::max(widthOf(ComSettingSend, 1215, sendRoom), widthOf(ComBrowseSend, 1215, sendRoom));
  // A label over a field with its button at the right; returns where the row ends.
  auto labelledRow = [&](QWidget* label, QWidget* field, double fieldHeight, QWidget* button,
                         double top) {
    inFrame(label, 120, top, sendInner, heightOf(label, 255));
    const double rowTop = top + heightOf(label, 255) + 30;
    const double row = std::max(fieldHeight, heightOf(button, 375));
    inFrame(field, 120, rowTop, sendInner - sendButton - 120, fieldHeight);
    inFrame(button, 120 + sendInner - sendButton, rowTop, sendButton, row);
    return rowTop + row;
  };
  const double formatEnd = labelledRow(LbDataFormaSend, ComboDataFormatSend, combo,
                                       ComSettingSend, firstRow(FrSend, 300));
  const double fileEnd =
      labelledRow(LbFileNameSend, TxFileNameSend, box, ComBrowseSend, formatEnd + 180);
  const double frSendHeight = fileEnd + 180;
  onPage(FrSend, 90, 380, W - 240, frSendHeight);
  const double sendActionTop = 380 + frSendHeight + 150;
  // Both buttons as wide as Download, or as their texts need.
  const double sendActionWidth = std::max(std::min(dlnWidth, actionRoom), sendActions);
  onPage(ComEditSend, 90, sendActionTop, sendActionWidth, heightOf(ComEditSend, 375));
  onPage(ComSend, W - 150 - sendActionWidth, sendActionTop, sendActionWidth,
         heightOf(ComSend, 375));
  const double sendBottom =
      sendActionTop + std::max(heightOf(ComEditSend, 375), heightOf(ComSend, 375));

  // Settings tab: link settings on the left, coordinates and editor on the right. The labels
  // take 45 % of the link frame, or what the widest needs.
  const double rowLabel = std::max(sideWidth * 0.45, commLabel);
  const double listWidth = sideWidth - 240 - rowLabel;
  y = firstRow(StFrComm, 300);
  for (size_t i = 0; i < 4; ++i) {
    inFrame(StLbComm[i], 120, y + 30, rowLabel - 60, heightOf(StLbComm[i], 255));
    inFrame(StCombComm[i], 120 + rowLabel, y, listWidth, combo);
    y += std::max(combo, heightOf(StLbComm[i], 255) + 30) + 90;
    if (i == 0) {
      // The device the port opens, right under the port list.
      inFrame(StLbDevice, 120, y + 30, rowLabel - 60, heightOf(StLbDevice, 255));
      inFrame(StCombDevice, 120 + rowLabel, y, listWidth, combo);
      y += std::max(combo, heightOf(StLbDevice, 255) + 30) + 90;
    }
  }
  // The fixed settings wrap, in at least the two lines of the design.
  const double recordedFixed = RecordedHeight(StLbComm[5], 0);
  const double fixedHeight = std::max(2 * (recordedFixed > 0 ? recordedFixed : 255),
                                      NeededHeight(StLbComm[5], 0, listWidth));
  inFrame(StLbComm[4], 120, y + 30, rowLabel - 60, heightOf(StLbComm[4], 255));
  inFrame(StLbComm[5], 120 + rowLabel, y + 30, listWidth, fixedHeight);
  const double commHeight = y + 30 + std::max(fixedHeight, heightOf(StLbComm[4], 255)) + 150;
  onPage(StFrComm, 90, 380, sideWidth, commHeight);
  y = firstRow(StFrCoord, 300);
  for (size_t i = 0; i < 2; ++i) {
    inFrame(StLbCoord[i], 120, y, sideWidth - 240, heightOf(StLbCoord[i], 255));
    y += heightOf(StLbCoord[i], 255) + 30;
    inFrame(StCombCoord[i], 120, y, sideWidth - 240, combo);
    y += combo + 90;
  }
  onPage(StFrCoord, half + 60, 380, sideWidth, y + 90);
  const double editorTop = 380 + y + 90 + 120;
  double ey = firstRow(StFrEditor, 300);
  for (size_t i = 0; i < 2; ++i) {
    inFrame(StOpEditor[i], 120, ey, sideWidth - 240, heightOf(StOpEditor[i], 255));
    ey += heightOf(StOpEditor[i], 255) + 60;
  }
  const double editorBrowse = widthOf(ComEditorBrowse, 1215, (sideWidth - 240) / 3);
  const double editorRow = std::max(box, heightOf(ComEditorBrowse, 375));
  inFrame(TxEditor, 120, ey, sideWidth - 240 - editorBrowse - 90, box);
  inFrame(ComEditorBrowse, sideWidth - 120 - editorBrowse, ey, editorBrowse, editorRow);
  const double editorHeight = ey + editorRow + 150;
  onPage(StFrEditor, half + 60, editorTop, sideWidth, editorHeight);
  const double settingsBottom = std::max(380 + commHeight, editorTop + editorHeight);

  // The window's own buttons below the tabs.
  const double rowTop = H - buttonRow + 90;
  ComExit->setGeometry(px(W - 90 - exitWidth), px(rowTop), px(exitWidth),
                       px(heightOf(ComExit, 375)));
  ComHelp->setGeometry(px(W - 90 - exitWidth - 120 - helpWidth), px(rowTop), px(helpWidth),
                       px(heightOf(ComHelp, 375)));
  if (ctx_.state.SpecialSetupMode) {
    Command1->setGeometry(px(90), px(rowTop), px(setupWidth), px(heightOf(Command1, 375)));
  }
  // The window never gets so low that a tab's controls leave it.
  const double bottom = Widest({receiveBottom, sendBottom, settingsBottom});
  const int leastHeight = std::max(px(kLeastHeight), px(bottom + 240 + buttonRow) + shift);
  if (minimumHeight() != leastHeight) setMinimumHeight(leastHeight);
}

}  // namespace korv
