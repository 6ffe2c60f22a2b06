// The position tables of the main window's output format lists.
#include "conversions/list_positions.h"

#include <iterator>

namespace korv {

namespace {

ListEntry Convert(DataKind from, const char* to, AskFirst ask = AskFirst::Never,
                  bool addedByHand = false) {
  ListEntry e;
  e.action = ListAction::Convert;
  e.conversion = FindConversion(from, to);
  e.extension = addedByHand ? nullptr : e.conversion->extension;
  e.dialog = addedByHand ? SettingsDialog::None : e.conversion->dialog;
  e.ask = ask;
  return e;
}

ListEntry Stored(const char* extension, bool instrumentSdr = false, bool sdr33 = false) {
  ListEntry e;
  e.action = ListAction::StoreAsReceived;
  e.extension = extension;
  e.dialog = instrumentSdr ? SettingsDialog::Sdr : SettingsDialog::None;
  e.instrumentSendsSdr = instrumentSdr;
  e.sdr33 = sdr33;
  return e;
}

constexpr DataKind kRaw = DataKind::Raw;
constexpr DataKind kCoord = DataKind::CoordList;

// The main window's four lists: received data and a file from disk, raw data or coordinates.
enum class FormatList { RawReceived, CoordReceived, RawFile, CoordFile };

std::optional<FormatList> FormatListFor(int sourceKind, bool fromFile) {
  if (sourceKind == 0) return fromFile ? FormatList::RawFile : FormatList::RawReceived;
  if (sourceKind == 1) return fromFile ? FormatList::CoordFile : FormatList::CoordReceived;
  return std::nullopt;
}

DataKind KindOf(FormatList list) {
  return list == FormatList::RawReceived || list == FormatList::RawFile ? kRaw : kCoord;
}

// The exchange target at `position`; nullptr when the position is none of them.
const ExchangeEntry* ExchangeAt(int position) {
  const int i = position - kFirstExchangePosition;
  return i >= 0 && i < static_cast<int>(std::size(kExchangeEntries)) ? &kExchangeEntries[i]
                                                                     : nullptr;
}

}  // namespace

std::vector<int> AddedPositions(int sourceKind) {
  std::vector<int> positions;
  if (sourceKind != 0 && sourceKind != 1) return positions;
  if (sourceKind == 0) positions.push_back(kComputedCoordinatesPosition);
  for (size_t i = 0; i < std::size(kExchangeEntries); ++i) {
    positions.push_back(kFirstExchangePosition + static_cast<int>(i));
  }
  return positions;
}

ListEntry EntryAt(int sourceKind, bool fromFile, int position) {
  const std::optional<FormatList> list = FormatListFor(sourceKind, fromFile);
  if (!list) {
    ListEntry other;
    if (!fromFile) other.action = ListAction::StoreAsReceived;
    return other;
  }
  if (const ExchangeEntry* exchange = ExchangeAt(position)) {
    return Convert(KindOf(*list), exchange->to, exchange->ask);
  }
  // clang-format off
  switch (*list) {
    case FormatList::RawReceived:
      switch (position) {
        case 0: return Stored("vxl");
        case 1: return Convert(kRaw, "kof", AskFirst::CancelStops);
        case 2: return Convert(kRaw, "mapa");
        case 3: return Stored("sdr", true, false);
        case 4: return Stored("sdr", true, true);
        // Added by hand to an edited list: the SDR writer, with any file name.
        case 13:
        case 14: return Convert(kRaw, "sdr", AskFirst::Never, true);
        case kComputedCoordinatesPosition: return Convert(kRaw, "coord");
      }
      break;
    case FormatList::CoordReceived:
      switch (position) {
        case 0: return Convert(kCoord, "asc");
        case 1: return Convert(kCoord, "dxf");
        case 2: return Convert(kCoord, "kof", AskFirst::AlwaysRuns);
        case 3: return Stored("sdr", true, false);
        case 4: return Stored("sdr", true, true);
        case 5: return Convert(kCoord, "sdr", AskFirst::Never, true);
      }
      break;
    case FormatList::RawFile:
      switch (position) {
        case 0: return Convert(kRaw, "kof", AskFirst::CancelStops);
        case 1: return Convert(kRaw, "mapa");
        case kComputedCoordinatesPosition: return Convert(kRaw, "coord");
      }
      break;
    case FormatList::CoordFile:
      switch (position) {
        case 0: return Convert(kCoord, "dxf", AskFirst::CancelStops);
        case 1: return Convert(kCoord, "kof", AskFirst::CancelStops);
      }
      break;
  }
  // clang-format on
  return {};
}

int PositionOf(int sourceKind, int index, int storedCount) {
  if (index < storedCount) return index;
  const std::vector<int> added = AddedPositions(sourceKind);
  const size_t after = static_cast<size_t>(index - storedCount);
  return after < added.size() ? added[after] : index;
}

bool SettingsButtonShown(int sourceKind, bool fromFile, int position) {
  const std::optional<FormatList> list = FormatListFor(sourceKind, fromFile);
  if (!list) return false;
  if (ExchangeAt(position)) return true;
  switch (*list) {
    case FormatList::CoordReceived:
    case FormatList::CoordFile:
      return true;
    case FormatList::RawReceived:
      return position == 1;
    case FormatList::RawFile:
      return position == 0;
  }
  return false;
}

std::string FilterPattern(const char* extension) {
  return std::string(" (*.") + extension + ")|*." + extension;
}

}  // namespace korv
