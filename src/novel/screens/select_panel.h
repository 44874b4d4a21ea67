// The panel of the two select screens: one 32-bit picture made from the frame picture with the
// character's name plate, the scene, up to eight flags with a mark for more, the status text
// image and the name and text boxes blended onto it, each keeping the panel's alpha.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/geometry.h"

class CFont;
class CImage;

struct SelectPanelContent {
  std::int32_t character = 0;  // 1-5 show their name plate
  std::int32_t scene = 0;      // 0 none
  // The flag numbers to show (the first eight of the list) and how many the scenario gave.
  std::vector<std::uint32_t> flags;
  std::int32_t flag_count = 0;
  bool status_text = false;
  // Shift-JIS texts of the name box and the text box (empty: nothing drawn).
  std::string name_text;
  std::string body_text;
};

inline constexpr std::size_t kSelectPanelMostFlags = 8;
inline constexpr plat::Point kSelectPanelPlace{17, 13};

// Where flag `index` of `count` stands on the panel.
plat::Point SelectFlagPlace(std::int32_t count, std::size_t index);

// Loads "SYS/SS_FRAME.ELG" into `panel` and blends the parts onto it; each part file is then
// dropped from the picture cache. A part that cannot be loaded is left out (logged). False when
// the frame picture itself cannot be loaded.
bool ComposeSelectPanel(CImage& panel, const SelectPanelContent& content, CFont* name_font, CFont* text_font);
