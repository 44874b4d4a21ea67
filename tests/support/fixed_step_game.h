// A whole game run in the test process, the same on every machine. The program's clock is a fake
// one whose sleeps move it, so the frame pacer's frames come at a fixed step; every pass of the
// frame procedure (the run loop's and those of the waits nested in built-in calls) is counted
// from 1; the SDL events planned for a frame number reach the game as that frame begins; message
// boxes are answered by a scripted player and kept; the window is read back, and written as a
// PNG, at planned frames. The game runs single-threaded.
//
//   test_support::FixedStepGame run;
//   run.PlanClick(30, 400, 300);             // pressed at frame 30, let go at frame 31
//   run.PlanPicture(60, "title.png");        // read back after frame 60 presented
//   EXPECT_EQ(run.Run(game_folder), 0);
//   EXPECT_FALSE(run.GaveUp());
//   const std::vector<uint32_t>& shown = run.PictureAt(60);
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/game/game_app.h"
#include "platform/window/system_message_box.h"
#include "support/fake_clock.h"
#include "support/message_box_answers.h"
#include "support/temp_game_folder.h"

namespace test_support {

class FixedStepGame {
 public:
  // A frame count no planned run reaches: the game is stopped there (GaveUp).
  static constexpr int kDefaultLastFrame = 3000;

  // Boxes are answered by `answerer` (by default, yes to a question and OK to anything else).
  explicit FixedStepGame(plat::ScopedMessageBoxAnswers::Answerer answerer = &AgreeingAnswer);
  // Boxes are shown, for a player to answer on the screen; none is kept in MessageBoxes().
  struct OnScreen {};
  explicit FixedStepGame(OnScreen);
  FixedStepGame(const FixedStepGame&) = delete;
  FixedStepGame& operator=(const FixedStepGame&) = delete;

  // Plans, made before Run. An event's window is filled in when it is handed over.
  void PlanEvent(int frame, const SDL_Event& event);
  // The pointer moved to (x, y) in the window and the button pressed at `frame`, let go at the
  // next frame, so that the press is seen at `frame` whether the game reads edges or states.
  void PlanClick(int frame, int32_t x, int32_t y, uint8_t button = SDL_BUTTON_LEFT);
  void PlanPointer(int frame, int32_t x, int32_t y);
  // A key pressed at `frame` and let go at the next one.
  void PlanKeyPress(int frame, SDL_Scancode scancode, SDL_Keycode key);
  // The window read back after the frame's procedure has presented (what it shows while the
  // scripts run their slice of that frame) and written to `png_path` (relative paths land in the
  // test's working folder, the build folder).
  void PlanPicture(int frame, const std::string& png_path);
  // Frames after `frame` stop the frame procedure at once (the game ends as its window would
  // close), and GaveUp() becomes true.
  void SetLastFrame(int frame) { last_frame_ = frame; }
  // Called after each frame's procedure (and its planned picture), before the scripts' slice of
  // the frame: what a test wants to look at in the running game, frame by frame.
  void SetFrameObserver(std::function<void(int frame)> observer) { observer_ = std::move(observer); }

  // Runs the game in the folder (a host path, as the built demo's); CGameApp::Run's result.
  int Run(const std::string& host_folder);
  int Run(const TempGameFolder& folder) { return Run(folder.HostPath()); }

  CGameApp& Game() { return game_; }
  FakeClock& Clock() { return clock_; }
  // Frame procedure passes so far (during the run, the current frame's number).
  int Frames() const { return frames_; }
  bool GaveUp() const { return gave_up_; }
  // The fake clock's milliseconds when the frame's procedure returned; 0 for a frame not reached.
  uint32_t TimeAt(int frame) const;
  // The pixels read back at a planned frame (0xAARRGGBB, rows top down); empty when the frame
  // was not reached.
  const std::vector<uint32_t>& PictureAt(int frame) const;
  // True when every planned picture was read back and written.
  bool AllPicturesWritten() const;
  // The message boxes the game showed, in order, with the frame each came in.
  struct ShownBox {
    int frame = 0;
    plat::MessageBoxRequest request;
  };
  const std::vector<ShownBox>& MessageBoxes() const { return boxes_; }
  int32_t Width() const { return game_.GameScreenSize().x; }
  int32_t Height() const { return game_.GameScreenSize().y; }

 private:
  class App : public CGameApp {
   public:
    explicit App(FixedStepGame& run) : run_(run) {}
    int SetUp() override;
    int RunFrame() override;
    int RunPlainFrame() { return CGameApp::RunFrame(); }

   private:
    FixedStepGame& run_;
  };
  struct Picture {
    std::string png_path;
    std::vector<uint32_t> pixels;
    bool written = false;
  };

  int Frame();
  void HandOverEvents();
  void TakePicture(Picture& picture);

  // Before the game, so that the game's pacer and timers read the fake clock from the start.
  ScopedFakeClock clock_;
  std::optional<plat::ScopedMessageBoxAnswers> answers_;
  App game_;
  std::multimap<int, SDL_Event> events_;
  std::map<int, Picture> pictures_;
  std::vector<ShownBox> boxes_;
  std::vector<uint32_t> frame_times_;
  std::function<void(int)> observer_;
  int frames_ = 0;
  int last_frame_ = kDefaultLastFrame;
  bool gave_up_ = false;
};

}  // namespace test_support
