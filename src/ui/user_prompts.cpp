// Qt implementation of the user prompts, and the translation of the settings file's file
// dialog filters into Qt's.
#include "ui/user_prompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/text.h"
#include "ui/qt_text.h"

namespace korv {

namespace {

struct FilterPair {
  std::string name;
  std::vector<std::string> patterns;
};

std::vector<FilterPair> SplitFilter(const std::string& pairs) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : pairs) {
    if (c == '|') {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  std::vector<FilterPair> result;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FilterPair pair;
    pair.name = parts[i];
    std::string pattern;
    for (char c : parts[i + 1] + ";") {
      if (c == ';' || c == ' ') {
        std::string p = Trim(pattern);
        // "*.*" means every file, with or without an extension.
        if (p == "*.*") p = "*";
        if (!p.empty()) pair.patterns.push_back(p);
        pattern.clear();
      } else {
        pattern += c;
      }
    }
    if (pair.name.empty() && pair.patterns.empty()) continue;
    if (pair.patterns.empty()) pair.patterns.push_back("*");
    result.push_back(pair);
  }
  return result;
}

std::string QtPair(const FilterPair& pair) {
  std::string text = pair.name + " (";
  for (size_t i = 0; i < pair.patterns.size(); ++i) {
    if (i) text += ' ';
    text += pair.patterns[i];
  }
  return text + ")";
}

QFileDialog::Options DialogOptions() {
  // The user's own filter names already hold their patterns; Qt's appended pattern list
  // only serves the matching.
  return QFileDialog::HideNameFilterDetails | QFileDialog::DontConfirmOverwrite;
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                         QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, Q(request.title), Q(request.folder));
  dialog.setOptions(DialogOptions());
  dialog.setAcceptMode(mode);
  const bool anyName = mode == QFileDialog::AcceptSave || request.newNameAllowed;
  dialog.setFileMode(anyName ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const std::string filter = QtFileFilter(request.filter);
  if (!filter.empty()) {
    dialog.setNameFilters(Q(filter).split(QStringLiteral(";;")));
    dialog.selectNameFilter(Q(QtFileFilterAt(request.filter, request.filterIndex)));
  }
  if (!request.fileName.empty()) dialog.selectFile(Q(request.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::string QtFileFilter(const std::string& pairs) {
  std::string text;
  for (const FilterPair& pair : SplitFilter(pairs)) {
    if (!text.empty()) text += ";;";
    text += QtPair(pair);
  }
  return text;
}

std::string QtFileFilterAt(const std::string& pairs, int index) {
  const std::vector<FilterPair> list = SplitFilter(pairs);
  if (list.empty()) return {};
  if (index < 1 || index > static_cast<int>(list.size())) index = 1;
  return QtPair(list[index - 1]);
}

MessageAnswer QtUserPrompts::Message(const std::string& text, const std::string& title,
                                     MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(parent_);
  QString body = Q(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box.setText(body);
  box.setWindowTitle(Q(title));
  switch (icon) {
    case MessageIcon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  switch (buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    default:
      return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
  }
}

std::optional<std::string> QtUserPrompts::OpenFile(const FileDialogRequest& request) {
  return RunFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtUserPrompts::SaveFile(const FileDialogRequest& request) {
  return RunFileDialog(parent_, request, QFileDialog::AcceptSave);
}

bool QtUserPrompts::ChooseFont(FontChoice& font) {
  QFont initial(Q(font.name));
  initial.setPointSizeF(font.size > 0 ? font.size : 8.25);
  initial.setBold(font.bold);
  initial.setItalic(font.italic);
  QFontDialog dialog(initial, parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  QFont chosen = dialog.selectedFont();
  double size = chosen.pointSizeF();
  if (size < 4) size = 4;
  if (size > 100) size = 100;
  if (!chosen.family().trimmed().isEmpty()) font.name = chosen.family().toStdString();
  font.size = size;
  font.bold = chosen.bold();
  font.italic = chosen.italic();
  return true;
}

void QtUserPrompts::Beep() { QApplication::beep(); }

std::string QtUserPrompts::RunEditor(const std::string& editor, const std::string& path) {
  if (editor.empty()) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)))) return {};
    return FaultText("CannotOpen", path);
  }
  if (QProcess::startDetached(Q(editor), {Q(path)})) return {};
  return FaultText("EditorNotFound", editor);
}

std::string QtUserPrompts::FaultText(const char* key, const std::string& value) const {
  return Q(ProgramText(IniFile::Load(settingsFile_), key)).arg(Q(value)).toStdString();
}

bool QtUserPrompts::OpenDocument(const std::string& target) {
  const QString text = Q(target);
  const QUrl url = text.contains(QStringLiteral("://")) ? QUrl(text) : QUrl::fromLocalFile(text);
  return QDesktopServices::openUrl(url);
}

}  // namespace korv
