#include "builtins/widget_property_builtins.h"

#include "builtins/row_text_export.h"
#include "builtins/widget_args.h"
#include "gfx/images/image.h"
#include "scene/drawables/drawable.h"
#include "ui/gui/widget_action.h"
#include "ui/text_objects/text_layout_base.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/bar_base.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/choice_button.h"
#include "ui/widgets/click_area.h"
#include "ui/widgets/image_button_base.h"
#include "ui/widgets/ime_edit_base.h"
#include "ui/widgets/list_part.h"

using widget_args::kMinusOne;
using widget_args::Result;

namespace {

// Runs `operation` on the widget of args[0]; `none` without one.
template <class Operation>
std::uint32_t WithWidget(const NativeArgs& args, std::uint32_t none, Operation operation) {
  CGuiElement* widget = args.Handle<CGuiElement>(0);
  return widget != nullptr ? operation(*widget) : none;
}

// The action record of buttons and click areas with nothing but its three sounds.
CWidgetAction::Setup SoundsOnly(std::int32_t decide, std::int32_t enter, std::int32_t leave) {
  CWidgetAction::Setup setup;
  setup.decide_id = decide;
  setup.enter_id = enter;
  setup.leave_id = leave;
  return setup;
}

// 0 when the widget's kind has an action and took the sounds; 1 otherwise.
std::uint32_t SetSounds(CGuiElement& widget, std::int32_t decide, std::int32_t enter, std::int32_t leave) {
  switch (widget.GetType()) {
    case 0:
    case 2:
      if (auto* button = dynamic_cast<CImageButtonBase*>(&widget)) {
        button->SetAction(SoundsOnly(decide, enter, leave));
        return 0;
      }
      return 1;
    case CCheckButton::kType:
      if (auto* button = dynamic_cast<CCheckButton*>(&widget)) {
        button->SetAction(SoundsOnly(decide, enter, leave));
        return 0;
      }
      return 1;
    case CClickArea::kType:
      if (auto* area = dynamic_cast<CClickArea*>(&widget)) {
        area->SetAction(SoundsOnly(decide, enter, leave));
        return 0;
      }
      return 1;
    case CBarBase::kType:
      if (auto* bar = dynamic_cast<CBarBase*>(&widget)) {
        bar->SetSounds(nullptr, nullptr, nullptr, decide, enter, leave);
        return 0;
      }
      return 1;
    case CListPart::kType:
      if (auto* list = dynamic_cast<CListPart*>(&widget)) {
        list->SetSounds(nullptr, nullptr, nullptr, decide, enter, leave);
        return 0;
      }
      return 1;
    case CChoiceButton::kType:
      if (auto* button = dynamic_cast<CChoiceButton*>(&widget)) {
        button->SetSounds(nullptr, nullptr, nullptr, decide, enter, leave);
        return 0;
      }
      return 1;
    default:
      return 1;
  }
}

// Text fields and text boxes take their value as a text.
bool TakesText(const CGuiElement& widget) {
  return widget.GetType() == CImeEditBase::kType || widget.GetType() == CTextLayoutBase::kType;
}

}  // namespace

std::uint32_t NativeSetWidgetId(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    widget.SetId(args.I32(1));
    return 1U;
  });
}

std::uint32_t NativeSetWidgetText(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    widget.SetText(args.Str(1));
    return 1U;
  });
}

std::uint32_t NativeSetWidgetBounds(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    widget.SetNeighbours(args.Handle<CGuiElement>(1), args.Handle<CGuiElement>(2), args.Handle<CGuiElement>(3),
                         args.Handle<CGuiElement>(4));
    return 1U;
  });
}

std::uint32_t NativeSetWidgetAction(const NativeArgs& args) {
  return WithWidget(args, kMinusOne,
                    [&](CGuiElement& widget) { return SetSounds(widget, args.I32(1), args.I32(2), args.I32(3)); });
}

std::uint32_t NativeSetWidgetEnabled(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) { return widget.SetEnabled(args.Flag(1)) ? 1U : 0U; });
}

std::uint32_t NativeIsWidgetEnabled(const NativeArgs& args) {
  return WithWidget(args, 0, [](CGuiElement& widget) { return widget.IsEnabled() ? 1U : 0U; });
}

std::uint32_t NativeSetWidgetActive(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    widget.SetActive(args.Flag(1));
    return 1U;
  });
}

std::uint32_t NativeIsWidgetActive(const NativeArgs& args) {
  return WithWidget(args, 0, [](CGuiElement& widget) { return widget.IsActive() ? 1U : 0U; });
}

std::uint32_t NativeSetWidgetPosition(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    widget.SetPosition(args.I32(1), args.I32(2));
    return 0U;
  });
}

std::uint32_t NativeSetWidgetPriority(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    widget.SetPriority(args.U32(1), 0, 1);
    return 0U;
  });
}

std::uint32_t NativeSetWidgetVisible(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    widget.SetOpacity(args.U8(1));
    return 0U;
  });
}

std::uint32_t NativeGetWidgetWidth(const NativeArgs& args) {
  return WithWidget(args, 0, [](CGuiElement& widget) { return Result(widget.GetWidth()); });
}

std::uint32_t NativeGetWidgetHeight(const NativeArgs& args) {
  return WithWidget(args, 0, [](CGuiElement& widget) { return Result(widget.GetHeight()); });
}

std::uint32_t NativeGetWidgetSprite(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    CDrawable* drawable = g_WidgetManager.GetWidgetSprite(&widget, args.I32(1));
    return drawable != nullptr ? drawable->ScriptHandle(args.Handles()) : 0U;
  });
}

std::uint32_t NativeGetWidgetImage(const NativeArgs& args) {
  return WithWidget(args, 0, [&](CGuiElement& widget) {
    CImage* image = g_WidgetManager.GetWidgetImage(&widget, args.I32(1));
    return image != nullptr ? image->ScriptHandle(args.Handles()) : 0U;
  });
}

std::uint32_t NativeSetWidgetValue(const NativeArgs& args) {
  return WithWidget(args, kMinusOne, [&](CGuiElement& widget) {
    if (TakesText(widget)) return Result(g_WidgetManager.SetWidgetValue(&widget, 0, args.Str(1)));
    return Result(g_WidgetManager.SetWidgetValue(&widget, args.I32(1), nullptr));
  });
}

std::uint32_t NativeGetWidgetValue(const NativeArgs& args) {
  return WithWidget(args, kMinusOne, [&](CGuiElement& widget) {
    const char* text = nullptr;
    const std::int32_t value = g_WidgetManager.GetWidgetValue(&widget, &text);
    if (text == nullptr) return Result(value);
    // A text field's text, readable at its address until this row hands out the next one.
    static RowTextExport field_text;
    return field_text.Export(args.Memory(), text);
  });
}

std::uint32_t NativeSetWidgetOption(const NativeArgs& args) {
  return WithWidget(args, kMinusOne,
                    [&](CGuiElement& widget) { return Result(g_WidgetManager.SetWidgetRectHit(&widget, args.Flag(1))); });
}

std::uint32_t NativeSetWidgetSwitch(const NativeArgs& args) {
  return WithWidget(args, kMinusOne,
                    [&](CGuiElement& widget) { return Result(g_WidgetManager.SetWidgetLocked(&widget, args.Flag(1))); });
}
