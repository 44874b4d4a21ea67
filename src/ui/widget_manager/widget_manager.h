// The owner of every widget the scripts make: one factory per widget kind, the style values each
// factory copies into a new widget, the draw layer whose lists receive the widgets' faces, the
// group number stamped on new widgets, and the one input-mode label that every text field
// shares. A widget made here joins no window; deleting it takes it out of the window it sits in.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "base/lifetime/watched_ptr.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "ui/widgets/list_box.h"
#include "ui/widgets/scroll_bar.h"

class CCheckButton;
class CDrawable;
class CFont;
class CFontBase;
class CGuiElement;
class CImage;
class CImeContext;
class CImeModeLabel;
class CTextEdit;
class CTimerManager;
class IMessageText;

class CWidgetManager {
 public:
  // Factory result when the widget cannot be allocated.
  static constexpr int32_t kNoMemory = -2;
  // DeleteWidget results.
  static constexpr uint32_t kNullWidget = 1;
  static constexpr uint32_t kNotManaged = 2;
  // CreateImeModeLabel without a layer.
  static constexpr uint32_t kNoLayer = 1;
  // What the per-type operations answer for a widget they do not serve.
  static constexpr int32_t kNotServed = -1;

  struct TextEntryStyle {
    int32_t max_length = 255;
    uint32_t background = 0xC0C0DCC0;
    uint32_t text_colour = 0;
    // New fields take only two-byte characters.
    uint8_t double_byte_only = 0;
    int32_t composition_capacity = 0;
    uint32_t composition_background = 0xFFFFFFFF;
    uint32_t composition_text_colour = 0xFFFFFFFF;
  };
  // Copied into scroll bars and list boxes.
  struct BarStyle {
    uint8_t page_back_action = 0;
    uint8_t page_forward_action = 0;
    uint8_t click_mode = 0;
    int32_t step = 0;
  };
  struct ListBoxStyle {
    uint32_t background = CListBox::kDefaultBackground;
    uint32_t cursor_colour = CListBox::kDefaultCursorColour;
    uint32_t selection_colour = CListBox::kDefaultSelectionColour;
    uint8_t default_icon_state = 1;
  };

  CWidgetManager();
  CWidgetManager(const CWidgetManager&) = delete;
  CWidgetManager& operator=(const CWidgetManager&) = delete;
  ~CWidgetManager();

  // Every factory sets *out to null first, and to the widget once it is made and listed. The
  // result: 0, kNoMemory, or the widget's own create status (the widget is then deleted).
  int32_t CreateLabelButton(CGuiElement** out, int32_t x, int32_t y, int32_t width, int32_t height,
                            bool has_disabled_frame, const char* text, CFontBase* font, uint32_t priority);
  int32_t CreateImageButton(CGuiElement** out, int32_t x, int32_t y, const char* file_name, bool has_disabled_frame,
                            bool has_pressed_frame, uint8_t blend_mode, uint8_t opacity, int32_t key, int32_t key_y,
                            uint32_t priority);
  int32_t CreateImageButtonFromImage(CGuiElement** out, int32_t x, int32_t y, CImage* image, bool has_disabled_frame,
                                     bool has_pressed_frame, uint8_t blend_mode, uint8_t opacity, uint32_t priority);
  int32_t CreateCheckButton(CGuiElement** out, int32_t x, int32_t y, const char* file_name, uint8_t kind,
                            bool has_disabled_frames, CCheckButton* leader, uint8_t blend_mode, uint8_t opacity,
                            int32_t key, int32_t key_y, uint32_t priority);
  int32_t CreateCheckButtonFromImage(CGuiElement** out, int32_t x, int32_t y, CImage* image, uint8_t kind,
                                     bool has_disabled_frames, CCheckButton* leader, uint8_t blend_mode,
                                     uint8_t opacity, uint32_t priority);
  int32_t CreatePushButton(CGuiElement** out, int32_t x, int32_t y, int32_t width, int32_t height,
                           uint32_t normal_colour, uint32_t hot_colour, uint32_t pressed_colour, uint32_t priority);
  int32_t CreateTextEdit(CGuiElement** out, int32_t x, int32_t y, CFont* font, int32_t width, int32_t margin,
                         bool frame, uint32_t priority);
  int32_t CreateTextEditEx(CGuiElement** out, int32_t x, int32_t y, CFont* font, int32_t lines, int32_t line_length,
                           int32_t margin, int32_t line_spacing, bool frame, uint32_t priority);
  int32_t CreateScrollBar(CGuiElement** out, int32_t x, int32_t y, bool vertical, int32_t thickness,
                          uint32_t face_colour, uint32_t track_colour, uint32_t hover_colour, uint32_t pressed_colour,
                          uint32_t glyph_colour, uint32_t priority);
  int32_t CreateScrollBarEx(CGuiElement** out, int32_t x, int32_t y, int32_t inset_x, int32_t inset_y,
                            const CScrollBar::Files& files, bool disabled_frame, bool vertical, uint8_t blend_mode,
                            uint8_t opacity, int32_t key_x, int32_t key_y, uint32_t priority);
  // Background pictures named (any of the three) are loaded before the box is made.
  int32_t CreateTextLayout(CGuiElement** out, int32_t x, int32_t y, int32_t width, int32_t height, CFont* font,
                           CFont* ruby_font, const char* frame_file, const char* mask_file,
                           const char* second_mask_file, uint32_t priority);
  int32_t CreateScriptTextBox(CGuiElement** out, IMessageText* message, CTimerManager* timers, int32_t x, int32_t y,
                              int32_t width, int32_t height, CFont* font, CFont* ruby_font, const char* frame_file,
                              const char* mask_file, const char* second_mask_file, uint32_t priority);
  int32_t CreateListMenu(CGuiElement** out, int32_t x, int32_t y, int32_t plain_width, int32_t plain_height,
                         int32_t item_gap, CFont* font, uint32_t priority);
  int32_t CreateClickArea(CGuiElement** out, int32_t x, int32_t y, int32_t width, int32_t height, int32_t hot_x,
                          int32_t hot_y, bool hit_testable, bool clickable);
  // The set-up's list and group are the manager's; the rest is the caller's, priority included.
  int32_t CreateListBox(CGuiElement** out, CListBox::Setup setup);
  int32_t CreateChoiceButton(CGuiElement** out, const char* map_file, uint8_t item_count, int32_t x, int32_t y,
                             bool can_fire);

  // Keeps the layer and its own and attached lists as they are now (null clears them).
  void SetLayer(CDrawLayer* layer);
  CDrawLayer* GetLayer() const { return layer_; }
  // 0 deleted; kNullWidget; kNotManaged.
  uint32_t DeleteWidget(CGuiElement* widget);
  // The widgets of the group, or with `invert` every widget of another group.
  void DeleteGroup(int32_t group, bool invert);
  void DeleteAll();
  size_t GetCount() const { return widgets_.size(); }
  bool Owns(const CGuiElement* widget) const;

  // 0; kNoLayer; else the label's create status (the fields then have no label). A label of the
  // same font only moves.
  uint32_t CreateImeModeLabel(CFont* font, int32_t x, int32_t y);
  // The text fields let go of the label before it goes.
  void DeleteImeModeLabel();
  CImeModeLabel* GetImeModeLabel() const { return mode_label_.get(); }

  // The drawable that shows the widget (for a list: an item's, or with index -1 or -2 the
  // header's or footer's); null for a widget without one.
  CDrawable* GetWidgetSprite(CGuiElement* widget, int32_t index) const;
  CImage* GetWidgetImage(CGuiElement* widget, int32_t index) const;
  // Check buttons: checked (the change as 0 or 1); text fields: `text`; bars: the value; text
  // boxes: `text` appended, one new line per CR, LF or CR LF (0); list boxes: the selection;
  // choice buttons: the choice. kNotServed for other widgets and null.
  int32_t SetWidgetValue(CGuiElement* widget, int32_t value, const char* text) const;
  // Check buttons 1 while checked; text fields 0 with *text the field's text; bars, lists, list
  // boxes and choice buttons their value or selection; text boxes the value stored in them, or
  // kNotServed while none is; kNotServed otherwise.
  int32_t GetWidgetValue(CGuiElement* widget, const char** text) const;
  // Image and check buttons and bars: 0; kNotServed otherwise.
  int32_t SetWidgetRectHit(CGuiElement* widget, bool on) const;
  // Check buttons, text fields, text boxes, lists and choice buttons: 0; kNotServed otherwise.
  int32_t SetWidgetLocked(CGuiElement* widget, bool locked) const;

  // What the script host hands over: the timer manager of the caret tasks and the input method.
  CTimerManager* timer_manager = nullptr;
  CImeContext* ime_context = nullptr;
  int32_t group = 0;
  // New widgets draw into the layer's attached list instead of its own.
  bool use_attached_list = false;
  uint32_t button_face_colour;
  uint32_t button_focus_tint;
  TextEntryStyle text_entry;
  BarStyle bar_style;
  ListBoxStyle list_box_style;

 private:
  CDrawList* DrawList() const { return use_attached_list ? attached_list_ : own_list_; }
  // Allocates a widget from `args`, runs `build` on it (its create status) and lists it when
  // that is 0; a failed widget is deleted.
  template <class Widget, class Build, class... Args>
  int32_t Make(CGuiElement** out, Build build, Args... args);
  // The scripts' text boxes let go of the widgets about to be deleted, which they may show their
  // speaker's name in or skip by.
  void ForgetLinks(const CGuiElement* doomed) const;
  template <class Doomed>
  void ForgetLinksWhere(Doomed doomed) const;
  // Hands the current label (or none) to every text field.
  void ShareModeLabel();
  // The text-entry style before a field is made, and what it takes after.
  void StyleTextEntry(CTextEdit& field) const;
  void FinishTextEntry(CTextEdit& field) const;
  void StyleBar(CBarBase& bar) const;

  std::list<std::unique_ptr<CGuiElement>> widgets_;
  // Null once the canvas of the layer ends: widgets made later have no layer until one is set.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
  WatchedPtr<CDrawList, IDrawList> own_list_;
  WatchedPtr<CDrawList, IDrawList> attached_list_;
  std::unique_ptr<CImeModeLabel> mode_label_;
};

extern CWidgetManager g_WidgetManager;
