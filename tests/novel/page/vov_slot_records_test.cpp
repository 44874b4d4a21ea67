// The saved prefixes of the slot records: their sizes, every field's offset, and the way back.
#include "novel/page/vov_slot_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(SlotRecords, BgPrefixFieldsStandAtTheirOffsets) {
  BgSlotRecord record;
  record.name = "BG01A.ELG";
  record.anime_name = "ANIME.DAD";
  record.tone = 2;
  record.color = 0x123456;
  record.frozen = 1;
  record.filter = 3;
  record.mirror_x = 4;
  record.mirror_y = 5;
  record.letterbox = 6;
  record.softened = 7;
  record.offset_x = -8;
  record.offset_y = 9;
  record.area = {10, 11, 12, 13};
  record.zoom = 1.5f;
  record.angle = 14;
  record.anime_state = 15;
  record.anime_arg1 = 16;
  record.anime_arg2 = 17;
  record.persist_kind = 18;
  record.persist_params[0] = 19;
  record.persist_params[67] = 20;
  ByteWriter out;
  WriteBgRecordPrefix(record, out);
  const std::vector<std::uint8_t>& bytes = out.Data();
  ASSERT_EQ(bytes.size(), kBgRecordPrefixSize);
  EXPECT_EQ(std::memcmp(bytes.data(), "BG01A.ELG\0", 10), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 32, "ANIME.DAD\0", 10), 0);
  const std::pair<std::size_t, std::uint32_t> words[] = {
      {64, 2}, {68, 0x123456}, {80, static_cast<std::uint32_t>(-8)}, {84, 9}, {88, 10}, {92, 11}, {96, 12},
      {100, 13}, {104, 0x3FC00000}, {108, 14}, {112, 15}, {116, 16}, {120, 17}, {124, 18}};
  for (const auto& [at, value] : words) EXPECT_EQ(WordAt(bytes, at), value) << at;
  const std::pair<std::size_t, std::uint8_t> singles[] = {{72, 1}, {73, 3}, {74, 0}, {75, 0}, {76, 4},
                                                           {77, 5}, {78, 6}, {79, 7}, {128, 19}, {195, 20}};
  for (const auto& [at, value] : singles) EXPECT_EQ(bytes[at], value) << at;

  BgSlotRecord back;
  ByteReader in(bytes);
  ASSERT_TRUE(ReadBgRecordPrefix(in, back));
  EXPECT_EQ(in.Left(), 0u);
  EXPECT_EQ(back.name, record.name);
  EXPECT_EQ(back.anime_name, record.anime_name);
  EXPECT_EQ(back.area, record.area);
  EXPECT_EQ(back.zoom, record.zoom);
  EXPECT_EQ(back.softened, 7);
  EXPECT_EQ(back.persist_params, record.persist_params);
}

TEST(SlotRecords, SpritePrefixFieldsStandAtTheirOffsets) {
  SpriteRecord record;
  record.name = "X05_A.ELG";
  record.character = 5;
  record.x = 1;
  record.y = 2;
  record.ref_x = 3;
  record.ref_y = -4;
  record.priority = 20100;
  record.filter = 6;
  record.mirror_x = 1;
  record.mirror_y = 1;
  record.softened = 9;
  record.alpha = 128;
  record.zoom = 2.0f;
  record.angle = 256;
  record.anchor_x = 10;
  record.anchor_y = 11;
  record.persist_kind = 12;
  record.persist_param = 13;
  record.persist_name = "sp_fade";
  ByteWriter out;
  WriteSpriteRecordPrefix(record, out);
  const std::vector<std::uint8_t>& bytes = out.Data();
  ASSERT_EQ(bytes.size(), kSpriteRecordPrefixSize);
  const std::pair<std::size_t, std::uint32_t> words[] = {
      {32, 5}, {36, 1}, {40, 2}, {44, 3}, {48, static_cast<std::uint32_t>(-4)}, {52, 20100}, {56, 6},
      {60, 0x00090101}, {64, 128}, {68, 0x40000000}, {72, 256}, {76, 10}, {80, 11}, {84, 12}, {88, 13}};
  for (const auto& [at, value] : words) EXPECT_EQ(WordAt(bytes, at), value) << at;
  EXPECT_EQ(std::memcmp(bytes.data() + 92, "sp_fade\0", 8), 0);

  SpriteRecord back;
  ByteReader in(bytes);
  ASSERT_TRUE(ReadSpriteRecordPrefix(in, back));
  EXPECT_EQ(back.name, record.name);
  EXPECT_EQ(back.ref_y, -4);
  EXPECT_EQ(back.softened, 9);
  EXPECT_EQ(back.alpha, 128);
  EXPECT_EQ(back.persist_name, "sp_fade");
}

TEST(SlotRecords, LongNamesKeepWholeCharactersAndShortDataIsRefused) {
  SpriteRecord record;
  // 30 ASCII bytes and a double-byte character: the character does not fit in 31 bytes whole.
  record.name = std::string(30, 'A') + "\x82\xA0";
  ByteWriter out;
  WriteSpriteRecordPrefix(record, out);
  EXPECT_EQ(out.Data()[30], 0);
  EXPECT_EQ(out.Data()[31], 0);

  std::vector<std::uint8_t> short_data(kSpriteRecordPrefixSize - 1);
  ByteReader in(short_data);
  SpriteRecord untouched;
  untouched.x = 77;
  EXPECT_FALSE(ReadSpriteRecordPrefix(in, untouched));
  EXPECT_EQ(untouched.x, 77);
  BgSlotRecord bg;
  EXPECT_FALSE(ReadBgRecordPrefix(in, bg));
}

}  // namespace
