// The conversions the program offers, one row each: what it reads, what it writes, which
// settings and command-line options it takes, and the function that runs it. The windows and
// korvenia-cli both run conversions through these rows, with the options of a run built by
// one function from the settings file. Adding a target is one row here and its writer.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "coords/dxf_options.h"
#include "core/convert_result.h"
#include "core/coord_field_options.h"
#include "core/coord_order.h"
#include "core/gis_settings.h"
#include "core/key_store.h"
#include "core/reporter.h"
#include "formats/kof_options.h"
#include "formats/kof_writer.h"
#include "formats/sdr_options.h"
#include "survey/survey.h"

namespace korv {

// What a conversion reads: raw data, a coordinate list, or the points of a GIS file
// (GeoPackage, GeoJSON, Shapefile, KML, CSV, DXF).
enum class DataKind { Raw, CoordList, Gis };

// The command line's words for a data kind: "raw", "coord" and "gis". DataKindFromWord gives
// nullopt for any other word.
const char* DataKindWord(DataKind kind);
std::optional<DataKind> DataKindFromWord(std::string_view word);

// The window's dialog that edits the settings a conversion reads.
enum class SettingsDialog { None, Kof, Sdr, Dxf, CoordFields, Gis };

// Everything a run's writer takes: the format options, the reduction of observations, the
// coordinate order, the run's local date and time, and how the output is opened.
struct RunOptions {
  KofOptions kof;
  SdrOptions sdr;
  DxfOptions dxf;
  CoordFieldOptions fields;  // the user-defined coordinate file's fields and separator
  ReductionOptions reduction;  // how raw data is reduced to coordinates
  GisSettings gis;             // the GIS exchange: coordinate system, layer and attribute names
  int coordOrder = CoordOrder::kNEZ;
  std::tm now{};
  WriteMode mode = WriteMode::Overwrite;
};

// The options of a run writing `output` at `now`, from the settings file `ini` (empty for the
// choices of a freshly created file) found in `settingsFolder` (with its trailing separator).
// Front ends lay their own choices on top: the command line's options, the window's current
// selections and dialogs.
RunOptions OptionsFromSettings(const IniFile& ini, const std::string& settingsFolder,
                               const std::string& output, const std::tm& now);

// What a run uses besides its options: the KOF point-number table (the window keeps it
// between runs) and where warnings raised on the way go (a missing conversion file).
struct RunServices {
  PointConversion& pointTable;
  Reporter& reporter;
};

struct Conversion {
  DataKind from;
  const char* to;                     // the target's word on the command line: "kof", "dxf", ...
  const char* what;                   // one line for --help
  const char* extension;              // of the output file, without the dot
  bool appendPossible;                // false: the output is always written new (a drawing)
  std::vector<const char*> sections;  // the settings file's sections it reads
  std::vector<const char*> options;   // command-line options it takes, without "--"
  SettingsDialog dialog;              // the window's dialog for those settings
  ConvertResult (*run)(const std::string& input, const std::string& output,
                       const RunOptions& options, RunServices& services);
};

// Runs `conversion`, first refusing, before the output is touched, an input that plainly holds
// the other kind of survey data (raw data given as a coordinate list, or the other way round).
ConvertResult RunConversion(const Conversion& conversion, const std::string& input,
                            const std::string& output, const RunOptions& options,
                            RunServices& services);

const std::vector<Conversion>& Conversions();
// The row converting `from` into the target `to`; nullptr when there is none.
const Conversion* FindConversion(DataKind from, std::string_view to);

}  // namespace korv
