// "Interface language...": English, the translations installed with the program, or the texts
// of any settings file ("From a file..."). The chosen texts are taken into the settings file,
// every choice kept, and the window shows them at once. Every text comes from the settings
// file's "[Interface Language]".
#pragma once

#include <QDialog>
#include <vector>

#include "core/interface_language.h"
#include "ui/ui_context.h"

class QListWidget;
class QPushButton;

namespace korv {

class LanguageDialog : public QDialog {
  Q_OBJECT
 public:
  explicit LanguageDialog(UiContext& ctx, QWidget* owner = nullptr);

  // English first, then the translations, "From a file..." last.
  QListWidget* LstLanguages;
  QPushButton* ComOK;
  QPushButton* ComCancel;

  const std::vector<Translation>& translations() const { return translations_; }

 private:
  std::vector<Translation> translations_;
};

// Runs the dialog through ctx.dialogs and takes the chosen texts, saying whether that worked.
// True when the texts were taken: the caller shows them.
bool ChooseInterfaceLanguage(UiContext& ctx);

}  // namespace korv
