// "Recent downloads": the download journal, newest first (date, device, lines, size), from
// which one download is opened as the file to convert. Every text comes from the settings
// file's "[Journal]".
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "core/journal.h"
#include "ui/ui_context.h"

class QPushButton;
class QTreeWidget;

namespace korv {

class RecentDownloadsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit RecentDownloadsDialog(UiContext& ctx, QWidget* owner = nullptr);
  // The download chosen with Open (or a double click); nothing after Close.
  const std::optional<std::string>& chosen() const { return chosen_; }

  QTreeWidget* LstDownloads;
  QPushButton* ComOpen;
  QPushButton* ComClose;

 private:
  void ComOpen_Click();

  std::vector<JournalEntry> entries_;
  std::optional<std::string> chosen_;
};

// Shows the dialog modally through ctx.dialogs; the path of the download opened, if any.
std::optional<std::string> ShowRecentDownloads(UiContext& ctx);

}  // namespace korv
