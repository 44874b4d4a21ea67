// The game's state record and save files with a novel frame: the text printer's state and the
// frame's block travel in the record and load into a fresh game, a damaged frame block changes
// nothing, and a save's header comes from the frame's page, title and message, or from the text
// printer without a frame.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/game_script_host.h"
#include "novel/frame/vov_frame_fixture.h"
#include "sob_builder.h"
#include "support/log_capture.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;

constexpr std::uint32_t kBgColour = 0xFF336699;

class FrameStateRecordTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    kvxtools::UserVarBuilder variables;
    variables.AddVariable(0, 1, 4, {7});
    game_.WriteFile("SCRIPT/USER_VAR.SOB", sob_test::AsText(variables.Build()));
    game_.WriteFile("BG1.ELG", page_test::Picture(800, 600, kBgColour));
    game_.MakeFolder("SAVE");
    SetUpGame();
  }

  std::unique_ptr<CScriptHost> MakeHost() override { return std::make_unique<CGameScriptHost>(); }
  CGameScriptHost& Game() { return static_cast<CGameScriptHost&>(*host_); }

  void SetUpGame() {
    ASSERT_EQ(Game().LoadLibraries(nullptr, "SCRIPT\\USER_VAR.SOB", nullptr, true, true), 0u);
    Game().SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
    frame_->TextLog().SetCapacity(8);
    CTextPrinter& printer = Game().TextPrinter();
    printer.history_on = 1;
    printer.SetHistorySize(4);
  }

  // A fresh game: a new host and a new frame on it.
  void NewGame() {
    frame_.reset();
    host_.reset();
    host_ = MakeHost();
    frame_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(frame_->InitMessageWindow(nullptr, &World().root), 0u);
    SetUpGame();
  }

  // A message the text printer shows, and one entry of its history.
  void PrinterMessage(const char* text) {
    const std::uint32_t record = host_->Memory().Allocate(64, true);
    host_->Memory().Write(record + 3, text, static_cast<std::uint32_t>(std::string(text).size()));
    CTextPrinter& printer = Game().TextPrinter();
    ASSERT_EQ(printer.SetMessage(record), 0);
    printer.AddToHistory();
  }

  static TobBuilder TitledMessage() {
    TobBuilder builder;
    builder.Command(18, {TobOperand::String("Chapter one")});
    builder.Command(35, {TobOperand::String("BG1.ELG"), TobOperand::Value(0)});
    builder.Line();
    builder.Text("first line");
    builder.Command(16);
    return builder;
  }

  // Runs the scenario and calls `during` while its message waits; the application then ends.
  void DuringTheMessage(const std::function<void()>& during) {
    Load(TitledMessage());
    World().player = [&](int frame) {
      if (frame == 3) during();
    };
    World().give_up = 5;
    frame_->RunScript();
    World().player = nullptr;
  }

  std::vector<std::uint8_t> Written() {
    std::vector<std::uint8_t> record;
    EXPECT_EQ(Game().WriteState(record, true), 0u);
    return record;
  }

  static std::size_t NotBuiltLines(const LogCapture& log) {
    std::size_t count = 0;
    for (const std::string& line : log.Lines()) count += line.find("not built yet") != std::string::npos ? 1 : 0;
    return count;
  }
};

TEST_F(FrameStateRecordTest, TheRecordCarriesThePrinterAndTheFrameAndLoadsIntoAFreshGame) {
  PrinterMessage("printed");
  Game().SoundChannels().SetBgmPan(300);
  std::vector<std::uint8_t> record;
  DuringTheMessage([&] {
    const LogCapture log;
    record = Written();
    EXPECT_EQ(NotBuiltLines(log), 0u);
  });
  ASSERT_FALSE(record.empty());

  NewGame();
  {
    const LogCapture log;
    ASSERT_EQ(Game().ReadState(record), 0u);
    EXPECT_EQ(NotBuiltLines(log), 0u);
  }
  // Everything the record holds came back: written again, it is the same record.
  EXPECT_EQ(Written(), record);
  ASSERT_EQ(frame_->PreparePage(true), 0);
  EXPECT_EQ(frame_->Page().Bg(0).name, "BG1.ELG");
  const auto text = frame_->MessageWindow().text();
  EXPECT_EQ(std::string(text.begin(), text.end()), "first line");
}

TEST_F(FrameStateRecordTest, ADamagedFrameBlockFailsWithThreeAndChangesNothing) {
  std::vector<std::uint8_t> record;
  DuringTheMessage([&] { record = Written(); });
  PrinterMessage("after the save");
  const std::vector<std::uint8_t> before = Written();
  // Cut inside the frame's block, the record's last part.
  const std::vector<std::uint8_t> cut(record.begin(), record.end() - 8);
  EXPECT_EQ(Game().ReadState(cut), 3u);
  EXPECT_EQ(Written(), before);
}

TEST_F(FrameStateRecordTest, ASaveDuringAMessageTakesItsCaptionTitleAndThumbnailFromTheFrame) {
  Settings()[kSettingSaveCaption] = 1;
  PrinterMessage("the printer's own");
  std::uint32_t saved = 99;
  DuringTheMessage([&] { saved = Game().SaveGame(3, 0); });
  ASSERT_EQ(saved, 0u);
  CImage thumbnail;
  ASSERT_EQ(thumbnail.Create(100, 75, 32, 0), 0u);
  std::string title;
  std::string caption;
  ASSERT_EQ(Game().ReadSaveHeader(3, 0, {&thumbnail, &title, &caption}), 0u);
  EXPECT_EQ(caption, "first line");
  EXPECT_EQ(title, "Chapter one");
  EXPECT_EQ(page_test::PixelOf(thumbnail, 10, 10) & 0xFFFFFF, kBgColour & 0xFFFFFF);

  // Without a frame, the host's source and the printer's message.
  frame_.reset();
  CImage source;
  ASSERT_EQ(source.Create(200, 150, 32, 0), 0u);
  Game().SetThumbnailSource(&source, nullptr);
  ASSERT_EQ(Game().SaveGame(3, 1), 0u);
  ASSERT_EQ(Game().ReadSaveHeader(3, 1, {nullptr, nullptr, &caption}), 0u);
  EXPECT_EQ(caption, "the printer's own");
}

}  // namespace
