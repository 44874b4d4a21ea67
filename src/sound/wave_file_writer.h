// Decodes a sound file through the sound-decoder host and writes its PCM as a RIFF/WAVE file.
#pragma once

#include <cstdint>

class CSoundDecoderManager;

// The size of the header in front of the PCM.
inline constexpr uint32_t kWaveHeaderSize = 46;

// Writes `source` decoded into the file `destination` (replaced whole, or left as it was on
// any failure), with the host given or, for null, g_SoundDecoderManager. 0 written; 1 a name
// or the host missing; 2 no decoder for the source; 3 the destination could not be written;
// 4 no memory; 6 unexpected failure.
uint32_t WriteWaveFile(const char* source, const char* destination, CSoundDecoderManager* host = nullptr);
