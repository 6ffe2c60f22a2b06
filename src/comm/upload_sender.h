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
#include "core/reporter.h"

namespace korv {

struct AppState;

enum class UploadFormat { Comma, Space, Kof, Code };

// The builder a SettingsActionWord names: "Comma", "Space", "UpLoadKOF", "UpLoadVXL".
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

struct UploadResult {
  std::string settingsActionWord;  // "UpOK" all lines sent, "Esc" cancelled or failed
  int linesSent = 0;               // lines that left the port whole
  long long bytesSent = 0;
  std::string fault;  // why it failed, when it did not end by cancel or success
};

// Sends the upload file at `scratchPath` through the open `port`: every line trimmed, blank
// lines skipped, each ended by CR LF; a file without any such line fails ("Nothing to
// send"). A line counts as sent once it has left the port. A cancel is seen before every
// line and while flow control holds a line: no new line is handed over then, a held line of
// which nothing reached the driver is dropped, and the rest leaves before the port is closed
// (within the stall limit), so no line is ever cut. A failing port stops the upload with
// "Esc".
UploadResult UploadTempFile(SerialLink& port, const std::string& scratchPath, int sendLineCount,
                            bool& cancelRequested, const UploadHooks& hooks = UploadHooks(),
                            const UploadOptions& options = UploadOptions());

// Send button of the upload dialog on the program's state, for an open `port`: runs the
// builder that SettingsActionWord names on `sourcePath` into the scratch file (written new),
// sends it when SendLineCount is 3 or more, leaves "UpOK" or "Esc" in SettingsActionWord and
// shows message 22 (title 21) on success. A builder failure is reported and ends with
// "Esc"; an unknown word changes nothing. The port is closed at the end.
UploadResult SendUpLoadFile(AppState& state, SerialLink& port, const std::string& sourcePath,
                            Reporter& reporter, const UploadHooks& hooks = UploadHooks());

}  // namespace korv
