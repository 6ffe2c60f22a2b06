// What happens to received data or a file from disk: stored as received, converted by list
// position of the chosen output format (with the format's settings dialog where needed), and
// an optional copy of the received data as a ".vxl" file.
#pragma once

#include <string>

#include "coords/dxf_options.h"
#include "core/convert_result.h"
#include "formats/kof_options.h"
#include "ui/ui_context.h"

class QWidget;

namespace korv {

// What the main window hands the dispatch.
struct DispatchRequest {
  std::string output;         // the output file name box
  std::string sourceCaption;  // the source file button's caption (the file's name)
  bool keepOriginal = false;  // "Also save the original data format" visible and ticked
  std::string formatText;     // the output format list's text, for what is said about it
  QWidget* owner = nullptr;   // owner of the dialogs shown
};

// After a download: the scratch file into the output as SourceKind and its target say. When
// the data is not converted after all (the settings window cancelled, the converter failed),
// it is kept as received beside the output (see SaveOriginalCopy) and the user is told where.
void ConvertAfterDownload(UiContext& ctx, const DispatchRequest& request);
// A file from disk (JobPath + the source caption) into the output, with the progress window
// and, when the conversion succeeded, the "Conversion finished" box.
void ConvertFromDisk(UiContext& ctx, const DispatchRequest& request);
// Copies `source` line by line to the first free name of base.vxl, base1.vxl .. base19.vxl,
// where base is `output` without a three-letter extension. Returns the name written, or ""
// when nothing was (every name taken, or the copy failed: `fault` then says why).
std::string SaveOriginalCopy(const std::string& source, const std::string& output,
                             std::string* fault = nullptr);

// Puts the scratch file's data into `output` as FileWriteMode says: 2 replaces the output
// (the old file stays until the new one is complete; the scratch file is gone afterwards),
// 1 appends the lines, anything else does nothing. Sets "OK" when done; a fault is shown.
void StoreAsReceived(UiContext& ctx, const std::string& scratch, const std::string& output);

// The converters as the windows run them: options from the settings file or a dialog, the
// write mode from FileWriteMode, the result mapped onto SettingsActionWord ("OK", or "E"
// with the fault shown).
void RunRawToKOF(UiContext& ctx, const std::string& input, const std::string& output,
                 const KofOptions& options);
void RunCoorToKOF(UiContext& ctx, const std::string& input, const std::string& output,
                  const KofOptions& options);
void RunRawToMAPA(UiContext& ctx, const std::string& input, const std::string& output);
void RunRawToSDR(UiContext& ctx, const std::string& input, const std::string& output);
void RunCoorToSDR(UiContext& ctx, const std::string& input, const std::string& output);
void RunCoorToDXF(UiContext& ctx, const std::string& input, const std::string& output,
                  const DxfOptions& options);
void RunCoorToCoordinates(UiContext& ctx, const std::string& input, const std::string& output);

// The KOF options a conversion uses when no dialog gives them: "[KOF Settings]", Project from
// the output name, today's date.
KofOptions StoredKofOptions(UiContext& ctx, const std::string& output);

}  // namespace korv
