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

// Writes `survey` (texts read in `encoding`) to `output`: Units, Application, the creation time,
// CoordinateSystem when a system is given, CgPoints (each point name once, "northing easting
// elevation") and, for raw data, Survey with an InstrumentSetup per set-up and a RawObservation
// per observation. Written whole or not at all.
ConvertResult WriteLandXml(const Survey& survey, TextEncoding encoding, const std::string& output,
                           const LandXmlOptions& options);

}  // namespace korv
