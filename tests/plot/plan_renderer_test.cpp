// The plan drawn offscreen: points at their pixels with north up, set-ups and backsights,
// labels that can be switched off, problem rings, the palette's colours, and the dense plan of
// single-pixel dots, both into an image's pixels and through the painter.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "plot/plan_renderer.h"

namespace korv {
namespace {

TextSpan Add(Survey& s, const std::string& text) {
  TextSpan span{static_cast<uint32_t>(s.pool.size()), static_cast<uint32_t>(text.size())};
  s.pool += text;
  return span;
}

Point At(Survey& s, const std::string& name, const std::string& code, double e, double n) {
  Point p;
  p.name = Add(s, name);
  p.code = Add(s, code);
  p.east = e;
  p.north = n;
  return p;
}

// Three points: B 50 m north of A, C 100 m east of A; a station S between them sighting C.
Survey SmallSurvey() {
  Survey s;
  s.points.push_back(At(s, "A", "TREE", 567800, 6543200));
  s.points.push_back(At(s, "B", "MH", 567800, 6543250));
  s.points.push_back(At(s, "C", "", 567900, 6543200));
  SetUp up;
  up.station = Add(s, "S");
  up.backsight = Add(s, "C");
  up.orientation = Orientation::FromBacksight;
  up.east = 567850;
  up.north = 6543225;
  s.setUps.push_back(up);
  return s;
}

QPalette LightPalette() {
  QPalette p;
  p.setColor(QPalette::Base, Qt::white);
  p.setColor(QPalette::Text, Qt::black);
  p.setColor(QPalette::Highlight, QColor(0, 0, 255));
  return p;
}

constexpr int kWidth = 464, kHeight = 300;

QImage Render(const Plan& plan, const ViewTransform& view, const PlanStyle& style,
              const std::vector<uint32_t>& marked, QImage::Format format = QImage::Format_RGB32) {
  QImage image(kWidth, kHeight, format);
  image.fill(Qt::gray);
  {
    QPainter painter(&image);
    DrawPlan(painter, QRectF(0, 0, kWidth, kHeight), plan, view, style, marked);
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

QPoint PixelOf(const ViewTransform& view, double e, double n) {
  const QPointF d = view.ToDevice(e, n);
  return {static_cast<int>(d.x()), static_cast<int>(d.y())};
}

// Pixels of `colour` in a rectangle.
int Count(const QImage& image, const QRect& r, QRgb colour) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

TEST(PlanRenderer, DrawsPointsAtTheirPixelsNorthUpWithSetUpsLabelsAndRings) {
  const Survey survey = SmallSurvey();
  const Plan plan(survey);
  EXPECT_EQ(plan.Extent(), QRectF(QPointF(567800, 6543200), QPointF(567900, 6543250)));
  ASSERT_TRUE(plan.Backsight(0));
  EXPECT_EQ(*plan.Backsight(0), QPointF(567900, 6543200));

  // 4 pixels a metre (the height would allow more), so every position below is exact.
  ViewTransform view;
  view.Fit(plan.Extent(), QSizeF(kWidth, kHeight), 32);
  ASSERT_DOUBLE_EQ(view.Scale(), 4.0);
  PlanStyle style;
  style.palette = LightPalette();
  style.names = style.codes = false;
  for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
    SCOPED_TRACE(format);  // into the pixels, and through the painter
    const QImage image = Render(plan, view, style, {}, format);
    const QPoint a = PixelOf(view, 567800, 6543200), b = PixelOf(view, 567800, 6543250),
                 c = PixelOf(view, 567900, 6543200);
    EXPECT_EQ(a, QPoint(32, 250));
    EXPECT_EQ(c, QPoint(432, 250));
    EXPECT_EQ(b, QPoint(32, 50));  // north is up
    for (QPoint p : {a, b, c}) {
      // A dot of 3 x 3 pixels on the point, the background around it.
      EXPECT_EQ(Count(image, QRect(p - QPoint(1, 1), QSize(3, 3)), qRgb(0, 0, 0)), 9) << p.x();
      EXPECT_EQ(image.pixel(p + QPoint(3, 0)), qRgb(255, 255, 255));
    }
    // The station's triangle and the dashed sight to C are in the highlight colour.
    const QPoint s = PixelOf(view, 567850, 6543225);
    EXPECT_GT(Count(image, QRect(s - QPoint(8, 8), QSize(17, 17)), qRgb(0, 0, 255)), 5);
    const QPoint mid = (s + c) / 2;
    int blueish = 0;
    for (int i = -10; i <= 10; ++i) {
      const QRgb px = image.pixel(mid + (s - c) * i / 100);
      blueish += qBlue(px) > 200 && qRed(px) < 150;
    }
    EXPECT_GT(blueish, 3);
  }

  // Names and codes right of A only when asked for.
  const QRect rightOfA(37, 240, 40, 20);
  EXPECT_EQ(Count(Render(plan, view, style, {}), rightOfA, qRgb(255, 255, 255)), 40 * 20);
  style.names = true;
  const int withName = 40 * 20 - Count(Render(plan, view, style, {}), rightOfA, qRgb(255, 255, 255));
  EXPECT_GT(withName, 5);
  style.codes = true;
  const int withCode = 40 * 20 - Count(Render(plan, view, style, {}), rightOfA, qRgb(255, 255, 255));
  EXPECT_GT(withCode, withName);  // "A TREE" covers more than "A"

  // A ringed problem point: the accent round C, nothing like it round A.
  style.names = style.codes = false;
  const QImage ringed = Render(plan, view, style, {2});
  auto reddish = [&ringed](QPoint p) {
    int n = 0;
    for (int y = p.y() - 9; y <= p.y() + 9; ++y)
      for (int x = p.x() - 9; x <= p.x() + 9; ++x) {
        const QRgb px = ringed.pixel(x, y);
        n += qRed(px) > 180 && qGreen(px) < 140 && qBlue(px) < 120;
      }
    return n;
  };
  EXPECT_GT(reddish(QPoint(432, 250)), 10);
  EXPECT_EQ(reddish(QPoint(32, 250)), 0);

  // A dark palette gives a dark plan with light points.
  QPalette dark;
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(80, 160, 255));
  style.palette = dark;
  const QImage night = Render(plan, view, style, {});
  EXPECT_EQ(night.pixel(200, 120), qRgb(30, 30, 30));
  EXPECT_EQ(night.pixel(432, 250), qRgb(230, 230, 230));
}

// More points than kDensePlan, one metre apart at one pixel a metre: every point is one pixel
// of its own, and no label is drawn, whichever way the dots are drawn.
TEST(PlanRenderer, DensePlanIsOnePixelAPointWithoutLabels) {
  Survey survey;
  const int side = 150;
  static_assert(150 * 150 > kDensePlan);
  for (int i = 0; i < side; ++i)
    for (int j = 0; j < side; ++j) survey.points.push_back(At(survey, "P", "X", 1000 + i, 5000 + j));
  const Plan plan(survey);
  ViewTransform view;
  // The grid's corner (1000, 5000) at pixel (120, 209) and its pixels' middles on the points,
  // clear of the scale bar and the north arrow.
  view.Fit(QRectF(879.5, 4909.5, kWidth, kHeight),
           QSizeF(kWidth, kHeight), 0);
  ASSERT_DOUBLE_EQ(view.Scale(), 1.0);
  PlanStyle style;
  style.palette = LightPalette();
  for (QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
    SCOPED_TRACE(format);
    const QImage image = Render(plan, view, style, {}, format);
    const QRect grid(PixelOf(view, 1000, 5000 + side - 1), PixelOf(view, 1000 + side - 1, 5000));
    EXPECT_EQ(Count(image, grid, qRgb(0, 0, 0)), side * side);
    EXPECT_EQ(Count(image, grid.adjusted(-10, -10, 10, 10), qRgb(0, 0, 0)), side * side);
    EXPECT_EQ(grid, QRect(120, 60, side, side));
  }
}

TEST(PlanRenderer, ScaleBarLengthIsTheLongestRoundLengthThatFits) {
  EXPECT_DOUBLE_EQ(ScaleBarLength(7.3), 5);
  EXPECT_DOUBLE_EQ(ScaleBarLength(19.99), 10);
  EXPECT_DOUBLE_EQ(ScaleBarLength(20), 20);
  EXPECT_DOUBLE_EQ(ScaleBarLength(0.37), 0.2);
  EXPECT_DOUBLE_EQ(ScaleBarLength(1000), 1000);
  EXPECT_DOUBLE_EQ(ScaleBarLength(4999), 2000);
}

}  // namespace
}  // namespace korv
