// The widget manager: factories that keep only widgets made whole, deletion by group that takes
// widgets out of their window, the one input-mode label shared by the text fields, and text
// appended to a text box line by line.
#include "ui/widget_manager/widget_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "base/time/timer_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "support/fake_font_face.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_test_support.h"
#include "ui/text_objects/text_layout_base.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/fake_ime.h"
#include "ui/widgets/ime_edit_base.h"
#include "ui/widgets/ime_mode_label.h"

namespace {

// A text box that logs the layout calls: characters as themselves, new lines as "|"; the page
// is full after `lines` new lines.
class LoggingTextBox : public CTextLayoutBase {
 public:
  int32_t GetX() const override { return 0; }
  int32_t GetY() const override { return 0; }
  void SetPosition(int32_t, int32_t) override {}
  void SetActive(bool) override {}
  bool IsActive() const override { return true; }
  void SetPriority(uint32_t, uint32_t, uint32_t) override {}
  uint32_t GetPriority() const override { return 0; }
  void SetOpacity(uint8_t) override {}
  uint8_t GetOpacity() const override { return 255; }
  void SetCursor(int32_t, int32_t) override {}
  bool NewLine() override {
    if (lines == 0) return true;
    --lines;
    log += '|';
    return false;
  }
  int32_t PutChar(const char** text) override {
    log += **text;
    ++*text;
    return kPlaced;
  }
  void DrawItemText(const char*, int32_t, int32_t, bool) override {}
  bool HitTestAlpha(int32_t, int32_t) const override { return false; }
  void FillRegion(int32_t, int32_t, int32_t, int32_t) override {}
  int32_t GetRegionAt(int32_t, int32_t) const override { return -1; }
  void SetItemHighlight(int32_t, bool) override {}

  int32_t lines = 100;
  std::string log;
};

class WidgetManagerTest : public ::testing::Test {
 protected:
  // A click area of the current group; the manager's list grows by one.
  CGuiElement* MakeArea(int32_t group, int32_t x = 0) {
    manager_.group = group;
    CGuiElement* area = nullptr;
    EXPECT_EQ(manager_.CreateClickArea(&area, x, 0, 10, 10, -1, -1, true, true), 0);
    return area;
  }

  CWidgetManager manager_;
};

TEST_F(WidgetManagerTest, DeleteGroupTakesTheGroupOrEverythingElse) {
  struct Case {
    int32_t group;
    bool invert;
    std::vector<bool> kept;  // of the widgets of groups 0, 5, 7, 5
  };
  const Case cases[] = {
      {5, true, {false, true, false, true}},
      {5, false, {true, false, true, false}},
      {9, false, {true, true, true, true}},
  };
  for (const Case& c : cases) {
    std::vector<CGuiElement*> made;
    for (const int32_t group : {0, 5, 7, 5}) made.push_back(MakeArea(group));
    manager_.DeleteGroup(c.group, c.invert);
    for (size_t i = 0; i < made.size(); ++i) {
      EXPECT_EQ(manager_.Owns(made[i]), c.kept[i]) << c.group << " " << c.invert << " widget " << i;
    }
    manager_.DeleteAll();
    EXPECT_EQ(manager_.GetCount(), 0u);
  }
}

TEST_F(WidgetManagerTest, ADeletedWidgetLeavesItsWindowWithFocusAndHoverAndItsHandleDies) {
  gui_test::TestWindow window;
  CGuiElement* focused = MakeArea(0, 0);
  CGuiElement* hovered = MakeArea(0, 50);
  ASSERT_EQ(window.AddChild(focused, -1), 0u);
  ASSERT_EQ(window.AddChild(hovered, -1), 0u);
  ASSERT_EQ(window.SetFocusTo(focused), 0);
  window.pointer = {55, 5};
  window.ProcessInput(1);
  ASSERT_TRUE(window.IsFocused(focused));
  ASSERT_TRUE(window.IsHovered(hovered));

  HandleTable handles;
  const uint32_t handle = focused->ScriptHandle(handles);
  EXPECT_EQ(focused->ScriptHandle(handles), handle);
  EXPECT_EQ(handles.Get<CGuiElement>(handle), focused);

  EXPECT_EQ(manager_.DeleteWidget(focused), 0u);
  EXPECT_EQ(manager_.DeleteWidget(hovered), 0u);
  EXPECT_EQ(window.GetFocused(), nullptr);
  EXPECT_EQ(window.GetHovered(), nullptr);
  EXPECT_TRUE(window.GetChildren().empty());
  EXPECT_EQ(handles.Get<CGuiElement>(handle), nullptr);

  EXPECT_EQ(manager_.DeleteWidget(nullptr), CWidgetManager::kNullWidget);
  std::vector<std::string> log;
  gui_test::LoggingElement stranger("stranger", log);
  EXPECT_EQ(manager_.DeleteWidget(&stranger), CWidgetManager::kNotManaged);
}

TEST_F(WidgetManagerTest, AFailedCreateLeavesTheListAsItWasAndTheOutPointerNull) {
  MakeArea(0);
  CGuiElement* sentinel = MakeArea(0);
  struct Case {
    const char* name;
    int32_t (*make)(CWidgetManager&, CGuiElement**);
    int32_t status;
  };
  const Case cases[] = {
      {"click area of width 0",
       [](CWidgetManager& m, CGuiElement** out) { return m.CreateClickArea(out, 0, 0, 0, 10, -1, -1, true, true); }, 1},
      {"push button without a layer",
       [](CWidgetManager& m, CGuiElement** out) { return m.CreatePushButton(out, 0, 0, 10, 10, 0, 0, 0, 1); }, 1},
      {"text field without a font",
       [](CWidgetManager& m, CGuiElement** out) { return m.CreateTextEdit(out, 0, 0, nullptr, 100, 2, false, 1); }, 1},
      {"choice button without items",
       [](CWidgetManager& m, CGuiElement** out) { return m.CreateChoiceButton(out, "MAP", 0, 0, 0, true); }, 1},
  };
  for (const Case& c : cases) {
    CGuiElement* out = sentinel;
    EXPECT_EQ(c.make(manager_, &out), c.status) << c.name;
    EXPECT_EQ(out, nullptr) << c.name;
    EXPECT_EQ(manager_.GetCount(), 2u) << c.name;
    EXPECT_TRUE(manager_.Owns(sentinel)) << c.name;
  }
}

TEST_F(WidgetManagerTest, TextAppendedToATextBoxBreaksOncePerLineEndAndStopsWhenFull) {
  struct Case {
    const char* text;
    int32_t lines;
    std::string log;
  };
  const Case cases[] = {
      {"a\rb\nc\r\nd\n\re", 100, "a|b|c|d||e"},
      {"a\r\nb\r\nc", 1, "a|b"},
      {"", 100, ""},
  };
  for (const Case& c : cases) {
    LoggingTextBox box;
    box.lines = c.lines;
    EXPECT_EQ(manager_.SetWidgetValue(&box, 0, c.text), 0) << c.text;
    EXPECT_EQ(box.log, c.log) << c.text;
  }
  EXPECT_EQ(manager_.SetWidgetValue(nullptr, 0, "x"), CWidgetManager::kNotServed);
  CGuiElement* area = MakeArea(0);
  EXPECT_EQ(manager_.SetWidgetValue(area, 1, nullptr), CWidgetManager::kNotServed);
  EXPECT_EQ(manager_.GetWidgetValue(area, nullptr), CWidgetManager::kNotServed);
  EXPECT_EQ(manager_.SetWidgetLocked(area, true), CWidgetManager::kNotServed);
  EXPECT_EQ(manager_.SetWidgetRectHit(area, true), CWidgetManager::kNotServed);
}

class WidgetManagerLabelTest : public WidgetManagerTest {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(20, 0, 0, "face"), 0U);
    ASSERT_EQ(other_font_.SetFont(16, 0, 0, "face"), 0U);
    manager_.timer_manager = &timers_;
    manager_.ime_context = &ime_;
  }
  // The fields' caret tasks run in the fixture's timer manager: they go first.
  void TearDown() override {
    manager_.DeleteAll();
    manager_.DeleteImeModeLabel();
  }
  CImeEditBase* MakeField(int32_t y) {
    CGuiElement* field = nullptr;
    EXPECT_EQ(manager_.CreateTextEdit(&field, 10, y, &font_, 200, 2, false, 5), 0);
    return dynamic_cast<CImeEditBase*>(field);
  }

  ScopedPixelLibrary pixels_;
  CDrawLayer layer_;
  CTimerManager timers_;
  gui_test::FakeIme ime_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  CFont other_font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
};

TEST_F(WidgetManagerLabelTest, TheLabelMovesForItsOwnFontAndIsReplacedForAnother) {
  EXPECT_EQ(manager_.CreateImeModeLabel(&font_, 300, 10), CWidgetManager::kNoLayer);
  manager_.SetLayer(&layer_);
  CImeEditBase* first = MakeField(40);
  ASSERT_EQ(manager_.CreateImeModeLabel(&font_, 300, 10), 0u);
  CImeModeLabel* label = manager_.GetImeModeLabel();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(first->GetModeLabel(), label);
  CImeEditBase* second = MakeField(80);
  EXPECT_EQ(second->GetModeLabel(), label);  // a later field gets the label too

  ASSERT_EQ(manager_.CreateImeModeLabel(&font_, 320, 30), 0u);
  EXPECT_EQ(manager_.GetImeModeLabel(), label);
  EXPECT_EQ(label->GetX(), 320);
  EXPECT_EQ(label->GetY(), 30);

  ASSERT_EQ(manager_.CreateImeModeLabel(&other_font_, 320, 30), 0u);
  CImeModeLabel* replaced = manager_.GetImeModeLabel();
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->GetFont(), &other_font_);
  EXPECT_EQ(first->GetModeLabel(), replaced);
  EXPECT_EQ(second->GetModeLabel(), replaced);

  manager_.DeleteImeModeLabel();
  EXPECT_EQ(manager_.GetImeModeLabel(), nullptr);
  EXPECT_EQ(first->GetModeLabel(), nullptr);
  EXPECT_EQ(second->GetModeLabel(), nullptr);
}

TEST_F(WidgetManagerLabelTest, NewFieldsTakeTheTextEntryStyleAndTheWidgetValueIsTheirText) {
  manager_.SetLayer(&layer_);
  manager_.text_entry.max_length = 4;
  manager_.text_entry.double_byte_only = 1;
  CImeEditBase* field = MakeField(40);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->GetMaxLength(), 4);
  EXPECT_EQ(manager_.SetWidgetValue(field, 0, "abcdef"), 0);
  const char* text = nullptr;
  EXPECT_EQ(manager_.GetWidgetValue(field, &text), 0);
  EXPECT_STREQ(text, "abcd");
  EXPECT_EQ(manager_.SetWidgetValue(field, 0, ""), 0);
  field->OnChar("x\x82\xA0", 3);  // the one-byte character is refused
  EXPECT_EQ(field->GetEditText(), "\x82\xA0");
  EXPECT_EQ(manager_.SetWidgetLocked(field, true), 0);
  EXPECT_TRUE(field->IsLocked());
  EXPECT_EQ(manager_.GetWidgetSprite(field, 0)->GetOwnerList(), &layer_.GetOwnList());
}

TEST_F(WidgetManagerLabelTest, EachFactoryPlacesItsWidgetInTheCurrentGroupAndList) {
  manager_.SetLayer(&layer_);
  manager_.group = 3;
  CImage strip;
  gui_test::MakeStrip(strip, 4, 20, 10);
  CCheckButton* leader = nullptr;
  struct Case {
    const char* name;
    std::function<int32_t(CGuiElement**)> make;
    int32_t type;
  };
  const Case cases[] = {
      {"label button", [&](CGuiElement** out) { return manager_.CreateLabelButton(out, 11, 12, 0, 0, true, "OK", &font_, 1); },
       0},
      {"image button",
       [&](CGuiElement** out) { return manager_.CreateImageButtonFromImage(out, 11, 12, &strip, true, true, 0, 255, 1); },
       0},
      {"check button",
       [&](CGuiElement** out) {
         return manager_.CreateCheckButtonFromImage(out, 11, 12, &strip, CCheckButton::kCheckBox, false, leader, 0, 255, 1);
       },
       1},
      {"push button", [&](CGuiElement** out) { return manager_.CreatePushButton(out, 11, 12, 30, 20, 0, 0, 0, 1); }, 2},
      {"text field", [&](CGuiElement** out) { return manager_.CreateTextEdit(out, 11, 12, &font_, 100, 2, true, 1); }, 3},
      {"scroll bar",
       [&](CGuiElement** out) { return manager_.CreateScrollBar(out, 11, 12, true, 16, 0xC0C0C0, 0, 0, 0, 0, 1); }, 4},
      {"text box",
       [&](CGuiElement** out) {
         return manager_.CreateTextLayout(out, 11, 12, 200, 100, &font_, nullptr, nullptr, nullptr, nullptr, 1);
       },
       5},
      {"click area", [&](CGuiElement** out) { return manager_.CreateClickArea(out, 11, 12, 5, 5, -1, -1, true, true); }, 7},
  };
  for (const Case& c : cases) {
    CGuiElement* widget = nullptr;
    ASSERT_EQ(c.make(&widget), 0) << c.name;
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_EQ(widget->GetType(), c.type) << c.name;
    EXPECT_EQ(widget->GetX(), 11) << c.name;
    EXPECT_EQ(widget->GetY(), 12) << c.name;
    EXPECT_EQ(widget->GetGroup(), 3) << c.name;
    CDrawable* drawable = manager_.GetWidgetSprite(widget, 0);
    if (drawable != nullptr) {
      EXPECT_EQ(drawable->GetOwnerList(), &layer_.GetOwnList()) << c.name;
    }
  }
  EXPECT_EQ(manager_.GetCount(), std::size(cases));
}

}  // namespace
