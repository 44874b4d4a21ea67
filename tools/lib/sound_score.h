// The text form of made sounds (the Ogg maker's scores): tones, chords, noise bursts and short
// voice-like chirps one after another, in one or more parts (music: an intro and a loop).
//
//   rate 22050                     samples a second (before the first sound; 22050 by default)
//   channels 2                     1 or 2 (before the first sound; 2 by default)
//   part NAME                      starts a part; sounds before the first part form one of their own
//   tone HZ MS [LEVEL]             a sine
//   chord HZ,HZ,... MS [LEVEL]     sines sounding together, sharing the level
//   noise MS [LEVEL]               a burst of noise that dies away
//   chirp FROM_HZ TO_HZ MS [LEVEL] a gliding, voice-like hum with overtones, swelling and fading
//   rest MS                        silence
//
// Levels are percent of full scale (50 by default, 0..100); ';' starts a comment. Tones and
// chords rise and fall over a few milliseconds so that the joins do not click.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvxtools {

struct SoundPart {
  std::string name;
  std::vector<int16_t> samples;  // interleaved by the score's channels
};

struct SoundScore {
  long rate = 22050;
  int channels = 2;
  std::vector<SoundPart> parts;
};

// False with "line N: ..." in `error` when the text is not a score.
bool ParseSoundScore(std::string_view text, SoundScore& score, std::string& error);

// Every part encoded as Ogg Vorbis, in order; empty when the encoder refuses one.
std::vector<std::vector<uint8_t>> EncodeSoundScore(const SoundScore& score);

}  // namespace kvxtools
