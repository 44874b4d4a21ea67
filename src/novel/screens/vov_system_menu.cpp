// The novel frame's system menu: a panel of image buttons from a layout file on a base picture,
// slid in from the right edge over the page and run modally until the reader picks an item or
// closes it. Its results tell the system-button handler which command to carry out.
#include <array>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/system/app_services.h"
#include "base/time/millisecond_clock.h"
#include "base/time/timer_manager.h"
#include "gfx/display/screen_manager.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/images/image.h"
#include "novel/frame/vov_frame.h"
#include "novel/screens/slide_motion.h"
#include "novel/screens/vov_select_screen.h"
#include "novel/screens/vov_system_prompts.h"
#include "novel/text/widget_group_scope.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/window_messages.h"
#include "platform/system/diagnostic_log.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"
#include "ui/gui/gui_root_window.h"
#include "ui/layouts/dgm_image_file.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/check_button.h"

using vov_system::ActionPressed;
using vov_system::AskUtf8;
using vov_system::kCloseChannel;
using vov_system::MousePressed;
using vov_system::Permitted;
using vov_system::PlaySystemSound;
using vov_system::Setting;

namespace {

constexpr std::int32_t kMenuGroup = 5;
// Above the message window and its buttons (a lower number lies above), the items over the base.
constexpr std::uint32_t kItemPriority = 100;
constexpr std::uint32_t kBasePriority = 110;
constexpr std::int32_t kMenuChannel = 1;
constexpr std::uint16_t kAutoTimer = 1;
// The base stands at x 614 once in, the items 10 pixels further right; both slide in from 186
// pixels to the right (the base from the screen's right edge) in 150 ms.
constexpr std::int32_t kBaseX = 614;
constexpr std::int32_t kSlideDistance = 186;
constexpr std::uint32_t kSlideTime = 150;
constexpr std::uint32_t kClosingFadeTime = 500;

constexpr std::size_t kFullItems = 11;
constexpr std::array<std::int32_t, 8> kShortMenuIds = {2, 3, 5, 6, 7, 8, 9, 10};

enum MenuItem : std::int32_t {
  kItemAuto = 0,
  kItemSkip = 1,
  kItemBackToChoice = 2,
  kItemHistory = 3,
  kItemHideWindow = 4,
  kItemSave = 5,
  kItemLoad = 6,
  kItemConfig = 7,
  kItemTitle = 8,
  kItemExit = 9,
  kItemClose = 10,
};
// The results of the items that answer at once, by id (0: asks or closes).
constexpr std::array<std::int32_t, kFullItems> kImmediateResults = {9, 8, 0, 10, 11, 12, 13, 14, 0, 0, 0};

// The system button, or the application's menu group, whose state enables an item (-1: always).
struct ItemGate {
  std::int32_t button = -1;
  int menu_group = -1;
};
constexpr std::array<ItemGate, kFullItems> kItemGates = {
    ItemGate{6, -1},
    ItemGate{5, -1},
    ItemGate{2, -1},
    ItemGate{7, -1},
    ItemGate{},
    ItemGate{-1, IAppServices::kMenuSave},
    ItemGate{-1, IAppServices::kMenuLoad},
    ItemGate{-1, IAppServices::kMenuSettings},
    ItemGate{-1, IAppServices::kMenuBackToTitle},
    ItemGate{},
    ItemGate{},
};

}  // namespace

// What one opening of the menu holds: its widgets by id and its base picture.
struct CVovFrame::SystemMenuPanel {
  std::array<CGuiElement*, kFullItems> items{};
  CImage base_image;
  CSprite base;
  std::vector<CDrawable*> item_sprites;
  std::vector<std::int32_t> item_x;
};

bool CVovFrame::SlideSystemMenu(SystemMenuPanel& panel, bool in) {
  std::vector<CTimedTask*> slides;
  auto slide = [&](CDrawable& drawable, std::int32_t place) {
    const std::int32_t out = place + kSlideDistance;
    if (CTimedTask* task = StartHorizontalSlide(drawable, in ? out : place, in ? place : out, kSlideTime)) {
      slides.push_back(task);
    }
  };
  if (panel.base.GetOwnerList() != nullptr) slide(panel.base, kBaseX);
  for (std::size_t i = 0; i < panel.item_sprites.size(); ++i) slide(*panel.item_sprites[i], panel.item_x[i]);
  return WaitForSlides(slides);
}

bool CVovFrame::WaitForSlides(const std::vector<CTimedTask*>& slides) {
  bool going_on = true;
  for (CTimedTask* task : slides) {
    if (WaitTask(task, true, false) == kWaitAppEnding) {
      going_on = false;
      break;
    }
  }
  for (CTimedTask* task : slides) {
    if (g_PausableTimerManager != nullptr && g_PausableTimerManager->Contains(task)) g_PausableTimerManager->Remove(task);
  }
  pending_task_ = nullptr;
  pending_manager_ = nullptr;
  return going_on;
}

std::int32_t CVovFrame::RunSystemMenu(std::int32_t layout) {
  auto* root = dynamic_cast<CGuiRootWindow*>(root_window_);
  if (root == nullptr) return kCommandDone;
  const bool full = layout == 0;
  ShowHiddenCursor();
  root->PushModalLevel();
  SystemMenuPanel panel;
  CDgmImageFile file;
  std::uint32_t status = 0;
  {
    WidgetGroupScope scope(kMenuGroup, Page().Layer(0), true);
    status = file.Load(&g_WidgetManager, root, full ? "SYS/SM_BG.GMP" : "SYS/SM_BG2.GMP", full ? 0 : -1,
                       kItemPriority, false, g_ScreenManager);
  }
  if (status != 0) {
    plat::LogDiagnostic(std::string("the system menu cannot open: its layout gave ") + std::to_string(status));
    root->PopModalLevel();
    return kCommandDone;
  }
  for (std::size_t index = 0; index < file.GetPartCount(); ++index) {
    const std::int32_t id = full ? static_cast<std::int32_t>(index)
                                 : (index < kShortMenuIds.size() ? kShortMenuIds[index] : -1);
    CGuiElement* widget = file.GetPartWidget(index);
    if (id < 0 || id >= static_cast<std::int32_t>(kFullItems)) {
      widget->SetEnabled(false);
      continue;
    }
    widget->SetId(id);
    panel.items[static_cast<std::size_t>(id)] = widget;
    if (CDrawable* sprite = g_WidgetManager.GetWidgetSprite(widget, 0)) {
      panel.item_sprites.push_back(sprite);
      panel.item_x.push_back(sprite->GetX());
    }
  }
  if (auto* check = dynamic_cast<CCheckButton*>(panel.items[kItemAuto])) check->SetChecked(auto_mode_);
  if (panel.items[kItemSkip] != nullptr) panel.items[kItemSkip]->SetText(plat::Utf8ToSjis("次の選択肢までスキップ").c_str());
  for (std::size_t id = 0; id < kFullItems; ++id) {
    const ItemGate gate = kItemGates[id];
    const bool off = (gate.button >= 0 && ButtonState(static_cast<std::size_t>(gate.button)) == kButtonDisabled) ||
                     (gate.menu_group >= 0 && !Permitted(gate.menu_group));
    if (off && panel.items[id] != nullptr) panel.items[id]->SetEnabled(false);
  }
  const char* base_file = full ? "SYS/SM_BASE.ELG" : "SYS/SM_BASE2.ELG";
  CDrawList* list = PageWidgetList();
  if (panel.base_image.LoadFile32(base_file, nullptr, 0, 0) == 0 && list != nullptr) {
    panel.base.SetImage(&panel.base_image, nullptr, kBaseX, 0);
    list->Insert(&panel.base, kBasePriority, 0);
  } else {
    plat::LogDiagnostic(std::string("the system menu runs without its base picture ") + base_file);
  }
  PlaySystemSound(kMenuChannel);

  const bool effects = !Setting(kSettingScreenEffectsOff);
  std::int32_t result = effects && !SlideSystemMenu(panel, true) ? kCommandAppEnding : 0;
  root->Reset();
  while (result == 0) {
    if (!RunFramePass()) {
      result = kCommandAppEnding;
      break;
    }
    root->ProcessInput(ReadMillisecondClock());
    const std::int32_t fired = root->TakeCommandId();
    if (fired >= 0) {
      result = ServeMenuItem(fired);
      if (result == 0) root->Reset();
    } else if (ActionPressed(kActionCancel) || MousePressed(kMouseRight)) {
      PlaySystemSound(kCloseChannel);
      result = kCommandDone;
    }
  }

  if (effects && result != kCommandAppEnding && !SlideSystemMenu(panel, false)) result = kCommandAppEnding;
  g_WidgetManager.DeleteGroup(kMenuGroup, false);
  root->PopModalLevel();
  if (auto_mode_) timers_.Restart(kAutoTimer);
  if (panel.base.GetOwnerList() != nullptr) panel.base.GetOwnerList()->Remove(&panel.base);
  return result;
}

std::int32_t CVovFrame::ServeMenuItem(std::int32_t id) {
  if (id < 0 || id >= static_cast<std::int32_t>(kFullItems)) return 0;
  if (const std::int32_t immediate = kImmediateResults[static_cast<std::size_t>(id)]; immediate != 0) return immediate;
  std::int32_t answer = 1;
  switch (id) {
    case kItemBackToChoice:
      if (!Setting(kSettingBackToChoiceUnasked)) answer = AskUtf8("前の選択肢に戻ります。\nよろしいですか？");
      if (answer > 0) SetPendingRequest(kRequestBackToChoice);
      return answer < 0 ? kCommandAppEnding : answer > 0 ? kCommandBackToChoice : 0;
    case kItemTitle:
      answer = AskUtf8("タイトルに戻ります。\nよろしいですか？");
      if (answer > 0) SetPendingRequest(kRequestTitle);
      return answer < 0 ? kCommandAppEnding : answer > 0 ? kCommandBackToTitle : 0;
    case kItemExit:
      answer = AskUtf8("ゲームを終了します。\nよろしいですか？");
      if (answer > 0 && Setting(kSettingClosingFade)) FadeOutForExit();
      if (answer > 0) EndApplication();
      return answer != 0 ? kCommandAppEnding : 0;
    case kItemClose:
      PlaySystemSound(kCloseChannel);
      return kCommandDone;
    default:
      return 0;
  }
}

void CVovFrame::EndApplication() {
  application_ending_ = true;
  if (g_AppServices != nullptr) g_AppServices->SendWindowMessage(plat::WM_CLOSE, IAppServices::kCloseConfirmed);
}

void CVovFrame::FadeOutForExit() {
  StopMusic(kClosingFadeTime);
  for (std::uint32_t slot = 0; slot < CVovPage::kPages; ++slot) EndBgEffect(slot, false);
  page_.ClearBg(0, 1);
  page_.ClearSprites(true, -1);
  CrossScreen(kClosingFadeTime, CImagePart::kModeSwapLayers, 0);
}
