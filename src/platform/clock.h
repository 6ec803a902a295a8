#pragma once

#include <cstdint>

namespace platform {

/// Low 32 bits of a monotonic high-resolution clock, to seed the generator.
std::uint32_t seedClock();

} // namespace platform
