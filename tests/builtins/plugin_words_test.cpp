// The words that scripts hand to effects, filters and assist entries (218 to 221, 256): each is
// resolved by the kind its entry declares, so that a wrong word refuses the call with the row's
// failure value instead of reaching the effect as a pointer, out words are written through
// script memory, and numbers arrive as they were.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "drawable_builtins_fixture.h"
#include "effects/background/zoom_source.h"
#include "effects/table/builtin_effect_table.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"

namespace {

class PluginWordsTest : public DrawableBuiltinsTest {
 protected:
  PluginWordsTest() {
    saved_filters_ = std::exchange(g_TcpHost, &filters_);
    saved_effects_ = std::exchange(g_DcpHost, &effects_);
    RegisterSetUpEffects(effects_, filters_);
    RegisterBuiltinEffects(effects_, filters_);
  }
  ~PluginWordsTest() override {
    if (CImagePart* part = GetObjectImagePart(Handles().Get<CImageInterface>(canvas_))) part->Detach(false);
    timers_.RemoveAll();
    g_TcpHost = saved_filters_;
    g_DcpHost = saved_effects_;
  }

  CDcpPluginManager effects_;
  CTcpPluginManager filters_;
  uint32_t canvas_ = NewCanvas(40, 30);
  uint32_t image_ = NewImage(8, 8, 0xFF808080);
  uint32_t sprite_ = NewSprite(image_);

 private:
  CTcpPluginManager* saved_filters_ = nullptr;
  CDcpPluginManager* saved_effects_ = nullptr;
};

struct HostileCase {
  const char* what;
  uint32_t id;
  std::function<std::vector<uint32_t>()> words;
  uint32_t refused;
};

TEST_F(PluginWordsTest, AWordThatIsNotWhatItsKindAsksForRefusesTheCall) {
  const uint32_t fade = Call(218, {canvas_, Text("sp_fade"), 2, 0, 0});
  ASSERT_NE(fade, 0u);
  const uint32_t zoom = Text("bg_zoom");
  const uint32_t outs = Block(16);
  // A text that runs to the end of script memory without its zero.
  const auto last_byte = static_cast<uint32_t>(Memory().UsableEnd() - 1);
  Memory().SetByte(last_byte, 'x');
  const std::vector<HostileCase> cases = {
      {"a small number as the canvas", 221, [&] { return std::vector<uint32_t>{zoom, 7, 0, 0, 0, outs}; }, kMinus1},
      {"an out word outside script memory", 221,
       [&] { return std::vector<uint32_t>{zoom, canvas_, 0, 0, 0, 0x41414140}; }, kMinus1},
      {"a number as the zoom text", 218, [&] { return std::vector<uint32_t>{canvas_, zoom, 0, 0, 5, 0, 100}; }, 0},
      {"a number as the quake's text", 218,
       [&] { return std::vector<uint32_t>{canvas_, Text("quake"), 4, 4, 2, 100, 7}; }, 0},
      {"a small number as the fade's sprite", 219,
       [&] { return std::vector<uint32_t>{fade, 1, 0, 77, 100, 0, 0, 0, 0, 0}; }, kMinus1},
      {"a picture as the fade's sprite", 219,
       [&] { return std::vector<uint32_t>{fade, 1, 0, image_, 100, 0, 0, 0, 0, 0}; }, kMinus1},
      {"a picture as the gradient fade's sprite", 218,
       [&] { return std::vector<uint32_t>{canvas_, Text("sp_gfade"), image_, 100, 0, 0, 0}; }, 0},
      {"a small number as the blur's path", 218,
       [&] { return std::vector<uint32_t>{canvas_, Text("bg_blur"), 3, 0, 100, 128}; }, 0},
      {"a text without its zero", 218, [&] { return std::vector<uint32_t>{canvas_, Text("bg_haze"), last_byte, 16}; },
       0},
      {"a small number as the rule picture", 256,
       [&] { return std::vector<uint32_t>{canvas_, Text("rule"), 1, 1, 500, 7, 0}; }, kMinus2},
      {"a canvas as the rule picture", 256,
       [&] { return std::vector<uint32_t>{canvas_, Text("rule"), 1, 1, 500, canvas_, 0}; }, kMinus2},
  };
  const uint32_t tasks = timers_.GetCount();
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<uint32_t> words = c.words();
    EXPECT_EQ(Call(c.id, words), c.refused);
    EXPECT_EQ(timers_.GetCount(), tasks);
  }
  EXPECT_FALSE(GetObjectImagePart(Handles().Get<CImageInterface>(canvas_))->HasAttached());
}

// A handle is a number: as an out word it names script memory (or nothing), never the object.
TEST_F(PluginWordsTest, AHandleAsAnOutWordLeavesItsObjectAlone) {
  Call(221, {Text("bg_zoom"), canvas_, 0, 0, Text("2.0"), sprite_, sprite_, sprite_, sprite_});
  EXPECT_EQ(Sprite(sprite_).GetSourceImage(), &Image(image_));
  EXPECT_EQ(Call(439, {sprite_, 5, 6}), 1u) << "moved";
  EXPECT_EQ(Drawable(sprite_)->GetX(), 5);
}

TEST_F(PluginWordsTest, OutWordsAreWrittenAtTheirScriptAddresses) {
  const uint32_t outs = Block(16);
  Call(418, {canvas_, NewImage(80, 60, 0xFF000000), 0, 0, 0});
  ZoomRect expected;
  ASSERT_EQ(ComputeZoomSource(&Layer(canvas_), 10, 8, 2.0, expected), kZoomSourceOk);
  EXPECT_EQ(Call(221, {Text("bg_zoom"), canvas_, 10, 8, Text("2.0"), outs, 0, outs + 8, outs + 12}), 0u);
  EXPECT_EQ(static_cast<int32_t>(WordAt(outs)), expected.x);
  EXPECT_EQ(WordAt(outs + 4), 0xCCCCCCCCu) << "no out word for y";
  EXPECT_EQ(static_cast<int32_t>(WordAt(outs + 8)), expected.width);
  EXPECT_EQ(static_cast<int32_t>(WordAt(outs + 12)), expected.height);
}

CDcpObject* NoObject(uint32_t) { return nullptr; }
std::int32_t FirstWord(const PluginArgs* args) { return args->I32(0); }

TEST_F(PluginWordsTest, APlugInsObjectGetsItsWordsAsNumbers) {
  ASSERT_EQ(effects_.RegisterObject(&NoObject, "number_probe", 0, &FirstWord, nullptr, 0), 0u);
  const uint32_t name = Text("number_probe");
  for (const uint32_t word : {sprite_, canvas_, Text("12.5"), 0x7FFFFFFFu}) EXPECT_EQ(Call(221, {name, word}), word);
}

}  // namespace
