// Translations of the interface. Every interface text lives in the settings file, so a
// translation is a whole settings file whose texts are in another language. Taking one into
// the user's settings file replaces the texts (captions, tool tips, messages, list and
// file-type texts) and leaves every choice the user made as it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text_section.h"

namespace korv {

// "[Interface Language]": the name of the file's language and the texts of the dialog that
// chooses one.
constexpr const char* kInterfaceLanguageSection = "Interface Language";
const TextSection& InterfaceLanguageSection();

// Whether `key` of `section` holds an interface text: a control record's Caption, Text and
// ToolTipText, the settings buttons' tool tips, the coordinate field names, and the rows of
// the keyed text sections. Section and key match without regard to letter case.
bool IsInterfaceText(std::string_view section, std::string_view key);
// Whether `section` is a list of texts without keys: the option lists, the flow control and
// coordinate label lists, the file types and the messages.
bool IsTextList(std::string_view section);

struct CarryResult {
  bool ok = false;
  std::string bytes;               // the new settings file, when ok
  std::string fault;               // why nothing was made, when not ok (English)
  const char* faultKey = nullptr;  // the key of that text in "[Program Texts]"
  int carried = 0;                 // texts that changed
  std::vector<std::string> notes;  // what could not be carried, one line each
};

// Takes the interface texts of `from` (a translated settings file) into `into` (a settings
// file holding the user's choices). Only text values of `into` change; its other lines, its
// line ends and its encoding stay (a text Windows-1252 cannot hold makes the whole file
// UTF-8). A section is matched by name and by how many of that name came before it; a list
// is taken entry by entry, the messages by number. An empty text is not taken. Fails, giving
// nothing, when `from` holds no texts or the result would not load.
CarryResult CarryTexts(std::string_view from, std::string_view into);

// The English texts: the default settings file.
std::string EnglishTexts();

struct AppState;
// Takes the texts of `translation` (a settings file's bytes) into the settings file at
// state.IniFilePath and into the program: the choices of this run are saved first, the file
// is replaced whole, and its texts and choices are loaded again, so windows show the new
// texts when they next apply the state's. False, with `fault` (in the language of the file
// as it was) and the file untouched, when the file cannot be saved or the texts cannot be
// taken.
bool TakeTexts(AppState& state, std::string_view translation, std::string& fault);

// An installed translation: "Korvenia.<code>.ini" in a translations folder.
struct Translation {
  std::string language;  // its "[Interface Language]" Language text
  std::string path;
};
// Where translations are installed: "translations" beside the program (a build or a portable
// copy), and "share/korvenia/translations" beside its bin folder (an installation).
std::vector<std::string> TranslationFolders(const std::string& executableFolder);
// The translations in `folders`, sorted by language; a name found twice counts once (the first
// folder's), a missing folder gives none.
std::vector<Translation> TranslationsIn(const std::vector<std::string>& folders);

}  // namespace korv
