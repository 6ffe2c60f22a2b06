// The table the module exports: the one symbol the programs look up in it.
#include "gis_engine/engine.h"

extern "C" __attribute__((visibility("default"))) const korv::GisEngine* korvenia_gis_engine() {
  using namespace korv::gis_engine;
  static const korv::GisEngine engine{korv::kGisEngineVersion, ReadGisPoints, WriteGisPoints,
                                      WriteLandXml,            CheckCrs,      CrsDisplayName,
                                      CrsCatalogue};
  return &engine;
}
