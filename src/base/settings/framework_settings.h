// The settings that the framework application keeps: the application information (filled
// with defaults, then by the game's set-up) and the environment and window blocks of the user's
// settings file, kept as the byte blocks that the file stores.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/events/window_messages.h"
#include "platform/system/geometry.h"

struct AppInfo {
  uint8_t window_fits = 0;
  uint8_t display_list_switch = 1;
  uint8_t fullscreen_topmost = 1;
  uint16_t screen_width = 640;
  uint16_t screen_height = 480;
  uint32_t window_style = plat::WS_CAPTION | plat::WS_SYSMENU | plat::WS_MINIMIZEBOX;
  uint32_t ex_window_style = 0;
  uint16_t icon_id = 0;
  uint16_t menu_id = 0;
  uint16_t accelerator_id = 0;
  uint8_t single_instance = 1;
  uint8_t allowed_screen_modes = 2;  // 0 window only, 1 full screen only, 2 both
  uint8_t allow_cd_start = 0;
  uint8_t save_folder_kind = 1;
  uint8_t menu_in_fullscreen = 1;
  uint8_t version_major = 1;
  uint8_t version_minor = 0;
  uint8_t revision = 0;
  std::string application_name = "KVX DX Application";
  std::string product_name = "Kestrune DX";
  std::string copyright = "Copyright (C) Kestrune DX";
  std::string web_address = "http://";
  std::string save_folder_name;
};

// Allowed screen modes and screen modes.
inline constexpr uint8_t kWindowModeOnly = 0;
inline constexpr uint8_t kFullScreenOnly = 1;
inline constexpr uint8_t kWindowAndFullScreen = 2;
inline constexpr uint8_t kScreenModeNotChosen = 0;
inline constexpr uint8_t kScreenModeFullScreen = 1;
inline constexpr uint8_t kScreenModeWindow = 2;

// The save-folder kind with which nothing is saved.
inline constexpr uint8_t kSaveFolderNone = 5;

// Bytes of the 72-byte environment block.
inline constexpr std::size_t kEnvironmentSize = 72;
inline constexpr std::size_t kEnvThreadedMode = 0;
inline constexpr std::size_t kEnvAllowCmov = 1;
inline constexpr std::size_t kEnvAllowMmx = 2;
inline constexpr std::size_t kEnvAllowSse = 3;
inline constexpr std::size_t kEnvAllowSse2 = 4;
inline constexpr std::size_t kEnvDisplayCanvas = 5;
inline constexpr std::size_t kEnvZBuffer = 11;
inline constexpr std::size_t kEnvTripleBuffering = 12;
inline constexpr std::size_t kEnvMinimizeOnDeactivation = 13;
inline constexpr std::size_t kEnvStartUpLog = 14;
inline constexpr std::size_t kEnvMeasureClock = 15;
inline constexpr std::size_t kEnvInputMethod = 16;
inline constexpr std::size_t kEnvJoysticks = 17;
inline constexpr std::size_t kEnvSoftwareSoundBuffers = 18;
inline constexpr std::size_t kEnvSoundGlobalFocus = 20;
inline constexpr std::size_t kEnvLoadSoundsWhole = 22;
inline constexpr std::size_t kEnvCanvasDibSection = 23;
inline constexpr std::size_t kEnvNoScreenSaver = 24;
inline constexpr std::size_t kEnvNoPowerSaving = 25;
inline constexpr std::size_t kEnvKeepAwake = 26;
inline constexpr std::size_t kEnvFirstRecordWord = 43;   // i32
inline constexpr std::size_t kEnvSecondRecordWord = 63;  // i32
inline constexpr uint8_t kInputWindowMessages = 2;

// Bytes of the 14-byte window block.
inline constexpr std::size_t kWindowBlockSize = 14;
inline constexpr std::size_t kWinScreenMode = 0;
inline constexpr std::size_t kWinColourDepth = 1;
inline constexpr std::size_t kWinLeft = 2;  // i32
inline constexpr std::size_t kWinTop = 6;   // i32
inline constexpr std::size_t kWinCursorMoves = 10;
inline constexpr std::size_t kWinMenuDelay = 11;  // u16
inline constexpr std::size_t kWinPauseWhileInactive = 13;

// Bits of the window-behaviour byte.
inline constexpr uint8_t kBehaviourSystemKeys = 0x03;
inline constexpr uint8_t kBehaviourMaximizeBox = 0x04;
// Set by every screen-mode switch.
inline constexpr uint8_t kBehaviourSwitched = 0x08;

using EnvironmentBlock = std::array<uint8_t, kEnvironmentSize>;
using WindowBlock = std::array<uint8_t, kWindowBlockSize>;

EnvironmentBlock DefaultEnvironmentBlock();
WindowBlock DefaultWindowBlock();

int32_t ReadBlockInt32(const WindowBlock& block, std::size_t offset);
void WriteBlockInt32(WindowBlock& block, std::size_t offset, int32_t value);

// A side of the window's place that is -1 names no place: the start places the window.
inline constexpr int32_t kNoWindowPlace = -1;
// Holds the window's place (its left and its top) to the range of `desktop`, the rectangle that
// holds every display: a place beyond it comes to its edge; a side of -1 stays.
void HoldWindowPlaceTo(WindowBlock& block, const plat::Rect& desktop);
