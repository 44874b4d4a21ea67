// The image-part built-ins (253 to 259) called by number: canvases linked to a partner, the
// partner read back when it is an image canvas, the partner's two operations by mode, and a
// layer filter attached by name from the transition-object host, refused and released, queried
// and detached.
#include <gtest/gtest.h>

#include "drawable_builtins_fixture.h"
#include "effects/table/builtin_effect_table.h"
#include "gfx/display/image_canvas.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"

namespace {

constexpr uint32_t kNoFilter = 0xFFFFFFFE;

class ImagePartBuiltinsTest : public DrawableBuiltinsTest {
 protected:
  ImagePartBuiltinsTest() {
    saved_filters_ = std::exchange(g_TcpHost, &filters_);
    saved_effects_ = std::exchange(g_DcpHost, &effects_);
    RegisterSetUpEffects(effects_, filters_);
    RegisterBuiltinEffects(effects_, filters_);
  }
  ~ImagePartBuiltinsTest() override {
    for (const uint32_t canvas : {front_, back_}) {
      if (CImagePart* part = Part(canvas)) part->Detach(false);
    }
    g_TcpHost = saved_filters_;
    g_DcpHost = saved_effects_;
  }

  CImagePart* Part(uint32_t canvas) { return GetObjectImagePart(Handles().Get<CImageInterface>(canvas)); }
  // Attaches "addsub" (400 ms, mode 0) to the canvas with attach mode 1 and redraw.
  uint32_t AttachAddsub(uint32_t canvas) { return Call(256, {canvas, Text("addsub"), 1, 1, 400, 0}); }

  CDcpPluginManager effects_;
  CTcpPluginManager filters_;
  uint32_t front_ = NewCanvas(40, 30);
  uint32_t back_ = NewCanvas(40, 30);

 private:
  CTcpPluginManager* saved_filters_ = nullptr;
  CDcpPluginManager* saved_effects_ = nullptr;
};

TEST_F(ImagePartBuiltinsTest, LinkingAndReadingThePartner) {
  const uint32_t image = NewImage(40, 30, 0);
  const uint32_t smaller = NewCanvas(20, 30);
  const uint32_t plain = NewCanvas(40, 30, false);
  EXPECT_EQ(Call(253, {front_, image}), kMinus1) << "an image has no part";
  EXPECT_EQ(Call(253, {image, front_}), kMinus1);
  EXPECT_EQ(Call(253, {front_, smaller}), 1u);
  EXPECT_EQ(Part(front_)->GetPartner(), nullptr);
  EXPECT_EQ(Call(254, {front_}), 0u) << "no partner";
  EXPECT_EQ(Call(253, {front_, back_}), 0u);
  EXPECT_EQ(Part(front_)->GetPartner(), Part(back_));
  EXPECT_EQ(Call(254, {front_}), 0u) << "a partner that is not an image canvas";
  EXPECT_EQ(Call(253, {front_, plain}), 0u);
  EXPECT_EQ(Call(254, {front_}), plain);
  EXPECT_EQ(Call(254, {image}), 0u);
  EXPECT_EQ(Call(259, {front_}), 32u);
  EXPECT_EQ(Call(259, {image}), 0u);
}

TEST_F(ImagePartBuiltinsTest, AFilterNameTheHostDoesNotHoldLeavesThePartUnchanged) {
  EXPECT_EQ(Call(253, {front_, back_}), 0u);
  EXPECT_EQ(Call(256, {front_, Text("no_such_filter"), 1, 1, 400, 0}), kNoFilter);
  EXPECT_FALSE(Part(front_)->HasAttached());
  EXPECT_EQ(Call(258, {front_}), 0u);
  EXPECT_EQ(Call(256, {NewImage(4, 4, 0), Text("addsub"), 1, 1, 400, 0}), kMinus1);
  EXPECT_EQ(Call(258, {0}), 0u);
  EXPECT_EQ(Call(257, {0}), 0u);
}

TEST_F(ImagePartBuiltinsTest, AFilterIsAttachedQueriedAndDetached) {
  EXPECT_EQ(AttachAddsub(front_), CImagePart::kAttachNoPartner) << "refused without a partner, and released";
  EXPECT_FALSE(Part(front_)->HasAttached());
  EXPECT_EQ(Call(253, {front_, back_}), 0u);
  EXPECT_EQ(AttachAddsub(front_), 0u);
  EXPECT_EQ(Call(258, {front_}), 1u);
  EXPECT_EQ(Part(front_)->GetAttachMode(), 1);
  EXPECT_EQ(Call(257, {front_}), 1u);
  EXPECT_EQ(Call(258, {front_}), 0u);
  EXPECT_EQ(Call(257, {front_}), 1u) << "nothing attached";
  const uint32_t image_canvas = NewCanvas(40, 30, false);
  EXPECT_EQ(Call(253, {image_canvas, back_}), 0u);
  EXPECT_EQ(AttachAddsub(image_canvas), 0xFFFFFFFFu) << "an image canvas refuses filters";
}

TEST_F(ImagePartBuiltinsTest, ThePartnersOperationsByMode) {
  // The partner gets a work image from a filter of its own.
  EXPECT_EQ(Call(253, {front_, back_}), 0u);
  EXPECT_EQ(Call(253, {back_, front_}), 0u);
  const auto work_image_after = [&](uint32_t mode) {
    EXPECT_EQ(AttachAddsub(back_), 0u);
    EXPECT_EQ(Call(257, {back_}), 1u);
    EXPECT_NE(Part(back_)->GetWorkImage(), nullptr);
    Layer(back_).DiscardDirty();
    EXPECT_EQ(Call(255, {front_, mode}), 1u);
    return Part(back_)->GetWorkImage() != nullptr;
  };
  EXPECT_FALSE(work_image_after(1));
  EXPECT_EQ(Layer(back_).GetRegion().Count(), 0u) << "mode 1 only frees the work image";
  EXPECT_FALSE(work_image_after(2));
  EXPECT_NE(Layer(back_).GetRegion().Count(), 0u);
  for (const uint32_t mode : {0u, 3u, 0x100u}) {
    SCOPED_TRACE(mode);
    EXPECT_TRUE(work_image_after(mode));
    EXPECT_NE(Layer(back_).GetRegion().Count(), 0u) << "the whole image marked changed";
  }
  EXPECT_EQ(Call(255, {NewCanvas(8, 8), 2}), 1u) << "no partner: nothing to do";
  EXPECT_EQ(Call(255, {0, 2}), 0u);
}

TEST_F(ImagePartBuiltinsTest, APartnerDeletedAloneIsForgottenWithTheFilterBetweenThem) {
  EXPECT_EQ(Call(253, {front_, back_}), 0u);
  EXPECT_EQ(AttachAddsub(front_), 0u);
  EXPECT_EQ(Call(243, {WordHolding(back_)}), 0u);
  EXPECT_EQ(Part(front_)->GetPartner(), nullptr);
  EXPECT_EQ(Call(258, {front_}), 0u) << "the filter was detached";
  EXPECT_EQ(Call(254, {front_}), 0u);
  EXPECT_EQ(AttachAddsub(front_), CImagePart::kAttachNoPartner);
  EXPECT_EQ(Call(428, {front_}), 0u);
  back_ = 0;
}

}  // namespace
