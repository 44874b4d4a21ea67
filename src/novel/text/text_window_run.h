// The parts of the message window's two-pass printing that draw nothing: reading the stored
// message (characters, commands carried in the text, skipped full-width spaces), the run of
// recorded character boxes and its placement inside the window, the position of a window that
// follows a point, the typewriter's reveal position, and the speaker and voice names.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/image_operations/color_ramp.h"
#include "platform/system/geometry.h"

enum class TextTokenKind { kEnd, kCharacter, kCommand };

struct TextToken {
  TextTokenKind kind = TextTokenKind::kEnd;
  std::size_t offset = 0;  // where the token starts (after skipped full-width spaces)
  std::size_t length = 0;  // its bytes; a command's whole record from its mark
};

// The token at `offset`. With `skip_fullwidth_spaces` every 0x81 0x40 pair before it is passed
// over. A zero byte followed by '[' starts a command record; any other zero byte, the end of the
// bytes, or a record whose length field is short or runs past the bytes ends the text.
TextToken ReadTextToken(std::span<const std::uint8_t> text, std::size_t offset, bool skip_fullwidth_spaces);

// The character at `offset` as a zero-ended string, which the layout reads without passing the
// end of the text: at most the longest layout character ('@' with six digits).
struct LayoutCharacter {
  static constexpr std::size_t kLongest = 7;
  std::array<char, kLongest + 1> bytes{};
  const char* c_str() const { return bytes.data(); }
};
LayoutCharacter CharacterAt(std::span<const std::uint8_t> text, std::size_t offset);

// The bytes of a command record after its mark (from the length field on), as the frame's
// decoder takes them.
std::span<const std::uint8_t> CommandRecordBody(std::span<const std::uint8_t> text, const TextToken& token);

struct TextRunRecord {
  plat::Rect box;
  bool line_start = false;
};

// Extra room around the run for the font's shadow or edge.
struct TextRunMargins {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Style 1 (shadow) widens the side each offset points to; style 2 (edge) adds the edge width on
// every side; vertical writing adds one pixel on every side.
TextRunMargins RunMarginsForStyle(std::uint8_t style, int32_t shadow_x, int32_t shadow_y, int32_t edge_width,
                                  bool vertical);

// The character boxes recorded by the first pass, in reading order.
class CTextRun {
 public:
  void Begin(int32_t x, int32_t y);
  void Add(const plat::Rect& box, bool line_start);
  void End() { open_ = false; }
  bool open() const { return open_; }
  int32_t start_x() const { return start_x_; }
  int32_t start_y() const { return start_y_; }
  const std::vector<TextRunRecord>& records() const { return records_; }

  // The union of the boxes; an empty rectangle at the start without any.
  plat::Rect Box() const;
  // Makes every box relative to the run's box, moved by the margins; returns the placed size
  // (the box plus the margins).
  plat::Rect Place(const TextRunMargins& margins);
  // The sum of the boxes' extents along the reading direction.
  int64_t Extent(bool vertical) const;

  // The parts of the boxes (offsets along the reading direction inside each box) that lie
  // between `from` and `to` of the run's extent, the boxes taken one after another.
  struct Slice {
    std::size_t record = 0;
    int64_t start = 0;  // where the box begins along the run
    int32_t from = 0;
    int32_t to = 0;
  };
  std::vector<Slice> Slices(int64_t from, int64_t to, bool vertical) const;

 private:
  std::vector<TextRunRecord> records_;
  int32_t start_x_ = 0;
  int32_t start_y_ = 0;
  bool open_ = false;
};

// Where a window of the given size goes to follow a point: align 0 centres it on the point, 1
// puts its left edge there, 2 its right edge. Inside the bounds unless their left is -1; when the
// window is wider than the bounds its left edge keeps to the left bound.
struct TextWindowFollow {
  std::uint8_t align = 0;
  plat::Rect bounds{-1, 0, 0, 0};
};
plat::Point FollowingWindowOrigin(int32_t point_x, int32_t point_y, int32_t width, int32_t height,
                                  const TextWindowFollow& follow);

// How far the reveal has run along the run: elapsed / duration of the extent, truncated; the
// whole extent once the duration has passed (or is 0).
int64_t TypingRevealPosition(uint32_t elapsed, uint32_t duration, int64_t extent);

// The weight of a pixel `behind` pixels behind the reveal edge (0: the last one reached) on a
// ramp running from 255 down to 0 over the soft edge's width; 255 beyond it.
std::uint8_t SoftEdgeWeight(const CColorRamp& ramp, int64_t behind);

// The leading bytes of a Shift-JIS string that fit into `max_bytes`, never half a double-byte
// character; empty for null.
std::string CutAtCharacter(const char* text, std::size_t max_bytes);
