// The in-game message box run through its own loop: the test's frame procedure moves a fake
// clock, advances both timer managers and plays the player's part (pointer, keys, mouse); the
// root window records the sounds it is asked for.
#include "ui/dialogs/game_message_box.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "base/input/cursor_motion.h"
#include "base/input/input_manager.h"
#include "base/input/message_keyboard.h"
#include "base/input/mouse.h"
#include "base/system/app_hooks.h"
#include "base/time/timer_manager.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "message_box_pictures.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/drawables/draw_list.h"
#include "scene/motions/move_motion.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"
#include "ui/gui/cursor_glide_hook.h"
#include "ui/gui/gui_root_window.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/image_button.h"

namespace {

constexpr uint32_t kVkReturn = 0x0D;
constexpr uint32_t kVkEscape = 0x1B;
constexpr uint32_t kFrameTime = 20;
// A frame count no answer takes: the test's frame procedure ends the game there.
constexpr int kGiveUpFrame = 300;
constexpr char kShortText[] = "Quit?";

class RecordingRoot : public CGuiRootWindow {
 public:
  // The box's sounds; the buttons' own hover and decide sounds are theirs.
  int32_t PlaySound(const char*, int32_t id, int32_t, int32_t) override {
    if (id >= 0) channels.push_back(id);
    return 0;
  }
  std::vector<int32_t> channels;
};

struct Placed {
  plat::Rect box;
  std::vector<plat::Rect> buttons;
};

std::array<int32_t, 4> Corners(const plat::Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Where the drawable shows, as large as it is shown.
plat::Rect BoundsOf(const CDrawable& drawable) { return *drawable.GetBoundsPtr(); }

class MessageBoxTest : public gui_test::PictureFilesTest {
 protected:
  void SetUp() override {
    PictureFilesTest::SetUp();
    BuildPixelTables();
    g_DrawLayerFactory = &layers_;
    gui_test::WriteMessageBoxPictures(game_);
    ASSERT_EQ(frame_.Create(CMessageBox::kScreenWidth, CMessageBox::kScreenHeight, 32, CImagePart::kLayerAndDrawList),
              0u);
    input_.Create(kInputMethodMessages, kInputMethodMessages);
    input_.Activate();
    CInputBindings* bindings = input_.CreateBindings(6);
    bindings->AddBinding(4, kSelectKeyboard, 0x1C);  // decide: Return
    bindings->AddBinding(5, kSelectKeyboard, 0x01);  // cancel: Escape
    g_Keyboard = input_.GetKeyboard();
    g_Mouse = input_.GetMouse();
    g_KeyBindings = bindings;
    g_TimerManager = &timers_;
    g_PausableTimerManager = &pausable_;
    running_ = this;
    g_FrameProcedureHook = &RunTestFrame;
    box_.Setup();
    GuiRootWindow().SetTooltipFont(nullptr);
    box_.SetOwnerWindow(&root_);
  }
  void TearDown() override {
    g_ScreenManager = nullptr;
    g_FrameProcedureHook = nullptr;
    g_CursorGlideHook = nullptr;
    g_TimerManager = nullptr;
    g_PausableTimerManager = nullptr;
    g_Keyboard = nullptr;
    g_Mouse = nullptr;
    g_KeyBindings = nullptr;
    g_DrawLayerFactory = nullptr;
    PictureFilesTest::TearDown();
  }

  static int RunTestFrame() { return running_->Frame(); }
  int Frame() {
    clock_.Advance(kFrameTime);
    timers_.Advance(clock_.PreciseMilliseconds());
    pausable_.Advance(clock_.PreciseMilliseconds());
    if (++frames_ >= kGiveUpFrame) return 0;
    if (frames_ == 1) first_seen_ = Look();
    return player_ ? player_(frames_) : 1;
  }

  CDrawList& List() { return *static_cast<CDrawLayer*>(frame_.GetLayer())->GetAttachedList(); }
  // The box (listed first, so last at its priority) and the buttons in the root window's order.
  Placed Look() {
    Placed placed;
    if (!List().IsEmpty()) placed.box = BoundsOf(*List().Nodes().back().drawable);
    for (const CGuiElement* child : root_.GetChildren()) {
      placed.buttons.push_back({child->GetX(), child->GetY(), child->GetX() + child->GetWidth(),
                                child->GetY() + child->GetHeight()});
    }
    return placed;
  }
  const CGuiElement* Child(size_t index) const {
    auto it = root_.GetChildren().begin();
    std::advance(it, index);
    return *it;
  }
  void PressKey(uint32_t virtual_key) {
    static_cast<CMessageKeyboard*>(input_.GetKeyboard())->OnKeyDown(virtual_key, 0);
    input_.Update();
  }
  void ReleaseKey(uint32_t virtual_key) {
    static_cast<CMessageKeyboard*>(input_.GetKeyboard())->OnKeyUp(virtual_key);
    input_.Update();
  }
  void SetButton(uint32_t button, bool down) {
    static_cast<CMessageMouse*>(input_.GetMouse())->OnButton(button, down);
    input_.Update();
  }
  // Clicks the centre of the second button: over it, press, release.
  void ClickSecondButtonAt(int frame) {
    const CGuiElement* button = Child(1);
    pointer_.pointer = {button->GetX() + button->GetWidth() / 2, button->GetY() + button->GetHeight() / 2};
    if (frame == 3) SetButton(kMouseLeft, true);
    if (frame == 4) SetButton(kMouseLeft, false);
  }

  static inline MessageBoxTest* running_ = nullptr;
  ScopedFakeClock clock_;
  ScopedPixelLibrary pixels_;
  CDrawLayerFactory layers_;
  CImageCanvasEx frame_;
  CInputManager input_;
  CTimerManager timers_;
  CTimerManager pausable_;
  gui_test::FakeGuiApplication pointer_;
  RecordingRoot root_;
  CMessageBox box_;
  int frames_ = 0;
  Placed first_seen_;
  std::function<int(int)> player_;
};

TEST_F(MessageBoxTest, AShortLineMakesTheLeastBoxCentredWithItsButtonsBelowTheText) {
  struct Row {
    uint32_t flags;
    int32_t total_width;
    int32_t step;
    size_t buttons;
  };
  // One button, OK and Cancel, Yes and No, and set 3 as Yes and No.
  const std::vector<Row> rows = {{0, 56, 0, 1}, {1, 180, 104, 2}, {2, 152, 96, 2}, {3, 152, 96, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.flags);
    frames_ = 0;
    player_ = [&](int) {
      PressKey(kVkEscape);
      return 1;
    };
    EXPECT_EQ(box_.Show(row.flags, kShortText, CMessageBox::kCentred, CMessageBox::kCentred, -1, &frame_),
              CMessageBox::kCancelled);
    ReleaseKey(kVkEscape);
    const Placed& seen = first_seen_;
    EXPECT_EQ(Corners(seen.box), (std::array<int32_t, 4>{274, 233, 274 + 252, 233 + 134}));
    ASSERT_EQ(seen.buttons.size(), row.buttons);
    const int32_t inner_width = 252 - 26;
    EXPECT_EQ(seen.buttons[0].left - seen.box.left, 13 + (inner_width - row.total_width) / 2);
    EXPECT_EQ(seen.box.bottom - seen.buttons[0].top, 40);
    if (row.buttons == 2) {
      EXPECT_EQ(seen.buttons[1].left - seen.buttons[0].left, row.step);
      EXPECT_EQ(seen.buttons[1].top, seen.buttons[0].top);
    }
    // Everything the box made is gone with it.
    EXPECT_TRUE(List().IsEmpty());
    EXPECT_TRUE(root_.GetChildren().empty());
  }
  EXPECT_EQ(root_.channels, (std::vector<int32_t>{2, 2, 2, 2}));
}

TEST_F(MessageBoxTest, ClickingTheSecondButtonCancelsAndTheDecideKeyOnTheFirstDecides) {
  player_ = [&](int frame) {
    ClickSecondButtonAt(frame);
    return 1;
  };
  EXPECT_EQ(box_.Show(2, kShortText, CMessageBox::kCentred, CMessageBox::kCentred, -1, &frame_),
            CMessageBox::kCancelled);
  EXPECT_EQ(root_.channels, std::vector<int32_t>{2});

  struct Row {
    uint32_t flags;
    std::vector<int32_t> channels;
  };
  // Two buttons play channel 0, one button channel 1, flag bit 6 nothing.
  const std::vector<Row> rows = {{1, {0}}, {0, {1}}, {1 | CMessageBox::kNoDecideSound, {}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.flags);
    root_.channels.clear();
    frames_ = 0;
    pointer_.pointer = {CMessageBox::kScreenWidth - 1, CMessageBox::kScreenHeight - 1};  // parked: focus by key
    player_ = [&](int frame) {
      if (frame == 2) PressKey(kVkReturn);
      if (frame == 3) ReleaseKey(kVkReturn);
      return 1;
    };
    EXPECT_EQ(box_.Show(row.flags, kShortText, CMessageBox::kCentred, CMessageBox::kCentred, 0, &frame_),
              CMessageBox::kDecided);
    EXPECT_EQ(root_.channels, row.channels);
  }
}

TEST_F(MessageBoxTest, TheEndOfTheGameEndsTheBoxSilentlyAndWithoutOwnerOrListNothingShows) {
  player_ = [](int frame) { return frame < 3 ? 1 : 0; };
  EXPECT_EQ(box_.Show(1 | CMessageBox::kZoom, kShortText, 100, 100, -1, &frame_), CMessageBox::kGameEnded);
  EXPECT_TRUE(root_.channels.empty());
  EXPECT_TRUE(List().IsEmpty());
  pausable_.Advance(clock_.PreciseMilliseconds());
  EXPECT_EQ(pausable_.GetCount(), 0u);  // the zoom was ended with the box

  CImageCanvasEx bare;
  ASSERT_EQ(bare.Create(64, 64, 32, CImagePart::kLayer), 0u);
  EXPECT_EQ(box_.Show(1, kShortText, -1, -1, -1, &bare), CMessageBox::kNoWindow);
  box_.SetOwnerWindow(nullptr);
  EXPECT_EQ(box_.Show(1, kShortText, -1, -1, -1, &frame_), CMessageBox::kNoWindow);
  EXPECT_EQ(frames_, 3);
}

TEST_F(MessageBoxTest, ThePointerPlacesTheBoxUnlessItIsOffTheScreen) {
  player_ = [&](int) {
    PressKey(kVkEscape);
    return 1;
  };
  pointer_.pointer = {900, 100};
  box_.Show(1, kShortText, CMessageBox::kUnderPointer, CMessageBox::kUnderPointer, -1, &frame_);
  EXPECT_EQ(first_seen_.box.left, 274);
  EXPECT_EQ(first_seen_.box.top, 233);

  // The second button's centre comes under the pointer; near the corner the box stays on screen.
  struct Row {
    plat::Point pointer;
    bool clamped;
  };
  for (const Row row : {Row{{400, 300}, false}, Row{{20, 590}, true}}) {
    ReleaseKey(kVkEscape);
    frames_ = 0;
    pointer_.pointer = row.pointer;
    box_.Show(1, kShortText, CMessageBox::kUnderPointer, CMessageBox::kUnderPointer, 1, &frame_);
    const plat::Rect& second = first_seen_.buttons[1];
    if (row.clamped) {
      EXPECT_EQ(first_seen_.box.left, 0);
      EXPECT_EQ(first_seen_.box.bottom, CMessageBox::kScreenHeight);
    } else {
      EXPECT_EQ(second.left + second.Width() / 2, row.pointer.x);
      EXPECT_EQ(second.top + second.Height() / 2, row.pointer.y);
    }
  }
}

// The desktop as the glide sees it: the game screen at the origin, always active.
class GlideDesktop : public CursorMotionHost {
 public:
  bool IsActive() const override { return true; }
  plat::Point GameToScreen(plat::Point point) const override { return point; }
  plat::Point GetCursorPos() const override { return cursor; }
  void SetCursorPos(plat::Point point) override { cursor = point; }
  plat::Point cursor{10, 10};
};

TEST_F(MessageBoxTest, FocusGlidesThePointerToTheButtonAndWaitsForTheGlide) {
  static GlideDesktop desktop;
  static plat::Point glided_to;
  g_CursorGlideHook = [](int32_t x, int32_t y, uint32_t duration, CCursorMotion** task) -> int32_t {
    glided_to = {x, y};
    return CCursorMotion::Start(*g_TimerManager, desktop, x, y, duration, 0.0, kCursorMotionWhileActive, task);
  };
  pointer_.pointer = {10, 10};
  std::vector<plat::Point> cursor;
  player_ = [&](int frame) {
    cursor.push_back(desktop.cursor);
    // Only after the glide does the box read the keys: a press during it is not seen.
    if (frame == 2) PressKey(kVkEscape);
    if (frame == 3) ReleaseKey(kVkEscape);
    if (frame == 10) PressKey(kVkEscape);
    return 1;
  };
  EXPECT_EQ(box_.Show(1, kShortText, CMessageBox::kCentred, CMessageBox::kCentred, 1, &frame_),
            CMessageBox::kCancelled);
  EXPECT_EQ(frames_, 10);
  const plat::Rect& second = first_seen_.buttons[1];
  EXPECT_EQ(glided_to.x, second.left + second.Width() / 2);
  EXPECT_EQ(glided_to.y, second.top + second.Height() / 2);
  ASSERT_GE(cursor.size(), 10u);
  EXPECT_NE(cursor[1].x, glided_to.x);  // still on its way
  EXPECT_EQ(cursor[8].x, glided_to.x);  // there after 140 ms
  EXPECT_EQ(cursor[8].y, glided_to.y);
}

TEST_F(MessageBoxTest, TheZoomGrowsTheBoxFromItsCentreAndShrinksItAgain) {
  std::vector<plat::Rect> sizes;
  player_ = [&](int frame) {
    sizes.push_back(Look().box);
    if (frame == 12) PressKey(kVkEscape);
    return 1;
  };
  EXPECT_EQ(box_.Show(1 | CMessageBox::kZoom, kShortText, CMessageBox::kCentred, CMessageBox::kCentred, -1, &frame_),
            CMessageBox::kCancelled);
  ASSERT_GT(sizes.size(), 14u);
  EXPECT_LT(sizes.front().Width(), 252);
  EXPECT_EQ(Corners(sizes[10]), (std::array<int32_t, 4>{274, 233, 274 + 252, 233 + 134}));
  EXPECT_LT(sizes.back().Width(), 252);
  EXPECT_EQ(pausable_.GetCount(), 0u);
  EXPECT_TRUE(List().IsEmpty());
}

// How far heavy work has lowered the game's priority.
int g_priority_lowered = 0;

// Each slide lowers the game's priority while it runs and gives it back when it ends, whether it
// runs out, a second notice cuts it short or it is stopped.
TEST_F(MessageBoxTest, ASecondNoticeRestartsTheSlideWithItsText) {
  g_LowerPriorityHook = [] { return g_priority_lowered++; };
  g_RestorePriorityHook = [] { return g_priority_lowered--; };
  // The notice goes into the screen's frame, with no script's drawable id.
  CScreenManager screen;
  screen.SetFrameImage(&frame_);
  g_ScreenManager = &screen;
  screen.SetDrawableId(7);
  ASSERT_EQ(box_.ShowNotice("first notice"), 0u);
  ASSERT_NE(box_.GetNoticeTask(), nullptr);
  EXPECT_EQ(screen.GetDrawableId(), 7u);
  ASSERT_EQ(List().Nodes().size(), 1u);
  EXPECT_EQ(List().Nodes().front().drawable, &box_.GetNoticeSprite());
  EXPECT_EQ(List().Nodes().front().tag, 0xFFFFFFFFu);
  const int32_t first_width = box_.GetNoticeImage().GetWidth();
  for (int i = 0; i < 20; ++i) Frame();
  EXPECT_LT(box_.GetNoticeSprite().GetY(), 600);
  EXPECT_GT(box_.GetNoticeSprite().GetOpacity(), 0);

  ASSERT_EQ(box_.ShowNotice("the second, longer notice"), 0u);
  EXPECT_EQ(List().Nodes().size(), 1u);
  EXPECT_NE(box_.GetNoticeImage().GetWidth(), first_width);
  EXPECT_EQ(box_.GetNoticeSprite().GetY(), 600);
  EXPECT_EQ(box_.GetNoticeSprite().GetOpacity(), 0);
  pausable_.Advance(clock_.PreciseMilliseconds());
  EXPECT_EQ(pausable_.GetCount(), 1u);  // the first slide has ended
  EXPECT_TRUE(pausable_.Contains(box_.GetNoticeTask()));
  EXPECT_EQ(g_priority_lowered, 1);

  // The slide runs out on its own: up, held, and down out of view.
  for (int i = 0; i < 200 && box_.GetNoticeTask() != nullptr; ++i) Frame();
  EXPECT_EQ(box_.GetNoticeTask(), nullptr);
  EXPECT_EQ(box_.GetNoticeSprite().GetY(), 600);
  EXPECT_EQ(g_priority_lowered, 0);

  ASSERT_EQ(box_.ShowNotice("stopped"), 0u);
  EXPECT_EQ(g_priority_lowered, 1);
  box_.StopNotice();
  EXPECT_EQ(box_.GetNoticeTask(), nullptr);
  pausable_.Advance(clock_.PreciseMilliseconds());
  EXPECT_EQ(pausable_.GetCount(), 0u);
  EXPECT_EQ(g_priority_lowered, 0);
  g_LowerPriorityHook = nullptr;
  g_RestorePriorityHook = nullptr;
}

}  // namespace
