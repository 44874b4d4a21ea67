// The Susie plug-in interface as the engine's Linux plug-ins export it: shared objects named
// *.SPI with the published entry names, taking pointer-sized arguments where the interface took
// handles, and exchanging memory blocks in the layout below. Paths handed to a plug-in are
// paths of this machine (UTF-8, '/' separators); names inside archives are Shift-JIS with '/'
// between folders, as the interface gives them.
//
//   std::int32_t GetPluginInfo(std::int32_t info_number, char* buffer, std::int32_t buffer_length);
//       0: the kind ("00IN" images, "00AM" archives); 2: the extension filter ("*.abc;*.def");
//       3: the description. Returns the bytes written.
// Image plug-ins:
//   std::int32_t IsSupported(const char* name, const void* data);   data: at least 2048 bytes
//   std::int32_t GetPicture(const void* data, std::intptr_t size, std::uint32_t flag,
//                           SusieBlock** info, SusieBlock** bits, SusieProgressFunc progress,
//                           std::intptr_t progress_data);   flag 1: data is in memory
//       info: the bitmap information header (40 bytes, little-endian) and its colour table;
//       bits: the bottom-up rows, each padded to four bytes.
// Archive plug-ins:
//   std::int32_t GetArchiveInfo(const char* path, std::intptr_t offset, std::uint32_t flag, SusieBlock** info);
//       info: 428-byte file records (below) ended by one whose first byte is 0.
//   std::int32_t GetFile(const char* path, std::intptr_t position, void* destination, std::uint32_t flag,
//                        SusieProgressFunc progress, std::intptr_t progress_data);
//       flag 0x100: destination is a SusieBlock** that receives the entry; flag 0: destination
//       is the path of a folder the entry is written into.
// Either kind, optionally:
//   std::int32_t ConfigurationDlg(const PluginArgs* args);
// Every entry returns 0 for success (IsSupported: non-zero when the data is supported).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

// A memory block handed from a plug-in to the engine: made with std::malloc as this header
// followed by `size` bytes of data; the receiver frees it with std::free.
struct SusieBlock {
  std::uint32_t size;
  std::uint32_t reserved;
};

inline unsigned char* SusieBlockData(SusieBlock* block) { return reinterpret_cast<unsigned char*>(block + 1); }
inline const unsigned char* SusieBlockData(const SusieBlock* block) {
  return reinterpret_cast<const unsigned char*>(block + 1);
}

inline SusieBlock* SusieNewBlock(std::uint32_t size) {
  auto* block = static_cast<SusieBlock*>(std::malloc(sizeof(SusieBlock) + size));
  if (block != nullptr) *block = SusieBlock{size, 0};
  return block;
}

struct SusieBlockFree {
  void operator()(SusieBlock* block) const { std::free(block); }
};
using SusieBlockPtr = std::unique_ptr<SusieBlock, SusieBlockFree>;

// A file record of GetArchiveInfo, little-endian without padding.
inline constexpr std::size_t kSusieFileRecordSize = 428;
inline constexpr std::size_t kSusieRecordPosition = 8;    // u32, after the 8 method bytes
inline constexpr std::size_t kSusieRecordStoredSize = 12;  // u32
inline constexpr std::size_t kSusieRecordSize = 16;        // u32
inline constexpr std::size_t kSusieRecordTimeStamp = 20;   // u32
inline constexpr std::size_t kSusieRecordPath = 24;        // 200 bytes, zero-terminated
inline constexpr std::size_t kSusieRecordFileName = 224;   // 200 bytes, zero-terminated
inline constexpr std::size_t kSusieRecordCrc = 424;        // u32
inline constexpr std::size_t kSusieNameFieldSize = 200;

inline constexpr std::uint32_t kSusieFromMemory = 1;
inline constexpr std::uint32_t kSusieToMemory = 0x100;

extern "C" {
using SusieProgressFunc = std::int32_t (*)(std::int32_t done, std::int32_t total, std::intptr_t data);
using SusieGetPluginInfoFunc = std::int32_t (*)(std::int32_t info_number, char* buffer, std::int32_t buffer_length);
using SusieIsSupportedFunc = std::int32_t (*)(const char* name, const void* data);
using SusieGetPictureFunc = std::int32_t (*)(const void* data, std::intptr_t size, std::uint32_t flag,
                                             SusieBlock** info, SusieBlock** bits, SusieProgressFunc progress,
                                             std::intptr_t progress_data);
using SusieGetArchiveInfoFunc = std::int32_t (*)(const char* path, std::intptr_t offset, std::uint32_t flag,
                                                 SusieBlock** info);
using SusieGetFileFunc = std::int32_t (*)(const char* path, std::intptr_t position, void* destination,
                                          std::uint32_t flag, SusieProgressFunc progress,
                                          std::intptr_t progress_data);
}
