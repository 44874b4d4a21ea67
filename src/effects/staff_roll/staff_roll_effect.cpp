#include "effects/staff_roll/staff_roll_effect.h"

#include <algorithm>
#include <memory>

#include "base/time/timer_manager.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/framework/effect_args.h"
#include "gfx/image_operations/image_part.h"
#include "scene/drawables/draw_layer.h"
#include "sound/bgm_fade_tasks.h"
#include "sound/sound_channel_manager.h"

std::int32_t CStaffRollEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  auto* part = static_cast<CImagePart*>(target);
  CDrawLayer* layer = part != nullptr ? dynamic_cast<CDrawLayer*>(part->GetLayer()) : nullptr;
  if (manager == nullptr || layer == nullptr) return kSetupBadArguments;
  if (LoadStaffRollLayout(ArgText(args, 0), layer->GetOwnList(), layout_) != 0) return kSetupBadLayout;
  if (layout_.texts.empty()) {
    layout_.Clear();
    return kSetupNoText;
  }
  channels_ = g_BuiltinEffectServices.staff_roll_channels;
  if (!layout_.music.empty() && channels_ == nullptr) {
    layout_.Clear();
    return kSetupNoSound;
  }
  manager_ = manager;
  state_ = kRolling;
  if (manager->Add(this, 0, 0, 0) != CTimerManager::kAdded) {
    state_ = kIdle;
    layout_.Clear();
    return kSetupRefused;
  }
  LowerPriority();
  return kRunning;
}

std::int32_t CStaffRollEffect::SetParam(const PluginArgs& args) {
  if (ArgInt(args, 0) != 0) return -1;
  multiplier_ = std::max(ArgInt(args, 1), 1);
  return 0;
}

void CStaffRollEffect::Begin(std::uint32_t now) {
  begun_ = true;
  duration_ = layout_.duration;
  if (!layout_.music.empty() && channels_->PlayBgm(layout_.music.c_str(), nullptr, false) == 0) {
    music_slot_ = &channels_->CurrentBgm();
    if (duration_ == 0) duration_ = static_cast<std::int32_t>(channels_->CurrentBgm().stream.GetLength());
  }
  // A roll without a duration is over at once.
  speed_ = duration_ > 0 ? static_cast<double>(layout_.total_height) / duration_ : 0.0;
  for (const auto& picture : layout_.pictures) picture->span += static_cast<std::int32_t>(picture->fade_out * speed_);
  start_ = last_ = now;
  scroll_done_ = false;
  fade_started_ = false;
  multiplier_ = 1;
}

std::uint32_t CStaffRollEffect::Update(std::uint32_t now) {
  if (state_ == kKept) return 0;
  if (!begun_) Begin(now);
  // A faster roll moves its start back, so that the time since the last update counts m times.
  if (multiplier_ > 1) start_ -= (now - last_) * static_cast<std::uint32_t>(multiplier_ - 1);
  last_ = now;
  const std::uint32_t elapsed = now - start_;
  const bool over = scroll_done_ ? AfterScroll(elapsed) : Scroll(elapsed);
  return over ? 1 : 0;
}

bool CStaffRollEffect::Scroll(std::uint32_t elapsed) {
  const auto duration = static_cast<std::uint32_t>(std::max(duration_, 0));
  elapsed = std::min(elapsed, duration);
  const double fraction = duration > 0 ? static_cast<double>(elapsed) / duration : 1.0;
  const auto offset = static_cast<std::int32_t>(fraction * layout_.total_height);
  for (const auto& text : layout_.texts) text->sprite->SetPosition(text->sprite->GetX(), text->base_y - offset);
  UpdatePictures(offset, elapsed);
  if (elapsed != duration) return false;
  if (layout_.hold == 0 && layout_.fade == 0) {
    StopMusic();
    return Finish();
  }
  scroll_done_ = true;
  return false;
}

bool CStaffRollEffect::AfterScroll(std::uint32_t elapsed) {
  const std::uint32_t t = elapsed - static_cast<std::uint32_t>(duration_);
  UpdatePictures(layout_.total_height + static_cast<std::int32_t>(t * speed_), elapsed);
  const auto hold = static_cast<std::uint32_t>(std::max(layout_.hold, 0));
  if (t < hold) return false;
  if (!fade_started_) {
    fade_started_ = true;
    FadeMusicOut();
  }
  const auto fade = static_cast<std::uint32_t>(std::max(layout_.fade, 0));
  // Without a fade time the roll ends when the hold has passed.
  const std::uint32_t f = std::min(t - hold, fade);
  if (fade > 0) {
    const auto opacity = static_cast<std::uint8_t>(255u - f * 255u / fade);
    for (const auto& text : layout_.texts) text->sprite->SetOpacity(opacity);
  }
  if (f != fade) return false;
  StopMusic();
  return Finish();
}

void CStaffRollEffect::UpdatePictures(std::int32_t position, std::uint32_t time) {
  for (const auto& picture : layout_.pictures) UpdatePicture(*picture, position, time);
}

// The phases follow one another within one update when their times are 0.
void CStaffRollEffect::UpdatePicture(StaffPictureItem& picture, std::int32_t position, std::uint32_t time) {
  CSprite& sprite = *picture.sprite;
  if (picture.phase == StaffPictureItem::kWaiting) {
    if (position < picture.start) return;
    sprite.SetEnabled(true);
    picture.fade_in_start = time;
    picture.phase = StaffPictureItem::kFadingIn;
  }
  if (picture.phase == StaffPictureItem::kFadingIn) {
    const std::uint32_t into = time - picture.fade_in_start;
    if (picture.fade_in <= 0 || into >= static_cast<std::uint32_t>(picture.fade_in)) {
      sprite.SetOpacity(picture.alpha);
      picture.phase = StaffPictureItem::kShown;
    } else {
      sprite.SetOpacity(static_cast<std::uint8_t>(static_cast<double>(into) / picture.fade_in * picture.alpha));
    }
  }
  if (picture.phase == StaffPictureItem::kShown && position >= picture.end) {
    picture.fade_out_start = time;
    picture.phase = StaffPictureItem::kFadingOut;
  }
  if (picture.phase == StaffPictureItem::kFadingOut) {
    const std::uint32_t into = time - picture.fade_out_start;
    if (picture.fade_out <= 0 || into >= static_cast<std::uint32_t>(picture.fade_out)) {
      sprite.SetEnabled(false);
      picture.phase = StaffPictureItem::kGone;
    } else {
      const double left = static_cast<double>(static_cast<std::uint32_t>(picture.fade_out) - into);
      sprite.SetOpacity(static_cast<std::uint8_t>(left / picture.fade_out * picture.alpha));
    }
  }
  // A span of 0 puts the picture at its end place at once.
  const double p = picture.span != 0 ? static_cast<double>(position - picture.start) / picture.span : 1.0;
  sprite.SetPosition(picture.x + static_cast<std::int32_t>((picture.end_x - picture.x) * p),
                     picture.y + static_cast<std::int32_t>((picture.end_y - picture.y) * p));
}

bool CStaffRollEffect::Finish() {
  if (layout_.finish != 0) return true;
  state_ = kKept;
  return false;
}

bool CStaffRollEffect::HoldsOwnMusic() {
  if (music_slot_ == nullptr) return false;
  const BgmSlot& slot = channels_->CurrentBgm();
  return &slot == music_slot_ && slot.file == layout_.music;
}

void CStaffRollEffect::StopMusic() {
  if (HoldsOwnMusic()) channels_->StopBgm();
}

void CStaffRollEffect::FadeMusicOut() {
  if (layout_.fade <= 0 || !HoldsOwnMusic() || !channels_->CurrentBgm().stream.IsPlaying(nullptr, nullptr)) return;
  CTimerManager* timer = channels_->GetTaskManager() != nullptr ? channels_->GetTaskManager() : manager_;
  auto task = std::make_unique<CBgmFadeOutTask>(static_cast<std::uint32_t>(std::max(layout_.fade, 0)));
  // A started task belongs to the timer manager.
  if (task->Start(timer, channels_, &channels_->CurrentBgm()) == 0) static_cast<void>(task.release());
}

// The pictures' fade times are on the roll's own clock, which the moved start holds still.
void CStaffRollEffect::OnResumed(std::uint32_t paused_span) {
  if (!begun_) return;
  start_ += paused_span;
  last_ += paused_span;
}
