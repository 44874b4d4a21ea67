#include "ui/dialogs/script_text_box.h"

#include <algorithm>
#include <memory>
#include <string>

#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/input/player_input.h"
#include "base/time/timer_manager.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/picture_part.h"
#include "ui/dialogs/text_anim_task.h"
#include "ui/fonts/font.h"
#include "ui/fonts/message_text_source.h"
#include "ui/gui/gui_window.h"
#include "ui/widgets/check_button.h"

namespace {

constexpr uint32_t kDecideAction = 4;
constexpr uint32_t kAdvanceAction = 19;
constexpr int32_t kNamePart = 1;
constexpr int32_t kVoicePart = 2;
constexpr uint8_t kSpreadName = 4;

}  // namespace

CScriptTextBox::~CScriptTextBox() { Destroy(); }

void CScriptTextBox::SetPosition(int32_t x, int32_t y) {
  if (name_box_ != nullptr) name_box_->SetPosition(name_box_->GetX() + x - GetX(), name_box_->GetY() + y - GetY());
  CTextLayout::SetPosition(x, y);
}

void CScriptTextBox::SetActive(bool active) {
  CTextLayout::SetActive(active);
  if (name_box_ != nullptr) name_box_->SetActive(active && name_shown_);
}

void CScriptTextBox::Destroy() {
  if (timers_ != nullptr && animation_ != nullptr) timers_->Remove(animation_);
  if (timers_ != nullptr && wait_icon_ != nullptr) timers_->Remove(wait_icon_);
  wait_icon_shown_ = false;
  CTextLayout::Destroy();
}

int32_t CScriptTextBox::SetBackground(uint8_t style, uint32_t colour, uint8_t alpha, bool redraw) {
  if (name_box_ != nullptr) name_box_->SetBackground(style, colour, alpha, redraw);
  const int32_t result = CTextLayout::SetBackground(style, colour, alpha, redraw);
  // A page drawn again shows the new background where the icon goes.
  if (result == 0 && redraw && wait_icon_ != nullptr) wait_icon_->CopyBackground(nullptr);
  return result;
}

void CScriptTextBox::NewPage() {
  Refresh(true);
  if (name_box_ != nullptr) name_box_->SetActive(false);
  name_shown_ = false;
  if (wait_icon_ != nullptr) wait_icon_->CopyBackground(nullptr);
}

void CScriptTextBox::SetPictureSet(CCellSheet* picture_set) {
  EndWaitIcon();
  if (picture_set != nullptr) picture_set->AddRef();
  picture_set_.reset(picture_set);
}

uint32_t CScriptTextBox::StartPicture() {
  if (timers_ == nullptr || !picture_set_) return kNoTimersOrPictureSet;
  if (wait_icon_ == nullptr && MakeWaitIcon() != 0) return kPictureRefused;
  ShowWaitIcon();
  return 0;
}

uint32_t CScriptTextBox::StartAnimation(bool mode) {
  if (timers_ == nullptr || message_ == nullptr) return kNoTimersOrMessage;
  if (animation_ == nullptr && MakeAnimation() != 0) return kTaskRefused;
  if (wait_icon_ == nullptr && picture_set_ != nullptr && MakeWaitIcon() != 0) return kWaitIconFailed;
  return animation_->Start(false, mode);
}

uint32_t CScriptTextBox::ShowAllAtOnce() {
  if (timers_ == nullptr || message_ == nullptr) return kNoTimersOrMessage;
  if (animation_ == nullptr && MakeAnimation() != 0) return kTaskRefused;
  return animation_->Start(true, false);
}

uint32_t CScriptTextBox::ControlAnimation(uint32_t operation) {
  return animation_ != nullptr ? animation_->Control(operation) : kNoTask;
}

uint32_t CScriptTextBox::MakeAnimation() {
  auto task = std::make_unique<CTextAnimTask>(*this);
  if (timers_->Add(task.get(), 0, 0, 0) != CTimerManager::kAdded) return kTaskRefused;
  animation_ = task.release();
  animation_->SetOwnerReference(&animation_);
  return 0;
}

uint32_t CScriptTextBox::MakeWaitIcon() {
  auto icon = std::make_unique<CPicturePart>();
  if (icon->Setup(timers_, picture_set_.get(), &page_sprite(), PicturePartSettings{}) != 0) return kWaitIconFailed;
  wait_icon_ = icon.release();
  wait_icon_->SetOwnerReference(&wait_icon_);
  timers_->PauseTask(wait_icon_);
  wait_icon_shown_ = false;
  return 0;
}

void CScriptTextBox::ShowWaitIcon() {
  if (wait_icon_ == nullptr || wait_icon_shown_) return;
  timers_->ResumeTask(wait_icon_);
  wait_icon_shown_ = true;
}

void CScriptTextBox::EndWaitIcon() {
  if (wait_icon_ == nullptr) return;
  timers_->Remove(wait_icon_);
  // The ended icon leaves its rest frame behind.
  MarkPageChanged(picture_set_->RestoreBackground(text_image()));
  wait_icon_shown_ = false;
}

void CScriptTextBox::HideWaitIcon() {
  if (wait_icon_ == nullptr || !wait_icon_shown_) return;
  timers_->PauseTask(wait_icon_);
  MarkPageChanged(picture_set_->RestoreBackground(text_image()));
  wait_icon_shown_ = false;
}

void CScriptTextBox::DrawSpeakerName() {
  name_shown_ = false;
  if (name_box_ == nullptr) return;
  name_box_->Refresh(true);
  const std::string name = message_->GetNamePart(kNamePart);
  if (!name.empty() && name_alignment_ >= kSpreadName) {
    name_box_->DrawTextSpread(name.c_str(), name_box_->GetTextArea());
  } else if (!name.empty()) {
    name_box_->DrawTextAligned(name.c_str(), name_alignment_);
  }
  name_shown_ = !name.empty();
  name_box_->SetActive(name_shown_);
}

uint32_t CScriptTextBox::TakeVoiceName() {
  voice_name_.fill('\0');
  const std::string voice = message_->GetNamePart(kVoicePart);
  if (voice.size() >= kVoiceNameSize) return kVoiceNameTooLong;
  std::copy(voice.begin(), voice.end(), voice_name_.begin());
  return 0;
}

bool CScriptTextBox::IsAdvanceRequested() const {
  if (!IsActive() || !IsEnabled()) return false;
  const CGuiWindow* owner = GetOwner();
  // A drag in the window or a window switched off keeps the message where it is.
  if (owner != nullptr && (!owner->IsActive() || owner->HasCapture())) return false;
  if (g_KeyBindings != nullptr &&
      (g_KeyBindings->IsActionPressed(kDecideAction) || g_KeyBindings->IsActionPressed(kAdvanceAction))) {
    return true;
  }
  if (!IsMouseLeftPressed()) return false;
  const CGuiElement* hovered = owner != nullptr ? owner->GetHovered() : nullptr;
  return hovered == nullptr || hovered == this || !hovered->IsActive();
}

bool CScriptTextBox::CompanionForcesSkip() const {
  if (companion_ == nullptr) return false;
  const uint8_t state = companion_->GetState();
  return state >= CCheckButton::kChecked && state != CCheckButton::kUncheckedDisabled;
}

void CScriptTextBox::AllowCompanion(bool allowed) {
  if (companion_ == nullptr) return;
  companion_->SetEnabled(allowed);
  if (!allowed) companion_->SetState(CCheckButton::kUncheckedDisabled);
}

void CScriptTextBox::DrawStringAtPen(const char* text) {
  DrawItemText(text, pen_x_ - margin_left_, pen_y_ - margin_top_, true);
}

void CScriptTextBox::SetFontSize(int32_t size) {
  if (font_ == nullptr) return;
  font_->SetSize(size);
  UpdateLineMetrics();
}

void CScriptTextBox::ForgetWidget(const CGuiElement* widget) {
  if (widget == nullptr) return;
  if (widget == name_box_) name_box_ = nullptr;
  if (widget == companion_) companion_ = nullptr;
}
