// What one opening of a select screen holds: the layout's widgets by part, the panel with the
// picture it shows and, on the choice screen, the list of the pending choices.
#pragma once

#include <vector>

#include "gfx/images/image.h"
#include "novel/frame/vov_frame.h"
#include "novel/screens/select_panel.h"
#include "scene/sprites/sprite.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widgets/list_menu.h"

struct CVovFrame::SelectScreen {
  static constexpr std::int32_t kWidgetGroup = 4;
  static constexpr std::uint32_t kWidgetPriority = 1000;
  static constexpr std::uint32_t kPanelPriority = 2000;

  SelectScreen(std::int32_t character, std::int32_t scene, std::int32_t flag_count) {
    content.character = character;
    content.scene = scene;
    content.flag_count = flag_count;
  }

  SelectPanelContent content;
  CGuiRootWindow* root = nullptr;
  std::vector<CGuiElement*> parts;
  CImage panel_image;
  CSprite panel;
  CListMenu list;
  bool open = false;
};

// The music stops, fading over `fade_time` ms (at once for 0, or when the fade cannot run).
void StopMusic(std::uint32_t fade_time);
