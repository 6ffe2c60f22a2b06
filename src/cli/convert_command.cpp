// korvenia-cli convert: runs one converter on one file, with the format settings taken from
// the settings file (or the defaults of a fresh one) and overridden by options, so that a
// shell loop can convert a whole folder.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "coords/coord_file_writer.h"
#include "coords/dxf_options.h"
#include "coords/dxf_writer.h"
#include "core/convert_result.h"
#include "core/coord_field_options.h"
#include "core/file_procs.h"
#include "core/key_store.h"
#include "core/numbers.h"
#include "core/reporter.h"
#include "core/text.h"
#include "formats/kof_options.h"
#include "formats/kof_writer.h"
#include "formats/mapa_writer.h"
#include "formats/sdr_options.h"
#include "formats/sdr_writer.h"

namespace korv::cli {
namespace {

// Warnings a converter raises while it goes on (a missing conversion file) go to stderr.
class StderrReporter : public Reporter {
 public:
  void Report(const std::string& text, const std::string&, MessageIcon) override {
    std::cerr << "korvenia-cli: warning: " << text << "\n";
  }
};

// Everything a conversion needs, gathered from the command line and the settings file.
struct ConvertJob {
  std::string input;
  std::string output;
  WriteMode mode = WriteMode::Overwrite;
  IniFile ini;                 // the settings file in use; empty for built-in defaults
  std::string settingsFolder;  // its folder with a trailing separator ("" when none)
  std::tm now{};
  int coordOrderIndex = 0;  // 0 NEZ, 1 ENZ
  std::optional<std::string> project, date, road, city, surveyor;
  std::optional<bool> pointConversion, codeConversion;
  std::optional<FieldSeparator> separator;
  Reporter* reporter = nullptr;
};

KofOptions KofOptionsFor(const ConvertJob& job) {
  KofOptions o = ReadKofOptions(job.ini, job.settingsFolder, job.output, job.now);
  if (job.project) o.project = *job.project;
  if (job.date) o.date = *job.date;
  if (job.road) o.road = *job.road;
  if (job.city) o.city = *job.city;
  if (job.surveyor) o.surveyor = *job.surveyor;
  if (job.pointConversion) o.usePointNumberConversion = *job.pointConversion;
  if (job.codeConversion) o.useCodeConversion = *job.codeConversion;
  return o;
}

SdrRun SdrRunFor(const ConvertJob& job) {
  SdrRun run;
  run.options = ReadSdrOptions(job.ini);
  run.now = job.now;
  run.coordOrderIndex = job.coordOrderIndex;
  return run;
}

ConvertResult RunRawToKof(const ConvertJob& job) {
  PointConversion table;
  return RawToKOF(job.input, job.output, job.mode, KofOptionsFor(job), job.coordOrderIndex, table,
                  *job.reporter);
}
ConvertResult RunRawToMapa(const ConvertJob& job) {
  return RawToMAPA(job.input, job.output, job.mode, job.now);
}
ConvertResult RunRawToSdr(const ConvertJob& job) {
  return RawToSDR(job.input, job.output, job.mode, SdrRunFor(job));
}
ConvertResult RunCoordToKof(const ConvertJob& job) {
  PointConversion table;
  return CoorToKOF(job.input, job.output, job.mode, KofOptionsFor(job), job.coordOrderIndex, table,
                   *job.reporter);
}
ConvertResult RunCoordToSdr(const ConvertJob& job) {
  return CoorToSDR(job.input, job.output, job.mode, SdrRunFor(job));
}

ConvertResult RunCoordToDxf(const ConvertJob& job) {
  if (job.mode == WriteMode::Append) {
    job.reporter->Report("a drawing is always written new; --append is ignored", "",
                         MessageIcon::Exclamation);
  }
  return CoorToDXF(job.input, job.output, LoadDxfOptions(job.ini), job.coordOrderIndex);
}
ConvertResult RunCoordToAsc(const ConvertJob& job) {
  // Without a settings file, the choices a fresh one holds (fields 0..4, comma); a file
  // without the keys reads as the dialog would read it.
  CoordFieldOptions fields = job.ini.empty() ? CoordFieldOptions() : LoadCoordFieldOptions(job.ini);
  return CoorToCoordinates(job.input, job.output, job.mode, fields,
                           job.separator.value_or(fields.separator), job.coordOrderIndex);
}

// Options every conversion takes, without "--": they choose the settings file and the clock
// of the run rather than what a converter writes (the flag --append goes with every one too).
const std::vector<std::string> kRunOptions = {"ini", "now"};

struct ConversionPair {
  const char* from;  // "raw" or "coord"
  const char* to;    // output format word
  const char* what;  // one line for --help
  // The options its converter reads, without "--"; any other (but kRunOptions) is refused,
  // so that an option never goes silently unused.
  std::vector<std::string> options;
  ConvertResult (*run)(const ConvertJob&);
};

// The conversions offered. Adding one is one row here plus its runner above, which builds
// the converter's options from the job (settings file and the overrides the row lists).
const std::vector<ConversionPair>& Pairs() {
  // The KOF header texts and the two conversions of [KOF Settings].
  const std::vector<std::string> kof = {
      "order",    "project",          "date",           "road", "city",
      "surveyor", "point-conversion", "code-conversion"};
  static const std::vector<ConversionPair> pairs = {
      {"raw", "kof", "raw data to KOF", kof, RunRawToKof},
      {"raw", "mapa", "raw data to MAPA 2", {}, RunRawToMapa},
      {"raw", "sdr", "raw data to SDR-33", {"order"}, RunRawToSdr},
      {"coord", "kof", "coordinate list to KOF", kof, RunCoordToKof},
      {"coord", "sdr", "coordinate list to SDR-33", {"order"}, RunCoordToSdr},
      {"coord",
       "dxf",
       "coordinate list to a DXF drawing (always written new)",
       {"order"},
       RunCoordToDxf},
      {"coord",
       "asc",
       "coordinate list to a user-defined coordinate file (fields from [Coordinate Settings])",
       {"order", "separator"},
       RunCoordToAsc},
  };
  return pairs;
}

bool Takes(const std::vector<std::string>& options, const std::string& name) {
  return std::find(options.begin(), options.end(), name) != options.end();
}

const ConversionPair* FindPair(const std::string& from, const std::string& to) {
  for (const auto& p : Pairs())
    if (from == p.from && to == p.to) return &p;
  return nullptr;
}

void PrintUsage(std::ostream& out) {
  out << "Usage: korvenia-cli convert --from raw|coord --to FORMAT [options] INPUT OUTPUT\n"
         "\nConversions, with the options each takes besides --ini, --now and --append\n"
         "(any other option is a usage error):\n";
  for (const auto& p : Pairs()) {
    out << "  --from " << p.from << " --to " << p.to << "\t" << p.what << "\n";
    if (p.options.empty()) continue;
    out << "     ";
    for (const auto& o : p.options) out << " --" << o;
    out << "\n";
  }
  out << "\nOptions:\n"
         "  --ini FILE            settings file (default: Korvenia.ini beside the program or in\n"
         "                        ~/.config/Korvenia/, else the defaults of a new file)\n"
         "  --order nez|enz       coordinate order (default: the settings file)\n"
         "  --append              append to OUTPUT instead of overwriting it\n"
         "  --project TEXT        KOF header texts (default Project: OUTPUT's name without\n"
         "  --date TEXT             extension; Date: the run's date dd.mm.yy; the others from\n"
         "  --road TEXT             the settings file)\n"
         "  --city TEXT\n"
         "  --surveyor TEXT\n"
         "  --point-conversion on|off   KOF point-number conversion (default: settings file);\n"
         "                              the conversion file is KofpointFile of [KOF Settings]:\n"
         "                              a full path as it is, any other name (points.txt,\n"
         "                              lists/points.txt) in the settings file's folder\n"
         "  --code-conversion on|off    KOF code conversion (default: settings file)\n"
         "  --separator comma|space     field separator (default: the settings file)\n"
         "  --now \"YYYY-MM-DD HH:MM:SS\"  the run's local date and time\n"
         "  --help, --version\n"
         "\nExit status: 0 converted, 1 failed, 2 usage error.\n";
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

std::optional<bool> ParseSwitch(const std::string& text) {
  if (text == "on") return true;
  if (text == "off") return false;
  return std::nullopt;
}

int UsageError(const std::string& message) {
  std::cerr << "korvenia-cli convert: " << message << " (see korvenia-cli convert --help)\n";
  return kExitUsage;
}

int RunConvert(const std::vector<std::string>& args) {
  // Every option but --append takes a value; which ones a conversion takes is checked once
  // the pair is known.
  std::map<std::string, std::string> values;
  std::vector<std::string> positional;
  bool append = false, onlyFiles = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyFiles || a.size() < 2 || a.compare(0, 2, "--") != 0) {
      positional.push_back(a);
      continue;
    }
    if (a == "--") {
      onlyFiles = true;
      continue;
    }
    std::string name = a.substr(2), value;
    size_t eq = name.find('=');
    bool inlineValue = eq != std::string::npos;
    if (inlineValue) {
      value = name.substr(eq + 1);
      name.erase(eq);
    }
    if (name == "help") {
      PrintUsage(std::cout);
      return kExitOk;
    }
    if (name == "version") {
      std::cout << "korvenia-cli " << KORVENIA_VERSION << "\n";
      return kExitOk;
    }
    if (name == "append") {
      if (inlineValue) return UsageError("--append takes no value");
      append = true;
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= args.size()) return UsageError("--" + name + " needs a value");
      value = args[++i];
    }
    if (values.count(name)) return UsageError("--" + name + " given twice");
    values[name] = value;
  }

  auto take = [&](const char* name) -> std::optional<std::string> {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    std::string v = it->second;
    values.erase(it);
    return v;
  };

  std::optional<std::string> from = take("from"), to = take("to");
  if (!from || !to) return UsageError("--from and --to are required");
  const ConversionPair* pair = FindPair(*from, *to);
  if (!pair) return UsageError("no conversion from '" + *from + "' to '" + *to + "'");
  for (const auto& given : values) {
    if (!Takes(kRunOptions, given.first) && !Takes(pair->options, given.first)) {
      return UsageError("--" + given.first + " is not an option of --from " + *from + " --to " +
                        *to);
    }
  }
  if (positional.size() != 2) return UsageError("expected INPUT and OUTPUT files");

  StderrReporter reporter;
  ConvertJob job;
  job.input = positional[0];
  job.output = positional[1];
  job.mode = append ? WriteMode::Append : WriteMode::Overwrite;
  job.reporter = &reporter;

  if (auto now = take("now")) {
    auto parsed = ParseNow(*now);
    if (!parsed) return UsageError("--now wants \"YYYY-MM-DD HH:MM:SS\", not '" + *now + "'");
    job.now = *parsed;
  } else {
    std::time_t t = std::time(nullptr);
    localtime_r(&t, &job.now);
  }
  std::optional<std::string> order = take("order");
  if (order) *order = ToLowerAscii(*order);
  if (order && *order != "nez" && *order != "enz")
    return UsageError("--order wants nez or enz, not '" + *order + "'");
  job.project = take("project");
  job.date = take("date");
  job.road = take("road");
  job.city = take("city");
  job.surveyor = take("surveyor");
  for (auto [name, target] : {std::pair{"point-conversion", &job.pointConversion},
                              std::pair{"code-conversion", &job.codeConversion}}) {
    if (auto v = take(name)) {
      *target = ParseSwitch(*v);
      if (!*target) return UsageError(std::string("--") + name + " wants on or off");
    }
  }
  if (auto v = take("separator")) {
    if (*v != "comma" && *v != "space")
      return UsageError("--separator wants one of: comma, space; not '" + *v + "'");
    job.separator = *v == "comma" ? FieldSeparator::Comma : FieldSeparator::Space;
  }
  std::optional<std::string> iniPath = take("ini");

  // The settings file: the one named, else the program's own, else built-in defaults.
  std::string settingsPath;
  if (iniPath) {
    int code = CheckFileName(*iniPath);
    if (code != ErrorCode::kNone) {
      std::cerr << "korvenia-cli: Cannot read " << *iniPath << ": " << ErrorDescription(code)
                << "\n";
      return kExitFailed;
    }
    settingsPath = *iniPath;
  } else {
    settingsPath = FindOwnSettingsFile();
  }
  if (!settingsPath.empty()) {
    job.ini = IniFile::Load(settingsPath);
    job.settingsFolder = FolderOf(settingsPath);
  }
  double order0 = RoundHalfEven(LeadingNumber(job.ini.Get("Default", "StCombCoord0")));
  job.coordOrderIndex = order0 > -32769 && order0 < 32768 ? static_cast<int>(order0) : 0;
  if (order) job.coordOrderIndex = *order == "enz" ? 1 : 0;

  ConvertResult result = pair->run(job);
  if (!result.ok) {
    std::cerr << "korvenia-cli: " << result.fault << "\n";
    return kExitFailed;
  }
  // What had to be written otherwise than it was read is said, but the run succeeded.
  if (!result.notes.empty()) std::cerr << "korvenia-cli: " << result.notes.Text() << "\n";
  return kExitOk;
}

}  // namespace

static const bool registered = RegisterCommand(
    {"convert", "convert raw data or a coordinate list to KOF, MAPA 2, SDR-33, DXF, ...",
     RunConvert});

}  // namespace korv::cli
