#include "host/system_clock.h"

#include <chrono>
#include <ctime>

namespace host {

float SystemClock::SecondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t whole = system_clock::to_time_t(now);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &whole);
#else
  localtime_r(&whole, &local);
#endif
  const auto fraction = now - system_clock::from_time_t(whole);
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                         duration<double>(fraction).count();
  return static_cast<float>(seconds);
}

}  // namespace host
