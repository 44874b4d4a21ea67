// The sound built-ins called by their numbers with their argument words in script memory, over
// the sound channels of fake manual devices: the output, the channels and the timer manager are
// the program's own while a test runs.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "base/lifetime/handle_table.h"
#include "base/time/timer_manager.h"
#include "builtins/builtin_table.h"
#include "script/script_memory.h"
#include "sound/sound_output.h"
#include "support/sound_channels_fixture.h"

namespace sound_builtins_test {

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr std::uint32_t kMinusTwo = 0xFFFFFFFE;

class SoundBuiltinsTest : public test_support::SoundChannelsTest {
 protected:
  void SetUp() override {
    SoundChannelsTest::SetUp();
    saved_output_ = std::exchange(g_SoundDevice, &sound_.output);
    saved_channels_ = std::exchange(g_SoundChannels, channels_.get());
    saved_timers_ = std::exchange(g_TimerManager, &timer_);
  }
  void TearDown() override {
    sound_.output.DestroyAllBuffers();
    g_SoundDevice = saved_output_;
    g_SoundChannels = saved_channels_;
    g_TimerManager = saved_timers_;
    SoundChannelsTest::TearDown();
  }

  // Calls built-in `id` with `words` as args[0], args[1], ...
  std::uint32_t Call(std::uint32_t id, std::initializer_list<std::uint32_t> words) {
    args_ = memory_.Allocate(static_cast<std::uint32_t>(words.size() * 4 + 4), true);
    std::uint32_t address = args_;
    for (const std::uint32_t word : words) {
      memory_.SetWord(address, word);
      address += 4;
    }
    return GameBuiltins()[id - kFirstGameBuiltin].function(NativeArgs(memory_, handles_, args_));
  }
  // args[i] of the last call, as the function left it.
  std::uint32_t Arg(std::uint32_t i) const { return memory_.Word(args_ + i * 4); }
  std::uint32_t Text(const std::string& text) {
    const std::uint32_t address = memory_.Allocate(static_cast<std::uint32_t>(text.size() + 1), true);
    memory_.Write(address, text.c_str(), static_cast<std::uint32_t>(text.size()));
    return address;
  }
  // A script word holding `value`.
  std::uint32_t Cell(std::uint32_t value) {
    const std::uint32_t address = memory_.Allocate(4, true);
    memory_.SetWord(address, value);
    return address;
  }
  std::uint32_t Word(std::uint32_t address) const { return memory_.Word(address); }

  ScriptMemory memory_;
  HandleTable handles_;

 private:
  std::uint32_t args_ = 0;
  CSoundOutput* saved_output_ = nullptr;
  CSoundChannelManager* saved_channels_ = nullptr;
  CTimerManager* saved_timers_ = nullptr;
};

}  // namespace sound_builtins_test
