// How an operation below the windows ended: one of a small closed set, plus the text of the
// fault. Converters, the download receiver and the upload sender all report this; the words
// the windows share ("OK", "E", "Stop", "Lathos", "UpOK", "Esc") are set from it only where
// program-wide state is written.
#pragma once

#include <string>
#include <utility>

namespace korv {

enum class Status {
  Succeeded,    // finished as asked
  Cancelled,    // the user stopped it
  InputFault,   // the input could not be read, or held nothing to use
  OutputFault,  // the output could not be written (no permission, disk full, a scratch file)
  DeviceLost,   // the serial device failed or went away
  TimedOut,     // the other end held the link (flow control) for too long
};

struct Outcome {
  Status status = Status::Succeeded;
  std::string fault;  // what the user is told when !ok(), e.g. "File not found: a.raw"

  bool ok() const { return status == Status::Succeeded; }
  static Outcome Failed(Status status, std::string fault) { return {status, std::move(fault)}; }
};

}  // namespace korv
