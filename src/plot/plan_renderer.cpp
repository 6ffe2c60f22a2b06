#include "plot/plan_renderer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_map>

namespace korv {

namespace {

// The ring of a point a check found fault with: one colour on light and dark plans alike.
const QColor kProblemAccent(230, 70, 20);

constexpr double kStationSize = 10;  // the set-up triangle's height, device units
constexpr double kMarkRadius = 7;
constexpr double kLabelGap = 4;      // from the point to its label
constexpr int kLabelCell = 6;        // the grid that keeps labels apart

// A device rectangle plus the test whether a device point lies in it, written out for the
// per-point loops.
struct Area {
  double left, top, right, bottom;
  explicit Area(const QRectF& r) : left(r.left()), top(r.top()), right(r.right()), bottom(r.bottom()) {}
  bool Holds(double x, double y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The indices of the first kDensePlan + 1 points in view, and how many are in view.
struct InView {
  std::vector<uint32_t> first;
  size_t count = 0;

  InView() { first.reserve(kDensePlan + 1); }
  void Take(size_t i) {
    if (count++ <= kDensePlan) first.push_back(static_cast<uint32_t>(i));
  }
  bool dense() const { return count > kDensePlan; }
};

// The image behind `painter` when points can be written into its pixels directly: a 32-bit
// image painted without rotation or shear.
QImage* DirectImage(QPainter& painter) {
  QPaintDevice* device = painter.device();
  if (!device || device->devType() != QInternal::Image) return nullptr;
  auto* image = static_cast<QImage*>(device);
  switch (image->format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: break;
    default: return nullptr;
  }
  if (painter.deviceTransform().type() > QTransform::TxScale) return nullptr;
  return image;
}

// Points as squares written straight into a 32-bit image's pixels.
class PixelDots {
 public:
  PixelDots(QImage& image, const QTransform& toPixel, const Area& area, QColor colour)
      : toPixel_(toPixel),
        clip_(toPixel
                  .mapRect(QRectF(area.left, area.top, area.right - area.left,
                                  area.bottom - area.top))
                  .toAlignedRect()
                  .intersected(image.rect())),
        bits_(image.bits()),
        stride_(image.bytesPerLine()) {
    value_ = colour.rgba();
    if (image.format() == QImage::Format_ARGB32_Premultiplied) value_ = qPremultiply(value_);
    if (image.format() == QImage::Format_RGB32) value_ |= 0xff000000u;
  }

  // One pixel on the device point (x, y).
  void Pixel(double x, double y) {
    const double px = x * toPixel_.m11() + toPixel_.dx(), py = y * toPixel_.m22() + toPixel_.dy();
    if (!(px >= clip_.left() && px < clip_.right() + 1 && py >= clip_.top() &&
          py < clip_.bottom() + 1))
      return;
    reinterpret_cast<QRgb*>(bits_ + static_cast<int>(py) * stride_)[static_cast<int>(px)] = value_;
  }
  // A square of `size` device units centred on (x, y).
  void Square(double x, double y, double size) {
    const int pixels = std::max(1, static_cast<int>(std::lround(size * toPixel_.m11())));
    const double px = x * toPixel_.m11() + toPixel_.dx(), py = y * toPixel_.m22() + toPixel_.dy();
    const int left = std::max(clip_.left(), static_cast<int>(std::floor(px)) - (pixels - 1) / 2);
    const int top = std::max(clip_.top(), static_cast<int>(std::floor(py)) - (pixels - 1) / 2);
    const int right = std::min(clip_.right(), left + pixels - 1);
    const int bottom = std::min(clip_.bottom(), top + pixels - 1);
    for (int row = top; row <= bottom; ++row) {
      QRgb* line = reinterpret_cast<QRgb*>(bits_ + row * stride_);
      std::fill(line + left, line + right + 1, value_);
    }
  }

 private:
  QTransform toPixel_;
  QRect clip_;
  uchar* bits_;
  qsizetype stride_;
  QRgb value_;
};

// Points as squares through the painter, in batches (a vector drawing, a printer).
class PainterDots {
 public:
  PainterDots(QPainter& painter, QColor colour) : painter_(painter) {
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(colour);
    painter_.setRenderHint(QPainter::Antialiasing, false);
  }
  ~PainterDots() {
    Flush();
    painter_.restore();
  }
  void Square(double x, double y, double size) {
    batch_[n_++] = QRectF(x - size / 2, y - size / 2, size, size);
    if (n_ == batch_.size()) Flush();
  }

 private:
  void Flush() {
    if (n_) painter_.drawRects(batch_.data(), static_cast<int>(n_));
    n_ = 0;
  }
  QPainter& painter_;
  std::array<QRectF, 512> batch_;
  size_t n_ = 0;
};

// Draws the points: one pixel each when the view holds more than kDensePlan, else squares of
// three. Into an image's pixels the dense plan takes a single pass over the points.
InView DrawDots(QPainter& painter, const Area& area, const Plan& plan, const ViewTransform& view,
                QColor colour) {
  InView in;
  const std::vector<QPointF>& points = plan.Positions();
  constexpr double kDot = 3;
  if (QImage* image = DirectImage(painter)) {
    PixelDots dots(*image, painter.deviceTransform(), area, colour);
    for (size_t i = 0; i < points.size(); ++i) {
      const QPointF d = view.ToDevice(points[i].x(), points[i].y());
      if (!area.Holds(d.x(), d.y())) continue;
      in.Take(i);
      dots.Pixel(d.x(), d.y());
    }
    if (!in.dense()) {
      for (uint32_t i : in.first) {
        const QPointF d = view.ToDevice(points[i].x(), points[i].y());
        dots.Square(d.x(), d.y(), kDot);
      }
    }
    return in;
  }
  for (size_t i = 0; i < points.size(); ++i) {
    const QPointF d = view.ToDevice(points[i].x(), points[i].y());
    if (area.Holds(d.x(), d.y())) in.Take(i);
  }
  PainterDots dots(painter, colour);
  if (!in.dense()) {
    for (uint32_t i : in.first) {
      const QPointF d = view.ToDevice(points[i].x(), points[i].y());
      dots.Square(d.x(), d.y(), kDot);
    }
    return in;
  }
  for (const QPointF& p : points) {
    const QPointF d = view.ToDevice(p.x(), p.y());
    if (area.Holds(d.x(), d.y())) dots.Square(d.x(), d.y(), 1);
  }
  return in;
}

void DrawSetUps(QPainter& painter, const Area& area, const Plan& plan, const ViewTransform& view,
                const PlanStyle& style) {
  const Survey& survey = plan.survey();
  const QColor colour = style.palette.color(QPalette::Highlight);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen sight(colour, 1, Qt::DashLine);
  sight.setCosmetic(true);
  painter.setPen(sight);
  for (size_t i = 0; i < survey.setUps.size(); ++i) {
    const SetUp& s = survey.setUps[i];
    if (s.orientation == Orientation::Unplaced || !plan.Backsight(i)) continue;
    painter.drawLine(view.ToDevice(s.east, s.north),
                     view.ToDevice(plan.Backsight(i)->x(), plan.Backsight(i)->y()));
  }
  QPen outline(colour, 1.5);
  outline.setCosmetic(true);
  painter.setPen(outline);
  painter.setBrush(Qt::NoBrush);
  const double h = kStationSize, w = kStationSize * 0.6;
  for (const SetUp& s : survey.setUps) {
    if (s.orientation == Orientation::Unplaced) continue;
    const QPointF d = view.ToDevice(s.east, s.north);
    if (!area.Holds(d.x(), d.y())) continue;
    const QPointF triangle[3] = {{d.x(), d.y() - h * 2 / 3}, {d.x() - w, d.y() + h / 3},
                                 {d.x() + w, d.y() + h / 3}};
    painter.drawPolygon(triangle, 3);
  }
  painter.restore();
}

void DrawMarks(QPainter& painter, const Area& area, const Survey& survey, const ViewTransform& view,
               const std::vector<uint32_t>& marked) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen ring(kProblemAccent, 2);
  ring.setCosmetic(true);
  painter.setPen(ring);
  painter.setBrush(Qt::NoBrush);
  for (uint32_t i : marked) {
    if (i >= survey.points.size()) continue;
    const QPointF d = view.ToDevice(survey.points[i].east, survey.points[i].north);
    if (area.Holds(d.x(), d.y())) painter.drawEllipse(d, kMarkRadius, kMarkRadius);
  }
  painter.restore();
}

// Names and codes right of their points, in file order; a label that would cover one already
// drawn is left out.
void DrawLabels(QPainter& painter, const Area& area, const Survey& survey, const ViewTransform& view,
                const PlanStyle& style, const std::vector<uint32_t>& inView) {
  const int cols = static_cast<int>(std::ceil((area.right - area.left) / kLabelCell));
  const int rows = static_cast<int>(std::ceil((area.bottom - area.top) / kLabelCell));
  if (cols <= 0 || rows <= 0) return;
  std::vector<bool> taken(static_cast<size_t>(cols) * static_cast<size_t>(rows));
  painter.save();
  painter.setFont(style.font);
  painter.setPen(style.palette.color(QPalette::Text));
  const QFontMetricsF metrics(style.font, painter.device());
  std::string text;
  for (uint32_t i : inView) {
    const Point& p = survey.points[i];
    const QPointF d = view.ToDevice(p.east, p.north);
    text.clear();
    if (style.names) text = survey.Text(p.name);
    if (style.codes && p.code.size) {
      if (!text.empty()) text += ' ';
      text += survey.Text(p.code);
    }
    if (text.empty()) continue;
    const QString label = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QRectF box(d.x() + kLabelGap, d.y() - metrics.ascent() / 2,
                     metrics.horizontalAdvance(label), metrics.height());
    const int c0 = static_cast<int>((box.left() - area.left) / kLabelCell);
    const int r0 = static_cast<int>(std::max(0.0, box.top() - area.top) / kLabelCell);
    const int c1 = std::min(cols - 1, static_cast<int>((box.right() - area.left) / kLabelCell));
    const int r1 = std::min(rows - 1, static_cast<int>((box.bottom() - area.top) / kLabelCell));
    bool free = c0 <= c1 && r0 <= r1;
    for (int r = r0; free && r <= r1; ++r)
      for (int c = c0; free && c <= c1; ++c) free = !taken[static_cast<size_t>(r * cols + c)];
    if (!free) continue;
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) taken[static_cast<size_t>(r * cols + c)] = true;
    painter.drawText(QPointF(box.left(), box.top() + metrics.ascent()), label);
  }
  painter.restore();
}

void DrawScaleBarAndNorth(QPainter& painter, const QRectF& area, const ViewTransform& view,
                          const PlanStyle& style) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setFont(style.font);
  const QColor ink = style.palette.color(QPalette::Text);
  QPen pen(ink, 1.5);
  pen.setCosmetic(true);
  painter.setPen(pen);
  const QFontMetricsF metrics(style.font, painter.device());
  constexpr double margin = 12, tick = 5;

  const double metres = ScaleBarLength(area.width() / 4 / view.Scale());
  const double length = metres * view.Scale();
  const QPointF start(area.left() + margin, area.bottom() - margin);
  const QPointF end(start.x() + length, start.y());
  painter.drawLine(start, end);
  painter.drawLine(start, start - QPointF(0, tick));
  painter.drawLine(end, end - QPointF(0, tick));
  const QString text = QString::number(metres, 'g', 12) + QLatin1Char(' ') + style.metres;
  painter.drawText(QPointF(start.x() + (length - metrics.horizontalAdvance(text)) / 2,
                           start.y() - tick - metrics.descent() - 1),
                   text);

  // The north arrow: a filled head on a shaft, the letter above it.
  const double x = area.right() - margin - 8, top = area.top() + margin + metrics.height();
  const double bottom = top + 36;
  painter.drawLine(QPointF(x, top + 10), QPointF(x, bottom));
  painter.setBrush(ink);
  const QPointF head[3] = {{x, top}, {x - 6, top + 14}, {x + 6, top + 14}};
  painter.drawPolygon(head, 3);
  painter.drawText(QPointF(x - metrics.horizontalAdvance(style.north) / 2, top - metrics.descent() - 2),
                   style.north);
  painter.restore();
}

}  // namespace

Plan::Plan(const Survey& survey) : survey_(survey), backsights_(survey.setUps.size()) {
  positions_.reserve(survey.points.size());
  double e0 = std::numeric_limits<double>::infinity(), n0 = e0, e1 = -e0, n1 = -e0;
  auto take = [&](double e, double n) {
    e0 = std::min(e0, e);
    e1 = std::max(e1, e);
    n0 = std::min(n0, n);
    n1 = std::max(n1, n);
  };
  for (const Point& p : survey.points) {
    take(p.east, p.north);
    positions_.emplace_back(p.east, p.north);
  }
  // The backsights by name: the first point of a name wins, as in the reduction.
  std::unordered_map<std::string_view, std::vector<size_t>> wanted;
  for (size_t i = 0; i < survey.setUps.size(); ++i) {
    const SetUp& s = survey.setUps[i];
    if (s.orientation == Orientation::Unplaced) continue;
    take(s.east, s.north);
    if (s.backsight.size) wanted[survey.Text(s.backsight)].push_back(i);
  }
  for (const Point& p : survey.points) {
    if (wanted.empty()) break;
    auto it = wanted.find(survey.Text(p.name));
    if (it == wanted.end()) continue;
    for (size_t i : it->second) backsights_[i] = QPointF(p.east, p.north);
    wanted.erase(it);
  }
  empty_ = !(e0 <= e1);
  if (!empty_) extent_ = QRectF(QPointF(e0, n0), QPointF(e1, n1));
}

void DrawPlan(QPainter& painter, const QRectF& area, const Plan& plan, const ViewTransform& view,
              const PlanStyle& style, const std::vector<uint32_t>& marked) {
  const Survey& survey = plan.survey();
  const Area inside(area);
  painter.fillRect(area, style.palette.color(QPalette::Base));
  DrawSetUps(painter, inside, plan, view, style);

  const InView in = DrawDots(painter, inside, plan, view, style.palette.color(QPalette::Text));
  DrawMarks(painter, inside, survey, view, marked);
  if ((style.names || style.codes) && in.count <= kMaxLabelled)
    DrawLabels(painter, inside, survey, view, style, in.first);
  DrawScaleBarAndNorth(painter, area, view, style);
}

uint32_t NearestPoint(const Plan& plan, const ViewTransform& view, const QPointF& device,
                      double within) {
  uint32_t best = kNoIndex;
  double bestSquare = within * within;
  const std::vector<QPointF>& points = plan.Positions();
  for (size_t i = 0; i < points.size(); ++i) {
    const QPointF d = view.ToDevice(points[i].x(), points[i].y()) - device;
    const double square = d.x() * d.x() + d.y() * d.y();
    if (square <= bestSquare) {
      // The earlier of two points at one place: the one the file gave first.
      if (square == bestSquare && best != kNoIndex) continue;
      best = static_cast<uint32_t>(i);
      bestSquare = square;
    }
  }
  return best;
}

double ScaleBarLength(double metres) {
  if (!(metres > 0) || !std::isfinite(metres)) return 1;
  double power = std::pow(10.0, std::floor(std::log10(metres)));
  for (double step : {5.0, 2.0, 1.0}) {
    if (step * power <= metres * (1 + 1e-12)) return step * power;
  }
  return power;
}

}  // namespace korv
