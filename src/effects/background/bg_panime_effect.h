// "bg_panime": moves the view of a layer's background through the key frames of a path text (see
// scene/motions/motion_path_text.h); only the places count. The view moves as the background offset, or
// through the background cache, into which the picture is copied at each place with the
// layer's colour around it. The picture may be the layer's own rendering, taken at the start
// (the layer then stops drawing its lists, which the picture already holds). At the end the
// layer is as before, its offset at the last key frame.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/watched_ptr.h"
#include "effects/framework/effect.h"
#include "effects/sprite/key_frame_player.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_layer.h"

class CBgPanimeEffect : public CEffect, public CKeyFramePlayer {
 public:
  static constexpr char kName[] = "bg_panime";
  static constexpr std::uint8_t kType = 0;
  // Results of Setup beside kRunning and kFinishedAtOnce.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupBadPathOrRefused = 2;
  static constexpr std::int32_t kSetupNoPicture = 3;
  static constexpr std::int32_t kSetupRenderFailed = 4;
  static constexpr std::int32_t kSetupNoCache = 5;
  // The cache flag that means neither cache nor own picture, nor attached list or loop.
  static constexpr std::uint32_t kPlainOffset = 0xFFFF;
  // Modes: bits of the cache and of the own picture.
  static constexpr std::uint8_t kModeCache = 1;
  static constexpr std::uint8_t kModeOwnPicture = 2;

  CBgPanimeEffect() = default;
  // Gives the layer its background back when the own picture is still shown.
  ~CBgPanimeEffect() override;

  std::uint32_t GetTypeId() const override { return kTimedTaskBackgroundEffect; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // Target: the canvas part whose layer moves. Arguments: path text, default duration (0: the
  // end at once, kFinishedAtOnce), cache flag, own-picture flag, attached flag (the picture
  // holds the attached list too), loop flag, heavy-work flag.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // Out-pointers (int32, optional): x and y of the path's last key frame. 1 without a path, 2
  // without a key frame after the start.
  std::int32_t GetParam(const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  void Stop() override;

  // The assist function: canvas object, path text, out x, out y (int32, optional): the view put
  // at the path's end at once. -1 for an object that is no canvas; else the path's status.
  static std::int32_t Assist(const PluginArgs* args);

  std::uint8_t GetMode() const { return mode_; }

 private:
  void ShowFrame(const MotionPathRecord& from, const MotionPathRecord& to, double t) override;
  void OnResumed(std::uint32_t paused_span) override { ShiftStart(paused_span); }
  // The own picture: the layer rendered into it, the layer's lists switched off, and without
  // the cache shown as the background: 0 or a set-up failure.
  std::int32_t MakeOwnPicture(bool with_attached);
  // The picture copied into the cache so that its point (x, y) shows at the top-left.
  void DrawIntoCache(std::int32_t x, std::int32_t y);
  // The saved background back, the lists on again, the own picture and the cache gone.
  void ReleasePictures();
  // ReleasePictures, and the view at the last key frame.
  void Finish();

  // Null once the canvas ends: the effect then ends at its next step, giving back nothing.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
  std::uint8_t mode_ = 0;
  std::unique_ptr<CImage> own_;
  // Null once the picture ends: the layer then gets no background back.
  WatchedPtr<CImage, CImageInterface> saved_background_;
  std::int32_t saved_x_ = 0;
  std::int32_t saved_y_ = 0;
  // The key frames' places are the layer's offsets; the own picture holds the view at the start.
  std::int32_t start_x_ = 0;
  std::int32_t start_y_ = 0;
  bool drawn_ = false;
  std::int32_t drawn_x_ = 0;
  std::int32_t drawn_y_ = 0;
  bool finished_ = false;
};
