#include "core/interface_language.h"

#include "core/key_store.h"

namespace korv {

namespace {

constexpr TextRow kLanguageTexts[] = {
    {"Language", "English"},
    {"Button", "&Interface language..."},
    {"Title", "Interface language"},
    {"Prompt", "&Texts of the program:"},
    {"FromFile", "From a file..."},
    {"FileFilter", "Settings files (*.ini)|*.ini"},
    {"Applied", "The texts of %1 are in use."},
    {"Failed", "The texts could not be taken from %1: %2"},
};

}  // namespace

const TextSection& InterfaceLanguageSection() {
  static constexpr TextSection section{kInterfaceLanguageSection, kLanguageTexts};
  return section;
}

bool IsInterfaceText(std::string_view, std::string_view) { return false; }
bool IsTextList(std::string_view) { return false; }
CarryResult CarryTexts(std::string_view, std::string_view into) {
  CarryResult r;
  r.fault = "not built yet";
  (void)into;
  return r;
}
std::vector<Translation> TranslationsIn(const std::string&) { return {}; }

}  // namespace korv
