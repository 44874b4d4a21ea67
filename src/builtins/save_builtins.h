// The built-in functions over the game host's save files, its save selection and its snapshot of
// the game state. A save is named by (group, slot), a negative slot of the rotating groups 10 and
// 11 meaning their newest or next slot; the results are the game host's statuses.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] boot value (low 16 bits; 0: nothing, result 0), args[1] save word, args[2] save title:
// starts a new save selection with no marked variables; 1.
std::uint32_t NativeBeginSaveSelection(const NativeArgs& args);
// args[0] variable (0: nothing, result 0): marks it for the save selection; 1.
std::uint32_t NativeAddSaveVariable(const NativeArgs& args);
// args[0] group, args[1] slot: the save that a load with a negative group loads. 0; 1 no path.
std::uint32_t NativeSetDefaultSavePath(const NativeArgs& args);
// The save file that a load names no slot for (the game host's pending load path): a copy of
// `path`, or none for null. Nothing without a game host.
void SetDefaultSavePath(const char* path);
// args[0] a display object whose image becomes the thumbnail of the saves taken while no novel
// frame exists (0 or a missing object: none), args[1] the name of a prepared thumbnail picture;
// 1.
std::uint32_t NativeSetSavePair(const NativeArgs& args);
std::uint32_t NativeSaveGame(const NativeArgs& args);
// While a scenario runs, 6 (logged) and nothing is loaded: the load would replace the scenario
// images the run is reading.
std::uint32_t NativeLoadGame(const NativeArgs& args);
// args[0] group, args[1] slot, args[2] a display object whose image takes the thumbnail (0:
// none; a missing object gives 1), args[3] title, args[4] caption and args[7] date destinations
// (0: none), args[6] the caption wrapped into the save screens' lines; args[5] is not read. The
// game host's status; nothing is written unless it is 0.
std::uint32_t NativeReadSaveHeader(const NativeArgs& args);
// args[0] group, args[1] slot, args[2] destination text, args[3] separator mode.
std::uint32_t NativeFormatSaveTimeStamp(const NativeArgs& args);
// args[0] group, args[1] slot, args[2] caption text.
std::uint32_t NativeWriteSaveCaption(const NativeArgs& args);
// args[0], args[1] source group and slot; args[2], args[3] target group and slot.
std::uint32_t NativeCopySaveFile(const NativeArgs& args);
std::uint32_t NativeDeleteSaveFile(const NativeArgs& args);
std::uint32_t NativeTakeSnapshot(const NativeArgs& args);
// The state as the snapshot held it, or -1 when none is held; while a scenario runs, -2 (logged)
// and the snapshot stays held.
std::uint32_t NativeRestoreSnapshot(const NativeArgs& args);
std::uint32_t NativeHasSnapshot(const NativeArgs& args);
std::uint32_t NativeDiscardSnapshot(const NativeArgs& args);
