// The instrument's raw data records as the converters read them: record type names, the
// comment texts they look for, the station coordinate table and two exchange helpers.
// Lines are split with SplitFields (core/text.h) and numbers read with LeadingNumber
// (core/numbers.h).
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

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
bool IsCoordinateRecord(std::string_view type);

// Texts the converters look for in comment records.
constexpr std::string_view kInstrumentComment = "CO,Instrument:";  // whole-line prefix
constexpr std::string_view kCoordOrderText = "Coord Order:";
constexpr std::string_view kTemperatureText = "Temp:";
constexpr std::string_view kPressureText = "Press:";
constexpr std::string_view kCreatedText = "Created";

// Known stations: name and the three coordinate texts of the first coordinate record seen
// for each name. Entries are numbered from 1 and never removed or changed.
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
  size_t count() const { return entries_.size(); }
  // Makes room for `n` names, so that filling the table does not rehash it again and again.
  void Reserve(size_t n) { index_.reserve(n); }
  void Clear();

 private:
  std::deque<Station> entries_;  // stable addresses: index_ keys view the names
  // Name to index, so that a day's worth of stations is not searched line by line.
  std::unordered_map<std::string_view, size_t> index_;
};

void SwapSingles(float& a, float& b);
void SwapStrings(std::string& a, std::string& b);

}  // namespace korv
