// The download receiver: stores what the instrument sends, line by line, in the scratch
// file until the instrument has been silent for more than three seconds or the user cancels.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

#include "comm/comm_messages.h"
#include "comm/serial_link.h"
#include "core/clock.h"
#include "core/outcome.h"
#include "core/reporter.h"

namespace korv {

struct AppState;

struct ReceiveHooks {
  // Lets pending window events run: before data has started on every pass, and after
  // every stored line. Cancel buttons act through the cancel flag from in here.
  std::function<void()> processEvents;
  // Shows the count of stored characters ("Bytes:   " + count); called once per line, and
  // once more at the end when a failed write took lines back.
  std::function<void(std::int64_t count)> showCount;
  // Called before every wait for data (at most every `waitMs`), for front ends without
  // window events that still need to notice a stop request (a terminal's Ctrl-C).
  std::function<void()> idle;
  // Hands every line to a keeper outside the scratch file (the download journal) as it is
  // stored, so the lines outlive whatever happens to the scratch file afterwards.
  std::function<void(const std::string& line)> storeLine;
};

struct ReceiveOptions {
  // The reception ends when nothing arrived for longer than this after the first character.
  Clock::Duration silenceLimit = std::chrono::seconds(3);
  // Longest single wait for data; keeps the loop responsive without spinning.
  int waitMs = 50;
};

// How a reception ended: Succeeded (silence after at least one line), Cancelled, DeviceLost
// (the port failed or went away), OutputFault (the scratch file could not be written) or
// InputFault (characters came, but not one whole line); `fault` says which, as reported.
struct ReceiveResult : Outcome {
  std::int64_t count = 0;      // characters stored, without line ends
  long lines = 0;              // lines stored (and, after a write failure, on the disk)
  std::int64_t notStored = 0;  // characters received but not stored (the unfinished last
                               // line, and lines a failed write took back)
};

// Receives from the open `port` into `scratch`, open for output on the file `scratchPath`.
// Every accepted character (code 1..127) starts the reception; a carriage return stores the
// current line followed by CR LF; line feeds are dropped; the other accepted characters
// build the line. Characters 0 and 128..255 are dropped but still count as activity once
// the reception has started; the message says how many above 127 were dropped after it had.
// Ends by silence (message 19, title 18), by `cancelRequested` (beep, message 17, title 16)
// or by a failure of the port or the scratch file (the fault's description, exclamation
// icon, title 11). A failed write leaves the file cut back to its last whole line and counts
// only the lines on the disk. Characters of an unfinished last line are not stored, and
// every message says how many there were; when they are all that arrived, the reception
// failed (InputFault) instead of completing. Leaves the scratch file and the port closed and
// `cancelRequested` as the cancel left it.
ReceiveResult ReceiveData(SerialLink& port, std::fstream& scratch, const std::string& scratchPath,
                          bool& cancelRequested, Reporter& reporter,
                          const CommMessages& messages = CommMessages(),
                          const ReceiveHooks& hooks = ReceiveHooks(),
                          const Clock& clock = SystemClock(),
                          const ReceiveOptions& options = ReceiveOptions());

// The word a reception leaves in ActionWord: "" completed, "Stop" cancelled, "Lathos" for
// every failure.
std::string DownloadActionWord(Status status);

// The same on the program's state: the scratch file at ScratchFilePath, CancelRequested,
// and the outcome in ActionWord (DownloadActionWord) and DownloadOK.
ReceiveResult ReceiveData(AppState& state, SerialLink& port, std::fstream& scratch,
                          Reporter& reporter, const ReceiveHooks& hooks = ReceiveHooks(),
                          const Clock& clock = SystemClock());

}  // namespace korv
