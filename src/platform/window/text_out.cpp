#include "platform/window/text_out.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <numbers>
#include <optional>

#include "platform/encoding/sjis.h"

namespace plat {
namespace {

// Places come from the scripts' words: they are added wide and held to a signed word, so that a
// text far outside the picture is clipped away instead of overflowing.
int32_t Clamped(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}
int32_t ClampedRound(double value) {
  return std::isfinite(value) ? static_cast<int32_t>(std::clamp(std::round(value), double{INT32_MIN}, double{INT32_MAX}))
                              : 0;
}

// The directions of a turned line in window pixels: along the text and down its cell.
struct LineAxes {
  double along_x;
  double along_y;
  double down_x;
  double down_y;
};

LineAxes AxesFor(int32_t angle) {
  const double radians = angle / 10.0 * std::numbers::pi / 180.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  return LineAxes{c, -s, s, c};
}

void Unite(Rect& total, const Rect& part) {
  if (RectIsEmpty(part)) return;
  if (RectIsEmpty(total)) {
    total = part;
    return;
  }
  total = Rect{std::min(total.left, part.left), std::min(total.top, part.top), std::max(total.right, part.right),
               std::max(total.bottom, part.bottom)};
}

// Fills a width × height box turned about its corner (x, y); `written` grows by what it covers.
void FillTurnedBox(const PixelView& view, int32_t x, int32_t y, int32_t width, int32_t height, const LineAxes& axes,
                   uint32_t raw, Rect& written) {
  const double corners_x[] = {0.0, axes.along_x * width, axes.down_x * height, axes.along_x * width + axes.down_x * height};
  const double corners_y[] = {0.0, axes.along_y * width, axes.down_y * height, axes.along_y * width + axes.down_y * height};
  Rect box{ClampedRound(x + std::floor(*std::min_element(std::begin(corners_x), std::end(corners_x)))),
           ClampedRound(y + std::floor(*std::min_element(std::begin(corners_y), std::end(corners_y)))),
           ClampedRound(x + std::ceil(*std::max_element(std::begin(corners_x), std::end(corners_x)))),
           ClampedRound(y + std::ceil(*std::max_element(std::begin(corners_y), std::end(corners_y))))};
  if (!ClampRect(box, view.Bounds())) return;
  const uint32_t bytes = BytesPerPixel(view.format);
  for (int32_t py = box.top; py < box.bottom; ++py) {
    for (int32_t px = box.left; px < box.right; ++px) {
      const double dx = px + 0.5 - x;
      const double dy = py + 0.5 - y;
      const double along = dx * axes.along_x + dy * axes.along_y;
      const double down = dx * axes.down_x + dy * axes.down_y;
      if (along < 0.0 || along >= width || down < 0.0 || down >= height) continue;
      WriteRawPixel(view.At(px, py), bytes, raw);
    }
  }
  Unite(written, box);
}

// Writes the inked pixels of a one-bit glyph whose top-left lies at (left, top).
Rect PutGlyph(const PixelView& view, const GlyphBitmap& glyph, int32_t left, int32_t top, uint32_t raw) {
  Rect box{left, top, Clamped(int64_t{left} + glyph.width), Clamped(int64_t{top} + glyph.height)};
  if (glyph.bits.empty() || !ClampRect(box, view.Bounds())) return Rect{};
  const uint32_t bytes = BytesPerPixel(view.format);
  for (int32_t py = box.top; py < box.bottom; ++py) {
    const uint8_t* row = glyph.bits.data() + static_cast<std::size_t>(py - top) * glyph.pitch;
    for (int32_t px = box.left; px < box.right; ++px) {
      const int32_t gx = px - left;
      if (((row[gx >> 3] >> (7 - (gx & 7))) & 1) != 0) WriteRawPixel(view.At(px, py), bytes, raw);
    }
  }
  return box;
}

}  // namespace

bool TextOut(DeviceContext& dc, IFontFace& face, int32_t x, int32_t y, std::string_view sjis,
             const TextOutOptions& options) {
  const PixelView& view = dc.View();
  if (view.Empty()) return false;
  const LineAxes axes = AxesFor(options.angle);
  Rect written;
  const TextExtent extent = face.Extent(sjis);
  if (options.opaque) FillTurnedBox(view, x, y, extent.cx, extent.cy, axes, RawColour(view, options.background), written);
  const uint32_t ink = RawColour(view, options.text_colour);
  const FontMetrics metrics = face.Metrics();
  const double ascent = metrics.ascent;
  const double origin_x = x + axes.down_x * ascent;
  const double origin_y = y + axes.down_y * ascent;
  double pen = 0.0;
  for (std::size_t i = 0; i < sjis.size();) {
    const std::size_t length = SjisCharLengthAt(sjis, i);
    const std::string_view character = sjis.substr(i, length);
    i += length;
    std::uint16_t code = static_cast<unsigned char>(character[0]);
    if (length == 2) code = static_cast<std::uint16_t>(code << 8 | static_cast<unsigned char>(character[1]));
    const int32_t pen_x = ClampedRound(origin_x + axes.along_x * pen);
    const int32_t pen_y = ClampedRound(origin_y + axes.along_y * pen);
    if (const std::optional<GlyphBitmap> glyph = face.Glyph(code, GlyphBitmapFormat::kMono, 1)) {
      Unite(written, PutGlyph(view, *glyph, Clamped(int64_t{pen_x} + glyph->origin_x),
                              Clamped(int64_t{pen_y} - glyph->origin_y), ink));
    }
    pen += face.Extent(character).cx;
  }
  // A line's band starts `depth` pixels down the cell: its corner moves that far along "down".
  const auto line_band = [&](int32_t depth, int32_t thickness) {
    FillTurnedBox(view, ClampedRound(x + axes.down_x * depth), ClampedRound(y + axes.down_y * depth), extent.cx,
                  thickness, axes, ink, written);
  };
  if (options.underline) line_band(metrics.ascent + metrics.underline_below, metrics.underline_thickness);
  if (options.strike_out) line_band(metrics.ascent - metrics.strike_out_above, metrics.strike_out_thickness);
  if (!RectIsEmpty(written)) dc.NoteWritten(written);
  return true;
}

bool FillRect(DeviceContext& dc, const Rect& rect, uint32_t colour) {
  const PixelView& view = dc.View();
  if (view.Empty()) return false;
  Rect box = rect;
  if (!ClampRect(box, view.Bounds())) return true;
  FillPixels(view, box, RawColour(view, colour));
  dc.NoteWritten(box);
  return true;
}

}  // namespace plat
