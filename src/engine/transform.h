#pragma once

#include <cstdint>
#include <span>

#include "engine/host.h"
#include "engine/job_settings.h"

namespace engine {

enum class TransformResult { Done, Refused };

// Selects the bytes of the range buffer and alters them in place as the job
// says. A refusal has shown its message, moved the focus and set the status
// line. Val2 failures and the shift's division by zero throw HostFailure.
TransformResult SelectAndTransform(const JobSettings& job, std::span<std::uint8_t> buffer,
                                   Host& host);

}  // namespace engine
