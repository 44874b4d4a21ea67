// Built-ins 602 to 630: buffers that scripts create, hold by handle and free, their operations,
// and the answers to a handle that names no buffer.
#include "builtins/sound_buffer_builtins.h"

#include <gtest/gtest.h>

#include "sound_builtins_fixture.h"
#include "sound/static_sound_buffer.h"

namespace {

using sound_builtins_test::kMinusOne;
using sound_builtins_test::kMinusTwo;

class SoundBufferBuiltinsTest : public sound_builtins_test::SoundBuiltinsTest {
 protected:
  std::uint32_t CreateStatic(std::uint32_t option = 0) { return Call(603, {Text("SE\\HIT.PCM"), option}); }
  std::uint32_t CreateStream() { return Call(605, {Text("BGM\\OLD.PCM")}); }
};

TEST_F(SoundBufferBuiltinsTest, BuffersAreCreatedAsHandlesAndFailuresGiveZero) {
  const std::uint32_t buffer = CreateStatic();
  EXPECT_GE(buffer, HandleTable::kIndexBias);
  EXPECT_EQ(Call(621, {buffer}), 1000u);
  EXPECT_EQ(Call(628, {buffer}), 44100u);
  EXPECT_EQ(Call(603, {Text("SE\\MISSING.PCM"), 0}), 0u);
  EXPECT_EQ(Call(605, {Text("SE\\MISSING.PCM")}), 0u);
  EXPECT_EQ(Call(606, {Text("BGM\\INTRO.PCM"), Text("SE\\MISSING.PCM")}), 0u);
  const std::uint32_t two_part = Call(606, {Text("BGM\\INTRO.PCM"), Text("BGM\\OLD.PCM")});
  EXPECT_GE(two_part, HandleTable::kIndexBias);
  EXPECT_EQ(sound_.output.GetBufferCount(), 2u);

  const std::uint32_t copy = Call(604, {buffer});
  EXPECT_GE(copy, HandleTable::kIndexBias);
  EXPECT_NE(copy, buffer);
  EXPECT_EQ(Call(628, {copy}), 44100u);
  // A stream cannot share its samples: 2, and nothing is made.
  EXPECT_EQ(Call(604, {two_part}), 2u);
  EXPECT_EQ(sound_.output.GetBufferCount(), 3u);
}

TEST_F(SoundBufferBuiltinsTest, DestroyingClearsTheScriptWordOnlyOnSuccess) {
  const std::uint32_t buffer = CreateStatic();
  const std::uint32_t cell = Cell(buffer);
  EXPECT_EQ(Call(607, {0}), 1u);
  EXPECT_EQ(Call(607, {Cell(0)}), 1u);
  EXPECT_EQ(Call(607, {cell}), 0u);
  EXPECT_EQ(Word(cell), 0u);
  EXPECT_EQ(sound_.output.GetBufferCount(), 0u);

  // The handle died with its buffer: the word that still holds it is kept.
  const std::uint32_t stale = Cell(buffer);
  EXPECT_EQ(Call(607, {stale}), 2u);
  EXPECT_EQ(Word(stale), buffer);
  // A channel's buffer is not the script's to free.
  ASSERT_EQ(channels_->SetChannelCount(2), 0u);
  const std::uint32_t channel_buffer = Cell(Call(682, {1}));
  EXPECT_EQ(Call(607, {channel_buffer}), 2u);
  EXPECT_NE(Word(channel_buffer), 0u);

  const std::uint32_t first = CreateStatic();
  CreateStream();
  EXPECT_EQ(Call(602, {}), 0u);
  EXPECT_EQ(sound_.output.GetBufferCount(), 0u);
  EXPECT_EQ(Call(608, {first}), kMinusOne);
}

TEST_F(SoundBufferBuiltinsTest, AHandleThatNamesNoBufferGetsEachRowsAnswer) {
  const std::uint32_t destroyed = CreateStatic();
  ASSERT_EQ(Call(607, {Cell(destroyed)}), 0u);
  for (const std::uint32_t handle : {0u, destroyed, 0x12345u}) {
    for (const std::uint32_t id : {608u, 609u, 610u, 611u, 612u, 618u, 619u, 624u, 625u, 626u, 627u}) {
      EXPECT_EQ(Call(id, {handle, 0, 0, 0}), kMinusOne) << id << " " << handle;
    }
    for (const std::uint32_t id : {613u, 614u, 623u}) EXPECT_EQ(Call(id, {handle, 0, 0}), kMinusTwo) << id;
    for (const std::uint32_t id : {604u, 620u, 621u, 622u, 628u, 629u, 630u}) {
      EXPECT_EQ(Call(id, {handle, 0, 0}), 0u) << id << " " << handle;
    }
  }
}

TEST_F(SoundBufferBuiltinsTest, OperationsReachTheBufferAndFillTheScriptsWords) {
  const std::uint32_t buffer = CreateStatic(CStaticSoundBuffer::kKeepSamples);
  EXPECT_EQ(Call(622, {buffer, 0, 0}), 0u);
  EXPECT_EQ(Call(609, {buffer}), 0u);
  const std::uint32_t play_cursor = Cell(0xAAAA);
  EXPECT_EQ(Call(622, {buffer, play_cursor, 0}), 1u);
  EXPECT_NE(Word(play_cursor), 0xAAAAu);
  EXPECT_EQ(Call(610, {buffer}), 0u);
  EXPECT_EQ(Call(622, {buffer, 0, 0}), 0u);
  EXPECT_EQ(Call(611, {buffer}), 0u);
  EXPECT_EQ(Call(615, {}), 0u);
  EXPECT_EQ(Call(622, {buffer, 0, 0}), 0u);
  EXPECT_EQ(Call(616, {}), 0u);
  EXPECT_EQ(Call(622, {buffer, 0, 0}), 1u);
  EXPECT_EQ(Call(617, {}), 0u);
  EXPECT_EQ(Call(622, {buffer, 0, 0}), 0u);
  EXPECT_EQ(Call(618, {buffer, 500}), 0u);
  EXPECT_EQ(Call(620, {buffer}), 500u);

  EXPECT_EQ(Call(623, {buffer, 128}), 0u);
  EXPECT_EQ(Call(624, {buffer, 300}), 0u);
  EXPECT_EQ(Call(625, {buffer, 11025}), 0u);
  EXPECT_EQ(Call(626, {buffer, static_cast<std::uint32_t>(-28), 100, 1000}), 0u);
  const std::uint32_t volume = Cell(0);
  const std::uint32_t pan = Cell(0);
  const std::uint32_t frequency = Cell(0);
  EXPECT_EQ(Call(627, {buffer, volume, pan, frequency}), 0u);
  EXPECT_EQ(Word(volume), 100u);
  EXPECT_EQ(Word(pan), 400u);
  EXPECT_EQ(Word(frequency), 12025u);

  const std::uint32_t channels = Cell(0xFFFFFFFF);
  const std::uint32_t rate = Cell(0);
  EXPECT_EQ(Call(619, {buffer, channels, rate, 0}), 0u);
  EXPECT_EQ(Word(channels), 1u);  // the whole word, not only its low half
  EXPECT_EQ(Word(rate), 22050u);

  // The kept samples are 16-bit words of 0x0101.
  EXPECT_EQ(Call(629, {buffer, 0}), 0x0101u);
  EXPECT_EQ(Call(629, {buffer, 44100}), 0u);
  EXPECT_EQ(Call(630, {buffer, 0, 0}), 0x0101u >> 7);
}

TEST_F(SoundBufferBuiltinsTest, StreamsAnswerNoSampleAndFadeOnTheTimerManager) {
  const std::uint32_t stream = CreateStream();
  EXPECT_EQ(Call(629, {stream, 0}), 0u);
  EXPECT_EQ(Call(630, {stream, 0, 10}), 0u);
  EXPECT_EQ(Call(614, {stream, 100}), 2u);  // not playing
  EXPECT_EQ(Call(613, {stream, 100, 1}), 0u);
  EXPECT_EQ(Call(613, {stream, 100, 1}), 2u);  // a fade in runs already
  Tick(0);
  Tick(200);
  EXPECT_EQ(Call(614, {stream, 100}), 0u);
  EXPECT_EQ(Call(614, {stream, 100}), 3u);
  Tick(0);
  Tick(200);
  EXPECT_EQ(Call(622, {stream, 0, 0}), 0u);
}

}  // namespace
