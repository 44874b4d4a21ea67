// The choice wait: the list that the end of a message filled is shown and served until the reader
// picks an item; the pick blinks, goes to the script word the scripts named, to the backlog's
// choice entry and to the choice bits, and skip and auto mode come back as the buttons say.
#include <string>

#include "base/settings/game_settings.h"
#include "base/system/app_services.h"
#include "base/time/millisecond_clock.h"
#include "novel/frame/vov_frame.h"
#include "script/game_host_access.h"
#include "sound/sound_channel_manager.h"

namespace {

constexpr std::uint32_t kBlinkOffTime = 40;
constexpr std::uint32_t kBlinkOnTime = 80;
constexpr int kBlinks = 1;
constexpr int kBlinksWithSound = 5;
constexpr std::int32_t kChoiceSoundChannel = 0;
constexpr std::size_t kAutoButton = 6;
constexpr std::size_t kPickedChoiceWord = 1;

constexpr std::int32_t kChoiceSaveGroup = 10;
constexpr std::int32_t kNextRotatingSlot = -1;

bool Setting(std::size_t offset) { return CurrentGameSettings()[offset] != 0; }

// The automatic save at a choice follows the application's permission to save.
bool AutomaticSaveAllowed() {
  return g_AppServices == nullptr || g_AppServices->MenuGroupPermitted(IAppServices::kMenuSave);
}

// The backlog's choice entry: opened with the list's items, closed with the pick, or with none
// when the wait ends otherwise.
class BacklogChoice {
 public:
  BacklogChoice(CTextLog& log, const CListMenu& list) : log_(log) {
    // A restored choice goes on in the entry the save left open.
    open_ = log.ChoiceIsOpen();
    if (open_ || list.GetItemCount() < 1 || log.BeginChoice(list.GetItemCount()) != 0) return;
    open_ = true;
    for (std::int32_t index = 0; index < list.GetItemCount(); ++index) {
      const CListItem& item = list.ItemOrBlank(index);
      log.SetChoiceItem(index, item.disabled, item.text);
    }
  }
  ~BacklogChoice() { Close(-1); }
  BacklogChoice(const BacklogChoice&) = delete;
  BacklogChoice& operator=(const BacklogChoice&) = delete;

  void Close(std::int32_t picked) {
    if (open_) log_.CloseChoice(picked);
    open_ = false;
  }

 private:
  CTextLog& log_;
  bool open_ = false;
};

}  // namespace

bool CVovFrame::BlinkChoice(std::int32_t index) {
  const bool with_sound = Setting(kSettingChoiceSound);
  if (with_sound && g_SoundChannels != nullptr) g_SoundChannels->PlayChannel(kChoiceSoundChannel, false);
  for (int blink = 0; blink < (with_sound ? kBlinksWithSound : kBlinks); ++blink) {
    choice_list_.LeaveItem(index);
    if (WaitFixed(kBlinkOffTime) != 0) return false;
    choice_list_.EnterItem(index);
    if (WaitFixed(kBlinkOnTime) != 0) return false;
  }
  return true;
}

std::int32_t CVovFrame::WaitForChoice() {
  const bool was_skipping = skip_mode_;
  skip_mode_ = false;
  SetButtonState(kSkipButton, kButtonDisabled);
  SetButtonState(kAutoButton, kButtonDisabled);
  SetButtonState(kHistoryButton, TextLog().Count() > 1 ? kButtonEnabled : kButtonDisabled);
  choice_list_.SetLocked(false);
  choice_list_.SetActive(true);
  if (!buttons_shown_ && !Setting(kSettingAutoHideButtons)) ShowButtons(true, false);
  BacklogChoice backlog(text_log_, choice_list_);

  if (go_on_) {
    go_on_ = false;
  } else if (Setting(kSettingSaveAtChoices) && AutomaticSaveAllowed()) {
    WithGameHost([](IGameHost& host) { return host.SaveGame(kChoiceSaveGroup, kNextRotatingSlot); });
  }

  click_area_.SetEnabled(false);
  std::int32_t picked = -1;
  while (picked < 0) {
    if (!RunFramePass()) return kRunStopped;
    bool moved = false;
    TrackMouse(moved);
    const std::int32_t command = TakeWidgetCommand();
    if (command >= kFirstChoiceCommand && command - kFirstChoiceCommand < choice_list_.GetItemCount()) {
      picked = command - kFirstChoiceCommand;
      break;
    }
    const std::int32_t button = command >= 0 && command < kFirstChoiceCommand && buttons_shown_ ? command : -1;
    const ServedButton served = ServeSystemButton(button);
    if (served.ends) return served.result;
  }

  if (!BlinkChoice(picked)) return kRunStopped;
  if (Setting(kSettingBackToChoices) && g_GameHost != nullptr && g_GameHost->TakeSnapshot() == 0) {
    SetButtonState(kBackToChoiceButton, kButtonEnabled);
  }
  if (std::int32_t* word = ConfiguredWord(kPickedChoiceWord)) *word = picked;
  backlog.Close(picked);
  if (Setting(kSettingChoiceStopsVoice) && g_SoundChannels != nullptr) g_SoundChannels->StopChannel(kVoiceChannel);

  const bool skip_again = was_skipping && Setting(kSettingSkipAfterChoices);
  skip_mode_ = skip_again;
  SetButtonState(kSkipButton, skip_again ? kButtonLatched : kButtonEnabled);
  SetButtonState(kAutoButton, auto_mode_ ? kButtonLatched : kButtonEnabled);

  choice_list_.SetActive(false);
  choice_list_.ReleaseItems();
  choice_count_ = 0;
  click_area_.SetEnabled(true);
  ApplyUserSettings(false, false, true, true, false);
  if (CurrentLine() >= 0) MarkLineRead(static_cast<std::uint32_t>(CurrentLine()));
  return 0;
}
