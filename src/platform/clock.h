#pragma once

#include <cstdint>

/// Low 32 bits of a monotonic high-resolution clock, to seed the generator.
std::uint32_t seedClock();
