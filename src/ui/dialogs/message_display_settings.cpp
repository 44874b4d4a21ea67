#include "ui/dialogs/message_display_settings.h"

#include <cstdlib>
#include <cstring>

#include "base/numbers/little_endian.h"
#include "ui/fonts/font_base.h"
#include "ui/text_objects/text_layout.h"
#include "ui/widgets/list_menu.h"

namespace {

constexpr int32_t kBoldWeight = 700;
constexpr int32_t kShadowOffset = 2;
constexpr uint8_t kOutline = 2;

}  // namespace

std::string GameFaceName(const GameSettingsBlock& settings) {
  const auto* begin = reinterpret_cast<const char*>(&settings[kSettingFaceName]);
  return std::string(begin, strnlen(begin, kSettingFaceNameSize));
}

bool GameFontBold(const GameSettingsBlock& settings) { return settings[kSettingTextBold] != 0; }

void ApplyGameFontSettings(CFontBase& font, const GameSettingsBlock& settings) {
  const std::string face = GameFaceName(settings);
  const bool bold = GameFontBold(settings);
  const bool face_differs = font.logical_font().face_name != face;
  const bool boldness_differs = (font.logical_font().weight >= kBoldWeight) != bold;
  font.SetGlyphFormat(settings[kSettingTextGlyphFormat]);
  font.shadow_x = kShadowOffset;
  font.shadow_y = kShadowOffset;
  font.decoration = settings[kSettingTextEdge] != 0 ? kOutline : 0;
  font.line_spacing = 2 * settings[kSettingTextLineSpacing];
  if (face_differs || boldness_differs) {
    font.SetFont(std::abs(font.logical_font().height), bold ? 1 : 0, font.logical_font().italic, face.c_str());
  }
}

void ApplyGameBoxSettings(CTextLayout& box, const GameSettingsBlock& settings, int32_t alpha) {
  const auto own_alpha = alpha >= 0 ? static_cast<uint8_t>(alpha) : settings[kSettingTextBoxAlpha];
  box.SetBackground(settings[kSettingTextBoxStyle], LoadLe32(&settings[kSettingTextBoxColour]), own_alpha, false);
}

void ApplyGameListSettings(CListMenu& list, const GameSettingsBlock& settings) {
  list.SetSkinColor(settings[kSettingTextBoxStyle], LoadLe32(&settings[kSettingTextBoxColour]),
                    settings[kSettingTextBoxAlpha]);
  list.SetShowChosen(settings[kSettingShowChosenChoices] != 0);
}
