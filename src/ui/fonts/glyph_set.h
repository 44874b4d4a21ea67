// Glyphs given by number ("@" and digits in a text), cut from the cells of an 8-bit picture
// whose bytes are coverage. Outline forms are grown on first use and kept.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/fonts/glyph.h"

class CGlyphSet {
 public:
  static constexpr uint32_t kGreyGlyphs = 1;
  static constexpr uint32_t kMonoGlyphs = 2;

  // 0, or 1 picture not loadable, 2 cells do not fit the picture, 3 out of memory.
  uint32_t Load(const char* file_name, int32_t count, int32_t cell_width, int32_t cell_height, uint32_t flags);
  uint32_t LoadCoverage(const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch, int32_t count,
                        int32_t cell_width, int32_t cell_height, uint32_t flags);

  // Null when the number is not in the set.
  CGlyph* GetGlyph(int32_t number, uint8_t format, uint8_t outline);
  void SetAngle(int32_t angle);
  void SetEdgeParams(int32_t strength, int32_t radius, int32_t normaliser);
  void Release();

  int32_t count() const { return count_; }
  int32_t cell_width() const { return cell_width_; }

 private:
  struct Advance {
    int32_t x = 0;
    int32_t y = 0;
    int32_t offset_x = 0;
  };
  Advance AdvanceForAngle(bool turned_advance) const;
  uint32_t CutCells(std::vector<CGlyph>& glyphs, const uint8_t* pixels, int32_t width, int32_t height,
                    int32_t pitch, int32_t& cell_x, int32_t& cell_y);

  std::vector<CGlyph> grey_;
  std::vector<CGlyph> mono_;
  std::vector<std::unique_ptr<CGlyph>> grey_outlines_;
  std::vector<std::unique_ptr<CGlyph>> mono_outlines_;
  int32_t count_ = 0;
  int32_t cell_width_ = 0;
  int32_t cell_height_ = 0;
  int32_t angle_ = 0;
  int32_t edge_strength_ = 1024;
  int32_t edge_radius_ = 2;
  int32_t edge_normaliser_ = 1872;
};
