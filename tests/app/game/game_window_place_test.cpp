// The window's place as the user's settings file gives it: whatever the file holds, the place is
// read onto the desktop as it is, and the start that picks a display by it works from there.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/game/game_set_up_fixture.h"
#include "platform/window/display_backend.h"
#include "support/fake_display_backend.h"
#include "support/game_settings_files.h"

namespace {

constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
constexpr int32_t kGreatest = std::numeric_limits<int32_t>::max();

TEST_F(GameSetUpTest, AWindowPlaceBeyondTheDesktopIsReadAtItsEdge) {
  // Two displays side by side: the desktop spans -1920..1919 across and 0..1079 down.
  FakeDisplayBackend backend({FakeDisplayBackend::Display("Left", -1920, 0, 1920, 1080),
                              FakeDisplayBackend::Display("Main", 0, 0, 1920, 1080)});
  plat::ScopedDisplayBackend scoped(backend);
  const struct {
    plat::Point kept;
    plat::Point read;
  } cases[] = {
      {{kLeast, kLeast}, {-1920, 0}},
      {{kGreatest, kGreatest}, {1919, 1079}},
      {{-1, kGreatest}, {-1, 1079}},  // -1 names no place
      {{-1, -1}, {-1, -1}},
      {{-1000, 500}, {-1000, 500}},
  };
  WriteGame(3);
  for (const auto& place : cases) {
    SCOPED_TRACE(std::to_string(place.kept.x) + "," + std::to_string(place.kept.y));
    WindowBlock window = DefaultWindowBlock();
    window[kWinScreenMode] = kScreenModeWindow;
    WriteBlockInt32(window, kWinLeft, place.kept.x);
    WriteBlockInt32(window, kWinTop, place.kept.y);
    const std::vector<uint8_t> bytes = kvxtools::WriteUserConfigFile({{}, {window.begin(), window.end()}, {}, {}});
    game_.WriteFile("data/kestrune/Tale SaveData/USER.CFG", std::string(bytes.begin(), bytes.end()));
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    EXPECT_EQ(ReadBlockInt32(game.GetWindowSettings(), kWinLeft), place.read.x);
    EXPECT_EQ(ReadBlockInt32(game.GetWindowSettings(), kWinTop), place.read.y);
    // The start picks its display by the window at the place as read: the rectangle it works out
    // there stays within the range (the sanitizers' build tells of one that does not).
    game.GetMonitorForWindow(nullptr, 0);
  }
}

}  // namespace
