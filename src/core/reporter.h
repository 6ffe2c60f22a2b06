// The seam through which faults reach the user: a message box in the window program, a line
// on stderr in the command-line program, a recorder in tests.
#pragma once

#include <string>
#include <vector>

namespace korv {

// None: a plain box with an OK button only (the download and upload success messages).
enum class MessageIcon { Critical, Exclamation, Information, Question, None };

class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void Report(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  virtual void Beep() {}
};

// Drops every report; for callers that have nobody to tell.
class SilentReporter : public Reporter {
 public:
  void Report(const std::string&, const std::string&, MessageIcon) override {}
};

// Holds reports to show them later on another reporter: after a window has closed, or made on
// a worker thread and shown by the window thread once the work has ended.
class HeldReports : public Reporter {
 public:
  void Report(const std::string& text, const std::string& title, MessageIcon icon) override {
    reports_.push_back({text, title, icon});
  }
  void ShowOn(Reporter& reporter) const {
    for (const Held& r : reports_) reporter.Report(r.text, r.title, r.icon);
  }

 private:
  struct Held {
    std::string text, title;
    MessageIcon icon;
  };
  std::vector<Held> reports_;
};

}  // namespace korv
