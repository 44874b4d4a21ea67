// Files dragged from the desktop onto the engine's windows. A window receives WM_DROPFILES only
// while it accepts files; the message's wParam is the drop, which lists the files as engine
// paths in the order they came. A drop lasts until DragFinish, and at the latest until its
// message has been dispatched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/events/window_messages.h"

namespace plat {

// 0 is no drop.
using DropHandle = uint32_t;

void DragAcceptFiles(WindowId window, bool accept);
bool AcceptsDroppedFiles(WindowId window);

// Keeps the paths of one drop and returns the handle its WM_DROPFILES carries.
DropHandle RegisterDrop(std::vector<std::string> paths);
// The number of files of the drop; 0 for a drop that has finished.
uint32_t DragQueryFileCount(DropHandle drop);
// File `index` of the drop; nothing beyond its count or after the drop has finished.
std::optional<std::string> DragQueryFile(DropHandle drop, uint32_t index);
// Frees the drop; a drop that has finished already is ignored.
void DragFinish(DropHandle drop);

}  // namespace plat
