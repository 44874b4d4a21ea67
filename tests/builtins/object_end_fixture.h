// A game screen for scripts that delete what other objects hold: images, canvases, sprites and
// widgets made by their built-ins, cell sheets, animation files, a cell animation's definition
// and the noise texture loaded from the game folder, the engine's effects and filters by name,
// and the pausable timer manager on a fake clock that the steps advance.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "anim_file_writer.h"
#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "builtin_call.h"
#include "builtins/script_task.h"
#include "effects/table/builtin_effect_table.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/resource_list.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/anim_test_pictures.h"
#include "support/data_files_fixture.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"
#include "support/sprite_device_screen.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widget_manager/widget_manager.h"

class ObjectEndTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(RegisterElgDecoder(loaders_), 0u);
    RegisterSetUpEffects(effects_, filters_);
    RegisterBuiltinEffects(effects_, filters_);
    g_GllHost = &loaders_;
    g_DcpHost = &effects_;
    g_TcpHost = &filters_;
    g_ScreenManager = &screen_.Screen();
    g_DrawLayerFactory = &layers_;
    g_PausableTimerManager = &timers_;
    g_TrigTable = &trig_;
    const std::vector<std::uint8_t> strip = CellStripElg(4, 8, 6);
    game_.WriteFile("ANIM/CELLS.ELG", std::string(strip.begin(), strip.end()));
    kvxtools::DagFileSpec pattern;
    pattern.entry_count = 1;
    pattern.frames = {kvxtools::PatternFrame(0, 100), kvxtools::PatternFrame(1, 100), kvxtools::kEndOfEntry};
    for (std::int32_t i = 0; i < 2; ++i) pattern.pictures.push_back({SolidElg(4, 4, CellColour(i))});
    const std::vector<std::uint8_t> dag = kvxtools::WriteDag(pattern);
    game_.WriteFile("ANIM/A.DAG", std::string(dag.begin(), dag.end()));
    kvxtools::DadFileSpec data;
    data.header = {32, 0, 6, 0};
    data.frames = {kvxtools::PatternFrame(0, 100), kvxtools::PatternFrame(0, 100), kvxtools::kEndOfEntry};
    data.references = {{"CELLS.ELG"}};
    const std::vector<std::uint8_t> dad = kvxtools::WriteDad(data);
    game_.WriteFile("ANIM/A.DAD", std::string(dad.begin(), dad.end()));
    game_.WriteFile("ANIM/CELLS.TXT", "*CELLS.ELG\r\n0, 0\r\n8, 8\r\n");
    const std::vector<std::uint8_t> noise = SolidElg(8, 8, CellColour(2));
    game_.WriteFile("SYS/NOISE.ELG", std::string(noise.begin(), noise.end()));
    clock_.SetMilliseconds(1000);
  }
  void TearDown() override {
    GuiRootWindow().RemoveAll();
    GuiRootWindow().SetTooltipLayer(nullptr);
    g_WidgetManager.DeleteAll();
    g_WidgetManager.SetLayer(nullptr);
    timers_.RemoveAll();
    g_CellSheets.ReleaseAll();
    g_AnimFiles.ReleaseAll();
    g_AnimDataFiles.ReleaseAll();
    screen_.Screen().DestroyObjects();
    g_TrigTable = nullptr;
    g_PausableTimerManager = nullptr;
    g_DrawLayerFactory = nullptr;
    g_ScreenManager = nullptr;
    g_TcpHost = nullptr;
    g_DcpHost = nullptr;
    g_GllHost = nullptr;
    DataFilesTest::TearDown();
  }

  std::uint32_t NewImage(std::uint32_t width = 64, std::uint32_t height = 48) {
    const std::uint32_t image = Call(231, {width, height, 32, 0});
    EXPECT_NE(image, 0u);
    return image;
  }
  // A canvas with a layer and an attached draw list.
  std::uint32_t NewCanvas(std::uint32_t width = 64, std::uint32_t height = 48) {
    const std::uint32_t canvas = Call(238, {width, height, 32, 2});
    EXPECT_NE(canvas, 0u);
    return canvas;
  }
  std::uint32_t NewSprite(std::uint32_t image) {
    const std::uint32_t sprite = Call(402, {image, 0, 0, 16, 16, 0, 0});
    EXPECT_NE(sprite, 0u);
    return sprite;
  }
  // A sheet of four cells drawn every 50 ms into the sprite's picture or the target object.
  std::uint32_t LoadSheet(std::uint32_t sprite, std::uint32_t target) {
    return Call(532, {Text("ANIM\\CELLS.ELG"), 4, 50, sprite, target, 2, 3, 0, 0, 65535});
  }
  std::uint32_t DeleteObject(std::uint32_t object) { return Call(243, {WordHolding(object)}); }
  std::uint32_t DestroyDrawable(std::uint32_t drawable) { return Call(408, {WordHolding(drawable)}); }
  std::uint32_t DeleteWidget(std::uint32_t widget) { return Call(715, {WordHolding(widget)}); }
  std::uint32_t LabelButton(std::uint32_t y = 10) { return Call(685, {10, y, 80, 30, 65535}); }
  bool Runs(std::uint32_t task) { return Call(211, {task}) != 0; }
  CCellSheet& Sheet(std::uint32_t sheet) { return *Handles().Get<CCellSheet>(sheet); }
  // Steps the timers the number of times, `ms` apart.
  void Step(std::uint32_t ms, int times = 1) {
    for (int i = 0; i < times; ++i) {
      clock_.Advance(ms);
      timers_.Dispatch(0);
    }
  }

  ScopedPixelLibrary pixel_library_;
  ScopedFakeClock clock_;
  CImageLoaderManager loaders_;
  CDcpPluginManager effects_;
  CTcpPluginManager filters_;
  CDrawLayerFactory layers_;
  CTrigTables trig_;
  SpriteDeviceScreen screen_;
  // Ends before the screen, whose objects its tasks leave.
  CTimerManager timers_;
};
