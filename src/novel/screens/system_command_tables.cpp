#include "novel/screens/system_command_tables.h"

#include <array>

#include "base/input/game_key_bindings.h"

namespace {

constexpr std::int32_t kFirstCommandAction = kActionAutoPlay;
constexpr std::array<std::int32_t, 12> kActionCommands = {6, 3, 4, 0, 1, 9, 10, 8, 7, 5, 2, 11};
constexpr std::int32_t kFirstMenuCommandResult = 8;
constexpr std::array<std::int32_t, 7> kCommandOfMenuResult = {5, 6, 7, 9, 3, 4, 8};
constexpr std::array<std::int32_t, 12> kSelectCommandOfButton = {0, 1, 2, 3, 4, -1, -1, 5, 6, -1, 7, 8};
constexpr std::array<std::size_t, kSelectCommands> kButtonOfSelectCommand = {0, 1, 2, 3, 4, 7, 8, 10, 11};
constexpr std::size_t kNoButton = 99;

// Entry `n - first` of the table, kNoSystemCommand outside it.
template <std::size_t N>
std::int32_t Lookup(const std::array<std::int32_t, N>& table, std::int32_t first, std::int32_t n) {
  const std::int32_t index = n - first;
  return index >= 0 && index < static_cast<std::int32_t>(N) ? table[static_cast<std::size_t>(index)] : kNoSystemCommand;
}

}  // namespace

std::int32_t SystemCommandOfAction(std::int32_t action) { return Lookup(kActionCommands, kFirstCommandAction, action); }

std::int32_t SystemCommandOfMenuResult(std::int32_t result) {
  return Lookup(kCommandOfMenuResult, kFirstMenuCommandResult, result);
}

std::int32_t SelectCommandOfButton(std::int32_t button) { return Lookup(kSelectCommandOfButton, 0, button); }

std::size_t ButtonOfSelectCommand(std::int32_t command) {
  return command >= 0 && command < kSelectCommands ? kButtonOfSelectCommand[static_cast<std::size_t>(command)]
                                                   : kNoButton;
}
