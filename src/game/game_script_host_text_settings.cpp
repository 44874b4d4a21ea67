// What the game settings say about message display, brought to the objects that show messages:
// text boxes, list menus, their font, and the root window's tooltips.
#include "base/numbers/little_endian.h"
#include "game/game_script_host.h"
#include "ui/dialogs/message_display_settings.h"
#include "ui/dialogs/script_text_box.h"
#include "ui/fonts/font_base.h"
#include "ui/gui/gui_root_window.h"
#include "ui/text_objects/text_layout.h"
#include "ui/widgets/list_menu.h"

std::uint8_t CGameScriptHost::ApplyTextSettings(bool only_when_changed, bool clear_mark, CGuiElement* text_box,
                                                CGuiElement* list_menu, CFontBase* font, bool font_flag,
                                                bool printer_flag, bool text_box_given) {
  if (IHostedFrame* frame = AttachedFrame(); frame != nullptr) {
    return frame->ApplyUserSettings(text_box_given || text_box != nullptr, font_flag, printer_flag,
                                         only_when_changed, clear_mark);
  }
  const std::uint8_t mark = settings_changed_mark_ != nullptr ? settings_changed_mark_->load() : 0;
  if (mark == 0 && only_when_changed) return 0;
  const GameSettingsBlock& settings = CurrentGameSettings();
  const bool text_box_type = text_box != nullptr && (text_box->GetType() == CTextLayoutBase::kType ||
                                                     text_box->GetType() == CScriptTextBox::kType);
  if (auto* layout = text_box_type ? dynamic_cast<CTextLayout*>(text_box) : nullptr) {
    ApplyGameBoxSettings(*layout, settings);
  }
  if (list_menu != nullptr && list_menu->GetType() == CListPart::kType) {
    if (auto* menu = dynamic_cast<CListMenu*>(list_menu)) ApplyGameListSettings(*menu, settings);
  }
  CFontBase* target = font != nullptr ? font : g_DefaultFont;
  if (font_flag && target != nullptr && target->IsReady()) ApplyGameFontSettings(*target, settings);
  if (printer_flag) {
    // The text log length becomes the printer's history size (0 stays 0: no history).
    const std::int32_t length = settings[kSettingTextLogSize] == 0 ? 0 : settings[kSettingTextLogSize] + 1;
    if (length != text_printer_.history_size()) text_printer_.SetHistorySize(length);
  }
  if (clear_mark && settings_changed_mark_ != nullptr) settings_changed_mark_->store(0);
  return mark;
}

std::uint32_t CGameScriptHost::ApplyMessageLayerRedrawSetting() {
  const GameSettingsBlock& settings = CurrentGameSettings();
  // The hints are the root window's tooltips, shown until the pointer moves.
  GuiRootWindow().SetTooltipMode(settings[kSettingHintsOn] != 0, LoadLe32(&settings[kSettingHintDelay]), 0);
  return 0;
}
