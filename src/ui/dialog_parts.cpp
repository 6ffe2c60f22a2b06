// Small building blocks that several windows and dialogs share.
#include "ui/dialog_parts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

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
  for (size_t r = 0; r < rows.size(); ++r) {
    const double top = 336 + 336 * static_cast<double>(r);
    rows[r][0]->move(px(144), px(top));
    rows[r][1]->move(px(1752), px(top));
  }
  FitLinkSettingRows(rows);
  frame->setMinimumHeight(px(336 * 6 + 60));
  frame->setMinimumWidth(px(1752 + 1800));
}

void FitLinkSettingRows(const LinkSettingRows& rows) {
  for (const auto& row : rows) {
    row[0]->adjustSize();
    row[1]->adjustSize();
  }
}

void FillLinkSettingValues(const LinkSettingRows& rows, const MainWindowModel& model) {
  rows[0][1]->setText(QString::fromStdString(SelectedText(model.stCombComm[1])));
  rows[1][1]->setText(QString::fromStdString(SelectedText(model.stCombComm[2])));
  rows[2][1]->setText(QStringLiteral("None"));
  rows[3][1]->setText(QStringLiteral("1"));
  rows[4][1]->setText(QString::fromStdString(SelectedText(model.stCombComm[3])));
  for (const auto& row : rows) row[1]->adjustSize();
}

}  // namespace korv
