// Which system command each input chooses: every key-binding action, every system-menu result and
// every polled button of the select screens, with the numbers around them that choose nothing.
#include "novel/screens/system_command_tables.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct Mapping {
  std::int32_t input;
  std::int32_t command;
};

TEST(SystemCommandTablesTest, KeyBindingActionsSixToSeventeenChooseTheirCommands) {
  // Auto, save, load, quick save, quick load, hide the window, the menu, settings, history, skip,
  // back to the choice, back to the title.
  const Mapping mappings[] = {{5, kNoSystemCommand}, {6, 6},  {7, 3},  {8, 4},  {9, 0},  {10, 1}, {11, 9},
                              {12, 10},            {13, 8}, {14, 7}, {15, 5}, {16, 2}, {17, 11}, {18, kNoSystemCommand}};
  for (const Mapping m : mappings) EXPECT_EQ(SystemCommandOfAction(m.input), m.command) << "action " << m.input;
}

TEST(SystemCommandTablesTest, SystemMenuResultsEightToFourteenRunTheirCommands) {
  // Skip, auto, history, hide the window, save, load, settings.
  const Mapping mappings[] = {{7, kNoSystemCommand}, {8, 5}, {9, 6}, {10, 7}, {11, 9},
                              {12, 3},               {13, 4}, {14, 8}, {15, kNoSystemCommand}};
  for (const Mapping m : mappings) EXPECT_EQ(SystemCommandOfMenuResult(m.input), m.command) << "result " << m.input;
}

TEST(SystemCommandTablesTest, TheSelectScreensTurnPolledButtonsIntoTheirOwnCommandsGatedByTheButtons) {
  const Mapping mappings[] = {{-1, kNoSystemCommand}, {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, kNoSystemCommand},
                              {6, kNoSystemCommand}, {7, 5}, {8, 6}, {9, kNoSystemCommand}, {10, 7}, {11, 8},
                              {12, kNoSystemCommand}};
  for (const Mapping m : mappings) EXPECT_EQ(SelectCommandOfButton(m.input), m.command) << "button " << m.input;
  const std::size_t gates[] = {0, 1, 2, 3, 4, 7, 8, 10, 11};
  for (std::int32_t command = 0; command < kSelectCommands; ++command) {
    EXPECT_EQ(ButtonOfSelectCommand(command), gates[command]) << "command " << command;
  }
  EXPECT_GT(ButtonOfSelectCommand(kSelectCommands), 11u);
}

}  // namespace
