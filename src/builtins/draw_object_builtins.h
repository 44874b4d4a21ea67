// The built-in functions that start draw objects (effects) by name on display objects and talk
// to them (ids 218 to 221). Their argument words reach the objects as the engine's effects read
// them: handles of drawables and display objects as those objects, addresses of texts as the
// texts, other words as numbers.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] display object (a canvas), args[1] name, args[2] onward the object's arguments: the
// draw object running on the pausable timer manager (a task handle); 0 without a canvas, for an
// unknown name, or when the set-up fails or finishes at once (the object is then deleted).
std::uint32_t NativeStartDrawObject(const NativeArgs& args);
// args[0] draw object, args[1] onward its words: its SetParam (GetParam) result; -1 without one.
std::uint32_t NativeDrawObjectSetParam(const NativeArgs& args);
std::uint32_t NativeDrawObjectGetParam(const NativeArgs& args);
// args[0] name, args[1] onward its words: the result of that draw object's assist entry; -1
// without one.
std::uint32_t NativeCallDcpAssist(const NativeArgs& args);
