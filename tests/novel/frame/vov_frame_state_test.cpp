// The frame's own saved state: the fixed head's offsets, the tail's sizes against the bytes
// written, texts cut to their one-byte lengths, and damaged or short data refused whole.
#include "novel/frame/vov_frame_state.h"

#include "gfx/images/image.h"
#include "novel/page/vov_page.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

namespace {

std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::vector<std::uint8_t> Written(const VovFrameTail& tail) {
  ByteWriter out;
  WriteFrameTail(tail, out);
  return out.Take();
}

// A double-byte character (Shift-JIS "あ") repeated.
std::string Wide(std::size_t characters) {
  std::string text;
  for (std::size_t i = 0; i < characters; ++i) text += "\x82\xA0";
  return text;
}

VovFrameTail FullTail() {
  VovFrameTail tail;
  tail.loops[0] = {true, "SE_RAIN.OGG", 3};
  tail.loops[2] = {true, "SE_WIND.OGG", 1};
  tail.name = "STORY";
  tail.deferred.list_value = 7;
  tail.deferred.choices = {{20, 0, "Go left"}, {21, 1, "Go right"}};
  tail.deferred.message = std::string("a\0b[c", 5);
  tail.deferred.speaker = "Aki";
  tail.deferred.voice = "V001";
  return tail;
}

TEST(VovFrameState, HeadFieldsStandAtFixedOffsets) {
  VovFrameHead head;
  head.words[kStateResumeIndex] = -1;
  head.words[kStateNoMusic] = 1;
  head.bg[1][0] = 0xB1;
  head.sprites[0][0] = 0x51;
  head.sprites[23][kSpriteRecordPrefixSize - 1] = 0x5F;
  head.window[kWindowZoom] = std::bit_cast<std::int32_t>(1.5f);
  head.window[kWindowAnchorY] = -3;
  ByteWriter out;
  WriteFrameHead(head, out);
  const std::vector<std::uint8_t>& bytes = out.Data();

  ASSERT_EQ(bytes.size(), 3856u);
  EXPECT_EQ(WordAt(bytes, 0), 0xFFFFFFFFu);
  EXPECT_EQ(WordAt(bytes, 52), 1u);
  EXPECT_EQ(bytes[56 + 196], 0xB1);
  EXPECT_EQ(bytes[448], 0x51);
  EXPECT_EQ(bytes[3807], 0x5F);
  EXPECT_EQ(WordAt(bytes, 3808 + 32), std::bit_cast<std::uint32_t>(1.5f));
  EXPECT_EQ(WordAt(bytes, 3852), 0xFFFFFFFDu);

  VovFrameHead read;
  ByteReader in(bytes);
  ASSERT_TRUE(ReadFrameHead(in, read));
  EXPECT_EQ(read, head);
  EXPECT_EQ(in.Left(), 0u);
}

TEST(VovFrameState, ShortHeadChangesNothing) {
  ByteWriter out;
  VovFrameHead head;
  head.words[kStateBgm] = 12;
  WriteFrameHead(head, out);
  const std::vector<std::uint8_t> bytes = out.Take();
  VovFrameHead kept;
  kept.words[kStateBgm] = 99;
  ByteReader in{std::span(bytes).first(bytes.size() - 1)};
  EXPECT_FALSE(ReadFrameHead(in, kept));
  EXPECT_EQ(kept.words[kStateBgm], 99);
  EXPECT_EQ(in.At(), 0u);
}

TEST(VovFrameState, SlotRecordsTravelInGroupOrderFrontBeforeBack) {
  CVovPage page;
  page.Bg(1).name = "BG02.ELG";
  page.Bg(1).color = 0x102030;
  page.Sprite(0, false, 1)->name = "FIRST";
  page.Sprite(5, true, 0)->x = 77;
  page.Sprite(2, true, 2)->name = "LAST";
  VovFrameHead head;
  CaptureSlotRecords(page, head);
  EXPECT_EQ(TextOfField(head.bg[1]), "BG02.ELG");
  EXPECT_EQ(TextOfField(head.sprites[0]), "FIRST");
  EXPECT_EQ(TextOfField(head.sprites[23]), "LAST");

  CVovPage restored;
  auto image = std::make_shared<CImage>();
  restored.Sprite(2, true, 2)->image = image;
  ApplySlotRecords(head, restored);
  EXPECT_EQ(restored.Bg(1).name, "BG02.ELG");
  EXPECT_EQ(restored.Bg(1).color, 0x102030u);
  EXPECT_EQ(restored.Bg(0).name, "");
  EXPECT_EQ(restored.Sprite(0, false, 1)->name, "FIRST");
  EXPECT_EQ(restored.Sprite(5, true, 0)->x, 77);
  EXPECT_EQ(restored.Sprite(5, false, 0)->x, 0);
  EXPECT_EQ(restored.Sprite(2, true, 2)->name, "LAST");
  EXPECT_EQ(restored.Sprite(2, true, 2)->image, image);
}

TEST(VovFrameState, EmptyTailIsFourteenBytes) {
  const std::vector<std::uint8_t> bytes = Written(VovFrameTail{});
  // four silent channels, no name, a deferred block of five bytes: no choices, no message
  const std::vector<std::uint8_t> expected{0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(FrameTailSize(VovFrameTail{}), 14u);
}

TEST(VovFrameState, LoopingSoundStoresItsLengthWithZeroPlusOne) {
  VovFrameTail tail;
  tail.loops[1] = {true, "SE1", 2};  // channel 9
  const std::vector<std::uint8_t> bytes = Written(tail);
  const std::vector<std::uint8_t> loop{0, 5, 'S', 'E', '1', 0, 2, 0, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 9), loop);
}

TEST(VovFrameState, SizeMatchesBytesAndReadsBack) {
  VovFrameTail looping;
  looping.loops[1] = {true, "SE1", 2};
  VovFrameTail choices;
  choices.deferred.list_value = 3;
  choices.deferred.choices = {{20, 0, "Yes"}, {21, 1, ""}};
  VovFrameTail message;
  message.deferred.message = "Hello";
  VovFrameTail message_with_names = message;
  message_with_names.deferred.speaker = "Aki";
  message_with_names.deferred.voice = "V001";
  VovFrameTail named;
  named.name = "NAME";
  for (const VovFrameTail& tail : {VovFrameTail{}, looping, choices, message, message_with_names, named, FullTail()}) {
    const std::vector<std::uint8_t> bytes = Written(tail);
    EXPECT_EQ(FrameTailSize(tail), bytes.size());
    VovFrameTail read;
    ByteReader in(bytes);
    ASSERT_TRUE(ReadFrameTail(in, read));
    EXPECT_EQ(read, tail);
    EXPECT_EQ(in.Left(), 0u);
  }
}

TEST(VovFrameState, LongTextsAreCutWholeCharactersToTheirLengthByte) {
  struct Case {
    std::string stored;
    std::size_t kept;
  };
  // 'a' then double-byte characters: the cut falls before a character it would split
  const Case cases[] = {{"a" + Wide(150), 253}, {Wide(150), 254}, {std::string(300, 'x'), 254}};
  for (const Case& c : cases) {
    VovFrameTail tail;
    tail.name = c.stored;
    tail.loops[3] = {true, c.stored, 1};
    tail.deferred.choices = {{1, 0, c.stored}};
    tail.deferred.message = "m";
    tail.deferred.speaker = c.stored;
    const std::vector<std::uint8_t> bytes = Written(tail);
    EXPECT_EQ(FrameTailSize(tail), bytes.size());
    VovFrameTail read;
    ByteReader in(bytes);
    ASSERT_TRUE(ReadFrameTail(in, read));
    EXPECT_EQ(read.name, c.stored.substr(0, c.kept));
    EXPECT_EQ(read.deferred.choices[0].text, c.stored.substr(0, c.kept));
    EXPECT_EQ(read.deferred.speaker, c.stored.substr(0, c.kept));
    // a looping name's byte also counts its zero
    EXPECT_LE(read.loops[3].name.size(), 253u);
    EXPECT_EQ(read.loops[3].name, c.stored.substr(0, read.loops[3].name.size()));
  }
}

TEST(VovFrameState, TextIsCutAtItsFirstZero) {
  VovFrameTail tail;
  tail.name = std::string("AB\0CD", 5);
  VovFrameTail read;
  const std::vector<std::uint8_t> bytes = Written(tail);
  ByteReader in(bytes);
  ASSERT_TRUE(ReadFrameTail(in, read));
  EXPECT_EQ(read.name, "AB");
  EXPECT_EQ(FrameTailSize(tail), bytes.size());
}

TEST(VovFrameState, MoreThan255ChoicesKeepTheFirst255) {
  VovFrameTail tail;
  tail.deferred.choices.resize(300, VovChoiceItem{5, 0, "c"});
  const std::vector<std::uint8_t> bytes = Written(tail);
  EXPECT_EQ(FrameTailSize(tail), bytes.size());
  VovFrameTail read;
  ByteReader in(bytes);
  ASSERT_TRUE(ReadFrameTail(in, read));
  EXPECT_EQ(read.deferred.choices.size(), 255u);
}

TEST(VovFrameState, EveryTruncationIsRefusedWithNothingChanged) {
  const std::vector<std::uint8_t> bytes = Written(FullTail());
  VovFrameTail kept;
  kept.name = "KEPT";
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    ByteReader in{std::span(bytes).first(size)};
    EXPECT_FALSE(ReadFrameTail(in, kept)) << size;
    EXPECT_EQ(in.At(), 0u);
  }
  EXPECT_EQ(kept.name, "KEPT");
  EXPECT_TRUE(kept.deferred.choices.empty());
}

TEST(VovFrameState, DamagedLengthsAreRefused) {
  const std::vector<std::uint8_t> good = Written(FullTail());
  // offsets in FullTail's bytes: loops 0-29 (channel 8: 0-13, silent 14, channel 10: 15-28,
  // silent 29), name 30-36, deferred size 37-40, choice count 41
  struct Case {
    const char* what;
    std::size_t at;
    std::uint8_t value;
    bool byte_appended;
  };
  const Case cases[] = {
      {"a looping length of 1 leaves no room for the zero", 0, 1, false},
      {"a looping name without its zero", 0, 12, false},
      {"a name length beyond the data", 30, 250, false},
      {"a name without its zero", 30, 5, false},
      {"a deferred block longer than the data", 37, 0xFF, false},
      {"a deferred block one byte short of its parts", 37, static_cast<std::uint8_t>(good[37] - 1), false},
      {"a deferred block with a byte left over", 37, static_cast<std::uint8_t>(good[37] + 1), true},
      {"more choices than the block holds", 41, 3, false},
  };
  ASSERT_EQ(good[30], 6u);
  ASSERT_EQ(good[41], 2u);
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = good;
    bytes[c.at] = c.value;
    if (c.byte_appended) bytes.push_back(0);
    VovFrameTail kept;
    ByteReader in(bytes);
    EXPECT_FALSE(ReadFrameTail(in, kept)) << c.what;
    EXPECT_EQ(kept, VovFrameTail{}) << c.what;
  }
}

}  // namespace
