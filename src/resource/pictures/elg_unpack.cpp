#include "resource/pictures/elg_unpack.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Where unit n of the unpacked picture lies: rows of `width` units of `unit` bytes, `pitch`
// bytes apart (negative for a bottom-up bitmap, whose base is then its last row). Work goes row piece by row piece, so that the row of a unit is found by one division
// per op rather than one per unit.
struct Layout {
  std::uint8_t* base;
  std::size_t width;
  std::ptrdiff_t pitch;
  std::size_t unit;

  struct Position {
    std::size_t row;
    std::size_t column;
  };

  Position PositionOf(std::size_t n) const { return {n / width, n % width}; }
  std::uint8_t* Address(Position at) const {
    return base + static_cast<std::ptrdiff_t>(at.row) * pitch + static_cast<std::ptrdiff_t>(at.column * unit);
  }
  void Advance(Position& at, std::size_t count) const {
    at.column += count;
    if (at.column == width) at = {at.row + 1, 0};
  }

  // Calls piece(address, count) for the pieces of `count` units from unit `n` that lie in one row.
  template <class Piece>
  void ForPieces(std::size_t n, std::size_t count, Piece piece) const {
    Position at = PositionOf(n);
    while (count > 0) {
      const std::size_t run = std::min(count, width - at.column);
      piece(Address(at), run);
      Advance(at, run);
      count -= run;
    }
  }

  // The same for a copy from unit `from` to unit `to`: each piece lies in one row on both sides.
  template <class Piece>
  void ForPiecePairs(std::size_t to, std::size_t from, std::size_t count, Piece piece) const {
    Position target = PositionOf(to);
    Position source = PositionOf(from);
    while (count > 0) {
      const std::size_t run = std::min({count, width - target.column, width - source.column});
      piece(Address(target), Address(source), run);
      Advance(target, run);
      Advance(source, run);
      count -= run;
    }
  }
};

// One row as long as any output can be.
Layout Consecutive(std::uint8_t* base, std::size_t unit) {
  return {base, std::numeric_limits<std::size_t>::max(), 0, unit};
}

Layout BottomUp(std::uint8_t* bits, std::size_t width, std::size_t height, std::size_t pitch, std::size_t unit) {
  const auto signed_pitch = static_cast<std::ptrdiff_t>(pitch);
  return {bits + static_cast<std::ptrdiff_t>(height - 1) * signed_pitch, width, -signed_pitch, unit};
}

// Copies `count` whole units of `unit_bytes` within one row, `offset` units back. A source that
// overlaps the target repeats the `offset` units before it: each step copies all that is
// already written, doubling the pattern.
void CopyUnitsInRow(std::uint8_t* to, const std::uint8_t* from, std::size_t count, std::size_t unit_bytes) {
  std::size_t bytes = count * unit_bytes;
  while (bytes > 0) {
    const std::size_t step = std::min(bytes, static_cast<std::size_t>(to - from));
    std::memcpy(to, from, step);
    to += step;
    bytes -= step;
  }
}

// Units whose copy moves all their bytes.
template <std::size_t kUnitBytes>
struct WholeUnitCopy {
  static void CopyPiece(std::uint8_t* to, const std::uint8_t* from, std::size_t count, std::size_t unit) {
    if (to > from) {
      CopyUnitsInRow(to, from, count, kUnitBytes == 0 ? unit : kUnitBytes);
    } else {
      // A source after the target (an earlier row of a bottom-up bitmap): copying forward
      // reads each byte before it is written.
      std::memmove(to, from, count * (kUnitBytes == 0 ? unit : kUnitBytes));
    }
  }
};

struct ByteUnits : WholeUnitCopy<1> {
  Layout layout;
  explicit ByteUnits(Layout l) : layout(l) {}
  void PutPiece(std::uint8_t* to, std::size_t count, const std::uint8_t* values, std::size_t step) const {
    if (step == 0) {
      std::memset(to, *values, count);
    } else {
      std::memcpy(to, values, count);
    }
  }
};

struct IndexedUnits : WholeUnitCopy<4> {
  Layout layout;
  const std::uint8_t* palette;
  std::uint8_t alpha;
  IndexedUnits(Layout l, const std::uint8_t* p, std::uint8_t a) : layout(l), palette(p), alpha(a) {}
  void PutPiece(std::uint8_t* to, std::size_t count, const std::uint8_t* indices, std::size_t step) const {
    for (std::size_t i = 0; i < count; ++i, to += 4, indices += step) {
      std::memcpy(to, palette + 4 * static_cast<std::size_t>(*indices), 3);
      to[3] = alpha;
    }
  }
};

struct AlphaUnits {
  Layout layout;
  explicit AlphaUnits(Layout l) : layout(l) {}
  void PutPiece(std::uint8_t* to, std::size_t count, const std::uint8_t* values, std::size_t step) const {
    for (std::size_t i = 0; i < count; ++i, to += 4, values += step) to[3] = *values;
  }
  // Only the fourth byte moves, so the copy goes unit by unit, repeating what it has just written.
  static void CopyPiece(std::uint8_t* to, const std::uint8_t* from, std::size_t count, std::size_t) {
    for (std::size_t i = 0; i < count; ++i) to[4 * i + 3] = from[4 * i + 3];
  }
};

// Colour pixels of `layout.unit` bytes (3 or 4); a fourth byte is 0 when written and copied along.
struct ColourUnits : WholeUnitCopy<0> {
  Layout layout;
  explicit ColourUnits(Layout l) : layout(l) {}
  void PutPiece(std::uint8_t* to, std::size_t count, const std::uint8_t* bgr, std::size_t step) const {
    if (layout.unit == 4) {
      for (std::size_t i = 0; i < count; ++i, to += 4, bgr += step) {
        const std::uint8_t pixel[4] = {bgr[0], bgr[1], bgr[2], 0};
        std::memcpy(to, pixel, 4);
      }
    } else {
      for (std::size_t i = 0; i < count; ++i, to += 3, bgr += step) std::memcpy(to, bgr, 3);
    }
  }
};

struct GreyUnits : WholeUnitCopy<1> {
  Layout layout;
  explicit GreyUnits(Layout l) : layout(l) {}
  void PutPiece(std::uint8_t* to, std::size_t count, const std::uint8_t* bgr, std::size_t step) const {
    for (std::size_t i = 0; i < count; ++i, bgr += step) {
      to[i] = static_cast<std::uint8_t>((77 * bgr[2] + 150 * bgr[1] + 29 * bgr[0]) / 256);
    }
  }
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

// Copies `length` units from `offset` units back, as if one at a time, so that a copy may repeat
// what it has just written. False when the source starts before the output or the copy overflows
// it.
template <class Units>
bool CopyBack(const Units& units, std::size_t& n, std::size_t capacity, std::size_t offset, std::size_t length) {
  if (offset == 0 || offset > n || capacity - n < length) return false;
  const std::size_t unit = units.layout.unit;
  units.layout.ForPiecePairs(n, n - offset, length, [&](std::uint8_t* to, const std::uint8_t* from, std::size_t count) {
    Units::CopyPiece(to, from, count, unit);
  });
  n += length;
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
  const std::size_t step = literal ? unit_bytes : 0;
  units.layout.ForPieces(n, length, [&](std::uint8_t* to, std::size_t count) {
    units.PutPiece(to, count, stored, step);
    stored += count * step;
  });
  n += length;
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
  return CopyBack(units, n, capacity, back, 1);
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
