// Loads the GIS engine module on first use and passes the calls that need GDAL to it.
#include <dlfcn.h>

#include <filesystem>
#include <mutex>

#include "gis/engine.h"

namespace korv {

namespace {

struct LoadedEngine {
  const GisEngine* engine = nullptr;
  std::string fault;  // why there is none
};

// KORVENIA_ENGINE_DIR (lib/<architecture>/korvenia) beside the folder of the running program:
// bin/ of the build tree or of the installation.
std::string EnginePath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return kGisEngineFile;  // left to the loader's own search
  return (program.parent_path().parent_path() / KORVENIA_ENGINE_DIR / kGisEngineFile).string();
}

LoadedEngine Load() {
  const std::string path = EnginePath();
  const std::string unavailable = "GIS files cannot be read or written: ";
  // Kept loaded for the rest of the run; RTLD_LOCAL keeps GDAL's symbols out of the program's.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) return {nullptr, unavailable + dlerror()};
  auto entry = reinterpret_cast<GisEngineEntry>(dlsym(module, kGisEngineSymbol));
  const GisEngine* engine = entry ? entry() : nullptr;
  if (!engine || engine->version != kGisEngineVersion) {
    return {nullptr, unavailable + path + " belongs to another version of the program"};
  }
  return {engine, ""};
}

// The engine, loaded once for all threads; nullptr with `fault` set when it cannot be.
const GisEngine* Engine(std::string& fault) {
  static std::once_flag once;
  static LoadedEngine loaded;
  std::call_once(once, [] { loaded = Load(); });
  fault = loaded.fault;
  return loaded.engine;
}

}  // namespace

bool ReadGisPoints(const std::string& path, const GisSettings& settings, GisPoints& points,
                   std::string& fault) {
  const GisEngine* engine = Engine(fault);
  return engine && engine->readGisPoints(path, settings, points, fault);
}

ConvertResult WriteGisPoints(const Survey& survey, TextEncoding encoding, const std::string& output,
                             GisFormat format, const GisSettings& settings) {
  std::string fault;
  const GisEngine* engine = Engine(fault);
  if (!engine) return ConvertResult::OutputFault(fault);
  return engine->writeGisPoints(survey, encoding, output, format, settings);
}

ConvertResult WriteLandXml(const Survey& survey, TextEncoding encoding, const std::string& output,
                           const LandXmlOptions& options) {
  std::string fault;
  const GisEngine* engine = Engine(fault);
  if (!engine) return ConvertResult::OutputFault(fault);
  return engine->writeLandXml(survey, encoding, output, options);
}

bool CheckCrs(const std::string& crs, std::string& fault) {
  const GisEngine* engine = Engine(fault);
  return engine && engine->checkCrs(crs, fault);
}

std::string CrsDisplayName(const std::string& crs) {
  std::string fault;
  const GisEngine* engine = Engine(fault);
  return engine ? engine->crsDisplayName(crs) : crs;
}

const std::vector<CrsEntry>& CrsCatalogue() {
  static const std::vector<CrsEntry> none;
  std::string fault;
  const GisEngine* engine = Engine(fault);
  return engine ? engine->crsCatalogue() : none;
}

}  // namespace korv
