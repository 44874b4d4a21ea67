// The built demo played as a player meets it, with the faults a player meets: the game closed
// during the opening movie or the story by the close box or by a request to end the program,
// the opening movie left to play to its end, and a quick load of a damaged save. Key frames are written as
// demo_fault_*.png into the build folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "demo_game_copy.h"
#include "demo_reader.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/session_end.h"
#include "platform/window/dialog_host.h"
#include "platform/window/message_box_view.h"
#include "platform/window/system_message_box.h"
#include "support/fixed_step_game.h"
#include "support/input_events.h"
#include "support/log_capture.h"
#include "support/png_file.h"
#include "support/test_window.h"

namespace {

using namespace demo_test;

// A second at the demo's 60 frames a second.
constexpr int kSecond = 60;

class DemoPlayerFaultsGuiTest : public DemoGameCopyTest {
 protected:
  static void StartTheStory(Reader& reader) {
    reader.Choose(kTitleStartY);
    reader.Read(kLinesBeforeChoice);
  }
  // Overwrites the end of a save's packed state, as a bad sector or a cut write leaves it.
  static void Damage(const std::filesystem::path& save) {
    std::fstream file(save, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(-16, std::ios::end);
    file.write("damaged damaged!", 16);
  }
  // The first save named `name` under the game's copy (the save folder lies below it).
  std::filesystem::path SaveNamed(const std::string& name) const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(game_.HostPath())) {
      if (entry.path().filename() == name) return entry.path();
    }
    return {};
  }
  // "はじめから", quick saves by the button on the bench and at the choice, and back to the
  // title by the menu.
  static void SaveOnTheBenchAndAtTheChoice(Reader& reader) {
    reader.Choose(kTitleStartY);
    reader.Read(2);
    reader.Click(kQuickSaveButtonX, kHistoryButtonY);
    reader.Read(kLinesBeforeChoice - 2);
    reader.Click(kQuickSaveButtonX, kHistoryButtonY);
    reader.BackToTheTitleFromTheMenu();
  }
  // Damages the newer of the two quick saves; its path.
  std::filesystem::path DamageTheNewestQuickSave() const {
    std::filesystem::path newest;
    for (const char* name : {"DATA1105.SAV", "DATA1106.SAV", "DATA1107.SAV", "DATA1108.SAV"}) {
      if (const std::filesystem::path save = SaveNamed(name); !save.empty()) newest = save;
    }
    EXPECT_FALSE(newest.empty()) << "the quick saves";
    if (!newest.empty()) Damage(newest);
    return newest;
  }
  // The page that "つづきから" brought back from the bench's save, with the notice that the
  // quick load of the newer one failed.
  static void ExpectTheBenchWithTheNotice(const std::vector<std::uint32_t>& shown, const LogCapture& log,
                                          const std::filesystem::path& damaged) {
    ASSERT_FALSE(shown.empty());
    EXPECT_GT(NoticeInk(shown), 40) << "the notice that the quick load failed";
    EXPECT_EQ(At(shown, kLawnX, kLawnY), kLawnColour) << "back in the park\n" << Joined(log.Lines());
    EXPECT_EQ(At(shown, kDressX, kDressY), kDressColour) << "with Mio";
    EXPECT_GT(InkOnFirstLine(shown), 50) << "the bench's line";
    EXPECT_NE(At(shown, kChoiceX, kFirstChoiceY), kChoiceItemColour) << "before the choice";
    EXPECT_TRUE(std::any_of(log.Lines().begin(), log.Lines().end(),
                            [&](const std::string& line) { return line.find(damaged.filename().string()) != std::string::npos; }))
        << "the log names the damaged save";
  }
};

SDL_Event CloseBox() {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  return event;
}

// Closed at the story's choice, the game asks its quit question (answered yes) and ends at
// once with status 0: no box of a title that could not load holds it open.
TEST_F(DemoPlayerFaultsGuiTest, TheCloseBoxOrARequestToEndDuringTheStoryEndsTheGameAtOnce) {
  plat::CatchEndRequests();
  for (const bool by_signal : {false, true}) {
    SCOPED_TRACE(by_signal ? "SIGTERM" : "the close box");
    LogCapture log;
    test_support::FixedStepGame run;
    Reader reader(run);
    StartTheStory(reader);
    const int closed = reader.Next();
    if (by_signal) {
      run.SetFrameObserver([&](int frame) {
        if (frame == closed) kill(getpid(), SIGTERM);
      });
    } else {
      run.PlanEvent(closed, CloseBox());
    }
    run.PlanPicture(closed - 1, by_signal ? "demo_fault_before_sigterm.png" : "demo_fault_before_close.png");
    run.SetLastFrame(closed + 10 * kSecond);
    EXPECT_EQ(run.Run(game_.HostPath()), 0);
    EXPECT_FALSE(run.GaveUp()) << Joined(log.Lines());
    const std::vector<std::uint32_t>& story = run.PictureAt(closed - 1);
    ASSERT_FALSE(story.empty());
    EXPECT_NE(At(story, kMoonX, kMoonY), kMoonColour) << "closed during the story";
    EXPECT_LE(run.TimeAt(run.Frames()) - run.TimeAt(closed), 2000u) << "ended within two seconds";
    const std::size_t questions = by_signal ? 0 : 1;
    ASSERT_EQ(run.MessageBoxes().size(), questions) << run.MessageBoxes().back().request.text;
    // The demo ends by itself: it asks for no title, whose load would fail with a box.
    for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("message box"), std::string::npos) << line;
  }
}

// The opening movie paints into the window from a thread of its own. The close box (answered
// yes) or a request to end the program, early in the movie, in its middle and near its end,
// ends the game with status 0: the movie stops before the window goes. Under the sanitizers a
// paint into a window that is gone ends the test with their report.
TEST_F(DemoPlayerFaultsGuiTest, ClosingDuringTheOpeningMovieEndsTheGameWithoutAFault) {
  plat::CatchEndRequests();
  for (const int moment : {2, kSecond / 2, 2 * kSecond, 5 * kSecond}) {
    for (const bool by_signal : {false, true}) {
      SCOPED_TRACE(std::string(by_signal ? "SIGTERM" : "the close box") + " at frame " + std::to_string(moment));
      LogCapture log;
      test_support::FixedStepGame run;
      run.SetFrameObserver([&](int frame) {
        std::this_thread::sleep_for(std::chrono::microseconds(1000000 / kSecond));
        if (frame == moment - 2 && moment == 2 * kSecond) ShownOnceTheMovieShows(run, 4);
        if (by_signal && frame == moment) kill(getpid(), SIGTERM);
      });
      if (!by_signal) run.PlanEvent(moment, CloseBox());
      if (moment == 2 * kSecond) run.PlanPicture(moment - 1, "demo_fault_movie_before_close.png");
      run.SetLastFrame(moment + 5 * kSecond);
      EXPECT_EQ(run.Run(game_.HostPath()), 0);
      EXPECT_FALSE(run.GaveUp()) << Joined(log.Lines());
      EXPECT_EQ(run.MessageBoxes().size(), by_signal ? 0u : 1u);
      if (moment == 2 * kSecond) {
        EXPECT_GE(MovieBarColoursShown(run.PictureAt(moment - 1)), 4) << "the movie plays";
      }
    }
  }
}

// Alt+F4 in the story asks whether to end; the player lets go of Alt and F4 while the question is
// open, whose loop takes their key-ups, and answers no. F1 alone then loads slot 1 (and says
// that it holds no save), as it does before any question: Alt is not left held.
TEST_F(DemoPlayerFaultsGuiTest, AfterTheQuitQuestionAnsweredNoTheFunctionKeysLoadAgain) {
  LogCapture log;
  test_support::FixedStepGame* game = nullptr;
  test_support::FixedStepGame run([&game](const plat::MessageBoxRequest& request) {
    const plat::WindowId window = game->Game().GetMainWindow().GetHandle();
    for (const SDL_Scancode key : {SDL_SCANCODE_LALT, SDL_SCANCODE_F4}) {
      SDL_Event up = test_support::KeyEvent(key, SDL_GetKeyFromScancode(key), false);
      up.key.windowID = window;
      SDL_PushEvent(&up);
    }
    const std::string text = plat::SjisToUtf8(request.text);
    plat::MessageBoxView view(text, request.style);
    const plat::ScopedDialogWatcher answered([](const plat::DialogShot&) { return true; });
    plat::RunModalDialog(window, plat::DialogFrame{"quit", plat::MessageBoxView::kWidth, 0, -1, -1, {text}}, view);
    return plat::IDNO;
  });
  game = &run;
  Reader reader(run);
  StartTheStory(reader);
  const int asked = reader.Next();
  SDL_Event alt = test_support::KeyEvent(SDL_SCANCODE_LALT, SDLK_LALT, true);
  alt.key.keysym.mod = KMOD_LALT;
  SDL_Event f4 = test_support::KeyEvent(SDL_SCANCODE_F4, SDLK_F4, true);
  f4.key.keysym.mod = KMOD_LALT;
  run.PlanEvent(asked, alt);
  run.PlanEvent(asked + 1, f4);
  reader.Linger();
  reader.Press(SDL_SCANCODE_F1, SDLK_F1);
  const int notice = reader.Next() - kStep + 45;
  run.PlanPicture(notice, "demo_fault_load_after_question.png");
  run.SetLastFrame(notice + 1);
  run.Run(game_.HostPath());
  ASSERT_EQ(run.MessageBoxes().size(), 1u) << "the quit question";
  const std::vector<std::uint32_t>& shown = run.PictureAt(notice);
  ASSERT_FALSE(shown.empty());
  EXPECT_GT(NoticeInk(shown), 40) << "F1 reached the story: its notice that slot 1 holds no save";
  EXPECT_EQ(At(shown, kLawnX, kLawnY), kLawnColour) << "the story goes on in the park";
}

// Nobody clicks: the six-second movie plays to its end and the title follows by itself. The movie
// plays in real time, so the frames here take their real time too; the window is looked at every
// tenth of a second until the title shows, for a minute at most, however slowly a loaded machine
// plays the movie.
TEST_F(DemoPlayerFaultsGuiTest, TheOpeningMovieEndsByItselfAndTheTitleFollows) {
  LogCapture log;
  test_support::FixedStepGame run;
  std::vector<std::uint32_t> movie;
  std::vector<std::uint32_t> title;
  run.SetFrameObserver([&](int frame) {
    std::this_thread::sleep_for(std::chrono::microseconds(1000000 / kSecond));
    if (frame == kSecond) movie = ShownOnceTheMovieShows(run, 4);
    if (frame <= kSecond || frame % (kSecond / 10) != 0) return;
    const std::vector<std::uint32_t> shown = ShownPixels(*run.Game().GetMainWindow().GetPlatformWindow(), 800, 600);
    if (shown.empty() || At(shown, kMoonX, kMoonY) != kMoonColour) return;
    title = shown;
    run.SetLastFrame(frame);
  });
  run.SetLastFrame(60 * kSecond);
  run.Run(game_.HostPath());
  ASSERT_FALSE(movie.empty());
  WritePng("demo_fault_movie.png", movie, 800, 600);
  EXPECT_GE(MovieBarColoursShown(movie), 4) << "the movie plays";
  ASSERT_FALSE(title.empty()) << "the title after the movie\n" << Joined(log.Lines());
  WritePng("demo_fault_title_after_movie.png", title, 800, 600);
  EXPECT_TRUE(run.MessageBoxes().empty());
  // The start says nothing of resources this build does not carry.
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("icon resource"), std::string::npos) << line;
}

// A quick save at the choice, damaged on the disk; F1 then says the load failed and the story
// stays on the screen, its choice open, instead of ending the run and losing it.
TEST_F(DemoPlayerFaultsGuiTest, AQuickLoadOfADamagedSaveSaysSoAndTheStoryStays) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  StartTheStory(reader);
  const int choices = reader.Next() - 20;
  reader.QuickSave();
  const int damaged = reader.Next() - 10;
  reader.Press(SDL_SCANCODE_F1, SDLK_F1);
  // The notice is fully in view from about 33 frames after the key.
  const int notice = reader.Next() - kStep + 45;
  const int after = reader.Next() - 10;
  run.SetFrameObserver([&](int frame) {
    if (frame != damaged) return;
    const std::filesystem::path save = SaveNamed("DATA1100.SAV");
    ASSERT_FALSE(save.empty()) << "the quick save of slot 1";
    Damage(save);
  });
  run.PlanPicture(choices, "demo_fault_choice.png");
  run.PlanPicture(notice, "demo_fault_load_notice.png");
  run.PlanPicture(after, "demo_fault_after_load.png");
  run.SetLastFrame(after + 1);
  run.Run(game_.HostPath());

  const std::vector<std::uint32_t>& before = run.PictureAt(choices);
  const std::vector<std::uint32_t>& noticed = run.PictureAt(notice);
  const std::vector<std::uint32_t>& stayed = run.PictureAt(after);
  ASSERT_FALSE(before.empty());
  ASSERT_FALSE(noticed.empty());
  ASSERT_FALSE(stayed.empty());
  EXPECT_GT(NoticeInk(noticed), 40) << "the notice that the load failed";
  EXPECT_LT(NoticeInkRight(noticed), ButtonRowLeft(noticed)) << "the notice runs clear of the buttons";
  EXPECT_EQ(At(stayed, kLawnX, kLawnY), kLawnColour) << "still in the park";
  EXPECT_EQ(At(stayed, kChoiceX, kFirstChoiceY), At(before, kChoiceX, kFirstChoiceY)) << "the choice is still open";
  EXPECT_NE(At(stayed, kMoonX, kMoonY), kMoonColour) << "not the title";
  EXPECT_TRUE(run.MessageBoxes().empty()) << "no question for a save that cannot load";
  EXPECT_TRUE(std::any_of(log.Lines().begin(), log.Lines().end(),
                          [](const std::string& line) { return line.find("DATA1100.SAV") != std::string::npos; }))
      << "the log names the damaged save\n" << Joined(log.Lines());
}

// A quick save by the button at the choice, damaged on the disk; the quick-load button then says
// that the quick load failed in the longest of the frame's notices, which runs clear of the row
// of buttons.
TEST_F(DemoPlayerFaultsGuiTest, TheQuickLoadButtonsNoticeOfADamagedSaveRunsClearOfTheButtons) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  StartTheStory(reader);
  reader.Click(kQuickSaveButtonX, kHistoryButtonY);
  const int damaged = reader.Next() - 10;
  reader.Click(kQuickLoadButtonX, kHistoryButtonY);
  const int notice = reader.Next() - kStep + 45;
  std::filesystem::path newest;
  run.SetFrameObserver([&](int frame) {
    if (frame != damaged) return;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(game_.HostPath())) {
      if (entry.path().extension() != ".SAV") continue;
      if (newest.empty() || entry.last_write_time() > std::filesystem::last_write_time(newest)) newest = entry.path();
    }
    ASSERT_FALSE(newest.empty()) << "the quick save";
    Damage(newest);
  });
  run.PlanPicture(notice, "demo_fault_quick_load_button_notice.png");
  run.SetLastFrame(notice + 1);
  run.Run(game_.HostPath());

  const std::vector<std::uint32_t>& shown = run.PictureAt(notice);
  ASSERT_FALSE(shown.empty());
  EXPECT_GT(NoticeInk(shown), 40) << "the notice that the quick load failed\n" << Joined(log.Lines());
  EXPECT_LT(NoticeInkRight(shown), ButtonRowLeft(shown)) << "the notice runs clear of the buttons";
  EXPECT_TRUE(run.MessageBoxes().empty()) << "no question for a save that cannot load";
}

// Quick saves on the bench and at the choice; back at the title the newer one is damaged on the
// disk. "つづきから" then says that the quick load failed and goes on from the newest save that
// reads, the bench: the title does not stay with nothing said.
TEST_F(DemoPlayerFaultsGuiTest, ContinueWithTheNewestSaveDamagedGoesOnFromTheNewestThatReads) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  SaveOnTheBenchAndAtTheChoice(reader);
  reader.WaitForTheTitle();
  const int damaged = reader.Next() - 10;
  reader.Choose(kTitleContinueY);
  // The notice slides in once the loaded page has faded in.
  const int resumed = reader.Next() - 10;
  std::filesystem::path newest;
  run.SetFrameObserver([&](int frame) {
    if (frame == damaged) newest = DamageTheNewestQuickSave();
  });
  run.PlanPicture(damaged, "demo_fault_continue_title.png");
  run.PlanPicture(resumed, "demo_fault_continue_resumed.png");
  run.SetLastFrame(resumed + 1);
  run.Run(game_.HostPath());

  ASSERT_FALSE(run.PictureAt(damaged).empty());
  EXPECT_EQ(At(run.PictureAt(damaged), kMoonX, kMoonY), kMoonColour) << "the title";
  ExpectTheBenchWithTheNotice(run.PictureAt(resumed), log, newest);
}

// The story read twice to its choice, so that it saved itself twice on the bench without a
// notice, and the game ended; the newer save is damaged before the game starts again.
// "つづきから" at once, in a game that has shown no notice yet, goes on from the bench, and the
// notice that the quick load failed slides in only once that page stands after its fade-in:
// none of it shows while the page is loaded, so a load that takes long on a slow machine eats
// none of the notice, which then stays in view for a second or more.
TEST_F(DemoPlayerFaultsGuiTest, ContinueAtAFreshStartWithTheNewestSaveDamagedSaysSoOnceThePageStands) {
  LogCapture log;
  {
    test_support::FixedStepGame saving;
    Reader reader(saving);
    for (int reading = 0; reading < 2; ++reading) {
      StartTheStory(reader);
      reader.BackToTheTitleFromTheMenu();
      reader.WaitForTheTitle();
    }
    RunToTheEnd(saving, reader, log, game_.HostPath());
  }
  const std::filesystem::path newest = DamageTheNewestQuickSave();
  ASSERT_FALSE(newest.empty());

  test_support::FixedStepGame run;
  Reader reader(run);
  const int chosen = reader.Next();
  reader.Choose(kTitleContinueY);
  const int last = reader.Next() + kStep;
  // Frame by frame from the choice: whether the bench's page stands (its lawn at full colour,
  // after the fade-in from black) and how much of the notice shows.
  struct Seen {
    bool page_stands = false;
    int notice_ink = 0;
  };
  std::vector<Seen> seen;
  std::vector<std::uint32_t> first_in_view;
  run.SetFrameObserver([&](int frame) {
    if (frame < chosen) return;
    const std::vector<std::uint32_t> shown = ShownPixels(*run.Game().GetMainWindow().GetPlatformWindow(), 800, 600);
    if (shown.empty()) return;
    seen.push_back({At(shown, kLawnX, kLawnY) == kLawnColour, NoticeInk(shown)});
    if (first_in_view.empty() && seen.back().page_stands && seen.back().notice_ink > 40) {
      first_in_view = shown;
      WritePng("demo_fault_fresh_continue.png", shown, 800, 600);
    }
  });
  run.SetLastFrame(last);
  run.Run(game_.HostPath());

  const auto stands = std::find_if(seen.begin(), seen.end(), [](const Seen& frame) { return frame.page_stands; });
  ASSERT_NE(stands, seen.end()) << "the bench's page\n" << Joined(log.Lines());
  EXPECT_TRUE(std::all_of(seen.begin(), stands, [](const Seen& frame) { return frame.notice_ink == 0; }))
      << "no notice before the page stands";
  const auto in_view = std::find_if(stands, seen.end(), [](const Seen& frame) { return frame.notice_ink > 40; });
  ASSERT_NE(in_view, seen.end()) << "the notice that the quick load failed";
  const auto gone = std::find_if(in_view, seen.end(), [](const Seen& frame) { return frame.notice_ink <= 40; });
  EXPECT_GE(gone - in_view, kSecond) << "in view for a second or more";
  ExpectTheBenchWithTheNotice(first_in_view, log, newest);
}

// The system menu's "ゲームを終了" answered yes in the story, where the settings file cannot be
// written (a folder of that name stands where the game left its file after start-up). The game
// ends with status 0, and as it ends its box says that the settings were not kept (the player's
// changes are lost otherwise without a word), once, after the quit question; the log names the
// file.
TEST_F(DemoPlayerFaultsGuiTest, TheMenusQuitWithSettingsThatCannotBeWrittenSaysSoInItsBox) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  StartTheStory(reader);
  reader.AskFromTheMenu(kMenuItemX, MenuItemY(kMenuExitItem));
  const std::filesystem::path settings = game_.HostPath() + "USER.CFG";
  run.SetFrameObserver([&](int frame) {
    if (frame != 1) return;
    std::filesystem::remove(settings);
    std::filesystem::create_directories(settings / "in the way");
  });
  run.SetLastFrame(reader.Next() + 10 * kSecond);
  EXPECT_EQ(run.Run(game_.HostPath()), 0);
  EXPECT_FALSE(run.GaveUp()) << "the menu's quit ends the game\n" << Joined(log.Lines());
  std::vector<std::string> texts;
  for (const test_support::FixedStepGame::ShownBox& box : run.MessageBoxes()) {
    texts.push_back(plat::SjisToUtf8(box.request.text));
  }
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "環境設定ファイルの保存に失敗") << Joined(texts);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "環境設定ファイルの保存に失敗"), 1) << Joined(texts);
  const auto logged = [&](const std::string& text) {
    return std::count_if(log.Lines().begin(), log.Lines().end(),
                         [&](const std::string& line) { return line.find(text) != std::string::npos; });
  };
  EXPECT_EQ(logged(std::string(plat::kNotShownWhileEnding)), 0) << Joined(log.Lines());
  EXPECT_EQ(logged("the settings file cannot be written"), 1) << Joined(log.Lines());
}

// Ctrl+F3 pressed and let go within one frame, as some keyboards, remote desktops and macros
// send a chord: the game saves into slot 3 as for a slow chord, and loads nothing.
TEST_F(DemoPlayerFaultsGuiTest, AChordWithinOneFrameSavesIntoItsSlot) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  StartTheStory(reader);
  const int chord = reader.Next();
  run.PlanEvent(chord, test_support::KeyEvent(SDL_SCANCODE_LCTRL, SDLK_LCTRL, true));
  run.PlanEvent(chord, test_support::KeyEvent(SDL_SCANCODE_F3, SDLK_F3, true));
  run.PlanEvent(chord, test_support::KeyEvent(SDL_SCANCODE_F3, SDLK_F3, false));
  run.PlanEvent(chord, test_support::KeyEvent(SDL_SCANCODE_LCTRL, SDLK_LCTRL, false));
  const int after = chord + kStep;
  run.PlanPicture(after, "demo_fault_chord.png");
  run.SetLastFrame(after + 1);
  run.Run(game_.HostPath());
  ASSERT_FALSE(run.PictureAt(after).empty());
  EXPECT_FALSE(SaveNamed("DATA1102.SAV").empty()) << "saved into slot 3";
  EXPECT_TRUE(run.MessageBoxes().empty()) << "no question to load it";
  EXPECT_EQ(At(run.PictureAt(after), kLawnX, kLawnY), kLawnColour) << "still in the park";
}

}  // namespace
