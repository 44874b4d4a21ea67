// Pictures that tests write for a person to look at.
#pragma once

#include <string>

class CImage;

// Writes a 32-bit image as an RGB PNG (alpha dropped); false when it cannot be written.
bool WritePng(const std::string& path, const CImage& image);
