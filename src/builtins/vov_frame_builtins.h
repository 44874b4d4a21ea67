// The built-in functions 791 to 794 that make, free and run the novel frame and hand it its six
// configuration words. The frame they make is the one g_VovFrame names while it lives.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[2]: an image canvas of kind 9 as the page image, or 0. 0; 1 the object is not such a
// canvas; 2 the message window cannot be built; 3 no memory for the script table; -1 any other
// failure, and also while a run is under way (nothing changes then). A frame that exists is
// destroyed first (its read-text log written); a failed creation leaves none.
std::uint32_t NativeVovCreate(const NativeArgs& args);
// Destroys the frame (its read-text log written). 0; while a run is under way nothing changes.
std::uint32_t NativeVovFree(const NativeArgs& args);
// args[0] mode (negative: go on with the scenario loaded), args[1] scenario name. 0; 1 no frame
// (a message says so), or the run ended with -1 while no return to the title is pending (the
// page and the machine are reset unless the application is ending); 2 the scenario cannot be
// loaded (a message says so); 3 a run is already under way (nothing changes). The run's result
// goes to "retVovExp".
std::uint32_t NativeVovRun(const NativeArgs& args);
// args[0] index 0-5, args[1] value: the script host's configuration word; other indexes are
// ignored. 0.
std::uint32_t NativeVovSetParam(const NativeArgs& args);

// Destroys the frame when one exists; the game host's end calls it.
void DestroyVovFrame();
// Whether built-in 793 is running a scenario (the scenario's own code calls built-ins then).
bool VovRunUnderWay();
