// The end of a message: the frame waits until the reader goes on (a click, the decide or
// next-page key, the skip key), auto mode's timer runs out or the voice has ended, while the
// system buttons stay served and the message's voice plays on channel 6 from its speaker's side.
#include "base/numbers/little_endian.h"
#include "base/settings/game_settings.h"
#include "base/time/millisecond_clock.h"
#include "base/time/timer_manager.h"
#include "novel/frame/vov_frame.h"
#include "sound/sound_channel_manager.h"

namespace {

constexpr std::uint16_t kAutoTimer = 1;
constexpr std::uint8_t kNoVoiceWait = 0;
constexpr std::uint8_t kVoiceWaiting = 1;
constexpr std::uint8_t kVoiceEnded = 2;
// PlayCharacterVoice's answer without a voice table.
constexpr std::int32_t kNoVoiceTable = -5;

bool Setting(std::size_t offset) { return CurrentGameSettings()[offset] != 0; }
std::uint32_t AutoWait() { return LoadLe32(&CurrentGameSettings()[kSettingAutoWait]); }
bool VoiceChannelPlaying() {
  return g_SoundChannels != nullptr && g_SoundChannels->IsChannelPlaying(CVovFrame::kVoiceChannel);
}

}  // namespace

std::int32_t CVovFrame::PlaySpeakerVoice(const std::string& voice, bool loop) {
  if (g_SoundChannels == nullptr) return kNoVoiceTable;
  std::int32_t characters[kSpeakerSprites];
  std::int32_t places[kSpeakerSprites];
  for (std::int32_t index = 0; index < kSpeakerSprites; ++index) {
    const SpriteRecord* record = page_.Sprite(static_cast<std::uint32_t>(index), false, kSpeakerGroup);
    characters[index] = record != nullptr ? record->character : kFreeSprite;
    places[index] = record != nullptr ? record->x : 0;
  }
  const std::int32_t speaker =
      g_SoundChannels->PlayCharacterVoice(kVoiceChannel, voice.c_str(), kSpeakerSprites, characters);
  // Below -1 the voice was not loaded: no table, an unknown name, voices off or no file.
  if (speaker < -1) return speaker;
  g_SoundChannels->PlayChannel(kVoiceChannel, loop);
  const bool positional = Setting(kSettingPositionalVoices) && speaker >= 0;
  g_SoundChannels->SetChannelPan(kVoiceChannel, positional ? VoicePan(places[speaker]) : 0);
  if (Setting(kSettingDuckMusicForVoices)) {
    g_SoundChannels->StartVoiceDucking(g_TimerManager, kVoiceChannel, kVoiceDuckingHalf);
  }
  return speaker;
}

void CVovFrame::StartVoice(const std::string& voice) {
  if (voice.empty() || !Setting(kSettingVoicesOn) || PlaySpeakerVoice(voice, false) < -1) return;
  voice_playing_ = true;
  // The wait for the voice ends the message on its own, in auto mode or not.
  if (Setting(kSettingWaitForVoice)) {
    voice_wait_state_ = kVoiceWaiting;
    current_window_->FinishTyping();
  }
}

std::int32_t CVovFrame::WaitForReader(bool text_shown) {
  CTextWindow& window = *current_window_;
  std::string voice;
  if (text_shown) {
    voice = window.voice_name();
    window_waiting_ = true;
    ShowTextWindow(window, true);
  }
  go_on_ = false;
  SetButtonState(kHistoryButton, TextLog().Count() > 1 ? kButtonEnabled : kButtonDisabled);
  if (!buttons_shown_ && !Setting(kSettingAutoHideButtons)) ShowButtons(true, false);

  if (SkipKeyCounts() || skip_mode_ || message_skip_mark_) {
    window.FinishTyping();
    if (!RunFramePass()) return kRunStopped;
    const std::int32_t button = TakeWidgetCommand();
    // Only a button served in the skipped message's one pass keeps the wait going.
    if (button < 0 || button >= kFirstChoiceCommand || !buttons_shown_) {
      FinishReaderWait(text_shown, false);
      return 0;
    }
    const ServedButton served = ServeSystemButton(button);
    if (served.ends) return served.result;
  } else if (text_shown) {
    StartVoice(voice);
  }

  bool pressed = false;
  for (bool first_turn = true;; first_turn = false) {
    if (!RunFramePass()) return kRunStopped;
    bool moved = false;
    TrackMouse(moved);
    window.UpdateTyping(ReadMillisecondClock());
    const std::int32_t command = TakeWidgetCommand();
    const std::int32_t button = command >= 0 && command < kFirstChoiceCommand && buttons_shown_ ? command : -1;
    const ServedButton served = ServeSystemButton(button);
    if (served.ends) return served.result;
    if (served.restart_auto) timers_.Restart(kAutoTimer);
    if (served.click) {
      pressed = true;
      break;
    }
    // A click on a button is the button's, not the reader's.
    if (button >= 0 || PressIsOnButton()) continue;
    const bool typing = window.type_state() == CTextWindow::TypeState::kRequested ||
                        window.type_state() == CTextWindow::TypeState::kTyping;
    if (ReaderPressed()) {
      if (!typing) {
        pressed = true;
        break;
      }
      window.FinishTyping();
      if (Setting(kSettingClickEndsWaits)) EndWindowTasks();
      continue;
    }
    if (voice_wait_state_ == kVoiceWaiting) {
      if (!VoiceChannelPlaying()) {
        voice_wait_state_ = kVoiceEnded;
        timers_.Restart(kAutoTimer);
      }
    } else if (voice_wait_state_ == kVoiceEnded) {
      if (timers_.GetElapsed(kAutoTimer) > AutoWait()) break;
    } else if (auto_mode_) {
      // Auto timing counts from the end of the typing.
      if (first_turn || typing) timers_.Restart(kAutoTimer);
      if (timers_.GetElapsed(kAutoTimer) > AutoWait() && !VoiceChannelPlaying()) break;
    }
  }
  FinishReaderWait(text_shown, pressed);
  return 0;
}

void CVovFrame::FinishReaderWait(bool text_shown, bool pressed) {
  if (text_shown) {
    StopVoiceMark(pressed);
    voice_wait_state_ = kNoVoiceWait;
  }
  if (pressed) HideIdleCursor();
  current_window_->ShowClickIcon(false);
  ApplyUserSettings(false, false, true, true, false);
  window_waiting_ = false;
  message_skip_mark_ = false;
  if (CurrentLine() >= 0) MarkLineRead(static_cast<std::uint32_t>(CurrentLine()));
}
