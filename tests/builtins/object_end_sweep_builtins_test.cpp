// Every holder a script can make, its object deleted before the holder's first step, midway and
// just before its last step; the timers step on and the page is repainted after each, so that a
// holder that still used what died shows under the address sanitizer.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "object_end_fixture.h"

namespace {

// What a holder's making leaves: the object the script deletes, the built-in that deletes it
// (243 a picture or canvas, 408 a sprite, 715 a widget), the holder's task, which must have
// ended by the end of the sweep (0: the holder is no task of its own), a canvas repainted
// besides the page (0: none), the words after the task that 219 passes to it at once after the
// deletion (none: no call), and whether the frame goes to the screen at each step (a filter
// plays there).
struct SweepHeld {
  std::uint32_t object = 0;
  std::uint32_t delete_id = 0;
  std::uint32_t task = 0;
  std::uint32_t shown = 0;
  std::vector<std::uint32_t> set_param{};
  bool on_frame = false;
};

struct SweepHolder {
  const char* name;
  std::function<SweepHeld()> make;
};

class ObjectEndSweepTest : public ObjectEndTest {
 protected:
  // The task of an effect started by name on the canvas: every effect of the sweep starts.
  std::uint32_t StartOn(std::uint32_t canvas, const char* name, std::vector<std::uint32_t> words) {
    words.insert(words.begin(), {canvas, Text(name)});
    const std::uint32_t task = Call(218, words);
    EXPECT_NE(task, 0u) << name;
    return task;
  }
  // An effect by name on a new canvas that shows a background, the canvas the object deleted.
  SweepHeld EffectOnCanvas(const char* name, std::vector<std::uint32_t> words, bool partnered = false) {
    const std::uint32_t canvas = NewCanvas();
    if (partnered) Call(253, {canvas, NewCanvas()});
    Call(418, {canvas, NewImage(), 0, 0, 1});
    return {canvas, 243, StartOn(canvas, name, std::move(words))};
  }
  // "bg_cross" between a canvas and its partner, which show backgrounds of one size; the object
  // deleted is the partner or the canvas.
  SweepHeld CrossFade(bool partner_deleted) {
    const std::uint32_t canvas = NewCanvas();
    const std::uint32_t partner = NewCanvas();
    Call(253, {canvas, partner});
    for (const std::uint32_t shown : {canvas, partner}) Call(418, {shown, NewImage(), 0, 0, 1});
    return {partner_deleted ? partner : canvas, 243, StartOn(canvas, "bg_cross", {500, 0, 0, 0})};
  }
  // An effect on both pages of a canvas and its partner, told after the deletion to show on both.
  SweepHeld OnBothPages(const char* name, std::vector<std::uint32_t> words, std::vector<std::uint32_t> show) {
    SweepHeld held = EffectOnCanvas(name, std::move(words), true);
    held.set_param = std::move(show);
    return held;
  }
  // A label button on the page, whose layer the widgets draw in.
  std::uint32_t PageButton(std::uint32_t page) {
    Call(702, {page});
    return LabelButton();
  }
};

TEST_F(ObjectEndSweepTest, EveryHolderLetsGoOfItsObjectAtEachStepOfItsLife) {
  const std::uint32_t page = NewCanvas(160, 120);
  const std::uint32_t zoom = Text("2.0");
  const std::uint32_t path = Text("> 1000 l");
  const std::uint32_t data = Call(517, {Text("ANIM\\A.DAD")});
  const std::uint32_t pattern = Call(510, {Text("ANIM\\A.DAG"), 0});
  const SweepHolder holders[] = {
      {"sheet's picture",
       [&] {
         const std::uint32_t image = NewImage();
         return SweepHeld{image, 243, Call(538, {LoadSheet(0, image), 0, 0, 0, 0})};
       }},
      {"sheet's sprite",
       [&] {
         const std::uint32_t sprite = NewSprite(NewImage());
         Call(538, {LoadSheet(sprite, 0), 0, 0, 0, 0});
         // The part goes on drawing into the sprite's picture, which lives.
         return SweepHeld{sprite, 408};
       }},
      {"sp_fade entry",
       [&] {
         const std::uint32_t sprite = NewSprite(NewImage());
         Call(219, {Call(218, {page, Text("sp_fade"), 2, 0, 0}), 2, 0, sprite, 500, 0, 0, 0, 0, 0});
         return SweepHeld{sprite, 408};
       }},
      {"sp_gfade",
       [&] {
         const std::uint32_t sprite = Call(402, {NewImage(), 0, 0, 64, 48, 0, 0});
         return SweepHeld{sprite, 408, Call(218, {page, Text("sp_gfade"), sprite, 500, 0, 8, 0})};
       }},
      {"sp_panime",
       [&] {
         const std::uint32_t sprite = NewSprite(NewImage());
         Call(409, {page, sprite, 10, 0, 0});
         return SweepHeld{sprite, 408, Call(218, {page, Text("sp_panime"), sprite, Text("l 500 r"), 500, 0, 0})};
       }},
      {"bg_zoom", [&] { return EffectOnCanvas("bg_zoom", {32, 24, zoom, 0, 1000}); }},
      {"bg_rot", [&] { return EffectOnCanvas("bg_rot", {32, 24, 128, zoom, 0, 1000}); }},
      {"bg_loop", [&] { return EffectOnCanvas("bg_loop", {0, 1000, 1, 0}); }},
      {"bg_rast", [&] { return EffectOnCanvas("bg_rast", {4, 8, 500, 300, 100, 100, 0, 0}); }},
      {"bg_haze", [&] { return EffectOnCanvas("bg_haze", {Text("(1,0,16)"), 4, 500, 300, 100, 100, 0, 0}); }},
      {"bg_panime", [&] { return EffectOnCanvas("bg_panime", {path, 500, 1, 1, 0, 0, 0}); }},
      {"bg_anime", [&] { return EffectOnCanvas("bg_anime", {data, Text("ANIM"), 0, 0, 0, 1}); }},
      {"sp_tanime", [&] { return EffectOnCanvas("sp_tanime", {Text("ANIM\\CELLS.TXT"), 0, 0, 100, 0, 0}); }},
      {"quake", [&] { return EffectOnCanvas("quake", {2, 4, 4, 1000, 0, 0, 1, 1, 0}, true); }},
      {"bg_cross", [&] { return CrossFade(false); }},
      {"bg_cross's partner", [&] { return CrossFade(true); }},
      {"bg_blur",
       [&] { return EffectOnCanvas("bg_blur", {0, 32, 24, 0, 0, zoom, 0, 1000, 128, 0, 0, 0, 0, 0, 0, 0, 0}); }},
      {"noise", [&] { return OnBothPages("noise", {255, 0, 1, 1}, {1, 1}); }},
      {"rain", [&] { return OnBothPages("rain", {8, 0, 0, 1, 0, 1, 1}, {1, 1, 1}); }},
      {"rule filter's rule image",
       [&] {
         const std::uint32_t canvas = NewCanvas();
         Call(253, {canvas, NewCanvas()});
         EXPECT_EQ(Call(242, {canvas}), 0u) << "the frame";
         const std::uint32_t rule = Call(231, {64, 48, 8, 0});
         EXPECT_EQ(Call(256, {canvas, Text("rule"), 1, 1, 2000, rule, 64}), 0u) << "the filter";
         return SweepHeld{rule, 243, 0, 0, {}, true};
       }},
      {"bg_panime's saved background",
       [&] {
         const std::uint32_t canvas = NewCanvas();
         const std::uint32_t background = NewImage();
         Call(418, {canvas, background, 0, 0, 1});
         return SweepHeld{background, 243, Call(218, {canvas, Text("bg_panime"), path, 500, 0, 1, 0, 0, 0}), canvas};
       }},
      {"pattern part",
       [&] {
         const std::uint32_t canvas = NewCanvas();
         return SweepHeld{canvas, 243, Call(514, {canvas, pattern, 0, 0xFFFFFFFF, 0xFFFFFFFF, 3, 4, 0, 0, 0})};
       }},
      {"widget layer",
       [&] {
         const std::uint32_t canvas = NewCanvas(160, 120);
         Call(702, {canvas});
         LabelButton();
         return SweepHeld{canvas, 243};
       }},
      {"button strip",
       [&] {
         Call(702, {page});
         const std::uint32_t strip = NewImage(32, 16);
         Call(687, {10, 10, strip, 65535});
         return SweepHeld{strip, 243};
       }},
      {"face's picture",
       [&] {
         const std::uint32_t image = NewImage(80, 30);
         Call(461, {Call(736, {PageButton(page), 0}), image, 65535});
         return SweepHeld{image, 243};
       }},
      {"objects over a widget's pictures",
       [&] {
         const std::uint32_t button = PageButton(page);
         const std::uint32_t picture = Call(737, {button, 0});
         NewSprite(picture);
         const std::uint32_t canvas = NewCanvas();
         Call(418, {canvas, picture, 0, 0, 1});
         Call(533, {LoadSheet(0, NewImage()), Call(736, {button, 0})});
         return SweepHeld{button, 715, 0, canvas};
       }},
  };
  const auto step_and_repaint = [&](const SweepHeld& held) {
    Step(100);
    Call(428, {page});
    if (held.shown != 0) Call(428, {held.shown});
    if (held.on_frame) screen_.Screen().UpdateScreen();
  };
  for (const SweepHolder& holder : holders) {
    for (const int steps_before : {0, 4, 9}) {
      const SweepHeld held = holder.make();
      ASSERT_NE(held.object, 0u) << holder.name;
      for (int step = 0; step < steps_before; ++step) step_and_repaint(held);
      EXPECT_EQ(Call(held.delete_id, {WordHolding(held.object)}), 0u) << holder.name << " after " << steps_before;
      if (!held.set_param.empty()) {
        std::vector<std::uint32_t> words{held.task};
        words.insert(words.end(), held.set_param.begin(), held.set_param.end());
        Call(219, words);
      }
      for (int step = 0; step < 16; ++step) step_and_repaint(held);
      if (held.task != 0) {
        EXPECT_FALSE(Runs(held.task)) << holder.name << " after " << steps_before;
      }
    }
  }
}

}  // namespace
