// Control records onto widgets and back.
#include "ui/control_binder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVariant>
#include <algorithm>
#include <cmath>

#include "core/settings.h"
#include "ui/qt_text.h"

namespace korv {

namespace {

constexpr const char* kHeightProperty = "korvTwipsHeight";
constexpr const char* kWidthProperty = "korvTwipsWidth";

double LogicalDpi(const QWidget* reference) {
  if (reference) return reference->logicalDpiX();
  if (QScreen* screen = QApplication::primaryScreen()) return screen->logicalDotsPerInchX();
  return 96.0;
}

bool HasCaption(ControlRecordKind kind) {
  return kind == ControlRecordKind::Captioned || kind == ControlRecordKind::Window ||
         kind == ControlRecordKind::TextBox;
}

}  // namespace

int TwipsToPixels(double twips, const QWidget* reference) {
  return static_cast<int>(std::lround(twips * LogicalDpi(reference) / 1440.0));
}

double PixelsToTwips(int pixels, const QWidget* reference) {
  return pixels * 1440.0 / LogicalDpi(reference);
}

std::string CaptionOf(const QWidget* widget) {
  if (!widget) return {};
  if (widget->isWindow()) return widget->windowTitle().toStdString();
  if (auto* b = qobject_cast<const QAbstractButton*>(widget)) return b->text().toStdString();
  if (auto* l = qobject_cast<const QLabel*>(widget)) return l->text().toStdString();
  if (auto* g = qobject_cast<const QGroupBox*>(widget)) return g->title().toStdString();
  if (auto* e = qobject_cast<const QLineEdit*>(widget)) return e->text().toStdString();
  return {};
}

void SetCaption(QWidget* widget, const std::string& caption) {
  if (!widget) return;
  if (widget->isWindow()) {
    widget->setWindowTitle(Q(caption));
  } else if (auto* b = qobject_cast<QAbstractButton*>(widget)) {
    b->setText(Q(caption));
  } else if (auto* l = qobject_cast<QLabel*>(widget)) {
    l->setText(Q(caption));
  } else if (auto* g = qobject_cast<QGroupBox*>(widget)) {
    g->setTitle(Q(caption));
  } else if (auto* e = qobject_cast<QLineEdit*>(widget)) {
    e->setText(Q(caption));
  }
}

void ApplyTexts(QWidget* widget, const ControlTexts& texts, ControlRecordKind kind) {
  if (!widget) return;
  if (HasCaption(kind)) SetCaption(widget, texts.caption);
  QFont font = widget->font();
  if (!texts.fontName.empty()) font.setFamily(Q(texts.fontName));
  if (texts.fontSize > 0) font.setPointSizeF(texts.fontSize);
  font.setBold(texts.fontBold);
  font.setItalic(texts.fontItalic);
  widget->setFont(font);
  if (kind != ControlRecordKind::Window) widget->setToolTip(Q(texts.toolTip));
  widget->setProperty(kWidthProperty, texts.width);
  if (kind != ControlRecordKind::Combo) widget->setProperty(kHeightProperty, texts.height);
  const int w = texts.width > 0 ? TwipsToPixels(NeededWidth(widget, 0), widget) : widget->width();
  const int h = kind != ControlRecordKind::Combo && texts.height > 0
                    ? TwipsToPixels(NeededHeight(widget, 0, PixelsToTwips(w, widget)), widget)
                    : widget->height();
  widget->resize(w, h);
}

QSize TextRoom(const QWidget* widget, int width) {
  if (!widget) return {};
  // For the controls here the minimum size hint is the whole text (a wrapping label's
  // longest word); a window's is what its layout needs, or nothing without one.
  const QSize hint = widget->minimumSizeHint().expandedTo(QSize(0, 0));
  if (!widget->hasHeightForWidth()) return hint;
  const int at = std::max(width < 0 ? widget->width() : width, hint.width());
  return QSize(hint.width(), std::max(hint.height(), widget->heightForWidth(at)));
}

double NeededHeight(const QWidget* widget, double fallback, double width) {
  const double recorded = RecordedHeight(widget, 0);
  const int at = width > 0 ? TwipsToPixels(width, widget) : -1;
  return std::max(recorded > 0 ? recorded : fallback,
                  PixelsToTwips(TextRoom(widget, at).height(), widget));
}

double NeededWidth(const QWidget* widget, double fallback) {
  const double recorded = RecordedWidth(widget, 0);
  return std::max(recorded > 0 ? recorded : fallback,
                  PixelsToTwips(TextRoom(widget).width(), widget));
}

double RecordedHeight(const QWidget* widget, double fallback) {
  QVariant v = widget ? widget->property(kHeightProperty) : QVariant();
  return v.isValid() ? v.toDouble() : fallback;
}

double RecordedWidth(const QWidget* widget, double fallback) {
  QVariant v = widget ? widget->property(kWidthProperty) : QVariant();
  return v.isValid() ? v.toDouble() : fallback;
}

ControlTexts ReadTexts(const QWidget* widget, const ControlTexts& base) {
  ControlTexts texts = base;
  if (!widget) return texts;
  if (widget->isWindow() || qobject_cast<const QAbstractButton*>(widget) ||
      qobject_cast<const QLabel*>(widget) || qobject_cast<const QGroupBox*>(widget)) {
    texts.caption = CaptionOf(widget);
  }
  const QFont font = widget->font();
  texts.fontName = font.family().toStdString();
  texts.fontSize = font.pointSizeF();
  texts.fontBold = font.bold();
  texts.fontItalic = font.italic();
  if (!widget->isWindow()) texts.toolTip = widget->toolTip().toStdString();
  texts.height = RecordedHeight(widget, base.height);
  texts.width = RecordedWidth(widget, base.width);
  return texts;
}

QWidget* FindControl(QWidget* root, const std::string& name) {
  if (!root) return nullptr;
  const QString qname = Q(name);
  if (root->objectName() == qname) return root;
  return root->findChild<QWidget*>(qname);
}

void ApplyWindowTexts(QWidget* root, RecordWindow window, AppState& state) {
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.window != window) continue;
    QWidget* widget = def.kind == ControlRecordKind::Window ? root : FindControl(root, def.name);
    if (!widget) continue;
    ApplyTexts(widget, TextsOf(state, def.name), def.kind);
  }
}

void ReadWindowTexts(QWidget* root, RecordWindow window, AppState& state) {
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.window != window) continue;
    QWidget* widget = def.kind == ControlRecordKind::Window ? root : FindControl(root, def.name);
    if (!widget) continue;
    ControlTexts& texts = TextsOf(state, def.name);
    texts = ReadTexts(widget, texts);
  }
}

void SetBuddy(QWidget* label, QWidget* control) {
  if (auto* l = qobject_cast<QLabel*>(label)) l->setBuddy(control);
}

}  // namespace korv
