// The 17 game switches: the run-time block of the user's settings file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kGameSwitchCount = 17;
inline constexpr std::size_t kSwitchTranslateScripts = 0;
inline constexpr std::size_t kSwitchFrameWaitMode = 1;
inline constexpr std::size_t kSwitchHighResCounter = 2;
inline constexpr std::size_t kSwitchVerticalBlankLevel = 3;
inline constexpr std::size_t kSwitchMouseMoves = 4;
inline constexpr std::size_t kSwitchFrameSkip = 5;
inline constexpr std::size_t kSwitchSoundWarning = 6;
inline constexpr std::size_t kSwitchMovieLibraries = 7;
inline constexpr std::size_t kSwitchScriptsOwn = 9;  // read and set only by the scripts
inline constexpr std::size_t kSwitchImageCache = 10;  // 0 by the machine's memory, 1 none, n (n - 1) × 4 MB
inline constexpr std::size_t kSwitchGlyphCacheLimit = 11;  // u16
inline constexpr std::size_t kSwitchNoWaitAllowed = 13;
inline constexpr std::size_t kSwitchCarried = 14;
inline constexpr std::size_t kSwitchPriorityHooksOff = 15;
inline constexpr std::size_t kSwitchStripRepaint = 16;
using GameSwitches = std::array<uint8_t, kGameSwitchCount>;
GameSwitches DefaultGameSwitches();
