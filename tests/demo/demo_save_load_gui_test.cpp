// The demo's own save and load screen ("SaveLoad"), played in a real window (under Xvfb) at a
// fixed frame step: on the hill after the rule transition the message window's save button opens
// it in save mode, a click on slot 1 saves there and the slot then shows the save's thumbnail (the
// hill's night inside it), its time stamp and its caption (the displayed line); the back button
// returns to the story, which goes on; later the load button opens the screen in load mode, a
// right click and Escape leave it, a click on an empty slot loads nothing, and slot 1 brings the
// saved line back through MAIN's load; the story then runs to the title and "おわる" ends the
// game. The key frames are written as demo_save_load_*.png into the build folder.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "demo_game_copy.h"
#include "demo_reader.h"
#include "game/save_file_layout.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "support/fixed_step_game.h"
#include "support/log_capture.h"

namespace {

using namespace demo_test;

// The message window's save and load buttons.
constexpr std::int32_t kSaveButtonX = 533;
constexpr std::int32_t kLoadButtonX = 574;
constexpr std::int32_t kButtonY = 588;
// The yes button of the game's question, centred on the screen.
constexpr std::int32_t kQuestionYesX = 352;
constexpr std::int32_t kQuestionYesY = 340;
// The screen's back button and its slots: 360 x 150 plates in two columns of three from (30, 70),
// 380 and 170 apart; in each the thumbnail at (12, 12), the time stamp from (126, 14) and the
// caption below it from (126, 46).
constexpr std::int32_t kBackX = 728;
constexpr std::int32_t kBackY = 36;
constexpr std::int32_t kSlotLeft = 30;
constexpr std::int32_t kSlotTop = 70;
constexpr std::int32_t kSlotWidth = 360;
constexpr std::int32_t kSlotHeight = 150;
constexpr std::int32_t kThumbnailWidth = 100;
constexpr std::int32_t kThumbnailHeight = 75;
// The system menu's light left edge, which a right click in the story brings in.
constexpr std::int32_t kMenuEdgeX = 614;
constexpr std::uint32_t kMenuEdge = 0xFF9FB8E0;
// The colour of a thumbnail without a save.
constexpr std::uint32_t kBlankThumbnail = 0xFF404048;

struct Slot {
  std::int32_t left;
  std::int32_t top;
  std::int32_t CentreX() const { return left + kSlotWidth / 2; }
  std::int32_t CentreY() const { return top + kSlotHeight / 2; }
  std::int32_t ThumbnailX(std::int32_t screen_x) const { return left + 12 + screen_x * kThumbnailWidth / 800; }
  std::int32_t ThumbnailY(std::int32_t screen_y) const { return top + 12 + screen_y * kThumbnailHeight / 600; }
  // Ink of the time stamp's line and of the caption's first line, against the plate beside them.
  int StampInk(const std::vector<std::uint32_t>& shown) const { return Ink(shown, top + 14, top + 34); }
  int CaptionInk(const std::vector<std::uint32_t>& shown) const { return Ink(shown, top + 46, top + 66); }

 private:
  int Ink(const std::vector<std::uint32_t>& shown, std::int32_t from, std::int32_t to) const {
    int ink = 0;
    for (std::int32_t y = from; y < to; ++y) {
      for (std::int32_t x = left + 126; x < left + kSlotWidth - 8; ++x) {
        ink += At(shown, x, y) != At(shown, left + kSlotWidth - 4, y) ? 1 : 0;
      }
    }
    return ink;
  }
};

Slot SlotAt(int index) { return {kSlotLeft + (index % 2) * 380, kSlotTop + (index / 2) * 170}; }

// Whether every channel of two colours lies within `tolerance`.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (difference > tolerance || difference < -tolerance) return false;
  }
  return true;
}

// The save of slot 1 on the hill as the game wrote it when the test was recorded.
constexpr char kRecordedHillSave[] = KESTRUNE_SOURCE_DIR "/tests/demo/recorded/hill_slot1.sav";

std::string ReadRecordedFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class DemoSaveLoadGuiTest : public DemoGameCopyTest {};

TEST_F(DemoSaveLoadGuiTest, ASaveOnTheHillShowsItsSlotAndALoadFromTheScreenBringsTheLineBack) {
  const Slot first = SlotAt(0);
  const Slot second = SlotAt(1);
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  reader.Choose(kTitleStartY);
  reader.Read(kLinesBeforeChoice);
  reader.Choose(kFirstChoiceY);
  // Mio's answer, ended by the click that starts the rule to the hill; the hill's first line.
  reader.Read(1);
  const int hill = reader.Next() - 20;
  reader.Click(kSaveButtonX, kButtonY);
  const int save_screen = reader.Next() - 20;
  reader.Click(first.CentreX(), first.CentreY());
  const int saved = reader.Next() - 20;
  reader.Click(kBackX, kBackY);
  const int back = reader.Next() - 20;
  // On up the hill: Mio's line, then the long line.
  reader.Read(2);
  const int later = reader.Next() - 20;
  // The load screen, left by Escape and by a right click; the third time it loads. After Escape
  // the pointer has not moved from the load button, which takes the next click there at once.
  reader.Click(kLoadButtonX, kButtonY);
  reader.Press(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  const int escaped = reader.Next() - 20;
  reader.Click(kLoadButtonX, kButtonY);
  reader.RightClick();
  const int right_clicked = reader.Next() - 20;
  reader.Click(kLoadButtonX, kButtonY);
  const int load_screen = reader.Next() - 20;
  reader.Click(second.CentreX(), second.CentreY());
  const int empty_clicked = reader.Next() - 20;
  reader.Click(first.CentreX(), first.CentreY());
  const int loaded = reader.Next() - 20;
  // From the loaded line to the title: the hill's four lines and the ending's.
  reader.Read(5);
  run.PlanPicture(hill, "demo_save_load_hill.png");
  run.PlanPicture(save_screen, "demo_save_load_save_screen.png");
  run.PlanPicture(saved, "demo_save_load_saved.png");
  run.PlanPicture(back, "demo_save_load_back.png");
  run.PlanPicture(later, "demo_save_load_later.png");
  run.PlanPicture(right_clicked, "demo_save_load_right_clicked.png");
  run.PlanPicture(escaped, "demo_save_load_escaped.png");
  run.PlanPicture(load_screen, "demo_save_load_load_screen.png");
  run.PlanPicture(empty_clicked, "demo_save_load_empty_clicked.png");
  run.PlanPicture(loaded, "demo_save_load_loaded.png");
  RunToTheEnd(run, reader, log, game_.HostPath());

  // The save in slot 1 (group 0, in the game's save folder) carries the line shown as its caption.
  const std::string file = game_.ReadFile("SAVEDATA/DATA0000.SAV");
  const std::optional<save_file::SaveHeader> header =
      save_file::ReadSaveHeaderFields(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
  ASSERT_TRUE(header) << "a save in slot 1";
  EXPECT_EQ(header->caption, plat::Utf8ToSjis("丘に着くころには、空はすっかり夜の色になっていた。"));
  // Byte for byte the save recorded when the road from the frame to the file was last changed:
  // the file is what other builds read, whichever part writes which block of it.
  const std::string recorded = ReadRecordedFile(kRecordedHillSave);
  ASSERT_FALSE(recorded.empty()) << kRecordedHillSave;
  EXPECT_TRUE(file == recorded) << "the hill's save differs from " << kRecordedHillSave << " (" << file.size()
                                << " bytes against " << recorded.size() << ")";

  const std::vector<std::uint32_t>& on_the_hill = run.PictureAt(hill);
  ASSERT_FALSE(on_the_hill.empty());
  const std::uint32_t night_sky = At(on_the_hill, kSkyX, kSkyY);
  EXPECT_NE(At(on_the_hill, kLawnX, kLawnY), kLawnColour) << "on the hill after the rule";
  // Before the save every slot is empty: a blank thumbnail, "（空き）" for a time stamp, no caption.
  const std::vector<std::uint32_t>& before = run.PictureAt(save_screen);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(At(before, first.ThumbnailX(400), first.ThumbnailY(300)), kBlankThumbnail);
  EXPECT_GT(first.StampInk(before), 50) << "（空き）";
  EXPECT_EQ(first.CaptionInk(before), 0);
  EXPECT_NE(At(before, kSkyX, kSkyY), night_sky) << "the screen's panel over the hill";
  // After the click slot 1 shows the save: the hill's night in its thumbnail (the page as it was,
  // without the screen over it), its time stamp and its caption, the displayed line.
  const std::vector<std::uint32_t>& after = run.PictureAt(saved);
  ASSERT_FALSE(after.empty());
  const std::uint32_t thumbnail_sky = At(after, first.ThumbnailX(kSkyX), first.ThumbnailY(kSkyY));
  EXPECT_TRUE(Near(thumbnail_sky, night_sky, 12)) << std::hex << thumbnail_sky << " against " << night_sky;
  EXPECT_GT(first.StampInk(after), first.StampInk(before)) << "a time stamp is longer than （空き）";
  EXPECT_GT(first.CaptionInk(after), 100) << "the caption's first line";
  EXPECT_EQ(At(after, second.ThumbnailX(400), second.ThumbnailY(300)), kBlankThumbnail) << "slot 2 stays empty";
  EXPECT_EQ(second.CaptionInk(after), 0);
  // The back button returns to the story, which goes on: Mio steps aside.
  const std::vector<std::uint32_t>& returned = run.PictureAt(back);
  ASSERT_FALSE(returned.empty());
  EXPECT_EQ(At(returned, kSkyX, kSkyY), night_sky) << "the screen has gone";
  EXPECT_EQ(At(returned, kDressX, kDressY), kCoatColour) << "Mio in the middle";
  EXPECT_GT(InkOnFirstLine(returned), 50) << "the line saved";
  const std::vector<std::uint32_t>& went_on = run.PictureAt(later);
  ASSERT_FALSE(went_on.empty());
  EXPECT_EQ(At(went_on, kSteppedAsideX, kDressY), kCoatColour) << "Mio stepped aside";
  EXPECT_GT(InkOnLine(went_on, 1), 50) << "the long line of two";
  // A right click and Escape leave the load screen as the back button does.
  for (const int left : {escaped, right_clicked}) {
    const std::vector<std::uint32_t>& shown = run.PictureAt(left);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(At(shown, kSkyX, kSkyY), night_sky) << "frame " << left << ": the screen has gone";
    EXPECT_EQ(At(shown, kSteppedAsideX, kDressY), kCoatColour) << "nothing loaded";
    EXPECT_GT(InkOnLine(shown, 1), 50) << "the long line still shown";
    EXPECT_NE(At(shown, kMenuEdgeX, kSkyY), kMenuEdge) << "the right click opened no system menu";
  }
  // In load mode the same slot shows the save; a click on an empty slot loads nothing.
  const std::vector<std::uint32_t>& loading = run.PictureAt(load_screen);
  const std::vector<std::uint32_t>& still = run.PictureAt(empty_clicked);
  ASSERT_FALSE(loading.empty());
  ASSERT_FALSE(still.empty());
  EXPECT_TRUE(Near(At(loading, first.ThumbnailX(kSkyX), first.ThumbnailY(kSkyY)), night_sky, 12));
  EXPECT_GT(first.CaptionInk(loading), 100);
  EXPECT_EQ(At(still, first.ThumbnailX(kSkyX), first.ThumbnailY(kSkyY)),
            At(loading, first.ThumbnailX(kSkyX), first.ThumbnailY(kSkyY)))
      << "the screen is still open";
  EXPECT_EQ(At(still, kDressX, kDressY), At(loading, kDressX, kDressY));
  // Slot 1 brings the saved line back: the hill, Mio in the middle again, the one-line text.
  const std::vector<std::uint32_t>& back_again = run.PictureAt(loaded);
  ASSERT_FALSE(back_again.empty());
  EXPECT_EQ(At(back_again, kSkyX, kSkyY), night_sky) << "the hill";
  EXPECT_EQ(At(back_again, kDressX, kDressY), kCoatColour) << "Mio in the middle, where she stood";
  EXPECT_NE(At(back_again, kSteppedAsideX, kDressY), kCoatColour);
  EXPECT_GT(InkOnFirstLine(back_again), 50) << "the saved line";
  EXPECT_EQ(InkOnLine(back_again, 1), 0) << "not the long line";
}

// On the hill Mio steps 200 pixels aside; a quick save taken there (by its button: Ctrl would
// skip the hill's lines) and loaded back (by the quick-load button, its question answered yes)
// shows her where she was drawn, not the step's length off the screen's edge.
TEST_F(DemoSaveLoadGuiTest, ASaveAfterMioStepsAsideLoadsWithHerWhereSheStood) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  reader.ReadToTheChoice();
  reader.Choose(kFirstChoiceY);
  // Mio's answer and the rule to the hill, the hill's first line, then her line as she steps aside.
  reader.Read(3);
  const int aside = reader.Next() - 20;
  reader.Click(kQuickSaveButtonX, kButtonY);
  reader.Click(kQuickLoadButtonX, kButtonY);
  reader.Click(kQuestionYesX, kQuestionYesY);
  const int loaded = reader.Next() - 20;
  run.PlanPicture(aside, "demo_save_load_aside.png");
  run.PlanPicture(loaded, "demo_save_load_aside_loaded.png");
  run.SetLastFrame(loaded + 1);
  run.Run(game_.HostPath());

  const std::vector<std::uint32_t>& before = run.PictureAt(aside);
  const std::vector<std::uint32_t>& after = run.PictureAt(loaded);
  ASSERT_FALSE(before.empty());
  ASSERT_FALSE(after.empty()) << Joined(log.Lines());

  EXPECT_EQ(At(before, kSteppedAsideX, kDressY), kCoatColour) << "Mio stepped aside";
  EXPECT_TRUE(run.MessageBoxes().empty());
  EXPECT_EQ(At(after, kSkyX, kSkyY), At(before, kSkyX, kSkyY)) << "the hill again";
  EXPECT_EQ(At(after, kSteppedAsideX, kDressY), kCoatColour) << "Mio where she was drawn";
  for (std::int32_t y = kDressY - 40; y < kDressY + 40; y += 8) {
    for (std::int32_t x = kSteppedAsideX - 40; x < kSteppedAsideX + 40; x += 8) {
      EXPECT_EQ(At(after, x, y), At(before, x, y)) << "at (" << x << ", " << y << ")";
    }
  }
}

// A disk that takes no more (a file-size limit, which fails the writes as a full disk does):
// the story's own save on the bench and a save from the save screen cannot be written. Each
// says so in a notice, the slot stays empty, and the log names each file by its path on this
// machine with the system's reason.
TEST_F(DemoSaveLoadGuiTest, SavesThatCannotBeWrittenSaySo) {
  const Slot first = SlotAt(0);
  plat::LetFileSizeLimitFailWrites();
  rlimit open_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &open_limit), 0);
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  reader.Choose(kTitleStartY);
  reader.Read(1);
  // The click that brings the bench's line, whose block saves.
  const int bench = reader.Next();
  reader.Read(1);
  const int bench_notice = bench + 60;
  reader.Click(kSaveButtonX, kButtonY);
  const int slot = reader.Next();
  reader.Click(first.CentreX(), first.CentreY());
  const int slot_notice = slot + 60;
  run.SetFrameObserver([&](int frame) {
    const bool full = (frame >= bench - 1 && frame < bench + 30) || (frame >= slot - 1 && frame < slot + 30);
    rlimit limit = open_limit;
    if (full) limit.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  run.PlanPicture(bench_notice, "demo_save_load_full_disk_story.png");
  run.PlanPicture(slot_notice, "demo_save_load_full_disk_screen.png");
  run.SetLastFrame(slot_notice + 1);
  run.Run(game_.HostPath());
  setrlimit(RLIMIT_FSIZE, &open_limit);

  const std::vector<std::uint32_t>& story = run.PictureAt(bench_notice);
  const std::vector<std::uint32_t>& screen = run.PictureAt(slot_notice);
  ASSERT_FALSE(story.empty());
  ASSERT_FALSE(screen.empty());
  EXPECT_GT(NoticeInk(story), 40) << "the story's save says it failed";
  EXPECT_GT(InkOnFirstLine(story), 50) << "the story goes on";
  EXPECT_GT(NoticeInk(screen), 40) << "the screen's save says it failed";
  EXPECT_EQ(At(screen, first.ThumbnailX(400), first.ThumbnailY(300)), kBlankThumbnail) << "slot 1 stays empty";
  for (const char* name : {"DATA1105.SAV", "DATA0000.SAV"}) {
    const std::string line = "the save cannot be written (File too large): " + game_.HostPath() + "SAVEDATA/" + name;
    EXPECT_TRUE(std::find(log.Lines().begin(), log.Lines().end(), line) != log.Lines().end())
        << line << "\n" << Joined(log.Lines());
  }
}

// The story saves itself as the bench's line comes, and the player's quick save at the choice
// comes after it: each keeps a save of its own in the rotation.
TEST_F(DemoSaveLoadGuiTest, TheStorysOwnSaveAndAQuickSaveKeepASaveEach) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  reader.ReadToTheChoice();
  reader.Click(kQuickSaveButtonX, kButtonY);
  run.SetLastFrame(reader.Next());
  run.Run(game_.HostPath());
  std::vector<std::string> captions;
  for (const char* name : {"SAVEDATA/DATA1105.SAV", "SAVEDATA/DATA1106.SAV"}) {
    const std::string file = game_.ReadFile(name);
    const std::optional<save_file::SaveHeader> header = save_file::ReadSaveHeaderFields(
        std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    ASSERT_TRUE(header) << name;
    captions.push_back(plat::SjisToUtf8(header->caption));
  }
  EXPECT_EQ(captions[0], "あ、やっと来た！　もう、遅いよ。") << "the story's own save, the line shown before the bench's";
  EXPECT_NE(captions[1].find("星を見に行かない"), std::string::npos) << "the quick save at the choice: " << captions[1];
}

}  // namespace
