#pragma once

#include "engine/host.h"

namespace host {

// Local time of day in seconds since midnight.
class SystemClock : public engine::Clock {
 public:
  float SecondsSinceMidnight() override;
};

}  // namespace host
