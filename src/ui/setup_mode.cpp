// Special setup mode: the hooks that open the text editor F_stp on a right or middle click (or
// Shift+F10 / the context-menu key), the overlays that make text boxes and lists reachable, and
// the close refusal of the windows that only hide in this mode.
//
// One application-wide event filter serves every hooked window: a window is hooked when it
// carries the context property, and each of its controls that has a record carries the record's
// name, so controls created or moved later need nothing more.
#include "ui/setup_mode.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include "core/program_texts.h"
#include "ui/control_binder.h"
#include "ui/qt_text.h"
#include "ui/setup_editor.h"

namespace korv {

namespace {

constexpr const char* kContextProperty = "korvSetupContext";
constexpr const char* kRecordProperty = "korvSetupRecord";
constexpr const char* kKindProperty = "korvSetupKind";

// A bordered frame over a text box or list: it takes the right click the box would swallow.
// It follows the box's place, size and visibility, and shows only in special setup mode.
class SetupOverlay : public QFrame {
 public:
  SetupOverlay(QWidget* box, const AppState& state)
      : QFrame(box->parentWidget()), box_(box), state_(state) {
    setObjectName(QStringLiteral("Im") + box->objectName());
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setToolTip(QString::fromLatin1(kOverlayToolTip));
    setAccessibleName(QString::fromLatin1(kOverlayToolTip));
    setFocusPolicy(Qt::NoFocus);
    box->installEventFilter(this);
    Follow();
  }

  QWidget* Box() const { return box_.data(); }

  void Follow() {
    if (!box_) {
      hide();
      return;
    }
    setGeometry(box_->geometry());
    setVisible(state_.SpecialSetupMode && !box_->isHidden());
    raise();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == box_) {
      switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
          Follow();
          break;
        default:
          break;
      }
    }
    return false;
  }

 private:
  QPointer<QWidget> box_;
  const AppState& state_;
};

UiContext* ContextOf(const QWidget* window) {
  const QVariant v = window ? window->property(kContextProperty) : QVariant();
  return v.isValid() ? static_cast<UiContext*>(v.value<void*>()) : nullptr;
}

// The target of a click or key on `hit` in `root`: the overlay's box, the nearest control with
// a record, or the window itself.
void OpenFor(UiContext& ctx, QWidget* root, QWidget* hit) {
  for (QWidget* w = hit; w && w != root; w = w->parentWidget()) {
    if (w->property(kNoSetupProperty).toBool()) return;
    if (auto* overlay = dynamic_cast<SetupOverlay*>(w)) {
      if (overlay->Box()) OpenSetupEditor(ctx, root, overlay->Box(), 1);
      return;
    }
    const QVariant kind = w->property(kKindProperty);
    if (kind.isValid()) {
      OpenSetupEditor(ctx, root, w, kind.toInt());
      return;
    }
  }
  OpenSetupEditor(ctx, root, root, 4);
}

class SetupEventFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::KeyPress && type != QEvent::ContextMenu) {
      return false;
    }
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* root = widget->window();
    UiContext* ctx = ContextOf(root);
    if (!ctx || !ctx->state.SpecialSetupMode) return false;
    switch (type) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        // The right, middle and any further button; the left one keeps its usual meaning.
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::LeftButton || button == Qt::NoButton) return false;
        // The second press of a double click would open the editor a second time.
        if (type == QEvent::MouseButtonPress) OpenFor(*ctx, root, widget);
        return true;
      }
      case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool menuKey = key->key() == Qt::Key_Menu ||
                             (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
        if (!menuKey) return false;
        OpenFor(*ctx, root, widget);
        return true;
      }
      default:
        // The right click already opened the editor; no context menu on top of it.
        return true;
    }
  }
};

void InstallApplicationFilter() {
  static QPointer<SetupEventFilter> filter;
  if (filter || !qApp) return;
  filter = new SetupEventFilter(qApp);
  qApp->installEventFilter(filter);
}

}  // namespace

QString CaptionWithoutAccessKey(const QString& caption) {
  const qsizetype amp = caption.indexOf(QLatin1Char('&'));
  if (amp < 0) return caption;
  return caption.left(amp) + caption.mid(amp + 1);
}

std::string SetupCloseMessage(const QStringList& buttonCaptions, const IniFile& texts) {
  QString names;
  for (const QString& caption : buttonCaptions) {
    const QString name =
        QStringLiteral("<") + CaptionWithoutAccessKey(caption) + QStringLiteral(">");
    names = names.isEmpty() ? name : Q(ProgramText(texts, "SetupOr")).arg(names, name);
  }
  return ProgramText(texts, "SetupMode") + "\r\n" +
         Q(ProgramText(texts, "SetupPress")).arg(names).toStdString();
}

bool RefuseCloseInSetupMode(const AppState& state, UserPrompts& prompts,
                            const QStringList& buttonCaptions) {
  if (!state.SpecialSetupMode) return false;
  const IniFile texts = IniFile::Load(state.IniFilePath);
  prompts.Message(SetupCloseMessage(buttonCaptions, texts), ProgramText(texts, "SetupModeTitle"),
                  MessageIcon::Information);
  return true;
}

int SetupKindOf(ControlRecordKind kind) {
  switch (kind) {
    case ControlRecordKind::Window:
      return 4;
    case ControlRecordKind::Captioned:
    case ControlRecordKind::TextBox:
      return 0;
    case ControlRecordKind::Value:
    case ControlRecordKind::Combo:
      break;
  }
  return 1;
}

void InstallSetupHooks(QWidget* window, RecordWindow records, UiContext& ctx) {
  if (!window || ContextOf(window)) return;
  InstallApplicationFilter();
  window->setProperty(kContextProperty, QVariant::fromValue(static_cast<void*>(&ctx)));
  for (const ControlRecordDef* def : ControlRecordsOf(records)) {
    const bool own = def->kind == ControlRecordKind::Window;
    QWidget* widget = own ? window : FindControl(window, def->name);
    if (!widget) continue;
    widget->setProperty(kRecordProperty, QString::fromStdString(def->name));
    widget->setProperty(kKindProperty, SetupKindOf(def->kind));
    const bool box = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget);
    if (!own && box && widget->parentWidget()) new SetupOverlay(widget, ctx.state);
  }
}

void PlaceSetupOverlays(QWidget* window) {
  if (!window) return;
  for (QFrame* frame : window->findChildren<QFrame*>()) {
    if (auto* overlay = dynamic_cast<SetupOverlay*>(frame)) overlay->Follow();
  }
}

void OpenSetupEditor(UiContext& ctx, QWidget* owner, QWidget* target, int kind) {
  AppState& s = ctx.state;
  if (!s.SpecialSetupMode || !target) return;
  const QVariant record = target->property(kRecordProperty);
  s.SetupTarget =
      record.isValid() ? record.toString().toStdString() : target->objectName().toStdString();
  s.SetupTargetKind = kind;
  F_stp editor(ctx, target, owner ? owner : target->window());
  ctx.dialogs.Run(editor);
}

}  // namespace korv
