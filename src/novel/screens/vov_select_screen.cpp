// What the two select screens share: the select bar from a layout file with its seven commands,
// the panel over the page, the slide of their parts, the flash of a decided pick, the bar's
// commands and the opcodes that run the screens (127 the select prompt, 128 the choice screen).
#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "base/time/timer_manager.h"
#include "gfx/display/screen_manager.h"
#include "novel/scenario/vov_command.h"
#include "novel/screens/slide_motion.h"
#include "novel/screens/vov_select_screen.h"
#include "novel/screens/vov_system_prompts.h"
#include "novel/text/widget_group_scope.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "scene/drawables/draw_layer.h"
#include "scene/motions/move_motion.h"
#include "scene/sprites/color_box.h"
#include "sound/bgm_fade_tasks.h"
#include "ui/layouts/dgm_image_file.h"
#include "ui/widget_manager/widget_manager.h"

using vov_system::Permitted;

namespace {

constexpr std::int32_t kScreenWidth = 800;
// The parts leave this far beyond the screen's right edge.
constexpr std::int32_t kSlideBeyond = 300;
constexpr std::uint32_t kSlideTime = 300;
// The flash of a decided pick: a white square centred at (399, 259) that fades out.
constexpr std::int32_t kFlashSize = 64;
constexpr plat::Point kFlashCentre{399, 259};
constexpr std::uint32_t kFlashColour = 0xFFFFFFFF;
constexpr std::uint32_t kFlashTime = 300;
constexpr std::uint32_t kFlashPriority = 500;

constexpr std::size_t kBarCommands = 7;
constexpr std::array<const char*, kBarCommands> kBarLabels = {
    "クイックセーブ", "クイックロード", "前の選択肢に戻る", "セーブ", "ロード", "テキスト履歴", "環境設定"};

std::int32_t ValueAt(std::span<const VovOperand> operands, std::size_t n) {
  return static_cast<std::int32_t>(VovOperandAt(operands, n).value);
}

// 127: the select prompt.
std::int32_t SelectPromptHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::string text(VovOperandAt(operands, 6).text);
  return frame.RunSelectPrompt(ValueAt(operands, 0), VovOperandAt(operands, 1).value, VovOperandAt(operands, 2).value,
                               ValueAt(operands, 3), ValueAt(operands, 4), ValueAt(operands, 5), text.c_str());
}

// 128: the choice screen, when the choices opcode 13 collected wait for it or the page was
// restored at it.
std::int32_t ChoiceScreenHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  if (!frame.GoingOn() && !(frame.TextBuffer().Empty() && frame.ChoiceCount() > 0)) return 0;
  frame.SetChoiceAwaited(true);
  frame.SetChoiceMark(true);
  const std::int32_t result = frame.RunChoiceScreen(VovOperandAt(operands, 0).value, VovOperandAt(operands, 1).value,
                                                    ValueAt(operands, 2), ValueAt(operands, 3), ValueAt(operands, 4));
  frame.SetChoiceAwaited(false);
  if (result != 0) return result;
  return frame.AdvanceChoiceSerial();
}

}  // namespace

void CVovFrame::InstallSelectScreenHandlers() {
  handlers_[127] = SelectPromptHandler;
  handlers_[128] = ChoiceScreenHandler;
}

std::optional<std::uint32_t> CVovFrame::ScriptWordAt(std::uint32_t address, std::size_t index) const {
  const std::uint64_t at = address + 4 * static_cast<std::uint64_t>(index);
  if (address == 0 || at > UINT32_MAX || !host_.Memory().Contains(static_cast<std::uint32_t>(at), 4)) {
    return std::nullopt;
  }
  return host_.Memory().Word(static_cast<std::uint32_t>(at));
}

std::int32_t CVovFrame::SelectVariableValue(std::uint32_t number) const {
  const std::optional<std::uint32_t> value = ReadVariableElement(host_, number, 0);
  if (value) return static_cast<std::int32_t>(*value);
  plat::LogDiagnostic("a select screen names script variable " + std::to_string(number) +
                      ", which the script host does not have: it reads as 0");
  return 0;
}

void StopMusic(std::uint32_t fade_time) {
  if (g_SoundChannels == nullptr) return;
  if (fade_time > 0 && g_TimerManager != nullptr) {
    auto fade = std::make_unique<CBgmFadeOutTask>(fade_time);
    if (fade->Start(g_TimerManager, g_SoundChannels, &g_SoundChannels->CurrentBgm()) == 0) {
      fade.release();
      return;
    }
  }
  g_SoundChannels->StopBgm();
}

bool CVovFrame::OpenSelectScreen(SelectScreen& screen, const char* layout, std::size_t first_command,
                                 std::uint32_t flags) {
  const auto shown_flags = static_cast<std::size_t>(std::clamp<std::int32_t>(screen.content.flag_count, 0,
                                                                              kSelectPanelMostFlags));
  for (std::size_t i = 0; i < shown_flags; ++i) {
    if (const std::optional<std::uint32_t> flag = ScriptWordAt(flags, i)) screen.content.flags.push_back(*flag);
  }
  screen.content.name_text = title_;
  screen.root = dynamic_cast<CGuiRootWindow*>(root_window_);
  if (screen.root == nullptr) {
    plat::LogDiagnostic("a select screen cannot open without the frame's window");
    return false;
  }
  screen.root->PushModalLevel();
  screen.open = true;
  CDrawLayer* layer = Page().Layer(0);
  CDgmImageFile file;
  std::uint32_t status = 0;
  {
    WidgetGroupScope scope(SelectScreen::kWidgetGroup, layer, true);
    status = file.Load(&g_WidgetManager, screen.root, layout, 0, SelectScreen::kWidgetPriority, false, g_ScreenManager);
  }
  if (status != 0) plat::LogDiagnostic(std::string("a select screen runs without its layout ") + layout);
  for (std::size_t index = 0; status == 0 && index < file.GetPartCount(); ++index) {
    CGuiElement* widget = file.GetPartWidget(index);
    screen.parts.push_back(widget);
    if (index < first_command || index - first_command >= kBarCommands) continue;
    const std::size_t command = index - first_command;
    widget->SetText(plat::Utf8ToSjis(kBarLabels[command]).c_str());
    bool on = true;
    switch (command) {
      case 0:
      case 3:
        on = Permitted(IAppServices::kMenuSave);
        break;
      case 1:
      case 4:
        on = Permitted(IAppServices::kMenuLoad);
        break;
      case 2:
        on = ButtonState(kBackToChoiceButton) != kButtonDisabled;
        break;
      case 5:
        on = ButtonState(kHistoryButton) != kButtonDisabled;
        break;
      default:
        on = Permitted(IAppServices::kMenuSettings);
        break;
    }
    widget->SetEnabled(on);
  }
  if (layer != nullptr && ComposeSelectPanel(screen.panel_image, screen.content, &name_font_, &message_font_)) {
    screen.panel.SetImage(&screen.panel_image, nullptr, kSelectPanelPlace.x, kSelectPanelPlace.y);
    PageWidgetList()->Insert(&screen.panel, SelectScreen::kPanelPriority, 0);
  }
  return true;
}

bool CVovFrame::SlideSelectScreen(SelectScreen& screen, bool in) {
  std::vector<CTimedTask*> slides;
  const auto slide = [&](CDrawable* drawable) {
    if (drawable == nullptr) return;
    const std::int32_t place = drawable->GetX();
    const std::int32_t away = kScreenWidth + kSlideBeyond;
    if (CTimedTask* task = StartHorizontalSlide(*drawable, in ? away : place, in ? place : away, kSlideTime)) {
      slides.push_back(task);
    }
  };
  for (std::int32_t item = 0; item < screen.list.GetItemCount(); ++item) {
    if (CWidgetFace* face = screen.list.GetItemFace(item)) slide(&face->GetDrawable());
  }
  for (CGuiElement* part : screen.parts) slide(g_WidgetManager.GetWidgetSprite(part, 0));
  if (screen.panel.GetOwnerList() != nullptr) slide(&screen.panel);
  const bool going_on = WaitForSlides(slides);
  if (g_PausableTimerManager != nullptr) g_PausableTimerManager->RemoveByKind(CMoveMotion::kTypeIdInList);
  return going_on;
}

std::int32_t CVovFrame::FlashSelection() {
  CDrawLayer* layer = Page().Layer(0);
  if (layer == nullptr || g_PausableTimerManager == nullptr) return 0;
  const plat::Point at{kFlashCentre.x - kFlashSize / 2, kFlashCentre.y - kFlashSize / 2};
  CColorBox flash;
  flash.SetBox(kFlashSize, kFlashSize, kFlashColour, at.x, at.y);
  CDrawList* list = PageWidgetList();
  list->Insert(&flash, kFlashPriority, 0);
  MoveMotionOptions options;
  options.segment_time = kFlashTime;
  options.position_mode = CMoveMotion::kPosition;
  auto fade = std::make_unique<CMoveMotion>(options);
  const std::array<std::int32_t, 3> faded = {at.x, at.y, 0};
  std::int32_t result = 0;
  if (fade->SetPoints(faded) == 0 && fade->Start(g_PausableTimerManager, &flash) == 0) {
    CTimedTask* task = fade.release();
    if (WaitTask(task, true, true) == kWaitAppEnding) result = kRunStopped;
    if (g_PausableTimerManager->Contains(task)) g_PausableTimerManager->Remove(task);
    pending_task_ = nullptr;
    pending_manager_ = nullptr;
  }
  list->Remove(&flash);
  return result;
}

std::int32_t CVovFrame::ServeSelectCommand(std::int32_t command) {
  const std::int32_t result = HandleSelectScreenButton(command);
  if (result >= kCommandBackToChoice) return result;
  if (result < kCommandDone) return kRunStopped;
  return 0;
}

void CVovFrame::CloseSelectScreen(SelectScreen& screen) {
  if (!screen.open) return;
  screen.open = false;
  screen.list.ReleaseItems();
  if (screen.list.GetOwner() != nullptr) screen.list.GetOwner()->RemoveChild(&screen.list);
  g_WidgetManager.DeleteGroup(SelectScreen::kWidgetGroup, false);
  screen.parts.clear();
  screen.root->PopModalLevel();
  if (CDrawList* list = screen.panel.GetOwnerList()) list->Remove(&screen.panel);
  RedrawFrontPage();
}
