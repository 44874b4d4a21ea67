#include "ui/widget_manager/widget_manager.h"

#include <new>
#include <utility>

#include "scene/drawables/draw_layer.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/choice_button.h"
#include "ui/widgets/click_area.h"
#include "ui/widgets/ime_edit_base.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/ime_mode_label.h"
#include "ui/widgets/list_menu.h"
#include "ui/widgets/push_button.h"
#include "ui/dialogs/script_text_box.h"
#include "ui/widgets/text_edit.h"
#include "ui/text_objects/text_layout.h"

namespace {

bool NamesAny(const char* a, const char* b, const char* c) { return a != nullptr || b != nullptr || c != nullptr; }

}  // namespace

CWidgetManager::CWidgetManager()
    : button_face_colour(CImageButton::kDefaultFaceColour), button_focus_tint(CImageButton::kDefaultFocusTint) {}

CWidgetManager::~CWidgetManager() {
  DeleteAll();
  DeleteImeModeLabel();
}

template <class Widget, class Build, class... Args>
int32_t CWidgetManager::Make(CGuiElement** out, Build build, Args... args) {
  if (out != nullptr) *out = nullptr;
  std::unique_ptr<Widget> widget(new (std::nothrow) Widget(args...));
  if (widget == nullptr) return kNoMemory;
  const int32_t status = static_cast<int32_t>(build(*widget));
  if (status != 0) return status;
  if (out != nullptr) *out = widget.get();
  widgets_.push_back(std::move(widget));
  return 0;
}

int32_t CWidgetManager::CreateLabelButton(CGuiElement** out, int32_t x, int32_t y, int32_t width, int32_t height,
                                          bool has_disabled_frame, const char* text, CFontBase* font,
                                          uint32_t priority) {
  return Make<CImageButton>(out, [&](CImageButton& button) {
    button.SetFaceColours(button_face_colour, button_focus_tint);
    return button.Create(DrawList(), priority, text, font, x, y, width, height, has_disabled_frame, group);
  });
}

int32_t CWidgetManager::CreateImageButton(CGuiElement** out, int32_t x, int32_t y, const char* file_name,
                                          bool has_disabled_frame, bool has_pressed_frame, uint8_t blend_mode,
                                          uint8_t opacity, int32_t key, int32_t key_y, uint32_t priority) {
  return Make<CImageButton>(out, [&](CImageButton& button) {
    return button.CreateFromFile(DrawList(), priority, file_name, has_disabled_frame, has_pressed_frame, x, y,
                                 blend_mode, opacity, key, key_y, group);
  });
}

int32_t CWidgetManager::CreateImageButtonFromImage(CGuiElement** out, int32_t x, int32_t y, CImage* image,
                                                   bool has_disabled_frame, bool has_pressed_frame,
                                                   uint8_t blend_mode, uint8_t opacity, uint32_t priority) {
  return Make<CImageButton>(out, [&](CImageButton& button) {
    return button.CreateFromImage(DrawList(), priority, image, has_disabled_frame, has_pressed_frame, x, y,
                                  blend_mode, opacity, group);
  });
}

int32_t CWidgetManager::CreateCheckButton(CGuiElement** out, int32_t x, int32_t y, const char* file_name,
                                          uint8_t kind, bool has_disabled_frames, CCheckButton* leader,
                                          uint8_t blend_mode, uint8_t opacity, int32_t key, int32_t key_y,
                                          uint32_t priority) {
  return Make<CCheckButton>(out, [&](CCheckButton& button) {
    return button.CreateFromFile(DrawList(), priority, nullptr, file_name, kind, has_disabled_frames, leader, x, y,
                                 blend_mode, opacity, key, key_y, group);
  });
}

int32_t CWidgetManager::CreateCheckButtonFromImage(CGuiElement** out, int32_t x, int32_t y, CImage* image,
                                                   uint8_t kind, bool has_disabled_frames, CCheckButton* leader,
                                                   uint8_t blend_mode, uint8_t opacity, uint32_t priority) {
  return Make<CCheckButton>(out, [&](CCheckButton& button) {
    return button.CreateFromImage(DrawList(), priority, nullptr, image, kind, has_disabled_frames, leader, x, y,
                                  blend_mode, opacity, group);
  });
}

int32_t CWidgetManager::CreatePushButton(CGuiElement** out, int32_t x, int32_t y, int32_t width, int32_t height,
                                         uint32_t normal_colour, uint32_t hot_colour, uint32_t pressed_colour,
                                         uint32_t priority) {
  return Make<CPushButton>(out, [&](CPushButton& button) {
    return button.Create(DrawList(), priority, x, y, width, height, normal_colour, hot_colour, pressed_colour, group);
  });
}

int32_t CWidgetManager::CreateTextEdit(CGuiElement** out, int32_t x, int32_t y, CFont* font, int32_t width,
                                       int32_t margin, bool frame, uint32_t priority) {
  return Make<CTextEdit>(out, [&](CTextEdit& field) {
    StyleTextEntry(field);
    const uint32_t status = field.CreateSingleLine(DrawList(), priority, timer_manager, ime_context, font, width,
                                                   nullptr, x, y, margin, frame, static_cast<uint32_t>(group));
    if (status == 0) FinishTextEntry(field);
    return status;
  });
}

int32_t CWidgetManager::CreateTextEditEx(CGuiElement** out, int32_t x, int32_t y, CFont* font, int32_t lines,
                                         int32_t line_length, int32_t margin, int32_t line_spacing, bool frame,
                                         uint32_t priority) {
  return Make<CTextEdit>(out, [&](CTextEdit& field) {
    StyleTextEntry(field);
    const uint32_t status =
        field.CreateMultiLine(DrawList(), priority, timer_manager, ime_context, font, lines, line_length, nullptr, x, y,
                              margin, line_spacing, frame, static_cast<uint32_t>(group));
    if (status == 0) FinishTextEntry(field);
    return status;
  });
}

void CWidgetManager::StyleTextEntry(CTextEdit& field) const {
  field.SetMaxLength(text_entry.max_length);
  field.SetColours(text_entry.background, text_entry.text_colour);
  field.SetCompositionStyle(text_entry.composition_capacity, text_entry.composition_background,
                            text_entry.composition_text_colour);
}

void CWidgetManager::FinishTextEntry(CTextEdit& field) const {
  if (mode_label_ != nullptr) field.SetModeLabel(mode_label_.get());
  field.SetDoubleByteOnly(text_entry.double_byte_only != 0);
}

void CWidgetManager::StyleBar(CBarBase& bar) const {
  bar.SetPageActions(bar_style.page_back_action, bar_style.page_forward_action);
  bar.SetClickMode(bar_style.click_mode);
  bar.SetStep(bar_style.step);
}

int32_t CWidgetManager::CreateScrollBar(CGuiElement** out, int32_t x, int32_t y, bool vertical, int32_t thickness,
                                        uint32_t face_colour, uint32_t track_colour, uint32_t hover_colour,
                                        uint32_t pressed_colour, uint32_t glyph_colour, uint32_t priority) {
  return Make<CScrollBar>(out, [&](CScrollBar& bar) {
    const int32_t status = bar.CreatePlain(DrawList(), priority, x, y, vertical, thickness, face_colour, track_colour,
                                           hover_colour, pressed_colour, glyph_colour, group);
    if (status == 0) StyleBar(bar);
    return status;
  });
}

int32_t CWidgetManager::CreateScrollBarEx(CGuiElement** out, int32_t x, int32_t y, int32_t inset_x, int32_t inset_y,
                                          const CScrollBar::Files& files, bool disabled_frame, bool vertical,
                                          uint8_t blend_mode, uint8_t opacity, int32_t key_x, int32_t key_y,
                                          uint32_t priority) {
  return Make<CScrollBar>(out, [&](CScrollBar& bar) {
    const int32_t status = bar.CreateFromFiles(DrawList(), priority, x, y, inset_x, inset_y, files, disabled_frame,
                                               vertical, blend_mode, opacity, key_x, key_y, group);
    if (status == 0) StyleBar(bar);
    return status;
  });
}

int32_t CWidgetManager::CreateTextLayout(CGuiElement** out, int32_t x, int32_t y, int32_t width, int32_t height,
                                         CFont* font, CFont* ruby_font, const char* frame_file, const char* mask_file,
                                         const char* second_mask_file, uint32_t priority) {
  return Make<CTextLayout>(out, [&](CTextLayout& box) {
    // A picture that does not load leaves the box plain.
    if (NamesAny(frame_file, mask_file, second_mask_file)) box.LoadImages(frame_file, mask_file, second_mask_file, true);
    return box.Create(DrawList(), priority, width, height, x, y, font, ruby_font, static_cast<uint32_t>(group));
  });
}

int32_t CWidgetManager::CreateScriptTextBox(CGuiElement** out, IMessageText* message, CTimerManager* timers,
                                            int32_t x, int32_t y, int32_t width, int32_t height, CFont* font,
                                            CFont* ruby_font, const char* frame_file, const char* mask_file,
                                            const char* second_mask_file, uint32_t priority) {
  return Make<CScriptTextBox>(
      out,
      [&](CScriptTextBox& box) {
        if (NamesAny(frame_file, mask_file, second_mask_file)) {
          box.LoadImages(frame_file, mask_file, second_mask_file, true);
        }
        return box.Create(DrawList(), priority, width, height, x, y, font, ruby_font, static_cast<uint32_t>(group));
      },
      message, timers);
}

int32_t CWidgetManager::CreateListMenu(CGuiElement** out, int32_t x, int32_t y, int32_t plain_width,
                                       int32_t plain_height, int32_t item_gap, CFont* font, uint32_t priority) {
  return Make<CListMenu>(out, [&](CListMenu& menu) {
    return menu.Create(DrawList(), priority, x, y, plain_width, plain_height, item_gap, font, group);
  });
}

int32_t CWidgetManager::CreateClickArea(CGuiElement** out, int32_t x, int32_t y, int32_t width, int32_t height,
                                        int32_t hot_x, int32_t hot_y, bool hit_testable, bool clickable) {
  return Make<CClickArea>(out, [&](CClickArea& area) {
    return area.Create(x, y, width, height, hot_x, hot_y, hit_testable, clickable, group);
  });
}

int32_t CWidgetManager::CreateListBox(CGuiElement** out, CListBox::Setup setup) {
  setup.list = DrawList();
  setup.group = group;
  return Make<CListBox>(out, [&](CListBox& box) {
    box.SetColours(list_box_style.background, list_box_style.cursor_colour, list_box_style.selection_colour);
    box.SetDefaultIconState(list_box_style.default_icon_state);
    const int32_t status = box.Create(setup);
    if (status == 0) {
      box.SetPageActions(bar_style.page_back_action, bar_style.page_forward_action);
      box.GetScrollBar().SetClickMode(bar_style.click_mode);
    }
    return status;
  });
}

int32_t CWidgetManager::CreateChoiceButton(CGuiElement** out, const char* map_file, uint8_t item_count, int32_t x,
                                           int32_t y, bool can_fire) {
  return Make<CChoiceButton>(
      out, [&](CChoiceButton& button) { return button.Create(map_file, item_count, x, y, can_fire, group); });
}

void CWidgetManager::SetLayer(CDrawLayer* layer) {
  layer_ = layer;
  own_list_ = layer != nullptr ? &layer->GetOwnList() : nullptr;
  attached_list_ = layer != nullptr ? layer->GetAttachedList() : nullptr;
}

bool CWidgetManager::Owns(const CGuiElement* widget) const {
  for (const auto& owned : widgets_) {
    if (owned.get() == widget) return true;
  }
  return false;
}

template <class Doomed>
void CWidgetManager::ForgetLinksWhere(Doomed doomed) const {
  for (const auto& owned : widgets_) {
    if (doomed(*owned)) ForgetLinks(owned.get());
  }
}

void CWidgetManager::ForgetLinks(const CGuiElement* doomed) const {
  for (const auto& owned : widgets_) {
    if (auto* box = dynamic_cast<CScriptTextBox*>(owned.get())) box->ForgetWidget(doomed);
  }
}

uint32_t CWidgetManager::DeleteWidget(CGuiElement* widget) {
  if (widget == nullptr) return kNullWidget;
  for (auto it = widgets_.begin(); it != widgets_.end(); ++it) {
    if (it->get() == widget) {
      ForgetLinks(widget);
      widgets_.erase(it);
      return 0;
    }
  }
  return kNotManaged;
}

void CWidgetManager::DeleteGroup(int32_t doomed_group, bool invert) {
  ForgetLinksWhere([&](const CGuiElement& widget) { return (widget.GetGroup() == doomed_group) != invert; });
  widgets_.remove_if([&](const std::unique_ptr<CGuiElement>& widget) {
    return (widget->GetGroup() == doomed_group) != invert;
  });
}

void CWidgetManager::DeleteAll() {
  ForgetLinksWhere([](const CGuiElement&) { return true; });
  widgets_.clear();
}

void CWidgetManager::ShareModeLabel() {
  for (const auto& widget : widgets_) {
    if (auto* field = dynamic_cast<CImeEditBase*>(widget.get())) field->SetModeLabel(mode_label_.get());
  }
}

uint32_t CWidgetManager::CreateImeModeLabel(CFont* font, int32_t x, int32_t y) {
  if (layer_ == nullptr) return kNoLayer;
  if (mode_label_ != nullptr && mode_label_->GetFont() == font) {
    mode_label_->SetPosition(x, y);
    return 0;
  }
  DeleteImeModeLabel();
  mode_label_.reset(new (std::nothrow) CImeModeLabel());
  if (mode_label_ == nullptr) return static_cast<uint32_t>(kNoMemory);
  const uint32_t status = mode_label_->Create(DrawList(), ime_context, font, x, y, true, static_cast<uint32_t>(group));
  if (status != 0) {
    DeleteImeModeLabel();
    return status;
  }
  ShareModeLabel();
  return 0;
}

void CWidgetManager::DeleteImeModeLabel() {
  if (mode_label_ == nullptr) return;
  // The fields forget the label before it goes.
  const std::unique_ptr<CImeModeLabel> label = std::move(mode_label_);
  ShareModeLabel();
}
