// Special setup mode: close refusal of the windows that only hide in this mode, and the hooks
// that open the text editor.
#include "ui/setup_mode.h"

#include <QWidget>

namespace korv {

QString CaptionWithoutAccessKey(const QString& caption) {
  const qsizetype amp = caption.indexOf(QLatin1Char('&'));
  if (amp < 0) return caption;
  return caption.left(amp) + caption.mid(amp + 1);
}

std::string SetupCloseMessage(const QStringList& buttonCaptions) {
  QStringList names;
  for (const QString& caption : buttonCaptions) {
    names << QStringLiteral("<") + CaptionWithoutAccessKey(caption) + QStringLiteral(">");
  }
  return "The program is in setup mode.\r\nPress " +
         names.join(QStringLiteral(" or ")).toStdString() + " button";
}

bool RefuseCloseInSetupMode(const AppState& state, UserPrompts& prompts,
                            const QStringList& buttonCaptions) {
  if (!state.SpecialSetupMode) return false;
  prompts.Message(SetupCloseMessage(buttonCaptions), "Setup", MessageIcon::Information);
  return true;
}

void InstallSetupHooks(QWidget*, RecordWindow, UiContext&) {}
void PlaceSetupOverlays(QWidget*) {}
void OpenSetupEditor(UiContext&, QWidget*, QWidget*, int) {}

int SetupKindOf(ControlRecordKind kind) {
  switch (kind) {
    case ControlRecordKind::Window:
      return 4;
    case ControlRecordKind::Captioned:
    case ControlRecordKind::TextBox:
      return 0;
    default:
      return 1;
  }
}

}  // namespace korv
