// "staff": the closing credits. The lines and pictures of a layout file (staff_roll_layout.h)
// scroll upward over a duration, or over the length of the music the roll plays, while
// pictures fade in and out at set points of the scroll; then the roll may hold, fade its text
// and the music out, and end or stay on screen.
#pragma once

#include <cstdint>

#include "effects/framework/effect.h"
#include "effects/staff_roll/staff_roll_layout.h"

class CSoundChannelManager;
struct BgmSlot;

class CStaffRollEffect : public CEffect {
 public:
  static constexpr char kName[] = "staff";
  static constexpr std::uint8_t kType = 2;
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupBadLayout = 2;
  static constexpr std::int32_t kSetupNoText = 3;
  static constexpr std::int32_t kSetupNoSound = 4;
  static constexpr std::int32_t kSetupRefused = 5;
  // The states GetParam reports.
  static constexpr std::int32_t kIdle = 0;
  static constexpr std::int32_t kRolling = 1;
  static constexpr std::int32_t kKept = 2;

  CStaffRollEffect() = default;

  std::uint32_t GetTypeId() const override { return kTimedTaskStaffRoll; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // Argument: the layout file's name. The target is the canvas part whose layer the roll is
  // drawn in; its sprites go into the layer's own list.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // Parameter 0 (first word) only, else -1: the speed multiplier (second word, at least 1).
  std::int32_t SetParam(const PluginArgs& args) override;
  std::int32_t GetParam(const PluginArgs&) override { return state_; }
  std::uint32_t Update(std::uint32_t now) override;
  void Stop() override {}

  const StaffRollLayout& Layout() const { return layout_; }
  std::int32_t GetDuration() const { return duration_; }

 private:
  void OnResumed(std::uint32_t paused_span) override;
  void Begin(std::uint32_t now);
  // The scroll at `elapsed`: true when the roll is over.
  bool Scroll(std::uint32_t elapsed);
  bool AfterScroll(std::uint32_t elapsed);
  void UpdatePictures(std::int32_t position, std::uint32_t time);
  static void UpdatePicture(StaffPictureItem& picture, std::int32_t position, std::uint32_t time);
  // The end of the roll: true when the effect ends, false when it stays on screen.
  bool Finish();
  // The music slot still plays the file the roll started in it: a script that started other
  // music meanwhile keeps it, and the roll then stops or fades nothing.
  bool HoldsOwnMusic();
  void StopMusic();
  void FadeMusicOut();

  StaffRollLayout layout_;
  CTimerManager* manager_ = nullptr;
  CSoundChannelManager* channels_ = nullptr;
  std::int32_t duration_ = 0;
  std::int32_t state_ = kIdle;
  bool begun_ = false;
  std::uint32_t start_ = 0;
  std::uint32_t last_ = 0;
  bool scroll_done_ = false;
  bool fade_started_ = false;
  // The slot the roll started its music in; null when it started none.
  const BgmSlot* music_slot_ = nullptr;
  std::int32_t multiplier_ = 1;
  double speed_ = 0.0;
};
