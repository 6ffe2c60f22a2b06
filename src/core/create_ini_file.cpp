// Writing the whole settings file with its defaults: the control records with the windows'
// texts, then the fixed sections, the "[Default]" settings, the help file, the messages and the
// survey texts.
#include <cctype>
#include <fstream>
#include <iterator>
#include <string>

#include "core/key_store.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "core/gis_settings.h"
#include "core/journal.h"
#include "core/interface_language.h"
#include "core/program_texts.h"
#include "core/recent_files.h"
#include "core/survey_texts.h"
#include "core/window_place.h"

namespace korv {

namespace {

// The key and list sections that follow the control records up to "[Coordinate labes]".
constexpr const char* kToolTipsAndLists[] = {
    "[ToolTipsText CommandSetting]",
    "NR1=KOF settings",
    "NR2=MAPA2 settings",
    "NR3=SDR-2x settings",
    "NR4=SDR-2x settings",
    "Co0=Coordinate file settings",
    "Co1=DXF settings",
    "Co2=KOF settings",
    "Co3=SDR-2x settings",
    "Co4=SDR-33 settings",
    "NRF0=KOF settings",
    "NRF1=MAPA2 settings",
    "CoF0=DXF settings",
    "CoF1=KOF settings",
    "",
    "[Vexal RAW data options]",
    "Vexal RAW data format V2.00",
    "KOF raw data file",
    "MAPA 2 raw data file",
    "SDR-2x raw data file",
    "SDR-33 raw data file",
    "",
    "[Coortinate data options]",
    "Coordinate file",
    "DXF file",
    "KOF coordinate file",
    "SDR-2x coordinate file",
    "SDR-33 coordinate file",
    "",
    "[Vexal RAW data options file]",
    "KOF raw data file",
    "MAPA 2 raw data file",
    "",
    "[Coortinate data options file]",
    "DXF file",
    "KOF coordinate file",
    "",
    "[Send data format]",
    "Coordinate file",
    "Vexal Code file",
    "KOF",
    "",
    "[Coomunication Port]",
    "COM1",
    "COM2",
    "COM3",
    "COM4",
    "",
    "[Coomunication Speed]",
    "1200",
    "2400",
    "4800",
    "9600",
    "19200",
    "38400",
    "",
    "[Coomunication Data bits]",
    "7",
    "8",
    "",
    "[Coomunication Flow control]",
    "None",
    "Xon/Xoff",
    "",
    "[Coordinate order]",
    "NEZ",
    "ENZ",
    "",
    "[Coordinate labes]",
    "Northing = N, Easting = E",
    "Northing = X, Easting = Y",
    "Northing = Y, Easting = X",
    "",
};

// The key sections of the converters' settings, after "[Default]".
constexpr const char* kConverterSections[] = {
    "[SDR33 Settings]",
    "AngleUnits = 1",
    "DistanseUnits = 0",
    "PressureUnits = 0",
    "TemperatureUnits = 0",
    "TemperatureAndPressure = 0",
    "CurvatureAndRefraction = 1",
    "RefractionConstant = 0",
    "SeaLevel = 0",
    "",
    "[KOF Settings]",
    "Road= ",
    "City= ",
    "Surveyor= ",
    "UsePointNumberConversion = 0",
    "UseCodeConversion = 0",
    "KofpointFile=",
    "",
    "[Coordinate Settings]",
    "ComboField1=Point number",
    "ComboField2=Northing",
    "ComboField3=Easting",
    "ComboField4=Elevation",
    "ComboField5=Code",
    "ComboField6=Nothing",
    "ComboField7=None",
    "ComboField8=Ignore",
    "Field1= 0",
    "Field2= 1",
    "Field3= 2",
    "Field4= 3",
    "Field5= 4",
    "Separator=0",
    "",
    "[Coordinate UpLoad Settings]",
    "ComboField1=Point number",
    "ComboField2=Northing",
    "ComboField3=Easting",
    "ComboField4=Elevation",
    "ComboField5=Code",
    "ComboField6=Ignore",
    "ComboField7=None",
    "Field1= 0",
    "Field2= 1",
    "Field3= 2",
    "Field4= 3",
    "Field5= 4",
    "Separator=0",
    "",
    "[DXF Settings]",
    "Dxf_Point_Layer=PT",
    "Dxf_Check_PointName=1",
    "Dxf_Check_Elevation=1",
    "Dxf_Check_Code=1",
    "Dxf_PointName_Layer=PN",
    "Dxf_Elevation_Layer=EL",
    "Dxf_Code_Layer=CD",
    "Dxf_PointName_TS=1",
    "Dxf_Elevation_TS=1",
    "Dxf_Code_TS=1",
    "Dxf_Option3D=0",
    "Dxf_ColorPointName=0",
    "Dxf_ColorElevation=0",
    "Dxf_ColorCode=0",
    "",
};

// "[Messages for file types]": the last line holds one blank.
constexpr const char* kFileTypeSection[] = {
    "[Messages for file types]",
    "Select program name for editor",
    "Program (*.exe, *.bat)",
    "Vexal Raw Data Format v2.0(*.vxl, .dn?, .raw)",
    "Coordinate file (*.asc)",
    "All files (*.*)",
    " ",
};

// "[Messages]" rows 1 to 47.
constexpr const char* kMessages[] = {
    "Receive",
    "Send",
    "Settings",
    "Select data file",
    "File not exist.",
    "Warning",
    "Do you wish to overwite or append data?",
    "Append",
    "Overwite",
    "Cancel",
    "Error",
    "Cannot create file!",
    "Please specify other name.",
    "Cannot open output file",
    "The communication port could not be opened.",
    "Warning",
    "Data transmission interrupted",
    "Complete",
    "Data transmission successfully completed.",
    "Upload aborted!",
    "Finished",
    "The data was uploaded successfully.",
    "Edit new file?",
    "Coordinate file",
    "Code list file",
    "Select filename",
    "name too long, maximum 12 characters allowed!",
    "KOF converter",
    "not found",
    "Load",
    "SDR-2x",
    "On the instrument select as download option:",
    "Format: SDR-2x",
    "Data: Raw",
    "OK",
    "Format: SDR-33",
    "SDR-33",
    "Please specify filename to save",
    "This file contains no data",
    "Please specify a file name first!",
    "Data: Coordinate",
    "&OK",
    "&Cancel",
    "Converting",
    "Please Wait",
    "Finished",
    "Conversion finished",
};
static_assert(std::size(kMessages) == 47, "the default file holds message rows 1 to 47");

template <size_t N>
void AppendLines(std::string& out, const char* const (&lines)[N]) {
  for (const char* l : lines) {
    out += l;
    out += "\r\n";
  }
}

void SetDefaultSettings(AppState& s) {
  s.HelpFileName = kDefaultHelpFileName;
  s.HelpProgShow = kDefaultHelpProgShow;
  s.JobPath.clear();
  s.SaveAsPath.clear();
  s.UpLoadPath.clear();
  s.ProgramEditor.clear();
  s.SourceIndex = s.SourceKind = 0;
  s.RawTargetIndex = s.CoordTargetIndex = s.RawFileTargetIndex = s.CoordFileTargetIndex = 0;
  s.CheckOrigDFState = s.PortIndex = 0;
  s.SpeedIndex = 4;
  s.DataBitsIndex = 1;
  s.FlowControlIndex = 1;
  s.CoordOrderIndex = s.CoordLabelsIndex = s.EditorChoice = 0;
  // DataSendFormat keeps its value.
}

// The "[Serial devices]" section of a settings file's text, header and key lines as they
// stand, each ended by CR LF; "" when the file has none.
std::string SerialDevicesSection(const std::string& file) {
  std::string section;
  bool inside = false;
  size_t start = 0;
  while (start < file.size()) {
    size_t end = file.find('\n', start);
    if (end == std::string::npos) end = file.size();
    std::string line = file.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '[') {
      std::string name = line.substr(first);
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      inside = name.rfind("[serial devices]", 0) == 0 && section.empty();
      if (!inside) continue;
    }
    if (inside && first != std::string::npos) section += line + "\r\n";
  }
  return section.empty() ? section : "\r\n" + section;
}

}  // namespace

std::string BuildIniFile(AppState& state) {
  std::string out;
  out.reserve(48 * 1024);
  for (const ControlRecordDef& def : ControlCatalogue()) {
    auto it = state.controls.find(def.name);
    WriteControlRecord(out, def.name, def.kind,
                       it != state.controls.end() ? it->second : def.design);
  }
  AppendLines(out, kToolTipsAndLists);

  SetDefaultSettings(state);
  out += "[Default]\r\n";
  for (const DefaultKey& k : kDefaultKeys) {
    // Integer keys carry the blank of the sign before and one blank after the number.
    out += std::string(k.key) + "=" +
           (k.text ? state.*k.text : PrintedNumber(static_cast<double>(state.*k.integer))) + "\r\n";
  }
  out += "\r\n";

  AppendLines(out, kConverterSections);
  out += "[Help file]\r\n";
  out += "HelpFileName=" + state.HelpFileName + "\r\n";
  out += "HelpProgShow =" + state.HelpProgShow + "\r\n";
  out += "\r\n";
  AppendLines(out, kFileTypeSection);
  out += "[Messages]\r\n";
  for (size_t i = 0; i < std::size(kMessages); ++i) {
    out += std::to_string(i + 1) + "," + kMessages[i] + "\r\n";
  }
  // Sections added since, at the end, so that every byte before them stays as it was.
  out += std::string("\r\n[") + kSurveyTextsSection + "]\r\n";
  AppendTextRows(out, SurveyTextSection());
  AppendGisSection(out);
  AppendJournalSection(out);
  out += std::string("\r\n[") + kInterfaceLanguageSection + "]\r\n";
  AppendTextRows(out, InterfaceLanguageSection());
  out += std::string("\r\n[") + kProgramTextsSection + "]\r\n";
  AppendTextRows(out, ProgramTextSection());
  AppendWindowSection(out);
  out += std::string("\r\n[") + kDesktopFilesSection + "]\r\n";
  AppendTextRows(out, DesktopFilesSection());
  // The recent files, written as they change, last of all.
  out += std::string("\r\n[") + kRecentFilesSection + "]\r\n";
  return out;
}

bool CreateIniFile(AppState& state) {
  state.CreatingIniFile = true;
  std::string text = BuildIniFile(state);

  // Keep the encoding (and byte-order mark) of the file being replaced, and the serial
  // devices the user assigned to the port numbers: they are no default to return to.
  std::string bytes;
  {
    std::ifstream in(state.IniFilePath, std::ios::binary);
    std::string old;
    if (in) old.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::string_view oldBody = old;
    if (oldBody.substr(0, 3) == "\xEF\xBB\xBF") {
      bytes = "\xEF\xBB\xBF";
      oldBody.remove_prefix(3);
    }
    text += SerialDevicesSection(LinesToUtf8(oldBody));
    bytes += LinesEncoding(oldBody) == TextEncoding::Utf8 ? text : Utf8ToWindows1252(text);
  }
  bool ok = ReplaceFileAtomically(state.IniFilePath, bytes);

  state.ActionWord.clear();
  state.CreatingIniFile = false;
  return ok;
}

}  // namespace korv
