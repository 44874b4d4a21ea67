#include "ui/gui/gui_root_window.h"

#include <array>

#include "base/input/input_manager.h"
#include "base/time/millisecond_clock.h"
#include "base/input/mouse.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/display/screen_manager.h"
#include "scene/drawables/draw_layer.h"
#include "platform/window/cursor.h"
#include "sound/sound_channel_manager.h"
#include "ui/fonts/font_base.h"
#include "ui/gui/gui_element.h"

IGuiApplication* g_GuiApplication = nullptr;

namespace {

constexpr int32_t kImageButtonType = 0;
constexpr int32_t kCheckButtonType = 1;

// The system cursors of plat::SetSystemCursor's order that the cursor modes use.
constexpr int kArrow = 0;
constexpr int kIBeam = 3;
constexpr int kSizeAll = 5;
constexpr int kSizeNs = 7;

struct CursorModeShape {
  int system_index;
  int resource_id;  // 0: the system cursor
  int32_t tooltip_offset_y;
};

constexpr std::array<CursorModeShape, CGuiRootWindow::kCursorModeCount> kCursorModes = {{
    {kArrow, 0, 20},
    {kArrow, CGuiRootWindow::kCursorResourceHand, 24},
    {kArrow, 0, 20},
    {kSizeAll, 0, 22},
    {kIBeam, 0, 9},
    {kArrow, CGuiRootWindow::kCursorResourceSmall, 4},
    {kSizeNs, 0, 22},
}};

// The tooltip's look: a pale body, a blue frame and a shadow at the right and bottom.
constexpr int32_t kTooltipMargin = 10;
constexpr int32_t kTooltipShadow = 4;
constexpr int32_t kTooltipTextOffset = 3;
constexpr uint32_t kTooltipBody = 0xD0FFFFE1;
constexpr uint32_t kTooltipFrame = 0xFF445F97;
constexpr uint32_t kTooltipShadowColour = 0x80000000;
// Where the tooltip's sprite lies and how it is blended: on top, by the image's alpha.
constexpr uint32_t kTooltipPriority = 0;
constexpr uint32_t kTooltipTag = 255;
constexpr uint8_t kTooltipBlendMode = 2;

}  // namespace

void CRootCommandListener::OnClick(CGuiElement* element, int32_t /*value*/) {
  if (element != nullptr) window_.OnCommand(element->GetId());
}

CGuiRootWindow& GuiRootWindow() {
  static CGuiRootWindow window;
  return window;
}

void CGuiRootWindow::SetMousePos(int32_t x, int32_t y) {
  if (g_GuiApplication != nullptr) g_GuiApplication->SetPointerPos(x, y);
}

void CGuiRootWindow::GetMousePos(int32_t& x, int32_t& y) {
  const plat::Point point = g_GuiApplication != nullptr ? g_GuiApplication->GetPointerPos() : plat::Point{-1, -1};
  x = point.x;
  y = point.y;
}

bool CGuiRootWindow::SetCursorMode(int32_t mode) {
  if (mode == cursor_mode_) return true;
  if (mode < 0 || mode >= kCursorModeCount) return false;
  const CursorModeShape& shape = kCursorModes[static_cast<size_t>(mode)];
  if (g_Mouse != nullptr) g_Mouse->SetCursorShape(shape.system_index, shape.resource_id);
  cursor_mode_ = mode;
  tooltip_offset_y_ = shape.tooltip_offset_y;
  return true;
}

void CGuiRootWindow::ShowCursor(bool show) {
  if (g_GuiApplication != nullptr) g_GuiApplication->ShowCursor(show);
}

uint32_t CGuiRootWindow::RestartHoverTimer() {
  hover_start_ = ReadMillisecondClock();
  return hover_start_;
}

int32_t CGuiRootWindow::GetScreenWidth() const { return g_ScreenManager != nullptr ? g_ScreenManager->GetScreenRect().right : 0; }

int32_t CGuiRootWindow::GetScreenHeight() const {
  return g_ScreenManager != nullptr ? g_ScreenManager->GetScreenRect().bottom : 0;
}

int32_t CGuiRootWindow::PlaySound(const char* /*name*/, int32_t id, int32_t /*a3*/, int32_t /*a4*/) {
  if (sound_channels_ == nullptr) return kNoSound;
  if (id >= 0) return sound_channels_->PlayChannel(id, false);
  if (id < kSoundDecide || id > kSoundLeave) return kNoSound;
  const int32_t channel = standard_sounds_[id - kSoundDecide];
  return channel < 0 ? kNoSound : sound_channels_->PlayChannel(channel, false);
}

void CGuiRootWindow::SetStandardSounds(int32_t decide, int32_t enter, int32_t leave) {
  standard_sounds_[0] = decide;
  standard_sounds_[1] = enter;
  standard_sounds_[2] = leave;
}

void CGuiRootWindow::NotifyTextInput(uint32_t flag) {
  if (g_GuiApplication != nullptr) g_GuiApplication->SendImeMessage(flag);
}

CInputBindings* CGuiRootWindow::GetInputBindings() { return g_KeyBindings; }

CKeyboard* CGuiRootWindow::GetKeyboard() { return g_Keyboard; }

CMouse* CGuiRootWindow::GetMouse() { return g_Mouse; }

void CGuiRootWindow::Reset() {
  command_id_ = -1;
  CGuiWindow::Reset();
}

int32_t CGuiRootWindow::TakeCommandId() {
  const int32_t id = command_id_;
  command_id_ = -1;
  return id;
}

void CGuiRootWindow::SetTooltipLayer(CImagePart* part) {
  if (tooltip_sprite_.GetOwnerList() != nullptr) tooltip_sprite_.GetOwnerList()->Remove(&tooltip_sprite_);
  tooltip_visible_ = false;
  tooltip_part_ = part;
}

bool CGuiRootWindow::IsOverButton(int32_t x, int32_t y) const {
  for (const CGuiElement* child : GetChildren()) {
    const int32_t type = child->GetType();
    if ((type == kImageButtonType || type == kCheckButtonType) && child->HitTest(x, y)) return true;
  }
  return false;
}

bool CGuiRootWindow::DrawTooltipImage(const char* text) {
  TextSize size;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  if (tooltip_font_->MeasureText(text, &size, &offset_x, &offset_y, 1, nullptr) == 0) return false;
  const plat::Rect bounds = tooltip_font_->GetRotatedBounds(offset_x, offset_y, size.cx, size.cy);
  const int32_t width = bounds.Width() + kTooltipMargin;
  const int32_t height = bounds.Height() + kTooltipMargin;
  if (tooltip_image_.Create(width, height, 32, 0) != 0) return false;
  const int32_t inner_width = width - kTooltipShadow;
  const int32_t inner_height = height - kTooltipShadow;
  tooltip_image_.FillRectArgbXYWH(1, 1, width - 6, height - 6, kTooltipBody);
  tooltip_image_.FillRectArgbXYWH(0, 0, inner_width, 1, kTooltipFrame);
  tooltip_image_.FillRectArgbXYWH(0, inner_height - 1, inner_width, 1, kTooltipFrame);
  tooltip_image_.FillRectArgbXYWH(0, 0, 1, inner_height, kTooltipFrame);
  tooltip_image_.FillRectArgbXYWH(inner_width - 1, 0, 1, inner_height, kTooltipFrame);
  tooltip_image_.FillRectArgbXYWH(inner_width, 0, kTooltipShadow, kTooltipShadow, 0);
  tooltip_image_.FillRectArgbXYWH(inner_width, kTooltipShadow, kTooltipShadow, inner_height - kTooltipShadow,
                                  kTooltipShadowColour);
  tooltip_image_.FillRectArgbXYWH(0, inner_height, kTooltipShadow, kTooltipShadow, 0);
  tooltip_image_.FillRectArgbXYWH(kTooltipShadow, inner_height, width - kTooltipShadow, kTooltipShadow,
                                  kTooltipShadowColour);
  tooltip_font_->DrawText(&tooltip_image_, kTooltipTextOffset - bounds.left, kTooltipTextOffset - bounds.top, text,
                          nullptr, nullptr);
  return true;
}

plat::Point CGuiRootWindow::PlaceTooltip(int32_t x, int32_t y) const {
  const CImage* layer_image = tooltip_part_->GetImage();
  const int32_t width = tooltip_image_.GetWidth();
  const int32_t height = tooltip_image_.GetHeight();
  plat::Point place{x + tooltip_offset_x_, y + tooltip_offset_y_};
  if (place.x + width > layer_image->GetWidth()) place.x = layer_image->GetWidth() - width;
  if (place.y + height > layer_image->GetHeight()) place.y = y - height;
  return place;
}

void CGuiRootWindow::ShowTooltip(const char* text, int32_t x, int32_t y) {
  if (tooltip_font_ == nullptr || tooltip_part_ == nullptr || tooltip_part_->GetLayer() == nullptr) return;
  if (tooltip_font_ready_) tooltip_font_ready_();
  if (!DrawTooltipImage(text)) return;
  tooltip_position_ = PlaceTooltip(x, y);
  tooltip_visible_ = true;
  ShowTooltipSprite();
}

void CGuiRootWindow::ShowTooltipSprite() {
  auto* layer = dynamic_cast<CDrawLayer*>(tooltip_part_->GetLayer());
  if (layer == nullptr) return;
  if (tooltip_sprite_.GetOwnerList() == nullptr) {
    // Above the sprites of the attached list; a part whose layer has none lists it in the
    // layer's own list, so that the tooltip still shows.
    CDrawList* list = layer->GetAttachedList() != nullptr ? layer->GetAttachedList() : &layer->GetOwnList();
    list->Insert(&tooltip_sprite_, kTooltipPriority, kTooltipTag);
  }
  tooltip_sprite_.SetImage(&tooltip_image_, nullptr, tooltip_position_.x, tooltip_position_.y);
  tooltip_sprite_.SetBlendMode(kTooltipBlendMode);
  tooltip_sprite_.SetEnabled(true);
}

uint32_t CGuiRootWindow::HideTooltipImage() {
  tooltip_visible_ = false;
  tooltip_sprite_.SetEnabled(false);
  return 0;
}

bool CGuiRootWindow::BeginInput(uint32_t time, bool& /*moved*/, int32_t x, int32_t y) {
  if (IsTooltipShown() && tooltip_part_ != nullptr && tooltip_image_.GetPixels() != nullptr) {
    tooltip_position_ = PlaceTooltip(x, y);
    tooltip_sprite_.SetPosition(tooltip_position_.x, tooltip_position_.y);
  }
  // The next child is taken before the tick, so that a child may leave the window in its tick.
  const auto& children = GetChildren();
  for (auto next = children.begin(); next != children.end();) {
    CGuiElement* child = *next++;
    if (child->IsEnabled() && child->IsActive()) child->Tick(time);
  }
  return true;
}

bool CGuiRootWindow::DeliverTextInput(CGuiElement* focused) {
  if (focused == nullptr || g_GuiApplication == nullptr) return false;
  return g_GuiApplication->DeliverTextInput(focused);
}
