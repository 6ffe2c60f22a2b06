#include "gis/gis_reader.h"

namespace korv {

bool IsGisPointFile(const std::string&) { return false; }

bool ReadGisPoints(const std::string&, const GisSettings&, GisPoints&, std::string& fault) {
  fault = "not built yet";
  return false;
}

ConvertResult GisToCoor(const std::string&, const std::string&, WriteMode, const GisSettings&,
                        int) {
  return ConvertResult::InputFault("not built yet");
}

}  // namespace korv
