// The built-ins that work on the image part of a canvas (ids 253 to 259): linking it to a
// partner part, reading the partner, operations on the partner and on the attached layer filter,
// and attaching a layer filter made by name. args[0] is the canvas; an object without an image
// part gives the row's none value.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[1] second canvas: the partner link's status (0; 1 when the images differ in size or
// depth); -1 when either has no image part.
std::uint32_t NativeLinkImageParts(const NativeArgs& args);
// The image canvas (kind 10) that is the part's partner, else 0.
std::uint32_t NativeGetAttachedObject(const NativeArgs& args);
// args[1] mode byte, on the partner part: mode 1 frees its work image; mode 2 marks its whole
// image changed, then frees its work image; any other mode only marks it changed. 1; 0 without
// image part.
std::uint32_t NativeImagePartSubOperation(const NativeArgs& args);
// args[1] filter name, args[2] attach mode byte, args[3] redraw flag, args[4] on the filter's
// arguments: 0 attached (the part owns the filter); -1 without image part; -2 when no filter
// bears the name or it refuses its arguments; else the part's refusal (the filter released).
std::uint32_t NativeAttachLayerFilter(const NativeArgs& args);
// Detaches the attached filter with the redraw byte it was attached with: 1; 0 without part.
std::uint32_t NativeImagePartOperationD(const NativeArgs& args);
// 1 while a filter is attached, else 0.
std::uint32_t NativeImagePartQuery(const NativeArgs& args);
// The bits per pixel of the part's image; 0 without part.
std::uint32_t NativeImagePartValue(const NativeArgs& args);
