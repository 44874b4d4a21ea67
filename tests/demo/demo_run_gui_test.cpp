// The built demo game played through in a real window (under Xvfb) at a fixed frame step: the
// title, "はじめから", the story read click by click (one line by the Enter key) down either
// branch of its choice to the last line, the title again, "つづきから" on from the line where the
// story saved, a quick save with its notice and a quick load back to the saved choice, and
// "おわる", which ends the game. The key frames are written as demo_*.png into
// the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo_game_copy.h"
#include "support/fixed_step_game.h"
#include "support/input_events.h"
#include "support/log_capture.h"
#include "support/test_window.h"

namespace {

// The demo's pictures: the moon of the title, Mio's dress where she stands in the middle, and
// the message window's text rectangle (the window at y 466, 134 high, margins 28, 13, 16, 34).
constexpr std::int32_t kMoonX = 640;
constexpr std::int32_t kMoonY = 110;
constexpr std::uint32_t kMoonColour = 0xFFF4E9B0;
constexpr std::int32_t kDressX = 400;
constexpr std::int32_t kDressY = 416;
constexpr std::uint32_t kDressColour = 0xFFD04870;
constexpr std::int32_t kTextLeft = 28;
constexpr std::int32_t kTextRight = 800 - 16;
constexpr std::int32_t kTextTop = 466 + 13;
constexpr std::int32_t kFirstLineBottom = kTextTop + 22;
// The choice lists (a 10-pixel header, items 28 high, centred on y 220): the story's two items,
// the title's three.
constexpr std::int32_t kChoiceX = 400;
constexpr std::int32_t kFirstChoiceY = 206;
constexpr std::int32_t kSecondChoiceY = 234;
constexpr std::int32_t kTitleStartY = 192;
constexpr std::int32_t kTitleContinueY = 220;
constexpr std::int32_t kTitleEndY = 248;
// Any point away from the buttons and the choices ends a wait for the reader.
constexpr std::int32_t kReadX = 400;
constexpr std::int32_t kReadY = 320;
// The park's lawn, beside Mio and above the window.
constexpr std::int32_t kLawnX = 760;
constexpr std::int32_t kLawnY = 420;
constexpr std::uint32_t kLawnColour = 0xFF5C7A3A;

// Two seconds between the reader's plans, longer than any line takes to print.
constexpr int kStep = 120;
// The story: four lines before the choice; on the hill four lines and the last one, at home two
// and the last one.
constexpr int kLinesBeforeChoice = 4;
constexpr int kLinesOnTheHill = 5;
constexpr int kLinesAtHome = 3;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The reader's plans for one run, one every kStep frames from the first title's choice on.
class Reader {
 public:
  explicit Reader(test_support::FixedStepGame& run) : run_(run) {}
  // The frame of the next plan.
  int Next() const { return next_; }
  void Choose(std::int32_t y) { Plan([&](int frame) { run_.PlanClick(frame, kChoiceX, y); }); }
  void Read(int lines) {
    for (int line = 0; line < lines; ++line) Plan([&](int frame) { run_.PlanClick(frame, kReadX, kReadY); });
  }
  // The decide key goes on as a click does.
  void ReadByKey() { Plan([&](int frame) { run_.PlanKeyPress(frame, SDL_SCANCODE_RETURN, SDLK_RETURN); }); }
  // Ctrl held around F1: a quick save into slot 0.
  void QuickSave() {
    Plan([&](int frame) {
      run_.PlanEvent(frame, test_support::KeyEvent(SDL_SCANCODE_LCTRL, SDLK_LCTRL, true));
      run_.PlanKeyPress(frame + 2, SDL_SCANCODE_F1, SDLK_F1);
      run_.PlanEvent(frame + 6, test_support::KeyEvent(SDL_SCANCODE_LCTRL, SDLK_LCTRL, false));
    });
  }
  // A key that asks a question, and the Enter key that answers it yes. The pointer is parked in
  // the corner first, so that the box gives its first button the keyboard focus.
  void Ask(SDL_Scancode scancode, SDL_Keycode key) {
    Plan([&](int frame) {
      run_.PlanPointer(frame - 2, 799, 599);
      run_.PlanKeyPress(frame, scancode, key);
      run_.PlanKeyPress(frame + kStep / 2, SDL_SCANCODE_RETURN, SDLK_RETURN);
    });
  }
  // The title again, after the story's last line.
  void WaitForTheTitle() { next_ += kStep; }

 private:
  template <typename PlanAt>
  void Plan(PlanAt plan) {
    plan(next_);
    next_ += kStep;
  }

  test_support::FixedStepGame& run_;
  int next_ = 2 * kStep;
};

class DemoRunGuiTest : public DemoGameCopyTest {
 protected:
  // "はじめから" and the lines up to the choice, one of them by the Enter key.
  static void StartTheStory(Reader& reader) {
    reader.Choose(kTitleStartY);
    reader.Read(1);
    reader.ReadByKey();
    reader.Read(kLinesBeforeChoice - 2);
  }
  // Runs the planned game to "おわる", planned after the title came back; false when it failed.
  void RunToTheEnd(test_support::FixedStepGame& run, Reader& reader, const LogCapture& log) {
    reader.WaitForTheTitle();
    const int end = reader.Next();
    reader.Choose(kTitleEndY);
    run.SetLastFrame(end + kStep);
    EXPECT_EQ(run.Run(game_.HostPath()), 0) << "おわる ends the game";
    EXPECT_FALSE(run.GaveUp()) << Joined(log.Lines());
    EXPECT_GE(run.Frames(), end);
    EXPECT_TRUE(run.AllPicturesWritten());
    EXPECT_TRUE(run.MessageBoxes().empty()) << run.MessageBoxes().front().request.text;
  }

  // Pixels of the notice's yellow ink where it slides in at the bottom left.
  static int NoticeInk(const std::vector<std::uint32_t>& shown) {
    int ink = 0;
    for (std::int32_t y = 570; y < 600; ++y) {
      for (std::int32_t x = 12; x < 400; ++x) {
        const std::uint32_t pixel = At(shown, x, y);
        const bool yellow = ((pixel >> 16) & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) > 0xB0 && (pixel & 0xFF) < 0x60;
        ink += yellow ? 1 : 0;
      }
    }
    return ink;
  }
  static std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x, std::int32_t y) {
    return shown[static_cast<std::size_t>(y * 800 + x)] | 0xFF000000;
  }
  // Pixels of the message window's first text line that differ from the window's own colour at
  // the left margin of their row.
  static int InkOnFirstLine(const std::vector<std::uint32_t>& shown) {
    int ink = 0;
    for (std::int32_t y = kTextTop; y < kFirstLineBottom; ++y) {
      for (std::int32_t x = kTextLeft; x < kTextRight; ++x) ink += At(shown, x, y) != At(shown, 8, y) ? 1 : 0;
    }
    return ink;
  }

};

TEST_F(DemoRunGuiTest, TheTitleTheStoryOnTheHillTheTitleAgainAndTheEnd) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  const int title = reader.Next() - 20;
  const int second_line = reader.Next() + kStep + kStep / 2;
  StartTheStory(reader);
  const int choices = reader.Next() - 20;
  reader.Choose(kFirstChoiceY);
  const int hill = reader.Next() + kStep + kStep / 2;
  reader.Read(kLinesOnTheHill);
  const int title_again = reader.Next() + kStep - 20;
  run.PlanPicture(title, "demo_title.png");
  run.PlanPicture(second_line, "demo_story.png");
  run.PlanPicture(choices, "demo_choice.png");
  run.PlanPicture(hill, "demo_hill.png");
  run.PlanPicture(title_again, "demo_title_again.png");
  RunToTheEnd(run, reader, log);

  const std::vector<std::uint32_t>& shown_title = run.PictureAt(title);
  ASSERT_FALSE(shown_title.empty());
  EXPECT_EQ(At(shown_title, kMoonX, kMoonY), kMoonColour) << "the title picture";
  const std::vector<std::uint32_t>& story = run.PictureAt(second_line);
  ASSERT_FALSE(story.empty());
  EXPECT_GT(InkOnFirstLine(story), 50) << "Mio's first line";
  EXPECT_EQ(At(story, kDressX, kDressY), kDressColour) << "Mio in the middle";
  EXPECT_EQ(At(story, kLawnX, kLawnY), kLawnColour) << "in the park";
  const std::vector<std::uint32_t>& shown_hill = run.PictureAt(hill);
  ASSERT_FALSE(shown_hill.empty());
  EXPECT_NE(At(shown_hill, kLawnX, kLawnY), kLawnColour) << "the night on the hill after the park's evening";
  EXPECT_EQ(At(shown_hill, kDressX, kDressY), kDressColour) << "Mio came along";
  const std::vector<std::uint32_t>& again = run.PictureAt(title_again);
  ASSERT_FALSE(again.empty());
  EXPECT_EQ(At(again, kMoonX, kMoonY), kMoonColour) << "back at the title after the story";
  EXPECT_NE(At(again, kDressX, kDressY), kDressColour) << "without Mio";
}

TEST_F(DemoRunGuiTest, TheOtherChoiceSaysGoodbyeInThePark) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  StartTheStory(reader);
  reader.Choose(kSecondChoiceY);
  const int goodbye = reader.Next() - 20;
  reader.Read(kLinesAtHome);
  const int title_again = reader.Next() + kStep - 20;
  run.PlanPicture(goodbye, "demo_goodbye.png");
  run.PlanPicture(title_again, "demo_title_after_goodbye.png");
  RunToTheEnd(run, reader, log);

  const std::vector<std::uint32_t>& shown = run.PictureAt(goodbye);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(At(shown, kLawnX, kLawnY), kLawnColour) << "still in the park";
  EXPECT_EQ(At(shown, kDressX, kDressY), kDressColour);
  EXPECT_GT(InkOnFirstLine(shown), 50) << "Mio's goodbye";
  const std::vector<std::uint32_t>& again = run.PictureAt(title_again);
  ASSERT_FALSE(again.empty());
  EXPECT_EQ(At(again, kMoonX, kMoonY), kMoonColour) << "back at the title after the story";
}

TEST_F(DemoRunGuiTest, TheStorySavesAtItsThirdLineAndTheTitleGoesOnFromThere) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  StartTheStory(reader);
  reader.Choose(kFirstChoiceY);
  reader.Read(kLinesOnTheHill);
  reader.WaitForTheTitle();
  reader.Choose(kTitleContinueY);
  // On from the saved line: its text printed again, Mio in the park.
  const int resumed = reader.Next() - 20;
  reader.Read(2);
  reader.Choose(kSecondChoiceY);
  reader.Read(kLinesAtHome);
  run.PlanPicture(resumed, "demo_resumed.png");
  RunToTheEnd(run, reader, log);

  const std::vector<std::uint32_t>& shown = run.PictureAt(resumed);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(At(shown, kLawnX, kLawnY), kLawnColour) << "back in the park";
  EXPECT_EQ(At(shown, kDressX, kDressY), kDressColour) << "with Mio";
  EXPECT_GT(InkOnFirstLine(shown), 50) << "the saved line";
  EXPECT_NE(At(shown, kMoonX, kMoonY), kMoonColour) << "not the title";
}

// Ctrl+F1 at the choice saves into slot 0 and its notice slides in over the message window; the
// story goes on up the hill; F1 answered yes loads the choice back, and the other branch goes on
// from there to the end.
TEST_F(DemoRunGuiTest, AQuickSaveAtTheChoiceShowsItsNoticeAndAQuickLoadBringsTheChoiceBack) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  StartTheStory(reader);
  const int choices = reader.Next() - 20;
  reader.QuickSave();
  // Fully in view from about 33 frames after the key until about 100 frames after it.
  const int notice = reader.Next() - kStep + 45;
  reader.Choose(kFirstChoiceY);
  const int hill = reader.Next() + kStep / 2;
  reader.Read(1);
  // F1 asks whether to load slot 0; yes ends the run, MAIN loads it and the choice is back.
  reader.Ask(SDL_SCANCODE_F1, SDLK_F1);
  const int loaded = reader.Next() - 20;
  reader.Choose(kSecondChoiceY);
  const int goodbye = reader.Next() - 20;
  reader.Read(kLinesAtHome);
  run.PlanPicture(choices, "demo_quick_choice.png");
  run.PlanPicture(notice, "demo_quick_notice.png");
  run.PlanPicture(hill, "demo_quick_hill.png");
  run.PlanPicture(loaded, "demo_quick_loaded.png");
  run.PlanPicture(goodbye, "demo_quick_goodbye.png");
  RunToTheEnd(run, reader, log);

  const std::vector<std::uint32_t>& before = run.PictureAt(choices);
  const std::vector<std::uint32_t>& saved = run.PictureAt(notice);
  ASSERT_FALSE(before.empty());
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(NoticeInk(before), 0);
  EXPECT_GT(NoticeInk(saved), 40) << "the notice of the save in slot 1, over the message window";
  EXPECT_EQ(At(saved, kChoiceX, kFirstChoiceY), At(before, kChoiceX, kFirstChoiceY)) << "the choice stays open";
  const std::vector<std::uint32_t>& on_the_hill = run.PictureAt(hill);
  ASSERT_FALSE(on_the_hill.empty());
  EXPECT_NE(At(on_the_hill, kLawnX, kLawnY), kLawnColour) << "the story went on up the hill";
  EXPECT_EQ(NoticeInk(on_the_hill), 0) << "the notice has gone";
  const std::vector<std::uint32_t>& back = run.PictureAt(loaded);
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(At(back, kLawnX, kLawnY), kLawnColour) << "the loaded choice in the park";
  EXPECT_EQ(At(back, kDressX, kDressY), kDressColour) << "with Mio";
  EXPECT_EQ(At(back, kChoiceX, kFirstChoiceY), At(before, kChoiceX, kFirstChoiceY)) << "the choice is open again";
  EXPECT_NE(At(back, kMoonX, kMoonY), kMoonColour) << "not the title";
  EXPECT_GT(InkOnFirstLine(back), 50) << "the saved line";
  const std::vector<std::uint32_t>& shown = run.PictureAt(goodbye);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(At(shown, kLawnX, kLawnY), kLawnColour) << "the other branch says goodbye in the park";
  EXPECT_GT(InkOnFirstLine(shown), 50);
}

}  // namespace
