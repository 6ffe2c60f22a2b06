// Upload dispatch and the line-by-line sender.
#include "comm/upload_sender.h"

#include <deque>
#include <fstream>

#include "core/app_state.h"
#include "core/file_procs.h"
#include "core/key_store.h"
#include "core/line_reader.h"
#include "core/text.h"

namespace korv {

std::optional<UploadFormat> UploadFormatFor(std::string_view word) {
  if (word == "Comma") return UploadFormat::Comma;
  if (word == "Space") return UploadFormat::Space;
  if (word == "UpLoadKOF") return UploadFormat::Kof;
  if (word == "UpLoadVXL") return UploadFormat::Code;
  if (word == "UpLoadList") return UploadFormat::OwnList;
  return std::nullopt;
}

UploadBuild BuildUpLoadFile(UploadFormat format, const std::string& sourcePath,
                            std::ostream& scratch, const CoordFieldOptions& columns,
                            int coordOrderIndex) {
  switch (format) {
    case UploadFormat::Comma:
      return CreateUpLoadFileComma(sourcePath, scratch, columns, coordOrderIndex);
    case UploadFormat::Space:
      return CreateUpLoadFileSpace(sourcePath, scratch, columns, coordOrderIndex);
    case UploadFormat::Kof:
      return CreateUpLoadFileKOF(sourcePath, scratch, coordOrderIndex);
    case UploadFormat::Code:
      return CreatUpLoadCodeFile(sourcePath, scratch);
    case UploadFormat::OwnList:
      return CreateUpLoadFileComma(sourcePath, scratch, CoordFieldOptions(), coordOrderIndex);
  }
  return {};
}

bool NextUploadLine(LineReader& lines, std::string& text) {
  std::string_view line;
  while (lines.Next(line)) {
    text = Trim(line);
    if (text.empty()) continue;
    text += "\r\n";
    return true;
  }
  return false;
}

UploadResult UploadTempFile(SerialLink& port, const std::string& scratchPath, int sendLineCount,
                            bool& cancelRequested, const UploadHooks& hooks,
                            const UploadOptions& options) {
  UploadResult result;
  auto events = [&hooks] {
    if (hooks.processEvents) hooks.processEvents();
  };
  if (hooks.progress) hooks.progress(0, sendLineCount);
  cancelRequested = false;

  // Where each line handed to the port ends, counted from the first byte; a line has been
  // sent once the port no longer holds any byte of it.
  long long handed = 0;
  std::deque<long long> lineEnds;
  auto countSent = [&] {
    const long long left = handed - port.BytesPending();
    while (!lineEnds.empty() && lineEnds.front() <= left) {
      result.bytesSent = lineEnds.front();
      lineEnds.pop_front();
      ++result.linesSent;
      if (hooks.progress) hooks.progress(result.linesSent, sendLineCount);
    }
  };

  // Why the upload failed, when it did; `result.fault` says it in words.
  Status failure = Status::Succeeded;
  auto fail = [&result, &failure](Status status, std::string text) {
    failure = status;
    result.fault = std::move(text);
  };
  auto portFault = [&port] { return port.stalled() ? Status::TimedOut : Status::DeviceLost; };

  std::ifstream in(scratchPath, std::ios::binary);
  if (!in) {
    fail(Status::InputFault,
         "Cannot read the upload file: " + ErrorDescription(ErrorCodeFromErrno(errno)));
  }
  bool anyLine = false;
  std::string text;
  LineReader lines(in);
  while (result.fault.empty() && NextUploadLine(lines, text)) {
    anyLine = true;
    events();
    countSent();
    if (cancelRequested) break;
    if (!port.Write(text)) {
      fail(portFault(), port.faultText());
      break;
    }
    handed += static_cast<long long>(text.size());
    lineEnds.push_back(handed);
    // Hand the line to the driver before taking the next one; Xon/Xoff may hold it. A cancel
    // meanwhile drops it only while none of it has gone to the driver.
    const auto lineSize = static_cast<std::int64_t>(text.size());
    const bool handedOver = port.WaitOutput(false, options.stallLimit, [&] {
      events();
      countSent();
      return !(cancelRequested && port.BytesToWrite() == lineSize);
    });
    if (!handedOver) {
      if (port.faultCode() != CommErrorCode::kNone) {
        fail(portFault(), port.faultText());
      } else {
        port.DiscardQueued();
        handed -= lineSize;
        lineEnds.pop_back();
      }
      break;
    }
    countSent();
  }
  in.close();
  if (!anyLine && result.fault.empty()) fail(Status::InputFault, "Nothing to send");

  if (port.IsOpen()) {
    // Everything handed to the port leaves it before the port is closed, also after a
    // cancel; at a slow speed that may take seconds, while the window stays alive.
    if (!port.vanished() && !port.WaitOutput(true, options.stallLimit, [&] {
          events();
          countSent();
          return true;
        })) {
      if (result.fault.empty()) fail(portFault(), port.faultText());
    }
    countSent();
    // What could not leave is dropped, so closing does not wait for it.
    if (port.BytesPending() > 0) port.DiscardOutput();
    port.Close();
  }
  // A fault is what the user is told, also when it came after a cancel.
  result.status = !result.fault.empty() ? failure
                  : cancelRequested     ? Status::Cancelled
                                        : Status::Succeeded;
  return result;
}

std::string UploadSettingsActionWord(Status status) {
  switch (status) {
    case Status::Succeeded:
      return "UpOK";
    case Status::Cancelled:
    case Status::InputFault:
    case Status::OutputFault:
    case Status::DeviceLost:
    case Status::TimedOut:
      break;
  }
  return "Esc";
}

UploadResult SendUpLoadFile(AppState& state, SerialLink& port, const std::string& sourcePath,
                            Reporter& reporter, const UploadHooks& hooks,
                            const UploadOptions& options) {
  UploadResult result;
  const CommMessages messages = CommMessages::From(state);
  const std::optional<UploadFormat> format = UploadFormatFor(state.SettingsActionWord);
  if (!format) {
    result.status = Status::InputFault;
    result.fault = "No upload format chosen";
    return result;
  }

  UploadBuild build;
  {
    std::ofstream scratch(state.ScratchFilePath, std::ios::binary | std::ios::trunc);
    if (!scratch) {
      build.Fail(Status::OutputFault, "Cannot create the upload file: " +
                                          ErrorDescription(ErrorCodeFromErrno(errno)) + ": " +
                                          state.ScratchFilePath);
    } else {
      const CoordFieldOptions columns =
          LoadCoordUpLoadFieldOptions(IniFile::Load(state.IniFilePath));
      build = BuildUpLoadFile(*format, sourcePath, scratch, columns, state.CoordOrderIndex);
      scratch.close();
      if (build.ok() && scratch.fail()) {
        build.Fail(Status::OutputFault,
                   "Cannot write the upload file: " + ErrorDescription(ErrorCodeFromErrno(errno)));
      }
    }
  }
  if (!build.ok()) {
    reporter.Report(build.fault, messages.error, MessageIcon::Critical);
    port.Close();
    result.status = build.status;
    result.fault = build.fault;
    state.SettingsActionWord = UploadSettingsActionWord(result.status);
    return result;
  }
  if (build.SendLineCount < 3) {
    // Nothing reported here: the window tells the user the upload was aborted.
    port.Close();
    result.status = Status::InputFault;
    result.fault = "Nothing to send";
    return result;
  }
  result = UploadTempFile(port, state.ScratchFilePath, build.SendLineCount, state.CancelRequested,
                          hooks, options);
  state.SettingsActionWord = UploadSettingsActionWord(result.status);
  if (!result.fault.empty()) {
    reporter.Report(result.fault, messages.error, MessageIcon::Critical);
  }
  if (result.ok()) {
    reporter.Report(messages.uploaded, messages.finished, MessageIcon::None);
  }
  return result;
}

}  // namespace korv
