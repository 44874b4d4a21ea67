// What every font object shares: the logical font the face is made from and the colours and
// decoration that the string drawers read. `CFont` draws through its own glyphs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/lifetime/handle_table.h"

#include "platform/system/geometry.h"

class CImage;

// The settings a face is made from, as the games give them.
struct LogicalFont {
  int32_t height = -16;  // always minus the absolute size
  int32_t width = 0;
  int32_t escapement = 0;  // text angle in tenths of a degree
  int32_t orientation = 0;
  int32_t weight = 400;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strike_out = 0;
  uint8_t char_set = 134;
  uint8_t out_precision = 0;
  uint8_t clip_precision = 0;
  uint8_t quality = 3;
  uint8_t pitch_and_family = 0;
  std::string face_name;  // Shift-JIS
};

// The height a size gives: minus its absolute value. The smallest integer, whose absolute value
// has no 32-bit form, gives -INT32_MAX.
// The largest character height a font is made at, from a script or a layout file: a face past
// it is refused (and named in the program log) as one that cannot be opened.
inline constexpr int32_t kLargestFontSize = 512;
bool FontHeightWithinBound(int32_t height);
inline int32_t HeightOfSize(int32_t size) { return size == INT32_MIN ? -INT32_MAX : -(size < 0 ? -size : size); }

struct TextSize {
  int32_t cx = 0;
  int32_t cy = 0;
};

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

// The bytes of a 0x00RRGGBB value.
inline Rgb RgbOf(uint32_t colour) {
  return Rgb{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)};
}

class CFontBase;

// A font that an object keeps for later drawing without owning it: it reads null once the font
// is destroyed, so that the object draws with the default font instead.
class FontRef {
 public:
  FontRef() = default;
  ~FontRef() { Reset(nullptr); }
  FontRef(const FontRef&) = delete;
  FontRef& operator=(const FontRef&) = delete;

  void Reset(CFontBase* font);
  CFontBase* Get() const { return font_; }

 private:
  friend class CFontBase;
  CFontBase* font_ = nullptr;
};

// A widget's font, read back as the kind it was given: null once the font is destroyed, which the
// widget treats as having no font.
template <class Font>
class HeldFont {
 public:
  HeldFont& operator=(Font* font) {
    reference_.Reset(font);
    return *this;
  }
  operator Font*() const { return static_cast<Font*>(reference_.Get()); }
  Font* operator->() const { return *this; }

 private:
  FontRef reference_;
};

class CFontBase : public ScriptVisible<CFontBase> {
 public:
  CFontBase() = default;
  CFontBase(const CFontBase&) = delete;
  CFontBase& operator=(const CFontBase&) = delete;
  // A font that was the default font leaves no default behind, and the references that keep
  // it read null, so that no one draws with it.
  virtual ~CFontBase();

  virtual bool IsGlyphFont() const = 0;
  // True once a face was made from the logical font.
  virtual bool IsReady() const = 0;
  virtual void ReleaseGdiObjects() = 0;
  virtual uint32_t SetFont(int32_t size, uint8_t bold, uint8_t italic, const char* face_name) = 0;
  virtual uint32_t CreateGdiFont() = 0;
  virtual uint32_t SetFaceNameIfChanged(const char* face_name) = 0;
  virtual uint32_t SetSize(int32_t size) = 0;
  virtual uint32_t SetBoldItalic(uint8_t bold, uint8_t italic) = 0;
  virtual uint32_t SetAngle(int32_t angle) = 0;
  virtual void SetGlyphFormat(uint8_t format) = 0;
  // Returns the number of lines, 0 when nothing could be measured (outputs then untouched).
  virtual int32_t MeasureText(const char* text, TextSize* size, int32_t* offset_x, int32_t* offset_y,
                              uint8_t with_decoration, int32_t* char_count) = 0;
  // Both: 0, or 1 without a face or an image with pixels (DrawTextWithAlpha: of 32 bits).
  // DrawText blends the text colour and keeps the alpha; DrawTextWithAlpha writes the colours
  // and the coverage as alpha. `bounds` gets the rectangle touched, `end` where the pen stopped.
  virtual uint32_t DrawText(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                            plat::Point* end) = 0;
  virtual uint32_t DrawTextWithAlpha(CImage* image, int32_t x, int32_t y, const char* text, plat::Rect* bounds,
                                     plat::Point* end) = 0;

  // How far the pen moves for a new line and where the shadow lies, both turned by the angle.
  // The drawers keep the shadow unturned in vertical writing (`upright_vertical_shadow`).
  struct TextSteps {
    plat::Point line;
    plat::Point shadow;
  };
  TextSteps TurnedSteps(bool upright_vertical_shadow) const;

  // The box (x, y, width, height) turned by the text angle about the origin.
  plat::Rect GetRotatedBounds(int32_t x, int32_t y, int32_t width, int32_t height) const;

  uint32_t SetUnderlineStrikeOut(uint8_t underline, uint8_t strike_out) {
    logical_font_.underline = underline;
    logical_font_.strike_out = strike_out;
    return CreateGdiFont();
  }
  uint32_t SetQuality(uint8_t quality) {
    logical_font_.quality = quality;
    return CreateGdiFont();
  }

  const LogicalFont& logical_font() const { return logical_font_; }
  uint8_t glyph_format() const { return glyph_format_; }

  Rgb text_color{255, 255, 255};
  uint8_t decoration = 0;  // 0 none, 1 shadow, 2 outline
  Rgb decoration_color{0, 0, 0};
  int32_t shadow_x = 0;
  int32_t shadow_y = 0;
  int32_t line_spacing = 0;
  Rgb background_color{0, 255, 0};

 protected:
  // Ends a measurement of the bare text: adds the italic slant and the room the shadow or an
  // outline of `outline` pixels takes, and gives the text's offset inside that room.
  void FinishMeasurement(TextSize measured, uint8_t with_decoration, int32_t outline, TextSize* size,
                         int32_t* offset_x, int32_t* offset_y) const;

  LogicalFont logical_font_;
  uint8_t glyph_format_ = 2;  // 0 one bit, 1 grey in 17 levels, 2 grey in 65 levels

 private:
  friend class FontRef;
  // The references that keep this font; the destructor clears them.
  std::vector<FontRef*> references_;
};

// The font used when a caller gives none; null while none is chosen. Not owned.
extern CFontBase* g_DefaultFont;
