// User prompts whose answers a test scripts in advance and whose questions it reads back.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/ui_context.h"
#include "ui/user_prompts.h"

namespace korv {

class ScriptedPrompts : public UserPrompts {
 public:
  struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
    MessageButtons buttons;
  };
  struct ShownFileDialog {
    bool save;
    FileDialogRequest request;
  };
  struct EditorRun {
    std::string editor;
    std::string path;
  };

  // Answers used in order; an empty queue answers OK to boxes and cancels file dialogs.
  std::deque<MessageAnswer> messageAnswers;
  std::deque<std::optional<std::string>> fileAnswers;
  std::deque<std::optional<FontChoice>> fontAnswers;
  std::string editorFault;  // what RunEditor reports ("" for started)
  bool documentOpens = true;  // what OpenDocument reports
  // Called whenever a message box is shown, before it answers (a test may act here).
  std::function<void(const ShownMessage&)> onMessage;

  std::vector<ShownMessage> messages;
  std::vector<ShownFileDialog> fileDialogs;
  std::vector<EditorRun> editorRuns;
  std::vector<std::string> openedDocuments;  // targets handed to the system, in order
  int beeps = 0;

  MessageAnswer Message(const std::string& text, const std::string& title, MessageIcon icon,
                        MessageButtons buttons) override {
    messages.push_back({text, title, icon, buttons});
    if (onMessage) onMessage(messages.back());
    if (messageAnswers.empty())
      return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    MessageAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override {
    fileDialogs.push_back({false, request});
    return NextFile();
  }
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override {
    fileDialogs.push_back({true, request});
    return NextFile();
  }
  bool ChooseFont(FontChoice& font) override {
    if (fontAnswers.empty()) return false;
    std::optional<FontChoice> answer = fontAnswers.front();
    fontAnswers.pop_front();
    if (!answer) return false;
    font = *answer;
    return true;
  }
  void Beep() override { ++beeps; }
  std::string RunEditor(const std::string& editor, const std::string& path) override {
    editorRuns.push_back({editor, path});
    return editorFault;
  }
  bool OpenDocument(const std::string& target) override {
    openedDocuments.push_back(target);
    return documentOpens;
  }

  // Texts of every message shown so far, for compact assertions.
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const ShownMessage& m : messages) texts.push_back(m.text);
    return texts;
  }

 private:
  std::optional<std::string> NextFile() {
    if (fileAnswers.empty()) return {};
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
};

// Runs modal dialogs by script: each run shows the dialog (so it activates), hands it to the
// next script, which drives its widgets, and closes it by its close box when the script left
// it open. Without a script the dialog is closed at once.
class ScriptedDialogs : public DialogRunner {
 public:
  using Script = std::function<void(QDialog&)>;
  std::deque<Script> scripts;
  std::vector<std::string> shown;  // objectNames of the dialogs run, in order

  int Run(QDialog& dialog) override {
    shown.push_back(dialog.objectName().toStdString());
    dialog.show();
    if (!scripts.empty()) {
      Script script = scripts.front();
      scripts.pop_front();
      script(dialog);
    }
    if (dialog.isVisible()) dialog.close();
    return dialog.result();
  }

  // Clicks the button named `name` of `dialog`.
  static void Click(QDialog& dialog, const char* name) {
    if (auto* button = dialog.findChild<QAbstractButton*>(QString::fromLatin1(name))) {
      button->click();
    }
  }
  // A script that clicks one button.
  static Script Clicking(const char* name) {
    return [name](QDialog& dialog) { Click(dialog, name); };
  }
};

}  // namespace korv
