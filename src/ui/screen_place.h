// Where a window goes on the screens present: never off every screen, never larger than the
// screen it is on.
#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace korv {

// The room of every screen the desktop has now (without panels and docks), the primary first.
QList<QRect> ScreenRooms();

// `wanted` (a window's corner and size) moved and shrunk onto one of `screens` (ScreenRooms):
// onto the screen it overlaps most, else onto the first (primary) one when the screen it was
// on is gone. Its size shrinks to that screen's; `wanted` is kept when there is no screen.
QRect PlaceOnScreens(const QRect& wanted, const QList<QRect>& screens);

// Centres `window` on the primary screen.
void CentreOnScreen(QWidget* window);

}  // namespace korv
