// The frame's saved state: its size against the bytes written, a save taken while a message waits
// and loaded into a new frame that goes on from it, and loads of damaged blocks or of scenarios
// that are gone, which change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/numbers/byte_cursor.h"
#include "base/numbers/trig_tables.h"
#include "platform/encoding/text_encoding.h"
#include "support/log_capture.h"
#include "vov_frame_fixture.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;

constexpr std::uint32_t kBgColour = 0xFF336699;
constexpr std::uint32_t kSpriteColour = 0xFFCC2211;

class FrameSaveTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    game_.WriteFile("BG1.ELG", page_test::Picture(800, 600, kBgColour));
    game_.WriteFile("CH1.ELG", page_test::Picture(200, 300, kSpriteColour, -1, 0, 100, 300));
    frame_->TextLog().SetCapacity(8);
  }

  // Two lines: a background, a sprite and a speaker, then a message ends each line.
  static TobBuilder TwoLines() {
    TobBuilder builder;
    builder.Line();
    builder.Command(35, {TobOperand::String("BG1.ELG"), TobOperand::Value(0)});
    builder.Command(73, {TobOperand::Value(0), TobOperand::String("CH1.ELG"), TobOperand::Value(1),
                         TobOperand::Value(0), TobOperand::Value(0)});
    builder.Command(25, {TobOperand::String("Mio"), TobOperand::Absent()});
    builder.Text("first line");
    builder.Command(16);
    builder.Line();
    builder.Text("second line");
    builder.Command(16);
    return builder;
  }

  std::vector<std::uint8_t> Saved(bool with_log) {
    ByteWriter out;
    EXPECT_EQ(frame_->Save(out, with_log), 0u);
    EXPECT_EQ(out.Size(), frame_->SaveSize(with_log));
    return out.Take();
  }

  // A frame made anew on the same host, as the run built-in makes one.
  void NewFrame() {
    frame_.reset();
    frame_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(frame_->InitMessageWindow(nullptr, &World().root), 0u);
    frame_->TextLog().SetCapacity(8);
  }

  // The "not built yet" lines of a log.
  static std::vector<std::string> NotBuilt(const LogCapture& log) {
    std::vector<std::string> lines;
    for (const std::string& line : log.Lines()) {
      if (line.find("not built yet") != std::string::npos) lines.push_back(line);
    }
    return lines;
  }

  // The bytes of a save taken while a one-line message "x" waits.
  std::vector<std::uint8_t> SavedDuringAMessage() {
    TobBuilder builder;
    builder.Text("x");
    builder.Command(16);
    Load(builder);
    std::vector<std::uint8_t> saved;
    World().player = [&](int frame) {
      if (frame == 2) saved = Saved(false);
      World().ClickAt(frame, 3);
    };
    EXPECT_EQ(frame_->RunScript(), 0);
    return saved;
  }
  // The save loaded into a new frame, whose page is then prepared to go on.
  void GoOnFrom(const std::vector<std::uint8_t>& saved) {
    NewFrame();
    ByteReader in(saved);
    ASSERT_EQ(frame_->Load(in, true), 0u);
    ASSERT_EQ(frame_->PreparePage(true), 0);
  }

  std::string MessageText() {
    const auto text = frame_->MessageWindow().text();
    return std::string(text.begin(), text.end());
  }
};

TEST_F(FrameSaveTest, TheSizeIsTheBytesWrittenWithAndWithoutTheLogLoopsChoicesAndAMessage) {
  Load(TwoLines());
  frame_->TextLog().AppendMessage(reinterpret_cast<const std::uint8_t*>("a\0\0"), 3, 0, "Mio", nullptr, 0);
  struct Case {
    const char* what;
    std::function<void(CVovFrame&)> set_up;
  };
  const Case cases[] = {
      {"a bare frame", [](CVovFrame&) {}},
      {"a looping sound on channel 9", [](CVovFrame& f) { f.LoopingSounds()[1] = {true, "SE_RAIN.OGG", 1}; }},
      {"a shown list of two choices",
       [](CVovFrame& f) {
         f.SetChoiceAwaited(true);
         for (const char* text : {"one", "two"}) {
           CListPart::ItemSetup item;
           item.text = text;
           f.ChoiceList().AddMenuItem(item);
         }
       }},
      {"a displayed message",
       [](CVovFrame& f) {
         f.MessageWindow().SetText(reinterpret_cast<const std::uint8_t*>("hello"), 5);
         f.MessageWindow().SetNames("Mio", "V001");
       }},
      {"a name", [](CVovFrame& f) { f.SetFrameName("chapter"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.set_up(*frame_);
    for (const bool with_log : {false, true}) Saved(with_log);
  }
}

TEST_F(FrameSaveTest, ASaveWithoutTheLogHasAZeroFlagAndTheTailFollowsIt) {
  Load(TwoLines());
  frame_->TextLog().AppendMessage(reinterpret_cast<const std::uint8_t*>("a\0\0"), 3, 0, nullptr, nullptr, 0);
  frame_->LoopingSounds()[2] = {true, "SE_WIND.OGG", 2};
  const std::vector<std::uint8_t> bytes = Saved(false);
  const std::size_t flag_at = frame_->CVovVM::SaveSize() + kFrameHeadSize;
  ASSERT_LT(flag_at, bytes.size());
  EXPECT_EQ(bytes[flag_at], 0);
  // The looping sounds come right behind it: channel 8 silent, channel 10 with its name.
  EXPECT_EQ(bytes[flag_at + 1], 0);
  EXPECT_EQ(bytes[flag_at + 2], 0);
  EXPECT_EQ(bytes[flag_at + 3], std::string("SE_WIND.OGG").size() + 2);

  frame_->LoopingSounds() = {};
  ByteReader in(bytes);
  ASSERT_EQ(frame_->Load(in, true), 0u);
  EXPECT_EQ(in.Left(), 0u);
  EXPECT_EQ(frame_->LoopingSounds()[2].name, "SE_WIND.OGG");
  EXPECT_EQ(frame_->TextLog().Count(), 1) << "a save without the log leaves the frame's log";
}

TEST_F(FrameSaveTest, ASaveDuringAMessageGoesOnInANewFrameFromThatMessage) {
  Load(TwoLines());
  std::vector<std::uint8_t> saved;
  World().player = [&](int frame) {
    if (frame == 3) saved = Saved(true);
    World().ClickAt(frame, 4);
    World().ClickAt(frame, 8);
  };
  ASSERT_EQ(frame_->RunScript(), 0);
  ASSERT_FALSE(saved.empty());
  const int log_entries = 1;

  NewFrame();
  ByteReader in(saved);
  ASSERT_EQ(frame_->Load(in, true), 0u);
  EXPECT_EQ(frame_->TextLog().Count(), log_entries);
  LogCapture log;
  ASSERT_EQ(frame_->PreparePage(true), 0);
  EXPECT_EQ(frame_->Page().Bg(0).name, "BG1.ELG");
  const SpriteRecord* sprite = frame_->Page().Sprite(0, false, 0);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->name, "CH1.ELG");
  EXPECT_NE(sprite->sprite, nullptr);
  EXPECT_EQ(MessageText(), "first line");
  EXPECT_EQ(frame_->MessageWindow().name(), "Mio");
  EXPECT_EQ(frame_->CurrentLine(), 0);
  // A picture was shown again, so the screen fades in; here no "cross" is registered, and the
  // page shows at once.
  EXPECT_TRUE(NotBuilt(log).empty());
  EXPECT_TRUE(std::any_of(log.Lines().begin(), log.Lines().end(),
                          [](const std::string& line) { return line.find("fade-in") != std::string::npos; }));

  World().frames = 0;
  World().player = [&](int frame) { World().ClickAt(frame, 2); };
  World().give_up = 6;
  EXPECT_EQ(frame_->RunScript(), CVovFrame::kRunStopped);
  EXPECT_EQ(frame_->CurrentLine(), 1);
  EXPECT_EQ(MessageText(), "second line");
  // The restored message did not go to the log again.
  EXPECT_EQ(frame_->TextLog().Count(), log_entries + 1);
}

TEST_F(FrameSaveTest, ABlackPageWithoutSpritesIsRestoredWithoutTheFade) {
  const std::vector<std::uint8_t> saved = SavedDuringAMessage();
  LogCapture log;
  GoOnFrom(saved);
  EXPECT_TRUE(NotBuilt(log).empty());
  EXPECT_EQ(MessageText(), "x");
}

// Two names that differ only in a second byte, one a capital where the other has its small
// letter (ア 83 41 and ヂ 83 61, カ/ニ, 秋/宿, ０/Ｐ), name two pictures: a background and a sprite
// loaded by the second name after the first show the second picture, a sprite changed from the
// first to the second takes it and the scenario goes on, and the save keeps the second names.
TEST_F(FrameSaveTest, ANameDifferingFromTheShownOneInASecondByteShowsItsOwnPictureAndIsSaved) {
  constexpr std::uint32_t kFirst = 0xFF112233;
  constexpr std::uint32_t kSecond = 0xFF445566;
  const struct {
    std::string first, second;
  } pairs[] = {{"\x83\x41", "\x83\x61"},
               {"\x83\x4A", "\x83\x6A"},
               {"\x8F\x48", "\x8F\x68"},
               {"\x94\x77\x8C\x69\x82\x4F", "\x94\x77\x8C\x69\x82\x6F"}};
  for (const auto& pair : pairs) {
    SCOPED_TRACE(plat::SjisToUtf8(pair.first + " then " + pair.second));
    const std::string first = pair.first + ".ELG";
    const std::string second = pair.second + ".ELG";
    for (const auto& [name, colour] : {std::pair{first, kFirst}, std::pair{second, kSecond}}) {
      game_.WriteFile(plat::SjisToUtf8("BG/" + name), page_test::Picture(800, 600, colour));
      game_.WriteFile(plat::SjisToUtf8("CH/" + name), page_test::Picture(200, 300, colour, -1, 0, 100, 300));
    }
    TobBuilder builder;
    for (const std::string& name : {first, second}) {
      builder.Command(35, {TobOperand::String("BG\\" + name), TobOperand::Value(0)});
      builder.Command(73, {TobOperand::Value(0), TobOperand::String("CH\\" + name), TobOperand::Value(0),
                           TobOperand::Value(0), TobOperand::Value(0)});
    }
    builder.Command(73, {TobOperand::Value(1), TobOperand::String("CH\\" + first), TobOperand::Value(1),
                         TobOperand::Value(0), TobOperand::Value(0)});
    builder.Command(83, {TobOperand::Value(1), TobOperand::String("CH\\" + second), TobOperand::String("l"),
                         TobOperand::Value(0), TobOperand::Absent(), TobOperand::Value(0), TobOperand::Value(0),
                         TobOperand::Value(0)});
    builder.Text("x");
    builder.Command(16);
    Load(builder);
    std::vector<std::uint8_t> saved;
    std::uint32_t shown_bg = 0;
    World().player = [&](int frame) {
      if (frame == 2) {
        shown_bg = page_test::PixelOf(*frame_->Page().Bg(0).image, 0, 0);
        saved = Saved(false);
      }
      World().ClickAt(frame, 3);
    };
    ASSERT_EQ(frame_->RunScript(), 0);
    ASSERT_FALSE(saved.empty()) << "the scenario went on to its message";
    EXPECT_EQ(shown_bg, kSecond);

    GoOnFrom(saved);
    CVovPage& page = frame_->Page();
    EXPECT_EQ(page.Bg(0).name, "BG\\" + second);
    ASSERT_NE(page.Bg(0).image, nullptr);
    EXPECT_EQ(page_test::PixelOf(*page.Bg(0).image, 0, 0), kSecond);
    for (const std::uint32_t index : {0u, 1u}) {
      const SpriteRecord& sprite = *frame_->Page().Sprite(index, false, 0);
      EXPECT_EQ(sprite.name, "CH\\" + second) << index;
      ASSERT_NE(sprite.image, nullptr) << index;
      EXPECT_EQ(page_test::PixelOf(*sprite.image, 0, 0), kSecond) << index;
    }
  }
}

// The frame with the trigonometric tables that turned sprites are drawn with.
class FrameSaveTurnTest : public FrameSaveTest {
 protected:
  void SetUp() override {
    FrameSaveTest::SetUp();
    g_TrigTable = &trig_;
  }
  void TearDown() override {
    g_TrigTable = nullptr;
    FrameSaveTest::TearDown();
  }

  CTrigTables trig_;
};

// Words 8 to 11 of the window's block, which saves written elsewhere carry: its zoom (f32), turn
// and anchor, shown again whether or not a message was displayed. A zoom no picture can take
// leaves the window plain.
TEST_F(FrameSaveTurnTest, ASavedTurnAndZoomOfTheMessageWindowAreShownAgain) {
  for (const bool during_message : {true, false}) {
    std::vector<std::uint8_t> saved;
    if (during_message) {
      saved = SavedDuringAMessage();
    } else {
      Load(TwoLines());
      saved = Saved(false);
    }
    ASSERT_FALSE(saved.empty());
    const std::size_t zoom_at = frame_->CVovVM::SaveSize() + kFrameHeadSize - (kWindowBlockWords - kWindowZoom) * 4;
    const auto put = [&](std::size_t at, std::uint32_t word) {
      for (std::size_t i = 0; i < 4; ++i) saved[at + i] = static_cast<std::uint8_t>(word >> (8 * i));
    };
    put(zoom_at + 4, 64);
    put(zoom_at + 8, 400);
    put(zoom_at + 12, 67);
    for (const float zoom : {0.5f, 1e30f}) {
      SCOPED_TRACE(std::string(during_message ? "during a message, " : "before any message, ") + std::to_string(zoom));
      put(zoom_at, std::bit_cast<std::uint32_t>(zoom));
      LogCapture log;
      GoOnFrom(saved);
      EXPECT_TRUE(NotBuilt(log).empty());
      EXPECT_EQ(MessageText(), during_message ? "x" : "");
      const CSprite& sprite = frame_->MessageWindow().sprite();
      EXPECT_EQ(sprite.GetAnchorX(), 400);
      EXPECT_EQ(sprite.GetAnchorY(), 67);
      EXPECT_EQ(sprite.IsTurned(), zoom < 1);
      EXPECT_EQ(sprite.GetAngle(), zoom < 1 ? 64 : 0);
      EXPECT_EQ(sprite.GetZoom(), zoom < 1 ? 0.5 : 1.0);
    }
  }
}

TEST_F(FrameSaveTest, EveryTruncationAndAnOverlongNameFailAndChangeNothing) {
  Load(TwoLines());
  frame_->TextLog().AppendMessage(reinterpret_cast<const std::uint8_t*>("a\0\0"), 3, 0, nullptr, nullptr, 0);
  frame_->LoopingSounds()[0] = {true, "SE_A.OGG", 0};
  frame_->SetFrameName("before");
  const std::vector<std::uint8_t> whole = Saved(true);
  frame_->SetFrameName("live");
  const std::vector<std::uint8_t> live = Saved(true);
  for (std::size_t length = 0; length < whole.size(); ++length) {
    ByteReader in(std::span<const std::uint8_t>(whole).first(length));
    ASSERT_NE(frame_->Load(in, true), 0u) << length;
  }
  EXPECT_EQ(Saved(true), live);

  // The name's length byte reaches past the data.
  std::vector<std::uint8_t> long_name = whole;
  VovFrameTail tail;
  tail.loops[0] = frame_->LoopingSounds()[0];
  tail.name = "before";
  const std::size_t name_at = whole.size() - FrameTailSize(tail) + std::string("SE_A.OGG").size() + 3 + 3;
  ASSERT_EQ(long_name[name_at], std::string("before").size() + 1);
  long_name[name_at] = 0xFF;
  ByteReader in(long_name);
  EXPECT_EQ(frame_->Load(in, true), CVovFrame::kLoadFrameDamaged);
  EXPECT_EQ(Saved(true), live);
}

TEST_F(FrameSaveTest, AScenarioThatIsGoneGivesOneAndTheFrameKeepsItsOwn) {
  Load(TwoLines());
  const std::vector<std::uint8_t> saved = Saved(true);
  TobBuilder other;
  other.Text("other");
  game_.WriteFile("SCRIPT/OTHER.TOB", sob_test::AsText(other.Build()));
  frame_->ResetPage();
  ASSERT_EQ(frame_->LoadMainScript("OTHER"), 0u);
  std::filesystem::remove(game_.HostPath() + "/SCRIPT/MAIN.TOB");
  ByteReader in(saved);
  EXPECT_EQ(frame_->Load(in, true), CVovFrame::kLoadMachineFailed);
  ASSERT_NE(frame_->CurrentScript(), nullptr);
  EXPECT_EQ(frame_->CurrentScript()->Name(), "OTHER");
  ASSERT_EQ(frame_->PreparePage(false), 0);
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(std::string(frame_->TextBuffer().Text()), "other");
}

TEST_F(FrameSaveTest, AResumeLineTakesThePlaceOfTheSavedPositionAndAnUnknownOneGivesThree) {
  Load(TwoLines());
  std::vector<std::uint8_t> saved = Saved(false);
  const std::size_t word0 = frame_->CVovVM::SaveSize();
  for (const auto& [line, status] : {std::pair{1, 0u}, std::pair{7, CVovFrame::kLoadLineUnknown}}) {
    for (int shift = 0; shift < 32; shift += 8) saved[word0 + shift / 8] = static_cast<std::uint8_t>(line >> shift);
    ByteReader in(saved);
    EXPECT_EQ(frame_->Load(in, true), status) << line;
  }
  // Line 1 begins where the second line's marker stands.
  EXPECT_EQ(frame_->PositionOffset(), frame_->GetLineOffset(1));
}

}  // namespace
