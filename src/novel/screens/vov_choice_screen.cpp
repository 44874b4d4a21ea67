// The choice screen: the pending choices as a list over a panel with the select bar, opened with
// an automatic save (or, at a restored page, with the music fading), answered by a pick that goes
// to the script word the scripts named and slides the screen away, unless the pick's variable
// asks for the flash instead.
#include <string>

#include "base/settings/game_settings.h"
#include "base/time/millisecond_clock.h"
#include "effects/framework/create_by_name.h"
#include "effects/sprite/sp_fade_effect.h"
#include "novel/page/vov_slot_records.h"
#include "novel/screens/vov_select_screen.h"
#include "novel/screens/vov_system_prompts.h"
#include "platform/system/diagnostic_log.h"
#include "resource/plugins/plugin_args.h"
#include "scene/drawables/draw_layer.h"
#include "script/game_host_access.h"

using vov_system::Permitted;
using vov_system::Setting;

namespace {

constexpr plat::Point kListPlace{57, 247};
constexpr std::int32_t kListFrames = 3;
constexpr std::int32_t kPlainItemWidth = 686;
constexpr std::int32_t kPlainItemHeight = 40;
constexpr std::uint32_t kMusicFadeTime = 300;
constexpr std::uint32_t kListFadeTime = 300;
constexpr std::int32_t kChoiceSaveGroup = 10;
constexpr std::int32_t kNextRotatingSlot = -1;
constexpr std::size_t kPickedChoiceWord = 1;

}  // namespace

std::int32_t CVovFrame::RunChoiceScreen(std::uint32_t choice_variables, std::uint32_t flags, std::int32_t flag_count,
                                        std::int32_t character, std::int32_t scene) {
  const std::int32_t pending = choice_list_.GetItemCount();
  if (choice_variables == 0 || choice_count_ == 0 || pending < 1) return kNothingToSelect;

  const bool skipping_by_reader = IsInterrupted(kInterruptSkip);
  bool was_skipping = false;
  if (go_on_) {
    go_on_ = false;
    StopMusic(skipping_by_reader ? 0 : kMusicFadeTime);
  } else {
    was_skipping = skip_mode_;
    skip_mode_ = false;
    SetButtonState(kSkipButton, kButtonDisabled);
    if (Permitted(IAppServices::kMenuSave) && Setting(kSettingSaveAtChoices)) {
      WithGameHost([](IGameHost& host) { return host.SaveGame(kChoiceSaveGroup, kNextRotatingSlot); });
    }
  }
  SetButtonState(kHistoryButton, TextLog().Count() > 1 ? kButtonEnabled : kButtonDisabled);

  SelectScreen screen(character, scene, flag_count);
  screen.content.body_text = GetCaption().value_or("");
  if (!OpenSelectScreen(screen, "SYS/SS_SEL.GMP", 0, flags)) return kRunStopped;

  screen.list.Create(PageWidgetList(), SelectScreen::kWidgetPriority, kListPlace.x,
                     kListPlace.y, kPlainItemWidth, kPlainItemHeight, 0, &message_font_, 0);
  CListMenu::SkinSources<const char*> skin;
  // Its three frames: resting, pointed at, disabled.
  skin.frame_count = kListFrames;
  skin.disabled_frame = true;
  skin.item.source = "SYS/SS_SEL.ELG";
  if (screen.list.LoadSkin(skin) != 0) {
    plat::LogDiagnostic("the choice screen's list runs without SYS/SS_SEL.ELG");
    screen.list.CreatePlainSkin(kPlainItemWidth, kPlainItemHeight, 0, 0);
  }
  screen.list.SetItemColors(0xFFFFFF, 0x8FDFDF, 0xFFFFFF, 0x909090);
  screen.list.SetGradientColors(0xFFEB00, 0xFF4646, 0x00FFEB, 0x26DD26, 0xFFEB00, 0xFF4646, 0xB0B0B0, 0x595959);
  for (std::int32_t index = 0; index < pending; ++index) {
    const CListItem& item = choice_list_.ItemOrBlank(index);
    CListPart::ItemSetup setup;
    setup.text = item.text.c_str();
    setup.disabled = item.disabled;
    screen.list.AddMenuItem(setup);
  }
  screen.list.SetPosition(kListPlace.x, kListPlace.y);
  screen.list.SetId(kFirstChoiceCommand);
  screen.root->AddChild(&screen.list, -1);
  screen.root->Reset();

  // The list fades in.
  CEffect* fade = nullptr;
  const PluginArgList fade_setup{static_cast<std::uintptr_t>(pending), 0, 0};
  if (CreateEffectByName(&fade, CSpFadeEffect::kName, nullptr, fade_setup.View()) == kEffectCreated) {
    auto* fader = dynamic_cast<CSpFadeEffect*>(fade);
    for (std::int32_t index = 0; fader != nullptr && index < pending; ++index) {
      CWidgetFace* face = screen.list.GetItemFace(index);
      auto* sprite = face != nullptr ? dynamic_cast<CSprite*>(&face->GetDrawable()) : nullptr;
      if (sprite == nullptr) continue;
      sprite->SetOpacity(0);
      fader->SetEntry(static_cast<std::uint32_t>(index), sprite, true, kListFadeTime, 0, false, 0, 0, 0);
    }
    bool ended = false;
    while (fader != nullptr && fader->IsRunning() && !ended) {
      if (IsInterrupted(kInterruptSkip) || skip_mode_) {
        fader->Finish();
      } else {
        ended = !RunFramePass();
      }
    }
    ReleaseSlotEffect(fade);
    if (ended) {
      CloseSelectScreen(screen);
      return kRunStopped;
    }
  }

  std::int32_t picked = -1;
  while (picked < 0) {
    if (!RunFramePass()) {
      CloseSelectScreen(screen);
      return kRunStopped;
    }
    screen.root->ProcessInput(ReadMillisecondClock());
    const std::int32_t fired = screen.root->TakeCommandId();
    if (fired >= kFirstChoiceCommand) {
      if (fired - kFirstChoiceCommand < pending) {
        picked = fired - kFirstChoiceCommand;
      } else {
        plat::LogDiagnostic("the choice screen ignores choice " + std::to_string(fired - kFirstChoiceCommand) +
                            " of " + std::to_string(pending));
      }
      continue;
    }
    if (const std::int32_t ended = ServeSelectCommand(fired); ended != 0) {
      CloseSelectScreen(screen);
      return ended;
    }
  }

  vov_system::PlaySystemSound(vov_system::kDialogChannel);
  if (Setting(kSettingBackToChoices) && g_GameHost != nullptr && g_GameHost->TakeSnapshot() == 0) {
    SetButtonState(kBackToChoiceButton, kButtonEnabled);
  }
  if (std::int32_t* word = ConfiguredWord(kPickedChoiceWord)) *word = picked;
  const bool skip_again = was_skipping && Setting(kSettingSkipAfterChoices);
  skip_mode_ = skip_again;
  SetButtonState(kSkipButton, skip_again ? kButtonLatched : kButtonEnabled);

  std::int32_t value = 0;
  if (const std::optional<std::uint32_t> variable = ScriptWordAt(choice_variables, static_cast<std::size_t>(picked))) {
    value = SelectVariableValue(*variable);
  } else {
    plat::LogDiagnostic("the choice screen's variable list does not reach choice " + std::to_string(picked));
  }
  bool going_on = true;
  if (value != 0) {
    going_on = FlashSelection() == 0;
  } else if (!IsInterrupted(kInterruptSkip) && !skip_mode_) {
    going_on = SlideSelectScreen(screen, false);
  }
  choice_list_.ReleaseItems();
  choice_count_ = 0;
  choices_pending_ = false;
  CloseSelectScreen(screen);
  return going_on ? 0 : kRunStopped;
}
