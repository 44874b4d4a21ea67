// A cell sheet: the frames of an animated picture part, side by side in one image of equal
// cells, and where and how they are drawn: into a target image (a sprite's source or an image of
// the caller's) at a place, by plain copy, alpha blend or keyed copy, optionally putting back
// the background under the cell first. The sprites that show the target are told what changed.
// A sheet lets go of each picture and sprite it keeps when that ends.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "base/lifetime/ref_counted.h"
#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "platform/system/geometry.h"

class CDrawable;
class CSprite;

// What a sheet is set up with, whether loaded or attached to an image.
struct CellSheetSetup {
  // The x that takes the place from the picture's own display offsets.
  static constexpr int32_t kPlaceFromPicture = 65535;
  static constexpr int32_t kKeepBackground = 2;

  int32_t cell_count = 1;
  // Above 0.
  int32_t frame_time = 0;
  // When given, the cells are drawn into its source image and it is told of each change.
  CSprite* sprite = nullptr;
  CImage* target = nullptr;
  int32_t x = 0;
  int32_t y = 0;
  // How the picture parts step through the cells: 0 forward, 1 back and forth, else at random.
  uint8_t option = 0;
  int32_t background_mode = 0;
  bool blend = false;
};

class CCellSheet : public CRefCounted, public ScriptVisible<CCellSheet> {
 public:
  static constexpr uint8_t kDrawCopy = 0;
  static constexpr uint8_t kDrawBlend = 1;
  static constexpr uint8_t kDrawKeyed = 2;
  // Statuses of Load and Attach.
  static constexpr uint32_t kBadArgument = 1;
  static constexpr uint32_t kLoadFailed = 2;
  static constexpr uint32_t kSpriteWithoutImage = 3;
  static constexpr uint32_t kNoBackground = 4;
  static constexpr uint32_t kNoColourKey = 0xFFFFFFFF;

  CCellSheet() = default;
  ~CCellSheet() override = default;

  // Loads the sheet's picture (its own depth with keep_depth, else 32 bits) and keys it by the
  // 0xRRGGBB colour unless it is kNoColourKey.
  uint32_t Load(const char* name, const CellSheetSetup& setup, bool keep_depth, uint32_t colour_key);
  // Uses an image that the caller keeps.
  uint32_t Attach(CImage* image, const CellSheetSetup& setup);
  void Release();
  void AddSprite(CSprite* sprite);
  void RemoveSprite(CSprite* sprite);

  // The picture the cells are cut from: the attached image or the loaded one.
  CImage* GetSource() { return attached_ != nullptr ? attached_ : &image_; }
  CImage* GetTarget() const { return target_; }
  int32_t GetCellCount() const { return cell_count_; }
  int32_t GetCellWidth() const { return cell_width_; }
  int32_t GetCellHeight() { return GetSource()->GetHeight(); }
  int32_t GetFrameTime() const { return frame_time_; }
  uint8_t GetOption() const { return option_; }
  uint8_t GetDrawMode() const { return draw_mode_; }
  int32_t GetX() const { return x_; }
  int32_t GetY() const { return y_; }
  void SetPlace(int32_t x, int32_t y) { x_ = x; y_ = y; }
  // The sprites told of changes that live.
  std::vector<CSprite*> GetSprites() const;
  bool HasBackground() const { return background_ != nullptr && background_->HasPixels(); }

  // The columns of the cell in the source; empty for an index outside.
  plat::Rect CellRect(int32_t cell);
  // Keeps the area under the cells of `from` (null: the target) as the background.
  uint32_t SaveBackground(CImage* from);
  // Puts the background back into `into` at the sheet's place; the rectangle that changed, empty
  // without a background.
  plat::Rect RestoreBackground(CImage& into);
  // Draws the cell into `into` at the sheet's place (the background put back first) and returns
  // the rectangle that changed; empty when nothing was drawn.
  plat::Rect DrawCell(int32_t cell, CImage& into);
  // Tells each sprite of the sheet that the rectangle of the target changed.
  void ReportDrawn(const plat::Rect& drawn) const;
  // The frame shown when the part is at rest: the first cell.
  plat::Rect DrawRestFrame(CImage& into) { return DrawCell(0, into); }

 private:
  uint32_t SetUp(const CellSheetSetup& setup);

  CImage image_;
  int32_t cell_count_ = 0;
  int32_t frame_time_ = 0;
  uint8_t option_ = 0;
  uint8_t draw_mode_ = kDrawCopy;
  // A sheet whose target or attached picture ends has nowhere to draw (its tasks end at their
  // next step).
  WatchedPtr<CImage, CImageInterface> target_;
  WatchedPtr<CImage, CImageInterface> attached_{[this] { target_ = nullptr; }};
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t background_mode_ = 0;
  int32_t cell_width_ = 0;
  std::unique_ptr<CImage> background_;
  // A sprite that ends is no longer told of changes; its place is dropped at the next AddSprite.
  std::deque<WatchedPtr<CSprite, CDrawable>> sprites_;
};
