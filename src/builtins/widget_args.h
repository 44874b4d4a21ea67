// How the widget built-ins read their arguments: a widget handle resolves to a CGuiElement, and a
// row serves it only when both its type code and its class are the row's (the text-box rows take
// the scripts' text box, type 111, alike). Anything else counts as no widget.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "script/native_args.h"
#include "ui/gui/gui_element.h"

class CFont;
class CFontBase;

namespace widget_args {

inline constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;

inline std::uint32_t Result(std::int32_t value) { return static_cast<std::uint32_t>(value); }

inline bool HasType(const CGuiElement& widget, std::initializer_list<std::int32_t> types) {
  for (const std::int32_t type : types) {
    if (widget.GetType() == type) return true;
  }
  return false;
}

// The widget of args[i] when its class is Widget and its type code is one of `types`.
template <class Widget>
Widget* Of(const NativeArgs& args, std::uint32_t i, std::initializer_list<std::int32_t> types) {
  CGuiElement* element = args.Handle<CGuiElement>(i);
  if (element == nullptr || !HasType(*element, types)) return nullptr;
  return dynamic_cast<Widget*>(element);
}

// The widget's handle in the call's table; 0 for none.
inline std::uint32_t HandleOf(const NativeArgs& args, CGuiElement* widget) {
  return widget != nullptr ? widget->ScriptHandle(args.Handles()) : 0;
}

CFontBase* AnyFont(const NativeArgs& args, std::uint32_t i);
// A font with glyphs of the engine's own (text fields, text boxes and lists take no other).
CFont* GlyphFont(const NativeArgs& args, std::uint32_t i);

}  // namespace widget_args
