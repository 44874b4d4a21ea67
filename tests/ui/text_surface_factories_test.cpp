// The factories of the surface objects that show text: each lists its object with the object
// id and draws with the default font when given none, and a failing create step returns its
// own status and keeps nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gfx/image.h"
#include "pixel/pixel_format_codes.h"
#include "support/fake_drawing_device.h"
#include "support/surface_text_test.h"
#include "ui/ddraw_sprite.h"
#include "ui/gdi_font.h"
#include "ui/text_object.h"
#include "ui/text_surface_factories.h"

namespace {

class TextSurfaceFactoriesTest : public SurfaceTextTest {
 protected:
  struct Factory {
    const char* name;
    ESurfaceKind kind;
    std::function<uint32_t(CImageInterface*& made)> make;
  };
  // Each factory making the text "AB" with no font given.
  std::vector<Factory> Factories() {
    CScreenManager& screen = screen_.Screen();
    return {
        {"text object", ESurfaceKind::kTextObject,
         [&screen](CImageInterface*& made) {
           CTextObject* object = reinterpret_cast<CTextObject*>(&made);
           const uint32_t status = CreateTextObject(screen, &object, kPixelFormatArgb8888, "AB", nullptr);
           made = object;
           return status;
         }},
        {"text sprite", ESurfaceKind::kDDrawSprite,
         [&screen](CImageInterface*& made) {
           CDDrawSprite* sprite = reinterpret_cast<CDDrawSprite*>(&made);
           const uint32_t status = CreateDDrawSprite(screen, &sprite, "AB", nullptr);
           made = sprite;
           return status;
         }},
        {"text image", ESurfaceKind::kImage,
         [&screen](CImageInterface*& made) {
           CImage* image = reinterpret_cast<CImage*>(&made);
           const uint32_t status = CreateTextImage(screen, &image, "AB", nullptr, 0);
           made = image;
           return status;
         }},
    };
  }

  FakeDrawingDevice device_{screen_.Screen(), kTextureCapsPow2, 1024};
};

TEST_F(TextSurfaceFactoriesTest, EachListsItsObjectWithTheIdDrawnWithTheDefaultFont) {
  const std::unique_ptr<CGdiFont> font = MakeFont<CGdiFont>(0);
  g_DefaultFont = font.get();
  TextSize size;
  ASSERT_GT(font->MeasureText("AB", &size, nullptr, nullptr, 1, nullptr), 0);
  screen_.Screen().SetObjectId(5);
  for (const Factory& factory : Factories()) {
    SCOPED_TRACE(factory.name);
    CImageInterface* made = nullptr;
    ASSERT_EQ(factory.make(made), 0u);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetKind(), factory.kind);
    EXPECT_EQ(made->GetId(), 5u);
    EXPECT_EQ(screen_.Screen().GetSurfaceObjects().back().get(), made);
    EXPECT_GE(made->GetWidth(), size.cx) << "the text measured with the default font";
  }
  EXPECT_EQ(screen_.Screen().GetSurfaceObjects().size(), 3u);
}

TEST_F(TextSurfaceFactoriesTest, AFailingCreateStepReturnsItsOwnStatusAndKeepsNothing) {
  g_DefaultFont = nullptr;
  CImage* kept = nullptr;
  ASSERT_EQ(screen_.Screen().CreateImage(&kept, 4, 4, 32, 0), 0u);
  // Without a font each create step fails with its own status: the text object's 1 + 2, the
  // text sprite's 3 + 2, the text image's 2.
  const uint32_t expected[] = {3, 5, 2};
  size_t index = 0;
  for (const Factory& factory : Factories()) {
    SCOPED_TRACE(factory.name);
    CImageInterface* made = nullptr;
    EXPECT_EQ(factory.make(made), expected[index++]);
    EXPECT_EQ(made, nullptr);
    ASSERT_EQ(screen_.Screen().GetSurfaceObjects().size(), 1u);
    EXPECT_EQ(screen_.Screen().GetSurfaceObjects().front().get(), kept);
  }
}

}  // namespace
