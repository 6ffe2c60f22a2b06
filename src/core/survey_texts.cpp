#include "core/survey_texts.h"

#include "core/key_store.h"
#include "core/settings.h"

namespace korv {

namespace {

// In the order of the file. %1, %2, ... are filled in by the window.
constexpr TextRow kSurveyTexts[] = {
    {kComputedCoordinatesKey, kComputedCoordinatesEnglish},
    {"PlanTitle", "Survey plan"},
    {"PlanView", "Plan of the survey"},
    {"Report", "Check report"},
    {"Fit", "&Fit"},
    {"Names", "&Names"},
    {"Codes", "&Codes"},
    {"ExportSvg", "Export &SVG..."},
    {"ExportPdf", "Export &PDF..."},
    {"Position", "E %1   N %2"},
    {"NoPoint", "Click a point to see its line."},
    {"PointLine", "Line %1: %2"},
    {"LineUnreadable", "(the line cannot be read from the file)"},
    {"PointName", "Point %1, code %2, record %3"},
    {"PointCoordinates", "E %1   N %2   Z %3"},
    {"NoElevation", "none"},
    {"FromSetUp", "Observed from the set-up of line %1 (station %2)"},
    {"ExportTitle", "Export the plan"},
    {"SvgFilter", "SVG drawing (*.svg)|*.svg"},
    {"PdfFilter", "PDF document (*.pdf)|*.pdf"},
    {"Replace", "%1 exists. Replace it?"},
    {"North", "N"},
    {"Metres", "m"},
    {"Check", "Chec&k"},
};

}  // namespace

const TextSection& SurveyTextSection() {
  static constexpr TextSection section{kSurveyTextsSection, kSurveyTexts};
  return section;
}

std::string SurveyText(const IniFile& ini, std::string_view key) {
  return SectionText(ini, SurveyTextSection(), key);
}

}  // namespace korv
