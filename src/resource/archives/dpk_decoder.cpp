#include "resource/archives/dpk_decoder.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <vector>

#include "base/numbers/little_endian.h"
#include "resource/archives/dpk_archive.h"
#include "resource/archives/dpk_cipher.h"
#include "resource/archives/dpk_index.h"
#include "resource/archives/dpk_status.h"
#include "resource/archives/file_system.h"

namespace {

constexpr std::uint8_t kDpkMagic[kDpkMagicSize] = {'D', 'P', 'K', '1'};

// Set before archives are opened, read by every Open; one word each so that no reader sees
// half of a pair of key words.
std::atomic<bool> g_BuildTables{false};
std::atomic<std::uint64_t> g_KeyWords{std::uint64_t{kDefaultDpkKeyWords.second} << 32 | kDefaultDpkKeyWords.first};

DpkKeyWords CurrentKeyWords() {
  const std::uint64_t both = g_KeyWords.load(std::memory_order_acquire);
  return {static_cast<std::uint32_t>(both), static_cast<std::uint32_t>(both >> 32)};
}

RefPtr<CArchive> OpenArchive(const char* path, plat::FileHandle& given, std::int32_t& status) {
  plat::FileHandle own;
  if (!given.IsOpen()) {
    if (path == nullptr) {
      status = kDpkBadArgument;
      return nullptr;
    }
    own = plat::FileHandle::Open(path, plat::FileOpenMode::kRead);
    if (!own.IsOpen()) {
      status = kDpkNotFound;
      return nullptr;
    }
  }
  plat::FileHandle& file = given.IsOpen() ? given : own;

  status = kDpkReadFailed;
  std::uint8_t header[kDpkHeaderSize];
  const std::optional<std::uint64_t> file_size = file.Size();
  if (!file_size || file.ReadAt(0, header, sizeof header) != sizeof header) return nullptr;
  if (!std::equal(kDpkMagic, kDpkMagic + kDpkMagicSize, header)) {
    status = kDpkBadMagic;
    return nullptr;
  }

  const DpkArchiveKeys keys = MakeDpkArchiveKeys(path != nullptr ? path : "", CurrentKeyWords());
  const DpkHeaderWord word{LoadLe32(header + kDpkMagicSize) ^ keys.header};
  const std::uint32_t index_length = word.IndexLength();
  if (index_length > *file_size - kDpkHeaderSize) return nullptr;
  std::vector<std::uint8_t> plain(index_length);
  if (file.ReadAt(kDpkHeaderSize, plain.data(), plain.size()) != plain.size()) return nullptr;
  XorDpkRunningKey(plain, keys.header);

  DpkIndex index;
  status = index.Parse(std::move(plain), word);
  if (status != 0) return nullptr;

  // The handle moves into the archive last, once nothing can fail, so that a refused file
  // stays with the caller.
  const auto shared_file = std::make_shared<plat::FileHandle>();
  RefPtr<CDpkArchive> archive = MakeRef<CDpkArchive>(shared_file, *file_size, keys.content, std::move(index));
  if (!archive) {
    status = kDpkNoMemory;
    return nullptr;
  }
  if (g_BuildTables.load(std::memory_order_acquire)) archive->BuildTables();
  *shared_file = std::move(file);
  status = 0;
  return archive;
}

}  // namespace

RefPtr<CArchive> CDpkDecoder::Open(const char* path, plat::FileHandle& file, int* error) {
  std::int32_t status = kDpkUnexpected;
  RefPtr<CArchive> archive;
  try {
    archive = OpenArchive(path, file, status);
  } catch (const std::bad_alloc&) {
    status = kDpkNoMemory;
  } catch (...) {
    status = kDpkUnexpected;
  }
  if (error != nullptr) *error = archive ? 0 : status;
  return archive;
}

std::int32_t CDpkDecoder::AssistFunc(std::uint32_t command, const PluginArgs& args) {
  return DpkAssistFunc(command, &args);
}

std::int32_t DpkAssistFunc(std::uint32_t command, const PluginArgs* args) {
  const PluginArgList list = PluginArgList::WithCommand(command, args != nullptr ? *args : PluginArgs{nullptr, 0});
  const PluginArgs words = list.View();
  return DpkAssistFunc2(&words);
}

std::int32_t DpkAssistFunc2(const PluginArgs* args) {
  if (args == nullptr) return kDpkBadArgument;
  switch (args->U32(0)) {
    case kDpkAssistBuildTables:
      g_BuildTables.store((args->U32(1) & 0xFF) != 0, std::memory_order_release);
      return 0;
    case kDpkAssistKeyWords:
      g_KeyWords.store(std::uint64_t{args->U32(2)} << 32 | args->U32(1), std::memory_order_release);
      return 0;
    default:
      return kDpkBadArgument;
  }
}

DpkDecoderSettings GetDpkDecoderSettings() {
  return {g_BuildTables.load(std::memory_order_acquire), CurrentKeyWords()};
}

unsigned RegisterDpkDecoder(CFileSystem& files) {
  return files.RegisterArchiveDecoder(std::make_unique<CDpkDecoder>(), "DPK\0", "DPK format", 1, DpkAssistFunc,
                                      DpkAssistFunc2, nullptr);
}
