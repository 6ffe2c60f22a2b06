// Raw data records: the station table and the exchange helpers.
#include "formats/raw_data.h"

#include <utility>

namespace korv {

bool IsCoordinateRecord(std::string_view type) {
  return type == RecordType::kUserPoint || type == RecordType::kMeasuredPoint ||
         type == RecordType::kCalculatedPoint || type == RecordType::kResection;
}

void StationTable::AddStation(std::string_view name, std::string_view first,
                              std::string_view second, std::string_view elevation) {
  // One hash lookup: the new entry's own name is the key; a known name takes it back.
  entries_.push_back(Station{std::string(name), {}, {}, {}});
  if (!index_.try_emplace(entries_.back().name, entries_.size()).second) {
    entries_.pop_back();
    return;
  }
  Station& added = entries_.back();
  added.first.assign(first);
  added.second.assign(second);
  added.elevation.assign(elevation);
}

size_t StationTable::FindStation(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? 0 : it->second;
}

void StationTable::Clear() {
  entries_.clear();
  index_.clear();
}

void SwapSingles(float& a, float& b) { std::swap(a, b); }
void SwapStrings(std::string& a, std::string& b) { a.swap(b); }

}  // namespace korv
