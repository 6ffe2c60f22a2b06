// Upload dispatch and the line-by-line sender.
#include "comm/upload_sender.h"

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
  }
  return {};
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

  std::ifstream in(scratchPath, std::ios::binary);
  if (!in) {
    result.fault = "Cannot read the upload file: " + ErrorDescription(ErrorCodeFromErrno(errno));
  }
  bool heldAtCancel = false;
  std::string line;
  LineReader reader(in);
  while (result.fault.empty() && reader.Next(line)) {
    std::string text = Trim(line);
    if (text.empty()) continue;
    text += "\r\n";
    events();
    if (cancelRequested) break;
    if (!port.Write(text)) {
      result.fault = port.faultText();
      break;
    }
    // Hand the line to the driver before taking the next one; Xon/Xoff may hold it.
    while (port.BytesToWrite() > 0) {
      if (!port.WaitWritten(options.waitMs) && port.faultCode() != CommErrorCode::kNone) {
        result.fault = port.faultText();
        break;
      }
      if (port.BytesToWrite() == 0) break;
      events();
      if (cancelRequested) {
        heldAtCancel = true;
        break;
      }
    }
    if (!result.fault.empty() || heldAtCancel) break;
    ++result.linesSent;
    result.bytesSent += static_cast<long long>(text.size());
    if (hooks.progress) hooks.progress(result.linesSent, sendLineCount);
  }
  in.close();

  if (port.IsOpen()) {
    // A line the receiver held back when the user cancelled is dropped; everything else
    // handed to the port leaves it before the port is closed.
    if (heldAtCancel || port.vanished()) port.DiscardOutput();
    // At a slow speed the driver may still hold seconds of complete lines: they go out while
    // the window stays alive.
    if (!port.vanished() && !port.Drain(options.drainStall, options.drainLimit, events) &&
        result.fault.empty() && !cancelRequested) {
      result.fault = port.faultText();
    }
    port.Close();
  }
  result.settingsActionWord = (cancelRequested || !result.fault.empty()) ? "Esc" : "UpOK";
  return result;
}

UploadResult SendUpLoadFile(AppState& state, SerialLink& port, const std::string& sourcePath,
                            Reporter& reporter, const UploadHooks& hooks) {
  UploadResult result;
  const CommMessages messages = CommMessages::From(state);
  const std::optional<UploadFormat> format = UploadFormatFor(state.SettingsActionWord);
  if (!format) return result;

  UploadBuild build;
  {
    std::ofstream scratch(state.ScratchFilePath, std::ios::binary | std::ios::trunc);
    if (!scratch) {
      build.ok = false;
      build.fault =
          "Cannot create the upload file: " + ErrorDescription(ErrorCodeFromErrno(errno)) + ": " +
          state.ScratchFilePath;
    } else {
      const CoordFieldOptions columns =
          LoadCoordUpLoadFieldOptions(IniFile::Load(state.IniFilePath));
      build = BuildUpLoadFile(*format, sourcePath, scratch, columns, state.CoordOrderIndex);
      scratch.close();
      if (build.ok && scratch.fail()) {
        build.ok = false;
        build.fault =
            "Cannot write the upload file: " + ErrorDescription(ErrorCodeFromErrno(errno));
      }
    }
  }
  if (!build.ok) {
    reporter.Report(build.fault, messages.error, MessageIcon::Critical);
    state.SettingsActionWord = "Esc";
  }
  if (state.SettingsActionWord == "Esc" || build.SendLineCount < 3) {
    port.Close();
    result.settingsActionWord = state.SettingsActionWord;
    result.fault = build.fault;
    return result;
  }
  result = UploadTempFile(port, state.ScratchFilePath, build.SendLineCount, state.CancelRequested,
                          hooks);
  state.SettingsActionWord = result.settingsActionWord;
  if (!result.fault.empty()) {
    reporter.Report(result.fault, messages.error, MessageIcon::Critical);
  }
  if (state.SettingsActionWord == "UpOK") {
    reporter.Report(messages.uploaded, messages.finished, MessageIcon::None);
  }
  return result;
}

}  // namespace korv
