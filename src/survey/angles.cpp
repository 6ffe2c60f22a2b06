// Angle units: degrees, gon, mil (6400 to the circle) and degrees.minutesseconds.
#include <cmath>
#include <cstdint>

#include "survey/survey.h"

namespace korv {

namespace {

constexpr double kPi = 3.14159265358979323846;

double FullCircle(AngleUnit unit) {
  switch (unit) {
    case AngleUnit::Gon:
      return 400.0;
    case AngleUnit::Mil:
      return 6400.0;
    case AngleUnit::Degrees:
    case AngleUnit::Dms:
      return 360.0;
  }
  return 400.0;
}

// A written minute or second of 59.99999995 is 60 read back through a double; readings are
// never written that finely, so anything this close to 60 counts as 60.
constexpr double kSixtyTolerance = 1e-7;

struct DmsParts {
  double degrees, minutes, seconds;
};

// 12.3045 as 12, 30, 45. The decimal point is shifted by two places at a time; a part read as
// 29.9999999 for a written 30 is taken as 30 (the tolerance above).
DmsParts SplitDms(double value) {
  const double a = std::fabs(value);
  const double degrees = std::floor(a);
  const double rest = (a - degrees) * 100.0;
  const double minutes = std::floor(rest + kSixtyTolerance);
  double seconds = (rest - minutes) * 100.0;
  if (seconds < 0) seconds = 0;
  return {degrees, minutes, seconds};
}

}  // namespace

double AngleToRadians(double value, AngleUnit unit) {
  if (unit == AngleUnit::Dms) {
    const DmsParts p = SplitDms(value);
    const double degrees = p.degrees + p.minutes / 60.0 + p.seconds / 3600.0;
    return (value < 0 ? -degrees : degrees) * (kPi / 180.0);
  }
  return value * (2.0 * kPi / FullCircle(unit));
}

double RadiansToAngle(double radians, AngleUnit unit) {
  if (unit != AngleUnit::Dms) return radians * (FullCircle(unit) / (2.0 * kPi));
  // In millionths of a second of arc, so that 59.9999999 seconds carry into the next minute.
  constexpr int64_t kSecond = 1000000, kMinute = 60 * kSecond, kDegree = 60 * kMinute;
  const auto total =
      static_cast<int64_t>(std::llround(std::fabs(radians) * (180.0 / kPi) * kDegree));
  const double value = static_cast<double>(total / kDegree) +
                       static_cast<double>(total % kDegree / kMinute) / 100.0 +
                       static_cast<double>(total % kMinute) / kSecond / 10000.0;
  return radians < 0 ? -value : value;
}

bool AngleInRange(double value, AngleUnit unit) {
  if (!(value >= 0 && value < FullCircle(unit))) return false;  // also NaN
  if (unit != AngleUnit::Dms) return true;
  const DmsParts p = SplitDms(value);
  return p.minutes < 60.0 && p.seconds < 60.0 - kSixtyTolerance;
}

}  // namespace korv
