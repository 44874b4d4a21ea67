// A font face with fixed metrics: every character is 20 pixels wide (one-byte and two-byte
// alike) and its glyph a fully inked box of 8 × 10 pixels whose top-left lies 1 right of and
// 12 above the pen, scaled with the requested scale. It can refuse the grey formats.
#pragma once

#include <memory>

#include "platform/fonts/font_face.h"

struct FakeFontFaceLog {
  int opened = 0;
  plat::FontRequest last_request;
};

class FakeFontFace final : public plat::IFontFace {
 public:
  static constexpr int kWidth = 20;
  static constexpr int kBoxWidth = 8;
  static constexpr int kBoxHeight = 10;
  static constexpr int kOriginX = 1;
  static constexpr int kOriginY = 12;
  static constexpr int kAscent = 14;

  explicit FakeFontFace(bool refuse_grey) : refuse_grey_(refuse_grey) {}

  plat::FontMetrics Metrics() const override { return {kAscent, 2, kAscent + 2}; }
  plat::TextExtent Extent(std::string_view sjis) override;
  std::optional<plat::GlyphBitmap> Glyph(std::uint16_t code, plat::GlyphBitmapFormat format,
                                         std::int32_t scale) override;

  // A factory of these faces that counts what it opened.
  static plat::FontFaceFactory Factory(std::shared_ptr<FakeFontFaceLog> log, bool refuse_grey = false);

 private:
  bool refuse_grey_;
};
