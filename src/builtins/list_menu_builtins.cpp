#include "builtins/list_menu_builtins.h"

#include <algorithm>

#include "builtins/widget_args.h"
#include "ui/widgets/choice_button.h"
#include "ui/widgets/list_menu.h"

using widget_args::kMinusOne;
using widget_args::Result;

namespace {

constexpr std::uint32_t kNoMenu = 4;

CListMenu* ListMenu(const NativeArgs& args) { return widget_args::Of<CListMenu>(args, 0, {CListPart::kType}); }

template <class Operation>
std::uint32_t WithMenu(const NativeArgs& args, std::uint32_t none, Operation operation) {
  CListMenu* menu = ListMenu(args);
  return menu != nullptr ? operation(*menu) : none;
}

bool AbsentMinusOne(const NativeArgs& args, std::uint32_t i) { return args.U32(i) == kMinusOne; }

}  // namespace

std::uint32_t NativeSetChoiceItem(const NativeArgs& args) {
  CChoiceButton* button = widget_args::Of<CChoiceButton>(args, 0, {CChoiceButton::kType});
  if (button == nullptr) return 1;
  const std::int32_t index = args.U8(1);
  const std::int32_t state = args.I32(2);
  std::uint32_t status = 0;
  if (state >= 0 && button->SetItemEnabled(index, state != 0) != 0) status = 2;
  if (args.U32(3) != 0) {
    CChoiceButton::ItemAction action;
    action.name2 = args.Str(3);
    if (button->SetItemAction(index, action) != 0) return 3;
  }
  return status;
}

std::uint32_t NativeSetListMenuFrame(const NativeArgs& args) {
  return WithMenu(args, kNoMenu, [&](CListMenu& menu) {
    return Result(menu.CreatePlainSkin(args.I32(1), args.I32(2), args.I32(3), args.I32(4)));
  });
}

std::uint32_t NativeSetListMenuItems(const NativeArgs& args) {
  return WithMenu(args, kNoMenu, [&](CListMenu& menu) {
    CListMenu::SkinSources<const char*> files;
    files.frame_count = args.I32(1);
    files.pressed_frame = args.Flag(2);
    files.disabled_frame = args.Flag(3);
    files.item = {args.Str(4), args.Str(5), args.Str(6)};
    if (!AbsentMinusOne(args, 7)) {
      files.header = {args.Str(7), args.Str(8), args.Str(9)};
      files.footer = {args.Str(10), args.Str(11), args.Str(12)};
    }
    return Result(menu.LoadSkin(files));
  });
}

std::uint32_t NativeSetListMenuStyle(const NativeArgs& args) {
  return WithMenu(args, 0, [&](CListMenu& menu) {
    menu.SetBackground(args.U8(1), args.U32(2));
    return 1U;
  });
}

std::uint32_t NativeSetListMenuColours(const NativeArgs& args) {
  return WithMenu(args, 0, [&](CListMenu& menu) {
    menu.SetItemColors(args.U32(1), args.U32(2), args.U32(3), CListPart::TextColours{}.disabled);
    return 1U;
  });
}

std::uint32_t NativeSetListMenuColours2(const NativeArgs& args) {
  return WithMenu(args, 0, [&](CListMenu& menu) {
    const CListPart::GradientPair disabled = CListPart::Gradients{}.disabled;
    menu.SetGradientColors(args.U32(1), args.U32(2), args.U32(3), args.U32(4), args.U32(5), args.U32(6), disabled.top,
                           disabled.bottom);
    return 1U;
  });
}

std::uint32_t NativeSetListMenuOffset(const NativeArgs& args) {
  return WithMenu(args, 0, [&](CListMenu& menu) {
    menu.SetTextOffset(args.I32(1), args.I32(2));
    return 1U;
  });
}

std::uint32_t NativeSetListMenuItem(const NativeArgs& args) {
  return WithMenu(args, kNoMenu, [&](CListMenu& menu) {
    CListPart::ItemSetup item;
    item.text = args.Str(1);
    item.tooltip = args.Str(2);
    if (!AbsentMinusOne(args, 3)) {
      item.disabled = args.Flag(3);
      item.first_action = args.Str(4);
      item.action_value = args.I32(5);
      item.second_action = args.Str(6);
    }
    return Result(menu.AddMenuItem(item));
  });
}

std::uint32_t NativeSetListMenuSelection(const NativeArgs& args) {
  return WithMenu(args, kMinusOne, [&](CListMenu& menu) {
    const std::int32_t index = args.I32(1);
    if (index < 0 || index >= menu.GetItemCount()) return 1U;
    // A menu has no pictures beyond the pressed one.
    return menu.ShowItemState(index, std::min<std::int32_t>(args.U8(2), CListPart::kItemPressed));
  });
}

std::uint32_t NativeSetCurrentListMenu(const NativeArgs& args) {
  if (g_ChoiceList != nullptr) {
    g_ChoiceList->SetChoiceRecord(nullptr, 0, {});
    g_ChoiceList = nullptr;
  }
  CListMenu* menu = ListMenu(args);
  if (menu == nullptr) return 1;
  g_ChoiceList = menu;
  return 0;
}

std::uint32_t NativeCopyCurrentListMenu(const NativeArgs& args) {
  return WithMenu(args, kMinusOne, [](CListMenu& menu) {
    if (g_ChoiceList == nullptr) return 1U;
    return menu.CopyChoiceRecord(g_ChoiceList);
  });
}
