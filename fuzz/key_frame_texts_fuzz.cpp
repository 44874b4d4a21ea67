// The texts of the key-frame animations on arbitrary bytes: as a path text, whose records are
// then played by a key-frame player through a time that covers many movements, and as a sprite
// cell definition file over a layer with two small pictures. Checks what the readers promise:
// a path starts with its key frame 0, its key frames count up, every record is of a known kind,
// and a failed definition leaves no cell and no sprite in the layer.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/memory_data_files.h"
#include "effects/key_frame_player.h"
#include "effects/sp_tanime_definition.h"
#include "elg_encoder.h"
#include "gfx/pixel_library.h"
#include "platform/diagnostic_log.h"
#include "resource/elg_decoder.h"
#include "resource/image_loader_manager.h"
#include "scene/draw_layer.h"
#include "scene/motion_path_text.h"

namespace {

constexpr const char* kDefinition = "SYS/CA020.TXT";

std::uint64_t FourGigabytes() { return std::uint64_t{4} << 30; }

// A player that only counts what it shows.
class CountingPlayer : public CKeyFramePlayer {
 public:
  std::size_t frames = 0;

 private:
  void ShowFrame(const MotionPathRecord&, const MotionPathRecord&, double t) override {
    if (!(t >= 0.0 && t <= 1.0)) std::abort();
    ++frames;
  }
};

struct World {
  World() {
    if (RegisterElgDecoder(host) != 0) std::abort();
    g_GllHost = &host;
    SetPixelLib(&library);
    kvxtools::ElgPicture picture;
    picture.width = 4;
    picture.height = 3;
    picture.pixels.assign(4 * 3 * 4, 0x80);
    const std::vector<std::uint8_t> elg = kvxtools::EncodeElg(picture);
    files.Set("SYS/A.ELG", elg);
    files.Set("SYS/B.ELG", elg);
    if (page.Create(64, 48, 32, 0) != 0 || layer.SetTarget(&page, false) != 0) std::abort();
  }

  plat::ScopedDiagnosticSink quiet{[](std::string_view) {}};
  CImageLoaderManager host{&FourGigabytes};
  CPixelLibrary library;
  MemoryDataFiles files;
  CImage page;
  CDrawLayer layer;
};

void CheckRecords(const std::vector<MotionPathRecord>& records) {
  if (records.empty() || records.front().kind != MotionPathRecord::kPoint || records.front().key_index != 0) {
    std::abort();
  }
  std::int32_t key_index = 0;
  for (const MotionPathRecord& record : records) {
    if (record.kind > kPathCentre) std::abort();
    if (record.kind == MotionPathRecord::kPoint && record.key_index != key_index++) std::abort();
  }
}

void PlayPathText(const std::string& text) {
  const PathTextFrame frame{10, 20, 200, 30, 40, 800, 600};
  PathText parsed;
  const std::uint32_t status = ParsePathText(text.c_str(), frame, parsed);
  if (status != 0) {
    if (status != kPathUnknownCommand && status != kPathBadCommand && status != kPathBadNumber) std::abort();
    return;
  }
  CheckRecords(parsed.records);
  for (const bool loop : {false, true}) {
    CountingPlayer player;
    if (player.Path().SetPoints(parsed.records, parsed.spline) != 0) std::abort();
    player.StartPlaying(37, loop);
    for (std::uint32_t now = 0; now <= 2000; now += 97) {
      if (player.Step(now) && loop && player.Path().LastKeyFrame() > 0) std::abort();
    }
    player.ShowEnd();
    if (player.frames == 0) std::abort();
  }
}

void ReadDefinition(World& world, std::span<const std::uint8_t> bytes) {
  world.files.Set(kDefinition, bytes);
  std::vector<std::unique_ptr<CSpTanimeCellDef>> cells;
  const std::int32_t status = LoadDefinition(kDefinition, &world.layer, 3, 4, 100, cells, nullptr);
  if (status != 0) {
    if (!cells.empty() || !world.layer.GetOwnList().IsEmpty()) std::abort();
    return;
  }
  for (const std::unique_ptr<CSpTanimeCellDef>& cell : cells) {
    if (!cell->commands.empty()) CheckRecords(cell->commands);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static World world;
  const std::span<const std::uint8_t> bytes(data, size);
  PlayPathText(std::string(bytes.begin(), bytes.end()).c_str());
  ReadDefinition(world, bytes);
  return 0;
}
