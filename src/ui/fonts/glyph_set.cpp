#include "ui/fonts/glyph_set.h"

#include <cstdlib>
#include <cstring>

#include "base/numbers/trig_tables.h"
#include "gfx/images/image.h"
#include "ui/fonts/edge_disc.h"

uint32_t CGlyphSet::Load(const char* file_name, int32_t count, int32_t cell_width, int32_t cell_height,
                         uint32_t flags) {
  CImage picture;
  if (file_name == nullptr || picture.LoadFile(file_name, nullptr, 0, 0) != 0 || picture.GetPixels() == nullptr ||
      picture.GetBitsPerPixel() != 8) {
    return 1;
  }
  return LoadCoverage(picture.GetPixels(), picture.GetWidth(), picture.GetHeight(), picture.GetPitch(), count,
                      cell_width, cell_height, flags);
}

uint32_t CGlyphSet::LoadCoverage(const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch, int32_t count,
                                 int32_t cell_width, int32_t cell_height, uint32_t flags) {
  Release();
  if (count < 0 || cell_width <= 0 || cell_height <= 0 || cell_width > width || cell_height > height) return 2;
  count_ = count;
  cell_width_ = cell_width;
  cell_height_ = cell_height;
  int32_t cell_x = 0;
  int32_t cell_y = 0;
  uint32_t status = 0;
  if ((flags & kGreyGlyphs) != 0) status = CutCells(grey_, pixels, width, height, pitch, cell_x, cell_y);
  if (status == 0 && (flags & kMonoGlyphs) != 0) {
    if (cell_x != 0) {
      cell_x = 0;
      cell_y += cell_height;
    }
    status = CutCells(mono_, pixels, width, height, pitch, cell_x, cell_y);
  }
  if (status != 0) Release();
  return status;
}

uint32_t CGlyphSet::CutCells(std::vector<CGlyph>& glyphs, const uint8_t* pixels, int32_t width, int32_t height,
                             int32_t pitch, int32_t& cell_x, int32_t& cell_y) {
  const Advance advance = AdvanceForAngle(true);
  glyphs.resize(static_cast<std::size_t>(count_));
  for (CGlyph& glyph : glyphs) {
    if (cell_x + cell_width_ > width) {  // a partial cell at the right edge is not a glyph
      cell_x = 0;
      cell_y += cell_height_;
    }
    if (cell_y + cell_height_ > height) return 2;
    glyph.width = cell_width_;
    glyph.height = cell_height_;
    glyph.pitch = (cell_width_ + 3) & ~3;
    glyph.offset_x = advance.offset_x;
    glyph.offset_y = 0;
    glyph.advance_x = advance.x;
    glyph.advance_y = advance.y;
    glyph.AllocBits(static_cast<std::size_t>(glyph.pitch) * cell_height_);
    for (int32_t y = 0; y < cell_height_; ++y) {
      std::memcpy(glyph.bits.data() + static_cast<std::size_t>(y) * glyph.pitch,
                  pixels + static_cast<std::ptrdiff_t>(cell_y + y) * pitch + cell_x, static_cast<std::size_t>(cell_width_));
    }
    cell_x += cell_width_;
  }
  return 0;
}

CGlyphSet::Advance CGlyphSet::AdvanceForAngle(bool turned_advance) const {
  if (angle_ == 0 || g_TrigTable == nullptr) return {cell_width_, 0, 0};
  if (angle_ == 2700) return {0, cell_height_, -cell_width_};
  if (!turned_advance) return {};
  const auto& cosine = g_TrigTable->cosine;
  const int32_t k = angle_ * 512 / 3600;
  return {static_cast<int32_t>((static_cast<int64_t>(cosine[k & 511]) * cell_width_) >> 16),
          static_cast<int32_t>(-(static_cast<int64_t>(cosine[(k - 128) & 511]) * cell_height_) >> 16), 0};
}

CGlyph* CGlyphSet::GetGlyph(int32_t number, uint8_t format, uint8_t outline) {
  if (number < 0 || number >= count_) return nullptr;
  const bool use_grey = format != 0 ? !grey_.empty() : mono_.empty();
  std::vector<CGlyph>& glyphs = use_grey ? grey_ : mono_;
  if (glyphs.empty()) return nullptr;
  CGlyph& glyph = glyphs[static_cast<std::size_t>(number)];
  if (outline == 0) return &glyph;
  auto& outlines = use_grey ? grey_outlines_ : mono_outlines_;
  if (outlines.empty()) outlines.resize(static_cast<std::size_t>(count_));
  auto& slot = outlines[static_cast<std::size_t>(number)];
  if (!slot) {
    slot = std::make_unique<CGlyph>(glyph);
    GrowOutline(*slot, false, edge_strength_, edge_radius_, edge_normaliser_);
  }
  return slot.get();
}

void CGlyphSet::SetAngle(int32_t angle) {
  if (angle == angle_) return;
  angle_ = angle;
  // Angles other than 0 and 2700 get the turned advance that loading gives them too.
  const Advance advance = AdvanceForAngle(true);
  const int32_t r = std::abs(edge_radius_);
  for (auto* glyphs : {&grey_, &mono_}) {
    for (CGlyph& glyph : *glyphs) {
      glyph.advance_x = advance.x;
      glyph.advance_y = advance.y;
      glyph.offset_x = advance.offset_x;
    }
  }
  for (auto* outlines : {&grey_outlines_, &mono_outlines_}) {
    for (auto& glyph : *outlines) {
      if (!glyph) continue;
      glyph->advance_x = advance.x;
      glyph->advance_y = advance.y;
      glyph->offset_x = advance.offset_x - r;
      glyph->offset_y = -r;
    }
  }
}

void CGlyphSet::SetEdgeParams(int32_t strength, int32_t radius, int32_t normaliser) {
  edge_strength_ = strength;
  edge_radius_ = radius;
  edge_normaliser_ = normaliser;
  grey_outlines_.clear();
  mono_outlines_.clear();
}

void CGlyphSet::Release() {
  grey_.clear();
  mono_.clear();
  grey_outlines_.clear();
  mono_outlines_.clear();
  count_ = 0;
}
