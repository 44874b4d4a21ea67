// The resource lists and cell sheets: releasing by handle, resources that others still hold,
// loads that fail, and how a sheet cuts, places and draws its cells.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/files/file.h"
#include "elg_encoder.h"
#include "gfx/images/color_key.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/resource_list.h"
#include "scene/sprites/sprite.h"
#include "support/anim_test_pictures.h"
#include "support/data_files_fixture.h"
#include "support/scoped_pixel_library.h"

namespace {

TEST(ResourceListTest, AReleasedHandleLeavesTheListOnceAndLivesOnWithItsOtherHolders) {
  CFileHandleList files;
  CFile* file = nullptr;
  ASSERT_EQ(files.Create(&file), 0u);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(files.Release(nullptr), CResourceList::kNullHandle);
  file->AddRef();
  file->AddRef();
  EXPECT_EQ(files.Release(file), 0u);
  EXPECT_FALSE(files.Contains(file));
  EXPECT_EQ(file->GetRefCount(), 1u) << "still there for its two other holders";
  EXPECT_EQ(files.Release(file), CResourceList::kUnknownHandle);
  file->Release();
  file->Release();
}

class CellSheetTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    ASSERT_EQ(RegisterElgDecoder(host_), 0u);
    saved_host_ = g_GllHost;
    g_GllHost = &host_;
    ASSERT_EQ(target_.Create(100, 50, 32, 0), 0u);
    target_.FillRectArgb(0xFF000000 | kBackground, nullptr);
  }
  void TearDown() override {
    g_GllHost = saved_host_;
    DataFilesTest::TearDown();
  }

  CellSheetSetup Setup(int32_t cells) {
    CellSheetSetup setup;
    setup.cell_count = cells;
    setup.frame_time = 100;
    setup.target = &target_;
    setup.x = 10;
    setup.y = 5;
    return setup;
  }

  static constexpr uint32_t kBackground = 0x0080FF;
  CImageLoaderManager host_;
  CImageLoaderManager* saved_host_ = nullptr;
  CImage target_;
};

TEST_F(CellSheetTest, ASheetOf600PixelsIn7CellsHasCells85PixelsWide) {
  CImage strip;
  ASSERT_EQ(strip.Create(600, 10, 32, 0), 0u);
  CCellSheet sheet;
  ASSERT_EQ(sheet.Attach(&strip, Setup(7)), 0u);
  EXPECT_EQ(sheet.GetCellWidth(), 85);
  EXPECT_EQ(sheet.CellRect(6).left, 510);
  EXPECT_EQ(sheet.CellRect(6).right, 595) << "columns 595 to 599 belong to no cell";
  EXPECT_EQ(sheet.CellRect(7).Width(), 0);
  EXPECT_EQ(sheet.CellRect(-1).Width(), 0);
}

TEST_F(CellSheetTest, AKeyedSheetDrawsByKeyWhateverBlendFlagWasGiven) {
  CImage strip;
  ASSERT_EQ(strip.Create(20, 10, 32, 0), 0u);
  for (const bool blend : {false, true}) {
    CellSheetSetup setup = Setup(2);
    setup.blend = blend;
    CCellSheet sheet;
    ASSERT_EQ(sheet.Attach(&strip, setup), 0u);
    EXPECT_EQ(sheet.GetDrawMode(), blend ? CCellSheet::kDrawBlend : CCellSheet::kDrawCopy);
    strip.SetColorKeyRgb(1, 2, 3);
    ASSERT_EQ(sheet.Attach(&strip, setup), 0u);
    EXPECT_EQ(sheet.GetDrawMode(), CCellSheet::kDrawKeyed);
    strip.ClearColorKey();
  }
}

TEST_F(CellSheetTest, ALoadedSheetTakesItsPlaceFromThePictureAndKeepsOneSpriteOnce) {
  ScopedPixelLibrary library;
  kvxtools::ElgPicture picture;
  picture.bit_depth = 32;
  picture.width = 40;
  picture.height = 10;
  picture.pixels.assign(40 * 10 * 4, 0x7F);
  picture.form = kvxtools::ElgHeaderForm::kOrigin;
  picture.user_value0 = 12;
  picture.user_value1 = 34;
  const std::vector<uint8_t> elg = kvxtools::EncodeElg(picture);
  game_.WriteFile("SHEET.ELG", std::string(elg.begin(), elg.end()));

  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&target_, nullptr, 0, 0), 0u);
  CellSheetSetup setup = Setup(4);
  setup.x = CellSheetSetup::kPlaceFromPicture;
  setup.sprite = &sprite;
  CCellSheetList sheets;
  CCellSheet* sheet = nullptr;
  ASSERT_EQ(sheets.Load(&sheet, game_.EnginePath("SHEET.ELG").c_str(), setup, false, 0x7F7F7F), 0u);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->GetX(), 12);
  EXPECT_EQ(sheet->GetY(), 34);
  EXPECT_EQ(sheet->GetTarget(), &target_) << "the sprite's image is the target";
  EXPECT_EQ(sheet->GetDrawMode(), CCellSheet::kDrawKeyed) << "the colour key given at load";
  sheet->AddSprite(&sprite);
  EXPECT_EQ(sheet->GetSprites().size(), 1u);
  sheet->RemoveSprite(&sprite);
  EXPECT_TRUE(sheet->GetSprites().empty());

  CCellSheet* missing = sheet;
  EXPECT_EQ(sheets.Load(&missing, game_.EnginePath("NONE.ELG").c_str(), setup, false, CCellSheet::kNoColourKey),
            CCellSheet::kLoadFailed);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(sheets.GetCount(), 1u) << "a failed load leaves nothing in the list";
}

TEST_F(CellSheetTest, ACellIsDrawnOverTheSavedBackground) {
  const std::vector<uint8_t> elg = CellStripElg(3, 8, 6);
  CImage strip;
  ASSERT_EQ(strip.LoadFile32(nullptr, elg.data(), static_cast<uint32_t>(elg.size()), 0), 0u);
  CellSheetSetup setup = Setup(3);
  setup.background_mode = CellSheetSetup::kKeepBackground;
  CCellSheet sheet;
  ASSERT_EQ(sheet.Attach(&strip, setup), 0u);
  ASSERT_TRUE(sheet.HasBackground());
  ASSERT_EQ(sheet.SaveBackground(nullptr), 0u);
  const plat::Rect drawn = sheet.DrawCell(2, target_);
  EXPECT_EQ(std::vector<int32_t>({drawn.left, drawn.top, drawn.right, drawn.bottom}), std::vector<int32_t>({10, 5, 18, 11}));
  EXPECT_EQ(target_.GetPixel(12, 7) & 0xFFFFFF, CellColour(2));
  EXPECT_EQ(target_.GetPixel(18, 7) & 0xFFFFFF, kBackground);
  sheet.RestoreBackground(target_);
  EXPECT_EQ(target_.GetPixel(12, 7) & 0xFFFFFF, kBackground);
}

}  // namespace
