// The built-in functions that change the render objects the scripts made: their source, place
// and size, hit and overlap tests, turning, blending, colours and alphas per object, corner or
// vertex, the primitives' points and the transition drawable's pattern, level and target. Each
// takes the object in args[0] and serves the render kinds its row names; unless said otherwise a
// missing object or another kind gives 0 and success 1.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[1] picture: the set-source status of an image, quad or transition drawable; -1 otherwise.
std::uint32_t NativeSetRenderObjectSource(const NativeArgs& args);
// args[1], args[2] origin or offsets, args[3..6] rectangle (65535 in args[3]: none): 1 or 0.
std::uint32_t NativeSetRenderObjectSourceRect(const NativeArgs& args);
// Any kind: 1.
std::uint32_t NativeSetRenderObjectPosition(const NativeArgs& args);
std::uint32_t NativeSetRenderObjectSize(const NativeArgs& args);
std::uint32_t NativeSetRenderObjectSizeAndPosition(const NativeArgs& args);
std::uint32_t NativeMoveRenderObject(const NativeArgs& args);
// args[1], args[2] point, args[3] use the pixels: 1 hit, 0.
std::uint32_t NativeHitTestRenderObject(const NativeArgs& args);
// args[1] the other object: 1 when their bounds overlap, 0.
std::uint32_t NativeRenderObjectsOverlap(const NativeArgs& args);
// Quads and primitives (kinds 4 to 8).
std::uint32_t NativeRotateRenderObject(const NativeArgs& args);
std::uint32_t NativeSetRenderObjectBlend(const NativeArgs& args);
std::uint32_t NativeSetRenderObjectDrawMode(const NativeArgs& args);
std::uint32_t NativeSetRenderObjectColor(const NativeArgs& args);
// A vertex number outside the object's vertices changes nothing.
std::uint32_t NativeSetRenderObjectVertexColor(const NativeArgs& args);
std::uint32_t NativeSetRenderObjectCornerColors(const NativeArgs& args);
std::uint32_t NativeSetTriangleColors(const NativeArgs& args);
// Alphas are kept within 0..255.
std::uint32_t NativeSetRenderObjectAlpha(const NativeArgs& args);
std::uint32_t NativeSetRenderObjectVertexAlpha(const NativeArgs& args);
std::uint32_t NativeSetRenderObjectCornerAlphas(const NativeArgs& args);
std::uint32_t NativeSetTriangleAlphas(const NativeArgs& args);
std::uint32_t NativeSetQuadStageA(const NativeArgs& args);
std::uint32_t NativeSetQuadStageB(const NativeArgs& args);
std::uint32_t NativeSetQuadCorners(const NativeArgs& args);
std::uint32_t NativeSetRectPrimBaseSize(const NativeArgs& args);
std::uint32_t NativeSetRectPrimBaseSizeAndPosition(const NativeArgs& args);
// A primitive number above 5 changes nothing.
std::uint32_t NativeSetPolygonType(const NativeArgs& args);
// 1 set, 0 refused.
std::uint32_t NativeSetPrimitivePoint(const NativeArgs& args);
std::uint32_t NativeSetLinePoints(const NativeArgs& args);
std::uint32_t NativeSetTrianglePoints(const NativeArgs& args);
// The transition drawable's SetLevel and SetTarget statuses; -1 without one.
std::uint32_t NativeSetTransitionLevel(const NativeArgs& args);
std::uint32_t NativeSetTransitionPattern(const NativeArgs& args);
std::uint32_t NativeSetTransitionTarget(const NativeArgs& args);
std::uint32_t NativeSetTransitionPatternPosition(const NativeArgs& args);
std::uint32_t NativeMoveTransitionPatternPosition(const NativeArgs& args);
// args[1..4] addresses (each may be 0) of words for left, top, right, bottom: 1 written; 0 when
// the object has no bounds.
std::uint32_t NativeGetRenderObjectBounds(const NativeArgs& args);
