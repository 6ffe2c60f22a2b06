// The plan of a survey drawn with QPainter on any paint device (a widget's image, a PNG, an SVG
// drawing, a PDF page): the points at one scale on both axes with north up, the set-ups with
// lines to their backsights, names and codes where they fit, the points a check found
// problems with, a scale bar and a north arrow. Colours come from the palette given, so a
// dark desktop gets a dark plan.
#pragma once

#include <QFont>
#include <QPalette>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "plot/view_transform.h"
#include "survey/survey.h"

class QPainter;

namespace korv {

struct PlanStyle {
  QPalette palette;
  QFont font;
  bool names = true;
  bool codes = true;
  QString north = QStringLiteral("N");   // the north arrow's letter
  QString metres = QStringLiteral("m");  // the scale bar's unit
};

// What a plan needs from a survey beyond its points, worked out once: the extent and where
// each set-up's backsight is. Keeps a reference to the survey, which must outlive it.
class Plan {
 public:
  explicit Plan(const Survey& survey);

  const Survey& survey() const { return survey_; }
  // Easting as x, northing as y, over every point and placed station; empty when none.
  const QRectF& Extent() const { return extent_; }
  bool empty() const { return empty_; }
  // The backsight of set-up `setUp` when a point of that name has coordinates.
  const std::optional<QPointF>& Backsight(size_t setUp) const { return backsights_[setUp]; }
  // Every point's easting (x) and northing (y), packed: a redraw reads these 16 bytes a point
  // instead of the whole record.
  const std::vector<QPointF>& Positions() const { return positions_; }

 private:
  const Survey& survey_;
  QRectF extent_;
  bool empty_ = true;
  std::vector<std::optional<QPointF>> backsights_;
  std::vector<QPointF> positions_;
};

// Draws the plan over `area` (device coordinates of `painter`, which `view` maps into) with
// the points of `marked` (indices into survey.points) ringed.
void DrawPlan(QPainter& painter, const QRectF& area, const Plan& plan, const ViewTransform& view,
              const PlanStyle& style, const std::vector<uint32_t>& marked);

// The point nearest to `device` within `within` device units, or kNoIndex.
uint32_t NearestPoint(const Plan& plan, const ViewTransform& view, const QPointF& device,
                      double within);

// The longest round length (1, 2 or 5 times a power of ten metres) not above `metres`.
double ScaleBarLength(double metres);

// Beyond this many points in view, every point is one dot of one device pixel and no label is
// drawn: they could not be told apart anyway.
constexpr size_t kDensePlan = 20000;
// Labels are looked for only up to this many points in view.
constexpr size_t kMaxLabelled = 3000;

}  // namespace korv
