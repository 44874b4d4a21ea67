// Pictures that tests write for a person to look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CImage;

// Writes a 32-bit image as an RGB PNG (alpha dropped); false when it cannot be written.
bool WritePng(const std::string& path, const CImage& image);
// The same for pixels read back from a window (0xAARRGGBB, rows top down).
bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int32_t width, int32_t height);
