#include "platform/window/letterbox.h"

namespace plat {
namespace {

// Division rounding down, for a positive divisor, whatever the dividend's sign.
int64_t FloorDivide(int64_t dividend, int64_t divisor) {
  const int64_t quotient = dividend / divisor;
  return quotient * divisor > dividend ? quotient - 1 : quotient;
}

int ToPictureAxis(int position, int start, int end, int picture_length) {
  if (position < start) return -1;
  if (position >= end) return picture_length;
  return static_cast<int>(FloorDivide(int64_t{position - start} * picture_length, end - start));
}

int FromPictureAxis(int position, int start, int end, int picture_length) {
  const int64_t shown_length = end - start;
  // The first pixel whose reading is not below the position...
  int64_t offset = -FloorDivide(-int64_t{position} * shown_length, picture_length);
  // ...reads past it where the picture is scaled down: the pixel before holds the position.
  if (FloorDivide(offset * picture_length, shown_length) > position) --offset;
  return ClampedCoordinate(start + offset);
}

bool Shows(const Rect& area, int32_t width, int32_t height) {
  return area.Width() > 0 && area.Height() > 0 && width > 0 && height > 0;
}

}  // namespace

Rect LetterboxedArea(int32_t output_width, int32_t output_height, int32_t width, int32_t height) {
  Rect area{0, 0, output_width, output_height};
  if (width < 1 || height < 1) return area;
  if (int64_t{output_width} * height > int64_t{output_height} * width) {
    const auto shown = static_cast<int32_t>(int64_t{output_height} * width / height);
    area.left = (output_width - shown) / 2;
    area.right = area.left + shown;
  } else {
    const auto shown = static_cast<int32_t>(int64_t{output_width} * height / width);
    area.top = (output_height - shown) / 2;
    area.bottom = area.top + shown;
  }
  return area;
}

Point ToPicturePoint(const Rect& area, int32_t width, int32_t height, Point on_output) {
  if (!Shows(area, width, height)) return on_output;
  return Point{ToPictureAxis(on_output.x, area.left, area.right, width),
               ToPictureAxis(on_output.y, area.top, area.bottom, height)};
}

Point FromPicturePoint(const Rect& area, int32_t width, int32_t height, Point in_picture) {
  if (!Shows(area, width, height)) return in_picture;
  return Point{FromPictureAxis(in_picture.x, area.left, area.right, width),
               FromPictureAxis(in_picture.y, area.top, area.bottom, height)};
}

}  // namespace plat
