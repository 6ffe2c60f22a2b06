// Raw data records: the station table and the exchange helpers.
#include "formats/raw_data.h"

#include <functional>
#include <utility>

namespace korv {

size_t NameIndex::SlotOf(std::string_view name, std::uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  for (; slots_[i].number != 0; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.hash == hash && std::string_view(s.name, s.size) == name) break;
  }
  return i;
}

size_t NameIndex::Find(std::string_view name) const {
  if (count_ == 0) return 0;
  const auto hash = static_cast<std::uint32_t>(std::hash<std::string_view>()(name));
  return slots_[SlotOf(name, hash)].number;
}

size_t NameIndex::Add(std::string_view name, size_t number) {
  if (2 * (count_ + 1) > slots_.size()) Resize(slots_.empty() ? 64 : 2 * slots_.size());
  const auto hash = static_cast<std::uint32_t>(std::hash<std::string_view>()(name));
  Slot& slot = slots_[SlotOf(name, hash)];
  if (slot.number != 0) return slot.number;
  slot = Slot{name.data(), static_cast<std::uint32_t>(name.size()), hash,
              static_cast<std::uint32_t>(number)};
  ++count_;
  return 0;
}

void NameIndex::Resize(size_t slots) {
  std::vector<Slot> old(slots, Slot{});
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.number == 0) continue;
    size_t i = s.hash & mask;
    while (slots_[i].number != 0) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

void NameIndex::Clear() {
  slots_.clear();
  count_ = 0;
}

void StationTable::AddStation(std::string_view name, std::string_view first,
                              std::string_view second, std::string_view elevation) {
  added_.push_back(Station{std::string(name), std::string(first), std::string(second),
                           std::string(elevation)});
}

void StationTable::IndexAdded() const {
  for (Station& station : added_) {
    // One lookup: the new entry's own name is the key; a known name takes it back.
    entries_.push_back(std::move(station));
    if (index_.Add(entries_.back().name, entries_.size()) != 0) entries_.pop_back();
  }
  added_.clear();
}

size_t StationTable::FindStation(std::string_view name) const {
  IndexAdded();
  return index_.Find(name);
}

size_t StationTable::count() const {
  IndexAdded();
  return entries_.size();
}

void StationTable::Clear() {
  entries_.clear();
  added_.clear();
  index_.Clear();
}

void SwapSingles(float& a, float& b) { std::swap(a, b); }
void SwapStrings(std::string& a, std::string& b) { a.swap(b); }

}  // namespace korv
