// The LandXML 1.2 writer: the document is built with pugixml, which escapes every text, and
// saved whole beside the target before it replaces it.

#include <cpl_conv.h>

#include <cerrno>
#include <cmath>
#include <pugixml.hpp>
#include <string_view>
#include <unordered_set>

#include "core/input_file.h"
#include "core/numbers.h"
#include "core/output_file.h"
#include "gis_engine/engine.h"
#include "gis_engine/gdal_support.h"
#include "survey/raw_to_coor.h"

namespace korv::gis_engine {

namespace {

constexpr const char* kNamespace = "http://www.landxml.org/schema/LandXML-1.2";
constexpr const char* kSchemaLocation =
    "http://www.landxml.org/schema/LandXML-1.2 "
    "http://www.landxml.org/schema/LandXML-1.2/LandXML-1.2.xsd";

// What the parts of the document share while it is built.
struct Document {
  const Survey& survey;
  TextEncoding encoding;
  ConvertNotes& notes;
  std::unordered_set<std::string_view> cgPoints;  // the names written as CgPoints
};

// A text of the survey in UTF-8. A UTF-8 file's name that is not valid UTF-8 is read as
// Windows-1252, as the settings file's lines are, so the document stays well-formed.
// Control characters other than the tab cannot stand in an XML 1.0 document, not even as
// references: each becomes "?".
std::string Utf8(const Document& d, TextSpan span) {
  const std::string_view text = d.survey.Text(span);
  std::string utf8 = d.encoding == TextEncoding::Utf8 && IsValidUtf8(text)
                         ? std::string(text)
                         : Windows1252ToUtf8(text);
  for (char& c : utf8) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = '?';
  }
  return utf8;
}

void Set(pugi::xml_node node, const char* attribute, const std::string& value) {
  node.append_attribute(attribute).set_value(value.c_str());
}

// LandXML has no word for mils: they are written as decimal degrees.
const char* AngularUnitWord(AngleUnit unit) {
  switch (unit) {
    case AngleUnit::Gon:
      return "grads";
    case AngleUnit::Dms:
      return "decimal dd.mm.ss";
    case AngleUnit::Degrees:
    case AngleUnit::Mil:
      break;
  }
  return "decimal degrees";
}

// An angle as read, in the unit Units names.
std::string Angle(double value, AngleUnit unit) {
  if (unit == AngleUnit::Mil) {
    value = RadiansToAngle(AngleToRadians(value, AngleUnit::Mil), AngleUnit::Degrees);
  }
  return GeneralNumber(value);
}

// A coordinate with 3 decimals; what rounds to 0 is written "0.000", not "-0.000".
void AppendCoordinate(std::string& out, double value, uint32_t line, ConvertNotes& notes) {
  if (std::fabs(value) < 0.0005) value = 0;
  if (!AppendPicture(out, value, 3)) notes.OutOfRange(line);
}

void AddUnits(pugi::xml_node root, bool imperial, AngleUnit angleUnit) {
  pugi::xml_node units = root.append_child("Units").append_child(imperial ? "Imperial" : "Metric");
  // The settings' code for feet does not tell US survey feet from international feet.
  Set(units, "areaUnit", imperial ? "squareFoot" : "squareMeter");
  Set(units, "linearUnit", imperial ? "USSurveyFoot" : "meter");
  Set(units, "volumeUnit", imperial ? "cubicFeet" : "cubicMeter");
  // Required by the schema; the document holds no temperature or pressure.
  Set(units, "temperatureUnit", imperial ? "fahrenheit" : "celsius");
  Set(units, "pressureUnit", imperial ? "inHG" : "HPA");
  Set(units, "angularUnit", AngularUnitWord(angleUnit));
  Set(units, "directionUnit", AngularUnitWord(angleUnit));
}

// The system's name, its EPSG code when it has one, and its WKT.
void AddCoordinateSystem(pugi::xml_node root, const OGRSpatialReference& srs) {
  pugi::xml_node system = root.append_child("CoordinateSystem");
  if (const char* name = srs.GetName()) Set(system, "name", name);
  const char* authority = srs.GetAuthorityName(nullptr);
  const char* code = srs.GetAuthorityCode(nullptr);
  if (authority && code && std::string_view(authority) == "EPSG") Set(system, "epsgCode", code);
  char* wkt = nullptr;
  if (srs.exportToWkt(&wkt) == OGRERR_NONE && wkt) Set(system, "ogcWktCode", wkt);
  CPLFree(wkt);
}

void AddApplication(pugi::xml_node root) {
  pugi::xml_node application = root.append_child("Application");
  Set(application, "name", "Korvenia");
  Set(application, "version", KORVENIA_VERSION);
}

// One CgPoint per point name: "northing easting elevation", the elevation left out when the
// point has none.
void AddCgPoints(pugi::xml_node root, Document& d) {
  const std::vector<uint32_t> written = WrittenPoints(d.survey);
  if (written.empty()) return;
  pugi::xml_node points = root.append_child("CgPoints");
  std::string text;
  for (uint32_t i : written) {
    const Point& p = d.survey.points[i];
    d.cgPoints.insert(d.survey.Text(p.name));
    pugi::xml_node point = points.append_child("CgPoint");
    Set(point, "name", Utf8(d, p.name));
    if (p.code.size > 0) Set(point, "code", Utf8(d, p.code));
    text.clear();
    AppendCoordinate(text, p.north, p.line, d.notes);
    text += ' ';
    AppendCoordinate(text, p.east, p.line, d.notes);
    if (p.hasElevation) {
      text += ' ';
      AppendCoordinate(text, p.elevation, p.line, d.notes);
    }
    point.text().set(text.c_str());
  }
}

// A point element of the survey: a reference to its CgPoint, or its name when it has none.
void ReferTo(pugi::xml_node point, const Document& d, TextSpan name) {
  Set(point, d.cgPoints.count(d.survey.Text(name)) ? "pntRef" : "name", Utf8(d, name));
}

pugi::xml_node AddSetUp(pugi::xml_node survey, const Document& d, size_t index) {
  const SetUp& u = d.survey.setUps[index];
  pugi::xml_node setUp = survey.append_child("InstrumentSetup");
  Set(setUp, "id", "setup" + std::to_string(index + 1));
  Set(setUp, "stationName", Utf8(d, u.station));
  Set(setUp, "instrumentHeight", GeneralNumber(u.instrumentHeight));
  if (d.cgPoints.count(d.survey.Text(u.station))) {
    ReferTo(setUp.append_child("InstrumentPoint"), d, u.station);
  }
  if (u.backsight.size > 0) {
    pugi::xml_node backsight = setUp.append_child("Backsight");
    Set(backsight, "circle", Angle(u.backsightDirection, d.survey.angleUnit));
    ReferTo(backsight.append_child("BacksightPoint"), d, u.backsight);
  }
  return setUp;
}

// Values as read; an empty (or zero) slope distance is no distance and is left out.
void AddObservation(pugi::xml_node setUp, const Document& d, const Observation& o) {
  pugi::xml_node observation = setUp.append_child("RawObservation");
  Set(observation, "horizAngle", Angle(o.horizontalAngle, d.survey.angleUnit));
  Set(observation, "zenithAngle", Angle(o.zenithAngle, d.survey.angleUnit));
  if (o.slopeDistance > 0) Set(observation, "slopeDistance", GeneralNumber(o.slopeDistance));
  Set(observation, "targetHeight", GeneralNumber(o.targetHeight));
  pugi::xml_node target = observation.append_child("TargetPoint");
  ReferTo(target, d, o.name);
  if (o.code.size > 0) Set(target, "code", Utf8(d, o.code));
}

// An InstrumentSetup per set-up holding its observations. Observations before the first set-up
// belong to no station, and a set-up whose instrument height or backsight direction did not
// read has no values to give: they are left out (and named in the notes by NoteLeftOut).
void AddSurvey(pugi::xml_node root, const Document& d) {
  if (!d.survey.raw || d.survey.setUps.empty()) return;
  pugi::xml_node survey = root.append_child("Survey");
  std::vector<pugi::xml_node> setUps(d.survey.setUps.size());  // null: left out
  for (size_t i = 0; i < setUps.size(); ++i) {
    if (!d.survey.setUps[i].notRead) setUps[i] = AddSetUp(survey, d, i);
  }
  for (const Observation& o : d.survey.observations) {
    if (o.setUp != kNoIndex && setUps[o.setUp]) AddObservation(setUps[o.setUp], d, o);
  }
}

void AddRoot(pugi::xml_document& doc, const std::tm& now) {
  pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
  Set(declaration, "version", "1.0");
  Set(declaration, "encoding", "UTF-8");
  pugi::xml_node root = doc.append_child("LandXML");
  Set(root, "xmlns", kNamespace);
  Set(root, "xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
  Set(root, "xsi:schemaLocation", kSchemaLocation);
  char date[32], time[32];
  std::strftime(date, sizeof date, "%Y-%m-%d", &now);
  std::strftime(time, sizeof time, "%H:%M:%S", &now);
  Set(root, "date", date);
  Set(root, "time", time);
  Set(root, "version", "1.2");
}

// The document written whole beside `output`, which it then replaces.
ConvertResult Save(const pugi::xml_document& doc, const std::string& output) {
  OutputFile file;
  ConvertResult result = file.Open(output, WriteMode::Overwrite);
  if (!result.ok()) return result;
  errno = 0;
  doc.save(file.stream(), "  ", pugi::format_default, pugi::encoding_utf8);
  file.stream().flush();
  if (!file.stream()) return ConvertResult::OutputFault(WriteFault(output, errno));
  return file.Commit();
}

}  // namespace

ConvertResult WriteLandXml(const Survey& survey, TextEncoding encoding, const std::string& output,
                           const LandXmlOptions& options) {
  if (output.empty()) return ConvertResult::OutputFault("No output file given");
  if (SameFile(survey.source, output)) {
    return ConvertResult::OutputFault("Cannot write " + output + ": it is the input file");
  }
  SrsPtr srs;
  if (!options.gis.crs.empty()) {
    std::string fault;
    srs = ReadGrid(options.gis.crs, fault);
    if (!srs) return ConvertResult::OutputFault(fault);
  }

  ConvertResult result;
  NoteLeftOut(survey, result.notes);
  Document d{survey, encoding, result.notes, {}};
  pugi::xml_document doc;
  AddRoot(doc, options.now);
  pugi::xml_node root = doc.child("LandXML");
  AddUnits(root, options.imperial, survey.angleUnit);
  if (srs) AddCoordinateSystem(root, *srs);
  AddApplication(root);
  AddCgPoints(root, d);
  AddSurvey(root, d);

  ConvertResult saved = Save(doc, output);
  if (!saved.ok()) return saved;
  return result;
}

}  // namespace korv::gis_engine
