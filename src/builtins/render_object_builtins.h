// The built-in functions that make the screen's render objects for the scripts (images,
// textured quads, rectangles, triangles, polygons, the two state blocks, the transition
// drawable), delete them, and place them in the render list that the render pass draws in
// priority order. A creator returns the new object's handle, 0 when nothing was made; a handle
// that is 0, stale or no render object counts as none.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] source picture; args[1..4] source rectangle (65535 in args[1]: the whole source, at
// (0, 0)); args[5], args[6] the place. The image over a picture with a surface, the canvas image
// over a surface canvas, the quad over a texture object, the canvas quad over a picture canvas.
std::uint32_t NativeCreateRenderImage(const NativeArgs& args);
std::uint32_t NativeCreateTexturedQuad(const NativeArgs& args);
std::uint32_t NativeCreateRenderImage2(const NativeArgs& args);
std::uint32_t NativeCreateTexturedQuad2(const NativeArgs& args);
// args[0] primitive number 0..5 (byte), args[1] colour, args[2] point count n, args[3..] n pairs
// (x, y): 0 for a number above 5. Points beyond script memory end the run as a bad script.
std::uint32_t NativeCreatePolygon(const NativeArgs& args);
// args[0] width, args[1] height, args[2] colour, args[3], args[4] the place.
std::uint32_t NativeCreateRectPrim(const NativeArgs& args);
// args[0..5] the three points, args[6] colour, args[7], args[8] the place.
std::uint32_t NativeCreateTrianglePrim(const NativeArgs& args);
std::uint32_t NativeCreateRenderStateA(const NativeArgs& args);
std::uint32_t NativeCreateRenderStateB(const NativeArgs& args);
// args[0] target picture or 0 (drawing on the screen), args[1] source picture, args[2] pattern,
// args[3..5] x, y and level (65535 in args[3]: all 0): 0 without a source or for a picture that
// is no DirectDraw picture or image sprite.
std::uint32_t NativeCreateTransitionDrawable(const NativeArgs& args);
// args[0] address of a handle word: 0 deleted (the word cleared); 1 no handle; 2 not a render
// object of the screen (the word kept).
std::uint32_t NativeDeleteRenderObject(const NativeArgs& args);
// args[0] object, args[1] priority (-1: priority 0 with tag 0), args[2] tag byte: 0; 1 no
// object; 2 already listed; 3 no memory. After, or before, the objects of equal priority.
std::uint32_t NativeRenderListAdd(const NativeArgs& args);
std::uint32_t NativeRenderListAddBefore(const NativeArgs& args);
// args[0] object; args[0] priority: 0.
std::uint32_t NativeRenderListRemove(const NativeArgs& args);
std::uint32_t NativeRenderListRemovePriority(const NativeArgs& args);
// args[0] byte: whether the listed objects set their own render states: 0.
std::uint32_t NativeRenderListOperation(const NativeArgs& args);
// args[0] object, args[1] bit 0: 1; 0 without an object.
std::uint32_t NativeSetRenderObjectEnabled(const NativeArgs& args);
// The enabled byte; 0 without an object.
std::uint32_t NativeIsRenderObjectEnabled(const NativeArgs& args);
// args[0] bit 0 given to every listed object of priority args[1] and tag args[2] (65535 in
// args[1]: every object): 0.
std::uint32_t NativeRenderListNotify(const NativeArgs& args);
// args[0] object, args[1] priority, args[2] bit 0 keep an unchanged priority: 1 moved, else 0.
std::uint32_t NativeRenderListMove(const NativeArgs& args);
std::uint32_t NativeRenderListMoveBefore(const NativeArgs& args);
