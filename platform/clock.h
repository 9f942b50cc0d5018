// The clock: today's date in local time, behind one seam that tests pin.
//
// Header-only so that the lowest layer (KDate, and the currency library's own
// copy of it) can ask for today without linking anything.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace ledgora::platform {

struct TCalendarDay {
  unsigned day = 0;
  unsigned month = 0;
  unsigned year = 0;
  bool operator==(const TCalendarDay&) const = default;
};

namespace detail {
inline std::optional<TCalendarDay>& PinnedToday() {
  static std::optional<TCalendarDay> pinned;
  return pinned;
}
// LEDGORA_TODAY=YYYY-MM-DD pins the day of a whole process (the programs
// started by tests, the demo); read once.
inline std::optional<TCalendarDay> EnvironmentToday() {
  static const std::optional<TCalendarDay> day = [] {
    std::optional<TCalendarDay> result;
    if (const char* text = std::getenv("LEDGORA_TODAY")) {
      unsigned y = 0, m = 0, d = 0;
      if (std::sscanf(text, "%4u-%2u-%2u", &y, &m, &d) == 3 && m >= 1 && m <= 12 && d >= 1 &&
          d <= 31) {
        result = TCalendarDay{d, m, y};
      }
    }
    return result;
  }();
  return day;
}
}  // namespace detail

// Today in local time (the system clock converted with the time zone), or the
// pinned day.
inline TCalendarDay Today() {
  if (const auto& pinned = detail::PinnedToday()) return *pinned;
  if (const auto env = detail::EnvironmentToday()) return *env;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return TCalendarDay{static_cast<unsigned>(local.tm_mday), static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_year + 1900)};
}

// Pins "today" until Unpin (tests, the demo).
inline void PinToday(TCalendarDay day) {
  detail::PinnedToday() = day;
}
inline void UnpinToday() {
  detail::PinnedToday().reset();
}

// Pins for the lifetime of the object, restoring what was pinned before.
class TPinnedToday {
 public:
  explicit TPinnedToday(TCalendarDay day) : previous_(detail::PinnedToday()) { PinToday(day); }
  ~TPinnedToday() { detail::PinnedToday() = previous_; }
  TPinnedToday(const TPinnedToday&) = delete;
  TPinnedToday& operator=(const TPinnedToday&) = delete;

 private:
  std::optional<TCalendarDay> previous_;
};

}  // namespace ledgora::platform
