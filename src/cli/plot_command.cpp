// korvenia-cli plot: the plan of a raw data file or a coordinate list as an SVG drawing, a PDF
// page or a PNG image, drawn as the survey window draws it.

#include <QGuiApplication>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command.h"
#include "cli/survey_args.h"
#include "core/key_store.h"
#include "plot/plot_file.h"
#include "survey/survey_file.h"

namespace korv::cli {
namespace {

constexpr const char* kCommand = "plot";
constexpr int kDefaultWidth = 1600, kDefaultHeight = 1200;
// A PNG of the largest size takes 256 MB while it is drawn.
constexpr int kMinSide = 16, kMaxSide = 8000;

const std::vector<CliOption>& Options() {
  static const std::vector<CliOption> table = [] {
    std::vector<CliOption> t = {
        {"ini", "FILE",
         "settings file (default: Korvenia.ini beside the program or in\n"
         "~/.config/Korvenia/, else the defaults of a new file)"},
    };
    t.insert(t.end(), SurveyCliOptions().begin(), SurveyCliOptions().end());
    t.push_back({"no-names", nullptr, "leave the point names out"});
    t.push_back({"no-codes", nullptr, "leave the point codes out"});
    t.push_back({"size", "WxH",
                 "size of the plan in pixels (PDF: points), each 16 to 8000\n"
                 "(default: 1600x1200)"});
    t.push_back({"help", nullptr, "this text"});
    return t;
  }();
  return table;
}

void PrintUsage(std::ostream& out) {
  out << "Usage: korvenia-cli plot [options] FILE OUT.svg|OUT.pdf|OUT.png\n"
         "\nDraws the plan of FILE: the points north up at one scale, the set-ups with\n"
         "their backsights, names and codes where they fit, the points the check\n"
         "report names ringed, a scale bar and a north arrow. The output's\n"
         "extension chooses SVG drawing, PDF page or PNG image.\n";
  PrintOptions(out, Options());
  out << "\nExit status: 0 written, 1 failed, 2 usage error.\n";
}

std::optional<QSize> ParseSize(const std::string& text) {
  int w = 0, h = 0;
  char tail;
  if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2) return std::nullopt;
  if (w < kMinSide || h < kMinSide || w > kMaxSide || h > kMaxSide) return std::nullopt;
  return QSize(w, h);
}

int RunPlot(const std::vector<std::string>& argv) {
  std::optional<ParsedArgs> args = ParseArgs(kCommand, argv, Options());
  if (!args) return kExitUsage;
  if (args->Has("help")) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  if (args->files.size() != 2) return UsageError(kCommand, "expected FILE and OUT");
  const std::string& input = args->files[0];
  const std::string& output = args->files[1];
  const std::optional<PlotFormat> format = PlotFormatOf(output);
  if (!format)
    return UsageError(kCommand, "OUT must end in .svg, .pdf or .png, not '" + output + "'");
  QSize size(kDefaultWidth, kDefaultHeight);
  if (auto text = args->Value("size")) {
    const std::optional<QSize> parsed = ParseSize(*text);
    if (!parsed)
      return UsageError(kCommand, "--size wants WxH, each 16 to 8000, not '" + *text + "'");
    size = *parsed;
  }
  const std::optional<std::string> settingsPath = SettingsFileOf(*args);
  if (!settingsPath) return kExitFailed;
  const IniFile ini = settingsPath->empty() ? IniFile() : IniFile::Load(*settingsPath);
  const std::optional<SurveyInput> in = SurveyInputOf(kCommand, *args, ini, input);
  if (!in) return kExitUsage;
  Survey survey;
  std::string fault;
  if (!LoadSurvey(input, in->raw, in->coordOrder, in->reduction, survey, fault))
    return Failure(fault);
  const std::vector<uint32_t> marked = ProblemPoints(
      survey, MakeCheckReport(survey, CheckOptionsOf(ini, input, in->reduction.angleUnit)));
  const Plan plan(survey);
  if (plan.empty()) return Failure(input + " holds no point with coordinates to draw");

  // The command shows no window: the offscreen platform draws with or without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  char qtName[] = "korvenia-cli";
  char* qtArgv[] = {qtName, nullptr};
  QGuiApplication app(qtArgc, qtArgv);

  PlanStyle style;
  style.palette = QGuiApplication::palette();
  style.font = QGuiApplication::font();
  style.names = !args->Has("no-names");
  style.codes = !args->Has("no-codes");
  const ConvertResult result = WritePlot(output, *format, size, plan, style, marked);
  if (!result.ok()) return Failure(result.fault);
  if (!survey.problems.empty()) {
    std::cerr << "korvenia-cli: " << ProblemLineCount(survey.problems) << " line(s) of " << input
              << " not understood and not drawn, the first at line "
              << survey.problems.front().line << "\n";
  }
  return kExitOk;
}

}  // namespace

static const bool registered = RegisterCommand(
    {"plot", "draw the plan of raw data or a coordinate list as SVG, PDF or PNG", RunPlot});

}  // namespace korv::cli
