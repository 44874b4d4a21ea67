#include "builtins/menu_command.h"

#include <array>

#include "base/settings/framework_settings.h"
#include "base/system/app_services.h"
#include "platform/events/window_messages.h"

namespace {

// Menu groups of IAppServices::MenuGroupPermitted.
constexpr int kGroupSettings = 0;
constexpr int kGroupSave = 1;
constexpr int kGroupLoad = 2;
constexpr int kGroupBackToTitle = 3;

// What lets a command through: always, a menu group's permission, or the window-behaviour bit
// that lets the screen mode change.
enum class Permit { kAlways, kGroup, kScreenModeChange };

struct MenuCommand {
  uint32_t message;
  uint32_t command;
  Permit permit;
  int group;
};

constexpr std::array<MenuCommand, 7> kCommands{{
    {plat::WM_COMMAND, 40005, Permit::kGroup, kGroupSettings},
    {plat::WM_COMMAND, 40007, Permit::kGroup, kGroupSave},
    {plat::WM_COMMAND, 40008, Permit::kGroup, kGroupLoad},
    {plat::WM_CLOSE, 0, Permit::kAlways, 0},
    {plat::WM_COMMAND, 40001, Permit::kScreenModeChange, 0},
    {plat::WM_COMMAND, 40004, Permit::kAlways, 0},
    {plat::WM_COMMAND, 40002, Permit::kGroup, kGroupBackToTitle},
}};

bool Allowed(const IAppServices& app, const MenuCommand& entry) {
  switch (entry.permit) {
    case Permit::kGroup:
      return app.MenuGroupPermitted(entry.group);
    case Permit::kScreenModeChange:
      return (app.WindowBehaviourBits() & kBehaviourMaximizeBox) != 0;
    case Permit::kAlways:
      break;
  }
  return true;
}

}  // namespace

uint32_t PostMenuCommand(uint32_t index, bool synchronous) {
  IAppServices* const app = g_AppServices;
  if (app == nullptr || index >= kCommands.size()) return 0;
  const MenuCommand& entry = kCommands[index];
  if (!Allowed(*app, entry)) return 0;
  if (synchronous) {
    app->SendWindowMessage(entry.message, entry.command);
  } else {
    app->PostWindowMessage(entry.message, entry.command);
  }
  return 1;
}

uint32_t NativePostMenuCommand(const NativeArgs& args) { return PostMenuCommand(args.U8(0), args.U8(1) != 0); }
