// korvenia-cli download and upload: the instrument transfers from a terminal or a script,
// with the link settings of the settings file unless options say otherwise.
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command.h"
#include "comm/receive_data.h"
#include "comm/serial_link.h"
#include "comm/upload_check.h"
#include "comm/upload_sender.h"
#include "conversions/registry.h"
#include "core/coord_field_options.h"
#include "core/coord_order.h"
#include "core/file_procs.h"
#include "core/input_file.h"
#include "core/journal.h"
#include "core/key_store.h"
#include "core/line_reader.h"
#include "core/numbers.h"
#include "core/text.h"
#include "gis/gis_reader.h"

namespace korv::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;
void OnInterrupt(int) { g_interrupted = 1; }

// Ctrl-C and a polite kill ask the running transfer to stop at its next step.
class InterruptGuard {
 public:
  InterruptGuard() {
    g_interrupted = 0;
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &oldInt_);
    sigaction(SIGTERM, &sa, &oldTerm_);
  }
  ~InterruptGuard() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
  }

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

// The serial port wants an application object in the main thread, though no event loop runs.
std::unique_ptr<QCoreApplication> MakeApplication() {
  if (QCoreApplication::instance()) return nullptr;
  static int argc = 1;
  static char name[] = "korvenia-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QCoreApplication>(argc, argv);
}

// Transfer messages go to stderr; the success messages too, so stdout stays for data.
class StderrReporter : public Reporter {
 public:
  void Report(const std::string& text, const std::string&, MessageIcon icon) override {
    const bool plain = icon == MessageIcon::None || icon == MessageIcon::Information;
    size_t start = 0;
    for (;;) {
      const size_t end = text.find('\n', start);
      std::cerr << (plain ? "" : "korvenia-cli: ") << text.substr(start, end - start) << "\n";
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
};

// Entries of a list section ("[Coomunication Speed]" ...): the non-blank lines up to the
// next section header.
std::vector<std::string> ListSection(const std::string& path, const std::string& section) {
  std::vector<std::string> entries;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  bool inside = false;
  LineReader reader(in);
  while (reader.Next(line)) {
    const std::string t = Trim(line);
    if (!t.empty() && t.front() == '[') {
      if (inside) break;
      inside = EqualsIgnoreCase(t, "[" + section + "]");
      continue;
    }
    if (inside && !t.empty()) entries.push_back(t);
  }
  return entries;
}

int IndexKey(const IniFile& ini, const char* key, int fallback) {
  const std::string text = ini.Get("Default", key);
  if (Trim(text).empty()) return fallback;
  const double v = RoundHalfEven(LeadingNumber(text));
  return v > -32769 && v < 32768 ? static_cast<int>(v) : fallback;
}

// The link choice: the settings file's selections (program defaults without one), then the
// command line. Returns false after a usage message.
bool LinkFromArgs(const ParsedArgs& args, const std::string& iniPath, LinkSettings& link,
                  const char* command) {
  const IniFile ini = iniPath.empty() ? IniFile() : IniFile::Load(iniPath);
  // A stored index the list does not have selects its first entry, as in the windows.
  auto storedIndex = [&](const char* section, const char* key, int fallbackIndex,
                         const std::vector<std::string>& defaults) {
    std::vector<std::string> list = iniPath.empty() ? defaults : ListSection(iniPath, section);
    if (list.empty()) list = defaults;
    int i = IndexKey(ini, key, fallbackIndex);
    if (i < 0) i = fallbackIndex;
    if (i >= static_cast<int>(list.size())) i = 0;
    return std::make_pair(i, list);
  };
  auto pick = [&](const char* section, const char* key, int fallbackIndex,
                  const std::vector<std::string>& defaults) {
    const auto [i, list] = storedIndex(section, key, fallbackIndex, defaults);
    return list[static_cast<size_t>(i)];
  };
  link.portNumber =
      storedIndex("Coomunication Port", "Port", 0, {"COM1", "COM2", "COM3", "COM4"}).first + 1;
  link.speedText =
      pick("Coomunication Speed", "Speed", 4, {"1200", "2400", "4800", "9600", "19200", "38400"});
  link.dataBitsText = pick("Coomunication Data bits", "DataBits", 1, {"7", "8"});
  link.flowControlIndex =
      storedIndex("Coomunication Flow control", "FlowControl", 1, {"None", "Xon/Xoff"}).first;

  auto usage = [command](const std::string& m) {
    UsageError(command, m);
    return false;
  };
  if (auto device = args.Value("device")) link.device = *device;
  if (auto port = args.Value("port")) {
    if (port->empty() || port->find_first_not_of("0123456789") != std::string::npos ||
        port->size() > 4 || std::stoi(*port) < 1) {
      return usage("--port wants a port number from 1, not '" + *port + "'");
    }
    if (!link.device.empty()) return usage("give --device or --port, not both");
    link.portNumber = std::stoi(*port);
  }
  if (auto speed = args.Value("speed")) link.speedText = *speed;
  if (auto bits = args.Value("data-bits")) {
    if (*bits != "7" && *bits != "8") return usage("--data-bits wants 7 or 8, not '" + *bits + "'");
    link.dataBitsText = *bits;
  }
  if (auto flow = args.Value("flow")) {
    if (*flow == "none") {
      link.flowControlIndex = 0;
    } else if (*flow == "xonxoff") {
      link.flowControlIndex = 1;
    } else {
      return usage("--flow wants none or xonxoff, not '" + *flow + "'");
    }
  }
  return true;
}

bool OpenLink(SerialLink& port, const LinkSettings& settings, const std::string& iniPath) {
  StderrReporter reporter;
  // The report names the device and the fault.
  return OpenCommPort(port, settings, iniPath, reporter).empty();
}

// A live figure on stderr, rewritten in place at most ten times a second.
class LiveLine {
 public:
  void Show(const std::string& text, bool force = false) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    std::cerr << "\r" << text << std::flush;
    shown_ = true;
  }
  void End() {
    if (shown_) std::cerr << "\n";
    shown_ = false;
  }

 private:
  std::chrono::steady_clock::time_point last_{};
  bool shown_ = false;
};

// ---- download ----

// The link options of both transfers.
const std::vector<CliOption> kLinkOptions = {
    {"device", "PATH", "serial device (e.g. /dev/ttyUSB0, or what korvenia-sim prints)"},
    {"port", "N",
     "serial port N: key COM<N> of [Serial devices] in the settings file,\n"
     "else /dev/ttyS<N-1> (default: the settings file's port)"},
    {"speed", "N", "baud rate (default: the settings file, else 19200)"},
    {"data-bits", "7|8", "(default: the settings file, else 8)"},
    {"flow", "none|xonxoff", "flow control (default: the settings file, else xonxoff)"},
    {"ini", "FILE",
     "settings file (default: Korvenia.ini beside the program or in\n"
     "~/.config/Korvenia/)"},
    {"help", nullptr, "this text"},
};

std::vector<CliOption> WithLinkOptions(std::vector<CliOption> own) {
  own.insert(own.end(), kLinkOptions.begin(), kLinkOptions.end());
  return own;
}

const std::vector<CliOption>& DownloadOptions() {
  static const std::vector<CliOption> table = WithLinkOptions({
      {"from", "raw|coord",
       "convert what was received, as 'korvenia-cli convert' does, into\n"
       "OUTPUT (the received data stays in OUTPUT.part if that fails)"},
      {"to", "FORMAT", "the output format of that conversion (see below)"},
      {"no-journal", nullptr,
       "do not keep the received lines in the download journal\n"
       "(see korvenia-cli journal)"},
  });
  return table;
}

void DownloadUsage(std::ostream& out) {
  out << "Usage: korvenia-cli download [--device PATH | --port N] [--speed N] [--data-bits 7|8]\n"
         "                            [--flow none|xonxoff] [--ini FILE]\n"
         "                            [--from raw|coord --to FORMAT] OUTPUT\n"
         "\n"
         "Receives what the instrument sends and stores it in OUTPUT, line by line (CR LF).\n"
         "Waits for the instrument without limit, and ends when it has been silent for more\n"
         "than 3 seconds after it started sending. OUTPUT is replaced only then: Ctrl-C, a lost\n"
         "device or a failed write leave it as it was, and keep the lines so far in OUTPUT.part\n"
         "(a later download moves them to OUTPUT.part1, OUTPUT.part2, ... before it starts).\n"
         "Whatever happens, the lines received are also kept in the download journal.\n";
  PrintOptions(out, DownloadOptions());
  out << "\nConversions for --from and --to (with the settings file's options):\n";
  PrintConversions(out, false);
  out << "\nExit status: 0 completed, 1 interrupted or failed, 2 usage error.\n";
}

// Runs the convert command on the received file; keeps it when the conversion fails.
int ConvertReceived(const std::string& from, const std::string& to, const std::string& iniPath,
                    const std::string& received, const std::string& output) {
  std::vector<std::string> convertArgs = {"--from", from, "--to", to};
  if (!iniPath.empty()) convertArgs.insert(convertArgs.end(), {"--ini", iniPath});
  convertArgs.insert(convertArgs.end(), {received, output});
  for (const Command& c : Commands()) {
    if (c.name != "convert") continue;
    const int rc = c.run(convertArgs);
    if (rc == kExitOk) {
      std::remove(received.c_str());
    } else {
      std::cerr << "korvenia-cli: the received data is kept in " << received << "\n";
    }
    return rc == kExitOk ? kExitOk : kExitFailed;
  }
  return kExitFailed;
}

// The lines an interrupted download left in OUTPUT.part stay the user's when the download is
// tried again: they move to the first free OUTPUT.part1, OUTPUT.part2, ... False after saying
// why they cannot.
bool KeepEarlierPart(const std::string& partial) {
  std::error_code ec;
  if (std::filesystem::file_size(partial, ec) == 0 || ec) return true;
  for (int n = 1; n < 1000; ++n) {
    const std::string kept = partial + std::to_string(n);
    if (std::filesystem::exists(kept, ec) || ec) continue;
    std::filesystem::rename(partial, kept, ec);
    if (ec) break;
    std::cerr << "korvenia-cli: the lines of an earlier download in " << partial
              << " are kept in " << kept << "\n";
    return true;
  }
  Failure("Cannot keep the lines of an earlier download in " + partial + ": " +
          (ec ? ec.message() : "every name up to " + partial + "999 is taken"));
  return false;
}

int RunDownload(const std::vector<std::string>& argv) {
  std::optional<ParsedArgs> parsed = ParseArgs("download", argv, DownloadOptions());
  if (!parsed) return kExitUsage;
  const ParsedArgs& args = *parsed;
  if (args.Has("help")) {
    DownloadUsage(std::cout);
    return kExitOk;
  }
  if (args.files.size() != 1) return UsageError("download", "one OUTPUT file is required");
  const std::optional<std::string> from = args.Value("from"), to = args.Value("to");
  if (from.has_value() != to.has_value()) {
    return UsageError("download", "--from and --to go together");
  }
  // A conversion that does not exist is said before anything is received.
  if (from) {
    const std::optional<DataKind> kind = DataKindFromWord(*from);
    // The instrument sends raw data or coordinates, never a GIS file.
    if (!kind || *kind == DataKind::Gis || !FindConversion(*kind, *to))
      return UsageError("download", "no conversion from '" + *from + "' to '" + *to + "'");
  }
  const std::optional<std::string> settingsFile = SettingsFileOf(args);
  if (!settingsFile) return kExitFailed;
  const std::string& iniPath = *settingsFile;
  LinkSettings settings;
  if (!LinkFromArgs(args, iniPath, settings, "download")) return kExitUsage;

  // Receive into a file beside OUTPUT, so OUTPUT is replaced only by what was received.
  const std::string output = args.files[0];
  const std::string partial = output + ".part";
  if (!KeepEarlierPart(partial)) return kExitFailed;
  std::fstream scratch(partial, std::ios::out | std::ios::binary | std::ios::trunc);
  if (!scratch.is_open()) {
    return Failure("Cannot open output file " + partial + ": " + WriteReason(errno));
  }

  auto app = MakeApplication();
  InterruptGuard guard;
  SerialLink port;
  if (!OpenLink(port, settings, iniPath)) {
    scratch.close();
    std::remove(partial.c_str());
    return kExitFailed;
  }
  std::cerr << "Waiting for data on " << port.device() << " ("
            << CommSettingsText(settings.speedText, settings.dataBitsText)
            << (HandshakingFor(settings.flowControlIndex) ? ", Xon/Xoff" : "")
            << "); Ctrl-C to stop\n";

  // The journal keeps every line as it comes, whatever becomes of OUTPUT.
  std::optional<JournalWriter> journal;
  if (!args.Has("no-journal")) {
    const IniFile ini = iniPath.empty() ? IniFile() : IniFile::Load(iniPath);
    journal.emplace(JournalFolder(), port.device(), LoadJournalLimits(ini), LocalNow());
    if (!journal->warning().empty()) std::cerr << "korvenia-cli: " << journal->warning() << "\n";
  }

  bool cancel = false;
  LiveLine live;
  ReceiveHooks hooks;
  const bool journalling = journal && journal->active();
  if (journalling) {
    hooks.storeLine = [&journal](const std::string& line) { journal->Add(line); };
  }
  auto takeInterrupt = [&cancel] {
    if (g_interrupted) cancel = true;
  };
  hooks.processEvents = takeInterrupt;
  hooks.idle = takeInterrupt;
  std::int64_t lastCount = 0;
  hooks.showCount = [&](std::int64_t count) {
    lastCount = count;
    live.Show("Bytes:   " + std::to_string(count));
  };
  class LiveReporter : public StderrReporter {
   public:
    explicit LiveReporter(LiveLine& live, std::int64_t& count) : live_(live), count_(count) {}
    void Report(const std::string& text, const std::string& title, MessageIcon icon) override {
      if (count_ > 0) live_.Show("Bytes:   " + std::to_string(count_), true);
      live_.End();
      StderrReporter::Report(text, title, icon);
    }

   private:
    LiveLine& live_;
    std::int64_t& count_;
  } reporter(live, lastCount);

  ReceiveResult r = ReceiveData(port, scratch, partial, cancel, reporter, CommMessages(), hooks);
  if (journalling) {
    journal->Close();
    if (!journal->warning().empty()) std::cerr << "korvenia-cli: " << journal->warning() << "\n";
  }

  // Only a normal end replaces OUTPUT; otherwise it stays as it was, and the complete lines
  // received stay in OUTPUT.part.
  std::error_code ec;
  if (!r.ok()) {
    if (r.lines > 0) {
      std::cerr << "korvenia-cli: the " << r.lines
                << (r.lines == 1 ? " complete line received is" : " complete lines received are")
                << " in " << partial << "; " << output << " was not changed\n";
    } else {
      std::filesystem::remove(partial, ec);
    }
    return kExitFailed;
  }
  if (from) return ConvertReceived(*from, *to, iniPath, partial, output);
  std::filesystem::rename(partial, output, ec);
  if (ec) {
    return Failure("Cannot store " + output + ": " + ec.message() + " (the data is in " + partial +
                   ")");
  }
  return kExitOk;
}

// ---- upload ----

const std::vector<CliOption>& UploadOptions() {
  static const std::vector<CliOption> table = WithLinkOptions({
      {"format", "coord|code|kof",
       "coord: a coordinate list; its columns are those of [Coordinate\n"
       "UpLoad Settings] in the settings file (default: point, N, E, Z, code);\n"
       "code: a code list, sent line by line; kof: a KOF file, its 05\n"
       "coordinate records"},
      {"separator", "comma|space", "of a coordinate list (default: the settings file, else comma)"},
      {"order", "nez|enz", "coordinate order (default: the settings file, else nez)"},
      {"crs", "CRS",
       "a GIS point file (GeoPackage, GeoJSON, Shapefile, KML, CSV, DXF)\n"
       "sent with --format coord: the instrument's grid, into which its\n"
       "points are transformed (default: the settings file's [GIS Settings])"},
      {"name-field", "NAME", "a GIS point file's field of the point names (default: name)"},
      {"code-field", "NAME", "a GIS point file's field of the codes (default: code)"},
      {"strict", nullptr, "what the check before sending finds stops the upload"},
      {"dry-run", nullptr, "write the lines that would be sent to stdout instead"},
  });
  return table;
}

void UploadUsage(std::ostream& out) {
  out << "Usage: korvenia-cli upload --format coord|code|kof [--separator comma|space]\n"
         "                          [--order nez|enz] [--ini FILE]\n"
         "                          [--crs CRS] [--name-field NAME] [--code-field NAME]\n"
         "                          (--device PATH | --port N) [--speed N] [--data-bits 7|8]\n"
         "                          [--flow none|xonxoff]   or   --dry-run     INPUT\n"
         "\n"
         "Builds the upload lines of INPUT and sends them to the instrument, one line at a time.\n"
         "With --format coord, INPUT may be a GIS point file: its points are sent as a\n"
         "coordinate list of them would be; features that are not named points are left\n"
         "out with a warning.\n"
         "Before sending, a coordinate or KOF file is checked: names and codes the instrument\n"
         "cuts at 12 characters, names equal after the cut, names sent twice, coordinates\n"
         "that do not read, points whose two plane coordinates look swapped. What it finds is\n"
         "printed as warnings; with --strict as errors, and nothing is sent.\n";
  PrintOptions(out, UploadOptions());
  out << "\nExit status: 0 uploaded, 1 aborted or failed, 2 usage error.\n";
}

// A new empty file of our own in /tmp; false after saying why not.
bool ScratchFile(std::string& path) {
  char name[] = "/tmp/korvenia-upload-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) {
    Failure("Cannot create a scratch file: " + ErrorDescription(ErrorCodeFromErrno(errno)));
    return false;
  }
  close(fd);
  path = name;
  return true;
}

// The points of the GIS file to send, as the coordinate list at `listPath`, with the settings
// file's [GIS Settings] under the command line's; what is left out is warned of. False after
// saying why the file cannot be sent.
bool GisPointsToList(const ParsedArgs& args, const IniFile& ini, int order,
                     const std::string& listPath) {
  GisSettings gis = LoadGisSettings(ini);
  if (auto crs = args.Value("crs")) gis.crs = *crs;
  if (auto field = args.Value("name-field")) gis.nameField = *field;
  if (auto field = args.Value("code-field")) gis.codeField = *field;
  std::vector<std::string> warnings;
  const ConvertResult r =
      GisToCoor(args.files[0], listPath, WriteMode::Overwrite, gis, order, &warnings);
  if (!r.ok()) {
    std::cerr << "korvenia-cli: " << r.fault << "\n";
    return false;
  }
  for (const std::string& w : warnings) std::cerr << "korvenia-cli: warning: " << w << "\n";
  return true;
}

// Prints what the check before sending finds in `build`: warnings, or errors when `strict`.
// A GIS file's long names were warned of when it was read. False when the upload must stop.
bool ReportUploadCheck(const UploadBuild& build, bool strict, bool gisFile) {
  const std::vector<UploadProblem> problems = CheckUpload(build, !gisFile);
  const char* level = strict ? "error" : "warning";
  for (const UploadProblem& p : problems) {
    std::cerr << "korvenia-cli: " << level << ": " << UploadProblemLine(p, build.encoding, gisFile)
              << "\n";
  }
  return !strict || problems.empty();
}

int RunUpload(const std::vector<std::string>& argv) {
  std::optional<ParsedArgs> parsed = ParseArgs("upload", argv, UploadOptions());
  if (!parsed) return kExitUsage;
  const ParsedArgs& args = *parsed;
  if (args.Has("help")) {
    UploadUsage(std::cout);
    return kExitOk;
  }
  auto usage = [](const std::string& m) { return UsageError("upload", m); };
  if (args.files.size() != 1) return usage("one INPUT file is required");
  const auto format = args.Value("format");
  if (!format) return usage("--format is required");
  if (*format != "coord" && *format != "code" && *format != "kof") {
    return usage("--format wants coord, code or kof, not '" + *format + "'");
  }
  const bool dryRun = args.Has("dry-run");
  if (dryRun && (args.Value("device") || args.Value("port"))) {
    return usage("--dry-run sends nothing: no --device or --port with it");
  }
  const std::optional<std::string> settingsFile = SettingsFileOf(args);
  if (!settingsFile) return kExitFailed;
  const std::string& iniPath = *settingsFile;
  const IniFile ini = iniPath.empty() ? IniFile() : IniFile::Load(iniPath);
  // The saved columns; a settings file that has none (or no settings file) means the
  // defaults a fresh settings file holds: point, northing, easting, elevation, code.
  CoordFieldOptions columns = LoadCoordUpLoadFieldOptions(ini);
  bool anySaved = false;
  for (int i = 1; i <= 5; ++i) {
    anySaved =
        anySaved || !ini.Get(kCoordUpLoadSettingsSection, "Field" + std::to_string(i)).empty();
  }
  if (!anySaved) columns.fields = CoordFieldOptions().fields;

  UploadFormat which = UploadFormat::Code;
  if (*format == "kof") {
    which = UploadFormat::Kof;
  } else if (*format == "coord") {
    which = columns.separator == FieldSeparator::Space ? UploadFormat::Space : UploadFormat::Comma;
    if (auto sep = args.Value("separator")) {
      if (*sep == "comma") {
        which = UploadFormat::Comma;
      } else if (*sep == "space") {
        which = UploadFormat::Space;
      } else {
        return usage("--separator wants comma or space, not '" + *sep + "'");
      }
    }
  } else if (args.Value("separator")) {
    return usage("--separator is for --format coord");
  }
  int order = StoredCoordOrder(ini);
  if (auto o = args.Value("order")) {
    if (*o != "nez" && *o != "enz") return usage("--order wants nez or enz, not '" + *o + "'");
    order = *o == "enz" ? 1 : 0;
  }
  const bool gisFile = *format == "coord" && IsGisPointFile(args.files[0]);
  if (!gisFile) {
    for (const char* option : {"crs", "name-field", "code-field"}) {
      if (args.Value(option)) {
        return usage(std::string("--") + option + " is for a GIS point file sent as coord");
      }
    }
  }
  LinkSettings settings;
  if (!dryRun && !LinkFromArgs(args, iniPath, settings, "upload")) return kExitUsage;

  // The upload lines go to a scratch file of our own first, as in the program.
  std::string scratchName, listName;
  if (!ScratchFile(scratchName)) return kExitFailed;
  struct Remove {
    const std::string& path;
    ~Remove() {
      if (!path.empty()) std::remove(path.c_str());
    }
  } removeScratch{scratchName}, removeList{listName};

  // A GIS file's points are sent as the coordinate list they convert to.
  std::string source = args.files[0];
  if (gisFile) {
    if (!ScratchFile(listName) || !GisPointsToList(args, ini, order, listName)) {
      std::cerr << CommMessages().uploadAborted << "\n";
      return kExitFailed;
    }
    source = listName;
    which = UploadFormat::OwnList;
  }

  UploadBuild build;
  {
    std::ofstream scratch(scratchName, std::ios::binary | std::ios::trunc);
    build = BuildUpLoadFile(which, source, scratch, columns, order);
    scratch.close();
    if (build.ok() && scratch.fail()) {
      build.Fail(Status::OutputFault,
                 "Cannot write the scratch file: " + ErrorDescription(ErrorCodeFromErrno(errno)));
    }
  }
  const CommMessages messages;
  if (!build.ok()) {
    std::cerr << "korvenia-cli: " << build.fault << "\n" << messages.uploadAborted << "\n";
    return kExitFailed;
  }
  // A source may count enough lines and still yield none to send (blank lines only, a KOF
  // file without coordinate records).
  auto yieldsLine = [&scratchName] {
    std::ifstream in(scratchName, std::ios::binary);
    LineReader lines(in);
    std::string line;
    return NextUploadLine(lines, line);
  };
  if (build.SendLineCount < 3 || !yieldsLine()) {
    std::cerr << "korvenia-cli: nothing to send in " << args.files[0] << "\n"
              << messages.uploadAborted << "\n";
    return kExitFailed;
  }

  if (!ReportUploadCheck(build, args.Has("strict"), gisFile)) {
    std::cerr << messages.uploadAborted << "\n";
    return kExitFailed;
  }

  if (dryRun) {
    // Exactly what the sender would write: trimmed lines, blank ones left out, CR LF.
    std::ifstream in(scratchName, std::ios::binary);
    LineReader lines(in);
    std::string line;
    while (NextUploadLine(lines, line)) std::cout << line;
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailed;
  }

  auto app = MakeApplication();
  InterruptGuard guard;
  SerialLink port;
  if (!OpenLink(port, settings, iniPath)) {
    std::cerr << messages.uploadAborted << "\n";
    return kExitFailed;
  }
  bool cancel = false;
  LiveLine live;
  UploadHooks hooks;
  hooks.processEvents = [&cancel] {
    if (g_interrupted) cancel = true;
  };
  hooks.progress = [&live](int value, int maximum) {
    live.Show(
        "Sent " + std::to_string(value) + " lines (of at most " + std::to_string(maximum) + ")",
        value == 0);
  };
  UploadResult r = UploadTempFile(port, scratchName, build.SendLineCount, cancel, hooks);
  live.Show("Sent " + std::to_string(r.linesSent) + " lines", true);
  live.End();
  if (r.ok()) {
    std::cerr << messages.uploaded << "\n";
    return kExitOk;
  }
  if (!r.fault.empty()) std::cerr << "korvenia-cli: " << r.fault << "\n";
  std::cerr << messages.uploadAborted << "\n";
  return kExitFailed;
}

}  // namespace

static const bool registeredDownload = RegisterCommand(
    {"download", "receive from the instrument over a serial port into a file", RunDownload});
static const bool registeredUpload =
    RegisterCommand({"upload", "send a coordinate, code or KOF file to the instrument", RunUpload});

}  // namespace korv::cli
