// The screen layout files: the reader's checks of every name, count and record against the
// file, the sprites one reader shows on a draw layer, the widgets and radio groups the other
// adds to a window, and that a load failing midway leaves nothing of itself behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dgm_writer.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/screen_drawables.h"
#include "scene/sprites/sprite.h"
#include "support/scoped_pixel_library.h"
#include "support/sprite_device_screen.h"
#include "ui/gui/gui_test_support.h"
#include "ui/layouts/dgm_buffer_set.h"
#include "ui/layouts/dgm_image_file.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/picture_files_test.h"

namespace {

using kvxtools::DgmFile;
using kvxtools::DgmPartRecord;

// The layouts sit in a folder of their own; their picture names are relative to it.
constexpr char kLayout[] = "LAYOUT\\screen.gmp";

std::vector<uint8_t> Bytes(const DgmFile& file) { return kvxtools::EncodeDgm(file); }

TEST(DgmLayoutParse, NamesCountsAndRecordsMustFitTheFile) {
  const DgmFile two_parts{"back.elg",
                          {{"pic.elg", 0, -3, 4, 200, 1}, {"button.elg", 1, 7, 8, 255, 0, 30, 20, 4}}};
  const std::vector<uint8_t> whole = Bytes(two_parts);
  DgmFile oversized = two_parts;
  oversized.stated_count = 3;
  DgmFile at_the_limit;
  at_the_limit.stated_count = 0xFFFF;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    uint32_t status;
  };
  const std::vector<Case> cases = {
      {"whole", whole, 0},
      {"extra bytes after the parts", [&] { auto b = whole; b.push_back(9); return b; }(), 0},
      {"no magic", {'D', 'G', 'X', 0, 0, 0, 0}, kDgmBadMagic},
      {"short magic", {'D', 'G'}, kDgmBadMagic},
      {"background name cut", {whole.begin(), whole.begin() + 8}, kDgmTruncated},
      {"no count", {whole.begin(), whole.begin() + 13}, kDgmTruncated},
      {"last record cut", {whole.begin(), whole.end() - 1}, kDgmTruncated},
      {"count above the parts", Bytes(oversized), kDgmTruncated},
      {"largest count, no parts", Bytes(at_the_limit), kDgmTruncated},
  };
  for (const Case& c : cases) {
    DgmLayout layout;
    layout.background = "untouched";
    EXPECT_EQ(ParseDgmLayout(c.bytes, DgmRecords::kShortPictures, layout), c.status) << c.what;
    if (c.status != 0) {
      EXPECT_EQ(layout.background, "untouched") << c.what;
    }
  }

  DgmLayout layout;
  ASSERT_EQ(ParseDgmLayout(whole, DgmRecords::kShortPictures, layout), 0u);
  ASSERT_EQ(layout.parts.size(), 2u);
  EXPECT_EQ(layout.parts[0].x, -3);
  EXPECT_EQ(layout.parts[0].parameter, 200);
  EXPECT_EQ(layout.parts[1].picture, "button.elg");
  EXPECT_EQ(layout.parts[1].size.height, 20);
  EXPECT_EQ(layout.parts[1].size.state, 4);
}

class DgmLayoutTest : public gui_test::PictureFilesTest {
 protected:
  void SetUp() override {
    PictureFilesTest::SetUp();
    BuildPixelTables();
    WriteFrames("LAYOUT/back.elg", 64, 48, {0xFF102030});
    WriteFrames("LAYOUT/pic.elg", 12, 9, {0xFF405060});
    WriteFrames("LAYOUT/button.elg", 10, 6, {0xFF111111, 0xFF222222, 0xFF333333, 0xFF444444});
    ASSERT_EQ(layer_.SetTarget(target_.get(), false), 0u);
    widgets_.SetLayer(&layer_);
  }
  void WriteLayout(const DgmFile& file) {
    const std::vector<uint8_t> bytes = kvxtools::EncodeDgm(file);
    game_.WriteFile("LAYOUT/screen.gmp", std::string(bytes.begin(), bytes.end()));
  }
  size_t SurfaceObjects() { return screen_.Screen().GetSurfaceObjects().size(); }
  size_t Drawables() { return CScreenDrawables::Of(screen_.Screen()).GetDrawables().size(); }

  ScopedPixelLibrary pixel_library_;
  SpriteDeviceScreen screen_;
  std::unique_ptr<CImage> target_ = [] {
    auto image = std::make_unique<CImage>();
    image->Create(64, 48, 32, 0);
    return image;
  }();
  CDrawLayer layer_;
  CWidgetManager widgets_;
  gui_test::TestWindow window_;
};

TEST_F(DgmLayoutTest, AnEmptyLayoutLoadsNothing) {
  WriteLayout({});
  CDgmBufferSet sprites;
  EXPECT_EQ(sprites.Load(&screen_.Screen(), &layer_, kLayout, 5, false, false), 0u);
  EXPECT_EQ(sprites.GetPartCount(), 0u);
  EXPECT_EQ(sprites.GetBackground(), nullptr);
  CDgmImageFile buttons;
  EXPECT_EQ(buttons.Load(&widgets_, &window_, kLayout, 100, 5, false, nullptr), 0u);
  EXPECT_EQ(buttons.GetPartCount(), 0u);
  EXPECT_FALSE(layer_.HasBackgroundImage());
  EXPECT_EQ(SurfaceObjects() + Drawables() + widgets_.GetCount(), 0u);
}

TEST_F(DgmLayoutTest, SpritesTakeThePictureSizeOrTheRecordsAndJoinTheChosenList) {
  WriteLayout({"back.elg", {{"pic.elg", 0, 5, -2, 128, 1}, {"button.elg", 1, 20, 30, 255, 0, 10, 4, 7}}});
  CDgmBufferSet sprites;
  ASSERT_EQ(sprites.Load(&screen_.Screen(), &layer_, kLayout, 5, false, false), 0u);
  EXPECT_TRUE(layer_.HasBackgroundImage());
  EXPECT_EQ(sprites.GetBackground()->GetWidth(), 64);
  ASSERT_EQ(sprites.GetPartCount(), 2u);
  struct Expected {
    int32_t x, y, image_width, width, height;
    uint8_t state, opacity;
    bool enabled;
  };
  const Expected expected[] = {{5, -2, 12, 12, 9, 1, 128, true}, {20, 30, 40, 10, 4, 7, 255, false}};
  for (size_t i = 0; i < 2; ++i) {
    const Expected& e = expected[i];
    const CSprite* sprite = sprites.GetPartSprite(i);
    EXPECT_EQ(sprites.GetPartImage(i)->GetWidth(), e.image_width) << i;
    EXPECT_EQ(sprites.GetPartSize(i).width, e.width) << i;
    EXPECT_EQ(sprites.GetPartSize(i).height, e.height) << i;
    EXPECT_EQ(sprites.GetPartSize(i).state, e.state) << i;
    EXPECT_EQ(sprite->GetX(), e.x) << i;
    EXPECT_EQ(sprite->GetY(), e.y) << i;
    EXPECT_EQ(sprite->GetWidth(), e.width) << i;
    EXPECT_EQ(sprite->GetOpacity(), e.opacity) << i;
    EXPECT_EQ(sprite->IsEnabled(), e.enabled) << i;
    EXPECT_EQ(sprite->GetOwnerList(), &layer_.GetOwnList()) << i;
  }

  // Asked for the attached list of a layer without one, the sprites join no list.
  ASSERT_EQ(sprites.Load(&screen_.Screen(), &layer_, kLayout, 5, true, false), 0u);
  EXPECT_EQ(sprites.GetPartSprite(0)->GetOwnerList(), nullptr);
}

TEST_F(DgmLayoutTest, RadioRunsFormGroupsAndIdsCountUp) {
  WriteLayout({"back.elg",
               {{"button.elg", 6, 0, 0, 200, 1, 0, 0, 6},
                {"button.elg", 6, 10, 0, 255, 0, 0, 0, 0},
                {"button.elg", 6, 20, 0, 255, 1, 0, 0, 0},
                {"button.elg", 8, 30, 0, 255, 1, 0, 0, 0},
                {"button.elg", 3, 40, 0, 90, 1, 0, 0, 3},
                {"button.elg", 8, 50, 0, 255, 1, 0, 0, 0}},
               -1,
               true});
  CDgmImageFile buttons;
  ASSERT_EQ(buttons.Load(&widgets_, &window_, kLayout, 100, 5, false, &screen_.Screen()), 0u);
  ASSERT_EQ(buttons.GetPartCount(), 6u);
  EXPECT_EQ(buttons.GetBackground()->GetWidth(), 64);
  EXPECT_TRUE(layer_.HasBackgroundImage());
  auto check = [&](size_t i) { return dynamic_cast<CCheckButton*>(buttons.GetPartWidget(i)); };
  const CCheckButton* first = check(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(check(1)->GetLeader(), first);
  EXPECT_EQ(check(2)->GetLeader(), first);
  EXPECT_EQ(check(3)->GetLeader(), nullptr);
  EXPECT_EQ(buttons.GetPartWidget(4)->GetType(), 0);
  EXPECT_EQ(check(5)->GetLeader(), nullptr);
  EXPECT_EQ(first->GetMembers().size(), 2u);
  EXPECT_TRUE(check(3)->GetMembers().empty());

  const std::vector<CGuiElement*> children(window_.GetChildren().begin(), window_.GetChildren().end());
  ASSERT_EQ(children.size(), 6u);
  const bool shown[] = {true, false, true, true, true, true};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(children[i], buttons.GetPartWidget(i)) << i;
    EXPECT_EQ(children[i]->GetId(), static_cast<int32_t>(100 + i)) << i;
    EXPECT_EQ(children[i]->IsActive(), shown[i]) << i;
  }
  EXPECT_EQ(children[0]->GetOpacity(), 200);
  EXPECT_EQ(children[4]->GetOpacity(), 90);
}

TEST_F(DgmLayoutTest, EachWidgetTypeFailsWithItsOwnStatus) {
  const std::pair<uint8_t, uint32_t> cases[] = {{1, 6}, {2, 6}, {3, 7}, {4, 8},  {5, 9},  {6, 10},
                                                {7, 11}, {8, 10}, {9, 11}, {0, 12}, {10, 12}};
  for (const auto& [type, status] : cases) {
    WriteLayout({"", {{"button.elg", 4, 0, 0}, {"missing.elg", type, 0, 0}}, -1, true});
    CDgmImageFile buttons;
    EXPECT_EQ(buttons.Load(&widgets_, &window_, kLayout, 1, 5, false, nullptr), status) << int{type};
    EXPECT_EQ(widgets_.GetCount(), 0u) << int{type};
  }
}

TEST_F(DgmLayoutTest, AFailureMidwayLeavesNothingBehind) {
  WriteLayout({"back.elg", {{"pic.elg", 0, 0, 0}, {"pic.elg", 0, 10, 0}, {"missing.elg", 0, 0, 0}}});
  CDgmBufferSet sprites;
  EXPECT_EQ(sprites.Load(&screen_.Screen(), &layer_, kLayout, 5, false, false), CDgmBufferSet::kPartFailed);
  EXPECT_EQ(sprites.GetPartCount(), 0u);
  EXPECT_FALSE(layer_.HasBackgroundImage());
  EXPECT_EQ(SurfaceObjects(), 0u);
  EXPECT_EQ(Drawables(), 0u);
  EXPECT_TRUE(layer_.GetOwnList().IsEmpty());

  WriteLayout({"back.elg",
               {{"button.elg", 6, 0, 0}, {"button.elg", 6, 10, 0}, {"pic.elg", 0, 0, 0}},
               -1,
               true});
  CDgmImageFile buttons;
  EXPECT_EQ(buttons.Load(&widgets_, &window_, kLayout, 1, 5, false, &screen_.Screen()), CDgmImageFile::kRefusedType);
  EXPECT_EQ(buttons.GetPartCount(), 0u);
  EXPECT_FALSE(layer_.HasBackgroundImage());
  EXPECT_EQ(SurfaceObjects(), 0u);
  EXPECT_EQ(widgets_.GetCount(), 0u);
  EXPECT_TRUE(window_.GetChildren().empty());

  // A named background cannot load without the screen.
  EXPECT_EQ(buttons.Load(&widgets_, &window_, kLayout, 1, 5, false, nullptr), CDgmImageFile::kNoScreen);
}

TEST_F(DgmLayoutTest, FilesThatDoNotFitBuildNothing) {
  DgmFile oversized{"back.elg", {{"pic.elg", 0, 0, 0}}};
  oversized.stated_count = 2;
  WriteLayout(oversized);
  CDgmBufferSet sprites;
  EXPECT_EQ(sprites.Load(&screen_.Screen(), &layer_, kLayout, 5, false, false), CDgmBufferSet::kTruncated);
  CDgmImageFile buttons;
  EXPECT_EQ(buttons.Load(&widgets_, &window_, kLayout, 1, 5, false, &screen_.Screen()), CDgmImageFile::kTruncated);
  EXPECT_EQ(sprites.Load(&screen_.Screen(), &layer_, "LAYOUT\\none.gmp", 5, false, false), CDgmBufferSet::kReadFailed);
  EXPECT_EQ(sprites.Load(nullptr, &layer_, kLayout, 5, false, false), CDgmBufferSet::kNullArgument);
  EXPECT_FALSE(layer_.HasBackgroundImage());
  EXPECT_EQ(SurfaceObjects() + Drawables() + widgets_.GetCount(), 0u);
}

}  // namespace
