// A novel frame whose message window is built over a game folder of pictures made at test time:
// the frame and name pictures, the waiting mark's six cells and the button file with its ten
// buttons; the user's settings, the application and a pausable timer manager of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/settings/game_settings.h"
#include "base/time/timer_manager.h"
#include "dgm_writer.h"
#include "elg_encoder.h"
#include "novel/frame/vov_frame.h"
#include "support/fake_app_services.h"
#include "support/temp_game_folder.h"
#include "ui/gui/gui_window.h"
#include "ui/widget_manager/widget_manager.h"

namespace message_test {

constexpr std::int32_t kWindowWidth = 800;
constexpr std::int32_t kWindowHeight = 134;
constexpr std::int32_t kNameWidth = 160;
constexpr std::int32_t kNameHeight = 39;
constexpr std::int32_t kMarkCell = 16;
constexpr std::int32_t kButtonWidth = 40;
constexpr std::int32_t kButtonHeight = 16;

// A 32-bit picture of `frames` cells side by side, cell f filled with colours[f % size].
inline void WritePicture(const test_support::TempGameFolder& game, const std::string& name, std::int32_t cell_width,
                         std::int32_t height, const std::vector<std::uint32_t>& colours, std::int32_t frames = 1) {
  kvxtools::ElgPicture picture;
  picture.width = static_cast<std::uint16_t>(cell_width * frames);
  picture.height = static_cast<std::uint16_t>(height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < picture.width; ++x) {
      const std::uint32_t colour = colours[static_cast<std::size_t>(x / cell_width) % colours.size()];
      for (int shift = 0; shift < 32; shift += 8) picture.pixels.push_back(static_cast<std::uint8_t>(colour >> shift));
    }
  }
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeElg(picture);
  game.WriteFile(name, std::string(bytes.begin(), bytes.end()));
}

// The frame and name pictures: each a frame colour and an opaque mask of the box's size.
inline void WriteWindowPictures(const test_support::TempGameFolder& game, std::uint32_t frame_colour,
                                std::uint32_t name_colour) {
  const char* kinds[] = {"B", "A", "G"};
  for (const char* kind : kinds) {
    const bool frame = kind[0] == 'B';
    WritePicture(game, std::string("SYS/MS_FRM_") + kind + ".ELG", kWindowWidth, kWindowHeight,
                 {frame ? frame_colour : 0xFFFFFFFF});
    WritePicture(game, std::string("SYS/NM_FRM_") + kind + ".ELG", kNameWidth, kNameHeight,
                 {frame ? name_colour : 0xFFFFFFFF});
  }
}

// Ten buttons in a row at the bottom of the screen; 5 and 6 (skip and auto) are check buttons.
inline void WriteButtonFile(const test_support::TempGameFolder& game) {
  kvxtools::DgmFile file;
  for (std::int16_t i = 0; i < static_cast<std::int16_t>(CVovFrame::kButtonCount); ++i) {
    const std::string name = "BT" + std::to_string(i) + ".ELG";
    WritePicture(game, "SYS/" + name, kButtonWidth, kButtonHeight, {0xFF808080, 0xFFA0A0A0, 0xFFC0C0C0, 0xFF404040},
                 4);
    kvxtools::DgmPartRecord part;
    part.picture = name;
    part.type = i == 5 || i == 6 ? 4 : 1;
    part.x = static_cast<std::int16_t>(300 + i * (kButtonWidth + 4));
    part.y = 580;
    file.parts.push_back(part);
  }
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeDgm(file);
  game.WriteFile("SYS/MS_FRAME.GMP", std::string(bytes.begin(), bytes.end()));
}

// The window the frame's widgets join; no input reaches it.
class QuietWindow : public CGuiWindow {
 public:
  void GetMousePos(int32_t& x, int32_t& y) override {
    x = -1;
    y = -1;
  }
  CInputBindings* GetInputBindings() override { return nullptr; }
  CKeyboard* GetKeyboard() override { return nullptr; }
  CMouse* GetMouse() override { return nullptr; }
};

// What a frame with a message window needs while it lives, besides the page's graphics.
class FrameWorld {
 public:
  FrameWorld() : saved_timers_(g_PausableTimerManager) {
    g_PausableTimerManager = &timers_;
    g_UserConfig = &settings;
    app.game_screen = {800, 600};
    app.menu_groups = {true, true, true, true, true};
  }
  ~FrameWorld() {
    timers_.RemoveAll();
    g_UserConfig = nullptr;
    g_PausableTimerManager = saved_timers_;
  }
  FrameWorld(const FrameWorld&) = delete;
  FrameWorld& operator=(const FrameWorld&) = delete;

  CTimerManager& timers() { return timers_; }

  GameSettingsBlock settings = DefaultGameSettings();
  test_support::FakeAppServices app;
  QuietWindow root;

 private:
  CTimerManager timers_;
  CTimerManager* saved_timers_;
};

}  // namespace message_test
