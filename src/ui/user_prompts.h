// The one seam through which windows ask the user something outside their own widgets:
// message boxes, file and font dialogs, beeps and starting the editor. The desktop program
// uses the Qt implementation; tests script the answers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/reporter.h"

class QWidget;

namespace korv {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
  std::string title;
  std::string folder;  // initial folder; "" for the dialog's own choice
  // Filter pairs "Name|pattern;pattern|Name|pattern" as the settings file spells them.
  std::string filter;
  int filterIndex = 0;   // 1-based preselected pair; 0 for the first
  std::string fileName;  // the name proposed (a full path opens the dialog in its folder)
  // An open dialog that also takes a name no file has yet (a file the user will create).
  bool newNameAllowed = false;
};

struct FontChoice {
  std::string name;
  double size = 8.25;  // points
  bool bold = false;
  bool italic = false;
};

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  virtual MessageAnswer Message(const std::string& text, const std::string& title, MessageIcon icon,
                                MessageButtons buttons = MessageButtons::Ok) = 0;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
  // Asks no overwrite question of its own: the program asks its own.
  virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
  // Sizes limited to 4..100 points; false when cancelled (font unchanged).
  virtual bool ChooseFont(FontChoice& font) = 0;
  virtual void Beep() = 0;
  // Opens `path` in `editor` (a program path), or in the desktop's default program for the
  // file when `editor` is empty. Returns "" when started, else the reason it could not be.
  virtual std::string RunEditor(const std::string& editor, const std::string& path) = 0;
  // Asks the system to open a document (a local path) or a web address ("http://...") with
  // its associated program, without waiting. False when nothing could be started.
  virtual bool OpenDocument(const std::string& target) = 0;
};

// Qt's file dialog filter ("Name (*.a *.b);;Name2 (*.c)") from "Name|*.a;*.b|Name2|*.c".
std::string QtFileFilter(const std::string& pairs);
// The Qt filter of pair `index` (1-based; 0 or out of range gives the first).
std::string QtFileFilterAt(const std::string& pairs, int index);

// Message boxes and dialogs of Qt, owned by `parent` (may be null).
class QtUserPrompts : public UserPrompts {
 public:
  explicit QtUserPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  // The settings file whose texts the faults are told in.
  void SetSettingsFile(const std::string& path) { settingsFile_ = path; }

  MessageAnswer Message(const std::string& text, const std::string& title, MessageIcon icon,
                        MessageButtons buttons) override;
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
  bool ChooseFont(FontChoice& font) override;
  void Beep() override;
  std::string RunEditor(const std::string& editor, const std::string& path) override;
  bool OpenDocument(const std::string& target) override;

 private:
  // The program text `key` with `value` in its "%1".
  std::string FaultText(const char* key, const std::string& value) const;

  QWidget* parent_;
  std::string settingsFile_;
};

// A Reporter that shows its reports as message boxes through `prompts`.
class PromptReporter : public Reporter {
 public:
  explicit PromptReporter(UserPrompts& prompts) : prompts_(prompts) {}
  void Report(const std::string& text, const std::string& title, MessageIcon icon) override {
    prompts_.Message(text, title, icon, MessageButtons::Ok);
  }
  void Beep() override { prompts_.Beep(); }

 private:
  UserPrompts& prompts_;
};

}  // namespace korv
