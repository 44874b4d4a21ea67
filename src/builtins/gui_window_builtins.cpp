#include "builtins/gui_window_builtins.h"

#include "base/time/millisecond_clock.h"
#include "builtins/widget_args.h"
#include "gfx/display/surface_object_image.h"
#include "scene/drawables/draw_layer.h"
#include "ui/widgets/ime_context.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widgets/list_box.h"
#include "ui/widget_manager/widget_manager.h"

using widget_args::kMinusOne;
using widget_args::Result;

namespace {

CGuiElement* Widget(const NativeArgs& args, std::uint32_t i) { return args.Handle<CGuiElement>(i); }

// Scroll bars and list boxes join and leave a window with their parts.
CBarBase* AsBar(CGuiElement* widget) {
  return widget->GetType() == CBarBase::kType ? dynamic_cast<CBarBase*>(widget) : nullptr;
}
CListBox* AsListBox(CGuiElement* widget) {
  return widget->GetType() == CListBox::kType ? dynamic_cast<CListBox*>(widget) : nullptr;
}

}  // namespace

std::uint32_t NativeSetWidgetLayer(const NativeArgs& args) {
  IDrawLayer* layer = nullptr;
  CImagePart* part = GetObjectImagePartAndLayer(args.Handle<CImageInterface>(0), layer);
  if (part == nullptr) return 1;
  GuiRootWindow().SetTooltipLayer(part);
  g_WidgetManager.SetLayer(dynamic_cast<CDrawLayer*>(layer));
  return 0;
}

std::uint32_t NativeSetGuiRedrawDeferred(const NativeArgs& args) {
  CGuiRootWindow& root = GuiRootWindow();
  root.SetTooltipMode(args.Flag(0), args.U32(1), args.U32(2));
  root.SetScriptValue(args.I32(3));
  return 0;
}

std::uint32_t NativeSetCursorMode(const NativeArgs& args) { return GuiRootWindow().SetCursorMode(args.I32(0)) ? 1 : 0; }

std::uint32_t NativeResetGui(const NativeArgs& /*args*/) {
  GuiRootWindow().Reset();
  return 0;
}

std::uint32_t NativeProcessGuiInput(const NativeArgs& /*args*/) {
  return Result(GuiRootWindow().ProcessInput(ReadMillisecondClock()));
}

std::uint32_t NativeTakeGuiCommand(const NativeArgs& /*args*/) { return Result(GuiRootWindow().TakeCommandId()); }

std::uint32_t NativeSetGuiFocus(const NativeArgs& args) {
  if (args.U32(0) == 0) return Result(GuiRootWindow().SetFocusTo(nullptr));
  CGuiElement* widget = Widget(args, 0);
  // A handle that names no widget names no child either.
  if (widget == nullptr) return Result(CGuiWindow::kNotInList);
  return Result(GuiRootWindow().SetFocusTo(widget));
}

std::uint32_t NativeGetFocusedWidget(const NativeArgs& args) {
  return widget_args::HandleOf(args, GuiRootWindow().GetFocused());
}

std::uint32_t NativeGetHoveredWidget(const NativeArgs& args) {
  return widget_args::HandleOf(args, GuiRootWindow().GetHovered());
}

std::uint32_t NativeDeleteAllWidgets(const NativeArgs& /*args*/) {
  g_WidgetManager.DeleteAll();
  return 0;
}

std::uint32_t NativeSetWidgetManagerFlag(const NativeArgs& args) {
  const bool previous = g_WidgetManager.use_attached_list;
  g_WidgetManager.use_attached_list = args.Flag(0);
  return previous ? 1 : 0;
}

std::uint32_t NativeSetWidgetManagerValue(const NativeArgs& args) {
  g_WidgetManager.group = args.I32(0);
  return 0;
}

std::uint32_t NativeDeleteWidgetGroup(const NativeArgs& args) {
  g_WidgetManager.DeleteGroup(args.I32(0), args.Flag(1));
  return 0;
}

std::uint32_t NativeDeleteWidget(const NativeArgs& args) {
  const std::uint32_t cell = args.U32(0);
  if (cell == 0) return kHandleRefZero;
  const std::uint32_t handle = args.Memory().Word(cell);
  if (handle == 0) return kHandleRefZero;
  CGuiElement* widget = args.Handles().Get<CGuiElement>(handle);
  // The novel frame's own widgets are not the scripts' to delete.
  if (widget == nullptr || !g_WidgetManager.Owns(widget)) return kHandleRefNotFound;
  args.Memory().SetWord(cell, 0);
  return g_WidgetManager.DeleteWidget(widget);
}

std::uint32_t NativeAddWidgetToGui(const NativeArgs& args) {
  CGuiElement* widget = Widget(args, 0);
  if (widget == nullptr) return kMinusOne;
  const std::int32_t index = args.I32(1);
  CGuiRootWindow& root = GuiRootWindow();
  if (CBarBase* bar = AsBar(widget)) return Result(bar->AttachToWindow(&root, index));
  if (CListBox* box = AsListBox(widget)) return Result(box->AttachToWindow(&root, index));
  return root.AddChild(widget, index);
}

std::uint32_t NativeRemoveWidgetFromGui(const NativeArgs& args) {
  CGuiElement* widget = Widget(args, 0);
  if (widget == nullptr) return 0;
  if (CBarBase* bar = AsBar(widget)) return bar->DetachFromWindow() ? 1 : 0;
  if (CListBox* box = AsListBox(widget)) return box->DetachFromWindow() ? 1 : 0;
  GuiRootWindow().RemoveChild(widget);
  return 0;
}

std::uint32_t NativeRemoveAllWidgetsFromGui(const NativeArgs& /*args*/) {
  GuiRootWindow().RemoveAll();
  return 0;
}

std::uint32_t NativeSetImeWindow(const NativeArgs& args) {
  if (g_ImeContext != nullptr) g_ImeContext->SetImeWindow(args.Flag(0));
  return 0;
}

std::uint32_t NativeSetImeModeLabel(const NativeArgs& args) {
  if (args.U32(0) == 0) {
    g_WidgetManager.DeleteImeModeLabel();
    return 0;
  }
  return g_WidgetManager.CreateImeModeLabel(widget_args::GlyphFont(args, 0), args.I32(1), args.I32(2));
}

std::uint32_t NativePushGuiLevel(const NativeArgs& /*args*/) { return GuiRootWindow().PushModalLevel(); }

std::uint32_t NativePopGuiLevel(const NativeArgs& /*args*/) { return GuiRootWindow().PopModalLevel(); }

std::uint32_t NativeSetWidgetDefaults1(const NativeArgs& args) {
  g_WidgetManager.button_face_colour = args.U32(0);
  g_WidgetManager.button_focus_tint = args.U32(1);
  return 0;
}

std::uint32_t NativeSetWidgetDefaults2(const NativeArgs& args) {
  CWidgetManager::TextEntryStyle& style = g_WidgetManager.text_entry;
  style.max_length = args.I32(0);
  style.background = args.U32(1);
  style.text_colour = args.U32(2);
  return 0;
}

std::uint32_t NativeSetWidgetDefaults3(const NativeArgs& args) {
  CWidgetManager::TextEntryStyle& style = g_WidgetManager.text_entry;
  style.composition_capacity = args.I32(0);
  style.composition_background = args.U32(1);
  style.composition_text_colour = args.U32(2);
  return 0;
}

std::uint32_t NativeSetWidgetDefaults4(const NativeArgs& args) {
  g_WidgetManager.bar_style.click_mode = args.U8(0);
  g_WidgetManager.bar_style.step = args.I32(1);
  return 0;
}

std::uint32_t NativeSetWidgetDefaults5(const NativeArgs& args) {
  CWidgetManager::ListBoxStyle& style = g_WidgetManager.list_box_style;
  style.background = args.U32(0);
  style.cursor_colour = args.U32(1);
  style.selection_colour = args.U32(2);
  style.default_icon_state = args.Flag(3) ? 1 : 0;
  return 0;
}
