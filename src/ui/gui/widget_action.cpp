#include "ui/gui/widget_action.h"

#include "ui/gui/gui_window.h"

namespace {

std::string CopyOf(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

CWidgetAction::CWidgetAction(const Setup& setup)
    : name1_(CopyOf(setup.name1)),
      value_(setup.value),
      name2_(CopyOf(setup.name2)),
      fired_flag_(setup.fired_flag),
      hover_flag_(setup.hover_flag),
      unhover_flag_(setup.unhover_flag) {
  const char* names[3] = {setup.decide_sound, setup.enter_sound, setup.leave_sound};
  const int32_t ids[3] = {setup.decide_id, setup.enter_id, setup.leave_id};
  for (size_t i = 0; i < 3; ++i) {
    sounds_[i].name = CopyOf(names[i]);
    sounds_[i].id = sounds_[i].name.empty() ? ids[i] : 0;
  }
}

void CWidgetAction::Fire(CGuiWindow* owner) const {
  if (fired_flag_ != nullptr) *fired_flag_ = 1;
  if (owner != nullptr && (!name2_.empty() || !name1_.empty() || value_ != 0)) owner->OnAction(name2(), name1(), value_);
}

void CWidgetAction::SetHover(bool entered) const {
  if (hover_flag_ != nullptr) *hover_flag_ = entered ? 1 : 0;
  if (unhover_flag_ != nullptr) *unhover_flag_ = entered ? 0 : 1;
}

int32_t CWidgetAction::PlayEventSound(const CWidgetAction* action, CGuiWindow& owner, Event event) {
  if (action != nullptr && action->sound_id(event) >= 0) {
    const Sound& sound = action->sounds_[Index(event)];
    return owner.PlaySound(NameOrNull(sound.name), sound.id, 0, 0);
  }
  static constexpr int32_t kStandard[3] = {CGuiWindow::kSoundDecide, CGuiWindow::kSoundEnter, CGuiWindow::kSoundLeave};
  return owner.PlaySound(nullptr, kStandard[Index(event)], 0, 0);
}

void CWidgetAction::FireWidget(const CWidgetAction* action, CGuiWindow& owner, int32_t id) {
  if (id >= 0) owner.OnCommand(id);
  PlayEventSound(action, owner, Event::kDecide);
  if (action != nullptr) action->Fire(&owner);
}

void CWidgetAction::HoverWidget(const CWidgetAction* action, CGuiWindow* owner, bool entered, bool with_sound) {
  if (action != nullptr) action->SetHover(entered);
  if (with_sound && owner != nullptr) PlayEventSound(action, *owner, entered ? Event::kEnter : Event::kLeave);
}
