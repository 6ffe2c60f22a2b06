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
  auto [it, added] = index_.try_emplace(std::string(name), entries_.size() + 1);
  if (!added) return;
  entries_.push_back(
      Station{it->first, std::string(first), std::string(second), std::string(elevation)});
}

size_t StationTable::FindStation(std::string_view name) const {
  if (entries_.empty()) return 0;
  auto it = index_.find(std::string(name));
  return it == index_.end() ? 0 : it->second;
}

void StationTable::Clear() {
  entries_.clear();
  index_.clear();
}

void SwapSingles(float& a, float& b) { std::swap(a, b); }
void SwapStrings(std::string& a, std::string& b) { a.swap(b); }

}  // namespace korv
