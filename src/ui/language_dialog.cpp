#include "ui/language_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/text.h"
#include "ui/control_binder.h"
#include "ui/dialog_parts.h"
#include "ui/qt_text.h"

namespace korv {

namespace {

std::string LanguageText(const IniFile& ini, const char* key) {
  return SectionText(ini, InterfaceLanguageSection(), key);
}

std::optional<std::string> ReadSettingsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace

LanguageDialog::LanguageDialog(UiContext& ctx, QWidget* owner)
    : QDialog(owner),
      translations_(TranslationsIn(TranslationFolders(ctx.state.ExecutableFolder))) {
  setObjectName("LanguageDialog");
  const IniFile ini = IniFile::Load(ctx.state.IniFilePath);
  setWindowTitle(Q(LanguageText(ini, "Title")));

  auto* prompt = new QLabel(Q(LanguageText(ini, "Prompt")), this);
  LstLanguages = new QListWidget(this);
  LstLanguages->setObjectName("LstLanguages");
  SetBuddy(prompt, LstLanguages);
  // Each language by its own name.
  LstLanguages->addItem(Q(InterfaceLanguageSection().English("Language")));
  for (const Translation& t : translations_) LstLanguages->addItem(Q(t.language));
  LstLanguages->addItem(Q(LanguageText(ini, "FromFile")));
  // The language the settings file is in now is chosen to begin with.
  const std::string current = LanguageText(ini, "Language");
  LstLanguages->setCurrentRow(0);
  for (size_t i = 0; i < translations_.size(); ++i) {
    if (translations_[i].language == current) LstLanguages->setCurrentRow(static_cast<int>(i) + 1);
  }

  ComOK = new QPushButton(Q(ctx.Msg(42)), this);
  ComOK->setObjectName("ComOK");
  ComOK->setDefault(true);
  ComCancel = new QPushButton(Q(ctx.Msg(43)), this);
  ComCancel->setObjectName("ComCancel");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(LstLanguages);
  layout->addLayout(RightButtonRow({ComOK, ComCancel}));

  connect(LstLanguages, &QListWidget::itemActivated, this, [this] { accept(); });
  connect(ComOK, &QPushButton::clicked, this, [this] { accept(); });
  connect(ComCancel, &QPushButton::clicked, this, [this] { reject(); });
}

bool ChooseInterfaceLanguage(UiContext& ctx) {
  LanguageDialog dialog(ctx, ctx.mainWindow);
  if (ctx.dialogs.Run(dialog) != QDialog::Accepted) return false;
  const IniFile ini = IniFile::Load(ctx.state.IniFilePath);
  const size_t row = static_cast<size_t>(std::max(dialog.LstLanguages->currentRow(), 0));
  const std::vector<Translation>& translations = dialog.translations();

  std::string path;
  std::optional<std::string> texts;
  if (row == 0) {
    path = InterfaceLanguageSection().English("Language");
    texts = EnglishTexts();
  } else if (row <= translations.size()) {
    path = translations[row - 1].path;
  } else {
    FileDialogRequest request;
    request.title = LanguageText(ini, "Title");
    request.filter = LanguageText(ini, "FileFilter");
    std::optional<std::string> chosen = ctx.prompts.OpenFile(request);
    if (!chosen) return false;
    path = *chosen;
  }
  if (!texts) texts = ReadSettingsFile(path);
  std::string fault = ProgramText(ini, "TextsUnreadable");
  if (!texts || !TakeTexts(ctx.state, *texts, fault)) {
    ctx.prompts.Message(FillNumbered(LanguageText(ini, "Failed"), {path, fault}), ctx.Msg(11),
                        MessageIcon::Critical);
    return false;
  }
  const IniFile taken = IniFile::Load(ctx.state.IniFilePath);
  ctx.prompts.Message(FillNumbered(LanguageText(taken, "Applied"), {LanguageText(taken, "Language")}),
                      LanguageText(taken, "Title"), MessageIcon::Information);
  return true;
}

}  // namespace korv
