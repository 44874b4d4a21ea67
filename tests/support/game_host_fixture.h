// Fixtures of the game script host's tests: a host over the test game folder, one with user
// variables of every class and kind and a settings block of its own, and one with a save folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "base/settings/game_settings.h"
#include "game/game_script_host.h"
#include "gfx/images/image.h"
#include "script/native_args.h"
#include "sob_builder.h"
#include "support/log_capture.h"
#include "support/script_folders.h"
#include "support/sob_test_files.h"

namespace game_test {

class GameScriptHostTest : public sob_test::ScriptFilesTest {
 protected:
  ScriptNativeFunc Native(std::uint32_t id) const { return host_.Natives().Find(ScriptNativeTable::Token(id)); }

  // An argument array of `count` words, each set to `fill`.
  NativeArgs Args(std::uint32_t count, std::uint32_t fill) {
    const std::uint32_t address = host_.Memory().Allocate(std::max(count, 1u) * 4, true);
    for (std::uint32_t i = 0; i < count; ++i) host_.Memory().SetWord(address + i * 4, fill);
    return NativeArgs(host_.Memory(), handles_, address);
  }

  LogCapture log_;
  HandleTable handles_;
  CGameScriptHost host_;
};

// A host with user variables of every class and kind, and a settings block of its own.
class GameStateRecordTest : public GameScriptHostTest {
 protected:
  // The record's variables: the selector byte, then kind byte and block of 0 and 1.
  static constexpr std::size_t kVariablesSize = 1 + 9 + 9;

  void SetUp() override {
    GameScriptHostTest::SetUp();
    kvxtools::UserVarBuilder builder;
    builder.AddVariable(0, 1, 8, {1, 2, 3, 4, 5, 6, 7, 8});  // 0: a class-1 value
    builder.AddVariable(1, 1, 8, {'a', 'b', 'c', 0});        // 1: a class-1 text
    builder.AddVariable(0, 2, 4, {40});                      // 2: persistent, not in the record
    builder.AddVariable(2, 1, 4, {2});                       // 3: kind 2, never serialised
    builder.AddVariable(0, 0, 4, {9});                       // 4: class 0, not in the record
    WriteScriptFile("USER_VAR.SOB", builder.Build());
    ASSERT_EQ(host_.LoadLibraries(nullptr, "SCRIPT\\USER_VAR.SOB", nullptr, true, true), 0u);
    g_UserConfig = &settings_;
  }
  void TearDown() override {
    g_UserConfig = nullptr;
    GameScriptHostTest::TearDown();
  }

  std::uint32_t Block(std::uint32_t number) const { return host_.Variables().BlockOf(VariableCopy::kLive, number).value(); }
  std::uint32_t Word(std::uint32_t number) const { return host_.Memory().Word(Block(number)); }
  void SetWord(std::uint32_t number, std::uint32_t value) { host_.Memory().SetWord(Block(number), value); }
  std::vector<std::uint32_t> Words() const {
    std::vector<std::uint32_t> words;
    for (std::uint32_t number = 0; number < host_.Variables().Count(); ++number) words.push_back(Word(number));
    return words;
  }
  void SetEveryWord(std::uint32_t value) {
    for (std::uint32_t number = 0; number < host_.Variables().Count(); ++number) SetWord(number, value);
  }
  std::vector<std::uint8_t> Held() const { return {host_.HeldSnapshot().begin(), host_.HeldSnapshot().end()}; }
  std::vector<std::uint8_t> Written(bool with_text) {
    std::vector<std::uint8_t> record;
    EXPECT_EQ(host_.WriteState(record, with_text), 0u);
    return record;
  }

  GameSettingsBlock settings_ = DefaultGameSettings();
};

// A state-record host with a save folder and a 200 x 150 32-bit thumbnail source (black).
class SaveFolderTest : public GameStateRecordTest {
 protected:
  void SetUp() override {
    GameStateRecordTest::SetUp();
    game_.MakeFolder("SAVE");
    host_.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
    folders_.emplace(game_.EnginePath(), game_.EnginePath("SAVE\\"));
    ASSERT_EQ(source_.Create(200, 150, 32, 0), 0u);
    host_.SetThumbnailSource(&source_, nullptr);
  }

  CImage source_;
  std::optional<test_support::ScopedScriptFolders> folders_;
};

}  // namespace game_test
