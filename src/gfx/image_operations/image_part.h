// An owned software image that the scene can draw through: it may carry a draw layer and a
// draw list, and it keeps the flag that suspends the image's own change tracking while a
// layer does the tracking. A screen transition can be attached to it; the transition works
// between this part and its partner, a part whose image has the same size and depth, and may use
// the part's work image. The image canvases are built on it.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "base/lifetime/ref_counted.h"
#include "base/lifetime/watched_ptr.h"
#include "base/threads/end_watch.h"
#include "gfx/image_operations/screen_transition.h"
#include "gfx/images/draw_layer_interface.h"
#include "gfx/images/image.h"

class CImagePart {
 public:
  // Status of Create and CreateEx.
  static constexpr uint32_t kImageFailed = 1;
  static constexpr uint32_t kLayerFailed = 2;
  static constexpr uint32_t kLayerTargetFailed = 3;
  static constexpr uint32_t kOtherFailure = 4;
  // Layer modes of CreateEx.
  static constexpr uint8_t kNoLayer = 0;
  static constexpr uint8_t kLayer = 1;
  static constexpr uint8_t kLayerAndDrawList = 2;
  // Status of Attach.
  static constexpr uint32_t kAttachNoLayer = 1;
  static constexpr uint32_t kAttachNoPartner = 2;
  static constexpr uint32_t kAttachNoPartnerLayerOrWorkImage = 3;
  static constexpr uint32_t kAttachNoBackground = 4;
  // Attach modes: how the transition's end hands the result over to the part.
  static constexpr uint8_t kModePlain = 0;
  static constexpr uint8_t kModeSwapLayers = 1;
  static constexpr uint8_t kModeSwapBackgrounds = 2;

  CImagePart() = default;
  CImagePart(const CImagePart&) = delete;
  CImagePart& operator=(const CImagePart&) = delete;
  // Announced before the part lets go of anything, so that a partner detaches a transition that
  // works between the two while both are whole.
  virtual ~CImagePart() {
    CEndWatch::Announce(this);
    Release();
  }

  // 0; 1 when the image cannot be created; 2 when the layer cannot be made (also while the
  // scene has no draw layers); 3 when the layer does not take the image. With a layer the
  // tracking is suspended. The image is black afterwards; on failure the part is released.
  uint32_t Create(int32_t width, int32_t height, uint8_t depth, bool with_layer);
  // The same codes, and 4 when the draw list cannot be made; the image has a DIB section and
  // its own dirty region.
  uint32_t CreateEx(int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode);
  // Detaches without redraw, deletes the layer, the list and the work image, forgets the
  // partner and frees the image.
  void Release();

  CImage* GetImage() { return &image_; }
  const CImage* GetImage() const { return &image_; }
  IDrawLayer* GetLayer() const { return layer_.get(); }
  IDrawList* GetList() const { return list_.get(); }
  CImagePart* GetPartner() const { return partner_; }
  CImage* GetWorkImage() const { return work_image_.get(); }
  uint8_t GetDepth() const { return image_.GetBitsPerPixel(); }
  bool IsTrackingSuspended() const { return tracking_suspended_ != 0; }
  bool HasAttached() const { return attached_ != nullptr; }
  CScreenTransition* GetAttached() const { return attached_.get(); }
  uint8_t GetAttachMode() const { return attach_mode_; }
  // The redraw argument that the end of the attached transition detaches it with.
  uint8_t GetAttachByte() const { return attach_byte_; }

  // Stores the flag: a set flag stops the image recording its changes, a clear one resumes
  // them in its own region. Returns the previous flag.
  virtual uint8_t SuspendTracking(uint8_t flag);
  // While tracking is suspended and there is a layer, the layer redraws the rectangle (null:
  // all); otherwise the rectangle (null: the whole image) goes to the image's region in use.
  // The image's modified flag is set.
  virtual void MarkDirty(const plat::Rect* rect);
  // Re-creates the image at its size with this depth: 0; 1 without pixels; 2 when the creation
  // fails (the part is then released).
  virtual uint32_t CreateImage(uint8_t depth) = 0;
  void SetLayerVisible(uint8_t visible);
  void SetLayerFlags(uint8_t first, uint8_t second);
  // The parts exchange their layers; each keeps its own draw list on the layer it receives,
  // which then draws into its image.
  void SwapLayers(CImagePart& other);
  void SwapLayerBackgrounds(CImagePart& other);
  // The view the part can show instead of its own: its partner's layer (null without a partner
  // or without its layer).
  IDrawLayer* GetSecondView() const { return partner_ != nullptr ? partner_->layer_.get() : nullptr; }
  // Shows `view`: the partner's layer makes the two parts exchange their layers, so each shows
  // what the other drew, and the part redraws whole; the part's own layer or null changes
  // nothing. 0; 1 for any other layer.
  uint32_t SetView(IDrawLayer* view);
  void FreeWorkImage() { work_image_.reset(); }
  // A byte the scripts keep on the part: stores it and returns the one it held.
  uint8_t SetSwitch(uint8_t flag) { return std::exchange(switch_, flag); }
  uint8_t GetSwitch() const { return switch_; }
  // 0; 1 when the partner has no image or differs in width, height or depth. Null clears it.
  uint32_t SetPartner(CImagePart* partner);

  // Detaches the transition attached before (with its stored byte as redraw), then, for a
  // non-null transition, takes over the caller's reference (`transition` becomes null): 0; 1
  // without layer; 2 without partner; 3 when the partner has no layer while the transition's
  // type needs it, or when the work image cannot be made; 4 when mode 2 finds no background in
  // the part's layer. On failure the caller keeps its reference. With `lower_priority` the
  // application's lower-priority hook is called, and the restore hook at the detach.
  virtual uint32_t Attach(RefPtr<CScreenTransition>& transition, uint8_t mode, uint8_t byte, bool lower_priority);
  // Whether a two-picture transition attached here ends on this part's own image, started from
  // its partner's, rather than starting from the own image and ending on the partner's, which
  // the end then swaps in (a page before its back page). A plain attachment hands nothing over,
  // so the picture that stays after it is the part's own; a canvas always ends on its own
  // picture, started from its source part's.
  virtual bool EndsOnOwnImage() const { return attach_mode_ == kModePlain; }
  // Drops the part's reference to the attached transition. With redraw and a partner, mode 1
  // swaps the layers and mode 2 the layer backgrounds; modes 1 and 2, and mode 0 with redraw,
  // then mark the whole image changed.
  void Detach(bool redraw);

 protected:
  uint32_t CreateWithFlags(int32_t width, int32_t height, uint8_t depth, uint32_t image_flags, uint8_t layer_mode);
  uint32_t RecreateImage(uint8_t depth, uint32_t image_flags);
  uint8_t tracking_suspended_ = 0;

 private:
  uint32_t CreateLayer(uint8_t layer_mode);
  uint32_t CheckAttach(const CScreenTransition& transition, uint8_t mode) const;
  void FillBlack();

  CImage image_;
  std::unique_ptr<IDrawLayer> layer_;
  std::unique_ptr<IDrawList> list_;
  std::unique_ptr<CImage> work_image_;
  RefPtr<CScreenTransition> attached_;
  uint8_t attach_mode_ = 0;
  uint8_t attach_byte_ = 0;
  uint8_t lower_priority_ = 0;
  uint8_t switch_ = 0;
  // A part whose partner ends detaches the transition between the two and has no partner.
  WatchedPtr<CImagePart> partner_{[this] {
    if (HasAttached()) Detach(false);
  }};
};
