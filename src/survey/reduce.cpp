// The reduction of observations to coordinates, in file order.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "survey/huge_pages.h"
#include "survey/survey.h"

namespace korv {

namespace {

// Two values of a name closer than this in every coordinate are the same point.
constexpr double kSamePoint = 0.0005;

// The first point of each name, in an open-addressing table of point indices: a million names
// cost 8 bytes a slot instead of a heap node each.
class NameTable {
 public:
  NameTable(const Survey& survey, size_t names) : s_(survey) {
    size_t capacity = 16;
    while (capacity < 2 * names) capacity *= 2;
    ReserveOnHugePages(slots_, capacity);
    slots_.assign(capacity, Slot{0, kNoIndex});
  }

  // The first point named `name`; kNoIndex when there is none yet.
  uint32_t Find(std::string_view name) const {
    const uint32_t hash = Hash(name);
    for (size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
      const Slot& slot = slots_[i];
      if (slot.index == kNoIndex) return kNoIndex;
      if (slot.hash == hash && s_.Text(s_.points[slot.index].name) == name) return slot.index;
    }
  }

  // Loads the slot a name starts its search at into the cache, ahead of its Add: a table of a
  // million names is far larger than the cache, and each Add would otherwise wait for memory.
  void Prefetch(std::string_view name) const {
    __builtin_prefetch(&slots_[Hash(name) & (slots_.size() - 1)]);
  }

  // Enters point `index` unless its name is known; returns the first point of the name.
  uint32_t Add(uint32_t index) {
    const std::string_view name = s_.Text(s_.points[index].name);
    const uint32_t hash = Hash(name);
    for (size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
      Slot& slot = slots_[i];
      if (slot.index == kNoIndex) {
        slot = {hash, index};
        return index;
      }
      if (slot.hash == hash && s_.Text(s_.points[slot.index].name) == name) return slot.index;
    }
  }

 private:
  struct Slot {
    uint32_t hash;
    uint32_t index;
  };
  // Eight bytes at a time, with a multiply-and-shift mix: names are short, and a call of the
  // standard hash for each costs more than the rest of the probe.
  static uint32_t Hash(std::string_view name) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ name.size();
    size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
      uint64_t word;
      std::memcpy(&word, name.data() + i, 8);
      h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
      h ^= h >> 31;
    }
    uint64_t rest = 0;
    if (i < name.size()) std::memcpy(&rest, name.data() + i, name.size() - i);
    h = (h ^ rest) * 0x94D049BB133111EBull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return static_cast<uint32_t>(h ^ (h >> 32));
  }

  const Survey& s_;
  std::vector<Slot> slots_;
};

bool Differ(const Point& a, const Point& b) {
  return std::fabs(a.east - b.east) > kSamePoint || std::fabs(a.north - b.north) > kSamePoint ||
         (a.hasElevation && b.hasElevation && std::fabs(a.elevation - b.elevation) > kSamePoint);
}

class Reduction {
 public:
  Reduction(Survey& survey, const ReductionOptions& options)
      : s_(survey), o_(options), names_(survey, survey.recordPoints + survey.observations.size()) {}

  void Run() {
    std::vector<bool> placed(s_.setUps.size(), false);
    uint32_t record = 0;           // the next coordinate record to enter
    constexpr size_t kAhead = 16;  // observations whose names are prefetched in advance
    for (uint32_t i = 0; i < s_.observations.size(); ++i) {
      if (i + kAhead < s_.observations.size())
        names_.Prefetch(s_.Text(s_.observations[i + kAhead].name));
      const Observation& o = s_.observations[i];
      for (; record < s_.recordPoints && s_.points[record].line < o.line; ++record) Enter(record);
      if (o.setUp == kNoIndex) {
        s_.unreduced.push_back({i, ReductionFault::NoSetUp});
        continue;
      }
      SetUp& u = s_.setUps[o.setUp];
      if (!placed[o.setUp]) {
        placed[o.setUp] = true;
        Place(u);
      }
      ++u.observations;
      if (u.notRead) {
        s_.unreduced.push_back({i, ReductionFault::SetUpNotRead});
      } else if (u.orientation == Orientation::Unplaced) {
        s_.unreduced.push_back({i, ReductionFault::StationUnknown});
      } else if (o.slopeDistance == 0) {
        s_.unreduced.push_back({i, ReductionFault::NoDistance});
      } else {
        ++u.reduced;
        s_.points.push_back(Reduced(o, u));
        Enter(static_cast<uint32_t>(s_.points.size() - 1));
      }
    }
    for (; record < s_.recordPoints; ++record) Enter(record);
    // A set-up without observations, with everything the file holds.
    for (size_t k = 0; k < s_.setUps.size(); ++k) {
      if (!placed[k]) Place(s_.setUps[k]);
    }
  }

 private:
  // Enters point `index` under its name, or notes that it differs from the name's first value.
  void Enter(uint32_t index) {
    const uint32_t first = names_.Add(index);
    if (first == index) return;
    s_.points[index].repeated = true;
    if (Differ(s_.points[first], s_.points[index])) s_.conflicts.push_back({first, index});
  }

  void Place(SetUp& u) {
    if (u.notRead) return;  // its values would misplace the station's points
    const uint32_t station = names_.Find(s_.Text(u.station));
    if (u.station.size == 0 || station == kNoIndex) return;
    const Point& p = s_.points[station];
    u.east = p.east;
    u.north = p.north;
    u.elevation = p.elevation;
    u.hasElevation = p.hasElevation;
    u.orientation = Orientation::Assumed;
    const uint32_t backsight = u.backsight.size ? names_.Find(s_.Text(u.backsight)) : kNoIndex;
    if (backsight == kNoIndex) return;
    const double de = s_.points[backsight].east - p.east;
    const double dn = s_.points[backsight].north - p.north;
    if (de == 0 && dn == 0) return;  // the backsight is the station: no direction
    u.orientation = Orientation::FromBacksight;
    u.correction = std::atan2(de, dn) - AngleToRadians(u.backsightDirection, o_.angleUnit);
  }

  Point Reduced(const Observation& o, const SetUp& u) const {
    const double zenith = AngleToRadians(o.zenithAngle, o_.angleUnit);
    const double azimuth = AngleToRadians(o.horizontalAngle, o_.angleUnit) + u.correction;
    double hd = o.slopeDistance * std::sin(zenith);
    double dh = o.slopeDistance * std::cos(zenith) + u.instrumentHeight - o.targetHeight;
    constexpr double R = ReductionOptions::kEarthRadius;
    if (o_.curvatureAndRefraction) dh += (1 - o_.refractionConstant) * hd * hd / (2 * R);
    if (o_.seaLevel && u.hasElevation) hd *= R / (R + u.elevation);
    Point p;
    p.line = o.line;
    p.kind = o.kind;
    p.name = o.name;
    p.code = o.code;
    p.east = u.east + hd * std::sin(azimuth);
    p.north = u.north + hd * std::cos(azimuth);
    p.hasElevation = u.hasElevation;
    p.elevation = u.hasElevation ? u.elevation + dh : 0;
    p.setUp = o.setUp;
    return p;
  }

  Survey& s_;
  const ReductionOptions& o_;
  NameTable names_;
};

}  // namespace

void Reduce(Survey& survey, const ReductionOptions& options) {
  survey.points.resize(survey.recordPoints);
  for (Point& p : survey.points) p.repeated = false;
  ReserveOnHugePages(survey.points, survey.recordPoints + survey.observations.size());
  survey.unreduced.clear();
  survey.conflicts.clear();
  for (SetUp& u : survey.setUps) {
    u.orientation = Orientation::Unplaced;
    u.correction = u.east = u.north = u.elevation = 0;
    u.hasElevation = false;
    u.observations = u.reduced = 0;
  }
  Reduction(survey, options).Run();
}

}  // namespace korv
