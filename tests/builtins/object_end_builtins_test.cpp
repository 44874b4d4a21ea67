// Scripts delete pictures, canvases and sprites while cell sheets, picture parts and effects
// still hold them: each holder lets go and ends as if stopped, touching nothing of the dead
// object, and the scripts read the results their rows give for what is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "effects/framework/background_canvas.h"
#include "object_end_fixture.h"
#include "support/fake_font_face.h"
#include "ui/widgets/fake_ime.h"
#include "ui/fonts/font.h"
#include "ui/fonts/screen_fonts.h"
#include "ui/widgets/ime_mode_label.h"

namespace {

class CellSheetEndTest : public ObjectEndTest {};

// How the picture a sheet draws into goes: deleted singly or with every display object.
struct TargetEnd {
  const char* name;
  bool through_sprite;
  bool all_objects;
};

TEST_F(CellSheetEndTest, ASheetWhoseTargetEndsEndsItsPicturePartsWithoutDrawing) {
  const TargetEnd ends[] = {{"image by 243", false, false}, {"image by 200", false, true},
                            {"sprite's image by 243", true, false}};
  for (const TargetEnd& end : ends) {
    const std::uint32_t image = NewImage();
    const std::uint32_t sprite = end.through_sprite ? NewSprite(image) : 0;
    const std::uint32_t sheet = end.through_sprite ? LoadSheet(sprite, 0) : LoadSheet(0, image);
    ASSERT_NE(sheet, 0u) << end.name;
    const std::uint32_t part = Call(538, {sheet, 0, 0, 0, 0});
    ASSERT_NE(part, 0u) << end.name;
    Step(0);
    ASSERT_TRUE(Runs(part)) << end.name;
    if (end.all_objects) {
      EXPECT_EQ(Call(200, {}), 0u);
    } else {
      EXPECT_EQ(DeleteObject(image), 0u) << end.name;
    }
    EXPECT_EQ(Sheet(sheet).GetTarget(), nullptr) << end.name;
    Step(60, 3);
    EXPECT_FALSE(Runs(part)) << end.name << ": the part ends as 535 ends it";
    EXPECT_EQ(Call(538, {sheet, 0, 0, 0, 0}), 0u) << end.name << ": no part starts without a target";
    EXPECT_EQ(Call(535, {WordHolding(sheet)}), 0u) << end.name;
  }
}

TEST_F(CellSheetEndTest, ASheetForgetsASpriteThatEnds) {
  const std::uint32_t image = NewImage();
  const std::uint32_t sprite = NewSprite(image);
  const std::uint32_t other = NewSprite(image);
  const std::uint32_t sheet = LoadSheet(sprite, 0);
  ASSERT_NE(sheet, 0u);
  EXPECT_EQ(Call(533, {sheet, other}), 0u);
  const std::uint32_t part = Call(538, {sheet, 0, 0, 0, 0});
  Step(0);
  EXPECT_EQ(DestroyDrawable(other), 0u);
  EXPECT_EQ(Sheet(sheet).GetSprites().size(), 1u);
  Step(60, 3);
  EXPECT_TRUE(Runs(part)) << "the target lives on";
  EXPECT_EQ(DestroyDrawable(sprite), 0u);
  EXPECT_TRUE(Sheet(sheet).GetSprites().empty());
  Step(60, 3);
  EXPECT_EQ(Call(535, {WordHolding(sheet)}), 0u);
}

class EffectEndTest : public ObjectEndTest {};

TEST_F(EffectEndTest, AFadingSpriteThatEndsFreesItsEntry) {
  const std::uint32_t canvas = NewCanvas();
  const std::uint32_t image = NewImage();
  const std::uint32_t fade = Call(218, {canvas, Text("sp_fade"), 2, 0, 0});
  ASSERT_NE(fade, 0u);
  for (const bool all_objects : {false, true}) {
    const std::uint32_t sprite = NewSprite(image);
    ASSERT_EQ(Call(219, {fade, 2, 0, sprite, 500, 0, 0, 0, 0, 0}), 0u);
    Step(100);
    if (all_objects) {
      EXPECT_EQ(Call(200, {}), 0u);
    } else {
      EXPECT_EQ(DestroyDrawable(sprite), 0u);
    }
    Step(100, 6);
    EXPECT_EQ(Call(219, {fade, 0}), 0u) << "nothing left to finish";
  }
}

// An effect on a canvas by name, its words after the canvas and the name, and whether the canvas
// needs a partner.
struct CanvasEffect {
  const char* name;
  std::vector<std::uint32_t> words;
  bool partnered = false;
};

TEST_F(EffectEndTest, EffectsWhoseCanvasEndsEndWithoutDrawing) {
  const std::uint32_t zoom_text = Text("2.0");
  const std::uint32_t path = Text("> 1000 l");
  const std::uint32_t data = Call(517, {Text("ANIM\\A.DAD")});
  ASSERT_NE(data, 0u);
  const CanvasEffect effects[] = {{"bg_zoom", {32, 24, zoom_text, 0, 1000}},
                                  {"bg_rot", {32, 24, 128, zoom_text, 0, 1000}},
                                  {"bg_loop", {0, 1000, 0, 0}},
                                  {"bg_rast", {4, 8, 1000, 0, 0, 100, 0, 0}},
                                  {"bg_haze", {Text("(1,0,16)"), 4, 1000, 0, 0, 100, 0, 0}},
                                  {"bg_panime", {path, 500, 0, 0, 0, 0, 0}},
                                  {"bg_panime", {path, 500, 0, 1, 0, 0, 0}},
                                  {"bg_panime", {path, 500, 1, 1, 0, 0, 0}},
                                  {"bg_anime", {data, Text("ANIM"), 0, 0, 1, 1}},
                                  {"sp_tanime", {Text("ANIM\\CELLS.TXT"), 0, 0, 100, 1, 0}},
                                  {"quake", {2, 4, 4, 1000, 0, 0, 1, 1, 0}, true}};
  for (const CanvasEffect& effect : effects) {
    for (const bool all_objects : {false, true}) {
      const std::uint32_t canvas = NewCanvas();
      if (effect.partnered) {
        ASSERT_EQ(Call(253, {canvas, NewCanvas()}), 0u);
      }
      ASSERT_EQ(Call(418, {canvas, NewImage(), 0, 0, 1}), 1u);
      std::vector<std::uint32_t> words{canvas, Text(effect.name)};
      words.insert(words.end(), effect.words.begin(), effect.words.end());
      const std::uint32_t running = Call(218, words);
      ASSERT_NE(running, 0u) << effect.name;
      Step(100);
      ASSERT_TRUE(Runs(running)) << effect.name;
      if (all_objects) {
        EXPECT_EQ(Call(200, {}), 0u);
      } else {
        EXPECT_EQ(DeleteObject(canvas), 0u);
      }
      Step(100, 2);
      EXPECT_FALSE(Runs(running)) << effect.name << " " << all_objects;
    }
  }
}

TEST_F(EffectEndTest, APathOverTheLayersOwnPictureGivesBackNoBackgroundThatEnded) {
  const std::uint32_t canvas = NewCanvas();
  const std::uint32_t background = NewImage();
  ASSERT_EQ(Call(418, {canvas, background, 0, 0, 1}), 1u);
  const std::uint32_t running = Call(218, {canvas, Text("bg_panime"), Text("> 1000 l"), 500, 0, 1, 0, 0, 0});
  ASSERT_NE(running, 0u);
  Step(100);
  EXPECT_EQ(DeleteObject(background), 0u);
  Step(1000, 3);
  EXPECT_FALSE(Runs(running));
  EXPECT_EQ(LayerBackground(CanvasLayer(GetCanvasPart(Handles().Get<CImageInterface>(canvas)))), nullptr);
  Call(428, {canvas});
}

class WidgetEndTest : public ObjectEndTest {};

TEST_F(WidgetEndTest, AButtonWhoseStripImageEndsShowsNothing) {
  const std::uint32_t canvas = NewCanvas(160, 120);
  ASSERT_EQ(Call(702, {canvas}), 0u);
  const std::uint32_t strip = NewImage(32, 16);
  const std::uint32_t button = Call(687, {10, 10, strip, 65535});
  ASSERT_NE(button, 0u);
  const std::uint32_t face = Call(736, {button, 0});
  ASSERT_NE(face, 0u);
  EXPECT_EQ(DeleteObject(strip), 0u);
  const CImage* shown = GetObjectImage(Handles().Get<CImageInterface>(Call(737, {button, 0})));
  EXPECT_TRUE(shown == nullptr || !shown->HasPixels()) << "no picture is shown";
  EXPECT_EQ(dynamic_cast<CSprite*>(Handles().Get<CDrawable>(face))->GetSourceImage(), nullptr);
  Call(428, {canvas});
}

TEST_F(WidgetEndTest, WidgetsWhoseLayerEndsLoseItAndLaterOnesHaveNone) {
  const std::uint32_t canvas = NewCanvas(160, 120);
  ASSERT_EQ(Call(702, {canvas}), 0u);
  const std::uint32_t first = LabelButton();
  ASSERT_NE(first, 0u);
  EXPECT_EQ(DeleteObject(canvas), 0u);
  EXPECT_EQ(g_WidgetManager.GetLayer(), nullptr);
  EXPECT_EQ(LabelButton(50), 0u) << "no layer until 702 gives one";
  EXPECT_EQ(DeleteWidget(first), 0u);
  const std::uint32_t next = NewCanvas(160, 120);
  ASSERT_EQ(Call(702, {next}), 0u);
  EXPECT_NE(LabelButton(), 0u);
}

// How the widgets' canvas goes, and how the widgets made on it go afterwards.
struct LayerEnd {
  const char* name;
  std::uint32_t id;
  std::vector<std::uint32_t> words;
};

TEST_F(WidgetEndTest, WidgetsOfACanvasDeletedWithOthersMakeNoFacesAndGoWithoutTouchingIt) {
  const LayerEnd canvas_ends[] = {{"every object by 200", 200, {}}, {"group 0 by 202", 202, {0, 1}}};
  const LayerEnd widget_ends[] = {{"every widget by 711", 711, {}}, {"group 0 by 714", 714, {0, 0}}};
  for (const LayerEnd& canvas_end : canvas_ends) {
    for (const LayerEnd& widget_end : widget_ends) {
      const std::uint32_t canvas = NewCanvas(160, 120);
      ASSERT_EQ(Call(702, {canvas}), 0u);
      const std::vector<std::uint32_t> widgets{LabelButton(), Call(687, {10, 50, NewImage(32, 16), 65535}),
                                               Call(690, {10, 80, 40, 20, 0xFF, 0xFF00, 0xFF0000, 100}),
                                               Call(693, {120, 10, 1, 65535})};
      ASSERT_EQ(std::count(widgets.begin(), widgets.end(), 0u), 0) << canvas_end.name;
      EXPECT_EQ(Call(canvas_end.id, canvas_end.words), 0u) << canvas_end.name;
      EXPECT_EQ(g_WidgetManager.GetLayer(), nullptr) << canvas_end.name;
      EXPECT_EQ(LabelButton(50), 0u) << canvas_end.name << ": no layer until 702 gives one";
      EXPECT_EQ(Call(687, {10, 50, NewImage(32, 16), 65535}), 0u) << canvas_end.name;
      EXPECT_EQ(Call(690, {10, 80, 40, 20, 0xFF, 0xFF00, 0xFF0000, 100}), 0u) << canvas_end.name;
      EXPECT_EQ(Call(693, {140, 10, 1, 65535}), 0u) << canvas_end.name;
      Call(widget_end.id, widget_end.words);
      for (const std::uint32_t widget : widgets) {
        EXPECT_EQ(Handles().Get<CGuiElement>(widget), nullptr) << canvas_end.name << ", " << widget_end.name;
      }
    }
  }
}

TEST_F(WidgetEndTest, ObjectsOverAWidgetsOwnPicturesLetGoWhenTheWidgetEnds) {
  const std::uint32_t canvas = NewCanvas(160, 120);
  ASSERT_EQ(Call(702, {canvas}), 0u);
  const std::uint32_t button = LabelButton();
  const std::uint32_t picture = Call(737, {button, 0});
  ASSERT_NE(picture, 0u);
  const std::uint32_t sprite = NewSprite(picture);
  const std::uint32_t sheet = LoadSheet(0, canvas);
  const std::uint32_t face = Call(736, {button, 0});
  EXPECT_EQ(Call(533, {sheet, face}), 0u);
  ASSERT_EQ(Call(418, {canvas, picture, 0, 0, 1}), 1u);
  EXPECT_EQ(DeleteWidget(button), 0u);
  EXPECT_EQ(dynamic_cast<CSprite*>(Handles().Get<CDrawable>(sprite))->GetSourceImage(), nullptr);
  EXPECT_TRUE(Sheet(sheet).GetSprites().empty());
  Call(428, {canvas});
  Step(60, 2);
}

TEST_F(WidgetEndTest, AFaceSpriteLetsGoOfAScriptImageThatEnds) {
  const std::uint32_t canvas = NewCanvas(160, 120);
  ASSERT_EQ(Call(702, {canvas}), 0u);
  const std::uint32_t button = LabelButton();
  const std::uint32_t face = Call(736, {button, 0});
  const std::uint32_t image = NewImage(80, 30);
  ASSERT_EQ(Call(461, {face, image, 65535}), 0u);
  EXPECT_EQ(DeleteObject(image), 0u);
  EXPECT_EQ(dynamic_cast<CSprite*>(Handles().Get<CDrawable>(face))->GetSourceImage(), nullptr);
  Call(428, {canvas});
}

// Text fields and the input-mode label, which draw in the widgets' list, with a font and an
// input method of the test's.
class TextFieldEndTest : public WidgetEndTest {
 protected:
  void SetUp() override {
    WidgetEndTest::SetUp();
    ASSERT_EQ(font_.SetFont(16, 0, 0, "face"), 0u);
    g_WidgetManager.ime_context = &ime_;
  }
  void TearDown() override {
    g_WidgetManager.DeleteImeModeLabel();
    g_WidgetManager.ime_context = nullptr;
    WidgetEndTest::TearDown();
  }
  std::uint32_t Font() { return static_cast<CFontBase&>(font_).ScriptHandle(Handles()); }
  const CDrawList* ListOf(std::uint32_t widget) {
    return Handles().Get<CDrawable>(Call(736, {widget, 0}))->GetOwnerList();
  }

  gui_test::FakeIme ime_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
};

TEST_F(TextFieldEndTest, FieldsAndTheModeLabelWhoseCanvasEndsShowNowhereAndGoWithoutTouchingIt) {
  const std::uint32_t canvas = NewCanvas(160, 120);
  ASSERT_EQ(Call(702, {canvas}), 0u);
  const std::uint32_t fields[] = {Call(691, {5, 5, Font(), 100, 65535}), Call(692, {5, 40, Font(), 3, 20, 65535})};
  ASSERT_EQ(Call(720, {Font(), 150, 5}), 0u);
  for (const std::uint32_t field : fields) {
    ASSERT_NE(field, 0u);
    ASSERT_NE(ListOf(field), nullptr);
    EXPECT_EQ(Call(716, {field, 0xFFFFFFFF}), 0u);
  }
  EXPECT_EQ(DeleteObject(canvas), 0u);
  for (const std::uint32_t field : fields) {
    EXPECT_EQ(Call(732, {field, 9}), 0u);
    EXPECT_EQ(ListOf(field), nullptr) << "a new priority lists the field nowhere";
    EXPECT_EQ(Call(738, {field, Text("abc")}), 0u);
    EXPECT_EQ(Call(708, {field}), 0u);
  }
  EXPECT_EQ(g_WidgetManager.GetImeModeLabel()->GetSprite().GetOwnerList(), nullptr);
  EXPECT_EQ(Call(720, {Font(), 140, 5}), 1u) << "no layer until 702 gives one";
  EXPECT_EQ(DeleteWidget(fields[0]), 0u);
  EXPECT_EQ(Call(720, {0}), 0u);
  EXPECT_EQ(g_WidgetManager.GetImeModeLabel(), nullptr);
  Call(711, {});
  EXPECT_EQ(g_WidgetManager.GetCount(), 0u);
}

// The widgets that keep a font the screen made, each given new text after the font is deleted
// on its own (169) or with every font (166): they go on as widgets without a font.
TEST_F(TextFieldEndTest, WidgetsWhoseFontIsDeletedGoOnWithoutIt) {
  const std::uint32_t canvas = NewCanvas(200, 160);
  ASSERT_EQ(Call(702, {canvas}), 0u);
  for (const bool all_fonts : {false, true}) {
    CFont* made = nullptr;
    ASSERT_EQ(CScreenFonts::Of(screen_.Screen()).CreateFont(&made, "face", 16, FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())), 0u);
    const std::uint32_t font = static_cast<CFontBase*>(made)->ScriptHandle(Handles());
    const std::uint32_t fields[] = {Call(691, {5, 5, font, 100, 65535}), Call(692, {5, 30, font, 3, 20, 65535}),
                                    Call(696, {5, 90, 120, 40, font, 65535})};
    const std::uint32_t button = Call(685, {130, 5, 60, 20, 0, Text("go"), font, 100});
    const std::uint32_t menu = Call(698, {130, 40, 60, 20, 2, font, 100});
    ASSERT_EQ(Call(720, {font, 150, 140}), 0u);
    for (const std::uint32_t widget : {fields[0], fields[1], fields[2], button, menu}) ASSERT_NE(widget, 0u);
    ASSERT_EQ(Call(787, {menu, Text("one"), 0, 65535}), 0u);

    if (all_fonts) {
      EXPECT_EQ(Call(166, {}), 0u);
    } else {
      EXPECT_EQ(Call(169, {WordHolding(font)}), 0u);
    }
    EXPECT_EQ(Handles().Get<CFontBase>(font), nullptr);
    for (const std::uint32_t field : fields) EXPECT_EQ(Call(738, {field, Text("abc")}), 0u) << all_fonts;
    EXPECT_EQ(Call(787, {menu, Text("two"), 0, 65535}), 1u) << all_fonts << ": no item without a font";
    EXPECT_EQ(Call(788, {menu, 0, 1}), 0u) << all_fonts;
    g_WidgetManager.GetImeModeLabel()->Update();
    EXPECT_EQ(g_WidgetManager.GetImeModeLabel()->GetFont(), nullptr) << all_fonts;
    Call(711, {});
    EXPECT_EQ(Call(720, {0}), 0u);
  }
  Call(428, {canvas});
}

TEST_F(WidgetEndTest, TheTooltipLetsGoOfItsPartWhenTheCanvasEnds) {
  const std::uint32_t canvas = NewCanvas(160, 120);
  ASSERT_EQ(Call(702, {canvas}), 0u);
  ASSERT_NE(GuiRootWindow().GetTooltipPart(), nullptr);
  EXPECT_EQ(DeleteObject(canvas), 0u);
  EXPECT_EQ(GuiRootWindow().GetTooltipPart(), nullptr);
  EXPECT_FALSE(GuiRootWindow().IsTooltipVisible());
}

TEST_F(EffectEndTest, AnAnimatedPartWhoseCanvasEndsEnds) {
  const std::uint32_t file = Call(510, {Text("ANIM\\A.DAG"), 0});
  ASSERT_NE(file, 0u);
  for (const std::uint32_t steps_before : {0u, 1u}) {
    const std::uint32_t canvas = NewCanvas();
    const std::uint32_t part = Call(514, {canvas, file, 0, 0xFFFFFFFF, 0xFFFFFFFF, 3, 4, 0, 0, 0});
    ASSERT_NE(part, 0u);
    Step(50, static_cast<int>(steps_before));
    EXPECT_EQ(DeleteObject(canvas), 0u);
    Step(100, 4);
    EXPECT_FALSE(Runs(part)) << steps_before;
  }
}

TEST_F(EffectEndTest, AGradientFadePutsItsSavedAlphaBackOnlyIntoThePictureItCameFrom) {
  const std::uint32_t canvas = NewCanvas();
  const std::uint32_t first = NewImage(64, 48);
  GetObjectImage(Handles().Get<CImageInterface>(first))->FillRectArgb(0xFF102030, nullptr);
  const std::uint32_t sprite = Call(402, {first, 0, 0, 64, 48, 0, 0});
  const std::uint32_t fade = Call(218, {canvas, Text("sp_gfade"), sprite, 500, 0, 8, 0});
  ASSERT_NE(fade, 0u);
  Step(100, 2);
  const std::uint32_t second = NewImage(64, 48);
  CImage& replaced = *GetObjectImage(Handles().Get<CImageInterface>(second));
  replaced.FillRectArgb(0x80405060, nullptr);
  ASSERT_EQ(Call(461, {sprite, second, 65535}), 0u);
  Step(100, 5);
  EXPECT_FALSE(Runs(fade));
  int changed = 0;
  for (std::int32_t y = 0; y < 48; ++y) {
    for (std::int32_t x = 0; x < 64; ++x) changed += replaced.GetPixel(x, y) != 0x80405060u;
  }
  EXPECT_EQ(changed, 0);
}

TEST_F(EffectEndTest, SpriteEffectsWhoseSpriteEndsEndWithoutTouchingIt) {
  const std::uint32_t canvas = NewCanvas();
  const std::uint32_t image = NewImage(64, 48);
  for (const int steps_before : {0, 2}) {
    const std::uint32_t small = NewImage(16, 16);
    const std::uint32_t sprite = Call(402, {image, 0, 0, 64, 48, 0, 0});
    const std::uint32_t fade = Call(218, {canvas, Text("sp_gfade"), sprite, 500, 0, 8, 0});
    ASSERT_NE(fade, 0u);
    Step(100, steps_before);
    ASSERT_EQ(Call(461, {sprite, small, 65535}), 0u) << "a smaller picture is never written outside";
    Step(100);
    EXPECT_EQ(DestroyDrawable(sprite), 0u);
    Step(100, 2);
    EXPECT_FALSE(Runs(fade)) << steps_before;
  }
}

TEST_F(EffectEndTest, ASpriteChangeStartedByAScriptLeavesTheScriptsSpritesAndPicturesToIt) {
  const std::uint32_t canvas = NewCanvas();
  const std::uint32_t old_image = NewImage(16, 16);
  const std::uint32_t new_image = NewImage(16, 16);
  const std::uint32_t old_sprite = NewSprite(old_image);
  const std::uint32_t new_sprite = NewSprite(new_image);
  ASSERT_EQ(Call(409, {canvas, new_sprite, 10, 0, 0}), 0u);
  const std::uint32_t change =
      Call(218, {canvas, Text("sp_change"), new_sprite, old_sprite, Text("i"), 0, 60, 0, 100, 0});
  ASSERT_NE(change, 0u);
  Step(50, 4);
  EXPECT_FALSE(Runs(change));
  EXPECT_NE(Handles().Get<CDrawable>(old_sprite), nullptr) << "the script's sprite lives on";
  EXPECT_NE(Handles().Get<CImageInterface>(old_image), nullptr);
  EXPECT_EQ(DestroyDrawable(old_sprite), 0u);
  EXPECT_EQ(DeleteObject(old_image), 0u);

  const std::uint32_t replaced = NewSprite(NewImage(16, 16));
  const std::uint32_t next = Call(218, {canvas, Text("sp_change"), new_sprite, replaced, Text("i"), 2, 60, 0, 400, 0});
  ASSERT_NE(next, 0u);
  Step(50);
  EXPECT_EQ(DestroyDrawable(new_sprite), 0u);
  Step(50, 2);
  EXPECT_FALSE(Runs(next)) << "a sprite that ends ends the change";
}

class MotionHandleTest : public ObjectEndTest {};

TEST_F(MotionHandleTest, AMotionIsATaskToTheTaskRows) {
  const std::uint32_t sprite = NewSprite(NewImage(16, 16));
  const std::uint32_t motion = Call(446, {sprite, 500, Text("(100,0,255)"), 0, 0, 65535, 1, 0x30, 1, 0});
  ASSERT_NE(motion, 0u);
  EXPECT_TRUE(Runs(motion));
  EXPECT_EQ(Call(214, {motion}), 1u) << "paused";
  EXPECT_TRUE(TaskOfHandle(Handles(), motion)->IsPaused());
  EXPECT_EQ(Call(216, {motion}), 1u) << "resumed";
  EXPECT_EQ(Call(516, {motion, 0, 0}), 0xFFFFFFFDu) << "a task of another kind";
  const std::uint32_t word = WordHolding(motion);
  EXPECT_EQ(Call(212, {word}), 1u) << "removed";
  EXPECT_EQ(WordAt(word), 0u);
  Step(0);
  EXPECT_FALSE(Runs(motion));
}

}  // namespace
