#include "gis/crs.h"

#include <ogr_srs_api.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "gis/gdal_support.h"

namespace korv {

void EnsureGdal() {
  static std::once_flag once;
  std::call_once(once, [] {
    CPLSetErrorHandler(CPLQuietErrorHandler);
    GDALAllRegister();
  });
}

SrsPtr ReadSrs(const std::string& crs, std::string& fault) {
  EnsureGdal();
  SrsPtr srs(new OGRSpatialReference());
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  CPLErrorReset();
  if (crs.empty() || srs->SetFromUserInput(crs.c_str()) != OGRERR_NONE) {
    fault = "Unknown coordinate reference system '" + crs +
            "' (give what PROJ accepts: EPSG:25832, a WKT or PROJ string)";
    return nullptr;
  }
  return srs;
}

SrsPtr Wgs84() {
  SrsPtr srs(new OGRSpatialReference());
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  srs->SetWellKnownGeogCS("WGS84");
  return srs;
}

std::string GdalFault() {
  const char* message = CPLGetLastErrorMsg();
  return message ? message : "";
}

bool CheckCrs(const std::string& crs, std::string& fault) { return ReadSrs(crs, fault) != nullptr; }

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

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

}  // namespace

std::vector<const CrsEntry*> FindCrs(std::string_view text, size_t limit) {
  std::vector<std::string> words;
  const std::string lower = Lower(text);
  for (size_t at = 0; at < lower.size();) {
    const size_t begin = lower.find_first_not_of(' ', at);
    if (begin == std::string::npos) break;
    const size_t end = std::min(lower.find(' ', begin), lower.size());
    words.push_back(lower.substr(begin, end - begin));
    at = end;
  }
  std::vector<const CrsEntry*> found;
  for (const CrsEntry& entry : CrsCatalogue()) {
    if (found.size() >= limit) break;
    const std::string haystack = Lower(entry.code) + " " + Lower(entry.name);
    if (std::all_of(words.begin(), words.end(), [&haystack](const std::string& w) {
          return haystack.find(w) != std::string::npos;
        })) {
      found.push_back(&entry);
    }
  }
  return found;
}

}  // namespace korv
