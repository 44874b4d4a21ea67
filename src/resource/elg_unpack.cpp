#include "resource/elg_unpack.h"

#include <cstring>

namespace {

// Where unit n of the unpacked picture lies: rows of `width` units of `unit` bytes, `pitch`
// bytes apart (negative for a bottom-up bitmap, whose base is then its last row).
struct Layout {
  std::uint8_t* base;
  std::size_t width;
  std::ptrdiff_t pitch;
  std::size_t unit;

  std::uint8_t* At(std::size_t n) const {
    const std::size_t row = n / width;
    return base + static_cast<std::ptrdiff_t>(row) * pitch + static_cast<std::ptrdiff_t>((n - row * width) * unit);
  }
};

Layout Consecutive(std::uint8_t* base, std::size_t unit) {
  return {base, 1, static_cast<std::ptrdiff_t>(unit), unit};
}

Layout BottomUp(std::uint8_t* bits, std::size_t width, std::size_t height, std::size_t pitch, std::size_t unit) {
  const auto signed_pitch = static_cast<std::ptrdiff_t>(pitch);
  return {bits + static_cast<std::ptrdiff_t>(height - 1) * signed_pitch, width, -signed_pitch, unit};
}

struct ByteUnits {
  Layout layout;
  void Put(std::size_t n, const std::uint8_t* value) const { *layout.At(n) = *value; }
  void Copy(std::size_t to, std::size_t from) const { *layout.At(to) = *layout.At(from); }
};

struct IndexedUnits {
  Layout layout;
  const std::uint8_t* palette;
  std::uint8_t alpha;
  void Put(std::size_t n, const std::uint8_t* index) const {
    std::uint8_t* pixel = layout.At(n);
    std::memcpy(pixel, palette + 4 * static_cast<std::size_t>(*index), 3);
    pixel[3] = alpha;
  }
  void Copy(std::size_t to, std::size_t from) const { std::memcpy(layout.At(to), layout.At(from), 4); }
};

struct AlphaUnits {
  Layout layout;
  void Put(std::size_t n, const std::uint8_t* value) const { layout.At(n)[3] = *value; }
  void Copy(std::size_t to, std::size_t from) const { layout.At(to)[3] = layout.At(from)[3]; }
};

// Colour pixels of `layout.unit` bytes (3 or 4); a fourth byte is 0 when written and copied along.
struct ColourUnits {
  Layout layout;
  void Put(std::size_t n, const std::uint8_t* bgr) const {
    std::uint8_t* pixel = layout.At(n);
    std::memcpy(pixel, bgr, 3);
    if (layout.unit == 4) pixel[3] = 0;
  }
  void Copy(std::size_t to, std::size_t from) const { std::memcpy(layout.At(to), layout.At(from), layout.unit); }
};

struct GreyUnits {
  Layout layout;
  void Put(std::size_t n, const std::uint8_t* bgr) const {
    *layout.At(n) = static_cast<std::uint8_t>((77 * bgr[2] + 150 * bgr[1] + 29 * bgr[0]) / 256);
  }
  void Copy(std::size_t to, std::size_t from) const { *layout.At(to) = *layout.At(from); }
};

// The bytes of a stream, never read past its end.
class StreamReader {
 public:
  StreamReader(const std::uint8_t* position, const std::uint8_t* end) : position_(position), end_(end) {}
  bool Next(std::size_t& value) {
    if (position_ >= end_) return false;
    value = *position_++;
    return true;
  }
  // The next `count` bytes, or null when fewer remain.
  const std::uint8_t* Take(std::size_t count) {
    if (static_cast<std::size_t>(end_ - position_) < count) return nullptr;
    const std::uint8_t* taken = position_;
    position_ += count;
    return taken;
  }
  const std::uint8_t* Position() const { return position_; }

 private:
  const std::uint8_t* position_;
  const std::uint8_t* end_;
};

// Copies `length` units from `offset` units back, one at a time, so that a copy may repeat what
// it has just written. False when the source starts before the output or the copy overflows it.
template <class Units>
bool CopyBack(const Units& units, std::size_t& n, std::size_t capacity, std::size_t offset, std::size_t length) {
  if (offset == 0 || offset > n || capacity - n < length) return false;
  for (std::size_t i = 0; i < length; ++i, ++n) units.Copy(n, n - offset);
  return true;
}

// Literals (ops 00-3F) and runs (40-7F), alike in both streams but for the size of a stored unit
// and the shortest run. False when the op is cut off or would overflow the output.
template <class Units>
bool LiteralOrRun(StreamReader& in, std::size_t op, const Units& units, std::size_t& n, std::size_t capacity,
                  std::size_t unit_bytes, std::size_t shortest_run) {
  const bool literal = op < 0x40;
  const std::size_t shortest = literal ? 1 : shortest_run;
  std::size_t length = (op & 0x1F) + shortest;
  if ((op & 0x20) != 0) {
    std::size_t b1 = 0;
    if (!in.Next(b1)) return false;
    length = (op & 0x1F) * 256 + b1 + shortest + 32;
  }
  const std::uint8_t* stored = in.Take(literal ? length * unit_bytes : unit_bytes);
  if (stored == nullptr || capacity - n < length) return false;
  for (std::size_t i = 0; i < length; ++i) units.Put(n++, stored + (literal ? i * unit_bytes : 0));
  return true;
}

template <class Units>
const std::uint8_t* Unpack8(StreamReader in, const Units& units, std::size_t capacity) {
  std::size_t n = 0;
  for (;;) {
    std::size_t op = 0;
    std::size_t b1 = 0;
    std::size_t b2 = 0;
    if (!in.Next(op)) return nullptr;
    if (op == 0xFF) return in.Position();
    if (op < 0x80) {
      if (!LiteralOrRun(in, op, units, n, capacity, 1, 3)) return nullptr;
      continue;
    }
    std::size_t offset = 0;
    std::size_t length = 0;
    if (op < 0x90) {
      if (!in.Next(b1)) return nullptr;
      offset = b1 + 2;
      length = (op & 0x0F) + 2;
    } else if (op < 0xA0) {
      if (!in.Next(b1) || !in.Next(b2)) return nullptr;
      offset = (op & 0x0F) * 256 + b1 + 3;
      length = b2 + 4;
    } else if (op < 0xC0) {
      if (!in.Next(b1)) return nullptr;
      offset = (op & 0x0F) * 256 + b1 + 3;
      length = op < 0xB0 ? 3 : 4;
    } else if (op < 0xE0) {
      offset = (op & 0x1F) + 1;
      length = 1;
    } else {
      offset = (op & 0x1F) + 2;
      length = 2;
    }
    if (!CopyBack(units, n, capacity, offset, length)) return nullptr;
  }
}

// The source of a pixel-from-above op: `rows` rows up, `shift` pixels (-1, 0, +1) aside. False
// when it is not among the pixels already written.
template <class Units>
bool CopyFromAbove(const Units& units, std::size_t& n, std::size_t capacity, std::size_t width, std::size_t rows,
                   int shift) {
  const std::size_t back = rows * width + static_cast<std::size_t>(shift == -1) - static_cast<std::size_t>(shift == 1);
  if (back == 0 || back > n || capacity == n) return false;
  units.Copy(n, n - back);
  ++n;
  return true;
}

template <class Units>
const std::uint8_t* UnpackColour(StreamReader in, const Units& units, std::size_t width, std::size_t capacity) {
  std::size_t n = 0;
  for (;;) {
    std::size_t op = 0;
    std::size_t b1 = 0;
    std::size_t b2 = 0;
    std::size_t b3 = 0;
    if (!in.Next(op)) return nullptr;
    if (op == 0xFF) return in.Position();
    if (op < 0x80) {
      if (!LiteralOrRun(in, op, units, n, capacity, 3, 2)) return nullptr;
      continue;
    }
    if (op >= 0xC0 && op < 0xCC) {
      if (!in.Next(b1)) return nullptr;
      const int shift = op < 0xC4 ? 0 : (op < 0xC8 ? -1 : 1);
      if (!CopyFromAbove(units, n, capacity, width, (op & 0x03) * 256 + b1 + 16, shift)) return nullptr;
      continue;
    }
    if (op >= 0xD0) {
      const int shift = op < 0xE0 ? 0 : (op < 0xF0 ? -1 : 1);
      if (!CopyFromAbove(units, n, capacity, width, (op & 0x0F) + 1, shift)) return nullptr;
      continue;
    }
    std::size_t offset = 0;
    std::size_t length = 1;
    if (op < 0x90) {
      if (!in.Next(b1)) return nullptr;
      offset = b1 + 2;
      length = (op & 0x0F) + 1;
    } else if (op < 0xA0) {
      if (!in.Next(b1) || !in.Next(b2)) return nullptr;
      offset = (op & 0x0F) * 256 + b1 + 2;
      length = b2 + 1;
    } else if (op < 0xB0) {
      if (!in.Next(b1) || !in.Next(b2) || !in.Next(b3)) return nullptr;
      offset = ((op & 0x0F) * 256 + b1) * 256 + b2 + 4098;
      length = b3 + 1;
    } else if (op < 0xB8) {
      offset = (op & 0x07) + 2;
    } else if (op < 0xC0) {
      if (!in.Next(b1)) return nullptr;
      offset = (op & 0x07) * 256 + b1 + 10;
    } else {
      if (!in.Next(b1)) return nullptr;
      offset = (op & 0x03) * 256 + b1 + 2058;
    }
    if (!CopyBack(units, n, capacity, offset, length)) return nullptr;
  }
}

bool ValidRows(const std::uint8_t* output, std::size_t width, std::size_t height) {
  return output != nullptr || width == 0 || height == 0;
}

std::size_t Units(std::size_t width, std::size_t height) { return width == 0 ? 0 : width * height; }

Layout Rows(std::uint8_t* output, std::size_t width, std::ptrdiff_t pitch, std::size_t unit) {
  return {output, width == 0 ? 1 : width, pitch, unit};
}

}  // namespace

const std::uint8_t* UnpackElg8(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                               std::size_t output_size) {
  return Unpack8({stream, end}, ByteUnits{Consecutive(output, 1)}, output_size);
}

const std::uint8_t* UnpackElgIndexedTo32(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                         std::size_t output_size, const std::uint8_t* palette, std::uint8_t alpha) {
  return Unpack8({stream, end}, IndexedUnits{Consecutive(output, 4), palette, alpha}, output_size);
}

const std::uint8_t* UnpackElgRgb(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                 std::size_t width, std::size_t output_size) {
  return UnpackColour({stream, end}, ColourUnits{Consecutive(output, 4)}, width, output_size);
}

const std::uint8_t* UnpackElgAlpha(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                   std::size_t output_size) {
  return Unpack8({stream, end}, AlphaUnits{Consecutive(output, 4)}, output_size);
}

const std::uint8_t* UnpackElgRgbToGrey(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                       std::size_t width, std::size_t output_size) {
  return UnpackColour({stream, end}, GreyUnits{Consecutive(output, 1)}, width, output_size);
}

const std::uint8_t* UnpackElg8ToRows(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                     std::size_t width, std::size_t height, std::ptrdiff_t pitch) {
  if (!ValidRows(output, width, height)) return nullptr;
  return Unpack8({stream, end}, ByteUnits{Rows(output, width, pitch, 1)}, Units(width, height));
}

const std::uint8_t* UnpackElgRgbToGreyRows(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                           std::size_t width, std::size_t height, std::ptrdiff_t pitch) {
  if (!ValidRows(output, width, height)) return nullptr;
  return UnpackColour({stream, end}, GreyUnits{Rows(output, width, pitch, 1)}, width, Units(width, height));
}

const std::uint8_t* UnpackElgIndexedTo32Rows(const std::uint8_t* stream, const std::uint8_t* end,
                                             std::uint8_t* output, std::size_t width, std::size_t height,
                                             std::ptrdiff_t pitch, const std::uint8_t* palette, std::uint8_t alpha) {
  if (!ValidRows(output, width, height)) return nullptr;
  return Unpack8({stream, end}, IndexedUnits{Rows(output, width, pitch, 4), palette, alpha}, Units(width, height));
}

const std::uint8_t* UnpackElgRgbRows(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                     std::size_t width, std::size_t height, std::ptrdiff_t pitch) {
  if (!ValidRows(output, width, height)) return nullptr;
  return UnpackColour({stream, end}, ColourUnits{Rows(output, width, pitch, 4)}, width, Units(width, height));
}

const std::uint8_t* UnpackElgAlphaRows(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* output,
                                       std::size_t width, std::size_t height, std::ptrdiff_t pitch) {
  if (!ValidRows(output, width, height)) return nullptr;
  return Unpack8({stream, end}, AlphaUnits{Rows(output, width, pitch, 4)}, Units(width, height));
}

const std::uint8_t* UnpackElg8ToDib(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* bits,
                                    std::size_t width, std::size_t height, std::size_t pitch) {
  if (width == 0 || height == 0) return Unpack8({stream, end}, ByteUnits{Consecutive(bits, 1)}, 0);
  return Unpack8({stream, end}, ByteUnits{BottomUp(bits, width, height, pitch, 1)}, width * height);
}

const std::uint8_t* UnpackElgRgbToDib24(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* bits,
                                        std::size_t width, std::size_t height, std::size_t pitch) {
  if (width == 0 || height == 0) return UnpackColour({stream, end}, ColourUnits{Consecutive(bits, 3)}, 1, 0);
  return UnpackColour({stream, end}, ColourUnits{BottomUp(bits, width, height, pitch, 3)}, width, width * height);
}

const std::uint8_t* UnpackElgRgbToDib32(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* bits,
                                        std::size_t width, std::size_t height) {
  if (width == 0 || height == 0) return UnpackColour({stream, end}, ColourUnits{Consecutive(bits, 4)}, 1, 0);
  return UnpackColour({stream, end}, ColourUnits{BottomUp(bits, width, height, width * 4, 4)}, width, width * height);
}

const std::uint8_t* UnpackElgAlphaToDib(const std::uint8_t* stream, const std::uint8_t* end, std::uint8_t* bits,
                                        std::size_t width, std::size_t height) {
  if (width == 0 || height == 0) return Unpack8({stream, end}, AlphaUnits{Consecutive(bits, 4)}, 0);
  return Unpack8({stream, end}, AlphaUnits{BottomUp(bits, width, height, width * 4, 4)}, width * height);
}
