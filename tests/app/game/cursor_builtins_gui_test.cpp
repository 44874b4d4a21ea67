// The cursor built-ins in a running game under the display: the script hides and shows the
// cursor (SDL's own state says so), puts the pointer at a point of the game screen and reads the
// point back.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_script_host.h"
#include "sob_assembler.h"
#include "support/fixed_step_game.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

// Each step waits a few frames so that the window's thread has done what the step asked.
constexpr char kMain[] =
    ".kind script\n"
    "  CallNative native(581), hide, ignored\n"
    "  Copy one, step\n"
    "  Yield\n"
    "  Yield\n"
    "  Yield\n"
    "  CallNative native(581), show, ignored\n"
    "  Copy two, step\n"
    "  Yield\n"
    "  Yield\n"
    "  Yield\n"
    "  CallNative native(583), point, ignored\n"
    "  Yield\n"
    "  Yield\n"
    "  CallNative native(582), place, ignored\n"
    "  Copy three, step\n"
    "  Yield\n"
    "  Return\n"
    "hide: .word 0\n"
    "show: .word 1\n"
    "point: .word 100, 50\n"
    "place: .word x, y\n"
    "x: .word -7\n"
    "y: .word -7\n"
    "step: .word 0\n"
    "one: .word 1\n"
    "two: .word 2\n"
    "three: .word 3\n"
    "ignored: .word 0\n";

struct Seen {
  std::uint32_t step;
  int cursor_shown;
  std::int32_t x;
  std::int32_t y;
  plat::Point pointer;  // in the window
};

class CursorBuiltinsGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(kvxtools::AssembleSob(kMain, nullptr, main_, error)) << error;
    game_.WriteFile("SCRIPT/MAIN.SOB", std::string_view(reinterpret_cast<const char*>(main_.bytes.data()), main_.bytes.size()));
    test_support::WriteGameSettingsFiles(game_);
  }
  std::uint32_t Word(CGameApp& game, const char* label) const {
    CGameScriptHost* host = game.GetScriptHost();
    return host->Memory().Word(host->GetCodeBase() + main_.labels.at(label));
  }

  kvxtools::SobAssembly main_;
  test_support::TempGameFolder game_;
};

TEST_F(CursorBuiltinsGuiTest, TheScriptHidesAndShowsTheCursorAndPutsThePointerAtAGamePoint) {
  LogCapture log;
  test_support::FixedStepGame run;
  run.SetLastFrame(200);
  std::vector<Seen> seen;
  run.SetFrameObserver([&](int) {
    CGameApp& game = run.Game();
    if (game.GetScriptHost() == nullptr || game.GetScriptHost()->GetCodeBase() == 0) return;
    // The pointer as SDL sees it over the window it is in.
    plat::Point pointer;
    SDL_GetMouseState(&pointer.x, &pointer.y);
    seen.push_back({Word(game, "step"), SDL_ShowCursor(SDL_QUERY), static_cast<std::int32_t>(Word(game, "x")),
                    static_cast<std::int32_t>(Word(game, "y")), pointer});
  });
  EXPECT_EQ(run.Run(game_), 0);
  EXPECT_FALSE(run.GaveUp());
  ASSERT_FALSE(seen.empty());

  bool hidden = false;
  bool shown_again = false;
  for (const Seen& frame : seen) {
    if (frame.step == 1 && frame.cursor_shown == SDL_DISABLE) hidden = true;
    if (frame.step == 2 && hidden && frame.cursor_shown == SDL_ENABLE) shown_again = true;
  }
  EXPECT_TRUE(hidden);
  EXPECT_TRUE(shown_again);
  const Seen& last = seen.back();
  EXPECT_EQ(last.step, 3u);
  EXPECT_EQ(last.x, 100);
  EXPECT_EQ(last.y, 50);
  // A window shows the game screen unscaled: the game point is the window point.
  EXPECT_EQ(last.pointer.x, 100);
  EXPECT_EQ(last.pointer.y, 50);
}

}  // namespace
