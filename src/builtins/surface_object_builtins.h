// The built-ins that make the screen's surface objects for the scripts, delete them, choose the
// frame image, read and set the values every surface object has (size, colour key, placement),
// fill an object and draw one step of a transition pattern between two objects (ids 222 to
// 252). A creating function returns the new object's handle, or 0 when its creator fails; an
// object handle that is 0, stale or of another kind returns the row's none value.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] width, args[1] height: a picture on a display surface.
std::uint32_t NativeCreatePicture(const NativeArgs& args);
// args[0] file (223); args[0] address and args[1] size of the file's bytes (224).
std::uint32_t NativeLoadPicture(const NativeArgs& args);
std::uint32_t NativeLoadPictureData(const NativeArgs& args);
// args[0] text, args[1] font (0: the default font): a text sprite.
std::uint32_t NativeCreateDDrawSprite(const NativeArgs& args);
// args[0] width, args[1] height, args[2] bits per pixel, args[3] layer mode.
std::uint32_t NativeCreateSurfaceCanvas(const NativeArgs& args);
// args[0] texture format code, args[1] file (227); args[1] address and args[2] size (228).
std::uint32_t NativeCreatePictureObject(const NativeArgs& args);
std::uint32_t NativeCreatePictureObject2(const NativeArgs& args);
// args[0] texture format code, args[1] text, args[2] font (0: the default font).
std::uint32_t NativeCreateTextObject(const NativeArgs& args);
// args[0] texture format code, args[1] width, args[2] height, args[3] bits per pixel, args[4]
// layer mode.
std::uint32_t NativeCreatePictureCanvas(const NativeArgs& args);
// args[0] width, args[1] height, args[2] bits per pixel, args[3] image flags.
std::uint32_t NativeCreateImage(const NativeArgs& args);
// args[0] file, args[1] image flags (232 at 32 bits, 233 at the file's depth); the data forms
// take args[0] address, args[1] size, args[2] flags.
std::uint32_t NativeLoadImage32(const NativeArgs& args);
std::uint32_t NativeLoadImage(const NativeArgs& args);
std::uint32_t NativeLoadImage32Data(const NativeArgs& args);
std::uint32_t NativeLoadImageData(const NativeArgs& args);
// args[0] text, args[1] font (0: the default font), args[2] image flags.
std::uint32_t NativeCreateTextImage(const NativeArgs& args);
// args[0] the source object (its software image), args[1] flags.
std::uint32_t NativeDuplicateImage(const NativeArgs& args);
// args[0] width, args[1] height, args[2] bits per pixel, args[3] layer mode (238) or non-zero
// for a layer (239).
std::uint32_t NativeCreateImageCanvasEx(const NativeArgs& args);
std::uint32_t NativeCreateImageCanvas(const NativeArgs& args);
// args[0] object, args[1] flag: 1, or 0 for a handle that names no object. The link itself is
// not built yet (the program log says so).
std::uint32_t NativeSetObjectLink(const NativeArgs& args);
// The frame image's handle; 0 without one.
std::uint32_t NativeGetFrameImage(const NativeArgs& args);
// args[0] a canvas object becomes the frame image, 0 clears it: 0; 1 for another object.
std::uint32_t NativeSetFrameImage(const NativeArgs& args);
// args[0] the address of a handle word: 0 deleted (the word cleared); 1 address or word 0; 2
// a word that names no object the screen holds (the word kept).
std::uint32_t NativeDeleteSurfaceObject(const NativeArgs& args);
// args[0] object: its width, height; 0 none.
std::uint32_t NativeGetObjectWidth(const NativeArgs& args);
std::uint32_t NativeGetObjectHeight(const NativeArgs& args);
// args[0] object, args[1] x, args[2] y (246) or args[1..3] red, green, blue bytes (247): the
// object's status; -1 none.
std::uint32_t NativeSetColorKeyAt(const NativeArgs& args);
std::uint32_t NativeSetColorKey(const NativeArgs& args);
std::uint32_t NativeClearColorKey(const NativeArgs& args);
// args[0] object: its x and y placement; 0 none.
std::uint32_t NativeGetUserWordA(const NativeArgs& args);
std::uint32_t NativeGetUserWordB(const NativeArgs& args);
// args[0] object, args[1..3] red, green, blue bytes: a display picture's fill status; for a
// software image or canvas 1 filled, 0 not; -1 for any other object or none.
std::uint32_t NativeFillObject(const NativeArgs& args);
// args[0] pattern 0 to 86, args[1] destination, args[2] source, args[3] level, args[4] x,
// args[5] y, args[6] mode: a display source draws into the screen's back surface, two software
// images (or canvases) into the destination's image. The pattern's status; -1 for a source or
// destination of another kind or none.
std::uint32_t NativeDrawTransition(const NativeArgs& args);
