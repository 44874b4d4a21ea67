// A game script host whose scripts make widgets: a 320 x 240 canvas with a draw layer for their
// faces, ELG pictures written into the game folder, a font, the root window's pointer and
// devices, and the widget manager's state put back after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "base/input/input_manager.h"
#include "base/input/keyboard.h"
#include "base/input/mouse.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/fake_font_face.h"
#include "support/game_host_fixture.h"
#include "support/scoped_pixel_library.h"
#include "support/script_calls.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_root_window.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/list_menu.h"
#include "ui/widgets/picture_files_test.h"

namespace widget_test {

class WidgetBuiltinsTest : public game_test::GameScriptHostTest {
 protected:
  static constexpr int32_t kWidth = 320;
  static constexpr int32_t kHeight = 240;
  // Labels of the pictures' names for the scripts' data.
  static constexpr char kPictureNames[] = "thumb: .string \"thumb.elg\"\nmap: .string \"map.elg\"\n";

  void SetUp() override {
    GameScriptHostTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(RegisterElgDecoder(images_), 0u);
    saved_images_ = g_GllHost;
    g_GllHost = &images_;
    g_DrawLayerFactory = &layers_;
    ASSERT_EQ(screen_.CreateImageCanvasEx(&canvas_, kWidth, kHeight, 32, CImagePart::kLayer), 0u);
    ASSERT_NE(Layer(), nullptr);
    ASSERT_EQ(font_.SetFont(16, 0, 0, "face"), 0u);
    saved_face_colour_ = g_WidgetManager.button_face_colour;
    saved_focus_tint_ = g_WidgetManager.button_focus_tint;
    saved_text_entry_ = g_WidgetManager.text_entry;
    saved_bar_style_ = g_WidgetManager.bar_style;
    saved_list_box_style_ = g_WidgetManager.list_box_style;
    // A thumb, an icon strip and a map for the list boxes, bars and choice buttons.
    gui_test::WriteFramesElg(game_, "thumb.elg", 12, 40, {0xFF203040, 0xFF506070, 0xFF8090A0});
    gui_test::WriteFramesElg(game_, "map.elg", 30, 20, {0xFF000000});
  }
  void TearDown() override {
    CGuiRootWindow& root = GuiRootWindow();
    root.RemoveAll();
    while (root.PopModalLevel() == 0) {
    }
    root.Reset();
    root.SetTooltipLayer(nullptr);
    root.SetTooltipMode(false, 0, 0);
    root.SetScriptValue(0);
    g_WidgetManager.DeleteAll();
    g_WidgetManager.DeleteImeModeLabel();
    g_WidgetManager.SetLayer(nullptr);
    g_WidgetManager.use_attached_list = false;
    g_WidgetManager.group = 0;
    g_WidgetManager.button_face_colour = saved_face_colour_;
    g_WidgetManager.button_focus_tint = saved_focus_tint_;
    g_WidgetManager.text_entry = saved_text_entry_;
    g_WidgetManager.bar_style = saved_bar_style_;
    g_WidgetManager.list_box_style = saved_list_box_style_;
    g_ChoiceList = nullptr;
    g_DrawLayerFactory = nullptr;
    g_GllHost = saved_images_;
    GameScriptHostTest::TearDown();
  }

  test_support::ScriptCallsRun Run(const test_support::ScriptCalls& calls) {
    return test_support::ScriptCallsRun(game_, host_, calls);
  }
  std::uint32_t Call(std::uint32_t id, const std::string& args = "") { return Run({{{id, args}}}).Result(0); }
  // The handle of an object the test made, as assembler text.
  template <class Object>
  std::string HandleText(Object& object) {
    return std::to_string(object.ScriptHandle(host_.Handles()));
  }
  std::string CanvasText() { return HandleText(static_cast<CImageInterface&>(*canvas_)); }
  std::string FontText() { return HandleText(static_cast<CFontBase&>(font_)); }
  CGuiElement* Widget(std::uint32_t handle) { return host_.Handles().Get<CGuiElement>(handle); }
  // The layer of the canvas: new widgets' faces join its list once a script makes it theirs.
  CDrawLayer* Layer() { return dynamic_cast<CDrawLayer*>(canvas_->GetLayer()); }
  // The handle of a widget that `id` makes from `args` after the layer became the widgets'.
  std::uint32_t Make(std::uint32_t id, const std::string& args, const std::string& data = kPictureNames) {
    const test_support::ScriptCallsRun run = Run({{{702, CanvasText()}, {id, args}}, data});
    EXPECT_EQ(run.Result(0), 0u);
    return run.Result(1);
  }
  std::uint32_t MakeLabelButton(int32_t x = 10, int32_t y = 10) {
    return Make(685, std::to_string(x) + ", " + std::to_string(y) + ", 80, 30, 65535");
  }
  std::vector<CGuiElement*> Children() const {
    const std::list<CGuiElement*>& children = GuiRootWindow().GetChildren();
    return {children.begin(), children.end()};
  }

  ScopedPixelLibrary pixels_;
  CImageLoaderManager images_{[] { return std::uint64_t{1} << 30; }};
  CImageLoaderManager* saved_images_ = nullptr;
  CDrawLayerFactory layers_;
  CScreenManager screen_;
  CImageCanvasEx* canvas_ = nullptr;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  uint32_t saved_face_colour_ = 0;
  uint32_t saved_focus_tint_ = 0;
  CWidgetManager::TextEntryStyle saved_text_entry_;
  CWidgetManager::BarStyle saved_bar_style_;
  CWidgetManager::ListBoxStyle saved_list_box_style_;
};

}  // namespace widget_test
