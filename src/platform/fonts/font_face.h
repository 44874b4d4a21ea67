// Font faces for the engine's text: a face is looked up by the face name a game asks for and
// gives metrics, text extents and glyph bitmaps in the layouts the glyph code expects (one bit
// per pixel, or grey in 17 or 65 levels, rows padded to 4 bytes).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class GlyphBitmapFormat : std::uint8_t { kMono, kGray17, kGray65 };

struct FontRequest {
  std::string face_name;   // Shift-JIS; "@" in front asks for the vertical variant
  std::int32_t height = -16;  // negative: character height; positive: cell height
  std::int32_t weight = 400;
  bool italic = false;
  std::int32_t angle = 0;  // tenths of a degree, counter-clockwise
};

struct FontMetrics {
  std::int32_t ascent = 0;
  std::int32_t descent = 0;
  std::int32_t height = 0;
  // The top of the underline below the baseline and of the strike-out line above it.
  std::int32_t underline_below = 1;
  std::int32_t underline_thickness = 1;
  std::int32_t strike_out_above = 0;
  std::int32_t strike_out_thickness = 1;
};

struct TextExtent {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
};

// One glyph bitmap: the ink box, its top-left from the pen position (y upwards) and the bits.
// An inkless glyph has an empty box and no bits.
struct GlyphBitmap {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t origin_x = 0;
  std::int32_t origin_y = 0;
  std::int32_t pitch = 0;
  std::vector<std::uint8_t> bits;
};

class IFontFace {
 public:
  virtual ~IFontFace() = default;
  virtual FontMetrics Metrics() const = 0;
  // Width of the unturned characters and the cell height.
  virtual TextExtent Extent(std::string_view sjis) = 0;
  // The glyph of a Shift-JIS code, drawn at `scale` times its size (1, 4 or 8); nothing when
  // the face cannot give that format.
  virtual std::optional<GlyphBitmap> Glyph(std::uint16_t code, GlyphBitmapFormat format,
                                           std::int32_t scale) = 0;
};

using FontFaceFactory = std::function<std::unique_ptr<IFontFace>(const FontRequest&)>;

// The installed face for a request, or null when no face can be opened.
std::unique_ptr<IFontFace> OpenFontFace(const FontRequest& request);

// A face as the installed-font list reports it.
struct InstalledFace {
  std::string face_name;  // Shift-JIS; "@" in front names the vertical variant
  std::uint8_t char_set = 128;  // the Japanese character set
  bool fixed_pitch = false;
  bool scalable = true;  // an outline face, as TrueType faces are
};

// Every face that covers Japanese, named as the engine names it (the Windows name that the alias
// table maps to its family, else the family itself), each followed by its vertical variant;
// in the order of the names.
std::vector<InstalledFace> ListInstalledFaces();

// The file of the installed face a name resolves to; empty when there is none.
std::string FontFilePath(std::string_view sjis_face_name);

// Whether a face of the family the name resolves to (through the alias table; a leading "@"
// names the vertical variant of the same face) is installed. Unlike FontFilePath, which always
// finds the nearest face, this answers no for a name that only a fallback would serve.
bool IsFontFaceInstalled(std::string_view sjis_face_name);

// The fontconfig pattern a face name resolves to (for diagnostics and tests).
std::string FontPatternFor(std::string_view sjis_face_name);

}  // namespace plat
