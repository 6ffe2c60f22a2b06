// The new-file window and EditnewFile.
#include "ui/new_file_dialog.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cerrno>
#include <fstream>

#include "core/file_procs.h"
#include "core/text.h"
#include "ui/dialog_parts.h"
#include "ui/qt_text.h"

namespace korv {

F_EdSdF::F_EdSdF(UiContext& ctx, std::string fileName, bool codeList, QWidget* owner)
    : QDialog(owner), ctx_(ctx), fileName_(std::move(fileName)), codeList_(codeList) {
  setObjectName("F_EdSdF");
  setModal(true);
  setWindowTitle(Q(ctx.Msg(23)));
  for (int i = 0; i < 2; ++i) {
    OpEditNewFile[i] = new QRadioButton(Q(ctx.Msg(24 + i)), this);
    OpEditNewFile[i]->setObjectName(QStringLiteral("OpEditNewFile%1").arg(i));
  }
  ComOK = new QPushButton(Q(ctx.Msg(42)), this);
  ComOK->setObjectName("ComOK");
  ComOK->setDefault(true);
  ComCancel = new QPushButton(Q(ctx.Msg(43)), this);
  ComCancel->setObjectName("ComCancel");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(OpEditNewFile[0]);
  layout->addWidget(OpEditNewFile[1]);
  layout->addLayout(CentredButtonRow({ComOK, ComCancel}));
  connect(ComOK, &QPushButton::clicked, this, [this] { ComOK_Click(); });
  connect(ComCancel, &QPushButton::clicked, this, [this] { ComCancel_Click(); });
}

void F_EdSdF::showEvent(QShowEvent* event) {
  OpEditNewFile[codeList_ ? 1 : 0]->setChecked(true);
  QDialog::showEvent(event);
}

void F_EdSdF::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    ComOK_Click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void F_EdSdF::ComOK_Click() {
  ctx_.state.ActionWord.clear();
  EditnewFile();
}

void F_EdSdF::ComCancel_Click() {
  ctx_.state.ActionWord = "PALI";
  done(QDialog::Rejected);
}

// Escape and the close box (through reject) answer as Cancel: nothing is created.
void F_EdSdF::reject() { ComCancel_Click(); }

void F_EdSdF::EditnewFile() {
  const std::string name = Trim(fileName_);
  if (name.empty()) {
    done(QDialog::Accepted);
    return;
  }
  // A file that holds something already is only opened: nothing the user wrote is replaced.
  const QFileInfo info(Q(name));
  if (!(info.isFile() && info.size() > 0)) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (out && OpEditNewFile[1]->isChecked()) out << kCodeListSkeleton;
    if (out) out.close();
    if (!out) {
      const int code = ErrorCodeFromErrno(errno);
      ctx_.prompts.Message(ErrorDescription(code) + ": " + name, ctx_.Msg(11),
                           MessageIcon::Critical);
      return;
    }
  }
  const AppState& s = ctx_.state;
  const std::string editor =
      !s.ProgramEditor.empty() && s.EditorChoice == 1 ? s.ProgramEditor : std::string();
  const std::string fault = ctx_.prompts.RunEditor(editor, name);
  if (!fault.empty()) {
    ctx_.prompts.Message(fault, ctx_.Msg(11), MessageIcon::Critical);
    return;
  }
  done(QDialog::Accepted);
}

void AskEditNewFile(UiContext& ctx, const std::string& fileName, bool codeList, QWidget* owner) {
  F_EdSdF window(ctx, fileName, codeList, owner);
  ctx.dialogs.Run(window);
}

}  // namespace korv
