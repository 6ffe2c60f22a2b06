// The receive loop of a download. It waits for data with short bounded waits instead of
// polling in a busy loop, and handles the bytes of each wait in one pass; what it stores and
// when it stops is the same as reading one character per poll.
#include "comm/receive_data.h"

#include <cerrno>
#include <cstring>

#include "core/app_state.h"
#include "core/file_procs.h"

namespace korv {

namespace {

enum class Ending { Silence, Cancel, Fault };

void Call(const std::function<void()>& f) {
  if (f) f();
}

std::string LinesKept(long lines) {
  return std::to_string(lines) + (lines == 1 ? " complete line was" : " complete lines were") +
         " kept.";
}

}  // namespace

ReceiveResult ReceiveData(SerialLink& port, std::fstream& scratch, bool& cancelRequested,
                          Reporter& reporter, const CommMessages& messages,
                          const ReceiveHooks& hooks, const Clock& clock,
                          const ReceiveOptions& options) {
  ReceiveResult result;
  Call(hooks.processEvents);

  std::string line;
  std::int64_t count = 0;
  bool started = false;
  Clock::Duration last = clock.Now();
  cancelRequested = false;

  constexpr std::size_t kChunk = 4096;
  Ending ending = Ending::Silence;
  std::string fault;

  for (;;) {
    if (!started) Call(hooks.processEvents);
    if (cancelRequested) {
      reporter.Beep();
      ending = Ending::Cancel;
      break;
    }
    if (port.BytesWaiting() > 0) {
      const std::string bytes = port.Read(kChunk);
      bool stop = false;
      for (char ch : bytes) {
        const auto code = static_cast<unsigned char>(ch);
        if (code == 0 || code >= 128) continue;
        started = true;
        if (code == '\r') {
          scratch.write(line.data(), static_cast<std::streamsize>(line.size()));
          scratch.write("\r\n", 2);
          if (!scratch) {
            fault =
                "Cannot write the received data: " + ErrorDescription(ErrorCodeFromErrno(errno));
            ending = Ending::Fault;
            stop = true;
            break;
          }
          count += static_cast<std::int64_t>(line.size());
          ++result.lines;
          if (hooks.showCount) hooks.showCount(count);
          line.clear();
          Call(hooks.processEvents);
          // The events just run are the only place a cancel can come from.
          if (cancelRequested) break;
        } else if (code != '\n') {
          line.push_back(ch);
        }
      }
      if (stop) break;
      last = clock.Now();
      continue;
    }
    if (started && clock.Now() - last > options.silenceLimit) {
      reporter.Beep();
      ending = Ending::Silence;
      break;
    }
    Call(hooks.idle);
    if (!port.WaitForData(options.waitMs) && port.faultCode() != CommErrorCode::kNone) {
      fault = port.faultText();
      ending = Ending::Fault;
      break;
    }
  }

  // Close the scratch file first, so every complete line is kept whatever happened.
  if (scratch.is_open()) {
    scratch.close();
    if (scratch.fail() && ending != Ending::Fault) {
      fault = "Cannot write the received data: " + ErrorDescription(ErrorCodeFromErrno(errno));
      ending = Ending::Fault;
    }
  }
  port.Close();
  Call(hooks.processEvents);

  result.count = count;
  switch (ending) {
    case Ending::Cancel:
      reporter.Report(messages.interrupted, messages.warning, MessageIcon::Critical);
      result.actionWord = "Stop";
      result.downloadOk = false;
      break;
    case Ending::Silence:
      reporter.Report(messages.completed, messages.complete, MessageIcon::None);
      result.actionWord = "";
      result.downloadOk = true;
      break;
    case Ending::Fault:
      result.fault = fault;
      reporter.Report(fault + ". " + LinesKept(result.lines), messages.error,
                      MessageIcon::Exclamation);
      result.actionWord = "Lathos";
      result.downloadOk = false;
      break;
  }
  return result;
}

ReceiveResult ReceiveData(AppState& state, SerialLink& port, std::fstream& scratch,
                          Reporter& reporter, const ReceiveHooks& hooks, const Clock& clock) {
  state.ActionWord = "";
  ReceiveResult r = ReceiveData(port, scratch, state.CancelRequested, reporter,
                                CommMessages::From(state), hooks, clock);
  state.ActionWord = r.actionWord;
  state.DownloadOK = r.downloadOk;
  return r;
}

}  // namespace korv
