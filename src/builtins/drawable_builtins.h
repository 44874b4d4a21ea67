// The built-ins that make and delete the screen's drawables (ids 402 to 408) and change one
// drawable whatever its type (ids 433 to 445). A drawable handle that is 0, stale or of another
// kind gives the row's value with no effect.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] object whose image the sprite shows, args[1..4] source rectangle, args[5] x, args[6] y;
// args[1] = 65535: the whole image at (0, 0). The sprite's handle, 0 when it cannot be made.
std::uint32_t NativeCreateSprite(const NativeArgs& args);
// args[0] sprite: a new sprite that shows what it shows; 0 for another drawable or a failure.
std::uint32_t NativeCreateSpriteCopy(const NativeArgs& args);
// args[0] width, args[1] height, args[2] colour 0xAARRGGBB, args[3] x, args[4] y.
std::uint32_t NativeCreateColorBox(const NativeArgs& args);
std::uint32_t NativeDestroyDrawables(const NativeArgs& args);
// args[0] the id the next drawables receive: the one they received before.
std::uint32_t NativeSetDrawableId(const NativeArgs& args);
// args[0] id, args[1] invert byte.
std::uint32_t NativeDestroyDrawablesById(const NativeArgs& args);
// args[0] address of a drawable-handle word: 0 deleted (the word cleared); 1 the address or the
// word is 0; 2 the word names no drawable of the screen (the word kept).
std::uint32_t NativeDestroyDrawable(const NativeArgs& args);

// args[0] drawable; 433 args[1] enabled flag.
std::uint32_t NativeDrawableSetEnabled(const NativeArgs& args);
// 0 in no draw list; 1 listed and disabled; 2 listed and enabled.
std::uint32_t NativeDrawableGetState(const NativeArgs& args);
std::uint32_t NativeDrawableMarkDirty(const NativeArgs& args);
// args[1..4] a rectangle in the drawable's own coordinates: cut to its area and repainted.
std::uint32_t NativeDrawableClipRect(const NativeArgs& args);
// args[1] mode byte; -2 without a drawable.
std::uint32_t NativeDrawableSetBlendMode(const NativeArgs& args);
// args[1] opacity byte: 0; -2 without a drawable.
std::uint32_t NativeDrawableSetOpacity(const NativeArgs& args);
// args[1] x, args[2] y: 1 moved, 0 unchanged.
std::uint32_t NativeDrawableSetPosition(const NativeArgs& args);
// args[1] the new id: the previous one.
std::uint32_t NativeDrawableSwapId(const NativeArgs& args);
std::uint32_t NativeDrawableMoveBy(const NativeArgs& args);
// args[1] x, args[2] y, args[3] exact byte.
std::uint32_t NativeDrawableHitTest(const NativeArgs& args);
// args[1] the other drawable.
std::uint32_t NativeDrawableOverlaps(const NativeArgs& args);
// args[1..4] addresses (each may be 0) of left, top, right, bottom.
std::uint32_t NativeDrawableGetBounds(const NativeArgs& args);
// args[0] object whose image is drawn into, args[1] drawable: the draw's status with the
// drawable's dirty state kept; -1 without image, -2 without drawable.
std::uint32_t NativeDrawableDrawInto(const NativeArgs& args);
