// The built-ins that start, finish, stop and ask about timed wipes (ids 386 to 389). A wipe
// reaches the scripts as a handle, revoked when its timer manager deletes it; a wipe that has
// ended answers as one that no manager holds. The handle is the general task handle, so the
// task built-ins pause, resume and remove a wipe as well.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] type 0 to 21, args[1] duration in ms, args[2] target object, args[3] source object or
// 0, args[4..11] the type arguments. args[4] = 65535 is the whole target (or the whole source at
// (0, 0), copied); args[7] = 65535 leaves the rest 0 with a4 65535. The new wipe's handle; 0
// when the target (or a source given) has no image or the wipe cannot start.
std::uint32_t NativeStartTimedWipe(const NativeArgs& args);
// args[0] the wipe: draws it complete and ends it. 0; 1 without the wipe owner's manager.
std::uint32_t NativeFinishTimedWipe(const NativeArgs& args);
// args[0] the wipe: ends it where it stands. 0; 1 without the wipe owner's manager.
std::uint32_t NativeStopTimedWipe(const NativeArgs& args);
// args[0] the wipe: 1 while it runs, else 0.
std::uint32_t NativeIsTimedWipeRunning(const NativeArgs& args);
