// The built-ins that change a sprite or a colour box (ids 451 to 465): each acts only on a
// drawable of the type its row names and otherwise returns the row's other value.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// Sprites and colour boxes: args[1] width, args[2] height (0, 0: the natural size) [, args[3] x,
// args[4] y]; the low byte of the result, 0 otherwise.
std::uint32_t NativeDrawableSetSize(const NativeArgs& args);
std::uint32_t NativeDrawableSetSizeAndPosition(const NativeArgs& args);
// Sprites only. args[1] width, args[2] height: CreateWorkImage's status; -2 otherwise.
std::uint32_t NativeSpriteCreateWorkImage(const NativeArgs& args);
// args[1..4] rectangle: SetSourceRect's status; -1 otherwise.
std::uint32_t NativeSpriteSetSourceRect(const NativeArgs& args);
// args[1] x, args[2] y: SetSourceOrigin's status; -1 otherwise.
std::uint32_t NativeSpriteSetSourceOrigin(const NativeArgs& args);
// args[1] mode byte: 1 changed, 0 otherwise.
std::uint32_t NativeSpriteSetDrawMode(const NativeArgs& args);
// args[1] code 0 to 4 (a corner or the centre); any other code makes (args[2], args[3]) the
// centre of turning and zooming.
std::uint32_t NativeSpriteSetAnchor(const NativeArgs& args);
// args[1] angle (512 steps a turn), args[2] decimal zoom text or 0 for 1.0.
std::uint32_t NativeSpriteSetTransform(const NativeArgs& args);
// args[1] decimal text of the largest zoom or 0 for 1.0: the work image sized for turning up
// to it; 0, 1 no source, 2 to 4 sizing or making the image failed; -2 otherwise.
std::uint32_t NativeSpritePrepareTransform(const NativeArgs& args);
// 1 (the work image deleted when there was one); 0 otherwise.
std::uint32_t NativeSpriteDropWorkImage(const NativeArgs& args);
// args[1] object whose image the sprite shows; args[2] = -1: only the image changes; args[2] =
// 65535: the whole image at (0, 0); else the rectangle args[2..5] at (args[6], args[7]). The
// status; -1 not a sprite, -2 no image.
std::uint32_t NativeSpriteSetImage(const NativeArgs& args);
// args[1] flag (clear the source's change record): 1 refreshed, 0 otherwise.
std::uint32_t NativeSpriteRefresh(const NativeArgs& args);
// Colour boxes only. args[1] colour (low 24 bits): 1 changed, 0 otherwise.
std::uint32_t NativeColorBoxSetRgb(const NativeArgs& args);
// args[1] width, args[2] height [, args[3] x, args[4] y]: 1 changed, 0 otherwise.
std::uint32_t NativeColorBoxResize(const NativeArgs& args);
std::uint32_t NativeColorBoxResizeAndMove(const NativeArgs& args);
