#include "ui/dialogs/game_message_box.h"

#include <algorithm>
#include <array>
#include <memory>

#include "base/input/cursor_motion.h"
#include "base/input/input_bindings.h"
#include "base/input/mouse.h"
#include "base/numbers/little_endian.h"
#include "base/settings/game_settings.h"
#include "base/system/app_hooks.h"
#include "base/time/millisecond_clock.h"
#include "base/time/timer_manager.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "gfx/image_operations/image_part.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/motions/resize_motion.h"
#include "scene/sprites/sprite_on_layer.h"
#include "ui/fonts/text_image.h"
#include "ui/gui/cursor_glide_hook.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widgets/image_button.h"

namespace {

// The frame pieces and buttons, as the data files hold them.
constexpr const char* kTopLeft = "SYS/IF_LT.ELG";
constexpr const char* kTopRight = "SYS/IF_RT.ELG";
constexpr const char* kBottomLeft = "SYS/IF_LB.ELG";
constexpr const char* kBottomRight = "SYS/IF_RB.ELG";
constexpr const char* kTopBar = "SYS/IF_TBAR.ELG";
constexpr const char* kBottomBar = "SYS/IF_BBAR.ELG";
constexpr const char* kLeftBar = "SYS/IF_LBAR.ELG";
constexpr const char* kRightBar = "SYS/IF_RBAR.ELG";
constexpr const char* kOk = "SYS/IF_OK.ELG";
constexpr const char* kCancel = "SYS/IF_CANCL.ELG";
constexpr const char* kYes = "SYS/IF_YES.ELG";
constexpr const char* kNo = "SYS/IF_NO.ELG";
constexpr const char* kSingleOk = "SYS/IF_OK2.ELG";
// The order in which the set-up lets the cache drop them.
constexpr std::array<const char*, 13> kPictures = {kOk,          kCancel,   kYes,      kNo,     kSingleOk,
                                                   kTopLeft,     kTopRight, kBottomLeft, kBottomRight,
                                                   kLeftBar,     kRightBar, kTopBar,   kBottomBar};

constexpr const char* kFace = "SimSun";
constexpr uint32_t kInteriorArgb = 0x8008112D;
// The text area is at least this large; the text is centred in it.
constexpr int32_t kLeastTextWidth = 194;
constexpr int32_t kLeastTextHeight = 69;
// The inner panel around the text area, and the frame around the panel.
constexpr int32_t kInnerExtraWidth = 32;
constexpr int32_t kInnerExtraHeight = 55;
constexpr int32_t kFrameLeft = 13;
constexpr int32_t kFrameTop = 5;
constexpr int32_t kTextLeft = 31;
constexpr int32_t kTextTop = 17;
// The buttons' top lies this far above the box's bottom.
constexpr int32_t kButtonRise = 40;
constexpr uint32_t kPriority = 100;
constexpr uint8_t kBlendMode = 2;
// The pointer parked at the screen's last pixel is left where it is.
constexpr int32_t kParkedX = CMessageBox::kScreenWidth - 1;
constexpr int32_t kParkedY = CMessageBox::kScreenHeight - 1;
constexpr uint32_t kGlideTime = 140;
constexpr uint32_t kZoomTime = 140;
constexpr uint32_t kCancelAction = 5;
constexpr int32_t kDecideChannel = 0;
constexpr int32_t kSingleButtonChannel = 1;
constexpr int32_t kCancelChannel = 2;
constexpr uint32_t kDefaultHintDelay = 750;

struct ButtonSet {
  const char* first;
  const char* second;  // null: one button
  int32_t total_width;
  int32_t step;
};

ButtonSet ButtonSetOf(uint32_t flags) {
  switch (flags & CMessageBox::kButtonSetMask) {
    case 0:
      return {kSingleOk, nullptr, 56, 0};
    case 1:
      return {kOk, kCancel, 180, 104};
    default:
      return {kYes, kNo, 152, 96};
  }
}

// Where the box and its text lie for a text of the given size.
struct BoxLayout {
  int32_t inner_width = 0;
  int32_t inner_height = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t text_x = 0;
  int32_t text_y = 0;
};

BoxLayout LayOut(TextSize text) {
  BoxLayout layout;
  const int32_t area_width = std::max(text.cx, kLeastTextWidth);
  const int32_t area_height = std::max(text.cy, kLeastTextHeight);
  layout.text_x = kTextLeft + (text.cx < kLeastTextWidth ? (kLeastTextWidth - text.cx) >> 1 : 0);
  layout.text_y = kTextTop + (text.cy < kLeastTextHeight ? (kLeastTextHeight - text.cy) >> 1 : 0);
  layout.inner_width = area_width + kInnerExtraWidth;
  layout.inner_height = area_height + kInnerExtraHeight;
  layout.width = layout.inner_width + 2 * kFrameLeft;
  layout.height = layout.inner_height + 2 * kFrameTop;
  return layout;
}

// One frame of the game: false when the game ends or returns to the title meanwhile.
bool RunGameFrame() { return g_FrameProcedureHook != nullptr && g_FrameProcedureHook() != 0; }

CDrawList* AttachedListOf(CImagePart* part) {
  if (part == nullptr) return nullptr;
  auto* layer = dynamic_cast<CDrawLayer*>(part->GetLayer());
  return layer != nullptr ? layer->GetAttachedList() : nullptr;
}

plat::Point CentreOf(const CImageButton& button) {
  return {button.GetX() + button.GetWidth() / 2, button.GetY() + button.GetHeight() / 2};
}

// Paints the button's face as it looks now into the box picture, at its place in the box.
void PaintButtonInto(CImage& box, const CImageButton& button, plat::Point box_origin) {
  // Copy only reads its source.
  auto* face = const_cast<CImage*>(button.GetImage());
  if (face == nullptr) return;
  const plat::Rect source = button.GetFace().GetSource();
  box.Copy(face, button.GetX() - box_origin.x, button.GetY() - box_origin.y, &source, false);
}

std::unique_ptr<CResizeMotion> MakeZoom(double ease) {
  ResizeMotionOptions options;
  options.segment_time = kZoomTime;
  options.ease = ease;
  options.lower_priority = true;
  options.horizontal_anchor = CResizeMotion::kAnchorCentre;
  options.vertical_anchor = CResizeMotion::kAnchorCentre;
  options.fixed_origin = true;
  options.opacity = true;
  return std::make_unique<CResizeMotion>(options);
}

}  // namespace

// One question on screen: the picture, the sprite that shows it and the buttons. Destroying it
// takes the buttons out of the owner window and everything out of the layer.
class CMessageBox::Box {
 public:
  Box(CMessageBox& owner_box, uint32_t flags) : box_(owner_box), flags_(flags), set_(ButtonSetOf(flags)) {}

  int32_t Ask(const char* text, int32_t x, int32_t y, int32_t focus, CImagePart* part);

 private:
  void Compose(const char* text);
  void PlaceButtons(CDrawList& list);
  void MoveUnderPointer(plat::Point pointer, int32_t focus);
  void MoveAll(int32_t dx, int32_t dy);
  // The second button when there are two and focus is not 0, else the first.
  CImageButton* FocusButton(int32_t focus) const {
    return buttons_[1] && focus != 0 ? buttons_[1].get() : buttons_[0].get();
  }
  // Where the box's top-left lies (the zoom moves the sprite meanwhile).
  plat::Point Origin() const { return place_; }
  // Starts the box's zoom open: false when it cannot start (the box is then open at once).
  bool StartZoomOpen();
  // Waits for the zoom open and shows the buttons; false when the game ended meanwhile.
  bool FinishZoomOpen();
  // Zooms the box closed with the buttons painted into it; false when the game ended meanwhile.
  bool ZoomClosed();
  // Runs frames while the zoom runs: false when the game ended (the zoom is ended too).
  bool WaitForZoom();
  int32_t Decide();
  void PlayAnswerSound(int32_t result) const;
  template <class Visit>
  void ForEachButton(Visit visit) const {
    for (const auto& button : buttons_) {
      if (button) visit(*button);
    }
  }

  CMessageBox& box_;
  uint32_t flags_;
  ButtonSet set_;
  BoxLayout layout_;
  plat::Point place_{};
  CImage image_;
  // Shows the image; it goes before the image.
  CSprite sprite_;
  std::array<std::unique_ptr<CImageButton>, 2> buttons_;
  // The running zoom; its manager clears this when the zoom ends.
  CResizeMotion* zoom_ = nullptr;
};

void CMessageBox::Box::Compose(const char* text) {
  TextSize size;
  if (box_.box_font_.MeasureText(text, &size, nullptr, nullptr, 1, nullptr) == 0) size = {};
  layout_ = LayOut(size);
  const int32_t iw = layout_.inner_width;
  const int32_t ih = layout_.inner_height;
  image_.Create(layout_.width, layout_.height, 32, 0);
  image_.LoadFileInto(kTopLeft, nullptr, 0, 0, 0, false);
  image_.LoadFileInto(kTopRight, nullptr, 0, iw + kFrameLeft, 0, false);
  image_.LoadFileInto(kBottomLeft, nullptr, 0, 0, ih + kFrameTop, false);
  image_.LoadFileInto(kBottomRight, nullptr, 0, iw + kFrameLeft, ih + kFrameTop, false);
  CImage piece;
  if (piece.LoadFile32(kTopBar, nullptr, 0, 0) == 0) {
    for (int32_t c = kFrameLeft; c < iw + kFrameLeft; ++c) image_.Copy(&piece, c, 0, nullptr, false);
  }
  if (piece.LoadFile32(kBottomBar, nullptr, 0, 0) == 0) {
    for (int32_t c = kFrameLeft; c < iw + kFrameLeft; ++c) image_.Copy(&piece, c, ih + kFrameTop, nullptr, false);
  }
  if (piece.LoadFile32(kLeftBar, nullptr, 0, 0) == 0) {
    for (int32_t r = kFrameTop; r < ih + kFrameTop; ++r) image_.Copy(&piece, 0, r, nullptr, false);
  }
  if (piece.LoadFile32(kRightBar, nullptr, 0, 0) == 0) {
    for (int32_t r = kFrameTop; r < ih + kFrameTop; ++r) image_.Copy(&piece, iw + kFrameLeft, r, nullptr, false);
  }
  image_.FillRectArgbXYWH(kFrameLeft, kFrameTop, iw, ih, kInteriorArgb);
  text_image::DrawString(image_, layout_.text_x, layout_.text_y, text, &box_.box_font_);
}

void CMessageBox::Box::PlaceButtons(CDrawList& list) {
  const int32_t left = (layout_.inner_width - set_.total_width) / 2 + place_.x + kFrameLeft;
  const int32_t top = place_.y + layout_.height - kButtonRise;
  const std::array<const char*, 2> pictures = {set_.first, set_.second};
  for (size_t i = 0; i < buttons_.size() && pictures[i] != nullptr; ++i) {
    auto button = std::make_unique<CImageButton>();
    button->CreateFromFile(&list, kPriority, pictures[i], false, true, left + static_cast<int32_t>(i) * set_.step, top,
                           kBlendMode, 255, -1, -1, 0);
    button->SetId(i == 0 ? kDecided : kCancelled);
    box_.owner_->AddChild(button.get(), -1);
    buttons_[i] = std::move(button);
  }
}

void CMessageBox::Box::MoveAll(int32_t dx, int32_t dy) {
  place_ = {place_.x + dx, place_.y + dy};
  sprite_.MoveBy(dx, dy);
  ForEachButton([&](CImageButton& button) { button.SetPosition(button.GetX() + dx, button.GetY() + dy); });
}

// The box goes where the button to be focused lies under the pointer, kept on the screen.
void CMessageBox::Box::MoveUnderPointer(plat::Point pointer, int32_t focus) {
  const CImageButton* reference = FocusButton(focus);
  const plat::Point centre = CentreOf(*reference);
  const plat::Point origin = Origin();
  const int32_t x = std::clamp(pointer.x - (centre.x - origin.x), 0, kScreenWidth - layout_.width);
  const int32_t y = std::clamp(pointer.y - (centre.y - origin.y), 0, kScreenHeight - layout_.height);
  MoveAll(x - origin.x, y - origin.y);
}

bool CMessageBox::Box::StartZoomOpen() {
  const plat::Point origin = Origin();
  ForEachButton([&](CImageButton& button) {
    PaintButtonInto(image_, button, origin);
    button.SetOpacity(0);
  });
  sprite_.SetSizeAndPosition(1, 1, origin.x + layout_.width / 2, origin.y + layout_.height / 2);
  sprite_.SetOpacity(0);
  std::unique_ptr<CResizeMotion> zoom = MakeZoom(-2.0);
  const std::array<int32_t, 3> point = {layout_.width, layout_.height, 255};
  if (zoom->SetPoints(point) == 0 && zoom->Start(g_PausableTimerManager, &sprite_) == 0) {
    zoom_ = zoom.release();
    zoom_->SetOwnerReference(&zoom_);
    return true;
  }
  // The box opens at once.
  sprite_.SetSizeAndPosition(0, 0, origin.x, origin.y);
  sprite_.SetOpacity(255);
  return false;
}

bool CMessageBox::Box::WaitForZoom() {
  while (zoom_ != nullptr) {
    if (RunGameFrame()) continue;
    if (zoom_ != nullptr && g_PausableTimerManager != nullptr) g_PausableTimerManager->Remove(zoom_);
    return false;
  }
  return true;
}

bool CMessageBox::Box::FinishZoomOpen() {
  if (!WaitForZoom()) return false;
  const plat::Point origin = Origin();
  ForEachButton([&](CImageButton& button) {
    image_.FillRectArgbXYWH(button.GetX() - origin.x, button.GetY() - origin.y, button.GetWidth(), button.GetHeight(),
                            kInteriorArgb);
    button.SetOpacity(255);
  });
  sprite_.SetSize(0, 0);
  return true;
}

bool CMessageBox::Box::ZoomClosed() {
  std::unique_ptr<CResizeMotion> zoom = MakeZoom(2.0);
  const std::array<int32_t, 3> point = {1, 1, 0};
  const plat::Point origin = Origin();
  if (zoom->SetPoints(point) != 0 || zoom->Start(g_PausableTimerManager, &sprite_) != 0) return true;
  zoom_ = zoom.release();
  zoom_->SetOwnerReference(&zoom_);
  ForEachButton([&](CImageButton& button) {
    PaintButtonInto(image_, button, origin);
    button.SetOpacity(0);
  });
  sprite_.SetDirty(true);
  return WaitForZoom();
}

int32_t CMessageBox::Box::Decide() {
  CGuiRootWindow& owner = *box_.owner_;
  for (;;) {
    if (!RunGameFrame()) return kGameEnded;
    if (owner.ProcessInput(ReadMillisecondClock()) > 0 && owner.GetCommandId() >= 0) return owner.TakeCommandId();
    const CInputBindings* bindings = owner.GetInputBindings();
    const CMouse* mouse = owner.GetMouse();
    if ((bindings != nullptr && bindings->IsActionPressed(kCancelAction)) ||
        (mouse != nullptr && mouse->IsPressed(kMouseRight))) {
      return kCancelled;
    }
  }
}

void CMessageBox::Box::PlayAnswerSound(int32_t result) const {
  int32_t channel = kCancelChannel;
  if (result != kCancelled) {
    if ((flags_ & kNoDecideSound) != 0) return;
    channel = set_.second == nullptr ? kSingleButtonChannel : kDecideChannel;
  }
  box_.owner_->PlaySound(nullptr, channel, 0, 0);
}

int32_t CMessageBox::Box::Ask(const char* text, int32_t x, int32_t y, int32_t focus, CImagePart* part) {
  CGuiRootWindow& owner = *box_.owner_;
  plat::Point pointer{};
  bool under_pointer = false;
  if (x == kUnderPointer) {
    owner.GetMousePos(pointer.x, pointer.y);
    under_pointer = pointer.x >= 0 && pointer.y >= 0 && pointer.x < kParkedX && pointer.y < kParkedY;
    x = kCentred;
    if (!under_pointer) y = kCentred;
  }
  Compose(text);
  if (x == kCentred) x = (kScreenWidth - layout_.width) / 2;
  if (y == kCentred) y = (kScreenHeight - layout_.height) / 2;
  place_ = {x, y};
  SpritePlacement placement;
  placement.x = x;
  placement.y = y;
  placement.priority = kPriority;
  placement.attached_list = true;
  placement.part = part;
  ShowSpriteOnLayer(&sprite_, &image_, kBlendMode, 255, placement);
  PlaceButtons(*AttachedListOf(part));
  if (under_pointer) MoveUnderPointer(pointer, focus);

  const bool zoom = (flags_ & kZoom) != 0 && StartZoomOpen();
  if (focus >= 0 && box_.PointAtButton(FocusButton(focus), true, nullptr) == kGameEnded) return kGameEnded;
  if (zoom && !FinishZoomOpen()) return kGameEnded;
  const int32_t result = Decide();
  if (result == kGameEnded) return kGameEnded;
  PlayAnswerSound(result);
  if ((flags_ & kZoom) != 0 && !ZoomClosed()) return kGameEnded;
  return result;
}

CMessageBox::CMessageBox(const plat::FontFaceFactory& open_face)
    : tooltip_font_(open_face), notice_font_(open_face), box_font_(open_face) {}

CMessageBox::~CMessageBox() = default;

void CMessageBox::Setup() {
  fonts_pending_ = true;
  if (fonts_opened_) ReadyFonts();
  tooltip_font_.text_color = Rgb{0, 0, 0};
  tooltip_font_.line_spacing = 3;
  CGuiRootWindow& root = GuiRootWindow();
  const bool hints_on = g_UserConfig != nullptr && (*g_UserConfig)[kSettingHintsOn] != 0;
  const uint32_t hint_delay =
      g_UserConfig != nullptr ? LoadLe32(&(*g_UserConfig)[kSettingHintDelay]) : kDefaultHintDelay;
  root.SetTooltipMode(hints_on, hint_delay, 0);
  root.SetTooltipFont(&tooltip_font_, [this] { ReadyFonts(); });

  notice_font_.text_color = Rgb{255, 240, 0};
  notice_font_.decoration = 2;
  notice_font_.decoration_color = Rgb{0, 0, 0};
  notice_font_.shadow_x = 0;
  notice_font_.shadow_y = 0;
  box_font_.line_spacing = 4;
  box_font_.text_color = Rgb{255, 255, 255};
  box_font_.decoration = 2;
  box_font_.decoration_color = Rgb{46, 138, 192};
  box_font_.shadow_x = 0;
  box_font_.shadow_y = 0;

  if (g_GllHost != nullptr) {
    for (const char* picture : kPictures) g_GllHost->ReleaseCachedImage(picture);
  }
  owner_ = &root;
}

void CMessageBox::ReadyFonts() const {
  if (!fonts_pending_) return;
  fonts_pending_ = false;
  fonts_opened_ = true;
  tooltip_font_.SetFont(14, 0, 0, kFace);
  notice_font_.SetFont(16, 1, 0, kFace);
  box_font_.SetFont(19, 0, 0, kFace);
}

int32_t CMessageBox::Show(uint32_t flags, const char* text, int32_t x, int32_t y, int32_t focus, CImagePart* layer) {
  ReadyFonts();
  CImagePart* part = layer;
  if (part == nullptr && g_ScreenManager != nullptr) part = g_ScreenManager->GetFrameImage();
  if (owner_ == nullptr || AttachedListOf(part) == nullptr) return kNoWindow;
  const bool pushed = owner_->PushModalLevel() == 0;
  // The box is gone before the level it hid comes back.
  const int32_t result = Box(*this, flags).Ask(text, x, y, focus, part);
  if (pushed) owner_->PopModalLevel();
  return result;
}

int32_t CMessageBox::PointAtButton(CImageButton* button, bool wait, CCursorMotion** task) {
  if (button == nullptr || owner_ == nullptr) return kNoWindow;
  int32_t x = 0;
  int32_t y = 0;
  owner_->GetMousePos(x, y);
  const bool parked = x == kParkedX && y == kParkedY;
  if (g_CursorGlideHook == nullptr || button->GetImage() == nullptr || parked) {
    owner_->SetFocusTo(button);
    return kFocusedByKey;
  }
  const plat::Point centre = CentreOf(*button);
  CCursorMotion* glide = nullptr;
  g_CursorGlideHook(centre.x, centre.y, kGlideTime, &glide);
  if (task != nullptr) *task = glide;
  if (!wait) return 0;
  while (glide != nullptr && g_TimerManager != nullptr && g_TimerManager->Contains(glide)) {
    if (!RunGameFrame()) return kGameEnded;
  }
  return 0;
}
