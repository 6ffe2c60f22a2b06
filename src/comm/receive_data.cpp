// The receive loop of a download. It waits for data with short bounded waits instead of
// polling in a busy loop, and handles the bytes of each wait in one pass; what it stores and
// when it stops is the same as reading one character per poll.
#include "comm/receive_data.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

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

// `lastLineOnly`: all of them belong to the last line, which no carriage return ended.
std::string NotStored(std::int64_t characters, bool lastLineOnly) {
  return std::to_string(characters) + (characters == 1 ? " character" : " characters") +
         (lastLineOnly ? " after the last carriage return" : " received") +
         (characters == 1 ? " was" : " were") + " not stored.";
}

// Characters above code 127 are not stored (the link carries names in ASCII): said, so that a
// name that lost a letter such as "Ø" is not taken for what the instrument holds.
std::string HighCharactersLeftOut(std::int64_t characters, long firstLine) {
  return std::to_string(characters) +
         (characters == 1 ? " character above code 127 (a letter such as Ø or é) was"
                          : " characters above code 127 (letters such as Ø or é) were") +
         " left out of the stored lines (first in line " + std::to_string(firstLine) + ").";
}

// The scratch file as lines reach it. Lines go through the stream's buffer and are flushed
// once per batch; only a flushed line counts as stored. When a write fails, the file is cut
// back to the last line that reached the disk whole.
class LineStore {
 public:
  LineStore(std::fstream& file, const std::string& path) : file_(file), path_(path) {}

  void Add(const std::string& line) {
    file_.write(line.data(), static_cast<std::streamsize>(line.size()));
    file_.write("\r\n", 2);
    offset_ += static_cast<std::int64_t>(line.size()) + 2;
    characters_ += static_cast<std::int64_t>(line.size());
    unflushed_.push_back({offset_, characters_});
  }

  // Flushes the lines added since the last flush. False, with `fault` set, when the write
  // failed; the file is then closed and holds whole lines only.
  bool Flush(std::string& fault) {
    if (unflushed_.empty() || failed_) return !failed_;
    file_.flush();
    if (file_) {
      Commit(unflushed_.size());
      return true;
    }
    Fail(fault);
    return false;
  }

  // Closes the file after a last flush. False, with `fault` set, when that failed.
  bool Close(std::string& fault) {
    if (failed_) return false;
    if (!Flush(fault)) return false;
    if (!file_.is_open()) return true;
    file_.close();
    if (!file_.fail()) return true;
    fault = "Cannot write the received data: " + ErrorDescription(ErrorCodeFromErrno(errno));
    failed_ = true;
    return false;
  }

  long lines() const { return lines_; }
  std::int64_t characters() const { return stored_.characters; }

 private:
  struct Mark {
    std::int64_t offset;      // where the line ends in the file
    std::int64_t characters;  // characters stored up to its end, without line ends
  };

  void Commit(size_t n) {
    lines_ += static_cast<long>(n);
    stored_ = unflushed_[n - 1];
    unflushed_.clear();
  }

  void Fail(std::string& fault) {
    const int err = errno;
    failed_ = true;
    fault = "Cannot write the received data: " + ErrorDescription(ErrorCodeFromErrno(err));
    // What reached the disk is measured before closing: the stream writes its buffer once
    // more when it closes, and nothing after this size is known to be in order.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_, ec);
    const std::int64_t onDisk = ec ? stored_.offset : static_cast<std::int64_t>(size);
    size_t whole = 0;
    while (whole < unflushed_.size() && unflushed_[whole].offset <= onDisk) ++whole;
    if (whole > 0) {
      Commit(whole);
    } else {
      unflushed_.clear();
    }
    file_.close();
    file_.clear();
    std::filesystem::resize_file(path_, static_cast<std::uintmax_t>(stored_.offset), ec);
  }

  std::fstream& file_;
  const std::string& path_;
  std::int64_t offset_ = 0;
  std::int64_t characters_ = 0;
  Mark stored_{0, 0};
  std::vector<Mark> unflushed_;
  long lines_ = 0;
  bool failed_ = false;
};

}  // namespace

ReceiveResult ReceiveData(SerialLink& port, std::fstream& scratch, const std::string& scratchPath,
                          bool& cancelRequested, Reporter& reporter, const CommMessages& messages,
                          const ReceiveHooks& hooks, const Clock& clock,
                          const ReceiveOptions& options) {
  ReceiveResult result;
  // A fresh run: an earlier cancel does not count, but one made while the events below run
  // (the download window has just been shown) does.
  cancelRequested = false;
  Call(hooks.processEvents);

  LineStore store(scratch, scratchPath);
  std::string line;
  std::int64_t count = 0;  // shown while receiving: every line handed to the file
  long ended = 0;          // lines ended by a carriage return
  std::int64_t high = 0;   // characters above 127 left out once the reception started
  long highLine = 0;       // the line of the first of them
  bool started = false;
  Clock::Duration last = clock.Now();

  constexpr std::size_t kChunk = 4096;
  Ending ending = Ending::Silence;
  Status faultStatus = Status::OutputFault;  // which side failed, when ending by Fault
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
      for (char ch : bytes) {
        const auto code = static_cast<unsigned char>(ch);
        if (code >= 128 && started && high++ == 0) highLine = ended + 1;
        if (code == 0 || code >= 128) continue;
        started = true;
        if (code == '\r') {
          ++ended;
          store.Add(line);
          if (hooks.storeLine) hooks.storeLine(line);
          count += static_cast<std::int64_t>(line.size());
          if (hooks.showCount) hooks.showCount(count);
          line.clear();
          Call(hooks.processEvents);
          // The events just run are the only place a cancel can come from.
          if (cancelRequested) break;
        } else if (code != '\n') {
          line.push_back(ch);
        }
      }
      if (!store.Flush(fault)) {
        ending = Ending::Fault;
        break;
      }
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
      faultStatus = Status::DeviceLost;
      ending = Ending::Fault;
      break;
    }
  }

  // Close the scratch file first, so every complete line is kept whatever happened.
  std::string closeFault;
  if (!store.Close(closeFault) && ending != Ending::Fault) {
    fault = closeFault;
    faultStatus = Status::OutputFault;
    ending = Ending::Fault;
  }
  port.Close();
  Call(hooks.processEvents);

  result.count = store.characters();
  result.lines = store.lines();
  // Characters of the unfinished last line, and those of lines a failed write took back.
  result.notStored = count - result.count + static_cast<std::int64_t>(line.size());
  if (result.count != count && hooks.showCount) hooks.showCount(result.count);
  std::string remarks =
      result.notStored > 0
          ? NotStored(result.notStored, result.notStored == static_cast<std::int64_t>(line.size()))
          : "";
  if (high > 0) {
    remarks += (remarks.empty() ? "" : "\n") + HighCharactersLeftOut(high, highLine);
  }
  // Characters arrived but not one line was stored: that is no successful transmission.
  const bool nothingStored = ending == Ending::Silence && result.lines == 0;
  switch (nothingStored ? Ending::Fault : ending) {
    case Ending::Cancel:
      reporter.Report(
          remarks.empty() ? messages.interrupted : messages.interrupted + "\n" + remarks,
          messages.warning, MessageIcon::Critical);
      result.status = Status::Cancelled;
      break;
    case Ending::Silence:
      if (remarks.empty()) {
        reporter.Report(messages.completed, messages.complete, MessageIcon::None);
      } else {
        reporter.Report(messages.completed + "\n" + remarks, messages.complete,
                        MessageIcon::Exclamation);
      }
      result.status = Status::Succeeded;
      break;
    case Ending::Fault:
      result.status = nothingStored ? Status::InputFault : faultStatus;
      result.fault = nothingStored
                         ? "No complete line arrived: " + std::to_string(result.notStored) +
                               " characters came without a carriage return to end "
                               "a line and were not stored"
                         : fault;
      reporter.Report(nothingStored ? result.fault + "."
                                    : fault + ". " + LinesKept(result.lines) +
                                          (remarks.empty() ? "" : " " + remarks),
                      messages.error, MessageIcon::Exclamation);
      break;
  }
  return result;
}

std::string DownloadActionWord(Status status) {
  switch (status) {
    case Status::Succeeded:
      return "";
    case Status::Cancelled:
      return "Stop";
    case Status::InputFault:
    case Status::OutputFault:
    case Status::DeviceLost:
    case Status::TimedOut:
      break;
  }
  return "Lathos";
}

ReceiveResult ReceiveData(AppState& state, SerialLink& port, std::fstream& scratch,
                          Reporter& reporter, const ReceiveHooks& hooks, const Clock& clock) {
  state.ActionWord = "";
  ReceiveResult r = ReceiveData(port, scratch, state.ScratchFilePath, state.CancelRequested,
                                reporter, CommMessages::From(state), hooks, clock);
  state.ActionWord = DownloadActionWord(r.status);
  state.DownloadOK = r.ok();
  return r;
}

}  // namespace korv
