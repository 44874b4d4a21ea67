// The visible parts of the novel page that belong to the frame itself: the message window with
// its name box and waiting mark, the choice list, the ten system buttons of the button file and
// the click area over the screen; how a run builds them, how the user's settings reach them and
// how a run's end takes them down again.
#include <string>
#include <utility>

#include "base/settings/game_settings.h"
#include "base/system/app_services.h"
#include "base/time/timer_manager.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "gfx/display/screen_manager.h"
#include "novel/frame/vov_frame.h"
#include "novel/page/vov_slot_records.h"
#include "novel/text/widget_group_scope.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "resource/plugins/plugin_args.h"
#include "scene/drawables/draw_layer.h"
#include "ui/dialogs/message_display_settings.h"
#include "ui/gui/gui_window.h"
#include "ui/layouts/dgm_image_file.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/check_button.h"

namespace {

constexpr char kDefaultFace[] = "SimSun";
constexpr std::uint32_t kWhite = 0xFFFFFF;
// The message font's gradient pair, kept on the font; the message shows in its text colour.
constexpr std::uint32_t kGradientTop = 0xFFEB00;
constexpr std::uint32_t kGradientBottom = 0xFF4646;
constexpr std::uint16_t kFrameTimers = 2;
constexpr char kWaitingMarkFile[] = "SYS/MS_CURSR.ELG";

constexpr std::int32_t kScreenWidth = 800;
constexpr std::int32_t kScreenHeight = 600;
// The message window, the name box above it, and the style whose name box fits the name.
constexpr std::int32_t kWindowY = 466;
constexpr std::int32_t kNameBoxY = 427;
constexpr std::int32_t kNameBoxWidth = 160;
constexpr std::uint8_t kNamePlateStyle = 4;
constexpr TextRunMargins kWindowMargins{28, 13, 16, 34};
constexpr TextRunMargins kNameBoxMargins{23, 7, 23, 7};
// The waiting mark: six cells of 100 ms at (756, 115) of the window.
constexpr std::int32_t kMarkFrames = 6;
constexpr std::int32_t kMarkFrameTime = 100;
constexpr std::int32_t kMarkX = 756;
constexpr std::int32_t kMarkY = 115;

// The choice list: left edge and centre, item pictures (normal and hovered cells), colours,
// spacing.
constexpr std::int32_t kChoiceX = 38;
constexpr std::int32_t kChoiceY = 220;
constexpr std::int32_t kChoiceFrames = 2;
constexpr std::uint8_t kChoiceAlpha = 170;
constexpr std::int32_t kChoiceSideMargin = 20;
constexpr std::int32_t kChoiceTopMargin = 2;
constexpr std::int32_t kChoiceBottomMargin = 4;
constexpr std::int32_t kChoiceLineStep = 20;

constexpr char kButtonFile[] = "SYS/MS_FRAME.GMP";
constexpr const char* kButtonLabels[CVovFrame::kButtonCount] = {
    "クイックセーブ", "クイックロード", "前の選択肢に戻る", "セーブ", "ロード",
    "次の選択肢までスキップ", "オートプレイ", "テキスト履歴", "環境設定", "ウィンドウを消去"};
constexpr char kButtonFade[] = "sp_fade";

// Without an application nothing is withdrawn.
bool Permitted(int group) { return g_AppServices == nullptr || g_AppServices->MenuGroupPermitted(group); }

}  // namespace

std::uint32_t CVovFrame::InitMessageWindow(CImagePart* part, CGuiWindow* root) {
  if (root == nullptr) return kInitNoRootWindow;
  if (InitPageImage(part) != 0) return kInitPageUnusable;
  root_window_ = root;
  message_font_.SetFont(kMessageFontSize, 0, 0, kDefaultFace);
  message_font_.text_color = RgbOf(kWhite);
  message_font_.SetGradient(1, kGradientTop, kGradientBottom, 0);
  message_font_.SetGradient(0, kGradientTop, kGradientBottom, 0);
  g_DefaultFont = &message_font_;
  name_font_.SetFont(kNameFontSize, 0, 0, kDefaultFace);
  timers_.Allocate(kFrameTimers);
  if (mark_image_.LoadFile32(kWaitingMarkFile, nullptr, 0, 0) != 0) {
    plat::LogDiagnostic(std::string("the novel frame runs without its waiting mark: ") + kWaitingMarkFile +
                        " cannot be loaded");
  }
  built_ = true;
  return 0;
}

std::int32_t CVovFrame::PreparePage(bool go_on) {
  if (!built_) return kPageNotBuilt;
  if (page_.PageImageLost()) return kRunStopped;
  SetRepeatCounter(0);
  // The buttons start released, so the modes they latch start off.
  skip_mode_ = false;
  message_skip_mark_ = false;
  auto_mode_ = false;
  buttons_shown_ = false;
  window_waiting_ = false;
  pending_screen_result_ = 0;
  pending_request_ = 0;
  choice_count_ = 0;
  go_on_ = go_on;
  BuildMessageWindow();
  BuildChoiceList();
  LoadButtons();
  for (std::size_t index = 0; index < kButtonCount; ++index) {
    SetButtonState(index, kButtonEnabled);
    if (buttons_[index] != nullptr) buttons_[index]->SetActive(false);
  }
  SetButtonState(kBackToChoiceButton, kButtonDisabled);
  SetButtonState(kHistoryButton, TextLog().Count() > 1 ? kButtonEnabled : kButtonDisabled);
  click_area_.Create(0, 0, kScreenWidth, kScreenHeight, -1, -1, true, true, 0);
  click_area_.SetEnabled(true);
  // The window gives the pointer to its first child under it: the click area over the whole
  // screen joins behind the buttons made again above, every time the page is prepared.
  if (click_area_.GetOwner() != nullptr) click_area_.GetOwner()->RemoveChild(&click_area_);
  JoinRootWindow(click_area_);
  if (!go_on) {
    SetCurrentLine(-1);
    ClearPendingDisplay();
  }
  current_window_ = &message_window_;
  TextBuffer().Clear();
  SetChoiceAwaited(false);
  ClearChoiceMarks();
  choice_mark_ = false;
  RestoreMessageFont();
  ApplyUserSettings(true, true, true, false, false);
  if (!Permitted(IAppServices::kMenuSave)) {
    SetButtonState(kQuickSaveButton, kButtonDisabled);
    SetButtonState(kSaveButton, kButtonDisabled);
  }
  if (!Permitted(IAppServices::kMenuLoad)) {
    SetButtonState(kQuickLoadButton, kButtonDisabled);
    SetButtonState(kLoadButton, kButtonDisabled);
  }
  if (go_on) {
    line_read_ = CurrentLine() >= 0 && IsLineRead(static_cast<std::uint32_t>(CurrentLine()));
    const bool unread_stops_skip = CurrentGameSettings()[kSettingUnreadTextUnskippable] != 0;
    SetButtonState(kSkipButton, !unread_stops_skip || line_read_ ? kButtonEnabled : kButtonDisabled);
    if (RestoreState() < 0) return kRunStopped;
  }
  if (std::exchange(newest_load_failed_, false)) NoticeLoadFailed(-1);
  return 0;
}

void CVovFrame::ShowMessageAtOnce(std::span<const std::uint8_t> message, const std::string& speaker,
                                  const std::string& voice) {
  message_window_.ClearText();
  message_window_.SetText(message.data(), message.size());
  message_window_.SetNames(speaker.empty() ? nullptr : speaker.c_str(), voice.empty() ? nullptr : voice.c_str());
  message_window_.SetCharDelay(0);
  message_window_.Display(true);
}

// The frame's own widgets draw in the front part's attached list: it stays with the front part
// when a transition hands the layers over, so the window stays over whichever page is shown.
CDrawList* CVovFrame::PageWidgetList() {
  CDrawLayer* layer = Page().Layer(0);
  if (layer == nullptr) return nullptr;
  return layer->GetAttachedList() != nullptr ? layer->GetAttachedList() : &layer->GetOwnList();
}

void CVovFrame::BuildMessageWindow() {
  CDrawList* list = PageWidgetList();
  TextBoxSetup window{list, kPagePriority, 0, 0, kWindowY, kScreenWidth, kScreenHeight - kWindowY, &message_font_,
                      "SYS/MS_FRM_B.ELG", "SYS/MS_FRM_A.ELG", "SYS/MS_FRM_G.ELG", kWindowMargins};
  if (CreateTextBox(message_window_, window) == kTextBoxWithoutPictures) {
    plat::LogDiagnostic("the message window runs without its frame pictures");
  }
  message_window_.SetFrame(this);
  message_window_.SetIconAfterText(true);
  message_window_.SetClickIcon(
      {&mark_image_, kMarkFrames, kMarkFrameTime, kMarkX, kMarkY, false, g_PausableTimerManager});
  TextBoxSetup name_box{list, kPagePriority, 0, 0, kNameBoxY, kNameBoxWidth, kWindowY - kNameBoxY, &message_font_,
                        "SYS/NM_FRM_B.ELG", "SYS/NM_FRM_A.ELG", "SYS/NM_FRM_G.ELG", kNameBoxMargins};
  CreateTextBox(name_box_, name_box);
  message_window_.SetNamePlate(&name_box_, kNamePlateStyle);
  // Made again, the window keeps no text of the run before: a speaker's name kept from it would
  // bring the plate, made empty, up with the window.
  message_window_.ClearText();
  // And it shows only when the scenario or a wait shows it.
  ShowTextWindow(message_window_, false);
}

void CVovFrame::BuildChoiceList() {
  choice_list_.Create(PageWidgetList(), kPagePriority, kChoiceX, kChoiceY,
                      kScreenWidth - 2 * kChoiceX, kChoiceLineStep, kChoiceLineStep, &message_font_, 0);
  CListMenu::SkinSources<const char*> skin;
  skin.frame_count = kChoiceFrames;
  skin.item = {"SYS/SEL01B.ELG", "SYS/SEL01A.ELG", "SYS/SEL01G.ELG"};
  skin.header = {"SYS/SEL00B.ELG", "SYS/SEL00A.ELG", "SYS/SEL00G.ELG"};
  skin.footer = {"SYS/SEL02B.ELG", "SYS/SEL02A.ELG", "SYS/SEL02G.ELG"};
  if (choice_list_.LoadSkin(skin) != 0) {
    plat::LogDiagnostic("the choice list runs without its pictures");
    choice_list_.CreatePlainSkin(kScreenWidth - 2 * kChoiceX, kChoiceLineStep, 0, 0);
  }
  choice_list_.SetSkinColor(1, 0, kChoiceAlpha);
  choice_list_.SetItemColors(0xFFFFFF, 0x8FDFDF, 0xFFF000, 0x909090);
  choice_list_.SetGradientColors(0xFFEB00, 0xFF4646, 0x00FFEB, 0x26DD26, 0xFFFF46, 0xFF9292, 0xB0B0B0, 0x595959);
  choice_list_.SetMargins(kChoiceSideMargin, kChoiceTopMargin, kChoiceSideMargin, kChoiceBottomMargin);
  choice_list_.SetActive(false);
  // Up past the first choice stays on it rather than leaving for the last system button, where
  // the next Enter would act on a button the player hardly sees focused.
  choice_list_.SetArrowsKeepFocus(true);
  choice_list_.SetId(kFirstChoiceCommand);
  JoinRootWindow(choice_list_);
}

void CVovFrame::LoadButtons() {
  // A page prepared again without a reset between keeps one set of buttons.
  g_WidgetManager.DeleteGroup(kButtonGroup, false);
  buttons_ = {};
  CDgmImageFile file;
  std::uint32_t status = 0;
  {
    WidgetGroupScope scope(kButtonGroup, Page().Layer(0), true);
    status = file.Load(&g_WidgetManager, root_window_, kButtonFile, 0, kPagePriority, false, g_ScreenManager);
  }
  if (status != 0) {
    plat::LogDiagnostic(std::string("the novel frame runs without its buttons: ") + kButtonFile + " gave " +
                        std::to_string(status));
    return;
  }
  for (std::size_t index = 0; index < kButtonCount && index < file.GetPartCount(); ++index) {
    buttons_[index] = file.GetPartWidget(index);
    buttons_[index]->SetText(plat::Utf8ToSjis(kButtonLabels[index]).c_str());
  }
  ReleaseSlotEffect(button_fade_);
  const PluginArgList fade{kButtonCount, 0, 0};
  if (CreateEffectByName(&button_fade_, kButtonFade, nullptr, fade.View()) != kEffectCreated) button_fade_ = nullptr;
}

void CVovFrame::JoinRootWindow(CGuiElement& element) {
  if (element.GetOwner() == nullptr) root_window_->AddChild(&element, -1);
}

std::int32_t CVovFrame::SetButtonState(std::size_t index, std::uint8_t state) {
  if (index >= kButtonCount) return 1;
  CGuiElement* button = buttons_[index];
  auto* check = dynamic_cast<CCheckButton*>(button);
  if (state == kButtonLatched) {
    if (button != nullptr && button_states_[index] == kButtonDisabled) button->SetEnabled(true);
    if (check != nullptr) check->SetChecked(true);
  } else {
    if (check != nullptr && button_states_[index] == kButtonLatched) check->SetChecked(false);
    if (button != nullptr) button->SetEnabled(state == kButtonEnabled);
  }
  button_states_[index] = state;
  return 0;
}

std::uint8_t CVovFrame::ApplyUserSettings(bool colours, bool font, bool log_size, bool only_if_changed,
                                          bool clear_changed) {
  const bool changed = g_AppServices != nullptr && g_AppServices->SettingsChangedMark();
  if (only_if_changed && !changed) return 0;
  const GameSettingsBlock& settings = CurrentGameSettings();
  if (colours) {
    if (message_window_.text_image().GetPixels() != nullptr) {
      ApplyGameBoxSettings(message_window_, settings, window_opacity_);
    }
    ApplyGameListSettings(choice_list_, settings);
  }
  if (font && message_font_.IsReady()) ApplyGameFontSettings(message_font_, settings);
  if (log_size) {
    const std::uint8_t entries = settings[kSettingTextLogSize];
    const std::int32_t capacity = entries == 0 ? 0 : entries + 1;
    if (TextLog().Capacity() != capacity) TextLog().SetCapacity(capacity);
  }
  if (clear_changed && g_AppServices != nullptr) g_AppServices->ClearSettingsChangedMark();
  return changed ? 1 : 0;
}

std::int32_t CVovFrame::AdvanceChoiceSerial() {
  if (!choice_mark_) return 0;
  choice_mark_ = false;
  choice_serial_ = choice_serial_ == 255 ? 1 : static_cast<std::uint8_t>(choice_serial_ + 1);
  return 0;
}

std::int32_t CVovFrame::ResetPage() {
  if (!built_) return 0;
  ShowHiddenCursor();
  ReleaseSlotEffect(button_fade_);
  RemovePendingTask();
  message_window_.ShowClickIcon(false);
  message_window_.SetActive(false);
  message_window_shown_ = false;
  choice_list_.ReleaseItems();
  choice_list_.SetActive(false);
  click_area_.SetEnabled(false);
  g_WidgetManager.DeleteGroup(kButtonGroup, false);
  buttons_ = {};
  buttons_shown_ = false;
  choice_count_ = 0;
  Page().ResetSlots();
  EndWindowTasks();
  ResetScripts();
  return 0;
}

void CVovFrame::ReleaseMessageWindow() {
  if (!built_) return;
  ResetPage();
  for (CGuiElement* element : {static_cast<CGuiElement*>(&choice_list_), static_cast<CGuiElement*>(&click_area_)}) {
    if (element->GetOwner() != nullptr) element->GetOwner()->RemoveChild(element);
  }
  message_window_.Destroy();
  name_box_.Destroy();
  Page().ReleasePageImage();
  Page().ReleaseToneTable();
  if (g_DefaultFont == &message_font_) g_DefaultFont = nullptr;
  message_font_.ReleaseGdiObjects();
  name_font_.ReleaseGdiObjects();
  timers_.Allocate(0);
  built_ = false;
}

CTextWindow* CVovFrame::WindowByNumber(std::int32_t number) {
  if (number >= 1) return nullptr;
  return number == -1 ? current_window_ : &message_window_;
}

void CVovFrame::ShowTextWindow(CTextWindow& window, bool show) {
  window.SetActive(show);
  if (&window == &message_window_) message_window_shown_ = show;
}

void CVovFrame::EraseTextWindow(CTextWindow& window) {
  window.ShowClickIcon(false);
  window.ClearText();
  window.Refresh(true);
  if (window.IsActive()) ShowTextWindow(window, false);
  EndWindowTasks();
}

void CVovFrame::HoldWindowTask(std::size_t index, CTimedTask* task) {
  if (index >= kWindowTasks) return;
  window_tasks_[index] = task;
  if (task != nullptr) task->SetOwnerReference(&window_tasks_[index]);
}

void CVovFrame::EndWindowTasks() {
  for (CTimedTask*& task : window_tasks_) {
    CTimedTask* ending = task;
    if (ending == nullptr) continue;
    ending->SetOwnerReference<CTimedTask>(nullptr);
    task = nullptr;
    if (g_PausableTimerManager != nullptr) g_PausableTimerManager->Remove(ending);
  }
}
