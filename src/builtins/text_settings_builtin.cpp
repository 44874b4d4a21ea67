#include "builtins/text_settings_builtin.h"

#include "script/game_host_access.h"
#include "ui/fonts/font_base.h"
#include "ui/gui/gui_element.h"

std::uint32_t NativeApplyTextSettings(const NativeArgs& args) {
  const bool only_when_changed = args.U8(0) != 0;
  const bool clear_mark = args.U8(1) != 0;
  CGuiElement* text_box = args.Handle<CGuiElement>(2);
  const bool text_box_given = args.U32(2) != 0;
  CGuiElement* list_menu = args.Handle<CGuiElement>(3);
  CFontBase* font = args.Handle<CFontBase>(4);
  const bool font_flag = args.U8(5) != 0;
  const bool printer_flag = args.U8(6) != 0;
  return WithGameHost([&](IGameHost& host) -> std::uint32_t {
    return host.ApplyTextSettings(only_when_changed, clear_mark, text_box, list_menu, font, font_flag, printer_flag,
                                  text_box_given);
  });
}
