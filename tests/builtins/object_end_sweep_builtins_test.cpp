// Every holder a script can make, its object deleted before the holder's first step, midway and
// just before its last step; the timers step on and the page is repainted after each, so that a
// holder that still used what died shows under the address sanitizer. Holders that the scripts
// ask about answer at once and at every step after the end as if the object had never been.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dgm_writer.h"
#include "object_end_fixture.h"
#include "ui/gui/gui_element.h"

namespace {

// What a holder's making leaves: the object the script deletes, the built-in that deletes it
// (243 a picture or canvas, 408 a sprite, 715 a widget), the holder's task, which must have
// ended by the end of the sweep (0: the holder is no task of its own), a canvas repainted
// besides the page (0: none), the words after the task that 219 passes to it at once after the
// deletion (none: no call), whether the frame goes to the screen at each step (a filter
// plays there), and what the holder must answer after the deletion (checked at once and after
// each step).
struct SweepHeld {
  std::uint32_t object = 0;
  std::uint32_t delete_id = 0;
  std::uint32_t task = 0;
  std::uint32_t shown = 0;
  std::vector<std::uint32_t> set_param{};
  bool on_frame = false;
  std::function<void()> answers_after_end{};
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
  // Two parts of one picture, as sprites (`buttons` false) or as image buttons.
  void WriteLayout(const char* name, bool buttons) {
    const std::vector<std::uint8_t> picture = SolidElg(16, 8, CellColour(3));
    game_.WriteFile("LAYOUT/PART.ELG", std::string(picture.begin(), picture.end()));
    kvxtools::DgmFile layout;
    layout.full_picture_records = buttons;
    for (std::int16_t i = 0; i < 2; ++i) {
      layout.parts.push_back({"PART.ELG", static_cast<std::uint8_t>(buttons ? 1 : 0), static_cast<std::int16_t>(20 * i),
                              4, 255, 1, 16, 8, 0});
    }
    const std::vector<std::uint8_t> bytes = kvxtools::EncodeDgm(layout);
    game_.WriteFile(std::string("LAYOUT/") + name, std::string(bytes.begin(), bytes.end()));
  }
  // Entry `index` of the layout buffers (525): its picture and sprite handles.
  std::pair<std::uint32_t, std::uint32_t> BufferEntry(std::uint32_t index) {
    const std::uint32_t words = Block(20, 0xAB);
    EXPECT_EQ(Call(525, {index, words, words + 4, words + 8, words + 12, words + 16}), 1u);
    return {WordAt(words), WordAt(words + 4)};
  }
  // The widget handle of entry `index` of the layout image (530), and of the entries (531).
  std::uint32_t ImageEntry(std::uint32_t index) {
    const std::uint32_t words = Block(16, 0xAB);
    EXPECT_EQ(Call(530, {index, words, words + 4, words + 8, words + 12}), 1u);
    const std::uint32_t widgets = Block(8, 0xAB);
    EXPECT_EQ(Call(531, {0, 0, widgets, 0, 0, 0}), 1u);
    EXPECT_EQ(WordAt(widgets + 4 * index), WordAt(words)) << "531 agrees with 530";
    return WordAt(words);
  }
  // The layout buffers on the page, part `index` deleted by `delete_id` (243 its picture, 408
  // its sprite, 405 every sprite): the entries name what lives and 0 for what ended.
  SweepHeld LayoutBuffers(std::uint32_t page, std::uint32_t index, std::uint32_t delete_id) {
    EXPECT_EQ(Call(522, {page, Text("LAYOUT\\BUFFERS.GMP"), 0, 0, 0}), 0u);
    const auto [picture, sprite] = BufferEntry(index);
    return {delete_id == 243 ? picture : sprite, delete_id, 0, 0, {}, false, [this, index, delete_id] {
              for (std::uint32_t part = 0; part < 2; ++part) {
                const auto [part_picture, part_sprite] = BufferEntry(part);
                const bool ended = part == index || delete_id == 405;
                EXPECT_EQ(part_picture == 0, ended && delete_id == 243) << "part " << part;
                EXPECT_EQ(part_sprite == 0, ended && delete_id != 243) << "part " << part;
              }
            }};
  }
  // The layout image's buttons on the page, button `index` deleted by `delete_id` (715 the one,
  // 711 every widget).
  SweepHeld LayoutImage(std::uint32_t page, std::uint32_t index, std::uint32_t delete_id) {
    Call(702, {page});
    EXPECT_EQ(Call(527, {0, Text("LAYOUT\\BUTTONS.GMP"), 5, 0, 65535}), 0u);
    return {ImageEntry(index), delete_id, 0, 0, {}, false, [this, index, delete_id] {
              for (std::uint32_t part = 0; part < 2; ++part) {
                EXPECT_EQ(ImageEntry(part) == 0, part == index || delete_id == 711) << "part " << part;
              }
            }};
  }
};

TEST_F(ObjectEndSweepTest, EveryHolderLetsGoOfItsObjectAtEachStepOfItsLife) {
  const std::uint32_t page = NewCanvas(160, 120);
  const std::uint32_t zoom = Text("2.0");
  const std::uint32_t path = Text("> 1000 l");
  const std::uint32_t data = Call(517, {Text("ANIM\\A.DAD")});
  const std::uint32_t pattern = Call(510, {Text("ANIM\\A.DAG"), 0});
  WriteLayout("BUFFERS.GMP", false);
  // Key frames at the far ends of a word, whose sums with the offsets are clamped.
  game_.WriteFile("ANIM/EDGES.TXT", "*CELLS.ELG\r\n2147483647, -2147483648\r\n0, 0\r\n");
  WriteLayout("BUTTONS.GMP", true);
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
      {"sp_tanime at the edges of a word",
       [&] { return EffectOnCanvas("sp_tanime", {Text("ANIM\\EDGES.TXT"), 8, static_cast<std::uint32_t>(-8), 100, 0, 0}); }},
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
      {"layout buffer's picture", [&] { return LayoutBuffers(page, 0, 243); }},
      {"layout buffer's sprite", [&] { return LayoutBuffers(page, 1, 408); }},
      {"layout buffers' sprites, all at once", [&] { return LayoutBuffers(page, 0, 405); }},
      {"layout image's button", [&] { return LayoutImage(page, 1, 715); }},
      {"layout image's buttons, with every widget", [&] { return LayoutImage(page, 0, 711); }},
      {"widget's neighbour",
       [&] {
         const std::uint32_t widget = PageButton(page);
         const std::uint32_t neighbour = LabelButton(50);
         EXPECT_EQ(Call(725, {widget, neighbour, neighbour, neighbour, neighbour}), 1u);
         return SweepHeld{neighbour, 715, 0, 0, {}, false, [this, widget] {
                            for (std::uint32_t action = 0; action < 4; ++action) {
                              EXPECT_EQ(Handles().Get<CGuiElement>(widget)->GetNeighbour(action), nullptr) << action;
                            }
                          }};
       }},
      {"motion's sprite",
       [&] {
         const std::uint32_t sprite = NewSprite(NewImage());
         Call(409, {page, sprite, 10, 0, 0});
         const std::uint32_t motion = Call(446, {sprite, 1000, Text("(1,1,255)(30,20,255)"), 0, 0, 65535});
         EXPECT_NE(motion, 0u);
         return SweepHeld{sprite, 408, motion, 0, {}, false, [this, motion] {
                            for (const std::uint32_t id : {211u, 214u, 216u}) {
                              EXPECT_EQ(Call(id, {motion}), 0u) << id << ": the motion runs no more";
                            }
                            EXPECT_EQ(Call(212, {WordHolding(motion)}), 0u) << "nothing left to remove";
                          }};
       }},
  };
  const auto step_and_repaint = [&](const SweepHeld& held) {
    Step(100);
    Call(428, {page});
    if (held.shown != 0) Call(428, {held.shown});
    if (held.on_frame) screen_.Screen().UpdateScreen();
  };
  const auto answers_after_end = [](const SweepHeld& held) {
    if (held.answers_after_end) held.answers_after_end();
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
      answers_after_end(held);
      for (int step = 0; step < 16; ++step) {
        step_and_repaint(held);
        answers_after_end(held);
      }
      if (held.task != 0) {
        EXPECT_FALSE(Runs(held.task)) << holder.name << " after " << steps_before;
      }
    }
  }
}

}  // namespace
