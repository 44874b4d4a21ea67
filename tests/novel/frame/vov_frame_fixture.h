// A novel frame over a game folder of the message window's pictures and buttons, driven frame
// by frame in a wait world: the frame's tests load builder-made scenarios into it and play them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/numbers/byte_cursor.h"
#include "base/numbers/trig_tables.h"
#include "effects/table/builtin_effect_table.h"
#include "novel/frame/vov_frame.h"
#include "novel/frame/vov_message_window_fixture.h"
#include "novel/page/vov_page_fixture.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "support/data_files_fixture.h"
#include "support/sob_test_files.h"
#include "tob_builder.h"
#include "vov_wait_world.h"

namespace vov_test {

// The built-in transitions registered with `filters` as the game's set-up registers them.
inline void RegisterTransitions(CTcpPluginManager& filters) {
  for (const BuiltinFilterRow& row : BuiltinFilterRows()) {
    filters.RegisterObject(row.creator, row.name, row.type, 0, 0, row.start_up, row.clean_up);
  }
}

struct EffectHosts {
  EffectHosts() {
    g_DcpHost = &effects;
    RegisterSetUpEffects(effects, filters);
    RegisterBuiltinEffects(effects, filters);
  }
  ~EffectHosts() { g_DcpHost = nullptr; }
  CDcpPluginManager effects;
  CTcpPluginManager filters;
};

class FrameTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    message_test::WriteWindowPictures(game_, 0xFF203040, 0xFF405060);
    message_test::WriteButtonFile(game_);
    graphics_ = std::make_unique<page_test::PageGraphics>();
    world_ = std::make_unique<vov_test::WaitWorld>();
    effects_ = std::make_unique<EffectHosts>();
    host_ = MakeHost();
    frame_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(frame_->InitMessageWindow(nullptr, &world_->root), 0u);
    Settings()[kSettingUnreadTextAtOnce] = 1;
  }
  void TearDown() override {
    frame_.reset();
    host_.reset();
    effects_.reset();
    world_.reset();
    graphics_.reset();
    DataFilesTest::TearDown();
  }

  // The script host the frame runs on; a test of the game's host gives its own.
  virtual std::unique_ptr<CScriptHost> MakeHost() { return std::make_unique<CScriptHost>(); }
  GameSettingsBlock& Settings() { return world_->settings; }
  vov_test::WaitWorld& World() { return *world_; }
  // Loads the scenario as the run built-in does and prepares the page.
  void Load(const kvxtools::TobBuilder& builder) {
    game_.WriteFile("SCRIPT/MAIN.TOB", sob_test::AsText(builder.Build()));
    frame_->ResetPage();
    ASSERT_EQ(frame_->LoadMainScript("MAIN"), 0u);
    ASSERT_EQ(frame_->PreparePage(false), 0);
    World().frames = 0;
  }
  std::int32_t Run(const kvxtools::TobBuilder& builder) {
    Load(builder);
    return frame_->RunScript();
  }
  // Plays the scenario, saving the game in its message wait's second frame and clicking in its
  // third, then loads the save into a new frame, ready to prepare its page again.
  void SaveInTheMessageAndLoad(const kvxtools::TobBuilder& builder) {
    Load(builder);
    std::vector<std::uint8_t> saved;
    World().player = [&](int frame) {
      if (frame == 2) {
        ByteWriter out;
        EXPECT_EQ(frame_->Save(out, false), 0u);
        saved = out.Take();
      }
      World().ClickAt(frame, 3);
    };
    ASSERT_EQ(frame_->RunScript(), 0);
    World().player = nullptr;
    frame_.reset();
    frame_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(frame_->InitMessageWindow(nullptr, &World().root), 0u);
    ByteReader in(saved);
    ASSERT_EQ(frame_->Load(in, true), 0u);
  }
  // A script word for the configuration words to name.
  std::uint32_t NewWord(std::uint32_t value) {
    const std::uint32_t address = host_->Memory().Allocate(4, true);
    host_->Memory().SetWord(address, value);
    return address;
  }
  // The middle of the choice list's item.
  plat::Point ItemCentre(std::int32_t index) {
    const CWidgetFace* face = frame_->ChoiceList().GetItemFace(index);
    return {face->GetX() + face->GetSource().Width() / 2, face->GetY() + (face->GetSource().bottom - face->GetSource().top) / 2};
  }

  std::unique_ptr<page_test::PageGraphics> graphics_;
  std::unique_ptr<vov_test::WaitWorld> world_;
  std::unique_ptr<EffectHosts> effects_;
  std::unique_ptr<CScriptHost> host_;
  std::unique_ptr<CVovFrame> frame_;
};

// The frame with the effects setting on, the trigonometric tables and a blue 800 x 600 "BG01.ELG"
// in the front slot: where the effect commands run.
class EffectFrameTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    g_TrigTable = &trig_;
    Settings()[kSettingScreenEffectsOff] = 0;
    game_.WriteFile("BG01.ELG", page_test::Picture(800, 600, 0xFF336699));
    ASSERT_EQ(frame_->Page().LoadBg("BG01.ELG", 0), 0);
  }
  void TearDown() override {
    frame_.reset();
    g_TrigTable = nullptr;
    FrameTest::TearDown();
  }

  CTrigTables trig_;
};

}  // namespace vov_test
