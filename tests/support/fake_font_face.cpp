#include "support/fake_font_face.h"

#include "platform/encoding/sjis.h"

plat::TextExtent FakeFontFace::Extent(std::string_view sjis) {
  int characters = 0;
  for (std::size_t i = 0; i < sjis.size(); i += plat::SjisCharLengthAt(sjis, i)) ++characters;
  return {characters * kWidth, Metrics().height};
}

std::optional<plat::GlyphBitmap> FakeFontFace::Glyph(std::uint16_t code, plat::GlyphBitmapFormat format,
                                                     std::int32_t scale) {
  if (refuse_grey_ && format != plat::GlyphBitmapFormat::kMono) return std::nullopt;
  plat::GlyphBitmap glyph;
  glyph.origin_x = kOriginX * scale;
  glyph.origin_y = kOriginY * scale;
  if (code == ' ') return glyph;
  glyph.width = kBoxWidth * scale;
  glyph.height = kBoxHeight * scale;
  const bool mono = format == plat::GlyphBitmapFormat::kMono;
  glyph.pitch = mono ? ((glyph.width + 7) / 8 + 3) & ~3 : (glyph.width + 3) & ~3;
  glyph.bits.assign(static_cast<std::size_t>(glyph.pitch) * glyph.height, 0);
  const std::uint8_t full = format == plat::GlyphBitmapFormat::kGray17 ? 16 : 64;
  for (int y = 0; y < glyph.height; ++y) {
    for (int x = 0; x < glyph.width; ++x) {
      std::uint8_t& byte = glyph.bits[static_cast<std::size_t>(y) * glyph.pitch + (mono ? x / 8 : x)];
      byte = mono ? static_cast<std::uint8_t>(byte | 0x80 >> (x % 8)) : full;
    }
  }
  return glyph;
}

plat::FontFaceFactory FakeFontFace::Factory(std::shared_ptr<FakeFontFaceLog> log, bool refuse_grey) {
  return [log, refuse_grey](const plat::FontRequest& request) -> std::unique_ptr<plat::IFontFace> {
    ++log->opened;
    log->last_request = request;
    return std::make_unique<FakeFontFace>(refuse_grey);
  };
}
