// The built-in functions over the screen's display objects, the image cache and the image-loader
// plug-ins (ids 200 to 210).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// Destroys every render object, drawable and surface object the screen made (the fonts stay): 0.
std::uint32_t NativeDestroyObjects(const NativeArgs& args);
// args[0]: the group id stamped on every display object made from now on; the previous one.
std::uint32_t NativeSetNewObjectOption(const NativeArgs& args);
// args[0] group id, args[1] flags (1 surface objects too, 2 every other id): those display
// objects destroyed. 0.
std::uint32_t NativeScreenListOperation(const NativeArgs& args);
// args[0] megabytes: -1 by the machine's memory; below -1 by the image-cache setting ((setting -
// 1) x 4 when that is above 0); 0 empties and stops the cache. 0.
std::uint32_t NativeSetImageCacheLimit(const NativeArgs& args);
// args[0] file name: one hold on its cached picture dropped: 0; 1 cache off; 2 not cached.
std::uint32_t NativeReleaseCachedImage(const NativeArgs& args);
// args[0] plug-in file: the host's load status.
std::uint32_t NativeLoadGllPlugin(const NativeArgs& args);
// args[0] folder: the number of plug-ins loaded; -1 for a bad folder.
std::uint32_t NativeLoadGllPlugins(const NativeArgs& args);
// args[0] plug-in type, -1 every plug-in: freed. 0.
std::uint32_t NativeFreeGllPlugin(const NativeArgs& args);
// args[0] plug-in type, args[1] onward its words: the second assist entry's result; -2 none.
std::uint32_t NativeCallGllAssist(const NativeArgs& args);
// The display's state byte (0 no display made yet).
std::uint32_t NativeGetScreenByte2(const NativeArgs& args);
// args[0..3] addresses (each may be 0) of the screen rectangle's left, top, right and bottom:
// 1 when the rectangle has an area, else 0; written either way.
std::uint32_t NativeGetScreenRect(const NativeArgs& args);
