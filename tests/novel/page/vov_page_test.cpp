// The novel page's slots: backgrounds with their tone, variant, offsets and filters, and the
// sprite slots with their groups, priorities, places and shared pictures.
#include "novel/page/vov_page.h"

#include <gtest/gtest.h>

#include <functional>

#include "anim_file_writer.h"
#include "base/numbers/subtractive_random.h"
#include "effects/table/builtin_effect_table.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "scene/sprites/sprite.h"
#include "support/log_capture.h"
#include "vov_page_fixture.h"

namespace {

using page_test::Picture;
using page_test::PixelOf;

constexpr std::uint32_t kBgColour = 0xFF336699;

class VovPageBgTest : public page_test::VovPageTest {
 protected:
  void SetUp() override {
    VovPageTest::SetUp();
    for (const char* name : {"BG01.ELG", "BG02.ELG", "BG03.ELG", "BG50.ELG", "BG12E.ELG", "BG13C.ELG"}) {
      game_.WriteFile(name, Picture(16, 8, kBgColour));
    }
    for (int variant = 0; variant < 8; ++variant) {
      game_.WriteFile("BG06A_" + std::to_string(variant) + ".ELG", Picture(16, 8, kBgColour));
    }
  }
  void UseToneTable() {
    game_.WriteFile("DATA/BG.TXT", "[EVENING 5\r\n12\r\n[NIGHT 3\r\n[OTHER 1\r\n99\r\n");
    ASSERT_EQ(page_->LoadBgToneTable("DATA/BG.TXT"), 0u);
  }
};

TEST_F(VovPageBgTest, TheSameNameReloadsOnlyWhenTheSlotIsChanged) {
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  const CImage* first = page_->Bg(0).image.get();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(page_->LoadBg("bg01.elg", 0), 0);
  EXPECT_EQ(page_->Bg(0).image.get(), first);  // not loaded again

  page_->SetBgOffset(3, 0, 0);
  EXPECT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  EXPECT_NE(page_->Bg(0).image.get(), nullptr);
  EXPECT_EQ(page_->Bg(0).offset_x, 0);
  EXPECT_EQ(page_->Layer(0)->HasBackgroundImage(), true);

  ASSERT_EQ(page_->SetBgFilter(kFilterGrey, false, false, false, 0), 0);
  EXPECT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  EXPECT_EQ(page_->Bg(0).filter, kFilterNone);
  EXPECT_EQ(PixelOf(*page_->Bg(0).image, 0, 0), kBgColour);  // a fresh picture, not the grey one
}

TEST_F(VovPageBgTest, ALongNameKeepsWholeCharactersIn31Bytes) {
  const std::string name = std::string(30, 'A') + "\x82\xA0.ELG";
  EXPECT_EQ(page_->LoadBg(name.c_str(), 0), CVovPage::kBadSlot);
  EXPECT_EQ(page_->Bg(0).name, std::string(30, 'A'));
  EXPECT_EQ(page_->LoadSprite(0, name.c_str(), false, 0), CVovPage::kNoImage);
}

TEST_F(VovPageBgTest, AMissingPictureKeepsTheNameAndEmptiesTheImage) {
  EXPECT_EQ(page_->LoadBg("NONE.ELG", 1), CVovPage::kBadSlot);
  EXPECT_EQ(page_->Bg(1).name, "NONE.ELG");
  EXPECT_EQ(page_->Bg(1).image, nullptr);
  EXPECT_FALSE(page_->Layer(1)->HasBackgroundImage());
}

TEST_F(VovPageBgTest, ToneAndStartOffsetsComeFromTheName) {
  UseToneTable();
  struct Case {
    const char* name;
    std::uint32_t tone;
    std::int32_t x, y;
  };
  const Case cases[] = {{"BG12E.ELG", 1, 0, 0}, {"BG13C.ELG", 2, 0, 0}, {"BG02.ELG", 0, 0, 600},
                        {"BG50.ELG", 0, 0, 32}, {"BG03.ELG", 0, 400, 0}, {"BG01.ELG", 0, 0, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(page_->LoadBg(c.name, 0), 0) << c.name;
    EXPECT_EQ(page_->Bg(0).tone, c.tone) << c.name;
    EXPECT_EQ(page_->Bg(0).offset_x, c.x) << c.name;
    EXPECT_EQ(page_->Bg(0).offset_y, c.y) << c.name;
  }
  CImage* image = nullptr;
  std::int32_t x = 0, y = 0;
  page_->LoadBg("BG02.ELG", 0);
  page_->Layer(0)->GetBackground(&image, &x, &y, nullptr, nullptr, nullptr);
  EXPECT_EQ(y, 600);
}

TEST_F(VovPageBgTest, TheVariantFollowsTheScriptGenerator) {
  UseToneTable();
  SeedSubtractive(g_ScriptRandomIndex, g_ScriptRandomState, 1234);
  std::int16_t index = 0;
  SubtractiveTable twin{};
  SeedSubtractive(index, twin, 1234);
  const std::int32_t expected = DrawSubtractive(index, twin) & 7;
  ASSERT_EQ(page_->LoadBg("BG06A.ELG", 0), 0);
  EXPECT_EQ(page_->Bg(0).name, "BG06A_" + std::to_string(expected) + ".ELG");
  EXPECT_NE(page_->Bg(0).image, nullptr);
}

TEST_F(VovPageBgTest, FilterRules) {
  ASSERT_EQ(page_->SetBgFilter(kFilterNegative, false, false, false, 0), CVovPage::kBadSlot);  // no picture
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  ASSERT_EQ(page_->SetBgFilter(kFilterNegative, false, false, false, 0), 0);
  EXPECT_EQ(PixelOf(*page_->Bg(0).image, 1, 1), kBgColour ^ 0x00FFFFFF);
  ASSERT_EQ(page_->SetBgFilter(kFilterNegative, false, false, false, 0), 0);
  EXPECT_EQ(PixelOf(*page_->Bg(0).image, 1, 1), kBgColour);
  EXPECT_EQ(page_->Bg(0).filter, kFilterNone);

  ASSERT_EQ(page_->SetBgFilter(kFilterSepia, false, false, false, 0), 0);
  const std::uint32_t sepia = PixelOf(*page_->Bg(0).image, 1, 1);
  EXPECT_EQ(page_->SetBgFilter(kFilterGrey, true, false, true, 0), CVovPage::kRefused);
  EXPECT_EQ(page_->Bg(0).filter, kFilterSepia);
  EXPECT_EQ(page_->Bg(0).mirror_x, 0);
  EXPECT_EQ(page_->Bg(0).letterbox, 0);
  EXPECT_EQ(PixelOf(*page_->Bg(0).image, 1, 1), sepia);
}

TEST_F(VovPageBgTest, SofteningOnceAndNeverAfterTheLetterbox) {
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  EXPECT_EQ(page_->SoftenBg(0, 0), 0);
  EXPECT_EQ(page_->Bg(0).softened, 1);
  EXPECT_EQ(page_->SoftenBg(2, 0), CVovPage::kRefused);
  ASSERT_EQ(page_->LoadBg("BG02.ELG", 1), 0);
  ASSERT_EQ(page_->SetBgFilter(0, false, false, true, 1), 0);
  EXPECT_EQ(page_->SoftenBg(2, 1), CVovPage::kRefused);
}

TEST_F(VovPageBgTest, ASharedPictureIsCopiedBeforeAFilter) {
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  page_->Bg(1).image = page_->Bg(0).image;  // as a page copy leaves them
  ASSERT_EQ(page_->SetBgFilter(kFilterNegative, false, false, false, 1), 0);
  EXPECT_NE(page_->Bg(1).image, page_->Bg(0).image);
  EXPECT_EQ(PixelOf(*page_->Bg(0).image, 0, 0), kBgColour);
  EXPECT_EQ(PixelOf(*page_->Bg(1).image, 0, 0), kBgColour ^ 0x00FFFFFF);
  CImage* shown = nullptr;
  page_->Layer(1)->GetBackground(&shown, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(shown, page_->Bg(1).image.get());
}

TEST_F(VovPageBgTest, ClearAndColour) {
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  page_->SetBgOffset(5, 6, 0);
  EXPECT_EQ(page_->ClearBg(0xFF010203, 0), 0);
  EXPECT_TRUE(page_->Bg(0).name.empty());
  EXPECT_EQ(page_->Bg(0).image, nullptr);
  EXPECT_EQ(page_->Bg(0).offset_x, 0);
  EXPECT_EQ(page_->Layer(0)->GetBackgroundColor(), 0xFF010203u);
  EXPECT_EQ(page_->SetBgColor(0xFF0000FF, 0), 0);
  EXPECT_EQ(page_->Bg(0).color, 0xFF0000FFu);
  // The slot number's low 8 bits count.
  EXPECT_EQ(&page_->Bg(0x101), &page_->Bg(1));
}

TEST_F(VovPageBgTest, FreezingShowsAStillOfThePageUntilThawed) {
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  ASSERT_EQ(page_->FreezeBg(true, 0, false), 0);
  EXPECT_EQ(page_->Bg(0).frozen, 1);
  ASSERT_NE(page_->Bg(0).capture, nullptr);
  EXPECT_EQ(page_->Bg(0).capture->GetWidth(), CVovPage::kWidth);
  EXPECT_EQ(PixelOf(*page_->Bg(0).capture, 3, 3) | 0xFF000000, kBgColour);
  CImage* shown = nullptr;
  page_->Layer(0)->GetBackground(&shown, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(shown, page_->Bg(0).capture.get());
  ASSERT_EQ(page_->FreezeBg(false, 0, false), 0);
  EXPECT_EQ(page_->Bg(0).frozen, 0);
  EXPECT_EQ(page_->Bg(0).capture, nullptr);
  page_->Layer(0)->GetBackground(&shown, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(shown, page_->Bg(0).image.get());
}

TEST_F(VovPageBgTest, AreaAndRotoZoomWithoutPictureAreReset) {
  EXPECT_EQ(page_->SetBgArea(1, 2, 3, 4, 0), 0);
  EXPECT_EQ(page_->Bg(0).area[0], kNoArea);
  EXPECT_EQ(page_->SetBgRotoZoom(10, "2.5", 0, 0, 0), 0);
  EXPECT_EQ(page_->Bg(0).zoom, 0.0f);
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  EXPECT_EQ(page_->SetBgArea(1, 2, 3, 4, 0), 0);
  EXPECT_EQ(page_->Bg(0).area, (std::array<std::int32_t, 4>{1, 2, 4, 6}));
  EXPECT_EQ(page_->SetBgRotoZoom(10, "2.5", 0, 0, 0), 0);
  EXPECT_EQ(page_->Bg(0).zoom, 2.5f);
  EXPECT_EQ(page_->Bg(0).area[0], kNoArea);
}

// An image loader that counts the files it decodes.
class CountingLoader : public CImageLoaderManager {
 public:
  std::int32_t DecodeFile(const char* file_name, const DecodeTarget& target, const DecodeOutputs& outputs) override {
    ++files_decoded;
    return CImageLoaderManager::DecodeFile(file_name, target, outputs);
  }
  int files_decoded = 0;
};

class VovPageBgEffectTest : public VovPageBgTest {
 protected:
  void SetUp() override {
    VovPageBgTest::SetUp();
    RegisterElgDecoder(loader_);
    saved_loader_ = g_GllHost;
    g_GllHost = &loader_;
  }
  void TearDown() override {
    VovPageBgTest::TearDown();
    g_GllHost = saved_loader_;
  }
  CountingLoader loader_;
  CImageLoaderManager* saved_loader_ = nullptr;
  page_test::SlotEffects effects_;
};

TEST_F(VovPageBgEffectTest, TheSameNameIsNotDecodedAgainButItsEffectEnds) {
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  ASSERT_EQ(loader_.files_decoded, 1);
  const page_test::EffectSeen& once = effects_.Start(page_->Bg(0).effect);
  const page_test::EffectSeen& picture_loop = effects_.Start(page_->Bg(0).persist_effect);
  page_->Bg(0).persist_kind = 4;  // raster: it plays over the picture
  EXPECT_EQ(page_->LoadBg("bg01.elg", 0), 0);
  EXPECT_EQ(loader_.files_decoded, 1);
  EXPECT_TRUE(once.ended);
  EXPECT_TRUE(picture_loop.ended);
  EXPECT_EQ(page_->Bg(0).effect, nullptr);
  EXPECT_EQ(page_->Bg(0).persist_effect, nullptr);
  EXPECT_EQ(page_->Bg(0).persist_kind, 0);

  // Noise plays over the whole screen and outlives the picture.
  const page_test::EffectSeen& noise = effects_.Start(page_->Bg(0).persist_effect);
  page_->Bg(0).persist_kind = 1;
  EXPECT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  EXPECT_FALSE(noise.ended);
  EXPECT_EQ(page_->Bg(0).persist_kind, 1);
  EXPECT_EQ(effects_.Running(), 1u);
}

TEST_F(VovPageBgEffectTest, AnyChangeOfTheSlotMakesTheSameNameLoadAgain) {
  struct Case {
    const char* what;
    std::function<void(CVovPage&)> change;
  };
  const Case cases[] = {
      {"filter", [](CVovPage& page) { page.SetBgFilter(kFilterGrey, false, false, false, 0); }},
      {"mirror x", [](CVovPage& page) { page.SetBgFilter(kFilterNone, true, false, false, 0); }},
      {"mirror y", [](CVovPage& page) { page.SetBgFilter(kFilterNone, false, true, false, 0); }},
      {"letterbox", [](CVovPage& page) { page.SetBgFilter(kFilterNone, false, false, true, 0); }},
      {"softened", [](CVovPage& page) { page.SoftenBg(1, 0); }},
      {"offset", [](CVovPage& page) { page.SetBgOffset(0, 3, 0); }},
      {"area", [](CVovPage& page) { page.SetBgArea(0, 0, 8, 4, 0); }},
      {"zoom", [](CVovPage& page) { page.SetBgRotoZoom(0, "2.0", 0, 0, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
    c.change(*page_);
    ASSERT_FALSE(page_->Bg(0).IsPlain());
    const page_test::EffectSeen& seen = effects_.Start(page_->Bg(0).effect);
    const int decoded = loader_.files_decoded;
    EXPECT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
    EXPECT_EQ(loader_.files_decoded, decoded + 1);
    EXPECT_TRUE(seen.ended);
    EXPECT_TRUE(page_->Bg(0).IsPlain());
  }
}

TEST_F(VovPageBgEffectTest, ClearingEndsTheEffectAndViewChangesRestartAStoppedAnimation) {
  struct Case {
    const char* what;
    bool restarts;
    std::function<void(CVovPage&)> change;
  };
  const Case cases[] = {
      {"clear", false, [](CVovPage& page) { page.ClearBg(0, 0); }},
      {"freeze", true, [](CVovPage& page) { page.FreezeBg(true, 0, false); }},
      {"area", true, [](CVovPage& page) { page.SetBgArea(0, 0, 8, 4, 0); }},
      {"roto-zoom", true, [](CVovPage& page) { page.SetBgRotoZoom(0, nullptr, 0, 0, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
    const page_test::EffectSeen& once = effects_.Start(page_->Bg(0).effect);
    const page_test::EffectSeen& anime = effects_.Start(page_->Bg(0).anime_effect);
    page_->Bg(0).anime_state = 1;
    c.change(*page_);
    EXPECT_TRUE(once.ended);
    EXPECT_EQ(page_->Bg(0).effect, nullptr);
    EXPECT_FALSE(anime.ended);
    EXPECT_EQ(anime.commands, c.restarts ? std::vector<std::int32_t>{4} : std::vector<std::int32_t>{});
    EXPECT_EQ(page_->Bg(0).anime_state, c.restarts ? 0u : 1u);
    page_->FreezeBg(false, 0, false);
    EXPECT_EQ(page_->LoadBgAnime(nullptr, 0, 0, 0), 0);
    EXPECT_TRUE(anime.ended);
  }
  // A new animation ends the slot's effect as well.
  ASSERT_EQ(page_->LoadBg("BG01.ELG", 0), 0);
  const page_test::EffectSeen& once = effects_.Start(page_->Bg(0).effect);
  EXPECT_EQ(page_->LoadBgAnime(nullptr, 0, 0, 0), 0);
  EXPECT_TRUE(once.ended);
  EXPECT_EQ(page_->Bg(0).effect, nullptr);
  EXPECT_EQ(effects_.Running(), 0u);
}

}  // namespace

namespace {

class VovPageAnimeTest : public page_test::VovPageTest {
 protected:
  void SetUp() override {
    VovPageTest::SetUp();
    RegisterSetUpEffects(effects_, filters_);
    RegisterBuiltinEffects(effects_, filters_);
    g_DcpHost = &effects_;
    kvxtools::DadFileSpec spec;
    spec.header = {8, 0, 6, 0, 5, 6, 0, 0, 9, 10, 11, 12};
    spec.entry_count = 1;
    spec.frames = {{1, 0, 0, 2}};
    const std::vector<std::uint8_t> bytes = kvxtools::WriteDad(spec);
    game_.WriteFile("WAVE.DAD", std::string(bytes.begin(), bytes.end()));
    // Frames of no size: the effect refuses the file.
    spec.header = {};
    const std::vector<std::uint8_t> flat = kvxtools::WriteDad(spec);
    game_.WriteFile("FLAT.DAD", std::string(flat.begin(), flat.end()));
  }
  void TearDown() override {
    g_DcpHost = nullptr;
    VovPageTest::TearDown();
  }
  LogCapture log_;
  CDcpPluginManager effects_;
  CTcpPluginManager filters_;
  page_test::SlotEffects slot_effects_;
};

TEST_F(VovPageAnimeTest, LoadingAndControllingTheAnimation) {
  EXPECT_EQ(page_->LoadBgAnime("NONE.DAD", 1, 2, 0), 1);
  EXPECT_EQ(page_->Bg(0).anime_name, "NONE.DAD");
  EXPECT_EQ(page_->LoadBgAnime("FLAT.DAD", 1, 2, 0), 2);
  EXPECT_EQ(page_->Bg(0).anime, nullptr);
  EXPECT_EQ(page_->Bg(0).anime_effect, nullptr);
  EXPECT_EQ(page_->LoadBgAnime("WAVE.DAD", 1, 2, 0), 0);
  ASSERT_NE(page_->Bg(0).anime_effect, nullptr);
  EXPECT_STREQ(page_->Bg(0).anime_effect->GetName(), "bg_anime");
  EXPECT_NE(page_->Bg(0).anime, nullptr);
  EXPECT_EQ(page_->Bg(0).anime_arg1, 1u);
  EXPECT_EQ(page_->Bg(0).anime_arg2, 2u);
  EXPECT_EQ(page_->LoadBgAnime(nullptr, 0, 0, 0), 0);
  EXPECT_EQ(page_->Bg(0).anime, nullptr);
  EXPECT_EQ(page_->Bg(0).anime_effect, nullptr);
  EXPECT_EQ(slot_effects_.Running(), 0u);
  EXPECT_TRUE(page_->Bg(0).anime_name.empty());
  EXPECT_EQ(page_->ControlBgAnime(0, 6, 0, 0), 1);
  EXPECT_EQ(page_->ControlBgAnime(0, 3, 0, 0), 2);
  EXPECT_EQ(page_->Bg(0).anime_state, 0u);
}

}  // namespace
