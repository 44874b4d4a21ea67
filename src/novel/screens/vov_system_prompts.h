// What the system commands and the system screens share: the settings and permissions they read,
// the devices they poll, the frame's sounds and the yes/no question of the in-game box.
#pragma once

#include <cstdint>
#include <string>

#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/input/keyboard.h"
#include "base/input/mouse.h"
#include "base/settings/game_settings.h"
#include "base/system/app_services.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "sound/sound_channel_manager.h"
#include "ui/dialogs/game_message_box.h"

namespace vov_system {

inline constexpr std::int32_t kDialogChannel = 1;
inline constexpr std::int32_t kCloseChannel = 2;
inline constexpr std::int32_t kClickChannel = 3;

inline bool Setting(std::size_t offset) { return CurrentGameSettings()[offset] != 0; }
// Without an application nothing is withdrawn.
inline bool Permitted(int group) { return g_AppServices == nullptr || g_AppServices->MenuGroupPermitted(group); }

// The devices as this turn left them; absent devices report nothing pressed.
inline bool KeyDown(std::uint32_t code) { return g_Keyboard != nullptr && g_Keyboard->IsDown(code); }
inline bool KeyPressed(std::uint32_t code) { return g_Keyboard != nullptr && g_Keyboard->IsPressed(code); }
inline bool MousePressed(std::uint32_t code) { return g_Mouse != nullptr && g_Mouse->IsPressed(code); }
inline bool ActionPressed(std::uint32_t action) {
  return g_KeyBindings != nullptr && g_KeyBindings->IsActionPressed(action);
}

inline void PlaySystemSound(std::int32_t channel) {
  if (g_SoundChannels != nullptr) g_SoundChannels->PlayChannel(channel, false);
}

// A yes/no question in the in-game box after the dialog sound: the box's answer (1 yes, 0 no,
// -1 the application is closing). A box that has no screen to show on counts as no: nothing
// is done that the reader did not agree to.
inline std::int32_t Ask(const std::string& sjis_text) {
  PlaySystemSound(kDialogChannel);
  constexpr std::uint32_t kYesNo = 2;
  const std::int32_t answer =
      g_MessageBox.Show(kYesNo, sjis_text.c_str(), CMessageBox::kCentred, CMessageBox::kCentred, 0, nullptr);
  if (answer != CMessageBox::kNoWindow) return answer;
  plat::LogDiagnostic("a question of the novel frame could not be shown and counts as no");
  return CMessageBox::kCancelled;
}

inline std::int32_t AskUtf8(const char* utf8_text) { return Ask(plat::Utf8ToSjis(utf8_text)); }

}  // namespace vov_system
