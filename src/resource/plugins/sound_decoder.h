// Decoded sound and its providers. A provider (the built-in Ogg Vorbis one, or one from an *.SLL
// plug-in library) opens a file object as a decoder; the decoder hands out 16-bit PCM, by
// position in milliseconds. Plug-in libraries derive from these classes, so every body here is
// inline.
#pragma once

#include <cstdint>

#include "base/files/file.h"
#include "base/lifetime/ref_counted.h"
#include "platform/sound/sound_results.h"

class CSoundDecoder : public CRefCounted {
 public:
  virtual std::uint32_t GetLength() const = 0;    // milliseconds
  virtual std::uint32_t GetDataSize() const = 0;  // bytes of PCM
  // 0, or the decoder's own failure status.
  virtual std::uint32_t Seek(std::uint32_t milliseconds) = 0;
  virtual std::uint32_t GetPosition() const = 0;  // milliseconds
  virtual bool IsEnd() const = 0;
  // Up to `count` bytes of PCM into `buffer`; the bytes written.
  virtual std::uint32_t Read(void* buffer, std::uint32_t count) = 0;
  virtual const plat::WaveFormat* GetFormat() const = 0;
};

class CSoundDecoderProvider {
 public:
  virtual ~CSoundDecoderProvider() = default;
  // A decoder over `file`, or null with the status in `error` (optional). A decoder that is
  // returned takes a reference of its own to the file (AddRef), so the caller's reference stays
  // the caller's; a provider that refuses the file takes none and leaves its position at 0.
  virtual RefPtr<CSoundDecoder> CreateDecoder(CFile& file, int* error) = 0;
};
