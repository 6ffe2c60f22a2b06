// Sending an upload: build the upload file with the builder the chosen format names, then
// write it to the instrument line by line and make sure the last line has left the port
// before it is closed.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "comm/comm_messages.h"
#include "comm/serial_link.h"
#include "comm/upload_builders.h"
#include "core/line_reader.h"
#include "core/outcome.h"
#include "core/reporter.h"

namespace korv {

struct AppState;

// OwnList: a coordinate list in the program's own layout (point, the plane coordinates in the
// coordinate order, elevation, code; as a GIS file's points are converted for sending), whose
// columns are known whatever the upload column settings say.
enum class UploadFormat { Comma, Space, Kof, Code, OwnList };

// The builder a SettingsActionWord names: "Comma", "Space", "UpLoadKOF", "UpLoadVXL",
// "UpLoadList".
std::optional<UploadFormat> UploadFormatFor(std::string_view settingsActionWord);

// Runs the builder of `format` on `sourcePath`, appending to `scratch`.
UploadBuild BuildUpLoadFile(UploadFormat format, const std::string& sourcePath,
                            std::ostream& scratch, const CoordFieldOptions& columns,
                            int coordOrderIndex);

// The next line to send from an upload file: trimmed, ended by CR LF; blank lines skipped.
// False at the end of the file.
bool NextUploadLine(LineReader& lines, std::string& text);

struct UploadHooks {
  // Lets pending window events run: before every line, and while flow control holds a line.
  std::function<void()> processEvents;
  // Progress: lines sent so far out of `maximum` (SendLineCount).
  std::function<void(int value, int maximum)> progress;
};

struct UploadOptions {
  // How long the receiver may hold the line (XOFF) without a byte leaving, while a line
  // waits to be handed to the driver and while the last lines leave it alike; then the
  // upload fails.
  std::chrono::milliseconds stallLimit{10000};
};

// How an upload ended: Succeeded (all lines sent), Cancelled, InputFault (the upload file
// could not be read or held nothing to send), OutputFault (the upload file could not be
// written), DeviceLost (the port failed or went away) or TimedOut (the receiver held the
// line too long). `fault` is empty after success and cancel.
struct UploadResult : Outcome {
  int linesSent = 0;  // lines that left the port whole
  long long bytesSent = 0;
};

// Sends the upload file at `scratchPath` through the open `port`: every line trimmed, blank
// lines skipped, each ended by CR LF; a file without any such line fails ("Nothing to
// send"). A line counts as sent once it has left the port. A cancel is seen before every
// line and while flow control holds a line: no new line is handed over then, a held line of
// which nothing reached the driver is dropped, and the rest leaves before the port is closed
// (within the stall limit), so no line is ever cut. A failing port stops the upload
// (DeviceLost), a receiver holding the line past the stall limit too (TimedOut).
UploadResult UploadTempFile(SerialLink& port, const std::string& scratchPath, int sendLineCount,
                            bool& cancelRequested, const UploadHooks& hooks = UploadHooks(),
                            const UploadOptions& options = UploadOptions());

// The word an upload leaves in SettingsActionWord: "UpOK" all sent, "Esc" otherwise.
std::string UploadSettingsActionWord(Status status);

// Send button of the upload dialog on the program's state, for an open `port`: runs the
// builder that SettingsActionWord names on `sourcePath` into the scratch file (written new),
// sends it when SendLineCount is 3 or more, leaves UploadSettingsActionWord in
// SettingsActionWord and shows message 22 (title 21) on success. A builder failure is
// reported and ends with "Esc". A SendLineCount below 3 ends as InputFault without a report
// and leaves the word as the dialogs left it; an unknown word changes nothing (InputFault).
// The port is closed at the end.
UploadResult SendUpLoadFile(AppState& state, SerialLink& port, const std::string& sourcePath,
                            Reporter& reporter, const UploadHooks& hooks = UploadHooks(),
                            const UploadOptions& options = UploadOptions());

}  // namespace korv
