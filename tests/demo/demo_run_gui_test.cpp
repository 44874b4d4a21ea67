// The built demo game, packed in its archives as it ships, played through in a real window
// (under Xvfb) at a fixed frame step: the opening movie skipped by a click, the title,
// "はじめから", the story read click by click (one line by the Enter key) down either branch of
// its choice, picked by a click, with the text history opened and closed over the hill, to the
// last line, the title again, "つづきから" on from the line where the story saved, a quick save
// with its notice and a quick load back to the saved choice, the way back to the title through
// the system menu and the text history of the continued story, and "おわる", which ends the
// game. The key frames are written as demo_*.png into the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo_game_copy.h"
#include "demo_reader.h"
#include "novel/frame/vov_frame.h"
#include "support/fixed_step_game.h"
#include "support/input_events.h"
#include "support/log_capture.h"
#include "support/test_window.h"

namespace {

using namespace demo_test;

class DemoRunGuiTest : public DemoGameCopyTest {
 protected:
  // "はじめから" and the lines up to the choice, one of them by the Enter key.
  static void StartTheStory(Reader& reader) {
    reader.Choose(kTitleStartY);
    reader.Read(1);
    reader.ReadByKey();
    reader.Read(kLinesBeforeChoice - 2);
  }
  void RunToTheEnd(test_support::FixedStepGame& run, Reader& reader, const LogCapture& log) {
    demo_test::RunToTheEnd(run, reader, log, game_.HostPath());
  }

};

TEST_F(DemoRunGuiTest, TheTitleTheStoryOnTheHillTheTitleAgainAndTheEnd) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  const int movie = kMovieSkip - 10;
  const int title = reader.Next() - 20;
  const int second_line = reader.Next() + kStep + kStep / 2;
  StartTheStory(reader);
  const int choices = reader.Next() - 20;
  reader.Choose(kFirstChoiceY);
  // The click that ends Mio's answer starts the rule transition to the hill, and the one four
  // lines on the cross-fade to the ending; each takes 48 frames and starts a frame or two late.
  const int night_falls = reader.Next();
  const int rule_half = night_falls + 2 + kTransitionFrames / 2;
  const int rule_done = night_falls + kStep - 20;
  const int hill = night_falls + kStep + kStep / 2;
  const int line_break = hill + kStep / 2 + 110;
  reader.Read(3);
  // Over the line that needed the line breaking, the text history opened by its button and
  // closed again.
  reader.Click(kHistoryButtonX, kHistoryButtonY);
  const int history = reader.Next() - 20;
  reader.Click(kHistoryCloseX, kHistoryCloseY);
  const int history_closed = reader.Next() - 20;
  // The last line, then the click that fades into the ending.
  const int fade_start = reader.Next() + kStep;
  const int fade_half = fade_start + 2 + kTransitionFrames / 2;
  const int ending = fade_start + kStep / 2;
  reader.Read(kLinesOnTheHill - 3);
  const int title_again = reader.Next() + kStep - 20;
  run.PlanPicture(movie, "demo_movie.png");
  // The movie keeps to the real clock: the frame before the picture waits until it shows, however
  // late a loaded machine starts its decoder. The message window's layout is read where the
  // picture of the broken line is taken.
  std::vector<std::string> laid_out;
  run.SetFrameObserver([&](int frame) {
    if (frame == movie - 1) ShownOnceTheMovieShows(run, kvxtools::kMovieClipBars - 1);
    if (frame == line_break && g_VovFrame != nullptr) laid_out = LaidOutLines(g_VovFrame->MessageWindow());
  });
  run.PlanPicture(title, "demo_title.png");
  run.PlanPicture(second_line, "demo_story.png");
  run.PlanPicture(choices, "demo_choice.png");
  run.PlanPicture(rule_half, "demo_rule_half.png");
  run.PlanPicture(rule_done, "demo_rule_done.png");
  run.PlanPicture(hill, "demo_hill.png");
  run.PlanPicture(line_break, "demo_line_break.png");
  run.PlanPicture(history, "demo_history.png");
  run.PlanPicture(history_closed, "demo_history_closed.png");
  run.PlanPicture(fade_half, "demo_fade_half.png");
  run.PlanPicture(ending, "demo_ending.png");
  run.PlanPicture(title_again, "demo_title_again.png");
  RunToTheEnd(run, reader, log);

  EXPECT_GE(MovieBarColoursShown(run.PictureAt(movie)), kvxtools::kMovieClipBars - 1) << "the opening movie's bars";
  const std::vector<std::uint32_t>& shown_title = run.PictureAt(title);
  ASSERT_FALSE(shown_title.empty());
  EXPECT_EQ(At(shown_title, kMoonX, kMoonY), kMoonColour) << "the title picture";
  const std::vector<std::uint32_t>& story = run.PictureAt(second_line);
  ASSERT_FALSE(story.empty());
  EXPECT_GT(InkOnFirstLine(story), 50) << "Mio's first line";
  EXPECT_EQ(At(story, kDressX, kDressY), kDressColour) << "Mio in the middle";
  EXPECT_EQ(At(story, kLawnX, kLawnY), kLawnColour) << "in the park";
  const std::vector<std::uint32_t>& choice_list = run.PictureAt(choices);
  ASSERT_FALSE(choice_list.empty());
  EXPECT_EQ(At(choice_list, kChoiceListX, kChoiceListY), kChoiceItemColour) << "the choice list's item picture";
  EXPECT_EQ(At(choice_list, kChoiceListX, kFirstChoiceY), kChoiceItemColour) << "the first item, at rest";
  // Half-way through the rule the hill's night has come down over the top half of the screen,
  // the park's lawn is still below it; after it the night sky is everywhere, under the window
  // and the line printed in it.
  const std::vector<std::uint32_t>& half_rule = run.PictureAt(rule_half);
  const std::vector<std::uint32_t>& after_rule = run.PictureAt(rule_done);
  ASSERT_FALSE(half_rule.empty());
  ASSERT_FALSE(after_rule.empty());
  const std::uint32_t night_sky = At(after_rule, kSkyX, kSkyY);
  EXPECT_NE(night_sky, At(story, kSkyX, kSkyY)) << "the hill's sky is not the park's";
  EXPECT_EQ(At(half_rule, kSkyX, kSkyY), night_sky) << "the night has come down over the top";
  EXPECT_EQ(At(half_rule, kLawnX, kLawnY), kLawnColour) << "the park's lawn still below";
  EXPECT_GT(InkOnFirstLine(half_rule), 50) << "Mio's answer stays in the window through the rule";
  EXPECT_NE(At(after_rule, kLawnX, kLawnY), kLawnColour) << "the night over the lawn too";
  EXPECT_GT(InkOnFirstLine(after_rule), 50) << "the next line printed in the window after the rule";
  const std::vector<std::uint32_t>& shown_hill = run.PictureAt(hill);
  ASSERT_FALSE(shown_hill.empty());
  EXPECT_NE(At(shown_hill, kLawnX, kLawnY), kLawnColour) << "the night on the hill after the park's evening";
  EXPECT_EQ(At(shown_hill, kSteppedAsideX, kDressY), kCoatColour) << "Mio came along in her coat and stepped aside";
  EXPECT_NE(At(shown_hill, kDressX, kDressY), kCoatColour) << "from the middle";
  const std::vector<std::uint32_t>& broken = run.PictureAt(line_break);
  ASSERT_FALSE(broken.empty());
  EXPECT_GT(InkOnLine(broken, 0), 50) << "a full first line";
  EXPECT_GT(InkOnLine(broken, 1), 50) << "and a second";
  EXPECT_EQ(InkOnLine(broken, 2), 0) << "and no third";
  // The full stop, the 34th character, would start the second line; the line breaking does not
  // let it, so the second line starts with a whole character, whose ink reaches the upper half
  // of its cell (a full stop's lies in the lower left corner), and the layout hangs the full
  // stop at the end of the first line.
  EXPECT_GT(InkIn(broken, kTextLeft, kTextTop + kLineHeight, kTextLeft + 22, kTextTop + kLineHeight + 10), 0)
      << "the second line does not start with the full stop";
  ASSERT_EQ(laid_out.size(), 2u) << Joined(laid_out);
  EXPECT_TRUE(laid_out[0].ends_with("。")) << laid_out[0];
  EXPECT_FALSE(laid_out[1].starts_with("。")) << laid_out[1];
  // The history over the hill: its veil blended over the night sky, the long line in its newest
  // row; closed, the hill again.
  const std::vector<std::uint32_t>& shown_history = run.PictureAt(history);
  ASSERT_FALSE(shown_history.empty());
  EXPECT_TRUE(Veiled(At(shown_history, kSkyX, kSkyY), night_sky)) << std::hex << At(shown_history, kSkyX, kSkyY);
  EXPECT_GT(InkInHistoryRow(shown_history, 3), 50) << "the newest line in the last row";
  const std::vector<std::uint32_t>& after_history = run.PictureAt(history_closed);
  ASSERT_FALSE(after_history.empty());
  EXPECT_EQ(At(after_history, kSkyX, kSkyY), night_sky) << "the history closed over the hill";
  EXPECT_GT(InkOnLine(after_history, 1), 50) << "with the long line in the window";
  // The star is a fix that lies loose in the game folder: the archive's first draft has none.
  const std::vector<std::uint32_t>& shown_ending = run.PictureAt(ending);
  ASSERT_FALSE(shown_ending.empty());
  EXPECT_EQ(At(shown_ending, kStarX, kStarY), kStarColour) << "the ending picture, loose over the archive's";
  // Half-way through the cross-fade the sky is a mix of the hill's and the ending's.
  const std::vector<std::uint32_t>& half_fade = run.PictureAt(fade_half);
  ASSERT_FALSE(half_fade.empty());
  EXPECT_TRUE(HalfWayBetween(At(half_fade, kSkyX, kSkyY), night_sky, At(shown_ending, kSkyX, kSkyY)))
      << std::hex << At(half_fade, kSkyX, kSkyY) << " between " << night_sky << " and "
      << At(shown_ending, kSkyX, kSkyY);
  EXPECT_NE(At(shown_ending, kSteppedAsideX, kDressY), kCoatColour) << "without Mio";
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
  EXPECT_LT(NoticeInkRight(saved), ButtonRowLeft(saved)) << "the notice runs clear of the buttons";
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

// The main road: the quick-save button at the choice, the menu's way back to the title answered yes,
// "つづきから" back to the newest save, the text history of the story so far over the dimmed
// screen and closed again, the other branch to its end and "おわる".
TEST_F(DemoRunGuiTest, SavedAtTheChoiceBackToTheTitleContinuedTheHistoryReadAndTheEnd) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  StartTheStory(reader);
  reader.Click(kQuickSaveButtonX, kHistoryButtonY);
  const int notice = reader.Next() - kStep + 45;
  reader.BackToTheTitleFromTheMenu();
  reader.WaitForTheTitle();
  const int title = reader.Next() - 20;
  reader.Choose(kTitleContinueY);
  const int resumed = reader.Next() - 20;
  reader.Click(kHistoryButtonX, kHistoryButtonY);
  const int history = reader.Next() - 20;
  reader.Click(kHistoryCloseX, kHistoryCloseY);
  const int closed = reader.Next() - 20;
  // The newest save of the group is either the story's own, two clicks before the choice as
  // above, or the quick save at the choice, where clicks away from the list change nothing.
  reader.Read(2);
  reader.Choose(kSecondChoiceY);
  reader.Read(kLinesAtHome);
  run.PlanPicture(notice, "demo_road_notice.png");
  run.PlanPicture(title, "demo_road_title.png");
  run.PlanPicture(resumed, "demo_road_resumed.png");
  run.PlanPicture(history, "demo_road_history.png");
  run.PlanPicture(closed, "demo_road_closed.png");
  RunToTheEnd(run, reader, log);

  EXPECT_GT(NoticeInk(run.PictureAt(notice)), 40) << "the notice of the quick save";
  EXPECT_LT(NoticeInkRight(run.PictureAt(notice)), ButtonRowLeft(run.PictureAt(notice))) << "clear of the buttons";
  const std::vector<std::uint32_t>& at_title = run.PictureAt(title);
  ASSERT_FALSE(at_title.empty());
  EXPECT_EQ(At(at_title, kMoonX, kMoonY), kMoonColour) << "the menu's way led to the title";
  // Left the story while Mio spoke: her name plate goes with the story, its row shows the title.
  EXPECT_EQ(At(at_title, kNamePlateX, kNamePlateY), At(at_title, 240, kNamePlateY)) << "no name plate over the title";
  const std::vector<std::uint32_t>& back = run.PictureAt(resumed);
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(At(back, kLawnX, kLawnY), kLawnColour) << "continued in the park";
  EXPECT_GT(InkOnFirstLine(back), 50) << "the saved line";
  const std::vector<std::uint32_t>& shown = run.PictureAt(history);
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(Veiled(At(shown, kLawnX, kLawnY), kLawnColour)) << "the lawn under the history's veil";
  EXPECT_GT(InkInHistoryRow(shown, 3), 50) << "the newest line in the last row";
  const std::vector<std::uint32_t>& after = run.PictureAt(closed);
  ASSERT_FALSE(after.empty());
  EXPECT_EQ(At(after, kLawnX, kLawnY), kLawnColour) << "the history closed over the park";
}

}  // namespace
