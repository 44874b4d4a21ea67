#include "ui/gui/widget_sounds.h"

#include "ui/gui/gui_window.h"

void CWidgetSounds::Set(const char* decide, const char* hover, const char* leave, int32_t decide_number,
                        int32_t hover_number, int32_t leave_number) {
  const char* names[3] = {decide, hover, leave};
  const int32_t numbers[3] = {decide_number, hover_number, leave_number};
  for (int slot = 0; slot < 3; ++slot) {
    const bool named = names[slot] != nullptr && *names[slot] != '\0';
    names_[slot] = named ? names[slot] : "";
    numbers_[slot] = named ? 0 : numbers[slot];
  }
}

void CWidgetSounds::Play(CGuiWindow* owner, Slot slot) const {
  static constexpr int32_t kStandard[3] = {CGuiWindow::kSoundDecide, CGuiWindow::kSoundEnter,
                                           CGuiWindow::kSoundLeave};
  if (owner == nullptr) return;
  if (numbers_[slot] >= 0) {
    owner->PlaySound(names_[slot].empty() ? nullptr : names_[slot].c_str(), numbers_[slot], 0, 0);
  } else {
    owner->PlaySound(nullptr, kStandard[slot], 0, 0);
  }
}
