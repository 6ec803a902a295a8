#include "platform/clock.h"

#include <chrono>

namespace platform {

std::uint32_t seedClock()
{
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ticks.count());
}

} // namespace platform
