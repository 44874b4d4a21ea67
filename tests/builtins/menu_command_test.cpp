// Menu commands by index reach the main window only while the application allows them.
#include "builtins/menu_command.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/settings/framework_settings.h"
#include "platform/events/window_messages.h"
#include "support/fake_app_services.h"

namespace {

using test_support::FakeAppServices;
using Message = FakeAppServices::WindowMessage;

TEST(MenuCommandTest, IndicesBeyondTheTableAndCommandsNotAllowedSendNothing) {
  FakeAppServices app;
  for (const uint32_t index : {7u, 100u, 0xFFFFFFFFu}) EXPECT_EQ(PostMenuCommand(index, false), 0u) << index;
  // Settings, save, load and back to title wait for their menu groups; the screen-mode change for
  // the window-behaviour bit.
  for (const uint32_t index : {0u, 1u, 2u, 4u, 6u}) {
    EXPECT_EQ(PostMenuCommand(index, false), 0u) << index;
    EXPECT_EQ(PostMenuCommand(index, true), 0u) << index;
  }
  app.behaviour = kBehaviourSystemKeys | kBehaviourSwitched;
  EXPECT_EQ(PostMenuCommand(4, false), 0u);
  EXPECT_TRUE(app.messages.empty());
}

TEST(MenuCommandTest, AllowedCommandsArePostedOrSent) {
  FakeAppServices app;
  app.menu_groups.fill(true);
  app.behaviour = kBehaviourMaximizeBox;
  for (uint32_t index = 0; index < 7; ++index) {
    EXPECT_EQ(PostMenuCommand(index, false), 1u) << index;
    EXPECT_EQ(PostMenuCommand(index, true), 1u) << index;
  }
  const std::vector<uint32_t> commands{40005, 40007, 40008, 0, 40001, 40004, 40002};
  std::vector<Message> expected;
  for (const uint32_t command : commands) {
    const uint32_t message = command == 0 ? plat::WM_CLOSE : plat::WM_COMMAND;
    expected.push_back({message, command, false});
    expected.push_back({message, command, true});
  }
  EXPECT_EQ(app.messages, expected);
}

TEST(MenuCommandTest, CloseAndVersionNeedNoPermissionAndNothingGoesOutWithoutAnApplication) {
  {
    FakeAppServices app;
    EXPECT_EQ(PostMenuCommand(3, true), 1u);
    EXPECT_EQ(PostMenuCommand(5, false), 1u);
    EXPECT_EQ(app.messages, (std::vector<Message>{{plat::WM_CLOSE, 0, true}, {plat::WM_COMMAND, 40004, false}}));
  }
  EXPECT_EQ(PostMenuCommand(3, false), 0u);
}

}  // namespace
