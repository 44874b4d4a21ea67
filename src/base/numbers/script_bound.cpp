#include "base/numbers/script_bound.h"

#include <string>

#include "platform/system/diagnostic_log.h"

bool WithinBound(std::string_view what, std::int64_t asked, std::int64_t most) {
  if (asked <= most) return true;
  plat::LogDiagnostic(std::string(what) + ": " + std::to_string(asked) + " asked for, at most " +
                      std::to_string(most) + ": refused");
  return false;
}

bool PictureWithinBound(std::int32_t width, std::int32_t height) {
  return width < 1 || height < 1 || WithinBound("a picture's pixels", std::int64_t{width} * height, kMostPicturePixels);
}
