// A survey written as a LandXML 1.2 document with pugixml: its points as CgPoints and, for raw
// data, its set-ups and observations as a Survey.
#pragma once

#include <ctime>
#include <string>

#include "core/convert_result.h"
#include "core/gis_settings.h"
#include "core/text_encoding.h"
#include "survey/survey.h"

namespace korv {

struct LandXmlOptions {
  GisSettings gis;        // gis.crs: the CoordinateSystem element, when set
  bool imperial = false;  // the distance unit is a foot: Imperial units, else Metric
  std::tm now{};          // the creation date and time
};

// Writes `survey` (texts read in `encoding`, written as UTF-8) to `output`:
// - Units: Metric or Imperial, angles in the survey's unit (mils as decimal degrees);
// - CoordinateSystem (name, EPSG code when it has one, WKT) when options.gis.crs is set; a
//   system that does not read is refused before anything is written;
// - Application and the creation time;
// - CgPoints: the points WrittenPoints gives, "northing easting elevation" (3 decimals, no
//   elevation when the point has none);
// - for raw data with set-ups, Survey: an InstrumentSetup per set-up (its station and backsight
//   referring to their CgPoints when they are ones) holding a RawObservation per observation,
//   values as read. Observations before the first set-up are left out.
// The lines NoteLeftOut names are in the notes. Written whole or not at all; the survey's
// source file is never overwritten.
ConvertResult WriteLandXml(const Survey& survey, TextEncoding encoding, const std::string& output,
                           const LandXmlOptions& options);

}  // namespace korv
