// The staff roll's layout file on arbitrary bytes, over a layer with a small picture. Checks what
// the reader promises: a failed file leaves no item and no sprite in the layer, and a read one
// has a sprite in the layer for every item.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "driver/layer_world.h"
#include "effects/staff_roll/staff_roll_layout.h"

namespace {

constexpr const char* kLayout = "SYS/STAFF.TXT";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static LayerFuzzWorld world{"SYS/A.ELG"};
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
