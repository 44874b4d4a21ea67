// The display settings a program changes, as the display layer emulates them: the monitor keeps
// its own mode, and the size asked for is what the display shows the program from then on. A
// primary surface made for the display takes that size, and so does the screen of a window that
// covers the display, which the presenter letterboxes onto the monitor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/window/display_backend.h"

namespace plat {

inline constexpr int32_t DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr int32_t DISP_CHANGE_BADMODE = -2;
inline constexpr int32_t DISP_CHANGE_BADPARAM = -5;

// The modes a display can be set to: its desktop's size and each size it can switch to, at 16
// and 32 bits per pixel, since surfaces of any depth are drawn in software.
std::vector<DisplayModeDesc> OfferedDisplayModes(const DisplayOutput& display);

// Sets the display named "\\.\DISPLAYn" (empty: the primary one) to the mode's width and height,
// or with a null mode gives it its own size again. The change lasts until it is undone or the
// program ends. DISP_CHANGE_BADPARAM for a display that does not exist, DISP_CHANGE_BADMODE for
// a size it does not offer; nothing changes then.
int32_t ChangeDisplaySettings(std::string_view device_name, const DisplayModeDesc* mode);
// The size the display was set to; empty while it shows its own.
std::optional<DisplayModeDesc> ChangedDisplaySize(size_t display);

}  // namespace plat
