// A picture loaded into a sprite and shown on a layer's list, keyed or blended by the key mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "elg_encoder.h"
#include "gfx/display/image_canvas.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"
#include "random_elg_picture.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/sprites/sprite.h"
#include "scene/sprites/sprite_on_layer.h"
#include "support/image_host_fixture.h"

namespace {

class SpriteOnLayerTest : public test_support::ImageHostTest {
 protected:
  void SetUp() override {
    ImageHostTest::SetUp();
    const kvxtools::ElgPicture picture = kvxtools::RandomElgPicture(24, 6, 4, 3);
    const std::vector<std::uint8_t> file = kvxtools::EncodeElg(picture, kvxtools::ElgEncodeOptions{});
    game_.WriteFile("pic.elg", std::string(file.begin(), file.end()));
    BuildPixelTables();
    SetPixelLib(&library_);
    g_DrawLayerFactory = &factory_;
    ASSERT_EQ(canvas_.Create(16, 16, 32, CImagePart::kLayerAndDrawList), 0u);
    placement_.part = &canvas_;
  }
  void TearDown() override {
    g_DrawLayerFactory = nullptr;
    SetPixelLib(nullptr);
    ImageHostTest::TearDown();
  }
  CDrawList& OwnList() { return dynamic_cast<CDrawLayer*>(canvas_.GetLayer())->GetOwnList(); }

  CPixelLibrary library_;
  CDrawLayerFactory factory_;
  CImageCanvasEx canvas_;
  SpritePlacement placement_;
};

TEST_F(SpriteOnLayerTest, TheKeyModeKeysTheImageLeavesItOrBlendsTheSprite) {
  struct Case {
    int32_t key_mode;
    int32_t key_value;
    bool keyed;
    uint8_t blend_mode;
    uint8_t opacity;
  };
  for (const Case c : {Case{-1, 77, false, 0, 255}, Case{-5, 128, false, 2, 128}, Case{2, 1, true, 0, 255}}) {
    SCOPED_TRACE(c.key_mode);
    CImage image;
    CSprite sprite;
    placement_.priority = 3;
    ASSERT_EQ(LoadSpriteOnLayer(&sprite, &image, "pic.elg", c.key_mode, c.key_value, placement_), 0u);
    EXPECT_EQ(image.GetColorKey() != kNoColorKey, c.keyed);
    EXPECT_EQ(sprite.GetBlendMode(), c.blend_mode);
    EXPECT_EQ(sprite.GetOpacity(), c.opacity);
    EXPECT_EQ(sprite.GetOwnerList(), &OwnList());
  }
}

TEST_F(SpriteOnLayerTest, ANegativePriorityShowsInNoListButStillSetsEnabled) {
  CImage image;
  CSprite sprite;
  placement_.priority = -1;
  placement_.enabled = false;
  ASSERT_EQ(LoadSpriteOnLayer(&sprite, &image, "pic.elg", -1, 0, placement_), 0u);
  EXPECT_EQ(sprite.GetOwnerList(), nullptr);
  EXPECT_FALSE(sprite.IsEnabled());
  EXPECT_EQ(LoadSpriteOnLayer(&sprite, nullptr, "pic.elg", -1, 0, placement_), 1u);
  EXPECT_EQ(LoadSpriteOnLayer(&sprite, &image, "missing.elg", -1, 0, placement_), 2u);
}

}  // namespace
