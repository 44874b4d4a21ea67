// "sp_change": replaces one sprite on screen by another while something moves along a path.
// Mode 0 moves the new sprite, mode 1 the old one (the new one takes its place at the end), and
// modes 2 and 3 a work picture that cross-fades from the old image to the new one, optionally
// resizing the narrower image to the wider one's width (which makes the mode 3 when the new
// sprite is the narrower). The key-frame player of "sp_panime" drives it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "effects/sprite/sp_panime_effect.h"
#include "gfx/images/image.h"
#include "platform/system/geometry.h"
#include "scene/sprites/sprite.h"

class CSpChangeEffect : public CSpPanimeEffect {
 public:
  static constexpr char kName[] = "sp_change";
  static constexpr std::uint8_t kType = 1;
  static constexpr std::uint8_t kModeMoveNew = 0;
  static constexpr std::uint8_t kModeMoveOld = 1;
  static constexpr std::uint8_t kModeCrossFade = 2;
  static constexpr std::uint8_t kModeCrossFadeToNarrow = 3;

  CSpChangeEffect() = default;
  ~CSpChangeEffect() override;

  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // Arguments: new sprite (a plain sprite in a draw list), old sprite, path text, mode (low
  // byte), the work sprite's priority, resize flag, default duration (ms), heavy-work flag. The
  // target is not read. kRunning; kSetupBadArguments (nothing changed); kSetupBadPath;
  // kSetupRefused (also when the work pictures cannot be made). Only kRunning hands the old
  // sprite and its image over to the effect, which deletes both when it ends; after any other
  // result they stay the caller's. A sprite or picture that the screen keeps for the scripts is
  // never handed over: it stays theirs. A sprite or picture that ends meanwhile ends the effect
  // without its end step.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // As "sp_panime"'s, the place shifted by the end offset.
  std::int32_t GetParam(const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  void Stop() override;

  std::uint8_t GetMode() const { return mode_; }
  const CImage* GetWorkImage() const { return work_image_.get(); }
  const CSprite* GetWorkSprite() const { return work_sprite_.get(); }
  const CSprite* GetMovingSprite() const { return sprite_; }
  std::int32_t GetEndOffsetX() const { return dx_; }
  std::int32_t GetEndOffsetY() const { return dy_; }
  // The cross-fade's progress over the whole path (0 to 1) after `elapsed` ms.
  double Fraction(std::uint32_t elapsed) const;

 protected:
  void ShowFrame(const MotionPathRecord& from, const MotionPathRecord& to, double t) override;
  void OnResumed(std::uint32_t paused_span) override;

 private:
  // Builds the work picture, its sprite and the clear and fade lists: 0, or kSetupRefused.
  std::int32_t BuildCrossFade(std::uint32_t priority);
  // The narrower image stretched to the wider one's width in scaled_image_: 0, or kSetupRefused.
  std::int32_t ScaleNarrowImage(CImage* narrow, CImage* wide);
  void BuildLists(const plat::Rect& r1, const plat::Rect& r2);
  void RedrawCrossFade(std::uint8_t level);
  // The zoom factor of the resize at progress T.
  double ResizeFactor(double fraction) const;
  // The first update's switch: the sprite that moves is shown, the one it replaces hidden.
  void StartShowing(std::uint32_t now);
  void Finish();
  // Whether a sprite or picture the effect works with has ended.
  bool LostAny() const;
  std::uint32_t TotalDuration(std::uint32_t default_duration) const;

  // Declared before the sprites that show them, so that the sprites go first.
  std::unique_ptr<CImage> old_image_;
  std::unique_ptr<CSprite> old_owned_;
  std::unique_ptr<CImage> work_image_;
  std::unique_ptr<CSprite> work_sprite_;
  std::unique_ptr<CImage> scaled_image_;
  WatchedPtr<CSprite, CDrawable> old_;
  WatchedPtr<CSprite, CDrawable> new_;
  std::uint8_t mode_ = 0;
  bool resize_ = false;
  double ratio_ = 1.0;
  std::int32_t layer_height_ = 0;
  std::int32_t old_gap_ = 0;
  std::int32_t new_gap_ = 0;
  std::uint32_t start_ = 0;
  bool started_ = false;
  std::uint32_t elapsed_ = 0;
  std::uint32_t total_duration_ = 0;
  std::int32_t dx_ = 0;
  std::int32_t dy_ = 0;
  WatchedPtr<CImage, CImageInterface> image1_;
  WatchedPtr<CImage, CImageInterface> image2_;
  std::uint8_t last_level_ = 0;
  plat::Point place1_;
  plat::Point place2_;
  std::vector<plat::Rect> clear_list_;
  std::vector<plat::Rect> fade_list_;
};
