// Small building blocks that several windows and dialogs share.
#include "ui/dialog_parts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QSignalBlocker>
#include <algorithm>

#include "core/key_store.h"
#include "core/program_texts.h"
#include "ui/control_binder.h"

namespace korv {

QHBoxLayout* RightButtonRow(std::initializer_list<QWidget*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QWidget* button : buttons) row->addWidget(button);
  return row;
}

QHBoxLayout* CentredButtonRow(std::initializer_list<QWidget*> buttons) {
  QHBoxLayout* row = RightButtonRow(buttons);
  row->addStretch();
  return row;
}

QString YieldAccessKey(const QString& caption, const QList<QLabel*>& labels) {
  const QKeySequence key = QKeySequence::mnemonic(caption);
  if (key.isEmpty()) return caption;
  for (const QLabel* label : labels) {
    if (QKeySequence::mnemonic(label->text()) != key) continue;
    // The "&" before the key letter goes; a doubled "&&", which shows one "&", stays.
    for (qsizetype at = caption.indexOf(QLatin1Char('&')); at >= 0 && at + 1 < caption.size();
         at = caption.indexOf(QLatin1Char('&'), at + 2)) {
      if (caption[at + 1] != QLatin1Char('&')) return QString(caption).remove(at, 1);
    }
  }
  return caption;
}

void CheckQuietly(QAbstractButton* button) {
  const QSignalBlocker quiet(button);
  button->setChecked(true);
}

std::string SelectedText(const ListModel& list) {
  if (list.selected < 0 || list.selected >= list.Count()) return {};
  return list.entries[static_cast<size_t>(list.selected)];
}

LinkSettingRows MakeLinkSettingRows(QGroupBox* frame, const QString& prefix) {
  const char* names[5] = {"LbBaundRate", "LbDataBits", "LbParity", "LbStopBit", "LbFlowControl"};
  LinkSettingRows rows{};
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t i = 0; i < 2; ++i) {
      auto* label = new QLabel(frame);
      label->setObjectName(prefix + QString::fromLatin1(names[r]) + (i ? "1" : ""));
      rows[r][i] = label;
    }
  }
  return rows;
}

void PlaceLinkSettingRows(QGroupBox* frame, const LinkSettingRows& rows) {
  auto px = [frame](double twips) { return TwipsToPixels(twips, frame); };
  int nameWidth = 0, valueWidth = 0, lineHeight = 0;
  for (const auto& row : rows) {
    row[0]->adjustSize();
    row[1]->adjustSize();
    nameWidth = std::max(nameWidth, row[0]->width());
    valueWidth = std::max(valueWidth, row[1]->width());
    lineHeight = std::max({lineHeight, row[0]->height(), row[1]->height()});
  }
  // Below the frame's title, values right of the widest name, lines apart by their height.
  auto tw = [frame](int pixels) { return PixelsToTwips(pixels, frame); };
  const double first = std::max(336.0, tw(frame->fontMetrics().height()) + 60);
  const double step = std::max(336.0, tw(lineHeight) + 60);
  const double valueLeft = std::max(1752.0, 144 + tw(nameWidth) + 120);
  for (size_t r = 0; r < rows.size(); ++r) {
    const double top = first + step * static_cast<double>(r);
    rows[r][0]->move(px(144), px(top));
    rows[r][1]->move(px(valueLeft), px(top));
  }
  frame->setMinimumHeight(px(first + step * static_cast<double>(rows.size()) + 60));
  frame->setMinimumWidth(std::max(px(1752 + 1800), px(valueLeft + 144) + valueWidth));
}

void FitLinkSettingRows(const LinkSettingRows& rows) {
  if (auto* frame = qobject_cast<QGroupBox*>(rows[0][0]->parentWidget())) {
    PlaceLinkSettingRows(frame, rows);
  }
}

QString NoParityText(const AppState& state) {
  return QString::fromStdString(ProgramText(IniFile::Load(state.IniFilePath), "NoParity"));
}

void FillLinkSettingValues(const LinkSettingRows& rows, const AppState& state) {
  const MainWindowModel& model = state.mainWindow;
  rows[0][1]->setText(QString::fromStdString(SelectedText(model.stCombComm[1])));
  rows[1][1]->setText(QString::fromStdString(SelectedText(model.stCombComm[2])));
  rows[2][1]->setText(NoParityText(state));
  rows[3][1]->setText(QStringLiteral("1"));
  rows[4][1]->setText(QString::fromStdString(SelectedText(model.stCombComm[3])));
  FitLinkSettingRows(rows);
}

}  // namespace korv
