// Archives and archive decoders: what the data-file layer mounts. A decoder (built in, or from
// an *.ADL plug-in library) opens an archive file and returns a CArchive that serves entries by
// name or by number. Plug-in libraries derive from these classes, so every body here is inline.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "base/files/read_stream.h"
#include "base/files/read_target.h"
#include "base/lifetime/ref_counted.h"
#include "platform/files/file_handle.h"
#include "resource/plugins/plugin_args.h"

// Statuses that archives and decoders share with the data-file layer.
inline constexpr std::int32_t kArchiveUnsupported = -2;
inline constexpr std::int32_t kArchiveNotStreamable = -3;

// What an archive tells about one entry.
struct ArchiveEntryInfo {
  std::uint32_t number = 0;
  std::uint32_t stored_size = 0;
  std::uint32_t size = 0;
  std::uint32_t time_stamp = 0;  // seconds since 1970; 0 when the archive keeps none
  std::uint32_t crc = 0;
  std::uint32_t offset = 0;
  std::uint32_t reserved2 = 0;
  std::uint8_t kind = 8;
  std::uint8_t flags = 0;
  std::uint16_t has_unpacked_size = 0;
};

struct ArchiveEntryName {
  const char* name;
  const ArchiveEntryInfo* info;
};

// Called as progress(step, total) while an entry is read; may be empty.
using ArchiveProgress = std::function<void(std::int32_t step, std::int32_t total)>;

class CArchive : public CRefCounted {
 public:
  virtual std::uint32_t GetEntryCount() const = 0;
  // Every entry's name and information, in entry order; empty when the archive keeps no table.
  virtual std::span<const ArchiveEntryName> GetEntryInfoTable() const = 0;
  virtual bool HasEntry(const char* name) const = 0;
  virtual const ArchiveEntryInfo* GetEntryInfoByName(const char* name) const = 0;
  virtual const ArchiveEntryInfo* GetEntryInfo(std::uint32_t number, const char** out_name) const = 0;
  // Read an entry whole into a buffer from `target`; 0 or a failure status. After a failure the
  // caller frees what the target allocated.
  virtual std::int32_t ReadEntryByName(const char* name, CReadTarget& target, const ArchiveProgress& progress) = 0;
  virtual std::int32_t ReadEntry(std::uint32_t number, CReadTarget& target, const ArchiveProgress& progress) = 0;
  // A stream over an entry, or null with the status in `error` (optional):
  // kArchiveNotStreamable when the entry can only be read whole.
  virtual RefPtr<CReadStream> OpenEntryStreamByName(const char* name, int* error) = 0;
  virtual RefPtr<CReadStream> OpenEntryStream(std::uint32_t number, int* error) = 0;
};

class CArchiveDecoder {
 public:
  virtual ~CArchiveDecoder() = default;
  // Opens the archive at `path` (an absolute engine path). `file` is an open read handle of it,
  // or closed, in which case the decoder opens the path itself. An archive that is returned
  // takes the handle over; a decoder that refuses the file leaves the handle with the caller
  // (the next decoder is then tried with it, so decoders read with ReadAt or seek first).
  // The status goes to `error` (optional): 0 on success.
  virtual RefPtr<CArchive> Open(const char* path, plat::FileHandle& file, int* error) = 0;
  // The decoder's assist operation: a command and its argument words.
  virtual std::int32_t AssistFunc(std::uint32_t /*command*/, const PluginArgs& /*args*/) { return kArchiveUnsupported; }
};
