// Window tests of what the frame's draw layer composes: a real window (under Xvfb) whose screen
// manager presents a frame part with a layer and an attached draw list, ELG pictures decodable
// through the loader host.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "gfx/display/direct_draw_device.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/data_files_fixture.h"
#include "support/test_window.h"

class LayerWindowTestBase : public WindowTestBase {
 protected:
  LayerWindowTestBase(const char* title, int32_t width, int32_t height)
      : title_(title), width_(width), height_(height) {}

  void SetUp() override {
    BuildPixelTables();
    g_DrawLayerFactory = &factory_;
    ASSERT_EQ(RegisterElgDecoder(loaders_), 0u);
    g_GllHost = &loaders_;
    window_ = OpenTestWindow(title_, 20, 20, width_, height_);
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(frame_.Create(width_, height_, 32, CImagePart::kLayerAndDrawList), 0u);
    screen_ = std::make_unique<CScreenManager>();
    screen_->SetFrameImage(&frame_);
    ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
  }
  void TearDown() override {
    screen_.reset();
    CDirectDrawDevice::FreeDevices();
    window_.reset();
    g_GllHost = nullptr;
    g_DrawLayerFactory = nullptr;
  }

  CDrawLayerFactory factory_;
  CImageLoaderManager loaders_;
  std::unique_ptr<plat::Window> window_;
  CImageCanvasEx frame_;
  std::unique_ptr<CScreenManager> screen_;

 private:
  const char* title_;
  int32_t width_;
  int32_t height_;
};

// The same with a temporary game folder as the base data folder, read through a data-file layer.
class LayerWindowFilesTestBase : public LayerWindowTestBase {
 protected:
  using LayerWindowTestBase::LayerWindowTestBase;

  void SetUp() override {
    LayerWindowTestBase::SetUp();
    ASSERT_TRUE(folder_.Enter(game_, &files_));
  }
  void TearDown() override {
    folder_.Leave();
    LayerWindowTestBase::TearDown();
  }

  test_support::TempGameFolder game_;
  CFileSystem files_;

 private:
  test_support::DataFolderSwitch folder_;
};
