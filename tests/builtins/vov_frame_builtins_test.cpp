// Built-ins 791 to 794 on the game's script host: making the frame (twice), running scenarios made
// by the builder with mode 0 and -1, the messages of a missing frame and a missing scenario, the
// configuration words, the refusals while a run is under way, the reset after a stopped run, a
// headless scenario answered by a click, and the host's end taking the frame with it.
#include "builtins/vov_frame_builtins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "builtins/builtin_table.h"
#include "builtins/save_builtins.h"
#include "gfx/display/screen_manager.h"
#include "novel/frame/vov_frame.h"
#include "novel/frame/vov_message_window_fixture.h"
#include "novel/frame/vov_wait_world.h"
#include "novel/page/vov_page_fixture.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/system_message_box.h"
#include "scene/sprites/sprite.h"
#include "support/game_host_fixture.h"
#include "support/log_capture.h"
#include "support/script_calls.h"
#include "support/script_folders.h"
#include "tob_builder.h"
#include "ui/dialogs/game_message_box.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;

constexpr std::uint32_t kTestOpcode = 40;

std::vector<std::uint32_t> g_probe;

// Run from a code block of the running scenario: the frame's built-ins as its own code would
// call them, with args[0] 0, args[1] a scenario name, args[2] 0.
std::uint32_t NativeProbe(const NativeArgs& args) {
  g_probe.push_back(NativeVovRun(args));
  g_probe.push_back(NativeVovCreate(args));
  g_probe.push_back(NativeVovFree(args));
  return 0;
}

// Run from a code block of the running scenario: a load of group 11, slot 5 and the restore of
// the snapshot, which the run refuses.
std::uint32_t NativeLoadProbe(const NativeArgs& args) {
  g_probe.push_back(NativeLoadGame(args));
  g_probe.push_back(NativeRestoreSnapshot(args));
  return 0;
}

class VovBuiltinsTest : public game_test::GameScriptHostTest {
 protected:
  void SetUp() override {
    GameScriptHostTest::SetUp();
    g_probe.clear();
    message_test::WriteWindowPictures(game_, 0xFF203040, 0xFF405060);
    message_test::WriteButtonFile(game_);
    game_.WriteFile("BG01.ELG", page_test::Picture(16, 8, 0xFF336699));
    game_.MakeFolder("SAVE");
    host_.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
    folders_.emplace(game_.EnginePath(), game_.EnginePath("SAVE\\"));
    graphics_ = std::make_unique<page_test::PageGraphics>();
    world_ = std::make_unique<vov_test::WaitWorld>();
    world_->settings[kSettingUnreadTextAtOnce] = 1;
    probe_id_ = static_cast<std::uint32_t>(host_.Natives().Count());
    ASSERT_EQ(host_.RegisterNative(NativeProbe), 0u);
    ASSERT_EQ(host_.RegisterNative(NativeLoadProbe), 0u);
  }
  void TearDown() override {
    DestroyVovFrame();
    world_.reset();
    graphics_.reset();
    GameScriptHostTest::TearDown();
  }

  // An argument array of these words, its handles read from the test's table or the one the
  // scenarios' code uses.
  NativeArgs Words(const std::vector<std::uint32_t>& words, bool host_handles = false) {
    const std::uint32_t address = host_.Memory().Allocate(static_cast<std::uint32_t>(words.size() * 4 + 4), true);
    for (std::size_t i = 0; i < words.size(); ++i) host_.Memory().SetWord(address + static_cast<std::uint32_t>(i) * 4, words[i]);
    return NativeArgs(host_.Memory(), host_handles ? host_.Handles() : handles_, address);
  }
  std::uint32_t Text(const std::string& text) {
    const std::uint32_t address = host_.Memory().Allocate(static_cast<std::uint32_t>(text.size() + 1), true);
    host_.Memory().Write(address, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
    return address;
  }
  std::uint32_t Create() { return NativeVovCreate(Words({0, 0, 0})); }
  std::uint32_t RunScenario(std::int32_t mode, const std::string& name) {
    return NativeVovRun(Words({static_cast<std::uint32_t>(mode), Text(name)}));
  }
  void WriteScenario(const std::string& name, const TobBuilder& builder) {
    game_.WriteFile("SCRIPT/" + name + ".TOB", sob_test::AsText(builder.Build()));
  }
  // The stop messages shown while `run` runs.
  std::vector<std::string> Boxes(const std::function<void()>& run) {
    std::vector<std::string> boxes;
    plat::ScopedMessageBoxAnswers answers([&](const plat::MessageBoxRequest& request) {
      boxes.push_back(request.text);
      return plat::IDOK;
    });
    run();
    return boxes;
  }
  // A code block that calls the probe with (0, name, 0).
  kvxtools::TobCode ProbeBlock(const std::string& name) {
    return kvxtools::AssembleTobCode("  CallNative native(" + std::to_string(probe_id_) +
                                     "), args, result\n  Return\nargs: .word 0, name, 0\nname: .string \"" + name +
                                     "\"\nresult: .word 0\n");
  }
  // A code block that calls the load probe with (11, 5).
  kvxtools::TobCode LoadProbeBlock() {
    return kvxtools::AssembleTobCode("  CallNative native(" + std::to_string(probe_id_ + 1) +
                                     "), args, result\n  Return\nargs: .word 11, 5\nresult: .word 0\n");
  }
  vov_test::WaitWorld& World() { return *world_; }

  std::unique_ptr<page_test::PageGraphics> graphics_;
  std::unique_ptr<vov_test::WaitWorld> world_;
  std::uint32_t probe_id_ = 0;
  std::optional<test_support::ScopedScriptFolders> folders_;
};

TEST_F(VovBuiltinsTest, TheFourFrameBuiltinsStandAtTheirNumbers) {
  const std::span<const GameBuiltin> table = GameBuiltins();
  const auto at = [&](std::uint32_t id) { return table[id - kFirstGameBuiltin].function; };
  EXPECT_EQ(at(791), &NativeVovCreate);
  EXPECT_EQ(at(792), &NativeVovFree);
  EXPECT_EQ(at(793), &NativeVovRun);
  EXPECT_EQ(at(794), &NativeVovSetParam);
}

TEST_F(VovBuiltinsTest, CreatingTwiceWritesTheFirstFramesLogBeforeTheSecondIsBuilt) {
  WriteScriptFile("VOV_INIT.DAT", kvxtools::BuildVovInit({{"MAIN", 4, 0}}));
  ASSERT_EQ(Create(), 0u);
  CVovFrame* first = g_VovFrame;
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(std::filesystem::exists(game_.HostPath() + "SAVE/TEXT_LOG.DAT"));
  ASSERT_EQ(Create(), 0u);
  EXPECT_TRUE(std::filesystem::exists(game_.HostPath() + "SAVE/TEXT_LOG.DAT"));
  EXPECT_NE(g_VovFrame, nullptr);
  EXPECT_EQ(NativeVovFree(Words({})), 0u);
  EXPECT_EQ(g_VovFrame, nullptr);
  EXPECT_EQ(NativeVovFree(Words({})), 0u);  // none: nothing to do
}

TEST_F(VovBuiltinsTest, APageObjectOfAnotherKindIsRefusedAndLeavesNoFrame) {
  CImage image;
  const std::uint32_t handle = image.ScriptHandle(handles_);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(NativeVovCreate(Words({0, 0, handle})), 1u);
  EXPECT_EQ(g_VovFrame, nullptr);
  EXPECT_EQ(NativeVovCreate(Words({0, 0, 0x12345678})), 1u);  // a handle that names nothing
  EXPECT_EQ(g_VovFrame, nullptr);
}

TEST_F(VovBuiltinsTest, TheConfigurationWordsReachTheFrameAndIndexSixChangesNothing) {
  for (std::uint32_t index = 0; index < 6; ++index) {
    EXPECT_EQ(NativeVovSetParam(Words({index, 0x10000 + index * 4})), 0u);
  }
  const CScriptHost::ConfigWords before = host_.GetConfigWords();
  EXPECT_EQ(NativeVovSetParam(Words({6, 77})), 0u);
  EXPECT_EQ(NativeVovSetParam(Words({0xFFFFFFFF, 77})), 0u);
  EXPECT_EQ(host_.GetConfigWords(), before);
  ASSERT_EQ(Create(), 0u);
  for (std::uint32_t index = 0; index < 6; ++index) EXPECT_EQ(g_VovFrame->ConfigWord(index), 0x10000 + index * 4);
}

TEST_F(VovBuiltinsTest, ARunWithoutAFrameOrOfAMissingScenarioSaysSo) {
  std::uint32_t result = 0;
  EXPECT_EQ(Boxes([&] { result = RunScenario(0, "MAIN"); }),
            std::vector<std::string>{plat::Utf8ToSjis("VOVフレームが初期化されていません。")});
  EXPECT_EQ(result, 1u);
  ASSERT_EQ(Create(), 0u);
  EXPECT_EQ(Boxes([&] { result = RunScenario(0, "NOPE"); }),
            std::vector<std::string>{plat::Utf8ToSjis("VOVスクリプト「NOPE」のロードに失敗。")});
  EXPECT_EQ(result, 2u);
}

TEST_F(VovBuiltinsTest, ARunThatEndsNormallyLeavesZeroAndAResetFrame) {
  TobBuilder builder;
  builder.Command(35, {TobOperand::String("BG01.ELG"), TobOperand::Value(0)});
  builder.Text("hello");
  WriteScenario("MAIN", builder);
  ASSERT_EQ(Create(), 0u);
  host_.SetRetVovExp(55);
  EXPECT_EQ(RunScenario(0, "MAIN"), 0u);
  EXPECT_EQ(host_.RetVovExp(), 0u);
  EXPECT_EQ(g_VovFrame->TransientCount(), 0u);
  EXPECT_EQ(g_VovFrame->CurrentScript(), nullptr);
  EXPECT_EQ(g_VovFrame->Button(0), nullptr);  // the page's buttons went with it
  // And again, from a fresh load.
  EXPECT_EQ(RunScenario(0, "MAIN"), 0u);
}

TEST_F(VovBuiltinsTest, ARunWithANegativeModeGoesOnWhereTheLoadedScenarioStands) {
  TobBuilder builder;
  builder.Command(kTestOpcode, {TobOperand::Value(1)});
  const std::uint32_t second = builder.Here();
  builder.Command(kTestOpcode, {TobOperand::Value(2)});
  WriteScenario("MAIN", builder);
  WriteScenario("OTHER", TobBuilder());
  ASSERT_EQ(Create(), 0u);
  std::vector<std::uint32_t> seen;
  g_VovFrame->SetHandler(kTestOpcode, [&](CVovFrame&, std::span<const VovOperand> operands) {
    seen.push_back(operands[0].value);
    return 0;
  });
  ASSERT_EQ(g_VovFrame->LoadMainScript("MAIN"), 0u);
  ASSERT_TRUE(g_VovFrame->SetPosition(g_VovFrame->CurrentScript()->BodyAddress() + second));
  EXPECT_EQ(RunScenario(-1, "OTHER"), 0u);
  EXPECT_EQ(seen, std::vector<std::uint32_t>{2});
}

TEST_F(VovBuiltinsTest, TheScenariosOwnCodeCannotRunRemakeOrFreeTheFrame) {
  TobBuilder builder;
  builder.CodeBlock(ProbeBlock("MAIN"));
  builder.Command(kTestOpcode);
  WriteScenario("MAIN", builder);
  ASSERT_EQ(Create(), 0u);
  CVovFrame* frame = g_VovFrame;
  bool went_on = false;
  frame->SetHandler(kTestOpcode, [&](CVovFrame&, std::span<const VovOperand>) {
    went_on = true;
    return 0;
  });
  EXPECT_EQ(RunScenario(0, "MAIN"), 0u);
  EXPECT_EQ(g_probe, (std::vector<std::uint32_t>{3, 0xFFFFFFFF, 0}));
  EXPECT_TRUE(went_on);
  EXPECT_EQ(g_VovFrame, frame);
}

TEST_F(VovBuiltinsTest, AStoppedRunResetsTheFrameSoThatTheNextRunLoads) {
  struct Case {
    const char* what;
    TobBuilder scenario;
  };
  TobBuilder failed_call;
  failed_call.CodeBlock(kvxtools::AssembleTobCode(
      "  CallNative native(0), args, result\n  Yield\n  Return\nargs: .word name\nname: .string \"NONE\"\nresult: .word 0\n"));
  TobBuilder past_the_table;
  past_the_table.Command(200);
  TobBuilder good;
  good.Text("fine");
  WriteScenario("GOOD", good);
  ASSERT_EQ(Create(), 0u);
  for (const Case& c : {Case{"a failed Call", failed_call}, Case{"an opcode above 128", past_the_table}}) {
    SCOPED_TRACE(c.what);
    WriteScenario("BAD", c.scenario);
    std::uint32_t result = 0;
    Boxes([&] { result = RunScenario(0, "BAD"); });
    EXPECT_EQ(result, 1u);
    EXPECT_EQ(host_.RetVovExp(), 0xFFFFFFFFu);
    EXPECT_EQ(g_VovFrame->TransientCount(), 0u);
    EXPECT_EQ(RunScenario(0, "GOOD"), 0u);
    EXPECT_EQ(host_.RetVovExp(), 0u);
  }
}

TEST_F(VovBuiltinsTest, AHeadlessScenarioIsAnsweredByAClickOnTheSecondChoice) {
  world_->settings[kSettingSaveAtChoices] = 1;
  world_->settings[kSettingBackToChoices] = 1;
  const std::uint32_t picked = host_.Memory().Allocate(4, true);
  const std::uint32_t bound = host_.Memory().Allocate(4, true);
  host_.Memory().SetWord(picked, 0xAAAA);
  ASSERT_EQ(NativeVovSetParam(Words({0, bound})), 0u);
  ASSERT_EQ(NativeVovSetParam(Words({1, picked})), 0u);
  TobBuilder builder;
  builder.Command(35, {TobOperand::String("BG01.ELG"), TobOperand::Value(0)});
  builder.Text("which?");
  builder.Command(13, {TobOperand::Absent(), TobOperand::String("left"), TobOperand::String("right")});
  builder.Command(17);
  WriteScenario("MAIN", builder);
  ASSERT_EQ(Create(), 0u);
  g_VovFrame->TextLog().SetCapacity(8);
  World().pointer.at = {0, 0};
  World().player = [&](int frame) {
    World().ClickAt(frame, 2);
    if (frame == 5) {
      const CWidgetFace* face = g_VovFrame->ChoiceList().GetItemFace(1);
      World().pointer.at = {face->GetX() + face->GetSource().Width() / 2, face->GetY() + 4};
    }
    World().ClickAt(frame, 7);
  };
  EXPECT_EQ(RunScenario(0, "MAIN"), 0u);
  EXPECT_EQ(host_.RetVovExp(), 0u);
  EXPECT_EQ(host_.Memory().Word(picked), 1u);
  EXPECT_EQ(host_.Memory().Word(bound), 1u);
  const CTextLog& log = g_VovFrame->TextLog();
  ASSERT_GE(log.Count(), 2);
  const CTextLog::Entry* newest = log.GetEntry(log.Count() - 1);
  ASSERT_EQ(newest->Kind(), 1);
  EXPECT_EQ(std::get<CTextLog::Choice>(newest->payload).selected, 1);
  // The choice saved the game into the rotating group and took a snapshot that opens the way
  // back to it.
  EXPECT_FALSE(host_.HeldSnapshot().empty());
  EXPECT_EQ(g_VovFrame->ButtonState(CVovFrame::kBackToChoiceButton), CVovFrame::kButtonEnabled);
  std::string path;
  ASSERT_EQ(host_.GetSaveFilePath(path, CGameScriptHost::kRotatingGroup, -1), 0u);
  EXPECT_NE(path.find("DATA1000.SAV"), std::string::npos) << path;
  // Its record holds the frame's block: loaded, the frame's machine stands in the scenario again.
  EXPECT_EQ(g_VovFrame->CurrentScript(), nullptr);
  ASSERT_EQ(host_.LoadGame(CGameScriptHost::kRotatingGroup, -1), 0u);
  ASSERT_NE(g_VovFrame->CurrentScript(), nullptr);
  EXPECT_EQ(g_VovFrame->CurrentScript()->Name(), "MAIN");
}

TEST_F(VovBuiltinsTest, ALoadOrARestoreFromTheScenariosOwnCodeIsRefusedAndTheRunGoesOn) {
  ASSERT_EQ(Create(), 0u);
  TobBuilder builder;
  builder.CodeBlock(LoadProbeBlock());
  builder.Command(kTestOpcode);
  WriteScenario("MAIN", builder);
  bool went_on = false;
  g_VovFrame->SetHandler(kTestOpcode, [&](CVovFrame&, std::span<const VovOperand>) {
    went_on = true;
    return 0;
  });
  EXPECT_EQ(RunScenario(0, "MAIN"), 0u);
  // Refused before anything is looked at: the load's file and the snapshot do not exist.
  EXPECT_EQ(g_probe, (std::vector<std::uint32_t>{6, 0xFFFFFFFE}));
  EXPECT_TRUE(went_on);
}

TEST_F(VovBuiltinsTest, ASaveDuringAMessageLoadsIntoANewFrameThatGoesOnFromIt) {
  TobBuilder builder;
  builder.Command(35, {TobOperand::String("BG01.ELG"), TobOperand::Value(0)});
  builder.Command(25, {TobOperand::String("Mio"), TobOperand::Absent()});
  builder.Line();
  builder.Text("first");
  builder.Command(16);
  builder.Line();
  builder.Text("second");
  builder.Command(16);
  WriteScenario("MAIN", builder);
  ASSERT_EQ(Create(), 0u);
  g_VovFrame->TextLog().SetCapacity(8);
  World().player = [&](int frame) {
    if (frame == 3) {
      EXPECT_EQ(host_.SaveGame(CGameScriptHost::kQuickGroup, 5), 0u);
    }
    World().ClickAt(frame, 4);
    World().ClickAt(frame, 8);
  };
  EXPECT_EQ(RunScenario(0, "MAIN"), 0u);
  EXPECT_EQ(host_.RetVovExp(), 0u);

  ASSERT_EQ(NativeVovFree(Words({})), 0u);
  ASSERT_EQ(Create(), 0u);
  g_VovFrame->TextLog().SetCapacity(8);
  ASSERT_EQ(host_.LoadGame(CGameScriptHost::kQuickGroup, 5), 0u);
  std::vector<std::string> shown;
  World().frames = 0;
  World().player = [&](int frame) {
    if (frame == 1) {
      const auto text = g_VovFrame->MessageWindow().text();
      shown.emplace_back(text.begin(), text.end());
      EXPECT_EQ(g_VovFrame->MessageWindow().name(), "Mio");
      EXPECT_EQ(g_VovFrame->Page().Bg(0).name, "BG01.ELG");
      EXPECT_EQ(g_VovFrame->CurrentLine(), 0);
    }
    if (frame == 4) {
      const auto text = g_VovFrame->MessageWindow().text();
      shown.emplace_back(text.begin(), text.end());
      EXPECT_EQ(g_VovFrame->CurrentLine(), 1);
    }
    World().ClickAt(frame, 2);
    World().ClickAt(frame, 6);
  };
  host_.SetRetVovExp(55);
  EXPECT_EQ(RunScenario(-1, ""), 0u);
  EXPECT_EQ(host_.RetVovExp(), 0u);
  EXPECT_EQ(shown, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(g_VovFrame->TextLog().Count(), 2) << "the restored message is logged once";
}

TEST_F(VovBuiltinsTest, TheDialogControlsLineQueriesAndMessageBoxHandles) {
  const auto call = [&](std::uint32_t id, const std::vector<std::uint32_t>& words) {
    return GameBuiltins()[id - kFirstGameBuiltin].function(Words(words));
  };
  EXPECT_EQ(call(58, {12}), 1u);
  EXPECT_EQ(call(58, {9, 0, 0}), 0u) << "no frame";
  WriteScriptFile("VOV_INIT.DAT", kvxtools::BuildVovInit({{"MAIN", 4, 2}, {"SIDE", 3, 0}}));
  ASSERT_EQ(Create(), 0u);
  EXPECT_EQ(call(58, {9, 0, 0}), 7u);
  EXPECT_EQ(call(58, {9, 0, Text("SIDE")}), 3u);
  EXPECT_EQ(call(58, {9, 1, 0}), 0u);
  EXPECT_EQ(call(58, {9, 2, Text("SIDE")}), 0u);
  g_VovFrame->SetPageFlag(1, true);
  EXPECT_EQ(call(58, {9, 3, 0}), 1u);
  // 11 points configuration words 1 and 2 of the living frame elsewhere.
  EXPECT_EQ(call(58, {11, 0x1000, 0x2000}), 0u);
  EXPECT_EQ(g_VovFrame->ConfigWord(1), 0x1000u);
  EXPECT_EQ(g_VovFrame->ConfigWord(2), 0x2000u);
  // A picture notice of a file that is not there.
  EXPECT_EQ(call(58, {5, Text("NONE.ELG")}), 1u);
  // Handles, not addresses: the box and its inner object, each of its own kind.
  EXPECT_EQ(call(57, {1, 0}), 0u);
  EXPECT_EQ(call(57, {0, 2}), 0u);
  const std::uint32_t box = call(57, {0, 0});
  EXPECT_EQ(handles_.Get<CMessageBox>(box), &g_MessageBox);
  EXPECT_EQ(handles_.Get<CFontBase>(call(57, {0, 1})), &g_MessageBox.TooltipFont());
  EXPECT_EQ(handles_.Get<CFontBase>(box), nullptr);
  // Stale or missing tasks are missing objects.
  EXPECT_EQ(call(58, {2, box}), 0u);
  const std::uint32_t word = host_.Memory().Allocate(4, true);
  host_.Memory().SetWord(word, box);
  EXPECT_EQ(call(58, {3, word}), 0u);
  EXPECT_EQ(host_.Memory().Word(word), box);
}

TEST_F(VovBuiltinsTest, AResizeMotionShrinksASpriteTowardsItsEndAndItsTaskCanBeStopped) {
  const auto call = [&](const std::vector<std::uint32_t>& words) {
    return GameBuiltins()[54 - kFirstGameBuiltin].function(Words(words));
  };
  CImage image;
  ASSERT_EQ(image.Create(200, 100, 32, 0), 0u);
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&image, nullptr, 0, 0), 0u);
  const std::uint32_t handle = sprite.ScriptHandle(handles_);
  EXPECT_EQ(call({0, 0, 100, Text("0.5"), 0}), 0u);
  EXPECT_EQ(call({handle, 2, 100, Text("0.5"), 0}), 0u) << "a mode above 1";
  const std::uint32_t task = call({handle, 0, 100, Text("0.5"), 0});
  ASSERT_NE(task, 0u);
  const auto call58 = [&](const std::vector<std::uint32_t>& words) {
    return GameBuiltins()[58 - kFirstGameBuiltin].function(Words(words));
  };
  EXPECT_EQ(call58({2, task}), 1u);
  for (int frame = 0; frame < 10; ++frame) World().Step();
  EXPECT_EQ(call58({2, task}), 0u) << "the task ended, its handle names nothing";
  const plat::Rect& bounds = *sprite.GetBoundsPtr();
  // Mode byte 2: the right and bottom edges stayed where they were.
  EXPECT_EQ(bounds.right - bounds.left, 100);
  EXPECT_EQ(bounds.bottom - bounds.top, 50);
  EXPECT_EQ(bounds.right, 200);
  EXPECT_EQ(bounds.bottom, 100);

  // A running motion stopped through the word that holds its task.
  const std::uint32_t again = call({handle, 1, 1000, Text("2"), 0});
  ASSERT_NE(again, 0u);
  const std::uint32_t word = host_.Memory().Allocate(4, true);
  host_.Memory().SetWord(word, again);
  EXPECT_EQ(call58({3, word}), 1u);
  EXPECT_EQ(host_.Memory().Word(word), 0u);
  EXPECT_EQ(call58({2, again}), 0u);
}

TEST_F(VovBuiltinsTest, ARunWhosePageCanvasIsDeletedEndsWithMinusOneAndSaysWhy) {
  CScreenManager screen;
  g_ScreenManager = &screen;
  const std::uint32_t canvas = GameBuiltins()[238 - kFirstGameBuiltin].function(Words({800, 600, 32, 2}, true));
  ASSERT_NE(canvas, 0u);
  TobBuilder builder;
  builder.CodeBlock(kvxtools::AssembleTobCode("  CallNative native(243), args, result\n  Return\nargs: .word held\nheld: .word " +
                                              std::to_string(canvas) + "\nresult: .word 0\n"));
  builder.Command(kTestOpcode);
  WriteScenario("MAIN", builder);
  ASSERT_EQ(NativeVovCreate(Words({0, 0, canvas}, true)), 0u);
  bool went_on = false;
  g_VovFrame->SetHandler(kTestOpcode, [&](CVovFrame&, std::span<const VovOperand>) {
    went_on = true;
    return 0;
  });
  LogCapture log;
  EXPECT_EQ(RunScenario(0, "MAIN"), 1u);

  EXPECT_EQ(host_.RetVovExp(), 0xFFFFFFFFu);
  EXPECT_FALSE(went_on);
  EXPECT_NE(std::find(log.Lines().begin(), log.Lines().end(),
                      "the novel page's image was deleted while the frame held it: the frame runs no more on it"),
            log.Lines().end());
  host_.SetRetVovExp(0);
  EXPECT_EQ(RunScenario(0, "MAIN"), 1u) << "no run on a page that is gone";
  EXPECT_EQ(host_.RetVovExp(), 0xFFFFFFFFu);
  EXPECT_FALSE(went_on);
  DestroyVovFrame();
  g_ScreenManager = nullptr;
}

TEST_F(VovBuiltinsTest, TheHostsEndTakesTheFrameWithIt) {
  ASSERT_EQ(Create(), 0u);
  { CGameScriptHost second; }
  EXPECT_EQ(g_VovFrame, nullptr);
}

}  // namespace

namespace {

TEST_F(VovBuiltinsTest, SavingTheReadLogsWritesTheFramesLogAlsoWhenThePersistentStateHasNoFile) {
  WriteScriptFile("VOV_INIT.DAT", kvxtools::BuildVovInit({{"MAIN", 4, 0}}));
  ASSERT_EQ(Create(), 0u);
  EXPECT_FALSE(std::filesystem::exists(game_.HostPath() + "SAVE/TEXT_LOG.DAT"));
  const test_support::ScriptCallsRun run(game_, host_, {{{35, ""}}});
  EXPECT_EQ(run.Result(0), 2u);  // the host has no persistent file's name
  EXPECT_TRUE(std::filesystem::exists(game_.HostPath() + "SAVE/TEXT_LOG.DAT"));
}

}  // namespace
