// The built-in functions over the sound device and the sound-decoder host: setting the device's
// format again, the host's file-opening switch, its *.SLL plug-ins and their assist entries, and
// decoding a sound into a WAV file.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] channels (0: 2 channels, rate code 44, 16 bits), args[1] rate code, args[2] bits: the
// status of the set-up, also written into args[0]. A status of 1 or more shows the sound-card
// message while the warning switch is on, and then inverts the switch.
std::uint32_t NativeInitSoundDevice(const NativeArgs& args);
// args[0] low byte 0 or 1, or 2 and above for the configured setting: the host loads sounds
// whole while the switch is on. 0.
std::uint32_t NativeSetDecoderSwitch(const NativeArgs& args);
// args[0] plug-in file: the host's result.
std::uint32_t NativeLoadSllPlugin(const NativeArgs& args);
// args[0] folder: the plug-ins loaded, -1 for a bad path.
std::uint32_t NativeLoadSllPlugins(const NativeArgs& args);
// args[0] plug-in type, -1 every plug-in: 0.
std::uint32_t NativeFreeSllPlugin(const NativeArgs& args);
// args[0] plug-in type, args[1] onward the words for its second assist entry: its result, -2
// without a plug-in of the type.
std::uint32_t NativeCallSllAssist(const NativeArgs& args);
// args[0] sound file, args[1] WAV file: 0 written; 1 a name or the host missing; 2 the sound
// cannot be opened; 3 the WAV file cannot be written there (also where scripts may not write).
std::uint32_t NativeDecodeSoundToFile(const NativeArgs& args);
