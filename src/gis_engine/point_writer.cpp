// The GIS point writers: one GDAL driver per format, fed feature by feature, into a scratch
// folder beside the output that is moved into place only when GDAL closed the dataset cleanly.
// GDAL opens its files itself, so ConvertFiles cannot; the writer keeps its promises here:
// the input is never the output, a file that may not be written is not replaced, faults name
// the output, and a failure leaves no file behind.

#include <ogr_core.h>
#include <ogrsf_frmts.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "core/input_file.h"
#include "core/text.h"
#include "gis_engine/engine.h"
#include "gis_engine/gdal_support.h"
#include "survey/raw_to_coor.h"

namespace fs = std::filesystem;

namespace korv::gis_engine {

namespace {

// Features per transaction where the driver has them (GeoPackage): one commit per feature
// would cost a disk sync each.
constexpr int kFeaturesPerTransaction = 100000;

struct FormatTraits {
  const char* driver;
  const char* title;      // what the fault texts call it
  const char* extension;  // what GDAL needs the file name to end in
  bool wgs84;             // written in longitude and latitude
  std::vector<const char*> layerOptions;
};

FormatTraits TraitsOf(GisFormat format) {
  switch (format) {
    case GisFormat::GeoPackage:
      return {"GPKG", "GeoPackage", "gpkg", false, {}};
    case GisFormat::GeoJson:
      return {"GeoJSON", "GeoJSON", "geojson", true, {"RFC7946=YES", "COORDINATE_PRECISION=9"}};
    case GisFormat::Shapefile:
      return {"ESRI Shapefile", "A Shapefile", "shp", false, {"ENCODING=UTF-8"}};
    case GisFormat::Kml:
      return {"KML", "KML", "kml", true, {}};
    case GisFormat::Csv:
      return {"CSV", "CSV", "csv", false, {"GEOMETRY=AS_XYZ"}};
  }
  return {"", "", "", false, {}};
}

// The Shapefile's member files besides the .shp, which is moved last.
constexpr const char* kShapefileMembers[] = {".shx", ".dbf", ".prj", ".cpg"};

std::string Fault(const std::string& output, const std::string& detail) {
  return "Cannot write " + output + ": " + detail;
}

// The output's path with its extension replaced by `extension` (a Shapefile member).
std::string Member(const std::string& output, const char* extension) {
  return fs::path(output).replace_extension(extension).string();
}

// What can be told about the output before anything is written; "" when it may be written.
std::string OutputProblem(const Survey& survey, const std::string& output, GisFormat format) {
  if (output.empty()) return "No output file given";
  std::error_code ec;
  if (fs::is_directory(output, ec)) return Fault(output, "it is a folder");
  const std::string extension = ToLowerAscii(fs::path(output).extension().string());
  if (format == GisFormat::Shapefile && extension != ".shp") {
    return Fault(output, "a Shapefile's name ends in .shp");
  }
  std::vector<std::string> written = {output};
  if (format == GisFormat::Shapefile) {
    for (const char* member : kShapefileMembers) written.push_back(Member(output, member));
  }
  for (const std::string& path : written) {
    if (!survey.source.empty() && SameFile(survey.source, path)) {
      return Fault(path, "it is the input file");
    }
    // Replacing the file must not get round a file that may not be written.
    if (fs::exists(path, ec) && ::access(path.c_str(), W_OK) != 0) return WriteFault(path, errno);
  }
  return "";
}

// The file `output` names: through a link, the file is replaced and the link stays.
std::string LinkTarget(const std::string& output) {
  std::error_code ec;
  if (!fs::is_symlink(output, ec)) return output;
  const fs::path resolved = fs::canonical(output, ec);
  return ec ? output : resolved.string();
}

// A new folder beside the output that GDAL writes into, removed with whatever is left in it.
class ScratchFolder {
 public:
  ScratchFolder() = default;
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }

  // False with errno set when the output's folder takes no new entry.
  bool Create(const std::string& output) {
    const fs::path target(output);
    std::string name =
        (target.parent_path() / ("." + target.filename().string() + ".korvenia-XXXXXX")).string();
    if (!::mkdtemp(name.data())) return false;
    path_ = name;
    return true;
  }
  fs::path path() const { return path_; }

 private:
  fs::path path_;
};

struct CtDestroy {
  void operator()(OGRCoordinateTransformation* ct) const {
    OGRCoordinateTransformation::DestroyCT(ct);
  }
};
using TransformPtr = std::unique_ptr<OGRCoordinateTransformation, CtDestroy>;

// Where each attribute of a point goes in the layer; -1 for one the layer does not have.
struct FieldIndices {
  int name = -1, code = -1, elevation = -1, station = -1, line = -1;
};

// A Shapefile's attribute names hold at most 10 characters: the driver shortens a longer one
// (and makes it unique), so a field is found by its position, not by the name asked for, and
// `renamed` tells the user what the GIS program will show.
bool CreateFields(OGRLayer& layer, const GisSettings& settings, bool raw, FieldIndices& fields,
                  std::vector<std::string>& renamed, std::string& fault) {
  struct Wanted {
    std::string name;
    OGRFieldType type;
    int* index;
  };
  std::vector<Wanted> wanted = {{settings.nameField, OFTString, &fields.name},
                                {settings.codeField, OFTString, &fields.code},
                                {settings.elevationField, OFTReal, &fields.elevation}};
  if (raw) {
    wanted.push_back({"station", OFTString, &fields.station});
    wanted.push_back({"line", OFTInteger, &fields.line});
  }
  for (size_t i = 0; i < wanted.size(); ++i) {
    const std::string& name = wanted[i].name;
    if (name.empty()) {
      fault = "an attribute name is empty";
      return false;
    }
    for (size_t j = 0; j < i; ++j) {
      if (ToLowerAscii(wanted[j].name) == ToLowerAscii(name)) {
        fault = "the attribute name '" + name + "' is given twice";
        return false;
      }
    }
    OGRFieldDefn definition(name.c_str(), wanted[i].type);
    CPLErrorReset();
    if (layer.CreateField(&definition) != OGRERR_NONE) {
      const std::string gdal = GdalFault();
      fault = "the attribute name '" + name + "' is refused" + (gdal.empty() ? "" : ": " + gdal);
      return false;
    }
    const OGRFeatureDefn& layerFields = *layer.GetLayerDefn();
    *wanted[i].index = layerFields.GetFieldCount() - 1;
    const char* created = layerFields.GetFieldDefn(*wanted[i].index)->GetNameRef();
    if (name != created) {
      renamed.push_back("The attribute '" + name + "' is named '" + created + "' in the file.");
    }
  }
  return true;
}

// A text of the survey as the UTF-8 GDAL takes.
std::string Utf8(std::string_view text, TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 ? std::string(text) : Windows1252ToUtf8(text);
}

// Feeds the survey's points to a layer, in transactions where the dataset has them.
class PointFeeder {
 public:
  PointFeeder(GDALDataset& dataset, OGRLayer& layer, const FieldIndices& fields,
              OGRCoordinateTransformation* toWgs84)
      : dataset_(dataset),
        layer_(layer),
        fields_(fields),
        toWgs84_(toWgs84),
        transactions_(dataset.TestCapability(ODsCTransactions)),
        feature_(layer.GetLayerDefn()) {
    feature_.SetGeometryDirectly(new OGRPoint(0, 0, 0));
  }

  // False with `fault` set ("the point P (line 12) ...", or GDAL's message).
  bool Write(const Survey& survey, TextEncoding encoding, std::string& fault) {
    if (transactions_ && !Begin(fault)) return false;
    int inTransaction = 0;
    for (uint32_t i : WrittenPoints(survey)) {
      if (!WritePoint(survey, survey.points[i], encoding, fault)) return false;
      if (transactions_ && ++inTransaction == kFeaturesPerTransaction) {
        inTransaction = 0;
        if (!Commit(fault) || !Begin(fault)) return false;
      }
    }
    return !transactions_ || Commit(fault);
  }

 private:
  bool WritePoint(const Survey& s, const Point& p, TextEncoding encoding, std::string& fault) {
    double x = p.east, y = p.north, z = p.hasElevation ? p.elevation : 0;
    if (toWgs84_ && !toWgs84_->Transform(1, &x, &y, &z)) {
      fault = "the point at line " + std::to_string(p.line) + " does not transform to WGS 84";
      return false;
    }
    auto* point = static_cast<OGRPoint*>(feature_.GetGeometryRef());
    point->setX(x);
    point->setY(y);
    point->setZ(z);
    feature_.SetField(fields_.name, Utf8(s.Text(p.name), encoding).c_str());
    feature_.SetField(fields_.code, Utf8(s.Text(p.code), encoding).c_str());
    if (p.hasElevation) {
      feature_.SetField(fields_.elevation, p.elevation);
    } else {
      feature_.SetFieldNull(fields_.elevation);
    }
    if (fields_.station >= 0) {
      if (p.setUp == kNoIndex) {
        feature_.SetFieldNull(fields_.station);
      } else {
        feature_.SetField(fields_.station,
                          Utf8(s.Text(s.setUps[p.setUp].station), encoding).c_str());
      }
      feature_.SetField(fields_.line, static_cast<int>(p.line));
    }
    feature_.SetFID(OGRNullFID);
    CPLErrorReset();
    if (layer_.CreateFeature(&feature_) == OGRERR_NONE) return true;
    fault = GdalFault();
    if (fault.empty()) fault = "the point at line " + std::to_string(p.line) + " was refused";
    return false;
  }

  bool Begin(std::string& fault) {
    CPLErrorReset();
    if (dataset_.StartTransaction() == OGRERR_NONE) return true;
    fault = GdalFault();
    return false;
  }
  bool Commit(std::string& fault) {
    CPLErrorReset();
    if (dataset_.CommitTransaction() == OGRERR_NONE) return true;
    fault = GdalFault();
    return false;
  }

  GDALDataset& dataset_;
  OGRLayer& layer_;
  const FieldIndices& fields_;
  OGRCoordinateTransformation* toWgs84_;
  const bool transactions_;
  OGRFeature feature_;
};

// Moves the written files from the scratch folder onto the output (a Shapefile's members
// first, its .shp last; a member the new one lacks, such as the .prj of a grid no longer
// given, is removed). False with errno set when a rename failed.
bool MoveIntoPlace(const fs::path& written, const std::string& output, GisFormat format) {
  if (format == GisFormat::Shapefile) {
    for (const char* member : kShapefileMembers) {
      const fs::path from = fs::path(written).replace_extension(member);
      const std::string to = Member(output, member);
      std::error_code ec;
      if (fs::exists(from, ec)) {
        if (::rename(from.c_str(), to.c_str()) != 0) return false;
      } else {
        fs::remove(to, ec);
      }
    }
  }
  return ::rename(written.c_str(), output.c_str()) == 0;
}

// A GeoPackage layer without a system is marked as the undefined Cartesian one (srs_id -1),
// which GDAL writes for this system; given none it would write the undefined geographic one,
// as if the grid were degrees.
SrsPtr UndefinedCartesian() {
  SrsPtr srs(new OGRSpatialReference());
  srs->importFromWkt(R"(LOCAL_CS["Undefined cartesian SRS",UNIT["unknown",0]])");
  return srs;
}

// The name GDAL writes in the scratch folder: the output's, with the extension the driver
// needs added when it lacks it (a CSV named "points.txt"), in lower case when it has it in
// capitals: the Shapefile driver names the members (and the .shp itself) in lower case,
// whatever case it was given, so "POINTS.SHP" is written as "POINTS.shp" and moved onto
// the output's name.
std::string ScratchName(const std::string& output, const FormatTraits& traits) {
  const fs::path name = fs::path(output).filename();
  const std::string wanted = std::string(".") + traits.extension;
  if (ToLowerAscii(name.extension().string()) == wanted) return name.stem().string() + wanted;
  return name.string() + wanted;
}

// The layer of 3D points, in `srs`; nullptr with `fault` set when the driver refuses it.
OGRLayer* CreatePointLayer(GDALDataset& dataset, const FormatTraits& traits,
                           const std::string& name, OGRSpatialReference* srs, std::string& fault) {
  std::vector<const char*> options = traits.layerOptions;
  options.push_back(nullptr);
  CPLErrorReset();
  OGRLayer* layer = name.empty() ? nullptr
                                 : dataset.CreateLayer(name.c_str(), srs, wkbPoint25D,
                                                       const_cast<char**>(options.data()));
  if (!layer) {
    const std::string gdal = GdalFault();
    fault = "the layer name '" + name + "' is refused" + (gdal.empty() ? "" : ": " + gdal);
  }
  return layer;
}

// Creates the dataset and its layer at `path` and writes every point. False with `fault` set.
bool WriteDataset(const Survey& survey, TextEncoding encoding, const std::string& path,
                  const FormatTraits& traits, const GisSettings& settings,
                  OGRSpatialReference* grid, std::vector<std::string>& renamed,
                  std::string& fault) {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(traits.driver);
  if (!driver) {
    fault = std::string("GDAL has no ") + traits.driver + " driver";
    return false;
  }
  SrsPtr wgs84 = traits.wgs84 ? Wgs84() : nullptr;
  TransformPtr toWgs84;
  if (wgs84) {
    toWgs84.reset(OGRCreateCoordinateTransformation(grid, wgs84.get()));
    if (!toWgs84) {
      fault = "no transformation to WGS 84: " + GdalFault();
      return false;
    }
  }
  // A GeoPackage is an SQLite database written into the scratch folder and thrown away on any
  // failure: SQLite's rollback journal and disk syncs protect nothing there. A page cache
  // larger than SQLite's 2 MB keeps the spatial index GDAL builds at the end in memory.
  const CPLConfigOptionSetter noJournal("OGR_SQLITE_JOURNAL", "OFF", false);
  const CPLConfigOptionSetter noSync("OGR_SQLITE_SYNCHRONOUS", "OFF", false);
  const CPLConfigOptionSetter cache("OGR_SQLITE_CACHE", "64", false);  // MB
  // A KML placemark's name is what viewers label it with: the name attribute goes there,
  // whatever it is called (the driver takes only a field called "Name" by itself).
  const std::string kmlName = "NameField=" + settings.nameField;
  const char* kmlOptions[] = {kmlName.c_str(), nullptr};
  const bool kml = std::string_view(traits.driver) == "KML";
  CPLErrorReset();
  DatasetPtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown,
                                    kml ? const_cast<char**>(kmlOptions) : nullptr));
  if (!dataset) {
    fault = GdalFault();
    return false;
  }
  OGRLayer* layer =
      CreatePointLayer(*dataset, traits, settings.layerName, wgs84 ? wgs84.get() : grid, fault);
  if (!layer) return false;
  FieldIndices fields;
  if (!CreateFields(*layer, settings, survey.raw, fields, renamed, fault)) return false;
  if (!PointFeeder(*dataset, *layer, fields, toWgs84.get()).Write(survey, encoding, fault)) {
    return false;
  }
  // GDAL reports a failure to finish the file (the last writes, the spatial index) only
  // through its error state.
  CPLErrorReset();
  dataset.reset();
  if (CPLGetLastErrorType() >= CE_Failure) {
    fault = GdalFault();
    return false;
  }
  return true;
}

}  // namespace

ConvertResult WriteGisPoints(const Survey& survey, TextEncoding encoding, const std::string& output,
                             GisFormat format, const GisSettings& settings) {
  EnsureGdal();
  const FormatTraits traits = TraitsOf(format);
  SrsPtr grid;
  if (!settings.crs.empty()) {
    std::string fault;
    grid = ReadGrid(settings.crs, fault);
    if (!grid) return ConvertResult::OutputFault(fault);
  } else if (traits.wgs84) {
    return ConvertResult::OutputFault(
        std::string(traits.title) +
        " is written in WGS 84 (longitude, latitude): give the survey's coordinate reference "
        "system (--crs, or the GIS settings)");
  }
  if (std::string problem = OutputProblem(survey, output, format); !problem.empty()) {
    return ConvertResult::OutputFault(problem);
  }
  if (!grid && format == GisFormat::GeoPackage) grid = UndefinedCartesian();
  ScratchFolder scratch;
  const std::string target = LinkTarget(output);
  if (!scratch.Create(target)) return ConvertResult::OutputFault(WriteFault(output, errno));
  const fs::path written = scratch.path() / ScratchName(target, traits);
  std::string fault;
  std::vector<std::string> renamed;
  if (!WriteDataset(survey, encoding, written.string(), traits, settings, grid.get(), renamed,
                    fault)) {
    return ConvertResult::OutputFault(Fault(output, fault.empty() ? "GDAL failed" : fault));
  }
  // A replaced file keeps its permissions.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::chmod(written.c_str(), old.st_mode & 07777);
  if (!MoveIntoPlace(written, target, format)) {
    return ConvertResult::OutputFault(WriteFault(output, errno));
  }
  ConvertResult result;
  NoteLeftOut(survey, result.notes);
  result.notes.remarks.insert(result.notes.remarks.end(), renamed.begin(), renamed.end());
  return result;
}

}  // namespace korv::gis_engine
