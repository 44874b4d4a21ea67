// A layout file turned into widgets: the background becomes the background of the widget
// manager's draw layer and every part an image button or check button made by the widget
// manager and added to a window. Consecutive grouped parts of one type form one radio group.
// The widget manager owns the widgets; this file only remembers them, and forgets each that a
// script deletes (its entry then names none). A load that fails deletes everything it made.
#pragma once

#include <cstdint>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "ui/layouts/dgm_layout.h"

class CGuiElement;
class CGuiWindow;
class CImage;
class CImageInterface;
class CScreenManager;
class CWidgetManager;

class CDgmImageFile {
 public:
  static constexpr uint32_t kNullArgument = 1;
  static constexpr uint32_t kReadFailed = kDgmReadFailed;
  static constexpr uint32_t kBadMagic = kDgmBadMagic;
  static constexpr uint32_t kBackgroundFailed = 4;
  static constexpr uint32_t kNoScreen = 5;
  // A part whose type makes no widget.
  static constexpr uint32_t kRefusedType = 12;
  static constexpr uint32_t kTruncated = kDgmTruncated;

  CDgmImageFile() = default;
  CDgmImageFile(const CDgmImageFile&) = delete;
  CDgmImageFile& operator=(const CDgmImageFile&) = delete;
  ~CDgmImageFile() { Release(); }

  // Loads the layout; a named background needs the screen. Each widget is shown from its part's
  // shown byte, appended to the owner and, when first_id >= 0, numbered from first_id on.
  // keep_depth keeps the background at its own depth and makes the widgets key their pictures
  // by pure green instead of blending them by their alpha. 0, a status above, or for a part
  // whose widget cannot be made a status of its type: 6 (types 1, 2), 7 (3), 8 (4), 9 (5),
  // 10 (6, 8), 11 (7, 9). On failure nothing made here is left.
  uint32_t Load(CWidgetManager* widgets, CGuiWindow* owner, const char* path, int32_t first_id, uint32_t priority,
                bool keep_depth, CScreenManager* screen);
  // Forgets what was loaded; the widget manager keeps the widgets.
  void Release();

  CImage* GetBackground() const { return background_; }
  size_t GetPartCount() const { return parts_.size(); }
  CGuiElement* GetPartWidget(size_t index) const { return parts_.at(index).widget; }
  const DgmPartSize& GetPartSize(size_t index) const { return parts_.at(index).size; }

 private:
  struct Part {
    WatchedPtr<CGuiElement> widget;
    DgmPartSize size;
  };

  uint32_t Build(CWidgetManager& widgets, CGuiWindow& owner, const DgmLayout& layout, int32_t first_id,
                 uint32_t priority, bool keep_depth, CScreenManager* screen);
  uint32_t LoadBackground(CWidgetManager& widgets, const std::string& name, bool keep_depth, CScreenManager* screen);
  void Undo(CWidgetManager& widgets, CScreenManager* screen);

  WatchedPtr<CImage, CImageInterface> background_;
  std::vector<Part> parts_;
};

// The scripts' shared layout image.
extern CDgmImageFile g_DgmImageFile;
