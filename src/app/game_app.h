// The game's layer of the application object. For now it holds the game switches and the
// thread-priority hooks; the set-up, the devices, the script engine and the frame procedures
// join with their issues and say so in the program log when the program reaches them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/framework_app.h"

// The 17 game switches (the run-time block of the user's settings).
inline constexpr std::size_t kGameSwitchCount = 17;
inline constexpr std::size_t kSwitchMouseMoves = 4;
inline constexpr std::size_t kSwitchPriorityHooksOff = 15;
using GameSwitches = std::array<uint8_t, kGameSwitchCount>;
GameSwitches DefaultGameSwitches();

class CGameApp : public CFrameworkApp {
 public:
  CGameApp();
  ~CGameApp() override;

  int SetUp() override;
  const char* GetSaveFolder() override { return save_folder_.empty() ? nullptr : save_folder_.c_str(); }
  void RunOwnLoop() override;
  int OnThreadStart() override;

  // The nested priority hooks of heavy work: lower returns 0 lowered, 1 already lowered, 2 no
  // thread to lower (still counted), -1 the hooks are switched off; restore returns the nesting
  // count before the call.
  int LowerGameThreadPriority();
  int RestoreGameThreadPriority();
  int GetPriorityNesting() const { return priority_nesting_; }

  GameSwitches& GetGameSwitches() { return game_switches_; }

 private:
  // The thread whose priority the hooks change; 0 when the worker thread is not running.
  uint32_t PriorityTarget();

  GameSwitches game_switches_ = DefaultGameSwitches();
  std::string save_folder_;
  int priority_nesting_ = 0;
};

extern CGameApp* g_App;
// The priority hooks as the effects, sprites and widgets call them.
extern int (*g_LowerPriorityHook)();
extern int (*g_RestorePriorityHook)();
