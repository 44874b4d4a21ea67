#include "builtins/text_box_builtins.h"

#include <cstring>

#include "builtins/listed_resource.h"
#include "builtins/widget_args.h"
#include "gfx/display/surface_object_image.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/resource_list.h"
#include "ui/dialogs/script_text_box.h"
#include "ui/dialogs/text_anim_task.h"
#include "ui/text_objects/text_layout.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/list_menu.h"

using widget_args::GlyphFont;
using widget_args::kMinusOne;
using widget_args::Result;

namespace {

constexpr std::uint32_t kNoRedraw = false;

// The text box of args[0]: the novel frame's kind 5 and the scripts' kind 111.
CTextLayout* TextBox(const NativeArgs& args, std::uint32_t i) {
  return widget_args::Of<CTextLayout>(args, i, {CTextLayoutBase::kType, CScriptTextBox::kType});
}

CListMenu* ListMenu(const NativeArgs& args) { return widget_args::Of<CListMenu>(args, 0, {CListPart::kType}); }

// Rows served by list menus and text boxes alike: `on_menu` or `on_box`, else `none`.
template <class OnMenu, class OnBox>
std::uint32_t MenuOrBox(const NativeArgs& args, std::uint32_t none, OnMenu on_menu, OnBox on_box) {
  if (CListMenu* menu = ListMenu(args)) return on_menu(*menu);
  if (CTextLayout* box = TextBox(args, 0)) return on_box(*box);
  return none;
}

template <class Operation>
std::uint32_t WithBox(const NativeArgs& args, std::uint32_t none, Operation operation) {
  CTextLayout* box = TextBox(args, 0);
  return box != nullptr ? operation(*box) : none;
}

template <class Operation>
std::uint32_t WithScriptBox(const NativeArgs& args, std::uint32_t none, Operation operation) {
  CScriptTextBox* box = widget_args::Of<CScriptTextBox>(args, 0, {CScriptTextBox::kType});
  return box != nullptr ? operation(*box) : none;
}

void WritePoint(const NativeArgs& args, std::int32_t x, std::int32_t y) {
  args.Out(1).Set(Result(x));
  args.Out(2).Set(Result(y));
}

}  // namespace

std::uint32_t NativeSetTextBoxRects(const NativeArgs& args) {
  return MenuOrBox(
      args, 0,
      [&](CListMenu& menu) {
        menu.SetMargins(args.I32(1), args.I32(2), args.I32(3), args.I32(4));
        menu.SetPressedTextShift(args.I32(5), args.I32(6));
        return 1U;
      },
      [&](CTextLayout& box) {
        box.SetLayoutRect(args.I32(1), args.I32(2), args.I32(3), args.I32(4), true);
        box.SetDrawParams(args.I32(5), args.I32(6), args.I32(7), args.I32(8), true);
        return 1U;
      });
}

std::uint32_t NativeSetTextBoxFont(const NativeArgs& args) {
  return MenuOrBox(
      args, kMinusOne,
      [&](CListMenu& menu) {
        menu.SetShowChosen(args.Flag(1));
        return 0U;
      },
      [&](CTextLayout& box) { return Result(box.SetFont(GlyphFont(args, 1), GlyphFont(args, 2), kNoRedraw)); });
}

std::uint32_t NativeSetTextBoxColour(const NativeArgs& args) {
  const std::uint8_t mode = args.U8(1);
  const std::uint32_t colour = args.U32(2);
  const std::uint8_t alpha = args.U8(3);
  return MenuOrBox(
      args, kMinusOne, [&](CListMenu& menu) { return Result(menu.SetSkinColor(mode, colour & 0xFFFFFF, alpha)); },
      [&](CTextLayout& box) { return Result(box.SetBackground(mode, colour, alpha, kNoRedraw)); });
}

std::uint32_t NativeSetTextBoxStyleByte(const NativeArgs& args) {
  const std::uint8_t alpha = args.U8(1);
  return MenuOrBox(
      args, 0,
      [&](CListMenu& menu) {
        menu.SetDragAlpha(alpha);
        return 1U;
      },
      [&](CTextLayout& box) {
        box.SetDragThreshold(alpha);
        return 1U;
      });
}

std::uint32_t NativeRefreshTextBox(const NativeArgs& args) {
  return MenuOrBox(
      args, 0,
      [](CListMenu& menu) {
        menu.RedrawItems();
        return 1U;
      },
      [](CTextLayout& box) {
        box.Refresh(true);
        return 1U;
      });
}

std::uint32_t NativeGetTextBoxCell(const NativeArgs& args) {
  return MenuOrBox(
      args, 0,
      [&](CListMenu& menu) {
        std::int32_t x = 0;
        std::int32_t y = 0;
        const bool inside = menu.GetItemPosition(args.I32(3), x, y);
        WritePoint(args, x, y);
        return inside ? 1U : 0U;
      },
      [&](CTextLayout& box) {
        std::int32_t x = 0;
        std::int32_t y = 0;
        box.GetCellOrigin(&x, &y, args.I32(3), args.I32(4));
        WritePoint(args, x, y);
        return 1U;
      });
}

std::uint32_t NativeSetTextBoxLayout(const NativeArgs& args) {
  return WithBox(args, 0, [&](CTextLayout& box) {
    const CTextLayout::TextFlow flow{.auto_wrap = args.Flag(1),
                                    .line_gap = args.I32(2),
                                    .character_spacing = args.I32(3),
                                    .ruby_band = args.Flag(4),
                                    .ruby_gap = args.I32(5)};
    box.SetTextFlow(flow, true);
    box.SetIndent(args.I32(6));
    return 1U;
  });
}

std::uint32_t NativeSetTextBoxValue(const NativeArgs& args) {
  return WithBox(args, 0, [&](CTextLayout& box) {
    box.SetStoredValue(args.I32(1));
    return 1U;
  });
}

std::uint32_t NativeTextBoxPair(const NativeArgs& args) {
  return WithBox(args, 4, [&](CTextLayout& box) { return box.Recreate(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeLoadTextBoxImages(const NativeArgs& args) {
  return WithBox(args, 9, [&](CTextLayout& box) {
    return Result(box.LoadImages(args.Str(1), args.Str(2), args.Str(3), args.Flag(4)));
  });
}

std::uint32_t NativeLoadTextBoxImages2(const NativeArgs& args) {
  return WithBox(args, 9, [&](CTextLayout& box) {
    auto image = [&](std::uint32_t i) { return GetObjectImage(args.Handle<CImageInterface>(i)); };
    return Result(box.SetImageCopies(image(1), image(2), image(3), args.Flag(4)));
  });
}

std::uint32_t NativeSetTextBoxRegionMap(const NativeArgs& args) {
  return WithBox(args, 2, [&](CTextLayout& box) { return box.EnableRegionMap(args.Flag(1), kNoRedraw); });
}

std::uint32_t NativeSetTextBoxVertical(const NativeArgs& args) {
  return WithBox(args, 5, [&](CTextLayout& box) { return box.SetVertical(args.Flag(1), kNoRedraw); });
}

std::uint32_t NativeSetScriptTextBoxFlag(const NativeArgs& args) {
  return WithScriptBox(args, 0, [&](CScriptTextBox& box) {
    box.SetClickToAdvance(args.Flag(1));
    return 1U;
  });
}

std::uint32_t NativeIsNotScriptTextBox(const NativeArgs& args) {
  return WithScriptBox(args, 1, [](CScriptTextBox&) { return 0U; });
}

std::uint32_t NativeStartTextAnimation(const NativeArgs& args) {
  return WithScriptBox(args, kMinusOne, [&](CScriptTextBox& box) { return box.StartAnimation(args.Flag(1)); });
}

std::uint32_t NativeStartTextBoxPicture(const NativeArgs& args) {
  return WithScriptBox(args, kMinusOne, [](CScriptTextBox& box) { return box.StartPicture(); });
}

std::uint32_t NativeControlTextAnimation(const NativeArgs& args) {
  return WithScriptBox(args, kMinusOne, [&](CScriptTextBox& box) { return box.ControlAnimation(args.U8(1)); });
}

std::uint32_t NativeSetTextBoxPictureSet(const NativeArgs& args) {
  return WithScriptBox(args, 0, [&](CScriptTextBox& box) {
    box.SetPictureSet(ListedResource<CCellSheet>(args, 1, g_CellSheets));
    return 1U;
  });
}

std::uint32_t NativeLinkTextLayout(const NativeArgs& args) {
  return WithScriptBox(args, 1, [&](CScriptTextBox& box) {
    CTextLayout* name_box = widget_args::Of<CTextLayout>(args, 1, {CTextLayoutBase::kType});
    if (name_box == nullptr) return 2U;
    box.SetNameBox(name_box);
    box.SetNameAlignment(args.U8(2));
    return 0U;
  });
}

std::uint32_t NativeLinkCheckButton(const NativeArgs& args) {
  return WithScriptBox(args, 1, [&](CScriptTextBox& box) {
    CCheckButton* button = widget_args::Of<CCheckButton>(args, 1, {CCheckButton::kType});
    if (button == nullptr) return 2U;
    box.SetCompanion(button);
    return 0U;
  });
}

std::uint32_t NativeGetTextBoxByteA(const NativeArgs& args) {
  return WithScriptBox(args, 0, [](CScriptTextBox& box) {
    const CTextAnimTask* animation = box.animation();
    return animation != nullptr ? std::uint32_t{animation->state()} : 0U;
  });
}

std::uint32_t NativeGetTextBoxByteB(const NativeArgs& args) {
  return WithScriptBox(args, 0, [](CScriptTextBox& box) {
    const CTextAnimTask* animation = box.animation();
    return animation != nullptr ? std::uint32_t{static_cast<std::uint8_t>(animation->last_stop())} : 0U;
  });
}

std::uint32_t NativeGetScriptTextBoxText(const NativeArgs& args) {
  return WithScriptBox(args, 0, [&](CScriptTextBox& box) {
    const char* text = box.voice_name();
    const ScriptOut buffer = args.Out(1);
    if (*text == '\0') {
      buffer.Set(0);
      return 0U;
    }
    buffer.SetBytes(text, static_cast<std::uint32_t>(std::strlen(text) + 1));
    return 1U;
  });
}
