// "staff": the layout file's keywords, comments, placing and failures; the scroll with its
// duration from the music, the multiplier, the pictures' phases, the hold and fade, and the
// finish that keeps the roll on screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/time/timer_manager.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/staff_roll/staff_roll_effect.h"
#include "effects/staff_roll/staff_roll_layout.h"
#include "elg_encoder.h"
#include "gfx/display/image_canvas.h"
#include "random_elg_picture.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "sound/sound_channel_manager.h"
#include "support/fake_clock.h"
#include "support/fake_pcm_decoder.h"
#include "support/fake_sound_system.h"
#include "support/image_host_fixture.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font_base.h"

namespace {

std::uintptr_t Word(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

constexpr const char* kFile = "SYS/STAFF.TXT";

std::uint32_t PixelAt(const CImage& image, std::int32_t x, std::int32_t y) {
  return reinterpret_cast<const std::uint32_t*>(image.GetRowPointer(y))[x];
}

// The colour of the most opaque pixel of a text picture.
std::uint32_t InkColour(const CImage& image) {
  std::uint32_t best = 0;
  for (std::int32_t y = 0; y < image.GetHeight(); ++y) {
    for (std::int32_t x = 0; x < image.GetWidth(); ++x) {
      if ((PixelAt(image, x, y) >> 24) > (best >> 24)) best = PixelAt(image, x, y);
    }
  }
  return best;
}

class StaffRollTest : public test_support::ImageHostTest {
 protected:
  void SetUp() override {
    ImageHostTest::SetUp();
    g_DrawLayerFactory = &factory_;
    ASSERT_EQ(canvas_.Create(800, 600, 32, CImagePart::kLayerAndDrawList), 0u);
    layer_ = dynamic_cast<CDrawLayer*>(canvas_.GetLayer());
    ASSERT_NE(layer_, nullptr);
    game_.MakeFolder("SYS");
    game_.MakeFolder("BGM");
    for (const auto& [name, width] : {std::pair<const char*, std::uint16_t>{"SYS/W200.ELG", 200},
                                      std::pair<const char*, std::uint16_t>{"SYS/W801.ELG", 801}}) {
      const std::vector<std::uint8_t> file = kvxtools::EncodeElg(kvxtools::RandomElgPicture(32, width, 10, 1));
      game_.WriteFile(name, std::string(file.begin(), file.end()));
    }
    // Six seconds of 16-bit mono sound at 22050 Hz.
    game_.WriteFile("BGM/ROLL.PCM", test_support::MakeFakePcmFile({16, 1, 22050, std::vector<uint8_t>(264600, 1)}));
    channels_.SetTaskManager(&timers_);
    g_BuiltinEffectServices.staff_roll_channels = &channels_;
  }
  void TearDown() override {
    timers_.RemoveAll();
    timers_.Dispatch(0);
    g_BuiltinEffectServices.staff_roll_channels = nullptr;
    g_DrawLayerFactory = nullptr;
    ImageHostTest::TearDown();
  }

  void Write(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    game_.WriteFile(kFile, text);
  }
  std::int32_t Load(const std::vector<std::string>& lines) {
    Write(lines);
    return LoadStaffRollLayout(kFile, layer_->GetOwnList(), layout_);
  }
  // Sets the roll up and runs its first update at `now`: the Setup result.
  std::int32_t Start(const std::vector<std::string>& lines, std::uint32_t now = 1000) {
    Write(lines);
    effect_ = new CStaffRollEffect;
    effect_->SetOwnerReference(&effect_);
    const std::int32_t result =
        effect_->Setup(&timers_, static_cast<CImagePart*>(&canvas_), PluginArgList{Word(kFile)}.View());
    if (result != CEffect::kRunning) {
      delete effect_;
      effect_ = nullptr;
      return result;
    }
    timers_.Dispatch(now);
    return result;
  }
  const CSprite& TextSprite(std::size_t index) const { return *effect_->Layout().texts[index]->sprite; }

  test_support::FakeSoundSystem sound_;
  ScopedFakeClock clock_;
  ScopedPixelLibrary library_;
  CDrawLayerFactory factory_;
  CImageCanvasEx canvas_;
  CDrawLayer* layer_ = nullptr;
  // The channels end their music tasks on the timer manager when they go.
  CTimerManager timers_;
  CSoundChannelManager channels_;
  StaffRollLayout layout_;
  CStaffRollEffect* effect_ = nullptr;
};

TEST_F(StaffRollTest, EachBadLineGivesItsOwnCodeAndClearsWhatWasRead) {
  struct Case {
    const char* line;
    std::int32_t code;
  };
  const std::string long_line = "// " + std::string(600, 'x');
  for (const Case& c : {Case{"font \"SimSun", kStaffBadFace}, Case{"font \"0123456789012345678901234567890123\"", kStaffBadFace},
                        Case{"text 0, 0", kStaffBadText}, Case{"text 0, 0, abc", kStaffBadText},
                        Case{"gtext 0, 0", kStaffBadTextPicture}, Case{"gtext 0, 0, \"SYS/NONE.ELG\"", kStaffTextPictureNotLoaded},
                        Case{"grp 0, 0, abc", kStaffBadPicture}, Case{"grp 0, 0, \"SYS/NONE.ELG\"", kStaffPictureNotLoaded},
                        Case{"hello", kStaffUnknownKeyword}, Case{"text 0x, 0, \"a\"", kStaffMalformed},
                        Case{long_line.c_str(), kStaffMalformed}}) {
    EXPECT_EQ(Load({"gtext 0, 10, \"SYS/W200.ELG\"", c.line}), c.code) << c.line;
    EXPECT_TRUE(layout_.texts.empty()) << c.line;
    EXPECT_TRUE(layer_->GetOwnList().IsEmpty()) << c.line << ": the sprites left the list";
  }
  EXPECT_EQ(LoadStaffRollLayout(nullptr, layer_->GetOwnList(), layout_), kStaffNoFileName);
  EXPECT_EQ(LoadStaffRollLayout("SYS/NONE.TXT", layer_->GetOwnList(), layout_), kStaffNoFile);
}

TEST_F(StaffRollTest, BlockCommentsNestAndAFileOfCommentsAloneHasNoText) {
  ASSERT_EQ(Load({"/*", "  /* inner", "gtext 0, 0, \"SYS/W200.ELG\"", "*/", "gtext 0, 0, \"SYS/W200.ELG\"", "*/ closed",
                  "// a comment", ",\t gtext 0, 0, \"SYS/W200.ELG\"", "", "   "}),
            0);
  EXPECT_EQ(layout_.texts.size(), 1u) << "two openings needed two closings";
  layout_.Clear();
  EXPECT_EQ(Start({"// only", "/* comments", "text 0, 0, \"a\"", "*/"}), CStaffRollEffect::kSetupNoText);
  EXPECT_EQ(Start({"init 1000, \"BGM/ROLL.PCM\"", "gtext 0, 0, \"SYS/W200.ELG\""}), 0);
  timers_.RemoveAll();
  g_BuiltinEffectServices.staff_roll_channels = nullptr;
  EXPECT_EQ(Start({"init 1000, \"BGM/ROLL.PCM\"", "gtext 0, 0, \"SYS/W200.ELG\""}), CStaffRollEffect::kSetupNoSound);
  EXPECT_TRUE(layer_->GetOwnList().IsEmpty());
}

TEST_F(StaffRollTest, LinesArePlacedByTheLayoutModeAndTheirGaps) {
  ASSERT_EQ(Load({"gtext 0, 0, \"SYS/W200.ELG\"",                          // mode 1 at 0: centred
                  "gtext 0, 40, \"SYS/W801.ELG\"",                         // (800 - 801) >> 1 = -1
                  "layout 100, 0", "gtext 5, 30, \"SYS/W200.ELG\"",        // left at 100, plus 5
                  "layout 700, 2", "gtext , , \"SYS/W200.ELG\"",           // ending at 700
                  "layout , 7", "gtext 33, 0, \"SYS/W200.ELG\"",           // its own x
                  "end 9"}),
            0);
  ASSERT_EQ(layout_.texts.size(), 5u);
  const std::int32_t xs[] = {300, -1, 105, 500, 33};
  const std::int32_t ys[] = {0, 40, 70, 70, 70};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(layout_.texts[i]->sprite->GetX(), xs[i]) << i;
    EXPECT_EQ(layout_.texts[i]->base_y, ys[i]) << i;
    EXPECT_EQ(layout_.texts[i]->sprite->GetY(), ys[i]) << i;
  }
  EXPECT_EQ(layout_.total_height, 70 + 10 + 9) << "the current y, the last height and the tail";
}

TEST_F(StaffRollTest, AFontLineSetsItsColourEachTimeAndCarriesItsSize) {
  ASSERT_EQ(Load({"font \"SimSun\", 40, 0xFF0000", "text 0, 0, \"AB\"", "font", "text 0, 50, \"AB\"",
                  "font , 16, 0x00FF00", "text 0, 100, \"AB\""}),
            0);
  ASSERT_EQ(layout_.texts.size(), 3u);
  const CImage& red = *layout_.texts[0]->image;
  const CImage& white = *layout_.texts[1]->image;
  const CImage& small = *layout_.texts[2]->image;
  EXPECT_EQ(InkColour(red) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(InkColour(white) & 0xFFFFFF, 0xFFFFFFu) << "no colour given: white";
  EXPECT_EQ(InkColour(small) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(white.GetHeight(), red.GetHeight()) << "the size carried over";
  EXPECT_LT(small.GetHeight(), red.GetHeight());
  EXPECT_EQ(layout_.texts[0]->sprite->GetX(), (800 - red.GetWidth()) >> 1);
  EXPECT_EQ(layout_.texts[0]->sprite->GetBlendMode(), 2);
  ASSERT_EQ(Load({"text 0, 0, \"AB\""}), 0) << "before any font line the font's own defaults";
  EXPECT_GT(layout_.texts[0]->image->GetWidth(), 0);
}

// A font line asks for a size: up to the largest a font is made at, its lines are drawn; past
// it (a 7000-pixel bold face once took a minute and a half to load) the font is refused at once
// and its lines are not drawn.
TEST_F(StaffRollTest, AFontPastTheLargestSizeIsRefusedAndItsLinesAreNotDrawn) {
  const auto font_line = [](std::int32_t size) { return "font \"SimSun\", " + std::to_string(size) + ", 0xFFFFFF, 1"; };
  ASSERT_EQ(Load({font_line(kLargestFontSize), "text 0, 0, \"A\""}), 0);
  EXPECT_GT(layout_.texts[0]->image->GetHeight(), kLargestFontSize / 2);
  EXPECT_EQ(Load({font_line(kLargestFontSize + 1), "text 0, 0, \"A\""}), kStaffTextNotRendered);
  EXPECT_EQ(Load({font_line(7000), "text 0, 0, \"A\""}), kStaffTextNotRendered);
  EXPECT_TRUE(layout_.texts.empty());
}

TEST_F(StaffRollTest, PicturesOpenToTheNextOneOrTheEndAndAnEndLineInTheMiddleIsRead) {
  ASSERT_EQ(Load({"laygrp 0, -1, 100, 200, 5", "grp 10, 20, \"SYS/W200.ELG\", 30", "gtext 0, 100, \"SYS/W200.ELG\"",
                  "grp 0, 0, \"SYS/W200.ELG\"", "egrp 25", "gtext 0, 100, \"SYS/W200.ELG\"",
                  "grp 0, 0, \"SYS/W200.ELG\"", "end 50, 0, 0, 0", "gtext 0, 100, \"SYS/W200.ELG\""}),
            0);
  ASSERT_EQ(layout_.pictures.size(), 3u);
  const StaffPictureItem& first = *layout_.pictures[0];
  EXPECT_EQ(first.start, 0);
  EXPECT_EQ(first.end, 100) << "closed by the next picture";
  EXPECT_EQ(first.span, 100);
  EXPECT_EQ(first.end_x, 30);
  EXPECT_EQ(first.end_y, 20) << "end y = y when left out";
  EXPECT_EQ(first.fade_in, 100);
  EXPECT_EQ(first.fade_out, 200);
  EXPECT_FALSE(first.sprite->IsEnabled());
  EXPECT_EQ(layout_.pictures[1]->end, 125) << "egrp";
  EXPECT_EQ(layout_.pictures[1]->span, 25);
  EXPECT_EQ(layout_.total_height, 300 + 10 + 50);
  EXPECT_EQ(layout_.pictures[2]->end, layout_.total_height) << "open until the end of the roll";
  EXPECT_EQ(layout_.pictures[2]->span, 360 - 200);
  EXPECT_EQ(layout_.finish, 0) << "the end line in the middle counted";
}

TEST_F(StaffRollTest, TheScrollMovesTheLinesUpAndAFasterRollTakesTwoThirds) {
  ASSERT_EQ(Start({"init 3000", "gtext 0, 0, \"SYS/W200.ELG\"", "gtext 0, 590, \"SYS/W200.ELG\""}), 0);
  // Total height 600 over 3000 ms.
  timers_.Dispatch(1750);
  EXPECT_EQ(TextSprite(0).GetY(), -150);
  EXPECT_EQ(TextSprite(1).GetY(), 590 - 150);
  timers_.Dispatch(2500);
  ASSERT_EQ(effect_->SetParam(PluginArgList{0, 3}.View()), 0);
  EXPECT_EQ(effect_->SetParam(PluginArgList{1, 3}.View()), -1);
  for (std::uint32_t now = 2510; now < 3000; now += 10) {
    timers_.Dispatch(now);
    ASSERT_NE(effect_, nullptr) << now;
  }
  EXPECT_EQ(TextSprite(0).GetY(), -(1500 + 3 * 490) / 5) << "three times as fast since the half";
  timers_.Dispatch(3000);
  EXPECT_EQ(effect_, nullptr) << "over after 2000 of its 3000 ms";
}

TEST_F(StaffRollTest, MusicWithoutADurationGivesTheRollTheStreamsLength) {
  ASSERT_EQ(Start({"init 0, \"BGM/ROLL.PCM\"", "gtext 0, 600, \"SYS/W200.ELG\""}), 0);
  EXPECT_EQ(effect_->GetDuration(), 6000);
  EXPECT_TRUE(channels_.IsBgmPlaying());
  timers_.Dispatch(6999);
  EXPECT_NE(effect_, nullptr);
  timers_.Dispatch(7000);
  EXPECT_EQ(effect_, nullptr);
  EXPECT_FALSE(channels_.IsBgmPlaying()) << "the roll stopped the music it started";
}

TEST_F(StaffRollTest, MusicAScriptStartedDuringTheRollOutlivesItsStopAndItsFade) {
  game_.WriteFile("BGM/OTHER.PCM", test_support::MakeFakePcmFile({16, 1, 22050, std::vector<uint8_t>(264600, 2)}));
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::uint32_t over;
  };
  const Case cases[] = {
      {"stopped at the end", {"init 2000, \"BGM/ROLL.PCM\"", "gtext 0, 600, \"SYS/W200.ELG\""}, 3000},
      {"faded out", {"init 1000, \"BGM/ROLL.PCM\"", "gtext 0, 600, \"SYS/W200.ELG\"", "end 0, 0, 500"}, 2500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Start(c.lines), 0);
    ASSERT_TRUE(channels_.IsBgmPlaying());
    timers_.Dispatch(1500);
    ASSERT_EQ(channels_.PlayBgm("BGM/OTHER.PCM", nullptr, true), 0);
    // The scroll ends at 2000; a fade runs on until the end.
    for (const std::uint32_t now : {2000u, 2250u, c.over}) timers_.Dispatch(now);
    EXPECT_EQ(effect_, nullptr);
    EXPECT_TRUE(channels_.IsBgmPlaying()) << "the script's music plays on";
    EXPECT_EQ(channels_.CurrentBgm().file, std::optional<std::string>("BGM/OTHER.PCM"));
    channels_.StopBgm();
  }
}

TEST_F(StaffRollTest, WithoutMusicADurationOfZeroEndsAtTheFirstUpdate) {
  ASSERT_EQ(Start({"gtext 0, 100, \"SYS/W200.ELG\""}), 0);
  EXPECT_EQ(effect_, nullptr);
}

TEST_F(StaffRollTest, HoldThenFadeTheTextAndFinishZeroKeepsTheLastState) {
  ASSERT_EQ(Start({"init 1000", "gtext 0, 100, \"SYS/W200.ELG\"", "end 0, 500, 1000, 0"}), 0);
  timers_.Dispatch(2000);
  EXPECT_EQ(TextSprite(0).GetY(), 100 - 110) << "scrolled by the whole height";
  timers_.Dispatch(2400);
  EXPECT_EQ(TextSprite(0).GetOpacity(), 255) << "held";
  timers_.Dispatch(3000);
  EXPECT_EQ(TextSprite(0).GetOpacity(), 255u - 500u * 255u / 1000u);
  timers_.Dispatch(3500);
  EXPECT_EQ(TextSprite(0).GetOpacity(), 0);
  ASSERT_NE(effect_, nullptr);
  EXPECT_EQ(effect_->GetParam(PluginArgList{}.View()), CStaffRollEffect::kKept);
  timers_.Dispatch(9000);
  EXPECT_NE(effect_, nullptr) << "kept on screen";
  EXPECT_EQ(TextSprite(0).GetY(), -10);
  EXPECT_EQ(TextSprite(0).GetOpacity(), 0);
}

TEST_F(StaffRollTest, AHoldWithoutAFadeEndsWhenTheHoldHasPassed) {
  ASSERT_EQ(Start({"init 1000", "gtext 0, 100, \"SYS/W200.ELG\"", "end 0, 500, 0"}), 0);
  timers_.Dispatch(2499);
  EXPECT_NE(effect_, nullptr);
  timers_.Dispatch(2500);
  EXPECT_EQ(effect_, nullptr);
}

TEST_F(StaffRollTest, APictureFadesInDriftsAndFadesOutAndAPauseHoldsItsFade) {
  ASSERT_EQ(Start({"init 1000", "laygrp 100, 200, 100, 100", "grp 0, 0, \"SYS/W200.ELG\", 100, 0, 200",
                   "gtext 0, 1000, \"SYS/W200.ELG\"", "end 0, 0, 0, 0"}),
            0);
  // Total height 1010: speed 1.01 px/ms; the span 200 is lengthened by 101 pixels.
  const StaffPictureItem& picture = *effect_->Layout().pictures[0];
  EXPECT_EQ(picture.span, 301);
  timers_.Dispatch(1050);
  EXPECT_EQ(picture.phase, StaffPictureItem::kWaiting);
  clock_.SetMilliseconds(1100);
  timers_.Dispatch(1100);
  EXPECT_EQ(picture.phase, StaffPictureItem::kFadingIn);
  EXPECT_TRUE(picture.sprite->IsEnabled());
  clock_.SetMilliseconds(1150);
  timers_.Dispatch(1150);
  EXPECT_EQ(picture.sprite->GetOpacity(), 100) << "half of 200 after half the fade-in";
  timers_.PauseAll(-1);
  clock_.SetMilliseconds(1650);
  timers_.Dispatch(1650);
  timers_.ResumeAll(-1);
  clock_.SetMilliseconds(1675);
  timers_.Dispatch(1675);
  EXPECT_EQ(picture.sprite->GetOpacity(), 150) << "the fade went on where it stopped";
  clock_.SetMilliseconds(1700);
  timers_.Dispatch(1700);
  EXPECT_EQ(picture.phase, StaffPictureItem::kShown);
  EXPECT_EQ(picture.sprite->GetOpacity(), 200);
  EXPECT_EQ(picture.sprite->GetX(), static_cast<std::int32_t>(100 * (static_cast<std::int32_t>(200 * 1.01) - 100) / 301.0));
  clock_.SetMilliseconds(2000);
  timers_.Dispatch(2000);
  EXPECT_EQ(picture.phase, StaffPictureItem::kFadingOut) << "past its end at 300";
  clock_.SetMilliseconds(2200);
  timers_.Dispatch(2200);
  EXPECT_EQ(picture.phase, StaffPictureItem::kGone);
  EXPECT_FALSE(picture.sprite->IsEnabled());
}

}  // namespace
