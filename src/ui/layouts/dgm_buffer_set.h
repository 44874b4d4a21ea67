// A layout file shown as sprites: the background becomes a draw layer's background and every
// part a sprite of its picture in one of the layer's draw lists. The screen owns the images and
// sprites; this set only remembers them, and forgets each that a script deletes (its entry then
// names none). A load that fails takes back everything it made.
#pragma once

#include <cstdint>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "ui/layouts/dgm_layout.h"

class CDrawable;
class CDrawLayer;
class CImage;
class CImageInterface;
class CScreenManager;
class CSprite;

class CDgmBufferSet {
 public:
  static constexpr uint32_t kNullArgument = 1;
  static constexpr uint32_t kReadFailed = kDgmReadFailed;
  static constexpr uint32_t kBadMagic = kDgmBadMagic;
  static constexpr uint32_t kBackgroundFailed = 4;
  static constexpr uint32_t kPartFailed = 5;
  static constexpr uint32_t kTruncated = kDgmTruncated;

  CDgmBufferSet() = default;
  CDgmBufferSet(const CDgmBufferSet&) = delete;
  CDgmBufferSet& operator=(const CDgmBufferSet&) = delete;
  ~CDgmBufferSet() { Release(); }

  // Loads the layout: the background (at its own depth with keep_depth, else 32-bit) onto the
  // layer, each part as a 32-bit image shown by a sprite inserted behind the nodes of
  // `priority` in the layer's own list, or with use_attached_list in its attached list (none
  // when it has none). 0 or a status above; on failure nothing made here is left.
  uint32_t Load(CScreenManager* screen, CDrawLayer* layer, const char* path, uint32_t priority,
                bool use_attached_list, bool keep_depth);
  // Forgets what was loaded; the screen keeps the images and sprites.
  void Release();

  CImage* GetBackground() const { return background_; }
  size_t GetPartCount() const { return parts_.size(); }
  CImage* GetPartImage(size_t index) const { return parts_.at(index).image; }
  CSprite* GetPartSprite(size_t index) const { return parts_.at(index).sprite; }
  const DgmPartSize& GetPartSize(size_t index) const { return parts_.at(index).size; }

 private:
  struct Part {
    WatchedPtr<CImage, CImageInterface> image;
    WatchedPtr<CSprite, CDrawable> sprite;
    DgmPartSize size;
  };

  uint32_t Build(CScreenManager& screen, CDrawLayer& layer, const DgmLayout& layout, uint32_t priority,
                 bool use_attached_list, bool keep_depth);
  uint32_t AddPart(CScreenManager& screen, CDrawLayer& layer, const DgmPart& record, uint32_t priority,
                   bool use_attached_list);
  void Undo(CScreenManager& screen, CDrawLayer& layer);

  WatchedPtr<CImage, CImageInterface> background_;
  std::vector<Part> parts_;
};

// The scripts' shared layout buffers.
extern CDgmBufferSet g_DgmBufferSet;
