// The sprite slots: groups and priorities, places, the character lookup, tints and shared pictures.
#include <gtest/gtest.h>

#include "platform/encoding/text_encoding.h"
#include "scene/sprites/sprite.h"
#include "vov_page_fixture.h"

namespace {

using page_test::Picture;
using page_test::PixelOf;

constexpr std::uint32_t kSkin = 0xFF806040;

class VovPageSpriteTest : public page_test::VovPageTest {
 protected:
  void SetUp() override {
    VovPageTest::SetUp();
    // 40 wide, 100 high; its placement values put the reference point at (380, 520).
    for (const char* name : {"X05_A.ELG", "X27_B.ELG", "ZZZ_A.ELG", "MIS_A.ELG"}) {
      game_.WriteFile(name, Picture(40, 100, kSkin, -1, 0, 20, 80));
    }
    game_.WriteFile("BG12E.ELG", Picture(8, 8, 0xFF000000));
  }
  std::uint32_t PriorityOf(std::uint32_t index, std::int32_t group, bool back = false) {
    return page_->Sprite(index, back, group)->priority;
  }
};

TEST_F(VovPageSpriteTest, GroupsHaveTheirSlotsAndBases) {
  struct Case {
    std::int32_t group;
    std::uint32_t slots, base;
  };
  for (const Case& c : {Case{1, 3, 10000}, Case{0, 6, 20000}, Case{7, 6, 20000}, Case{2, 3, 30000}}) {
    EXPECT_EQ(CVovPage::GroupSlots(c.group), c.slots);
    EXPECT_EQ(CVovPage::GroupBase(c.group), c.base);
    EXPECT_NE(page_->Sprite(c.slots - 1, true, c.group), nullptr);
    EXPECT_EQ(page_->Sprite(c.slots, false, c.group), nullptr);
    EXPECT_EQ(page_->LoadSprite(c.slots, "X05_A.ELG", false, c.group), CVovPage::kBadSlot);
  }
  EXPECT_NE(page_->Sprite(0, false, 0), page_->Sprite(0, true, 0));
}

TEST_F(VovPageSpriteTest, LoadingBringsTheSpriteForwardAndPlacesIt) {
  ASSERT_EQ(page_->LoadSprite(2, "x05_a.elg", false, 0), 0);
  SpriteRecord& record = *page_->Sprite(2, false, 0);
  EXPECT_EQ(record.name, "X05_A.ELG");
  EXPECT_EQ(record.priority, 20000u);
  EXPECT_EQ(PriorityOf(0, 0), 20100u);  // was 20000, in front of slot 2
  EXPECT_EQ(PriorityOf(1, 0), 20200u);
  EXPECT_EQ(PriorityOf(3, 0), 20300u);  // behind it: unchanged
  EXPECT_EQ(PriorityOf(0, 1), 10000u);  // another group: unchanged
  EXPECT_EQ(record.ref_x, 380);
  EXPECT_EQ(record.ref_y, 520);
  ASSERT_NE(record.sprite, nullptr);
  EXPECT_EQ(record.sprite->GetOwnerList(), &page_->Layer(0)->GetOwnList());

  struct Case {
    std::int32_t position;
    bool outside;
    std::int32_t x, y;
  };
  const Case cases[] = {{0, false, 400, 600}, {1, false, 200, 600}, {2, false, 600, 600},
                        {0, true, 400, 1120}, {1, true, 340, 600},  {2, true, 1180, 600}};
  for (const Case& c : cases) {
    ASSERT_EQ(page_->PlaceSprite(2, c.position, c.outside, false, 0), 0);
    EXPECT_EQ(record.x, c.x) << c.position << c.outside;
    EXPECT_EQ(record.y, c.y) << c.position << c.outside;
    EXPECT_EQ(record.sprite->GetX(), c.x - 380);
    EXPECT_EQ(record.sprite->GetY(), c.y - 520);
  }
}

// A move takes the record along with the sprite: the record says where the sprite is drawn, and
// a page restored from the record (as after a load) draws it there again, however often it moved.
TEST_F(VovPageSpriteTest, AMovedSpriteIsRestoredWhereItWasDrawn) {
  ASSERT_EQ(page_->LoadSprite(2, "X05_A.ELG", false, 0), 0);
  SpriteRecord& record = *page_->Sprite(2, false, 0);
  ASSERT_EQ(page_->PlaceSprite(2, 2, false, false, 0), 0);
  ASSERT_EQ(page_->MoveSprite(2, -200, 0, false, 0), 0);
  ASSERT_EQ(page_->MoveSprite(2, 5, -7, false, 0), 0);
  EXPECT_EQ(record.sprite->GetX(), 600 - 380 - 195);
  EXPECT_EQ(record.sprite->GetY(), 600 - 520 - 7);
  EXPECT_EQ(record.x, 405);
  EXPECT_EQ(record.y, 593);
  const std::int32_t drawn_x = record.sprite->GetX();
  const std::int32_t drawn_y = record.sprite->GetY();
  page_->DropPictures();
  ASSERT_EQ(record.sprite, nullptr);
  EXPECT_TRUE(page_->RestoreSprite(2, false, 0).shown);
  ASSERT_NE(record.sprite, nullptr);
  EXPECT_EQ(record.sprite->GetX(), drawn_x);
  EXPECT_EQ(record.sprite->GetY(), drawn_y);
}

TEST_F(VovPageSpriteTest, FrontAndBackWithinTheGroup) {
  EXPECT_EQ(page_->SpriteToBack(0, false, 0, true), 0);
  EXPECT_EQ(PriorityOf(0, 0), 20500u);
  EXPECT_EQ(PriorityOf(5, 0), 20400u);
  EXPECT_EQ(PriorityOf(1, 0), 20000u);
  EXPECT_EQ(page_->SpriteToFront(0, false, 0, true), 0);
  EXPECT_EQ(PriorityOf(0, 0), 20000u);
  EXPECT_EQ(PriorityOf(1, 0), 20100u);
  EXPECT_EQ(PriorityOf(5, 0), 20500u);
  EXPECT_EQ(page_->SpriteToBack(2, false, 1, false), 0);
  EXPECT_EQ(PriorityOf(2, 1), 10200u);
}

// A name's leaf starts behind a real separator, never behind the '\' second byte of ソ (83 5C),
// 十 (8F 5C) or 表 (95 5C).
TEST_F(VovPageSpriteTest, CharactersAndTheirTint) {
  const std::string sora = "\x83\x5C\x83\x89";  // ソラ
  const std::string mio_face = "MIO_\x95\x5C\x8F\xEE" "1.ELG";  // MIO_表情1
  std::vector<std::string> names{"X27", "X05", "MIO", sora, "\x8F\x5C\x98\x61"};  // ..., 十和
  page_->SetCharacters(names);
  const struct {
    std::string name;
    std::int32_t character;
  } cases[] = {
      {"MIS_A.ELG", 1},
      {"CHR\\AKI_A.ELG", 0},
      {"ZZZ_A.ELG", kUnlistedCharacter},
      {mio_face, 2},
      {"CHR/" + mio_face, 2},
      {sora + "_01.ELG", 3},
      {"CHR\\\x8F\x5C\x98\x61_01.ELG", 4},
      {"\xC3\xBD\xC4\\MIO_01.ELG", 2},  // in a folder of half-width katakana, ﾃｽﾄ
  };
  for (const auto& each : cases) {
    EXPECT_EQ(page_->CharacterOf(each.name), each.character) << plat::SjisToUtf8(each.name);
  }
  std::vector<std::string> many(41, "AAA");
  many[40] = "ZZZ";  // past the first 40 names
  page_->SetCharacters(many);
  EXPECT_EQ(page_->CharacterOf("ZZZ_A.ELG"), kUnlistedCharacter);

  page_->SetCharacters(names);
  for (const std::string& name : {mio_face, sora + "_01.ELG"}) {
    game_.WriteFile(plat::SjisToUtf8(name), Picture(40, 100, kSkin, -1, 0, 20, 80));
  }
  game_.WriteFile("DATA/BG.TXT", "[EVENING 5\r\n12\r\n");
  ASSERT_EQ(page_->LoadBgToneTable("DATA/BG.TXT"), 0u);
  ASSERT_EQ(page_->LoadBg("BG12E.ELG", 0), 0);
  ASSERT_EQ(page_->Bg(0).tone, 1u);
  ASSERT_EQ(page_->LoadSprite(0, "X05_A.ELG", false, 0), 0);
  EXPECT_EQ(page_->Sprite(0, false, 0)->filter, kFilterNone);  // tinting is off
  page_->SetSpriteTint(true);
  const struct {
    std::string name;
    std::int32_t character;
    std::uint8_t filter;
  } loads[] = {
      {"X05_A.ELG", 1, kFilterEvening},
      {mio_face, 2, kFilterEvening},
      {sora + "_01.ELG", 3, kFilterEvening},
      {"ZZZ_A.ELG", kUnlistedCharacter, kFilterNone},  // not a listed character
  };
  for (const auto& each : loads) {
    ASSERT_EQ(page_->LoadSprite(1, each.name.c_str(), false, 0), 0) << plat::SjisToUtf8(each.name);
    EXPECT_EQ(page_->Sprite(1, false, 0)->character, each.character) << plat::SjisToUtf8(each.name);
    EXPECT_EQ(page_->Sprite(1, false, 0)->filter, each.filter) << plat::SjisToUtf8(each.name);
  }
}

TEST_F(VovPageSpriteTest, AShiftJisNameKeepsItsTrailBytesInTheNameAndTheCharacterKey) {
  // "ナツキ": every second byte is a letter ('i', 'c', 'L').
  const std::string natsuki = "\x83\x69\x83\x63\x83\x4C";
  game_.WriteFile("CHR/\u30CA\u30C4\u30AD.ELG", Picture(40, 100, kSkin, -1, 0, 20, 80));
  ASSERT_EQ(page_->LoadSprite(0, ("chr\\" + natsuki + ".elg").c_str(), false, 0), 0);
  const SpriteRecord& record = *page_->Sprite(0, false, 0);
  EXPECT_EQ(record.name, "CHR\\" + natsuki + ".ELG");
  EXPECT_NE(record.sprite, nullptr);
  // "ナi": the key's first three bytes, the trail byte kept and the letter upper-cased.
  page_->SetCharacters({"\x83\x69I"});
  EXPECT_EQ(page_->CharacterOf("\x83\x69i_A.ELG"), 0);
}

TEST_F(VovPageSpriteTest, FreeingAndClearing) {
  EXPECT_EQ(page_->LoadSprite(0, nullptr, false, 0), CVovPage::kFreeRecord);
  EXPECT_EQ(page_->LoadSprite(0, "NONE.ELG", false, 0), CVovPage::kNoImage);
  EXPECT_EQ(page_->Sprite(0, false, 0)->character, kFreeSprite);
  EXPECT_TRUE(page_->Sprite(0, false, 0)->name.empty());
  for (std::int32_t group : {1, 0, 2}) {
    for (std::uint32_t i = 0; i < CVovPage::GroupSlots(group); ++i) {
      ASSERT_EQ(page_->LoadSprite(i, "X05_A.ELG", false, group), 0);
      ASSERT_EQ(page_->LoadSprite(i, "X05_A.ELG", true, group), 0);
    }
  }
  EXPECT_EQ(page_->ClearSprites(false, -1), 0);
  for (std::int32_t group : {1, 0, 2}) {
    for (std::uint32_t i = 0; i < CVovPage::GroupSlots(group); ++i) {
      EXPECT_EQ(page_->Sprite(i, false, group)->character, kFreeSprite);
      EXPECT_EQ(page_->Sprite(i, false, group)->sprite, nullptr);
      EXPECT_NE(page_->Sprite(i, true, group)->sprite, nullptr);  // the back page keeps its own
    }
  }
  EXPECT_EQ(page_->LoadSprite(0, nullptr, true, 1), 0);
  EXPECT_EQ(page_->Sprite(0, true, 1)->image, nullptr);
}

TEST_F(VovPageSpriteTest, FilterOnASharedPictureGivesTheOtherPageACopy) {
  ASSERT_EQ(page_->LoadSprite(0, "X05_A.ELG", false, 0), 0);
  SpriteRecord& front = *page_->Sprite(0, false, 0);
  SpriteRecord& back = *page_->Sprite(0, true, 0);
  back.name = front.name;
  back.character = front.character;
  back.ref_x = front.ref_x;
  back.ref_y = front.ref_y;
  back.image = front.image;  // as a page copy leaves them
  const CImage* shared = front.image.get();
  ASSERT_EQ(page_->SetSpriteFilter(0, kFilterNegative, false, false, false, 0), 0);
  EXPECT_EQ(front.image.get(), shared);
  ASSERT_NE(back.image, nullptr);
  EXPECT_NE(back.image.get(), shared);
  EXPECT_EQ(PixelOf(*back.image, 3, 3), kSkin);
  EXPECT_EQ(PixelOf(*front.image, 3, 3), kSkin ^ 0x00FFFFFF);
  ASSERT_NE(back.sprite, nullptr);
  EXPECT_EQ(back.sprite->GetOwnerList(), &page_->Layer(1)->GetOwnList());
  EXPECT_EQ(page_->SetSpriteFilter(0, kFilterGrey, false, false, false, 0), CVovPage::kRefused);
  EXPECT_EQ(page_->SoftenSprite(0, 2, false, 0), 0);
  EXPECT_EQ(page_->SoftenSprite(0, 2, false, 0), CVovPage::kRefused);
  EXPECT_EQ(page_->SoftenSprite(1, 2, false, 0), CVovPage::kNoImage);
}

class VovPageSpriteEffectTest : public VovPageSpriteTest {
 protected:
  page_test::SlotEffects effects_;
};

TEST_F(VovPageSpriteEffectTest, LoadingOrReorderingASpriteEndsItsEffect) {
  ASSERT_EQ(page_->LoadSprite(0, "X05_A.ELG", false, 0), 0);
  ASSERT_EQ(page_->LoadSprite(1, "X27_B.ELG", false, 0), 0);
  const page_test::EffectSeen& replaced = effects_.Start(page_->Sprite(0, false, 0)->effect);
  // The same picture with no filter stays as it is, effect and all.
  EXPECT_EQ(page_->LoadSprite(0, "x05_a.elg", false, 0), 0);
  EXPECT_FALSE(replaced.ended);
  EXPECT_EQ(page_->LoadSprite(0, "ZZZ_A.ELG", false, 0), 0);
  EXPECT_TRUE(replaced.ended);
  EXPECT_EQ(page_->Sprite(0, false, 0)->effect, nullptr);
  EXPECT_EQ(page_->Sprite(0, false, 0)->name, "ZZZ_A.ELG");

  // An effect ordering its own sprite keeps running; the order command ends it.
  const page_test::EffectSeen& ordered = effects_.Start(page_->Sprite(1, false, 0)->effect);
  EXPECT_EQ(page_->SpriteToFront(1, false, 0, false), 0);
  EXPECT_FALSE(ordered.ended);
  EXPECT_EQ(page_->SpriteToBack(1, false, 0, true), 0);
  EXPECT_TRUE(ordered.ended);
  EXPECT_EQ(PriorityOf(1, 0), 20500u);

  // Emptying the record takes the sprite the effect works on.
  const page_test::EffectSeen& emptied = effects_.Start(page_->Sprite(0, false, 0)->effect);
  EXPECT_EQ(page_->LoadSprite(0, nullptr, false, 0), 0);
  EXPECT_TRUE(emptied.ended);
  EXPECT_EQ(effects_.Running(), 0u);
}

}  // namespace
