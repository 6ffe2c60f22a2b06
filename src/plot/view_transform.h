// The map between survey coordinates (easting, northing in metres) and a paint device's
// coordinates (x to the right, y down): one scale on both axes, north up. The plan view widget
// and the plot export both draw through it.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace korv {

class ViewTransform {
 public:
  // A world extent: x is easting, y northing (the rectangle's top is the smallest northing).
  // Scales and centres it into a device area of `device` with `margin` units left free on
  // every side. An extent without width or height (a single point) is shown at 1 unit per
  // metre around its centre.
  void Fit(const QRectF& extent, const QSizeF& device, double margin);
  // Zooms by `factor` (2 doubles the scale) keeping the world point under `device` there.
  void ZoomAbout(const QPointF& device, double factor);
  // Moves the plan by `delta` device units.
  void Pan(const QPointF& delta);

  QPointF ToDevice(double east, double north) const {
    return {(east - originEast_) * scale_, (originNorth_ - north) * scale_};
  }
  // x easting, y northing.
  QPointF ToWorld(const QPointF& device) const {
    return {originEast_ + device.x() / scale_, originNorth_ - device.y() / scale_};
  }
  // Device units per metre.
  double Scale() const { return scale_; }
  // The world coordinates of device point (0, 0).
  double OriginEast() const { return originEast_; }
  double OriginNorth() const { return originNorth_; }

 private:
  double scale_ = 1;
  double originEast_ = 0, originNorth_ = 0;
};

}  // namespace korv
