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

#include "driver/layer_world.h"
#include "effects/sprite/key_frame_player.h"
#include "effects/sprite/sp_tanime_definition.h"
#include "scene/motions/motion_path_text.h"

namespace {

constexpr const char* kDefinition = "SYS/CA020.TXT";

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

void ReadDefinition(LayerFuzzWorld& world, std::span<const std::uint8_t> bytes) {
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
  static LayerFuzzWorld world{"SYS/A.ELG", "SYS/B.ELG"};
  const std::span<const std::uint8_t> bytes(data, size);
  PlayPathText(std::string(bytes.begin(), bytes.end()).c_str());
  ReadDefinition(world, bytes);
  return 0;
}
