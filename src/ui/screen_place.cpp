#include "ui/screen_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace korv {

namespace {

long long Overlap(const QRect& a, const QRect& b) {
  const QRect both = a.intersected(b);
  return both.isEmpty() ? 0 : static_cast<long long>(both.width()) * both.height();
}

}  // namespace

QList<QRect> ScreenRooms() {
  QList<QRect> rooms;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) rooms.append(primary->availableGeometry());
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) rooms.append(screen->availableGeometry());
  }
  return rooms;
}

QRect PlaceOnScreens(const QRect& wanted, const QList<QRect>& screens) {
  if (screens.isEmpty()) return wanted;
  QRect room = screens.front();
  long long most = 0;
  for (const QRect& screen : screens) {
    if (Overlap(wanted, screen) > most) {
      most = Overlap(wanted, screen);
      room = screen;
    }
  }
  const QSize size = wanted.size().boundedTo(room.size());
  const int left = std::clamp(wanted.left(), room.left(), room.right() + 1 - size.width());
  const int top = std::clamp(wanted.top(), room.top(), room.bottom() + 1 - size.height());
  return QRect(QPoint(left, top), size);
}

void CentreOnScreen(QWidget* window) {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    window->move(screen->availableGeometry().center() - window->rect().center());
  }
}

}  // namespace korv
