// What the game settings say about message display, brought to the objects that show messages:
// text boxes, list menus, their font, and the root window's deferred redraw.
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/little_endian.h"
#include "base/not_built.h"
#include "game/game_script_host.h"
#include "ui/font_base.h"
#include "ui/gui_root_window.h"
#include "ui/list_menu.h"
#include "ui/script_text_box.h"
#include "ui/text_layout.h"

namespace {

constexpr int32_t kBoldWeight = 700;
constexpr uint8_t kShadowOffset = 2;

std::string FaceNameOf(const GameSettingsBlock& settings) {
  const auto* begin = reinterpret_cast<const char*>(&settings[kSettingFaceName]);
  return std::string(begin, strnlen(begin, kSettingFaceNameSize));
}

void ApplyFontSettings(CFontBase& font, const GameSettingsBlock& settings) {
  const std::string face = FaceNameOf(settings);
  const bool bold = settings[kSettingTextBold] != 0;
  const bool face_differs = font.logical_font().face_name != face;
  const bool boldness_differs = (font.logical_font().weight >= kBoldWeight) != bold;
  font.SetGlyphFormat(settings[kSettingTextGlyphFormat]);
  font.shadow_x = kShadowOffset;
  font.shadow_y = kShadowOffset;
  // The outline keeps the font's own text and outline colours.
  font.decoration = settings[kSettingTextEdge] != 0 ? 2 : 0;
  font.line_spacing = 2 * settings[kSettingTextLineSpacing];
  if (face_differs || boldness_differs) {
    font.SetFont(std::abs(font.logical_font().height), bold ? 1 : 0, font.logical_font().italic, face.c_str());
  }
}

}  // namespace

std::uint8_t CGameScriptHost::ApplyTextSettings(bool only_when_changed, bool clear_mark, CGuiElement* text_box,
                                                CGuiElement* list_menu, CFontBase* font, bool font_flag,
                                                bool printer_flag) {
  const std::uint8_t mark = settings_changed_mark_ != nullptr ? settings_changed_mark_->load() : 0;
  if (mark == 0 && only_when_changed) return 0;
  const GameSettingsBlock& settings = CurrentGameSettings();
  const std::uint8_t style = settings[kSettingTextBoxStyle];
  const std::uint32_t colour = LoadLe32(&settings[kSettingTextBoxColour]);
  const std::uint8_t alpha = settings[kSettingTextBoxAlpha];
  const bool text_box_type = text_box != nullptr && (text_box->GetType() == CTextLayoutBase::kType ||
                                                     text_box->GetType() == CScriptTextBox::kType);
  if (auto* layout = text_box_type ? dynamic_cast<CTextLayout*>(text_box) : nullptr) {
    layout->SetBackground(style, colour, alpha, false);
  }
  if (list_menu != nullptr && list_menu->GetType() == CListPart::kType) {
    if (auto* menu = dynamic_cast<CListMenu*>(list_menu)) menu->SetSkinColor(style, colour, alpha);
    if (auto* list = dynamic_cast<CListPart*>(list_menu)) list->SetShowChosen(settings[kSettingShowChosenChoices] != 0);
  }
  CFontBase* target = font != nullptr ? font : g_DefaultFont;
  if (font_flag && target != nullptr && target->IsReady()) ApplyFontSettings(*target, settings);
  if (printer_flag) ReportNotBuiltYet("passing the text log length on to the text printer");
  if (clear_mark && settings_changed_mark_ != nullptr) settings_changed_mark_->store(0);
  return mark;
}

std::uint32_t CGameScriptHost::ApplyMessageLayerRedrawSetting() {
  const GameSettingsBlock& settings = CurrentGameSettings();
  GuiRootWindow().SetRedrawDeferred(settings[kSettingHintsOn] != 0, LoadLe32(&settings[kSettingHintDelay]));
  return 0;
}
