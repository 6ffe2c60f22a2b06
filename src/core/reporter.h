// The seam through which faults reach the user: a message box in the window program, a line
// on stderr in the command-line program, a recorder in tests.
#pragma once

#include <string>

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

}  // namespace korv
