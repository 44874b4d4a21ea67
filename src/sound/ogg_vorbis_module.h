// The built-in sound-decoder provider for Ogg Vorbis files, and its registration with the
// sound-decoder host under the extension "OGG".
#pragma once

#include "resource/plugins/sound_decoder_manager.h"

class COggVorbisModule final : public CSoundDecoderProvider {
 public:
  // CreateDecoder statuses besides the decoder's own open statuses.
  static constexpr int kUnexpected = 12;

  static constexpr std::uint32_t kType = 2;

  // A decoder over `file`, or null with the status in `error`: 1 not Ogg Vorbis, 2 not
  // seekable, 8 no memory, 12 unexpected. A refused file is left at position 0.
  RefPtr<CSoundDecoder> CreateDecoder(CFile& file, int* error) override;
};

// Registers the built-in Ogg Vorbis provider with `host`: 0, or the host's failure.
unsigned RegisterOggVorbisModule(CSoundDecoderManager& host);
