// The select prompt: the character's background replaces the page, and a panel with two answers
// and the select bar asks the reader; the answer goes to the script word the scenario named.
#include <array>
#include <cstdio>
#include <string>

#include "base/settings/game_settings.h"
#include "base/time/millisecond_clock.h"
#include "gfx/image_operations/image_part.h"
#include "novel/screens/vov_select_screen.h"
#include "novel/screens/vov_system_prompts.h"
#include "platform/system/diagnostic_log.h"

using vov_system::Setting;

namespace {

constexpr std::uint32_t kMusicFadeTime = 1000;
constexpr std::uint32_t kPromptCrossTime = 300;
constexpr std::int32_t kFirstAnswer = 0;
constexpr std::int32_t kSecondAnswer = 1;
constexpr std::size_t kFirstBarPart = 2;
constexpr std::int32_t kLastPart = 8;
constexpr std::int32_t kValueCountsAsZero = -2;

// Characters 6 and 7 show the backgrounds 5 and 4.
std::string BackgroundOf(std::int32_t character) {
  const std::int32_t number = character == 6 ? 5 : character == 7 ? 4 : character;
  std::array<char, 32> name{};
  std::snprintf(name.data(), name.size(), "SYS/SS_BG%d.ELG", number);
  return name.data();
}

}  // namespace

std::int32_t CVovFrame::RunSelectPrompt(std::int32_t variable, std::uint32_t answer, std::uint32_t flags,
                                        std::int32_t flag_count, std::int32_t character, std::int32_t scene,
                                        const char* text) {
  if (answer == 0) return kNothingToSelect;
  ScriptMemory& memory = host_.Memory();
  if (answer % 4 != 0 || !memory.Contains(answer, 4)) {
    plat::LogDiagnostic("the select prompt's answer word lies outside the script memory");
    return kNothingToSelect;
  }

  bool was_skipping = false;
  if (go_on_) {
    go_on_ = false;
  } else {
    choices_pending_ = true;
    was_skipping = skip_mode_;
    skip_mode_ = false;
    SetButtonState(kSkipButton, kButtonDisabled);
    ShowHiddenCursor();
    if (memory.Word(answer) == 0 && FlashSelection() != 0) return kRunStopped;
    const bool effects = !was_skipping && !IsInterrupted(kInterruptSkip);
    StopMusic(effects ? kMusicFadeTime : 0);
    ShowMessageWindow(false, true);
    SetButtonState(kHistoryButton, TextLog().Count() > 0 ? kButtonEnabled : kButtonDisabled);
    memory.SetWord(answer, static_cast<std::uint32_t>(character));
    if (effects) {
      Page().LoadBg(BackgroundOf(character).c_str(), 1);
      Page().ClearSprites(true, -1);
      const std::int32_t crossed = CrossScreen(kPromptCrossTime, CImagePart::kModeSwapLayers, 0);
      if (crossed == kWaitAppEnding) return kRunStopped;
      // A cross that cannot start still brings the background to the front.
      if (crossed != 0) {
        page_.ShowBackPage();
        page_.SwapPages(true);
      }
    } else {
      Page().LoadBg(BackgroundOf(character).c_str(), 0);
      Page().ClearSprites(false, -1);
    }
    Page().ClearBg(0, 1);
    Page().ClearSprites(true, -1);
  }

  SelectScreen screen(character, scene, flag_count);
  screen.content.status_text = true;
  screen.content.body_text = text != nullptr ? text : "";
  if (!OpenSelectScreen(screen, "SYS/SS_BG.GMP", kFirstBarPart, flags)) return kRunStopped;
  // The bar slides in whether or not the opening used effects.
  if (!SlideSelectScreen(screen, true)) {
    CloseSelectScreen(screen);
    return kRunStopped;
  }
  message_window_.ClearText();
  screen.root->Reset();

  std::int32_t taken = -1;
  while (taken < 0) {
    if (!RunFramePass()) {
      CloseSelectScreen(screen);
      return kRunStopped;
    }
    screen.root->ProcessInput(ReadMillisecondClock());
    const std::int32_t fired = screen.root->TakeCommandId();
    if (fired == kFirstAnswer || fired == kSecondAnswer) {
      vov_system::PlaySystemSound(vov_system::kDialogChannel);
      taken = fired;
      continue;
    }
    const std::int32_t command = fired > kSecondAnswer && fired <= kLastPart ? fired - kSecondAnswer - 1 : -1;
    if (const std::int32_t ended = ServeSelectCommand(command); ended != 0) {
      CloseSelectScreen(screen);
      return ended;
    }
  }

  const bool skip_again = was_skipping && Setting(kSettingSkipAfterChoices);
  skip_mode_ = skip_again;
  SetButtonState(kSkipButton, skip_again ? kButtonLatched : kButtonEnabled);
  if (taken == kSecondAnswer) {
    memory.SetWord(answer, 0);
    choices_pending_ = false;
  }
  bool value_zero = false;
  if (variable >= 0) {
    choices_pending_ = false;
    value_zero = SelectVariableValue(static_cast<std::uint32_t>(variable)) == 0;
  } else if (variable == kValueCountsAsZero) {
    choices_pending_ = false;
    value_zero = true;
  }
  bool going_on = true;
  if ((taken == kSecondAnswer || value_zero) && !IsInterrupted(kInterruptSkip) && !skip_mode_) {
    going_on = SlideSelectScreen(screen, false);
  }
  CloseSelectScreen(screen);
  return going_on ? 0 : kRunStopped;
}
