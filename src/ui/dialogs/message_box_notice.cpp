// The message box's notices: a line of text, or a picture, that slides in at the bottom-left of
// the screen, stays a while and fades out.
#include <array>
#include <memory>

#include "base/time/timer_manager.h"
#include "gfx/display/screen_manager.h"
#include "scene/motions/move_motion.h"
#include "scene/sprites/sprite_on_layer.h"
#include "sound/sound_channel_manager.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/fonts/text_image.h"

namespace {

constexpr int32_t kNoticeX = 12;
constexpr int32_t kNoticeY = 600;
constexpr uint32_t kNoticePriority = 100;
constexpr uint8_t kNoticeBlendMode = 2;
// Up into view, held there, then down out of view while it fades.
constexpr std::array<int32_t, 15> kNoticePoints = {12, 575, 255, 12, 575, 255, 12, 575, 255,
                                                   12, 575, 255, 12, 600, 0};
constexpr int32_t kNoticeChannel = 0;

std::unique_ptr<CMoveMotion> MakeSlide() {
  MoveMotionOptions options;
  options.segment_time = 400;
  options.start_delay = 100;
  options.visible_while_moving = true;
  options.lower_priority = true;
  options.position_mode = CMoveMotion::kPosition;
  return std::make_unique<CMoveMotion>(options);
}

}  // namespace

uint32_t CMessageBox::ShowNotice(const char* text) {
  ReadyFonts();
  if (text_image::CreateFromText(notice_image_, text, &notice_font_, 0) != 0) return kNoticeNoImage;
  return SlideNotice();
}

uint32_t CMessageBox::OpenWithPicture(const char* picture) {
  if (picture == nullptr || notice_image_.LoadFile32(picture, nullptr, 0, 0) != 0) return kNoticeNoImage;
  return SlideNotice();
}

uint32_t CMessageBox::SlideNotice() {
  if (notice_sprite_.GetOwnerList() != nullptr) {
    notice_sprite_.SetImage(&notice_image_, nullptr, kNoticeX, kNoticeY);
    notice_sprite_.SetOpacity(0);
  } else {
    // The notice belongs to no script: it carries no drawable id.
    const uint32_t previous_id = g_ScreenManager != nullptr ? g_ScreenManager->SetDrawableId(0xFFFFFFFF) : 0;
    SpritePlacement placement;
    placement.x = kNoticeX;
    placement.y = kNoticeY;
    placement.priority = kNoticePriority;
    placement.enabled = false;
    placement.attached_list = true;
    ShowSpriteOnLayer(&notice_sprite_, &notice_image_, kNoticeBlendMode, 0, placement);
    if (g_ScreenManager != nullptr) g_ScreenManager->SetDrawableId(previous_id);
  }
  StopNotice();
  std::unique_ptr<CMoveMotion> slide = MakeSlide();
  if (slide->SetPoints(kNoticePoints) != 0) return kNoticeRefused;
  if (slide->Start(g_PausableTimerManager, &notice_sprite_) != 0) return kNoticeNotStarted;
  notice_task_ = slide.release();
  notice_task_->SetOwnerReference(&notice_task_);
  if (g_SoundChannels != nullptr) g_SoundChannels->PlayChannel(kNoticeChannel, false);
  return 0;
}

void CMessageBox::StopNotice() {
  CMoveMotion* slide = notice_task_;
  notice_task_ = nullptr;
  // A manager that went away took its tasks with it.
  if (slide != nullptr && g_PausableTimerManager != nullptr && g_PausableTimerManager->Contains(slide)) {
    g_PausableTimerManager->Remove(slide);
  }
}
