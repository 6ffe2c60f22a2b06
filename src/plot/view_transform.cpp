#include "plot/view_transform.h"

#include <algorithm>

namespace korv {

namespace {
// Scales beyond these lose the plan to rounding (a micrometre a pixel) or show nothing (the
// earth in a pixel).
constexpr double kMinScale = 1e-7, kMaxScale = 1e6;
}  // namespace

void ViewTransform::Fit(const QRectF& extent, const QSizeF& device, double margin) {
  const double w = std::max(1.0, device.width() - 2 * margin);
  const double h = std::max(1.0, device.height() - 2 * margin);
  scale_ = 1;
  if (extent.width() > 0 && extent.height() > 0)
    scale_ = std::min(w / extent.width(), h / extent.height());
  else if (extent.width() > 0)
    scale_ = w / extent.width();
  else if (extent.height() > 0)
    scale_ = h / extent.height();
  scale_ = std::clamp(scale_, kMinScale, kMaxScale);
  const QPointF centre = extent.center();
  originEast_ = centre.x() - device.width() / 2 / scale_;
  originNorth_ = centre.y() + device.height() / 2 / scale_;
}

void ViewTransform::ZoomAbout(const QPointF& device, double factor) {
  const QPointF world = ToWorld(device);
  scale_ = std::clamp(scale_ * factor, kMinScale, kMaxScale);
  originEast_ = world.x() - device.x() / scale_;
  originNorth_ = world.y() + device.y() / scale_;
}

void ViewTransform::Pan(const QPointF& delta) {
  originEast_ -= delta.x() / scale_;
  originNorth_ += delta.y() / scale_;
}

}  // namespace korv
