// Monotonic time behind a tiny interface, so that timed rules (the silence limit of a
// download, the splash window's minimum time) can be tested exactly without sleeping; and the
// local date and time, for what the program stamps with them.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>

namespace korv {

class Clock {
 public:
  using Duration = std::chrono::nanoseconds;
  virtual ~Clock() = default;
  // Time since an arbitrary fixed point; never goes backwards.
  virtual Duration Now() const = 0;
};

// The system's monotonic clock.
class SteadyClock : public Clock {
 public:
  Duration Now() const override {
    return std::chrono::duration_cast<Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
  }
};

// The clock the program uses when nobody injects another.
inline const Clock& SystemClock() {
  static const SteadyClock clock;
  return clock;
}

// A clock that only moves when told to; safe to set from another thread.
class ManualClock : public Clock {
 public:
  Duration Now() const override { return Duration(ns_.load()); }
  void Set(Duration t) { ns_.store(t.count()); }
  void Advance(Duration d) { ns_.fetch_add(d.count()); }

 private:
  std::atomic<std::int64_t> ns_{0};
};

// Local date and time now.
inline std::tm LocalNow() {
  const std::time_t t = std::time(nullptr);
  std::tm result{};
#ifdef _WIN32
  localtime_s(&result, &t);
#else
  localtime_r(&t, &result);
#endif
  return result;
}

}  // namespace korv
