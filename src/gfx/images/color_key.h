// The colour-key value that means "no key", shared by images and display surfaces.
#pragma once

#include <cstdint>

inline constexpr uint32_t kNoColorKey = 0xFFFFFFFF;
