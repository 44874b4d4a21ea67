// Image parts: transitions attached with their reference and the application's priority hooks,
// and the layers handed over at a transition's end; the corners of turned rectangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "base/numbers/trig_tables.h"
#include "base/system/app_hooks.h"
#include "gfx/display/image_canvas.h"
#include "gfx/image_operations/rotated_quad.h"
#include "support/fake_screen_transition.h"

namespace {

int g_lowered = 0;
int g_restored = 0;

class ImagePartAttachTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_lowered = g_restored = 0;
    g_LowerPriorityHook = [] { return ++g_lowered; };
    g_RestorePriorityHook = [] { return ++g_restored; };
    ASSERT_EQ(part_.Create(16, 8, 32, CImagePart::kLayerAndDrawList), 0u);
    ASSERT_EQ(partner_.Create(16, 8, 32, CImagePart::kLayerAndDrawList), 0u);
  }
  void TearDown() override {
    g_LowerPriorityHook = nullptr;
    g_RestorePriorityHook = nullptr;
  }

  RefPtr<CScreenTransition> MakeTransition(uint8_t type) {
    return MakeRef<FakeTransition>(log_, type, 0, 1, 16, 8);
  }
  static FakeDrawLayer& Layer(const CImagePart& part) { return *static_cast<FakeDrawLayer*>(part.GetLayer()); }

  FakeDrawLayers layers_;
  TransitionLog log_;
  CImageCanvasEx part_;
  CImageCanvasEx partner_;
};

TEST_F(ImagePartAttachTest, AttachTakesTheReferenceAndLowersPriorityOnceDetachReleasesBoth) {
  ASSERT_EQ(part_.SetPartner(&partner_), 0u);
  RefPtr<CScreenTransition> transition = MakeTransition(0);
  CScreenTransition* raw = transition.get();
  ASSERT_EQ(part_.Attach(transition, CImagePart::kModePlain, 0, true), 0u);
  EXPECT_EQ(transition, nullptr) << "the part holds the caller's reference now";
  EXPECT_EQ(part_.GetAttached(), raw);
  EXPECT_EQ(raw->GetRefCount(), 0u) << "no reference was added";
  EXPECT_EQ(g_lowered, 1);
  ASSERT_NE(part_.GetWorkImage(), nullptr);
  EXPECT_EQ(part_.GetWorkImage()->GetWidth(), 16);

  part_.Detach(false);
  EXPECT_TRUE(log_.deleted);
  EXPECT_FALSE(part_.HasAttached());
  EXPECT_EQ(g_restored, 1);
  part_.Detach(false);
  EXPECT_EQ(g_restored, 1) << "nothing attached, nothing to restore";

  RefPtr<CScreenTransition> quiet = MakeTransition(0);
  ASSERT_EQ(part_.Attach(quiet, CImagePart::kModePlain, 0, false), 0u);
  part_.Release();
  EXPECT_EQ(g_lowered, 1);
  EXPECT_EQ(g_restored, 1) << "hooks are called only for the lower-priority flag";
}

TEST_F(ImagePartAttachTest, AFailedAttachLeavesTheReferenceWithTheCaller) {
  CImageCanvasEx plain;
  ASSERT_EQ(plain.Create(16, 8, 32, CImagePart::kNoLayer), 0u);
  CImageCanvasEx plain_partner;
  ASSERT_EQ(plain_partner.Create(16, 8, 32, CImagePart::kNoLayer), 0u);
  CImageCanvas refusing;
  ASSERT_EQ(refusing.Create(16, 8, 32, true), 0u);
  struct Case {
    CImagePart* part;
    CImagePart* partner;
    uint8_t type;
    uint8_t mode;
    uint32_t status;
  };
  const Case cases[] = {
      {&plain, &partner_, 0, CImagePart::kModePlain, CImagePart::kAttachNoLayer},
      {&part_, nullptr, 2, CImagePart::kModePlain, CImagePart::kAttachNoPartner},
      {&part_, &plain_partner, 1, CImagePart::kModePlain, CImagePart::kAttachNoPartnerLayerOrWorkImage},
      {&part_, &partner_, 2, CImagePart::kModeSwapBackgrounds, CImagePart::kAttachNoBackground},
      {&refusing, &partner_, 0, CImagePart::kModePlain, CImageCanvas::kRefusesAttach},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    c.part->SetPartner(c.partner);
    TransitionLog log;
    RefPtr<CScreenTransition> transition = MakeRef<FakeTransition>(log, c.type, 0, 1, 16, 8);
    EXPECT_EQ(c.part->Attach(transition, c.mode, 0, true), c.status);
    EXPECT_NE(transition, nullptr);
    EXPECT_FALSE(c.part->HasAttached());
    transition.reset();
    EXPECT_TRUE(log.deleted);
  }
  EXPECT_EQ(g_lowered, 0);

  // Type 2 needs no layer of the partner's.
  RefPtr<CScreenTransition> tone = MakeTransition(2);
  ASSERT_EQ(part_.SetPartner(&plain_partner), 0u);
  EXPECT_EQ(part_.Attach(tone, CImagePart::kModePlain, 0, false), 0u);
}

TEST_F(ImagePartAttachTest, TheEndOfATransitionHandsLayersOrBackgroundsOverToThePart) {
  ASSERT_EQ(part_.SetPartner(&partner_), 0u);
  IDrawLayer* own_layer = part_.GetLayer();
  IDrawLayer* partner_layer = partner_.GetLayer();
  RefPtr<CScreenTransition> swap = MakeTransition(0);
  ASSERT_EQ(part_.Attach(swap, CImagePart::kModeSwapLayers, 1, false), 0u);
  part_.Detach(true);
  ASSERT_EQ(part_.GetLayer(), partner_layer);
  ASSERT_EQ(partner_.GetLayer(), own_layer);
  EXPECT_EQ(Layer(part_).target, part_.GetImage());
  EXPECT_EQ(Layer(part_).attached_list, part_.GetList()) << "each part keeps its own list";
  EXPECT_EQ(Layer(partner_).target, partner_.GetImage());
  EXPECT_EQ(Layer(partner_).attached_list, partner_.GetList());
  EXPECT_TRUE(part_.GetImage()->IsModified());

  Layer(part_).background = 7;
  RefPtr<CScreenTransition> backgrounds = MakeTransition(2);
  ASSERT_EQ(part_.Attach(backgrounds, CImagePart::kModeSwapBackgrounds, 1, false), 0u);
  part_.Detach(false);
  EXPECT_EQ(Layer(part_).background, 7) << "without redraw nothing is handed over";
  RefPtr<CScreenTransition> again = MakeTransition(2);
  ASSERT_EQ(part_.Attach(again, CImagePart::kModeSwapBackgrounds, 1, false), 0u);
  part_.Detach(true);
  EXPECT_EQ(Layer(partner_).background, 7);
}

TEST_F(ImagePartAttachTest, TheSecondViewIsThePartnersLayerWhichTheTwoPartsThenExchange) {
  IDrawLayer* own_layer = part_.GetLayer();
  IDrawLayer* partner_layer = partner_.GetLayer();
  EXPECT_EQ(part_.GetSecondView(), nullptr) << "no partner, no second view";
  EXPECT_EQ(part_.SetView(partner_layer), 1u) << "a layer that is not the part's to show";
  ASSERT_EQ(part_.SetPartner(&partner_), 0u);
  ASSERT_EQ(part_.GetSecondView(), partner_layer);
  EXPECT_EQ(part_.SetView(own_layer), 0u);
  EXPECT_EQ(part_.SetView(nullptr), 0u);
  EXPECT_EQ(part_.GetLayer(), own_layer) << "its own view or none changes nothing";

  part_.GetImage()->ClearModified();
  ASSERT_EQ(part_.SetView(part_.GetSecondView()), 0u);
  EXPECT_EQ(part_.GetLayer(), partner_layer);
  EXPECT_EQ(partner_.GetLayer(), own_layer);
  EXPECT_EQ(Layer(part_).target, part_.GetImage()) << "the layer draws into the part that shows it";
  EXPECT_EQ(Layer(part_).attached_list, part_.GetList());
  EXPECT_TRUE(part_.GetImage()->IsModified()) << "the part redraws whole";
  ASSERT_EQ(part_.SetView(part_.GetSecondView()), 0u) << "asked again, the first view comes back";
  EXPECT_EQ(part_.GetLayer(), own_layer);
  EXPECT_EQ(partner_.GetLayer(), partner_layer);
}

// Each corner of the scaled rectangle turned about the scaled centre, computed here with the
// library's cosine and sine.
RotatedQuad Expected(const RotationRequest& r) {
  const double theta = -r.angle * std::numbers::pi / 256.0;
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  const double cx = r.centre_x * r.scale;
  const double cy = r.centre_y * r.scale;
  const double w = r.width * r.scale;
  const double h = r.height * r.scale;
  const double xs[4] = {0, w, w, 0};
  const double ys[4] = {0, 0, h, h};
  double px[4];
  double py[4];
  for (int i = 0; i < 4; ++i) {
    px[i] = cx + (xs[i] - cx) * c - (ys[i] - cy) * s;
    py[i] = cy + (xs[i] - cx) * s + (ys[i] - cy) * c;
  }
  const double min_x = *std::min_element(px, px + 4);
  const double min_y = *std::min_element(py, py + 4);
  RotatedQuad quad;
  quad.width = static_cast<int32_t>(*std::max_element(px, px + 4) - min_x);
  quad.height = static_cast<int32_t>(*std::max_element(py, py + 4) - min_y);
  quad.x = static_cast<int32_t>(std::floor(min_x + 0.5));
  quad.y = static_cast<int32_t>(std::floor(min_y + 0.5));
  for (int i = 0; i < 4; ++i) quad.corners[i] = {px[i] - quad.x + r.x, py[i] - quad.y + r.y};
  return quad;
}

TEST(RotatedQuadTest, CornersAndBoxFollowTheTurnAndTheScale) {
  CTrigTables tables;
  g_TrigTable = &tables;
  const RotationRequest requests[] = {
      {10, 20, 128, 1.0, 100, 50, 50, 25},
      {0, 0, 64, 2.0, 40, 40, 20, 20},
      {-5, 3, -100, 0.5, 30, 10, 0, 0},
      {0, 0, 0, 1.0, 30, 10, 15, 5},
  };
  for (const RotationRequest& request : requests) {
    SCOPED_TRACE(request.angle);
    RotatedQuad quad;
    ASSERT_TRUE(ComputeRotatedQuad(request, quad));
    const RotatedQuad expected = Expected(request);
    EXPECT_EQ(quad.width, expected.width);
    EXPECT_EQ(quad.height, expected.height);
    EXPECT_EQ(quad.x, expected.x);
    EXPECT_EQ(quad.y, expected.y);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(quad.corners[i].x, expected.corners[i].x, 1e-9);
      EXPECT_NEAR(quad.corners[i].y, expected.corners[i].y, 1e-9);
    }
  }
  // A quarter turn of 100 × 50 about its centre: the box reaches above the origin, and its
  // offset is rounded down, so the corners stay inside it.
  RotatedQuad quarter;
  ASSERT_TRUE(ComputeRotatedQuad(requests[0], quarter));
  EXPECT_EQ(quarter.width, 50);
  EXPECT_EQ(quarter.height, 100);
  EXPECT_EQ(quarter.x, 25);
  EXPECT_EQ(quarter.y, -25);
  EXPECT_NEAR(quarter.corners[1].y, 20.0, 1e-9);

  RotatedQuad untouched;
  for (const double scale : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_FALSE(ComputeRotatedQuad({0, 0, 10, scale, 30, 10, 0, 0}, untouched));
  }
  EXPECT_FALSE(ComputeRotatedQuad({5, 5, 512, 1.0, 30, 10, 0, 0}, untouched)) << "nothing changes";
  // Sizes and places no image holds, as a saved zoom or anchor may ask for them.
  for (const RotationRequest& beyond : {RotationRequest{0, 0, 10, 1e30, 30, 10, 0, 0},
                                        RotationRequest{0, 0, 10, std::numeric_limits<double>::infinity(), 30, 10, 0, 0},
                                        RotationRequest{0, 0, 0, 1100.0, 30, 10, 0, 0},
                                        RotationRequest{0, 0, 256, 2.0, 30, 10, INT32_MAX, INT32_MIN}}) {
    EXPECT_FALSE(ComputeRotatedQuad(beyond, untouched)) << beyond.scale;
  }
  RotatedQuad widest;
  ASSERT_TRUE(ComputeRotatedQuad({0, 0, 0, 1092.0, 30, 10, 0, 0}, widest));
  EXPECT_EQ(widest.width, 32760);
  g_TrigTable = nullptr;
  EXPECT_FALSE(ComputeRotatedQuad(requests[0], untouched));
  EXPECT_EQ(untouched.width, 0);
}

}  // namespace
