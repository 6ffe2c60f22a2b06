#include "gis/landxml_writer.h"

namespace korv {

ConvertResult WriteLandXml(const Survey&, TextEncoding, const std::string&, const LandXmlOptions&) {
  return ConvertResult::OutputFault("not built yet");
}

}  // namespace korv
