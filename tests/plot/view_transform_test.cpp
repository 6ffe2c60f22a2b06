// The map between survey coordinates and the device: fitting, zooming about the mouse, panning.
#include <gtest/gtest.h>

#include "plot/view_transform.h"

namespace korv {
namespace {

constexpr double kEps = 1e-6;

// A national-grid extent 300 m wide and 100 m tall into a 400 x 400 area with 50 free on
// each side: the width decides (1 unit a metre), north is up, the plan is centred.
TEST(ViewTransform, FitsAnExtentAtOneScaleOnBothAxesNorthUpCentred) {
  ViewTransform v;
  const QRectF extent(QPointF(567800, 6543200), QPointF(568100, 6543300));
  v.Fit(extent, QSizeF(400, 400), 50);
  EXPECT_NEAR(v.Scale(), 1.0, kEps);
  const QPointF sw = v.ToDevice(567800, 6543200), ne = v.ToDevice(568100, 6543300);
  EXPECT_NEAR(sw.x(), 50, kEps);
  EXPECT_NEAR(ne.x(), 350, kEps);
  // 100 m tall at the same scale, centred vertically: 150 .. 250, the north edge on top.
  EXPECT_NEAR(ne.y(), 150, kEps);
  EXPECT_NEAR(sw.y(), 250, kEps);
  // A square on the ground is a square on the device.
  const QPointF a = v.ToDevice(567900, 6543250), b = v.ToDevice(567910, 6543260);
  EXPECT_NEAR(b.x() - a.x(), a.y() - b.y(), kEps);
  // And back.
  const QPointF w = v.ToWorld(QPointF(123.25, 321.5));
  const QPointF d = v.ToDevice(w.x(), w.y());
  EXPECT_NEAR(d.x(), 123.25, kEps);
  EXPECT_NEAR(d.y(), 321.5, kEps);

  // A tall extent is decided by its height.
  v.Fit(QRectF(0, 0, 10, 40), QSizeF(400, 200), 0);
  EXPECT_NEAR(v.Scale(), 5.0, kEps);
  // A single point is centred at one unit a metre.
  v.Fit(QRectF(1000, 2000, 0, 0), QSizeF(200, 100), 10);
  EXPECT_NEAR(v.Scale(), 1.0, kEps);
  EXPECT_NEAR(v.ToDevice(1000, 2000).x(), 100, kEps);
  EXPECT_NEAR(v.ToDevice(1000, 2000).y(), 50, kEps);
}

TEST(ViewTransform, ZoomKeepsThePointUnderTheMouseAndPanMovesByTheDrag) {
  ViewTransform v;
  v.Fit(QRectF(QPointF(567800, 6543200), QPointF(568100, 6543300)), QSizeF(400, 400), 50);
  const QPointF mouse(77.5, 301.25);
  const QPointF before = v.ToWorld(mouse);
  v.ZoomAbout(mouse, 2.5);
  EXPECT_NEAR(v.Scale(), 2.5, kEps);
  const QPointF after = v.ToWorld(mouse);
  EXPECT_NEAR(after.x(), before.x(), kEps);
  EXPECT_NEAR(after.y(), before.y(), kEps);
  // Zooming out by the same factor about another point keeps that point too.
  const QPointF other(390, 10);
  const QPointF o = v.ToWorld(other);
  v.ZoomAbout(other, 1 / 2.5);
  EXPECT_NEAR(v.ToWorld(other).x(), o.x(), kEps);
  EXPECT_NEAR(v.ToWorld(other).y(), o.y(), kEps);

  // Dragging 30 right and 20 down moves every point by that much on the device.
  const QPointF p = v.ToDevice(567950, 6543250);
  v.Pan(QPointF(30, 20));
  const QPointF q = v.ToDevice(567950, 6543250);
  EXPECT_NEAR(q.x() - p.x(), 30, kEps);
  EXPECT_NEAR(q.y() - p.y(), 20, kEps);
}

}  // namespace
}  // namespace korv
