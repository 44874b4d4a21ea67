// The text box widget: a text layout that owns the page image the characters are drawn into,
// an optional nine-patch background composed from a frame picture and a mask, the 8-bit region
// map of the text items and a pool of colour boxes that highlight the hovered item.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"
#include "ui/text_objects/text_layout_base.h"


class CTextLayout : public CTextLayoutBase {
 public:
  // Create results; 2 also when the sprite cannot show the page (no pixel-routine library).
  static constexpr uint32_t kBadArguments = 1;
  static constexpr uint32_t kTextImageFailed = 2;
  static constexpr uint32_t kRegionMapFailed = 3;

  CTextLayout() = default;
  ~CTextLayout() override;

  int32_t GetX() const override { return sprite_.GetX(); }
  int32_t GetY() const override { return sprite_.GetY(); }
  void SetPosition(int32_t x, int32_t y) override;
  void SetActive(bool active) override;
  bool IsActive() const override { return sprite_.IsEnabled(); }
  void SetPriority(uint32_t priority, uint32_t key, uint32_t tag) override;
  uint32_t GetPriority() const override { return priority_; }
  void SetOpacity(uint8_t level) override;
  uint8_t GetOpacity() const override { return text_image_.GetPixels() != nullptr ? sprite_.GetOpacity() : 0; }

  uint32_t Create(CDrawList* draw_list, uint32_t priority, int32_t width, int32_t height, int32_t x, int32_t y,
                  CFont* font, CFont* ruby_font, uint32_t key);
  virtual void Destroy();
  // 1 null font, -1 image not created.
  int32_t SetFont(CFont* font, CFont* ruby_font, bool redraw);
  // The pictures stay the caller's; the composite takes the size of the first of second mask,
  // mask and frame. 0; 1 none has pixels; 3 the composite could not be made.
  int32_t SetImages(CImage* frame, CImage* mask, CImage* second_mask, bool redraw);
  // As SetImages with copies that the box keeps, so that the given images may go at any time;
  // 3 also when a copy cannot be made.
  int32_t SetImageCopies(const CImage* frame, const CImage* mask, const CImage* second_mask, bool redraw);
  // Loads the pictures by name (masks at their depth, the frame at 32 bits); the composite takes
  // the size of the first of mask, second mask and frame. 0; 1 no name; 2/3 the mask could not be
  // loaded / the composite made at its size; 4/5 the same for the second mask; 6/7 the frame
  // beside masks; 8 the frame alone; 9 the box could not be made again. A failure keeps no picture.
  int32_t LoadImages(const char* frame_file, const char* mask_file, const char* second_mask_file, bool redraw);
  void ReleaseImages(bool redraw);
  // False when a composite already exists.
  bool SetFrameSlices(int32_t left_corner, int32_t top_corner, int32_t tile_width, int32_t tile_height);
  // -1 nothing changed, -2 image not created, else 0.
  virtual int32_t SetBackground(uint8_t style, uint32_t colour, uint8_t alpha, bool redraw);
  void SetLayoutRect(int32_t left, int32_t top, int32_t right, int32_t bottom, bool redraw);
  void SetDrawParams(int32_t left, int32_t top, int32_t right, int32_t bottom, bool redraw);
  // How characters and lines follow each other; the page starts again under them with redraw.
  struct TextFlow {
    bool auto_wrap = true;
    int32_t line_gap = 0;
    int32_t character_spacing = 0;
    bool ruby_band = true;
    int32_t ruby_gap = 0;
  };
  void SetTextFlow(const TextFlow& flow, bool redraw);
  // 1 no memory for the map.
  uint32_t EnableRegionMap(bool on, bool redraw);
  // 1/2 the font's face change failed switching on/off, 3/4 the same for the ruby font.
  uint32_t SetVertical(bool on, bool redraw);
  // Drops the background pictures and makes the box anew at this size with everything else
  // kept: 0; 1 the image was not created; 3 failure.
  uint32_t Recreate(int32_t width, int32_t height);
  // 0; 1 not a nine-patch or a bad size; 2/3 text image create/resize failed; 4/5 region map.
  uint32_t Resize(int32_t width, int32_t height, bool keep_pixels);
  void GetCellOrigin(int32_t* x, int32_t* y, int32_t width, int32_t height) const;
  void ClearPage();
  void Refresh(bool clear);
  void RefreshCurrent(bool clear);

  void SetCursor(int32_t x, int32_t y) override;
  bool NewLine() override;
  int32_t PutChar(const char** text) override { return PutCharInto(text, nullptr); }
  // Draws into `target`, or into the page when it is null.
  int32_t PutCharInto(const char** text, CImage* target);
  void DrawItemText(const char* text, int32_t x, int32_t y, bool use_cursor) override;
  // Upright text (such as a number) across one cell of a vertical column: 0, -1 after a line
  // break, 1 page full, 2 the text is horizontal, 3 no font or text, or the face change failed.
  int32_t DrawHorizontalInVertical(const char* text);
  // A picture placed like one character: the colour key is its pixel at (key_x, key_y) when
  // key_y >= 0, else key_x as a colour unless it is -1. 0, -1 after a line break, 1 page full, 2
  // the file could not be loaded.
  int32_t DrawPictureFile(const char* file_name, int32_t key_x, int32_t key_y);
  // The band between the box's edge and the text area, where the background picture is opaque
  // enough (never beyond the picture itself).
  bool HitTestAlpha(int32_t x, int32_t y) const override;
  void FillRegion(int32_t x, int32_t y, int32_t width, int32_t height) override;
  int32_t GetRegionAt(int32_t x, int32_t y) const override;
  void SetItemHighlight(int32_t index, bool on) override;

  CImage& text_image() { return text_image_; }
  const CSprite& sprite() const { return sprite_; }
  CSprite& sprite() { return sprite_; }
  int32_t shown_highlights() const { return highlight_count_; }
  size_t highlight_pool_size() const { return highlight_boxes_.size(); }
  const CColorBox& highlight_box(size_t index) const { return *highlight_boxes_.at(index); }

 protected:
  CSprite& page_sprite() { return sprite_; }
  // A rectangle of the page was drawn: marked in the image and repainted where the sprite shows it.
  void MarkPageChanged(const plat::Rect& rect);

 private:
  void ApplyBackground(bool style_changed, bool colour_changed, bool alpha_changed);
  int32_t LoadNamedImages(const char* frame_file, const char* mask_file, const char* second_mask_file);
  // Completes the nine-patch geometry from the composite's size and composes it.
  void ComposeNewBackground();
  // With a box made: makes it again at the picture's size (a nine-patch keeps the box's); 0 or 9.
  int32_t RebuildForPicture();
  void DrawNinePatch();
  void ClearHighlightPool();
  int32_t StartAlong() const;
  uint32_t MakeRegionMap(bool keep_pixels);
  // The sprite shows the page image (anew after it was made again) at (x, y), blended by its alpha.
  bool ShowPage(int32_t x, int32_t y);

  // Null once the list ends (a page a script deleted): the box then shows nowhere.
  WatchedPtr<CDrawList, IDrawList> draw_list_;
  uint32_t priority_ = 0;
  CImage text_image_;
  CSprite sprite_;
  std::unique_ptr<CImage> composite_;
  CImage* frame_ = nullptr;
  CImage* mask_ = nullptr;
  CImage* second_mask_ = nullptr;
  // The pictures loaded by name (those given to SetImages stay the caller's).
  std::unique_ptr<CImage> loaded_frame_;
  std::unique_ptr<CImage> loaded_mask_;
  std::unique_ptr<CImage> loaded_second_mask_;
  int32_t tile_width_ = 0;
  int32_t tile_height_ = 0;
  int32_t left_corner_ = 0;
  int32_t top_corner_ = 0;
  int32_t right_corner_ = 0;
  int32_t bottom_corner_ = 0;
  int32_t previous_pen_ = 0;
  std::unique_ptr<CImage> region_map_;
  std::deque<std::unique_ptr<CColorBox>> highlight_boxes_;
  int32_t highlight_count_ = 0;
};
