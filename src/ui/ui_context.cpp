// Shared window services: running modal dialogs, the date, the numbered messages.
#include "ui/ui_context.h"

#include <QDialog>

namespace korv {

int DialogRunner::Run(QDialog& dialog) { return dialog.exec(); }

const std::string& UiContext::Msg(int n) const {
  static const std::string empty;
  if (n < 0 || n >= kMessageCount) return empty;
  return state.Messages[static_cast<size_t>(n)];
}

const std::string& UiContext::FileTypeMsg(int n) const {
  static const std::string empty;
  if (n < 0 || n >= kFileTypeMessageCount) return empty;
  return state.FileTypeMessages[static_cast<size_t>(n)];
}

}  // namespace korv
