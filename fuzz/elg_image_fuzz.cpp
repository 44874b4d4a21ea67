// ELG pictures as the engine loads them into images, on arbitrary bytes: through the image-loader
// host from data and by name (into new 32- and 8-bit images, and into an existing image at an
// offset), then by name again with the host's cache on, so that the second load is served from
// the cached picture. Files come from a data-file layer held in memory; each input gets a name
// of its own, and the cache's small budget evicts the older ones. Pictures of more than
// kMostPixels are passed over: a few bytes of runs can describe millions of pixels, whose copying
// would slow the search down without reaching other code (the limits on picture sizes have
// tests of their own).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

#include "driver/memory_data_files.h"
#include "gfx/images/image.h"
#include "platform/system/diagnostic_log.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/elg_header.h"
#include "resource/pictures/image_loader_manager.h"

namespace {

constexpr std::uint64_t kMostPixels = std::uint64_t{1} << 16;

std::uint64_t FourGigabytes() { return std::uint64_t{4} << 30; }

struct Loader {
  Loader() {
    if (RegisterElgDecoder(host) != 0) std::abort();
    g_GllHost = &host;
  }

  plat::ScopedDiagnosticSink quiet{[](std::string_view) {}};
  MemoryDataFiles files;
  CImageLoaderManager host{&FourGigabytes};
};

void LoadEveryWay(const char* name, const std::uint8_t* data, std::uint32_t size) {
  for (const std::uint32_t flags : {0u, CImage::kUseDib}) {
    CImage image;
    image.LoadFile32(nullptr, data, size, flags);
    image.LoadFile32(name, nullptr, 0, flags);
    CImage palettized;
    palettized.LoadFile(name, nullptr, 0, flags);
  }
  CImage canvas;
  if (canvas.Create(24, 16, 32, 0) != 0) std::abort();
  canvas.LoadFileInto(name, nullptr, 0, -3, 5, false);
  canvas.LoadFileInto(nullptr, data, size, 7, -2, true);
  CImage grey;
  if (grey.Create(9, 9, 8, 0) != 0) std::abort();
  grey.LoadFileInto(name, nullptr, 0, 1, 1, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Loader loader;
  static std::uint32_t inputs = 0;
  ElgHeader header;
  if (ParseElgHeader(data, size, header) && std::uint64_t{header.width} * header.height > kMostPixels) return 0;
  char name[32];
  std::snprintf(name, sizeof name, "PIC%u.ELG", inputs++);
  loader.files.Set(name, std::span<const std::uint8_t>(data, size));
  const auto length = static_cast<std::uint32_t>(size);

  loader.host.SetCacheLimit(0);
  LoadEveryWay(name, data, length);
  loader.host.SetCacheLimit(1);
  LoadEveryWay(name, data, length);
  loader.files.Remove(name);
  return 0;
}
