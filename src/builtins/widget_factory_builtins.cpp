#include "builtins/widget_factory_builtins.h"

#include "base/time/timer_manager.h"
#include "builtins/widget_args.h"
#include "gfx/display/surface_object_image.h"
#include "novel/text/text_printer.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/list_box.h"
#include "ui/widgets/scroll_bar.h"

using widget_args::GlyphFont;
using widget_args::kMinusOne;

namespace {

constexpr std::uint8_t kDefaultBlendMode = 2;
constexpr std::uint8_t kOpaque = 255;

bool Absent(const NativeArgs& args, std::uint32_t i) { return args.U32(i) == kAbsentArgumentGroup; }
bool AbsentMinusOne(const NativeArgs& args, std::uint32_t i) { return args.U32(i) == kMinusOne; }

// The handle of the widget a factory made; 0 when it failed.
template <class Make>
std::uint32_t Created(const NativeArgs& args, Make make) {
  CGuiElement* widget = nullptr;
  if (make(&widget) != 0) return 0;
  return widget_args::HandleOf(args, widget);
}

CCheckButton* Leader(const NativeArgs& args, std::uint32_t i) {
  return widget_args::Of<CCheckButton>(args, i, {CCheckButton::kType});
}

// The words of an image or check button from its switch word on: disabled frames, the pressed
// frame (image buttons) or the group leader (check buttons), blend mode, the key pixel (rows made
// from a file) and priority.
struct ButtonWords {
  bool disabled_frames = false;
  bool pressed_frame = true;
  CCheckButton* leader = nullptr;
  std::uint8_t blend_mode = kDefaultBlendMode;
  std::int32_t key_x = -1;
  std::int32_t key_y = -1;
  std::uint32_t priority = 0;
};

enum class ButtonKind { kImage, kCheck };

ButtonWords ReadButtonWords(const NativeArgs& args, std::uint32_t at, ButtonKind kind, bool with_key) {
  ButtonWords words;
  if (Absent(args, at)) return words;
  words.disabled_frames = args.Flag(at);
  if (kind == ButtonKind::kImage) {
    words.pressed_frame = args.Flag(at + 1);
  } else {
    words.leader = Leader(args, at + 1);
  }
  words.blend_mode = args.U8(at + 2);
  std::uint32_t next = at + 3;
  if (with_key) {
    words.key_x = args.I32(next++);
    words.key_y = args.I32(next++);
  }
  words.priority = args.U32(next);
  return words;
}

}  // namespace

std::uint32_t NativeCreateLabelButton(const NativeArgs& args) {
  bool disabled_frame = false;
  const char* text = nullptr;
  CFontBase* font = nullptr;
  std::uint32_t priority = 0;
  if (!Absent(args, 4)) {
    disabled_frame = args.Flag(4);
    text = args.Str(5);
    font = widget_args::AnyFont(args, 6);
    priority = args.U32(7);
  }
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateLabelButton(out, args.I32(0), args.I32(1), args.I32(2), args.I32(3), disabled_frame,
                                             text, font, priority);
  });
}

std::uint32_t NativeCreateImageButton(const NativeArgs& args) {
  const char* file = args.Str(2);
  const ButtonWords words = ReadButtonWords(args, 3, ButtonKind::kImage, true);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateImageButton(out, args.I32(0), args.I32(1), file, words.disabled_frames,
                                             words.pressed_frame, words.blend_mode, kOpaque, words.key_x, words.key_y,
                                             words.priority);
  });
}

std::uint32_t NativeCreateImageButtonFromObject(const NativeArgs& args) {
  CImage* image = GetObjectImage(args.Handle<CImageInterface>(2));
  if (image == nullptr) return kMinusOne;
  const ButtonWords words = ReadButtonWords(args, 3, ButtonKind::kImage, false);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateImageButtonFromImage(out, args.I32(0), args.I32(1), image, words.disabled_frames,
                                                      words.pressed_frame, words.blend_mode, kOpaque, words.priority);
  });
}

std::uint32_t NativeCreateCheckButton(const NativeArgs& args) {
  const char* file = args.Str(2);
  const std::uint8_t kind = args.U8(3);
  const ButtonWords words = ReadButtonWords(args, 4, ButtonKind::kCheck, true);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateCheckButton(out, args.I32(0), args.I32(1), file, kind, words.disabled_frames,
                                             words.leader, words.blend_mode, kOpaque, words.key_x, words.key_y,
                                             words.priority);
  });
}

std::uint32_t NativeCreateCheckButtonFromObject(const NativeArgs& args) {
  CImage* image = GetObjectImage(args.Handle<CImageInterface>(2));
  if (image == nullptr) return kMinusOne;
  const std::uint8_t kind = args.U8(3);
  const ButtonWords words = ReadButtonWords(args, 4, ButtonKind::kCheck, false);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateCheckButtonFromImage(out, args.I32(0), args.I32(1), image, kind,
                                                      words.disabled_frames, words.leader, words.blend_mode, kOpaque,
                                                      words.priority);
  });
}

std::uint32_t NativeCreatePushButton(const NativeArgs& args) {
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreatePushButton(out, args.I32(0), args.I32(1), args.I32(2), args.I32(3), args.U32(4),
                                            args.U32(5), args.U32(6), args.U32(7));
  });
}

std::uint32_t NativeCreateTextEdit(const NativeArgs& args) {
  std::int32_t margin = 2;
  bool frame = true;
  std::uint32_t priority = 0;
  if (!Absent(args, 4)) {
    margin = args.I32(4);
    frame = args.Flag(5);
    priority = args.U32(6);
  }
  CFont* font = GlyphFont(args, 2);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateTextEdit(out, args.I32(0), args.I32(1), font, args.I32(3), margin, frame, priority);
  });
}

std::uint32_t NativeCreateTextEditEx(const NativeArgs& args) {
  std::int32_t margin = 2;
  std::int32_t line_spacing = 2;
  bool frame = true;
  std::uint32_t priority = 0;
  if (!Absent(args, 5)) {
    margin = args.I32(5);
    line_spacing = args.I32(6);
    frame = args.Flag(7);
    priority = args.U32(8);
  }
  CFont* font = GlyphFont(args, 2);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateTextEditEx(out, args.I32(0), args.I32(1), font, args.I32(3), args.I32(4), margin,
                                            line_spacing, frame, priority);
  });
}

namespace {

// Bars made by the scripts report their changes to the root window as commands.
std::uint32_t LinkedBar(const NativeArgs& args, std::uint32_t handle) {
  if (auto* bar = dynamic_cast<CBarBase*>(args.Handles().Get<CGuiElement>(handle))) {
    bar->SetListener(&GuiRootWindow().GetCommandListener());
  }
  return handle;
}

}  // namespace

std::uint32_t NativeCreateScrollBar(const NativeArgs& args) {
  struct Look {
    std::int32_t thickness = 16;
    std::uint32_t face = 0xD4D0C8;
    std::uint32_t track = 0xE2DFDA;
    std::uint32_t hover = 0x400080FF;
    std::uint32_t pressed = 0x4000FF80;
    std::uint32_t glyph = 0;
    std::uint32_t priority = 0;
  } look;
  if (!Absent(args, 3)) {
    look = {args.I32(3), args.U32(4), args.U32(5), args.U32(6), args.U32(7), args.U32(8), args.U32(9)};
  }
  const std::uint32_t handle = Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateScrollBar(out, args.I32(0), args.I32(1), args.Flag(2), look.thickness, look.face,
                                           look.track, look.hover, look.pressed, look.glyph, look.priority);
  });
  return LinkedBar(args, handle);
}

std::uint32_t NativeCreateScrollBarEx(const NativeArgs& args) {
  CScrollBar::Files files;
  files.thumb = args.Str(4);
  // The bar's switches lie where an image button's do: disabled frame, then vertical.
  ButtonWords words;
  if (!Absent(args, 5)) {
    files.thumb_start_cap = args.I32(5);
    files.thumb_end_cap = args.I32(6);
    files.track = args.Str(7);
    files.track_start_cap = args.I32(8);
    files.track_end_cap = args.I32(9);
    files.back_arrow = args.Str(10);
    files.forward_arrow = args.Str(11);
    words = ReadButtonWords(args, 12, ButtonKind::kImage, true);
  }
  const std::uint32_t handle = Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateScrollBarEx(out, args.I32(0), args.I32(1), args.I32(2), args.I32(3), files,
                                             words.disabled_frames, words.pressed_frame, words.blend_mode, kOpaque,
                                             words.key_x, words.key_y, words.priority);
  });
  return LinkedBar(args, handle);
}

namespace {

// The tail of the text boxes' rows after their -1 switch: ruby font, three pictures, priority.
struct TextBoxTail {
  CFont* ruby_font = nullptr;
  const char* frame = nullptr;
  const char* mask = nullptr;
  const char* second_mask = nullptr;
  std::uint32_t priority = 0;
};

TextBoxTail ReadTextBoxTail(const NativeArgs& args) {
  if (AbsentMinusOne(args, 5)) return {};
  return {GlyphFont(args, 5), args.Str(6), args.Str(7), args.Str(8), args.U32(9)};
}

}  // namespace

std::uint32_t NativeCreateTextLayout(const NativeArgs& args) {
  const TextBoxTail tail = ReadTextBoxTail(args);
  CFont* font = GlyphFont(args, 4);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateTextLayout(out, args.I32(0), args.I32(1), args.I32(2), args.I32(3), font,
                                            tail.ruby_font, tail.frame, tail.mask, tail.second_mask, tail.priority);
  });
}

std::uint32_t NativeCreateScriptTextBox(const NativeArgs& args) {
  const TextBoxTail tail = ReadTextBoxTail(args);
  CFont* font = GlyphFont(args, 4);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateScriptTextBox(out, g_TextPrinter, g_PausableTimerManager, args.I32(0), args.I32(1),
                                               args.I32(2), args.I32(3), font, tail.ruby_font, tail.frame, tail.mask,
                                               tail.second_mask, tail.priority);
  });
}

std::uint32_t NativeCreateListMenu(const NativeArgs& args) {
  CFont* font = GlyphFont(args, 5);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateListMenu(out, args.I32(0), args.I32(1), args.I32(2), args.I32(3), args.I32(4), font,
                                          args.U32(6));
  });
}

std::uint32_t NativeCreateClickArea(const NativeArgs& args) {
  std::int32_t hot_x = -1;
  std::int32_t hot_y = -1;
  bool hit_testable = false;
  bool clickable = false;
  if (!AbsentMinusOne(args, 4)) {
    hot_x = args.I32(4);
    hot_y = args.I32(5);
    hit_testable = args.Flag(6);
    clickable = args.Flag(7);
  }
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateClickArea(out, args.I32(0), args.I32(1), args.I32(2), args.I32(3), hot_x, hot_y,
                                           hit_testable, clickable);
  });
}

std::uint32_t NativeCreateListBox(const NativeArgs& args) {
  CListBox::Setup setup;
  setup.font = widget_args::AnyFont(args, 2);
  setup.height = args.I32(3);
  setup.width = args.I32(4);
  setup.x = args.I32(0);
  setup.y = args.I32(1);
  setup.thumb_file = args.Str(5);
  setup.thumb_start_cap = args.I32(6);
  setup.thumb_end_cap = args.I32(7);
  setup.scroll_bar_length = args.I32(8);
  setup.scroll_bar_x = args.I32(9);
  setup.scroll_bar_y = args.I32(10);
  setup.blend_mode = kDefaultBlendMode;
  setup.row_gap = 3;
  if (!Absent(args, 11)) {
    setup.blend_mode = args.U8(11);
    setup.icon_file = args.Str(12);
    setup.row_gap = args.I32(13);
    setup.priority = args.U32(14);
  }
  return Created(args, [&](CGuiElement** out) { return g_WidgetManager.CreateListBox(out, setup); });
}

std::uint32_t NativeCreateChoiceButton(const NativeArgs& args) {
  const char* map_file = args.Str(0);
  return Created(args, [&](CGuiElement** out) {
    return g_WidgetManager.CreateChoiceButton(out, map_file, args.U8(1), args.I32(2), args.I32(3), args.Flag(4));
  });
}
