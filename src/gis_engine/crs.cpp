// Coordinate reference systems read by PROJ through GDAL.
#include <ogr_srs_api.h>

#include "gis_engine/engine.h"
#include "gis_engine/gdal_support.h"

namespace korv::gis_engine {

bool CheckCrs(const std::string& crs, std::string& fault) { return ReadGrid(crs, fault) != nullptr; }

std::string CrsDisplayName(const std::string& crs) {
  std::string fault;
  SrsPtr srs = ReadSrs(crs, fault);
  if (!srs) return crs;
  std::string name = srs->GetName() ? srs->GetName() : crs;
  const char* authority = srs->GetAuthorityName(nullptr);
  const char* code = srs->GetAuthorityCode(nullptr);
  if (authority && code) name += std::string(" (") + authority + ":" + code + ")";
  return name;
}

const std::vector<CrsEntry>& CrsCatalogue() {
  static const std::vector<CrsEntry> catalogue = [] {
    EnsureGdal();
    std::vector<CrsEntry> entries;
    int count = 0;
    OSRCRSInfo** list = OSRGetCRSInfoListFromDatabase(nullptr, nullptr, &count);
    for (int i = 0; i < count; ++i) {
      const OSRCRSInfo& info = *list[i];
      if (info.bDeprecated) continue;
      const bool geographic =
          info.eType == OSR_CRS_TYPE_GEOGRAPHIC_2D || info.eType == OSR_CRS_TYPE_GEOGRAPHIC_3D;
      if (!geographic && info.eType != OSR_CRS_TYPE_PROJECTED) continue;
      entries.push_back(
          {std::string(info.pszAuthName) + ":" + info.pszCode, info.pszName, geographic});
    }
    OSRDestroyCRSInfoList(list);
    return entries;
  }();
  return catalogue;
}

}  // namespace korv::gis_engine
