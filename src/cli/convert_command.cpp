// korvenia-cli convert: runs one conversion of the registry on one file, with the options of
// the settings file (or the defaults of a fresh one) overridden by the command line, so that a
// shell loop can convert a whole folder.

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command.h"
#include "cli/survey_args.h"
#include "conversions/registry.h"
#include "core/file_procs.h"
#include "core/text.h"

namespace korv::cli {
namespace {

constexpr const char* kCommand = "convert";

// Warnings a converter raises while it goes on (a missing conversion file) go to stderr.
class StderrReporter : public Reporter {
 public:
  void Report(const std::string& text, const std::string&, MessageIcon) override {
    std::cerr << "korvenia-cli: warning: " << text << "\n";
  }
};

// Every option of the command. Which ones a conversion takes is its registry row's list,
// besides these that every conversion takes.
const std::vector<std::string> kRunOptions = {"from", "to", "ini", "now", "append"};

const std::vector<CliOption>& Options() {
  static const std::vector<CliOption> table = [] {
    std::vector<CliOption> options = {
        {"from", "raw|coord|gis",
         "what INPUT holds (gis: the points of a GeoPackage, GeoJSON,\n"
         "Shapefile, KML, CSV or DXF file)"},
        {"to", "FORMAT", "the output format (see the conversions above)"},
        {"ini", "FILE",
         "settings file (default: Korvenia.ini beside the program or in\n"
         "~/.config/Korvenia/, else the defaults of a new file)"},
        {"order", "nez|enz", "coordinate order (default: the settings file)"},
        {"append", nullptr, "append to OUTPUT instead of overwriting it"},
        {"project", "TEXT",
         "KOF header texts (default Project: OUTPUT's name without\n"
         "extension; Date: the run's date dd.mm.yy; the others from\n"
         "the settings file)"},
        {"date", "TEXT", ""},
        {"road", "TEXT", ""},
        {"city", "TEXT", ""},
        {"surveyor", "TEXT", ""},
        {"point-conversion", "on|off",
         "KOF point-number conversion (default: settings file);\n"
         "the conversion file is KofpointFile of [KOF Settings]:\n"
         "a full path as it is, any other name (points.txt,\n"
         "lists/points.txt) in the settings file's folder"},
        {"code-conversion", "on|off", "KOF code conversion (default: settings file)"},
        {"separator", "comma|space", "field separator (default: the settings file)"},
        {"crs", "CRS",
         "the survey's (or the instrument's) coordinate reference system, as\n"
         "PROJ takes it: EPSG:25832, a WKT or PROJ string (default: the\n"
         "settings file's [GIS Settings])"},
        {"layer", "NAME", "the layer written (default: the settings file, else points)"},
        {"name-field", "NAME",
         "the point name's attribute (default: the settings file, else name)"},
        {"code-field", "NAME", "the code's attribute (default: the settings file, else code)"},
    };
    const std::vector<CliOption>& reduction = ReductionCliOptions();
    options.insert(options.end(), reduction.begin(), reduction.end());
    options.insert(options.end(),
                   {
                       {"now", "\"YYYY-MM-DD HH:MM:SS\"", "the run's local date and time"},
                       {"help", nullptr, "this text"},
                       {"version", nullptr, "the program's version"},
                   });
    return options;
  }();
  return table;
}

bool Takes(const std::vector<const char*>& options, const std::string& name) {
  return std::any_of(options.begin(), options.end(), [&name](const char* o) { return name == o; });
}

void PrintUsage(std::ostream& out) {
  out << "Usage: korvenia-cli convert --from raw|coord|gis --to FORMAT [options] INPUT OUTPUT\n"
         "\nConversions, with the options each takes besides --ini, --now and --append\n"
         "(any other option is a usage error):\n";
  PrintConversions(out, true);
  PrintOptions(out, Options());
  out << "\nExit status: 0 converted, 1 failed, 2 usage error.\n";
}

// "YYYY-MM-DD HH:MM:SS" as a local date and time.
std::optional<std::tm> ParseNow(const std::string& text) {
  int y, mo, d, h, mi, s;
  char tail;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
    return std::nullopt;
  if (y < 1900 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || h < 0 ||
      mi < 0 || s < 0)
    return std::nullopt;
  std::tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  t.tm_isdst = -1;
  std::tm check = t;
  if (std::mktime(&check) == -1 || check.tm_mday != d) return std::nullopt;  // e.g. 02-30
  t.tm_wday = check.tm_wday;
  t.tm_yday = check.tm_yday;
  return t;
}

// Lays the command line's choices over the settings file's; "" when they are sound, else the
// usage error.
std::string ApplyOverrides(const ParsedArgs& args, RunOptions& o) {
  if (auto order = args.Value("order")) {
    const std::string word = ToLowerAscii(*order);
    if (word != "nez" && word != "enz") return "--order wants nez or enz, not '" + word + "'";
    o.coordOrder = word == "enz" ? CoordOrder::kENZ : CoordOrder::kNEZ;
  }
  for (auto [name, target] : {std::pair{"project", &o.kof.project}, std::pair{"date", &o.kof.date},
                              std::pair{"road", &o.kof.road}, std::pair{"city", &o.kof.city},
                              std::pair{"surveyor", &o.kof.surveyor}}) {
    if (auto v = args.Value(name)) *target = *v;
  }
  for (auto [name, target] : {std::pair{"point-conversion", &o.kof.usePointNumberConversion},
                              std::pair{"code-conversion", &o.kof.useCodeConversion}}) {
    if (auto v = args.Value(name)) {
      if (*v != "on" && *v != "off") return std::string("--") + name + " wants on or off";
      *target = *v == "on";
    }
  }
  if (auto v = args.Value("separator")) {
    if (*v != "comma" && *v != "space")
      return "--separator wants one of: comma, space; not '" + *v + "'";
    o.fields.separator = *v == "comma" ? FieldSeparator::Comma : FieldSeparator::Space;
  }
  for (auto [name, target] :
       {std::pair{"crs", &o.gis.crs}, std::pair{"layer", &o.gis.layerName},
        std::pair{"name-field", &o.gis.nameField}, std::pair{"code-field", &o.gis.codeField}}) {
    if (auto v = args.Value(name)) {
      if (v->empty()) return std::string("--") + name + " wants a value";
      *target = *v;
    }
  }
  if (args.Has("append")) o.mode = WriteMode::Append;
  return {};
}

int RunConvert(const std::vector<std::string>& argv) {
  std::optional<ParsedArgs> args = ParseArgs(kCommand, argv, Options());
  if (!args) return kExitUsage;
  if (args->Has("help")) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  if (args->Has("version")) {
    std::cout << "korvenia-cli " << KORVENIA_VERSION << "\n";
    return kExitOk;
  }
  const std::optional<std::string> from = args->Value("from"), to = args->Value("to");
  if (!from || !to) return UsageError(kCommand, "--from and --to are required");
  const std::optional<DataKind> kind = DataKindFromWord(*from);
  const Conversion* conversion = kind ? FindConversion(*kind, *to) : nullptr;
  if (!conversion)
    return UsageError(kCommand, "no conversion from '" + *from + "' to '" + *to + "'");
  std::vector<std::string> given = args->flags;
  for (const auto& v : args->values) given.push_back(v.first);
  for (const std::string& name : given) {
    if (std::find(kRunOptions.begin(), kRunOptions.end(), name) == kRunOptions.end() &&
        !Takes(conversion->options, name)) {
      return UsageError(kCommand,
                        "--" + name + " is not an option of --from " + *from + " --to " + *to);
    }
  }
  if (args->files.size() != 2) return UsageError(kCommand, "expected INPUT and OUTPUT files");
  const std::string& input = args->files[0];
  const std::string& output = args->files[1];

  std::tm now{};
  if (auto text = args->Value("now")) {
    auto parsed = ParseNow(*text);
    if (!parsed)
      return UsageError(kCommand, "--now wants \"YYYY-MM-DD HH:MM:SS\", not '" + *text + "'");
    now = *parsed;
  } else {
    std::time_t t = std::time(nullptr);
    localtime_r(&t, &now);
  }
  const std::optional<std::string> settingsPath = SettingsFileOf(*args);
  if (!settingsPath) return kExitFailed;
  const IniFile ini = settingsPath->empty() ? IniFile() : IniFile::Load(*settingsPath);
  RunOptions options =
      OptionsFromSettings(ini, settingsPath->empty() ? "" : FolderOf(*settingsPath), output, now);
  if (const std::string fault = ApplyOverrides(*args, options); !fault.empty())
    return UsageError(kCommand, fault);
  if (Takes(conversion->options, "angle-unit")) {
    const std::optional<ReductionOptions> reduction = ReductionOptionsOf(kCommand, *args, ini);
    if (!reduction) return kExitUsage;
    options.reduction = *reduction;
  }

  StderrReporter reporter;
  if (options.mode == WriteMode::Append && !conversion->appendPossible) {
    reporter.Report(std::string("a .") + conversion->extension +
                        " file is always written new; --append is ignored",
                    "",
                    MessageIcon::Exclamation);
  }
  PointConversion pointTable;
  RunServices services{pointTable, reporter};
  const ConvertResult result = RunConversion(*conversion, input, output, options, services);
  if (!result.ok()) return Failure(result.fault);
  // What had to be written otherwise than it was read is said, but the run succeeded.
  if (!result.notes.empty()) std::cerr << "korvenia-cli: " << result.notes.Text() << "\n";
  return kExitOk;
}

}  // namespace

static const bool registered = RegisterCommand(
    {"convert", "convert raw data or a coordinate list to KOF, MAPA 2, SDR-33, DXF, ...",
     RunConvert});

}  // namespace korv::cli
