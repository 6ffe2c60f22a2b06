// The instrument's raw data records as the converters read them: record type names, the
// comment texts they look for, the station coordinate table and two exchange helpers.
// Lines are split with SplitFields (core/text.h) and numbers read with LeadingNumber
// (core/numbers.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace korv {

// Record types (field 1), compared exactly: upper case, whole field.
namespace RecordType {
constexpr std::string_view kComment = "CO";
constexpr std::string_view kStation = "ST";       // station set-up
constexpr std::string_view kSideShot = "SS";      // observation
constexpr std::string_view kObservation = "SO";   // observation, one field more than "SS"
constexpr std::string_view kControlPoint = "CP";  // observation laid out as "SO"
constexpr std::string_view kUserPoint = "UP";     // coordinate records ...
constexpr std::string_view kMeasuredPoint = "MP";
constexpr std::string_view kCalculatedPoint = "CC";
constexpr std::string_view kResection = "RE";
constexpr std::string_view kUserCode = "UC";  // copied as comments by MAPA 2 only
constexpr std::string_view kMeasuredCode = "MC";
}  // namespace RecordType

// True for the four record types that carry a point's coordinates ("UP", "MP", "CC", "RE").
// Inline: every converter asks it of every line.
inline bool IsCoordinateRecord(std::string_view type) {
  return type == RecordType::kUserPoint || type == RecordType::kMeasuredPoint ||
         type == RecordType::kCalculatedPoint || type == RecordType::kResection;
}

// Texts the converters look for in comment records.
constexpr std::string_view kInstrumentComment = "CO,Instrument:";  // whole-line prefix
constexpr std::string_view kCoordOrderText = "Coord Order:";
constexpr std::string_view kTemperatureText = "Temp:";
constexpr std::string_view kPressureText = "Press:";
constexpr std::string_view kCreatedText = "Created";

// Names to entry numbers (from 1), the first entry of a name winning, for the converters'
// tables of every point of a file. One flat array probed in order (open addressing): most
// names are found or placed with one memory access, where a node-based map misses the cache
// for its bucket and again for each node, and allocates a node a name.
class NameIndex {
 public:
  // Number of the entry named `name`; 0 when there is none.
  size_t Find(std::string_view name) const;
  // Adds entry `number` under `name`, a view that must stay valid, unless the name is known;
  // returns the known entry's number, or 0 when it was added.
  size_t Add(std::string_view name, size_t number);
  void Clear();

 private:
  struct Slot {
    const char* name = nullptr;
    std::uint32_t size = 0;
    std::uint32_t hash = 0;    // the low bits of the name's hash, which place it
    std::uint32_t number = 0;  // 0: the slot is free
  };
  // The slot holding `name`, or the free slot where it belongs.
  size_t SlotOf(std::string_view name, std::uint32_t hash) const;
  void Resize(size_t slots);

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  size_t count_ = 0;
};

// Known stations: name and the three coordinate texts of the first coordinate record seen
// for each name. Entries are numbered from 1 and never removed or changed. Stations are
// indexed only when one is looked up: most files name each station's coordinates right after
// its set-up and never look one up, and indexing every point would cost a cache miss each.
class StationTable {
 public:
  struct Station {
    std::string name;
    std::string first;   // first coordinate as written in the file
    std::string second;  // second coordinate
    std::string elevation;
  };

  // Adds the station unless its name is already known (the first coordinates win).
  void AddStation(std::string_view name, std::string_view first, std::string_view second,
                  std::string_view elevation);
  // Index of the entry whose name equals `name` exactly; 0 when there is none.
  size_t FindStation(std::string_view name) const;

  // Entry `index` (1..count()).
  const Station& At(size_t index) const { return entries_[index - 1]; }
  size_t count() const;
  void Clear();

 private:
  // Indexes the stations added since the last look-up, keeping the first of each name.
  void IndexAdded() const;

  mutable std::deque<Station> entries_;  // stable addresses: index_ keys view the names
  mutable std::deque<Station> added_;    // not yet indexed, in the order added
  // Name to index, so that a day's worth of stations is not searched line by line.
  mutable NameIndex index_;
};

void SwapSingles(float& a, float& b);
void SwapStrings(std::string& a, std::string& b);

}  // namespace korv
