#include "ui/fonts/font.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "base/numbers/trig_tables.h"
#include "ui/fonts/edge_disc.h"
#include "ui/fonts/text_markup.h"

uint8_t g_GdiBoldOnly = 0;

namespace {

constexpr int32_t kBoldWeight = 700;
constexpr int32_t kNormalWeight = 400;

int32_t WidenBold(int32_t cx) { return cx + cx / 50 + 1; }

// Turns a length along the text direction by the angle (tenths of a degree).
void TurnAdvance(CGlyph& glyph, int32_t angle, int32_t length) {
  if (angle == 0 || g_TrigTable == nullptr) {
    glyph.advance_x = length;
    glyph.advance_y = 0;
  } else if (angle == 2700) {
    glyph.advance_x = 0;
    glyph.advance_y = length;
  } else {
    const auto& cosine = g_TrigTable->cosine;
    const int32_t k = angle * 512 / 3600;
    glyph.advance_x = static_cast<int32_t>((static_cast<int64_t>(cosine[k & 511]) * length) >> 16);
    glyph.advance_y = static_cast<int32_t>(-(static_cast<int64_t>(cosine[(k - 128) & 511]) * length) >> 16);
  }
}

// One byte per pixel from rows of bits, most significant bit leftmost: 1 for ink.
std::vector<uint8_t> UnpackBits(const plat::GlyphBitmap& bitmap) {
  std::vector<uint8_t> bytes(static_cast<std::size_t>(bitmap.width) * bitmap.height);
  for (int32_t y = 0; y < bitmap.height; ++y) {
    const uint8_t* row = bitmap.bits.data() + static_cast<std::size_t>(y) * bitmap.pitch;
    for (int32_t x = 0; x < bitmap.width; ++x) {
      bytes[static_cast<std::size_t>(y) * bitmap.width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
  }
  return bytes;
}

std::vector<uint8_t> GreyRows(const plat::GlyphBitmap& bitmap) {
  std::vector<uint8_t> bytes(static_cast<std::size_t>(bitmap.width) * bitmap.height);
  for (int32_t y = 0; y < bitmap.height; ++y) {
    std::copy_n(bitmap.bits.data() + static_cast<std::size_t>(y) * bitmap.pitch, bitmap.width,
                bytes.data() + static_cast<std::size_t>(y) * bitmap.width);
  }
  return bytes;
}

// Widens every row by t columns, each column the darkest of the t + 1 columns ending there.
std::vector<uint8_t> Thicken(const std::vector<uint8_t>& rows, int32_t width, int32_t height, int32_t t) {
  const int32_t new_width = width + t;
  std::vector<uint8_t> out(static_cast<std::size_t>(new_width) * height, 0);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = rows.data() + static_cast<std::size_t>(y) * width;
    uint8_t* row = out.data() + static_cast<std::size_t>(y) * new_width;
    for (int32_t i = 0; i < new_width; ++i) {
      const int32_t first = std::max(0, i - t);
      const int32_t last = std::min(width - 1, i);
      uint8_t value = 0;
      for (int32_t j = first; j <= last; ++j) value = std::max(value, in[j]);
      row[i] = value;
    }
  }
  return out;
}

// Counts the ink of each whole (1 << shift)-square block of a one-byte-per-pixel 0/1 bitmap.
std::vector<uint8_t> Reduce(const std::vector<uint8_t>& rows, int32_t width, int32_t height, int32_t shift,
                            int32_t& new_width, int32_t& new_height) {
  new_width = width >> shift;
  new_height = height >> shift;
  const int32_t block = 1 << shift;
  std::vector<uint8_t> out(static_cast<std::size_t>(new_width) * new_height, 0);
  for (int32_t y = 0; y < new_height * block; ++y) {
    for (int32_t x = 0; x < new_width * block; ++x) {
      out[static_cast<std::size_t>(y >> shift) * new_width + (x >> shift)] +=
          rows[static_cast<std::size_t>(y) * width + x];
    }
  }
  return out;
}

void StoreRows(CGlyph& glyph, const std::vector<uint8_t>& rows, int32_t width, int32_t height, int32_t factor) {
  glyph.width = width;
  glyph.height = height;
  glyph.pitch = (width + 3) & ~3;
  glyph.AllocBits(static_cast<std::size_t>(glyph.pitch) * height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      glyph.bits[static_cast<std::size_t>(y) * glyph.pitch + x] =
          static_cast<uint8_t>(std::min(rows[static_cast<std::size_t>(y) * width + x] * factor, 255));
    }
  }
}

}  // namespace

CFont::CFont(plat::FontFaceFactory open_face)
    : open_face_(std::move(open_face)), glyph_cache_(g_GlyphCacheLimit & 0xFFFF) {}

CFont::~CFont() { ReleaseGdiObjects(); }

void CFont::ReleaseGdiObjects() {
  twin_face_.reset();
  face_.reset();
}

void CFont::ClearCacheIfOn() {
  if (glyph_cache_.limit() != 0) glyph_cache_.Clear();
}

uint32_t CFont::SetFont(int32_t size, uint8_t bold, uint8_t italic, const char* face_name) {
  if (face_name != nullptr) {
    ClearCacheIfOn();
    logical_font_.face_name = face_name;
  }
  StoreHeight(HeightOfSize(size));
  logical_font_.italic = italic;
  logical_font_.weight = bold != 0 ? kBoldWeight : kNormalWeight;
  return CreateGdiFont();
}

plat::FontRequest CFont::RequestWithWeight(int32_t weight) const {
  plat::FontRequest request;
  request.face_name = logical_font_.face_name;
  request.height = logical_font_.height;
  request.weight = weight;
  request.italic = logical_font_.italic != 0;
  request.angle = logical_font_.escapement;
  return request;
}

uint32_t CFont::CreateGdiFont() {
  ++creation_count_;
  if (!FontHeightWithinBound(logical_font_.height)) {
    ReleaseGdiObjects();
    return 2;
  }
  if (logical_font_.weight == kBoldWeight) {
    twin_face_ = open_face_(RequestWithWeight(kNormalWeight));
    if (!twin_face_) {
      ReleaseGdiObjects();
      return 1;
    }
  } else {
    twin_face_.reset();
  }
  face_ = open_face_(RequestWithWeight(logical_font_.weight));
  if (!face_) {
    ReleaseGdiObjects();
    return 2;
  }
  const int32_t ascent = face_->Metrics().ascent;
  const int32_t k = logical_font_.escapement * 512 / 3600;
  if (k == 0 || g_TrigTable == nullptr) {
    ascent_offset_x_ = 0;
    ascent_offset_y_ = ascent;
  } else {
    const auto& cosine = g_TrigTable->cosine;
    ascent_offset_x_ = static_cast<int32_t>(-(static_cast<int64_t>(cosine[(k + 128) & 511]) * ascent) >> 16);
    ascent_offset_y_ = static_cast<int32_t>((static_cast<int64_t>(cosine[k & 511]) * ascent) >> 16);
  }
  return 0;
}

uint32_t CFont::SetFaceNameIfChanged(const char* face_name) {
  if (face_name == nullptr) return 3;
  if (logical_font_.face_name == face_name) return 0;
  ClearCacheIfOn();
  logical_font_.face_name = face_name;
  return CreateGdiFont();
}

uint32_t CFont::SetSize(int32_t size) {
  const int32_t height = HeightOfSize(size);
  if (height == logical_font_.height) return 0;
  StoreHeight(height);
  return CreateGdiFont();
}

// The ramp follows the character height: it is built again for a new one.
void CFont::StoreHeight(int32_t height) {
  if (height == logical_font_.height) return;
  logical_font_.height = height;
  if (gradient_on_ != 0) SetGradient(1, gradient_top_, gradient_bottom_, 1);
}

uint32_t CFont::SetGradient(uint8_t on, uint32_t top_colour, uint32_t bottom_colour, uint8_t rebuild) {
  if (on != 0) {
    gradient_top_ = top_colour;
    gradient_bottom_ = bottom_colour;
    const auto count = static_cast<uint32_t>(std::abs(logical_font_.height));
    const bool built = gradient_ramp_.GetCount() == count && gradient_ramp_.GetColourA() == top_colour &&
                       gradient_ramp_.GetColourB() == bottom_colour;
    if (rebuild != 0 && !built) {
      if (const uint32_t status = gradient_ramp_.Build(count, top_colour, bottom_colour, 32); status != 0) {
        gradient_on_ = 0;
        return status;
      }
    }
  }
  gradient_on_ = on;
  return 0;
}

GradientMode CFont::gradient_mode() const {
  if (gradient_on_ == 0) return GradientMode::kNone;
  if (logical_font_.escapement == 0) return GradientMode::kRows;
  if (logical_font_.escapement == 2700) return GradientMode::kColumns;
  return GradientMode::kNone;
}

GradientSpan CFont::GradientSpanFor(const CGlyph& glyph) const {
  GradientSpan span;
  span.mode = gradient_mode();
  const uint32_t count = gradient_ramp_.GetCount();
  if (span.mode == GradientMode::kNone || count == 0) return GradientSpan{};
  const bool rows = span.mode == GradientMode::kRows;
  const int64_t first = rows ? std::abs(static_cast<int64_t>(glyph.offset_y))
                             : std::abs(static_cast<int64_t>(logical_font_.height) - glyph.offset_x);
  span.extent = std::min(static_cast<uint32_t>(std::max(rows ? glyph.height : glyph.width, 0)), count);
  span.first = static_cast<uint32_t>(std::min<int64_t>(first, count - span.extent));
  return span;
}

uint32_t CFont::SetBoldItalic(uint8_t bold, uint8_t italic) {
  const int32_t weight = bold != 0 ? kBoldWeight : kNormalWeight;
  if (weight == logical_font_.weight && italic == logical_font_.italic) return 0;
  logical_font_.weight = weight;
  logical_font_.italic = italic;
  return CreateGdiFont();
}

uint32_t CFont::SetAngle(int32_t angle) {
  if (angle == logical_font_.escapement) return 0;
  ClearCacheIfOn();
  logical_font_.escapement = angle;
  logical_font_.orientation = angle;
  if (glyph_set_) glyph_set_->SetAngle(angle);
  return CreateGdiFont();
}

void CFont::SetGlyphFormat(uint8_t format) {
  if (format == glyph_format_) return;
  ClearCacheIfOn();
  glyph_format_ = format;
}

void CFont::SetEdgeParams(int32_t strength, int32_t radius) {
  if (strength == edge_strength_ && radius == edge_radius_) return;
  ClearCacheIfOn();
  edge_strength_ = strength;
  edge_radius_ = radius;
  edge_normaliser_ = EdgeNormaliser(radius);
  if (glyph_set_) glyph_set_->SetEdgeParams(strength, radius, edge_normaliser_);
}

uint32_t CFont::LoadCustomGlyphs(const char* file_name, int32_t count, int32_t cell_width, int32_t cell_height,
                                 uint32_t flags) {
  if (!glyph_set_) {
    glyph_set_ = std::make_shared<CGlyphSet>();
    glyph_set_->SetAngle(logical_font_.orientation);
    glyph_set_->SetEdgeParams(edge_strength_, edge_radius_, edge_normaliser_);
  }
  return glyph_set_->Load(file_name, count, cell_width, cell_height, flags);
}

int32_t CFont::CharacterWidth(uint16_t code, bool bold) {
  std::string bytes;
  if (code >= 256) bytes.push_back(static_cast<char>(code >> 8));
  bytes.push_back(static_cast<char>(code & 0xFF));
  if (bold) return WidenBold((twin_face_ ? twin_face_ : face_)->Extent(bytes).cx);
  return face_->Extent(bytes).cx;
}

int32_t CFont::MeasureText(const char* text, TextSize* size, int32_t* offset_x, int32_t* offset_y,
                           uint8_t with_decoration, int32_t* char_count) {
  if (text == nullptr || !face_) return 0;
  const int32_t abs_height = std::abs(logical_font_.height);
  TextSize measured;
  int32_t lines = 1;
  int32_t characters = 0;
  int32_t line_width = 0;
  for (const char* p = text;;) {
    const TextChar next = NextTextChar(p);
    if (next.kind == TextCharKind::kEnd) break;
    if (next.kind == TextCharKind::kNewLine) {
      measured.cx = std::max(measured.cx, line_width);
      measured.cy += abs_height + line_spacing;
      ++lines;
      line_width = 0;
      continue;
    }
    if (next.kind == TextCharKind::kCustom) {
      line_width += glyph_set_ ? glyph_set_->cell_width() : 0;
    } else {
      line_width += CharacterWidth(static_cast<uint16_t>(next.code), Bold());
    }
    ++characters;
  }
  measured.cx = std::max(measured.cx, line_width);
  measured.cy += abs_height;
  FinishMeasurement(measured, with_decoration, edge_radius_, size, offset_x, offset_y);
  if (char_count != nullptr) *char_count = characters;
  return lines;
}

CGlyph* CFont::GetGlyph(uint32_t code, int32_t size, uint8_t outline, uint8_t bold, uint8_t italic, uint8_t custom) {
  if (custom != 0) {
    return glyph_set_ ? glyph_set_->GetGlyph(static_cast<int32_t>(code), glyph_format_, outline) : nullptr;
  }
  const bool cache_on = glyph_cache_.limit() != 0;
  const uint32_t key = CGlyphCache::Key(code, size, outline != 0, bold != 0, italic != 0);
  const uint32_t hash = CGlyphCache::Hash(code, size, outline != 0, bold != 0, italic != 0);
  if (cache_on) {
    if (CGlyph* cached = glyph_cache_.Lookup(key, hash)) return cached;
  }
  std::unique_ptr<CGlyph> glyph = RenderGlyph(code, size, outline != 0, bold != 0);
  if (!glyph) return nullptr;
  CGlyph* made = glyph.release();
  if (cache_on) glyph_cache_.Insert(key, hash, made);
  return made;
}

std::unique_ptr<CGlyph> CFont::RenderGlyph(uint32_t code, int32_t size, bool outline, bool bold) {
  if (!face_) return nullptr;
  const auto character = static_cast<uint16_t>(code & 0xFFFF);
  const auto format = static_cast<plat::GlyphBitmapFormat>(std::min<uint8_t>(glyph_format_, 2));
  int32_t shift = 0;
  std::optional<plat::GlyphBitmap> bitmap = face_->Glyph(character, format, 1);
  if (!bitmap && format != plat::GlyphBitmapFormat::kMono) {
    shift = format == plat::GlyphBitmapFormat::kGray17 ? 2 : 3;
    bitmap = face_->Glyph(character, plat::GlyphBitmapFormat::kMono, 1 << shift);
  }
  if (!bitmap) return nullptr;

  auto glyph = std::make_unique<CGlyph>();
  TurnAdvance(*glyph, logical_font_.escapement, CharacterWidth(character, bold));
  glyph->offset_x = (bitmap->origin_x >> shift) + ascent_offset_x_;
  glyph->offset_y = ascent_offset_y_ - (bitmap->origin_y >> shift);
  if (bitmap->bits.empty() || bitmap->height == 0) return glyph;

  const bool mono_bits = format == plat::GlyphBitmapFormat::kMono || shift != 0;
  std::vector<uint8_t> rows = mono_bits ? UnpackBits(*bitmap) : GreyRows(*bitmap);
  int32_t width = bitmap->width;
  int32_t height = bitmap->height;
  if (bold && (shift != 0 || g_GdiBoldOnly == 0)) {
    const int32_t thickness = std::min(((size << shift) / 50) + 1, 8);
    rows = Thicken(rows, width, height, thickness);
    width += thickness;
    glyph->offset_x -= thickness / 2;
  }
  if (shift != 0) rows = Reduce(rows, width, height, shift, width, height);
  const int32_t factor = format == plat::GlyphBitmapFormat::kMono ? 255
                         : format == plat::GlyphBitmapFormat::kGray17 ? 16 : 4;
  StoreRows(*glyph, rows, width, height, factor);
  if (outline) {
    GrowOutline(*glyph, format == plat::GlyphBitmapFormat::kMono, edge_strength_, edge_radius_, edge_normaliser_);
  }
  return glyph;
}
