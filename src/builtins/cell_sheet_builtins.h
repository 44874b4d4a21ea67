// The built-in functions over the cell sheets that the scripts share and the picture parts that
// step through them (ids 532 to 540). A sheet that is released or loaded again first ends the
// picture parts and lip-sync tasks that draw from it.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] picture file, args[1] cell count, args[2] time per cell, args[3] sprite or 0 (its
// source image becomes the target), args[4] display object whose image is the target, args[5]
// and args[6] where the cells go (x 65535: the picture's own place), args[7] stepping (0 forward,
// 1 back and forth, else at random), args[8] background mode (2 keeps it), args[9] blend flag,
// args[10] keep the picture's depth, args[11] colour key 0xRRGGBB or -1; args[9] = 65535 stands
// for 0, 0 and -1. The sheet's handle; 1 with neither sprite nor target image; 0 when it cannot be
// loaded.
std::uint32_t NativeLoadCellSheet(const NativeArgs& args);
// args[0] sheet, args[1] sprite: the sprite is told of the cells drawn (533) or no longer (534). 0.
std::uint32_t NativeCellSheetSetA(const NativeArgs& args);
std::uint32_t NativeCellSheetSetB(const NativeArgs& args);
// args[0] address of a sheet's handle word: 0 (the word cleared); 1; 2 (the word kept).
std::uint32_t NativeReleaseCellSheet(const NativeArgs& args);
// Every picture part and lip-sync task ended, then every sheet released: 0.
std::uint32_t NativeReleaseAllCellSheets(const NativeArgs& args);
// args[0] sheet, args[1] onward as args[0] onward of NativeLoadCellSheet: loaded anew in place:
// the load's status; -2 without a listed sheet; 1 with neither sprite nor target image.
std::uint32_t NativeReloadCellSheet(const NativeArgs& args);
// args[0] sheet, args[1] runs (byte; 0 forever), args[2] wait between runs, args[3] random part
// of the wait, args[4] the first run waits too: the picture part's task handle; 0 when it cannot
// start.
std::uint32_t NativeStartPicturePart(const NativeArgs& args);
// args[0] sheet, args[1] static sound buffer (a stream is refused): a lip-sync task that shows
// the cell matching the sound's loudness while it plays: its task handle; 0 when it cannot start
// (no sheet or target, a sound without data or not playing). A buffer destroyed meanwhile ends
// the task.
std::uint32_t NativeStartPartTask(const NativeArgs& args);
// args[0] picture part: the handle of the image its cells go into; 0.
std::uint32_t NativeGetPartImage(const NativeArgs& args);
