// The special setup editor F_stp: its boxes, their enabling by target kind, the font button and
// OK putting the edit on the target at once.
#include "ui/setup_editor.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>

#include "core/control_records.h"
#include "core/key_store.h"
#include "core/numbers.h"
#include "core/program_texts.h"
#include "core/settings.h"
#include "core/text.h"
#include "ui/control_binder.h"
#include "ui/dialog_parts.h"
#include "ui/qt_text.h"

namespace korv {

namespace {

template <typename T>
T* Make(QWidget* parent, const char* name, const QString& text = {}) {
  auto* w = new T(parent);
  w->setObjectName(QString::fromLatin1(name));
  if constexpr (!std::is_same_v<T, QLineEdit>) {
    if (!text.isEmpty()) w->setText(text);
  }
  return w;
}

}  // namespace

F_stp::F_stp(UiContext& ctx, QWidget* target, QWidget* owner)
    : QDialog(owner), ctx_(ctx), target_(target) {
  setObjectName("F_stp");
  const IniFile ini = IniFile::Load(ctx.state.IniFilePath);
  const auto text = [&ini](const char* key) { return Q(ProgramText(ini, key)); };
  setWindowTitle(text("SetupTitle"));
  LbCaption = Make<QLabel>(this, "LbCaption", text("SetupCaption"));
  LbToolTip = Make<QLabel>(this, "LbToolTip", text("SetupToolTip"));
  LbFontName = Make<QLabel>(this, "LbFontName", text("SetupFontName"));
  LbFontSize = Make<QLabel>(this, "LbFontSize", text("SetupFontSize"));
  TxCaption = Make<QLineEdit>(this, "TxCaption");
  TxToolTip = Make<QLineEdit>(this, "TxToolTip");
  TxFontName = Make<QLineEdit>(this, "TxFontName");
  TxFontSize = Make<QLineEdit>(this, "TxFontSize");
  ChkFontBold = Make<QCheckBox>(this, "ChkFontBold", text("SetupBold"));
  ChkFontItalic = Make<QCheckBox>(this, "ChkFontItalic", text("SetupItalic"));
  ComFont = Make<QPushButton>(this, "ComFont", QStringLiteral("..."));
  ComOK = Make<QPushButton>(this, "ComOK", text("OK"));
  ComCancel = Make<QPushButton>(this, "ComCancel", text("Cancel"));
  ComFont->setAccessibleName(text("ChooseFont"));
  ComOK->setDefault(true);
  SetBuddy(LbCaption, TxCaption);
  SetBuddy(LbToolTip, TxToolTip);
  SetBuddy(LbFontName, TxFontName);
  SetBuddy(LbFontSize, TxFontSize);
  TxCaption->setMinimumWidth(TwipsToPixels(4200, this));

  auto* grid = new QGridLayout;
  grid->addWidget(LbCaption, 0, 0);
  grid->addWidget(TxCaption, 0, 1, 1, 3);
  grid->addWidget(LbToolTip, 1, 0);
  grid->addWidget(TxToolTip, 1, 1, 1, 3);
  grid->addWidget(LbFontName, 2, 0);
  grid->addWidget(TxFontName, 2, 1, 1, 2);
  grid->addWidget(ComFont, 2, 3);
  grid->addWidget(LbFontSize, 3, 0);
  grid->addWidget(TxFontSize, 3, 1);
  grid->addWidget(ChkFontBold, 3, 2);
  grid->addWidget(ChkFontItalic, 3, 3);
  grid->setColumnStretch(2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(RightButtonRow({ComOK, ComCancel}));
  setTabOrder(TxCaption, TxToolTip);
  setTabOrder(TxToolTip, TxFontName);
  setTabOrder(TxFontName, ComFont);
  setTabOrder(ComFont, TxFontSize);
  setTabOrder(TxFontSize, ChkFontBold);
  setTabOrder(ChkFontBold, ChkFontItalic);
  setTabOrder(ChkFontItalic, ComOK);
  setTabOrder(ComOK, ComCancel);

  connect(ComFont, &QPushButton::clicked, this, [this] { ComFont_Click(); });
  connect(ComOK, &QPushButton::clicked, this, [this] { ComOK_Click(); });
  connect(ComCancel, &QPushButton::clicked, this, [this] { ComCancel_Click(); });
}

void F_stp::showEvent(QShowEvent* event) {
  Activate();
  QDialog::showEvent(event);
}

void F_stp::Activate() {
  const int kind = ctx_.state.SetupTargetKind;
  const QWidget* target = target_.data();
  TxCaption->setEnabled(kind != 1);
  TxCaption->setText(kind == 1 ? QString() : Q(CaptionOf(target)));
  const bool fonts = kind != 4;
  TxToolTip->setEnabled(fonts);
  TxToolTip->setText(fonts && target ? target->toolTip() : QString());
  for (QWidget* w : {static_cast<QWidget*>(TxFontName), static_cast<QWidget*>(TxFontSize),
                     static_cast<QWidget*>(ChkFontBold), static_cast<QWidget*>(ChkFontItalic),
                     static_cast<QWidget*>(ComFont)}) {
    w->setEnabled(fonts);
  }
  const QFont font = target ? target->font() : QFont();
  TxFontName->setText(font.family());
  TxFontSize->setText(Q(FormatPicture(font.pointSizeF(), "0.00")));
  ChkFontBold->setChecked(font.bold());
  ChkFontItalic->setChecked(font.italic());
  (kind == 1 ? TxToolTip : TxCaption)->setFocus();
}

void F_stp::ComFont_Click() {
  FontChoice font;
  font.name = TxFontName->text().toStdString();
  const double size = LeadingNumber(TxFontSize->text().toStdString());
  font.size = std::clamp(size > 0 ? size : 8.25, 4.0, kMaxFontSize);
  font.bold = ChkFontBold->isChecked();
  font.italic = ChkFontItalic->isChecked();
  if (!ctx_.prompts.ChooseFont(font)) return;
  if (!Trim(font.name).empty()) TxFontName->setText(Q(font.name));
  TxFontSize->setText(Q(GeneralNumber(std::clamp(font.size, 4.0, kMaxFontSize))));
  ChkFontBold->setChecked(font.bold);
  ChkFontItalic->setChecked(font.italic);
}

void F_stp::ComOK_Click() {
  AppState& s = ctx_.state;
  QWidget* target = target_.data();
  const int kind = s.SetupTargetKind;
  // Only a known record is kept for saving; a widget without one changes on screen only.
  ControlTexts* texts = FindControlRecord(s.SetupTarget) ? &TextsOf(s, s.SetupTarget) : nullptr;
  if (target) {
    // An empty caption would make the next start refuse the whole settings file.
    const std::string caption = TxCaption->text().toStdString();
    if (kind != 1 && !caption.empty()) {
      SetCaption(target, caption);
      if (texts) texts->caption = caption;
    }
    if (kind != 4) {
      target->setToolTip(TxToolTip->text());
      QFont font = target->font();
      const std::string name = TxFontName->text().toStdString();
      if (!Trim(name).empty()) font.setFamily(Q(name));
      const double size = LeadingNumber(TxFontSize->text().toStdString());
      // Only a size the settings file can load again is taken.
      if (LoadableFontSize(size)) font.setPointSizeF(size);
      font.setBold(ChkFontBold->isChecked());
      font.setItalic(ChkFontItalic->isChecked());
      target->setFont(font);
      if (texts) {
        texts->toolTip = TxToolTip->text().toStdString();
        texts->fontName = font.family().toStdString();
        texts->fontSize = font.pointSizeF();
        texts->fontBold = font.bold();
        texts->fontItalic = font.italic();
      }
    }
    // Show the change at once: a free label takes its new size, and the window lays itself
    // out again as after a resize.
    if (auto* label = qobject_cast<QLabel*>(target);
        label && label->parentWidget() && !label->parentWidget()->layout()) {
      label->adjustSize();
    }
    if (QWidget* window = target->window()) {
      QResizeEvent relayout(window->size(), window->size());
      QCoreApplication::sendEvent(window, &relayout);
    }
  }
  hide();
  accept();
}

void F_stp::ComCancel_Click() {
  hide();
  QDialog::reject();
}

void F_stp::reject() { ComCancel_Click(); }

}  // namespace korv
