#include "ui/recent_downloads_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/key_store.h"
#include "ui/dialog_parts.h"
#include "ui/qt_text.h"

namespace korv {

RecentDownloadsDialog::RecentDownloadsDialog(UiContext& ctx, QWidget* owner)
    : QDialog(owner), entries_(ListJournal(JournalFolder())) {
  setObjectName("RecentDownloads");
  const IniFile ini = IniFile::Load(ctx.state.IniFilePath);
  setWindowTitle(Q(JournalText(ini, "Title")));

  LstDownloads = new QTreeWidget(this);
  LstDownloads->setObjectName("LstDownloads");
  LstDownloads->setAccessibleName(Q(JournalText(ini, "Title")));
  LstDownloads->setRootIsDecorated(false);
  LstDownloads->setHeaderLabels({Q(JournalText(ini, "Date")), Q(JournalText(ini, "Device")),
                                 Q(JournalText(ini, "Lines")), Q(JournalText(ini, "Size"))});
  for (const JournalEntry& e : entries_) {
    auto* item = new QTreeWidgetItem(
        LstDownloads,
        {Q(e.date + " " + e.time), Q(e.device), QString::number(e.lines), QString::number(e.size)});
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
  }
  LstDownloads->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* empty = new QLabel(Q(JournalText(ini, "Empty")), this);
  empty->setVisible(entries_.empty());
  // Said with the list, where the focus is, as well as below it.
  if (entries_.empty()) LstDownloads->setAccessibleDescription(empty->text());

  ComOpen = new QPushButton(Q(JournalText(ini, "Open")), this);
  ComOpen->setObjectName("ComOpen");
  ComOpen->setDefault(true);
  ComOpen->setEnabled(false);
  ComClose = new QPushButton(Q(JournalText(ini, "Close")), this);
  ComClose->setObjectName("ComClose");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LstDownloads);
  layout->addWidget(empty);
  layout->addLayout(RightButtonRow({ComOpen, ComClose}));
  resize(560, 320);

  connect(LstDownloads, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { ComOpen->setEnabled(item != nullptr); });
  connect(LstDownloads, &QTreeWidget::itemActivated, this, [this] { ComOpen_Click(); });
  connect(ComOpen, &QPushButton::clicked, this, [this] { ComOpen_Click(); });
  connect(ComClose, &QPushButton::clicked, this, [this] { reject(); });
  if (!entries_.empty()) LstDownloads->setCurrentItem(LstDownloads->topLevelItem(0));
}

void RecentDownloadsDialog::ComOpen_Click() {
  const int row = LstDownloads->indexOfTopLevelItem(LstDownloads->currentItem());
  if (row < 0) return;
  chosen_ = entries_[static_cast<size_t>(row)].path;
  accept();
}

std::optional<std::string> ShowRecentDownloads(UiContext& ctx) {
  RecentDownloadsDialog dialog(ctx, ctx.mainWindow);
  ctx.dialogs.Run(dialog);
  return dialog.chosen();
}

}  // namespace korv
