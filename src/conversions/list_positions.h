// The windows' output format lists by position, mapped onto conversions in this one place.
// The lists are the settings file's ("[Raw data options]" ...), so their positions are what
// stored settings files rely on: position 1 of the received raw data list is KOF, and so on.
// A position a list does not map (an entry a user added) does nothing.
#pragma once

#include <string>

#include "conversions/registry.h"

namespace korv {

// The main window's four lists: received data and a file from disk, raw data or coordinates.
enum class FormatList { RawReceived, CoordReceived, RawFile, CoordFile };

// The list shown for the data kind (`SourceKind`: 0 raw data, 1 coordinates, 2 other) and
// the source; nullopt for other received data, which has no list and is stored as received.
std::optional<FormatList> FormatListFor(int sourceKind, bool fromFile);

enum class ListAction {
  Nothing,          // no conversion at this position
  StoreAsReceived,  // received data kept as it came (the instrument's own format)
  Convert,          // `conversion` runs
};

// When a conversion shows its settings dialog before it runs.
enum class AskFirst {
  Never,        // the stored settings are used
  CancelStops,  // Cancel stops the conversion
  AlwaysRuns,   // the dialog's settings after OK, the stored ones after Cancel
};

struct ListEntry {
  ListAction action = ListAction::Nothing;
  const Conversion* conversion = nullptr;  // for Convert
  const char* extension = nullptr;  // offered by the save dialog, without the dot; nullptr: any
  SettingsDialog dialog = SettingsDialog::None;  // opened by the format's Settings button
  AskFirst ask = AskFirst::Never;
  bool instrumentSendsSdr = false;  // the instrument sends SDR itself (instructions first)
  bool sdr33 = false;               // ... as SDR-33 rather than SDR-2x
};

ListEntry EntryAt(FormatList list, int position);

// Whether the format's Settings button shows for `position` of `list`: for every position of
// the coordinate lists, for KOF in the raw data lists.
bool SettingsButtonShown(FormatList list, int position);

// The save dialog's filter pattern for an extension: " (*.kof)|*.kof".
std::string FilterPattern(const char* extension);

}  // namespace korv
