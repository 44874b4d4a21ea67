// The staff roll's layout file on arbitrary bytes, over a layer with a small picture. Checks what
// the reader promises: a failed file leaves no item and no sprite in the layer, and a read one
// has a sprite in the layer for every item.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "driver/memory_data_files.h"
#include "effects/staff_roll_layout.h"
#include "elg_encoder.h"
#include "gfx/pixel_library.h"
#include "platform/diagnostic_log.h"
#include "resource/elg_decoder.h"
#include "resource/image_loader_manager.h"
#include "scene/draw_layer.h"

namespace {

constexpr const char* kLayout = "SYS/STAFF.TXT";

std::uint64_t FourGigabytes() { return std::uint64_t{4} << 30; }

struct World {
  World() {
    if (RegisterElgDecoder(host) != 0) std::abort();
    g_GllHost = &host;
    SetPixelLib(&library);
    kvxtools::ElgPicture picture;
    picture.width = 4;
    picture.height = 3;
    picture.pixels.assign(4 * 3 * 4, 0x80);
    files.Set("SYS/A.ELG", kvxtools::EncodeElg(picture));
    if (page.Create(64, 48, 32, 0) != 0 || layer.SetTarget(&page, false) != 0) std::abort();
  }

  plat::ScopedDiagnosticSink quiet{[](std::string_view) {}};
  CImageLoaderManager host{&FourGigabytes};
  CPixelLibrary library;
  MemoryDataFiles files;
  CImage page;
  CDrawLayer layer;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static World world;
  world.files.Set(kLayout, std::span<const std::uint8_t>(data, size));
  StaffRollLayout layout;
  const std::int32_t status = LoadStaffRollLayout(kLayout, world.layer.GetOwnList(), layout);
  if (status != 0) {
    if (!layout.texts.empty() || !layout.pictures.empty() || !world.layer.GetOwnList().IsEmpty()) std::abort();
    return 0;
  }
  if (world.layer.GetOwnList().Nodes().size() != layout.texts.size() + layout.pictures.size()) std::abort();
  for (const auto& picture : layout.pictures) {
    if (picture->sprite->GetOwnerList() != &world.layer.GetOwnList()) std::abort();
  }
  return 0;
}
