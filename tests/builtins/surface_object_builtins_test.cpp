// The surface-object built-ins (222 to 252) called by number: creators answer a handle or 0,
// deletion through the script's handle word, the values every surface object has, the fill,
// the frame image and one transition step between two objects; and the rows of the surface and
// image families run on words of 0 without a "not built yet" line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtin_call.h"
#include "effects/patterns/transition_patterns.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "gfx/images/image.h"
#include "gfx/images/locked_image_buffer.h"
#include "pixel/formats/image_limits.h"
#include "pixel/formats/pixel_format_codes.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/fake_drawing_device.h"
#include "support/log_capture.h"
#include "support/surface_text_test.h"
#include "ui/fonts/font.h"
#include "ui/fonts/screen_fonts.h"
#include "ui/text_objects/text_object.h"
#include "ui/widgets/ddraw_sprite.h"

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr uint32_t kAbsent = 65535;

class SurfaceObjectBuiltinsTest : public SurfaceTextTest, public builtin_test::BuiltinCaller {
 protected:
  SurfaceObjectBuiltinsTest() : saved_screen_(g_ScreenManager) { g_ScreenManager = &screen_.Screen(); }
  ~SurfaceObjectBuiltinsTest() override { g_ScreenManager = saved_screen_; }

  CImageInterface* Object(uint32_t handle) { return Handles().Get<CImageInterface>(handle); }
  uint32_t NewImage(int32_t width, int32_t height, uint8_t bpp = 32) {
    return Call(231, {static_cast<uint32_t>(width), static_cast<uint32_t>(height), bpp, 0});
  }
  uint32_t HandleWord(uint32_t handle) {
    const uint32_t word = Block(4);
    Memory().SetWord(word, handle);
    return word;
  }

 private:
  CScreenManager* saved_screen_;
};

TEST_F(SurfaceObjectBuiltinsTest, EveryRowOfTheSurfaceAndImageFamiliesIsBuilt) {
  LogCapture log;
  for (uint32_t id = 222; id <= 390; ++id) {
    if (id > 252 && id < 317) continue;
    SCOPED_TRACE(id);
    Call(id, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  }
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
  EXPECT_TRUE(screen_.Screen().GetSurfaceObjects().empty());
}

TEST_F(SurfaceObjectBuiltinsTest, CreatorsAnswerTheNewHandleOrZeroNeverTheirStatus) {
  const uint32_t image = NewImage(8, 4);
  ASSERT_NE(image, 0u);
  EXPECT_EQ(Object(image)->GetKind(), ESurfaceKind::kImage);
  EXPECT_EQ(NewImage(0, 4), 0u) << "CreateImage refuses a width of 0";
  EXPECT_EQ(NewImage(4, 4, 16), 0u) << "nor 16 bits";
  EXPECT_EQ(Call(232, {Text("NOFILE.ELG"), 0}), 0u);
  EXPECT_EQ(Call(234, {0, 0, 0}), 0u) << "neither file nor data";
  EXPECT_EQ(Call(239, {0, 0, 32, 0}), 0u);
  EXPECT_EQ(screen_.Screen().GetSurfaceObjects().size(), 1u);

  const uint32_t canvas = Call(239, {16, 8, 32, 0});
  ASSERT_NE(canvas, 0u);
  EXPECT_EQ(Object(canvas)->GetKind(), ESurfaceKind::kImageCanvas);
  const uint32_t copy = Call(237, {canvas, 0});
  ASSERT_NE(copy, 0u);
  EXPECT_EQ(Object(copy)->GetWidth(), 16);
  EXPECT_EQ(Call(237, {0, 0}), 0u) << "no source image";
  EXPECT_NE(Call(222, {32, 16}), 0u) << "a display picture";
}

// 4,096 x 4,096 is the bound of a picture's pixels; 673 x 24,929 is one pixel past it.
TEST_F(SurfaceObjectBuiltinsTest, EveryCreatorTakesAPictureUpToTheBoundOfPixelsAndNoMore) {
  const FakeDrawingDevice drawing(screen_.Screen(), 0, kMaxImageSide);
  // The canvases with a layer make it through the factory.
  struct InstalledLayerFactory {
    InstalledLayerFactory() { g_DrawLayerFactory = &layers; }
    ~InstalledLayerFactory() { g_DrawLayerFactory = nullptr; }
    CDrawLayerFactory layers;
  } const installed;
  using Words = std::vector<uint32_t>;
  struct Creator {
    uint32_t id;
    Words (*words)(uint32_t width, uint32_t height);
  };
  const Creator creators[] = {
      {222, [](uint32_t w, uint32_t h) { return Words{w, h}; }},
      {226, [](uint32_t w, uint32_t h) { return Words{w, h, 32, 0}; }},
      {230, [](uint32_t w, uint32_t h) { return Words{kPixelFormatArgb8888, w, h, 32, 0}; }},
      {231, [](uint32_t w, uint32_t h) { return Words{w, h, 32, 0}; }},
      {238, [](uint32_t w, uint32_t h) { return Words{w, h, 32, 2}; }},
      {239, [](uint32_t w, uint32_t h) { return Words{w, h, 32, 1}; }},
  };
  for (const Creator& creator : creators) {
    SCOPED_TRACE(creator.id);
    LogCapture log;
    const uint32_t at_bound = Call(creator.id, creator.words(4096, 4096));
    ASSERT_NE(at_bound, 0u);
    EXPECT_EQ(Object(at_bound)->GetWidth(), 4096);
    EXPECT_TRUE(log.Lines().empty());
    ASSERT_EQ(Call(243, {HandleWord(at_bound)}), 0u);

    EXPECT_EQ(Call(creator.id, creator.words(673, 24929)), 0u);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_NE(log.Last().find("16777217 asked for, at most 16777216"), std::string::npos) << log.Last();
    EXPECT_TRUE(screen_.Screen().GetSurfaceObjects().empty());
  }
}

TEST_F(SurfaceObjectBuiltinsTest, DeletingGoesThroughTheScriptsHandleWord) {
  const uint32_t image = NewImage(4, 4);
  const uint32_t word = HandleWord(image);
  EXPECT_EQ(Call(243, {word}), 0u);
  EXPECT_EQ(WordAt(word), 0u);
  EXPECT_TRUE(screen_.Screen().GetSurfaceObjects().empty());

  const uint32_t stale = HandleWord(image);
  EXPECT_EQ(Call(243, {stale}), 2u) << "the object was deleted before";
  EXPECT_EQ(WordAt(stale), image);
  EXPECT_EQ(Call(243, {HandleWord(0)}), 1u);
  EXPECT_EQ(Call(243, {0}), 1u);

  CImage stranger;
  const uint32_t unlisted = HandleWord(stranger.ScriptHandle(Handles()));
  EXPECT_EQ(Call(243, {unlisted}), 2u) << "an object the screen does not hold";
  EXPECT_EQ(WordAt(unlisted), stranger.ScriptHandle(Handles()));
}

TEST_F(SurfaceObjectBuiltinsTest, TheCommonValuesOfA64By32Image) {
  const uint32_t image = NewImage(64, 32);
  CImageInterface& object = *Object(image);
  object.SetUserWord0(7);
  object.SetUserWord1(static_cast<uint32_t>(-3));
  EXPECT_EQ(Call(244, {image}), 64u);
  EXPECT_EQ(Call(245, {image}), 32u);
  EXPECT_EQ(Call(249, {image}), 7u);
  EXPECT_EQ(Call(250, {image}), static_cast<uint32_t>(-3));
  EXPECT_EQ(Call(247, {image, 0x1FF, 0, 0x10}), object.SetColorKeyRgb(0xFF, 0, 0x10));
  EXPECT_EQ(object.GetColorKey(), 0x00FF0010u);
  EXPECT_EQ(Call(246, {image, 64, 0}), object.SetColorKeyFromPixel(64, 0)) << "outside the image";
  EXPECT_EQ(Call(246, {image, 3, 1}), 0u);
  EXPECT_EQ(Call(248, {image}), 0u);
  EXPECT_EQ(object.GetColorKey(), kNoColorKey);
  for (const uint32_t id : {244u, 245u, 249u, 250u}) EXPECT_EQ(Call(id, {0}), 0u) << id;
  for (const uint32_t id : {246u, 247u, 248u}) EXPECT_EQ(Call(id, {image + 1, 0, 0, 0}), kNone) << id;
}

TEST_F(SurfaceObjectBuiltinsTest, TheLinkAnswersOneForAnObjectAndZeroForAHandleThatNamesNone) {
  LogCapture log;
  const uint32_t image = NewImage(4, 4);
  EXPECT_EQ(Call(240, {image, 1}), 1u);
  EXPECT_EQ(Call(240, {image, 0}), 1u);
  EXPECT_EQ(Call(240, {0, 1}), 0u);
  EXPECT_EQ(Call(240, {image + 1, 1}), 0u) << "a stale handle";
  CLockedImageBuffer buffer;
  EXPECT_EQ(Call(240, {buffer.ScriptHandle(Handles()), 1}), 1u) << "every surface object has the two words";
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"not built yet: built-in function 240 NativeSetObjectLink"})
      << "the link is not made, once said";
}

TEST_F(SurfaceObjectBuiltinsTest, FillingAnObjectByItsKind) {
  const uint32_t image = NewImage(4, 4);
  const uint32_t canvas = Call(239, {4, 4, 32, 0});
  EXPECT_EQ(Call(251, {image, 0x110, 0x220, 0x330}), 1u);
  EXPECT_EQ(GetObjectImage(Object(image))->GetPixel(3, 3), 0x00102030u);
  EXPECT_EQ(Call(251, {canvas, 1, 2, 3}), 1u);
  EXPECT_EQ(GetObjectImage(Object(canvas))->GetPixel(0, 0), 0x00010203u);
  CLockedImageBuffer buffer;
  EXPECT_EQ(Call(251, {buffer.ScriptHandle(Handles()), 1, 2, 3}), kNone);
  EXPECT_EQ(Call(251, {0, 1, 2, 3}), kNone);
}

TEST_F(SurfaceObjectBuiltinsTest, TheFrameImageIsACanvasAndDeletingItLeavesNone) {
  EXPECT_EQ(Call(241, {}), 0u);
  const uint32_t canvas = Call(239, {40, 30, 32, 0});
  EXPECT_EQ(Call(242, {NewImage(4, 4)}), 1u) << "a plain image cannot be the frame image";
  EXPECT_EQ(Call(242, {canvas}), 0u);
  EXPECT_EQ(Call(241, {}), canvas);
  EXPECT_EQ(screen_.Screen().GetScreenRect().right, 40);
  EXPECT_EQ(Call(243, {HandleWord(canvas)}), 0u);
  EXPECT_EQ(screen_.Screen().GetFrameImage(), nullptr) << "no frame image dangles";
  EXPECT_EQ(Call(241, {}), 0u);
}

TEST_F(SurfaceObjectBuiltinsTest, ATransitionStepBetweenTwoImagesOrFromADisplayPicture) {
  const uint32_t target = NewImage(16, 16);
  const uint32_t source = Call(239, {16, 16, 32, 0});
  GetObjectImage(Object(source))->FillRect(9, 9, 9, nullptr);
  EXPECT_EQ(Call(252, {53, target, source, 256, 0, 0, kTransitionCopy}), 0u);
  EXPECT_EQ(GetObjectImage(Object(target))->GetPixel(15, 15), 0x00090909u);
  EXPECT_EQ(Call(252, {87, target, source, 128, 0, 0, 0}), kNone) << "no pattern 87";

  CLockedImageBuffer buffer;
  EXPECT_EQ(Call(252, {0, target, buffer.ScriptHandle(Handles()), 128, 0, 0, 0}), kNone) << "a source of kind 5";
  EXPECT_EQ(Call(252, {0, 0, source, 128, 0, 0, 0}), kNone);
  EXPECT_EQ(Call(252, {0, target, 0, 128, 0, 0, 0}), kNone);
  // A display picture draws into the screen's back surface, whatever the mode.
  const uint32_t picture = Call(222, {8, 8});
  ASSERT_NE(picture, 0u);
  EXPECT_EQ(Call(252, {40, target, picture, 128, 0, 0, 1}),
            static_cast<uint32_t>(DrawTransitionPattern(40, nullptr, Object(picture), 128, 0, 0,
                                                        kTransitionDirectDraw, &screen_.Screen())));
}

// A text surface keeps its font; once the scripts delete that font it draws with the default
// font, at the next restore as at any other rendering.
TEST_F(SurfaceObjectBuiltinsTest, TextSurfacesWhoseFontIsDeletedGoOnWithTheDefaultFont) {
  FakeDrawingDevice device(screen_.Screen(), 0, 1024);
  CScreenFonts& fonts = CScreenFonts::Of(screen_.Screen());
  CFont* small = nullptr;
  CFont* large = nullptr;
  ASSERT_EQ(fonts.CreateFont(&small, kGothic, 16, FakeFontFace::Factory(log_)), 0u);
  ASSERT_EQ(fonts.CreateFont(&large, kGothic, 16, FakeFontFace::Factory(log_)), 0u);
  // The default font's shadow makes its text wider.
  large->decoration = 1;
  large->shadow_x = 6;
  large->shadow_y = 6;
  g_DefaultFont = large;

  const uint32_t font = small->ScriptHandle(Handles());
  const uint32_t object = Call(229, {kPixelFormatArgb8888, Text("AB"), font});
  const uint32_t sprite = Call(225, {Text("AB"), font});
  ASSERT_NE(object, 0u);
  ASSERT_NE(sprite, 0u);
  EXPECT_EQ(Call(229, {kPixelFormatArgb8888, Text("AB"), font + 1}), 0u) << "a handle that names no font";
  auto* text_object = dynamic_cast<CTextObject*>(Object(object));
  auto* text_sprite = dynamic_cast<CDDrawSprite*>(Object(sprite));
  const int32_t small_width = text_object->GetImageWidth();
  const int32_t small_sprite_width = text_sprite->GetWidth();

  ASSERT_EQ(fonts.DeleteFontRef(small), 0u);
  EXPECT_EQ(text_sprite->GetFont(), nullptr);
  EXPECT_EQ(text_object->Restore(false), 0u);
  EXPECT_EQ(text_sprite->Restore(false), 0u);

  const uint32_t by_default = Call(229, {kPixelFormatArgb8888, Text("AB"), 0});
  const uint32_t sprite_by_default = Call(225, {Text("AB"), 0});
  EXPECT_GT(text_object->GetImageWidth(), small_width);
  EXPECT_EQ(text_object->GetImageWidth(), dynamic_cast<CTextObject*>(Object(by_default))->GetImageWidth());
  EXPECT_GT(text_sprite->GetWidth(), small_sprite_width);
  EXPECT_EQ(text_sprite->GetWidth(), Object(sprite_by_default)->GetWidth());
}

}  // namespace
