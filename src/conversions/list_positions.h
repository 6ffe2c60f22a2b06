// The windows' output format lists by position, mapped onto conversions in this one place.
// The lists are the settings file's ("[Raw data options]" ...), so their positions are what
// stored settings files rely on: position 1 of the received raw data list is KOF, and so on.
// A position a list does not map (an entry a user added) does nothing.
#pragma once

#include <optional>
#include <string>

#include "conversions/registry.h"

namespace korv {

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

// The entry at `position` of the list the window shows for the data kind (`SourceKind`: 0 raw
// data, 1 coordinates, 2 other) and the source (received, or a file from disk). Other
// received data has no list: it is stored as it came.
ListEntry EntryAt(int sourceKind, bool fromFile, int position);

// The raw data lists end with an entry the settings file's lists do not hold: the raw data
// reduced to a coordinate list (its text is "[Survey Texts]" ComputedCoordinates). Whatever
// the length of the stored list before it, EntryAt knows it at this position.
constexpr int kComputedCoordinatesPosition = 100;

// The position of entry `index` of the list the window shows for the data kind, whose first
// `storedCount` entries are the settings file's: the index itself, or for the entry after a
// raw data list's stored ones, kComputedCoordinatesPosition.
int PositionOf(int sourceKind, int index, int storedCount);

// Whether the format's Settings button shows: for every position of the coordinate lists, for
// KOF in the raw data lists, never for other data.
bool SettingsButtonShown(int sourceKind, bool fromFile, int position);

// The save dialog's filter pattern for an extension: " (*.kof)|*.kof".
std::string FilterPattern(const char* extension);

}  // namespace korv
