// "sp_panime": moves a sprite through the key frames of a path text (see
// scene/motions/motion_path_text.h): place, opacity, swing, zoom and turn, with the to-front, to-back
// and centre commands applied to the sprite. Its player is the one the cells of "sp_tanime" and
// the sprite change build on.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "effects/framework/effect.h"
#include "effects/sprite/key_frame_player.h"
#include "scene/sprites/sprite.h"

// The two program-wide priorities that the to-front and to-back commands move a sprite to; the
// players take them when they start. Written by sp_tanime's set-up, by the sp_panime assist
// command 0 and by the novel frame before it starts a sprite path.
extern std::uint32_t g_SpriteFrontPriority;
extern std::uint32_t g_SpriteBackPriority;

class CSpPanimeEffect : public CEffect, public CKeyFramePlayer {
 public:
  static constexpr char kName[] = "sp_panime";
  static constexpr std::uint8_t kType = 1;
  // Results of Setup beside kRunning and kFinishedAtOnce.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupBadPath = 2;
  static constexpr std::int32_t kSetupRefused = 3;

  // Which of zoom and turn the key frames use, and the largest zoom.
  struct TransformUse {
    bool zoom = false;
    bool rotation = false;
    double largest_zoom = 1.0;
  };

  CSpPanimeEffect() = default;

  std::uint32_t GetTypeId() const override { return kTimedTaskSpriteEffect; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // Arguments: sprite (a plain sprite in a layer's list), path text, default duration (0: the
  // end is shown at once, kFinishedAtOnce), loop flag, heavy-work flag. The target is not read.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // Out-pointers, each optional: x, y, alpha (int32) of the path's last key frame, the path's
  // direction (int32: 1 front, 2 back), zoom and turn (float), the centre x and y (int32) and
  // whether the player zooms or turns the sprite (float 1 or 0). Without a key frame after the
  // start only alpha is written, -1. 1 without a path.
  std::int32_t GetParam(const PluginArgs& args) override;
  // A sprite that ends ends the animation.
  std::uint32_t Update(std::uint32_t now) override { return sprite_ == nullptr || Step(now) ? 1 : 0; }
  void Stop() override {
    if (sprite_ != nullptr) ShowEnd();
  }

  // The assist function. Command 0 (first word): the front and back priorities (second and
  // third words). Otherwise: sprite, path text, then the out-pointers of GetParam without the
  // last: the sprite is put at the path's end at once. 1 without a plain sprite; a path's
  // status.
  static std::int32_t Assist(const PluginArgs* args);

  // What the key frames of the path use.
  static TransformUse ScanTransforms(const CMotionPath& path);

 protected:
  // Starts the player on the sprite: the front and back priorities taken, the sprite's work
  // image prepared for the transforms and the first key frame's transform rendered.
  void StartSprite(CSprite* sprite, std::uint32_t duration, bool loop, const TransformUse& use);
  void OnCommand(const MotionPathRecord& command) override;
  void ShowFrame(const MotionPathRecord& from, const MotionPathRecord& to, double t) override;
  void OnResumed(std::uint32_t paused_span) override { ShiftStart(paused_span); }
  bool RendersTransforms() const { return render_transforms_ && (use_.zoom || use_.rotation); }

  WatchedPtr<CSprite, CDrawable> sprite_;
  // Off while a derived class renders zoom and turn itself; then the frame places the sprite only.
  bool render_transforms_ = true;

 private:
  std::uint32_t front_ = 0;
  std::uint32_t back_ = 0;
  TransformUse use_;
};

// The plain sprite an argument word holds; null for none or another drawable.
CSprite* ArgPlainSprite(const PluginArgs& args, std::uint32_t index);
