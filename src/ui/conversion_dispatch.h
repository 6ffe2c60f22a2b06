// What happens to received data or a file from disk: the chosen list position's entry (see
// conversions/list_positions.h) says whether it is stored as received or converted, and which
// settings dialog comes first; the conversion's registry row runs it with the options of the
// settings file; an optional copy of the received data is kept as a ".vxl" file. The answer
// word SettingsActionWord is set here, from the conversion's outcome: "OK" or "E".
#pragma once

#include <string>

#include "conversions/registry.h"
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
// when nothing was (every name taken, `fault` then empty, or the copy failed: `fault` then
// says why).
std::string SaveOriginalCopy(const std::string& source, const std::string& output,
                             std::string* fault = nullptr);

// Puts the scratch file's data into `output` as FileWriteMode says: 2 replaces the output
// (the old file stays until the new one is complete; the scratch file is gone afterwards),
// 1 appends the lines, anything else does nothing. Sets "OK" when done; a fault is shown.
void StoreAsReceived(UiContext& ctx, const std::string& scratch, const std::string& output);

// The stored list position of the output format for the data kind and source
// (RawTargetIndex, CoordFileTargetIndex, ...).
int& TargetIndexOf(AppState& s, bool fromFile);
// The list position (see conversions/list_positions.h) of entry `index` of the output format
// list the window shows for the data kind and source: the settings file's entries, then for
// raw data the computed coordinate list.
int TargetPositionOf(const AppState& s, bool fromFile, int index);

// The options of a run from the window: the settings file's, with the Settings tab's coordinate
// order, the write mode the overwrite question chose (FileWriteMode 2 replaces, anything else
// appends, so a cancelled question never replaces a file) and the window's message texts.
RunOptions WindowRunOptions(UiContext& ctx, const std::string& output);
// The KOF options a conversion uses when no dialog gives them: "[KOF Settings]", Project from
// the output name, today's date.
KofOptions StoredKofOptions(UiContext& ctx, const std::string& output);

}  // namespace korv
