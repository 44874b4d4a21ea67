// The built-in functions over the animation files (DAG) and animation-data files (DAD) that the
// scripts share between display objects, and the animated parts that play the animation files
// on display objects' draw layers (ids 510 to 521). A file that is released or loaded again
// first ends the tasks that play it.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] file name, args[1] keep the pictures' own depth: the file's handle; 0 when it cannot
// be loaded.
std::uint32_t NativeLoadAnimFile(const NativeArgs& args);
// args[0] address of a file's handle word: the animated parts that play it ended, then the file
// released: 0 (the word cleared); 1 a zero address or word; 2 a word naming no listed file (kept).
std::uint32_t NativeReleaseAnimFile(const NativeArgs& args);
// Every animated part ended, then every animation file released: 0.
std::uint32_t NativeReleaseAllAnimFiles(const NativeArgs& args);
// args[0] file, args[1] file name, args[2] keep depth: the animated parts that play it ended,
// then the file loaded anew in place: the load's status; -2 without a listed file.
std::uint32_t NativeReloadAnimFile(const NativeArgs& args);
// args[0] display object (a canvas with a draw layer), args[1] animation file, args[2] pattern,
// args[3] runs (-1 forever, 0 once and hold the last frame, n runs), args[4] priority (-1: the
// defaults: priority 0 at the file's places, catching up and ending once it holds), args[5] and
// args[6] the base x and y, args[7] catch up, args[8] end once held, args[9] delay in ms: the
// animated part's task handle; 0 when it cannot start.
std::uint32_t NativeStartAnimPart(const NativeArgs& args);
// args[0] animated part: the pattern it plays; 0 for a task that is no running animated part.
std::uint32_t NativeGetAnimPartValue(const NativeArgs& args);
// args[0] animated part, args[1] 0, args[2] pattern: played from its first frame at the next
// update (a pattern that cannot be played ends the part): 0; -1 no task; -2 a task that is no
// longer registered; -3 one of another kind; -4 args[1] not 0 (nothing changed).
std::uint32_t NativeSetAnimPartValue(const NativeArgs& args);
// args[0] file name: the animation-data file's handle; 0.
std::uint32_t NativeLoadAnimDataFile(const NativeArgs& args);
// As the animation files, for the draw objects (kind 15000) that use the file.
std::uint32_t NativeReleaseAnimDataFile(const NativeArgs& args);
std::uint32_t NativeReleaseAllAnimDataFiles(const NativeArgs& args);
// args[0] file, args[1] file name: the load's status; -2 without a listed file.
std::uint32_t NativeReloadAnimDataFile(const NativeArgs& args);
// args[0] file, args[1] 0 to 3: the 16-bit header value at byte 2 x args[1] (3 is the entry
// count); 0 without a file or for another index.
std::uint32_t NativeGetAnimDataInfo(const NativeArgs& args);
