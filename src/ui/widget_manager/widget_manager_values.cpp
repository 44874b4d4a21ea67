// The operations through which the scripts reach a widget's drawable, image and value by its
// type code, without knowing its class. A widget whose class does not match its code counts as
// one the operation does not serve.
#include "ui/dialogs/script_text_box.h"
#include "ui/text_objects/text_layout.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/choice_button.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/list_menu.h"
#include "ui/widgets/push_button.h"
#include "ui/widgets/text_edit.h"

namespace {

enum WidgetType : int32_t {
  kImageButton = CImageButton::kType,
  kCheckButton = CCheckButton::kType,
  kPushButton = CPushButton::kType,
  kTextEdit = CImeEditBase::kType,
  kBar = CBarBase::kType,
  kTextLayout = CTextLayoutBase::kType,
  kList = CListPart::kType,
  kSpriteWidget = CSpriteWidget::kType,
  kListBox = CListBox::kType,
  kChoiceButton = CChoiceButton::kType,
  kScriptTextBox = CScriptTextBox::kType,
};

template <class Widget>
Widget* As(CGuiElement* widget) {
  return dynamic_cast<Widget*>(widget);
}

// Runs a setting on the widget when it is of the class: 0, or kNotServed.
template <class Widget, class Set>
int32_t Apply(CGuiElement* widget, Set set) {
  Widget* typed = As<Widget>(widget);
  if (typed == nullptr) return CWidgetManager::kNotServed;
  set(*typed);
  return 0;
}

// The list's item faces; -1 and -2 name the header and the footer.
CWidgetFace* ListFace(CGuiElement* widget, int32_t index) {
  auto* menu = As<CListMenu>(widget);
  if (menu == nullptr) return nullptr;
  if (index == -2) index = menu->GetItemCount();
  return menu->GetItemFace(index);
}

CDrawable* DrawableOf(CWidgetFace* face) { return face != nullptr ? &face->GetDrawable() : nullptr; }

// Text appended to a text box: a new line per CR, LF or CR LF, every other character placed;
// a full box ends it.
void AppendText(CTextLayoutBase& box, const char* text) {
  const char* at = text;
  while (*at != '\0') {
    if (*at == '\r' || *at == '\n') {
      at += (at[0] == '\r' && at[1] == '\n') ? 2 : 1;
      if (box.NewLine()) return;
      continue;
    }
    const char* const before = at;
    if (box.PutChar(&at) == CTextLayoutBase::kPageFull || at == before) return;
  }
}

}  // namespace

CDrawable* CWidgetManager::GetWidgetSprite(CGuiElement* widget, int32_t index) const {
  if (widget == nullptr) return nullptr;
  switch (widget->GetType()) {
    case kImageButton:
      if (auto* button = As<CImageButton>(widget)) return &button->GetFace().GetDrawable();
      return nullptr;
    case kCheckButton:
      if (auto* button = As<CCheckButton>(widget)) return &button->GetFace().GetDrawable();
      return nullptr;
    case kPushButton:
      if (auto* button = As<CPushButton>(widget)) return &button->GetBox().GetDrawable();
      return nullptr;
    case kTextEdit:
      if (auto* field = As<CTextEdit>(widget)) return &field->GetSprite();
      return nullptr;
    case kTextLayout:
    case kScriptTextBox:
      if (auto* box = As<CTextLayout>(widget)) return &box->sprite();
      return nullptr;
    case kSpriteWidget:
    case kListBox:
      if (auto* sprite_widget = As<CSpriteWidget>(widget)) return &sprite_widget->GetFace().GetDrawable();
      return nullptr;
    case kList:
      return DrawableOf(ListFace(widget, index));
    default:
      return nullptr;
  }
}

CImage* CWidgetManager::GetWidgetImage(CGuiElement* widget, int32_t index) const {
  if (widget == nullptr) return nullptr;
  switch (widget->GetType()) {
    case kImageButton:
      if (auto* button = As<CImageButton>(widget)) return button->GetImage();
      return nullptr;
    case kCheckButton:
      if (auto* button = As<CCheckButton>(widget)) return button->GetImage();
      return nullptr;
    case kTextEdit:
      if (auto* field = As<CTextEdit>(widget)) return &field->GetImage();
      return nullptr;
    case kTextLayout:
    case kScriptTextBox:
      if (auto* box = As<CTextLayout>(widget)) return &box->text_image();
      return nullptr;
    case kSpriteWidget:
    case kListBox:
      if (auto* sprite_widget = As<CSpriteWidget>(widget)) return &sprite_widget->GetPicture();
      return nullptr;
    case kChoiceButton:
      if (auto* button = As<CChoiceButton>(widget)) return &button->GetMap();
      return nullptr;
    case kList: {
      CWidgetFace* face = ListFace(widget, index);
      return face != nullptr ? face->GetImage() : nullptr;
    }
    default:
      return nullptr;
  }
}

int32_t CWidgetManager::SetWidgetValue(CGuiElement* widget, int32_t value, const char* text) const {
  if (widget == nullptr) return kNotServed;
  switch (widget->GetType()) {
    case kCheckButton:
      if (auto* button = As<CCheckButton>(widget)) return button->SetChecked(value != 0) ? 1 : 0;
      return kNotServed;
    case kTextEdit:
      if (auto* field = As<CImeEditBase>(widget)) return static_cast<int32_t>(field->SetEditText(text));
      return kNotServed;
    case kBar:
      if (auto* bar = As<CBarBase>(widget)) return bar->SetValue(value);
      return kNotServed;
    case kTextLayout:
      if (auto* box = As<CTextLayoutBase>(widget)) {
        if (text != nullptr) AppendText(*box, text);
        return 0;
      }
      return kNotServed;
    case kListBox:
      if (auto* box = As<CListBox>(widget)) return static_cast<int32_t>(box->SetSelection(value));
      return kNotServed;
    case kChoiceButton:
      if (auto* button = As<CChoiceButton>(widget)) return static_cast<int32_t>(button->SetChoice(value));
      return kNotServed;
    default:
      return kNotServed;
  }
}

int32_t CWidgetManager::GetWidgetValue(CGuiElement* widget, const char** text) const {
  if (widget == nullptr) return kNotServed;
  switch (widget->GetType()) {
    case kCheckButton:
      if (auto* button = As<CCheckButton>(widget)) {
        const uint8_t state = button->GetState();
        return state >= CCheckButton::kChecked && state != CCheckButton::kUncheckedDisabled ? 1 : 0;
      }
      return kNotServed;
    case kTextEdit:
      if (auto* field = As<CImeEditBase>(widget)) {
        if (text != nullptr) *text = field->GetEditText().c_str();
        return 0;
      }
      return kNotServed;
    case kBar:
      if (auto* bar = As<CBarBase>(widget)) return bar->GetValue();
      return kNotServed;
    case kTextLayout:
    case kScriptTextBox:
      if (auto* box = As<CTextLayoutBase>(widget)) return box->stored_value().value_or(kNotServed);
      return kNotServed;
    case kList:
      if (auto* list = As<CListPart>(widget)) return list->GetHovered();
      return kNotServed;
    case kListBox:
      if (auto* box = As<CListBox>(widget)) return box->GetSelection();
      return kNotServed;
    case kChoiceButton:
      if (auto* button = As<CChoiceButton>(widget)) return button->GetHotItem();
      return kNotServed;
    default:
      return kNotServed;
  }
}

int32_t CWidgetManager::SetWidgetRectHit(CGuiElement* widget, bool on) const {
  if (widget == nullptr) return kNotServed;
  switch (widget->GetType()) {
    case kImageButton:
      return Apply<CImageButton>(widget, [&](CImageButton& button) { button.SetRectHit(on); });
    case kCheckButton:
      return Apply<CCheckButton>(widget, [&](CCheckButton& button) { button.SetRectHit(on); });
    case kBar:
      return Apply<CBarBase>(widget, [&](CBarBase& bar) { bar.SetRectHit(on); });
    default:
      return kNotServed;
  }
}

int32_t CWidgetManager::SetWidgetLocked(CGuiElement* widget, bool locked) const {
  if (widget == nullptr) return kNotServed;
  switch (widget->GetType()) {
    case kCheckButton:
      return Apply<CCheckButton>(widget, [&](CCheckButton& button) { button.SetLocked(locked); });
    case kTextEdit:
      return Apply<CImeEditBase>(widget, [&](CImeEditBase& field) { field.SetLocked(locked); });
    case kTextLayout:
    case kScriptTextBox:
      return Apply<CTextLayoutBase>(widget, [&](CTextLayoutBase& box) { box.SetItemsFrozen(locked); });
    case kList:
      return Apply<CListPart>(widget, [&](CListPart& list) { list.SetLocked(locked); });
    case kChoiceButton:
      return Apply<CChoiceButton>(widget, [&](CChoiceButton& button) { button.SetLocked(locked); });
    default:
      return kNotServed;
  }
}
