// Puts a control record's texts (caption or text, font, size, tool tip) on a widget and reads
// them back, and does so for every record of one window. A widget's objectName is its
// record's control key.
#pragma once

#include <string>

#include "core/app_state.h"
#include "core/control_records.h"

class QSize;
class QWidget;

namespace korv {

// Twips are 1/1440 inch: 15 twips per pixel at 96 logical DPI.
int TwipsToPixels(double twips, const QWidget* reference = nullptr);
double PixelsToTwips(int pixels, const QWidget* reference = nullptr);

// The caption a widget shows: a window's title, a button's, label's or check box's text, a
// frame's title, a text box's text.
std::string CaptionOf(const QWidget* widget);
void SetCaption(QWidget* widget, const std::string& caption);

// Applies the properties `kind` allows. Sizes resize the widget (layouts may override them),
// never below what its text needs, and are remembered so ReadTexts gives them back unchanged.
void ApplyTexts(QWidget* widget, const ControlTexts& texts, ControlRecordKind kind);
// The texts the widget shows now; `base` supplies what the widget does not hold.
ControlTexts ReadTexts(const QWidget* widget, const ControlTexts& base);
// The height and width last applied to the widget (twips), or the base's when none.
double RecordedHeight(const QWidget* widget, double fallback);
double RecordedWidth(const QWidget* widget, double fallback);

// What a widget's text needs (pixels) so that none of it is cut: a caption, plain label or list
// its whole text (the widest entry), a frame its title, a wrapping label its longest word in
// width and, at `width` pixels (its own width when -1), the height of its wrapped lines.
QSize TextRoom(const QWidget* widget, int width = -1);
// The height and width (twips) a control is laid out with: the size its record gives it
// (`fallback` when it has none), but never less than its text needs, so a translated caption
// or a larger font grows the control (and its window) instead of being cut. `width` (twips)
// is the width a wrapping label gets.
double NeededHeight(const QWidget* widget, double fallback, double width = 0);
double NeededWidth(const QWidget* widget, double fallback);

// `root` itself when its objectName is `name`, else its descendant of that name.
QWidget* FindControl(QWidget* root, const std::string& name);

// Applies every record of `window` held in state.controls to the widgets under `root` (the
// window's own record to `root`; nothing for a record without a widget).
void ApplyWindowTexts(QWidget* root, RecordWindow window, AppState& state);
// Reads the widgets' texts back into state.controls (edits made on screen).
void ReadWindowTexts(QWidget* root, RecordWindow window, AppState& state);

// Marks `label` as the label of `control`: screen readers name the control by it and its
// access key focuses the control.
void SetBuddy(QWidget* label, QWidget* control);

}  // namespace korv
