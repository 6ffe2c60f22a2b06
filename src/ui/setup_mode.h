// Special setup mode: the right-click (and middle-click) hooks that open the text editor F_stp
// on a control or window, the overlays that make text boxes and lists right-clickable, the
// keyboard way in (Shift+F10 or the context-menu key), and the close-box refusal of the
// windows that only hide in this mode.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "core/app_state.h"
#include "core/control_records.h"
#include "core/key_store.h"
#include "ui/ui_context.h"
#include "ui/user_prompts.h"

class QWidget;

namespace korv {

// The tool tip of every overlay.
inline constexpr const char* kOverlayToolTip = "Press right kay to setup";
// A widget whose property of this name is true takes no part in setup editing: a right click
// on it opens nothing (the help window's first link, whose text is fixed).
inline constexpr const char* kNoSetupProperty = "korvNoSetup";

// Caption without its access-key "&" as the setup message shows it (the first "&" only).
QString CaptionWithoutAccessKey(const QString& caption);

// "The program is in setup mode.\r\nPress <A> button" for one button, "... Press <A> or <B>
// button" for two; captions without their access key, the texts those of `texts` (English
// when it has none).
std::string SetupCloseMessage(const QStringList& buttonCaptions, const IniFile& texts = {});

// In special setup mode refuses a window's close box with the "Setup" message naming the given
// buttons; returns true when the close was refused (the caller then ignores the close event).
bool RefuseCloseInSetupMode(const AppState& state, UserPrompts& prompts,
                            const QStringList& buttonCaptions);

// Installs the setup hooks on one window: a right or middle click in special setup mode on any
// widget that holds a record of `records` (its objectName is the record's key), on an overlay,
// or on the window's background opens the editor for it; Shift+F10 or the context-menu key on
// the focused control does the same. Overlays are laid over every text box and list that has
// a record; they show only in special setup mode and follow their box's place, size and
// visibility. Call once, after the window's widgets exist. Outside special setup mode the
// hooks do nothing.
void InstallSetupHooks(QWidget* window, RecordWindow records, UiContext& ctx);

// Lays the overlays again over their boxes (for windows that move their boxes when activated;
// the overlays also follow moves and resizes on their own).
void PlaceSetupOverlays(QWidget* window);

// What a right click on `target` does: sets SetupTarget and SetupTargetKind and runs the
// editor modally, owned by `owner`. `kind` is 0 captioned control, 1 value or box, 4 window.
// Does nothing outside special setup mode.
void OpenSetupEditor(UiContext& ctx, QWidget* owner, QWidget* target, int kind);

// The target kind a record of `kind` is edited as (0, 1 or 4).
int SetupKindOf(ControlRecordKind kind);

}  // namespace korv
