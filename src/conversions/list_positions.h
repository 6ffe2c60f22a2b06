// The windows' output format lists by position, mapped onto conversions in this one place.
// The lists are the settings file's ("[Raw data options]" ...), so their positions are what
// stored settings files rely on: position 1 of the received raw data list is KOF, and so on.
// A position a list does not map (an entry a user added) does nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

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

// The lists end with entries the settings file's lists do not hold, whatever the length of
// the stored list before them: for raw data the raw data reduced to a coordinate list (its
// text is "[Survey Texts]" ComputedCoordinates), then for raw data and coordinates alike the
// exchange targets (their texts are "[GIS Settings]" keys). EntryAt knows them at these
// positions.
constexpr int kComputedCoordinatesPosition = 100;
constexpr int kFirstExchangePosition = 101;

struct ExchangeEntry {
  const char* to;       // the registry row's target
  const char* textKey;  // the key of the entry's text in "[GIS Settings]"
  // GeoJSON and KML are written in WGS 84: without a system for the survey's grid, the GIS
  // settings dialog asks for one first.
  AskFirst ask = AskFirst::Never;
};
// The exchange targets in list order: positions kFirstExchangePosition, +1, ...
inline constexpr ExchangeEntry kExchangeEntries[] = {
    {"gpkg", "GeoPackage"},
    {"geojson", "GeoJSON", AskFirst::CancelStops},
    {"shp", "Shapefile"},
    {"kml", "KML", AskFirst::CancelStops},
    {"csv", "CSV"},
    {"landxml", "LandXML"},
};

// The positions the window lists after the stored entries of the data kind's lists, in order;
// none for other data.
std::vector<int> AddedPositions(int sourceKind);

// The position of entry `index` of the list the window shows for the data kind, whose first
// `storedCount` entries are the settings file's: the index itself, or for an entry after the
// stored ones, its added position; past those, the index itself (a position no list maps).
int PositionOf(int sourceKind, int index, int storedCount);

// Whether the format's Settings button shows: for every position of the coordinate lists, for
// KOF in the raw data lists, never for other data.
bool SettingsButtonShown(int sourceKind, bool fromFile, int position);

// The save dialog's filter pattern for an extension: " (*.kof)|*.kof".
std::string FilterPattern(const char* extension);

}  // namespace korv
