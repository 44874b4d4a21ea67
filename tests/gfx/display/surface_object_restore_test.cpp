// The screen manager's surface objects after a loss of the display surfaces and after a new
// display set-up: rebuilt in list order, the first failure ending the pass.
#include <gtest/gtest.h>

#include <memory>

#include "gfx/display/ddraw_picture.h"
#include "gfx/display/movie_surface.h"
#include "gfx/display/screen_manager.h"
#include "support/sprite_device_screen.h"

namespace {

// A surface object whose restore fails with 7 and counts its calls.
class FailingObject : public CImageInterface {
 public:
  explicit FailingObject(int& restores) : restores_(restores) {}
  ESurfaceKind GetKind() const override { return ESurfaceKind::kImage; }
  uint8_t* GetPixels() const override { return nullptr; }
  uint8_t* GetRowPointer(int32_t) const override { return nullptr; }
  uint32_t SetColorKeyRgb(uint32_t, uint32_t, uint32_t) override { return 1; }
  uint32_t SetColorKeyFromPixel(int32_t, int32_t) override { return 1; }
  uint32_t ClearColorKey() override { return 1; }
  uint32_t Restore(bool) override {
    ++restores_;
    return 7;
  }
  bool SetClipRect(const plat::Rect*) override { return false; }
  bool ClipRect(plat::Rect*) const override { return false; }

 private:
  int& restores_;
};

constexpr uint32_t kMark = 0x123456;

void Mark(CSurfaceBackedImage& object) {
  const plat::PixelView view = object.GetSurface()->View();
  plat::WriteRawPixel(view.At(0, 0), plat::BytesPerPixel(view.format), kMark);
}

CDDrawPicture* AddFilledPicture(CScreenManager& screen, uint8_t red) {
  auto picture = std::make_unique<CDDrawPicture>();
  EXPECT_EQ(picture->Create(4, 4, false, false, nullptr), 0u);
  EXPECT_EQ(picture->FillColor(red, 0, 0), 0u);
  CDDrawPicture* kept = picture.get();
  screen.AddSurfaceObject(std::move(picture));
  return kept;
}

TEST(SurfaceObjectRestoreTest, TheScreensRestoreRebuildsTheLostObjects) {
  SpriteDeviceScreen display;
  CScreenManager& screen = display.Screen();
  CDDrawPicture* lost = AddFilledPicture(screen, 0x80);
  CDDrawPicture* kept = AddFilledPicture(screen, 0x40);
  auto movie = std::make_unique<CMovieSurface>();
  ASSERT_EQ(movie->Create(8, 8), 0u);
  CMovieSurface* movie_kept = movie.get();
  screen.AddSurfaceObject(std::move(movie));
  ASSERT_EQ(screen.GetSurfaceObjects().size(), 3u);

  // A mark in the corner of each surface tells a surface made anew from one left alone.
  Mark(*kept);
  Mark(*movie_kept);
  screen.GetBack()->SimulateLoss();
  lost->GetSurface()->SimulateLoss();
  EXPECT_EQ(screen.Restore(), 0u);
  EXPECT_EQ(lost->GetPixel(3, 3), 0x800000u) << "filled again";
  EXPECT_EQ(kept->GetPixel(0, 0), kMark) << "only lost surfaces are made anew";
  EXPECT_EQ(movie_kept->GetPixelMemory()[0], kMark & 0xFF);

  // A new display set-up without a frame image makes every object's surface on the new display.
  ASSERT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
  EXPECT_EQ(kept->GetPixel(0, 0), 0x400000u);
  EXPECT_EQ(movie_kept->GetPixelMemory()[0], 0);
}

TEST(SurfaceObjectRestoreTest, TheFirstFailureEndsThePass) {
  SpriteDeviceScreen display;
  CScreenManager& screen = display.Screen();
  int restores = 0;
  screen.AddSurfaceObject(std::make_unique<FailingObject>(restores));
  CDDrawPicture* after = AddFilledPicture(screen, 0x20);
  Mark(*after);
  EXPECT_EQ(screen.RestoreSurfaceObjects(false), 7u);
  EXPECT_EQ(restores, 1);
  EXPECT_EQ(after->GetPixel(0, 0), kMark) << "the objects after the failing one are left alone";

  // The screen's own restore goes on to its redraw whatever the objects say.
  screen.GetBack()->SimulateLoss();
  EXPECT_EQ(screen.Restore(), 0u);
  EXPECT_EQ(restores, 2);
}

}  // namespace
