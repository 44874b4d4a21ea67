// Which system command of the novel frame each input chooses: the key-binding actions, the
// system menu's results and the select screens' polled buttons.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::int32_t kNoSystemCommand = -1;

// The command that key-binding action `action` (6 to 17) chooses; kNoSystemCommand for others.
std::int32_t SystemCommandOfAction(std::int32_t action);
// The command that system-menu result `result` (8 to 14) runs; kNoSystemCommand for others.
std::int32_t SystemCommandOfMenuResult(std::int32_t result);
// The select screens' command of polled system button `button`; kNoSystemCommand for a button
// without one (5, 6, 9) and past the buttons.
std::int32_t SelectCommandOfButton(std::int32_t button);
// The system button whose state gates select-screen command `command` (0 to 8); past the
// commands, a number past every button.
std::size_t ButtonOfSelectCommand(std::int32_t command);
// The select screens' commands: 0 to 8.
inline constexpr std::int32_t kSelectCommands = 9;
