// Every background, screen and sprite effect made by name, one 800 x 600 frame each half way
// through: the effect's step and the page's whole repaint into a surface of the window's format,
// with the engine's drawing set up as a game's (the pixel library installed), against the one
// anchor (OVER of a whole frame with per-pixel alpha) in the same run. The page shows a sprite of
// per-pixel alpha drawn at a level. The pictures and text files the effects read come from a game
// folder generated at the start in a temporary folder and removed at the end. After the runs:
// each frame time as a ratio to the anchor.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/files/data_file_layer.h"
#include "base/files/path.h"
#include "base/lifetime/ref_counted.h"
#include "base/numbers/subtractive_random.h"
#include "base/time/millisecond_clock.h"
#include "base/time/timer_manager.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "effects/sprite/sp_change_effect.h"
#include "effects/table/builtin_effect_table.h"
#include "gfx/display/image_canvas.h"
#include "pixel/formats/pixel_format_codes.h"
#include "platform/files/host_path.h"
#include "platform/window/surface.h"
#include "resource/archives/file_system.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "scene/animations/dad_file.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"

#include "anim_file_writer.h"
#include "elg_encoder.h"
#include "game_drawing_set_up.h"
#include "pixman_over_anchor.h"
#include "random_elg_picture.h"
#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr uint32_t kDuration = 1000;

std::uintptr_t Word(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

void PaintPicture(CImage& image, uint32_t seed) {
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < image.GetWidth(); ++x) row[x] = 0xFF000000u | ((x * seed + y) & 0xFFFFFF);
  }
}

// A figure's alpha: opaque in the middle, clear at the sides, a ramp of every alpha between.
void ShapeAlpha(CImage& image) {
  const int32_t width = image.GetWidth();
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < width; ++x) {
      const int32_t from_side = std::min(x, width - 1 - x);
      const auto alpha = static_cast<uint32_t>(std::clamp((from_side - width / 8) * 2 + (y & 7), 0, 255));
      row[x] = (row[x] & 0x00FFFFFFu) | alpha << 24;
    }
  }
}

// A game folder in a temporary folder, the base folder of the data files and of the picture
// loader while it lives: the noise texture, the particles' pictures, a staff roll, a cut-out
// animation and the cells of an animation file, all made by the project's own writers.
class BenchGameFolder {
 public:
  static constexpr std::int32_t kAnimeCells = 4;

  BenchGameFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrune-effects-XXXXXX").string();
    folder_ = std::string(mkdtemp(pattern.data())) + "/";
    for (const char* sub : {"SYS", "ANIME"}) std::filesystem::create_directories(folder_ + sub);
    WritePicture("SYS/NOISE.ELG", 256, 256);
    WritePictures("SYS/PAPER_%d.ELG", 8, 24 * 32, 32);
    WritePictures("SYS/GR_LT%d.ELG", 3, 5 * 16, 16);
    WritePictures("SYS/SNOW_%d.ELG", 5, 8, 8);
    WritePictures("SYS/ROLL%d.ELG", 16, 400, 24);
    std::string roll = "init 3000\r\n";
    for (int line = 0; line < 16; ++line) {
      roll += "gtext 200, " + std::to_string(300 + 40 * line) + ", \"SYS/ROLL" + std::to_string(line) + ".ELG\"\r\n";
    }
    WriteFile("SYS/STAFF.TXT", roll);
    WritePictures("SYS/CELL%d.ELG", 3, 200, 150);
    WriteFile("SYS/CELLS.TXT",
              "*CELL0.ELG\r\n0, 0\r\nt 1000\r\n400, 200\r\n*CELL1.ELG\r\n400, 0\r\nt 1000\r\n0, 300\r\n"
              "*CELL2.ELG\r\n200, 450\r\nt 1000\r\n600, 0\r\n");
    WritePictures("ANIME/C%d.ELG", kAnimeCells, 800, 600);
    SetBaseFolder(plat::ToEnginePath(folder_).c_str());
    g_DataFiles = &files_;
    RegisterElgDecoder(pictures_);
    g_GllHost = &pictures_;
  }
  ~BenchGameFolder() {
    g_GllHost = nullptr;
    g_DataFiles = nullptr;
    std::filesystem::remove_all(folder_);
  }
  BenchGameFolder(const BenchGameFolder&) = delete;
  BenchGameFolder& operator=(const BenchGameFolder&) = delete;

 private:
  void WriteFile(const std::string& relative, std::string_view contents) const {
    std::ofstream(folder_ + relative, std::ios::binary).write(contents.data(), static_cast<std::streamsize>(contents.size()));
  }
  void WritePicture(const std::string& relative, std::uint16_t width, std::uint16_t height) const {
    const std::vector<std::uint8_t> file = kvxtools::EncodeElg(kvxtools::RandomElgPicture(32, width, height, width + height));
    WriteFile(relative, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
  }
  // Pictures named by `format` with "%d" for 0 to count - 1.
  void WritePictures(std::string_view format, int count, std::uint16_t width, std::uint16_t height) const {
    const std::size_t at = format.find("%d");
    for (int k = 0; k < count; ++k) {
      WritePicture(std::string(format.substr(0, at)) + std::to_string(k) + std::string(format.substr(at + 2)), width,
                   height);
    }
  }

  std::string folder_;
  CFileSystem files_;
  CImageLoaderManager pictures_;
};

// The sprites of "sp_change": the old one on the heap, as the effect deletes it when it ends.
struct SpriteChange {
  std::unique_ptr<CImage> old_picture;
  std::unique_ptr<CImage> new_picture;
  std::unique_ptr<CSprite> old_sprite;
  std::unique_ptr<CSprite> new_sprite;

  // The sprites go before the pictures they show.
  void Clear() {
    old_sprite.reset();
    new_sprite.reset();
    old_picture.reset();
    new_picture.reset();
  }
};

// Two pages with a draw layer and a list each, showing an 800 x 600 picture, the front one with
// a 400 x 300 sprite of per-pixel alpha in its middle drawn at level kSpriteLevel; the window
// surface the frames go to.
struct EffectStage {
  static constexpr uint8_t kSpriteLevel = 160;

  GameDrawingSetUp drawing;
  BenchGameFolder game;
  CDcpPluginManager effects;
  CTcpPluginManager filters;
  CTimerManager timers;
  std::int16_t random_index = 0;
  SubtractiveTable random_state{};
  CImage background;
  CImage sprite_picture;
  CSprite sprite;
  CImageCanvasEx front;
  CImageCanvasEx back;
  std::shared_ptr<plat::Surface> window;
  RefPtr<CDadFile> anime = MakeRef<CDadFile>();
  SpriteChange change;

  EffectStage() {
    g_DcpHost = &effects;
    g_TcpHost = &filters;
    g_PausableTimerManager = &timers;
    RegisterSetUpEffects(effects, filters);
    RegisterBuiltinEffects(effects, filters);
    SeedSubtractive(random_index, random_state, 4321);
    g_BuiltinEffectServices.random_index = &random_index;
    g_BuiltinEffectServices.random_state = &random_state;
    background.Create(kWidth, kHeight, 32, 0);
    PaintPicture(background, 3);
    sprite_picture.Create(kWidth / 2, kHeight / 2, 32, 0);
    PaintPicture(sprite_picture, 7);
    ShapeAlpha(sprite_picture);
    sprite_picture.SetAlphaFlag(1);
    sprite.SetImage(&sprite_picture, nullptr, kWidth / 4, kHeight / 4);
    sprite.SetOpacity(kSpriteLevel);
    for (CImageCanvasEx* page : {&front, &back}) {
      page->Create(kWidth, kHeight, 32, CImagePart::kLayerAndDrawList);
      Layer(*page).SetBackgroundImage(&background, 0, 0, false);
    }
    front.SetPartner(&back);
    Layer(front).GetOwnList().Insert(&sprite, 10, 0);
    window = plat::Surface::Make(kWidth, kHeight, plat::MakePixelFormat(plat::SurfaceFormat::kXrgb8888), 0, {});
    kvxtools::DadFileSpec spec;
    spec.header = {kWidth & 0xFF, kWidth >> 8, kHeight & 0xFF, kHeight >> 8};
    for (std::int32_t cell = 0; cell < BenchGameFolder::kAnimeCells; ++cell) {
      spec.frames.push_back(kvxtools::PatternFrame(cell, 100));
      spec.references.push_back({"C" + std::to_string(cell) + ".ELG"});
    }
    anime->LoadFromMemory(kvxtools::WriteDad(spec));
  }
  static CDrawLayer& Layer(CImagePart& page) { return *dynamic_cast<CDrawLayer*>(page.GetLayer()); }
};

EffectStage& TheEffectStage() {
  static EffectStage stage;
  return stage;
}

// An effect by name: its set-up words, and the words of a SetParam that starts its work; or a
// function that makes what the effect takes and gives its set-up words.
struct NamedEffect {
  const char* name;
  std::vector<std::uintptr_t> args;
  std::vector<std::uintptr_t> start = {};
  std::vector<std::uintptr_t> (*make_args)(EffectStage&) = nullptr;
};

std::unique_ptr<CImage> ChangePicture(uint32_t seed) {
  auto picture = std::make_unique<CImage>();
  picture->Create(kWidth / 2, kHeight / 2, 32, 0);
  PaintPicture(*picture, seed);
  return picture;
}

// Two 400 x 300 sprites in the front page's list, the old one to cross-fade into the new one.
std::vector<std::uintptr_t> MakeSpriteChange(EffectStage& stage) {
  SpriteChange& change = stage.change;
  change.old_picture = ChangePicture(5);
  change.new_picture = ChangePicture(11);
  change.old_sprite = std::make_unique<CSprite>();
  change.new_sprite = std::make_unique<CSprite>();
  change.old_sprite->SetImage(change.old_picture.get(), nullptr, kWidth / 4, kHeight / 4);
  change.new_sprite->SetImage(change.new_picture.get(), nullptr, kWidth / 4, kHeight / 4);
  for (CSprite* sprite : {change.old_sprite.get(), change.new_sprite.get()}) {
    EffectStage::Layer(stage.front).GetOwnList().Insert(sprite, 50, 0);
  }
  return {Word(change.new_sprite.get()), Word(change.old_sprite.get()), Word("i"), CSpChangeEffect::kModeCrossFade,
          60, 0, kDuration, 0};
}

std::vector<NamedEffect> NamedEffects() {
  const std::uintptr_t sprite = Word(&TheEffectStage().sprite);
  return {
      {"bg_zoom", {400, 300, Word("2"), 0, kDuration}},
      {"bg_rot", {400, 300, 128, Word("1.5"), 0, kDuration}},
      {"bg_blur", {0, 400, 300, Word("1"), Word("0"), Word("1.5"), Word("90"), kDuration, 128, 0, 0, 0, 0, 0, 0, 0,
                   0}},
      {"bg_rast", {20, 100, kDuration, 0, 0, 100, 1, 0}},
      {"bg_haze", {Word("(1,0,16)"), 8, kDuration, 0, 0, 100, 1, 0}},
      {"bg_loop", {0, kDuration, 0, 0}},
      {"bg_cross", {kDuration, 0, 0, 0}},
      {"quake", {0, 12, 8, kDuration, Word("1.0"), 0, 1, 1, 0}},
      {"sp_fade", {1, 0, 0}, {1, 0, sprite, kDuration, 0, 0, 0, 0, 0}},
      {"sp_gfade", {sprite, kDuration, 0, 64, 0}},
      {"sp_panime", {sprite, Word("O0 1 r 500 O255 0 l"), kDuration, 1, 0}},
      {"bg_panime", {Word("1000 >4"), kDuration, 1, 0, 0, 0, 0}},
      {"bg_anime", {Word(TheEffectStage().anime.get()), Word("ANIME"), 0, 0, 1, 1}},
      {"noise", {128, 30, 1, 1}},
      {"paper", {100, 20, 10, 1, 0, 1, 1}},
      {"light", {100, 20, 10, 1, 0, 1, 1}},
      {"snow", {100, 20, 10, 1, 0, 1, 1}},
      {"rain", {100, 20, 10, 1, 0, 1, 1}},
      {"staff", {Word("SYS/STAFF.TXT")}},
      {"sp_tanime", {Word("SYS/CELLS.TXT"), 0, 0, 50, 1, 0}},
      {"sp_change", {}, {}, &MakeSpriteChange},
  };
}

void BM_EffectFrame(benchmark::State& state, const NamedEffect& named) {
  EffectStage& stage = TheEffectStage();
  CEffect* effect = nullptr;
  const std::vector<std::uintptr_t> words = named.make_args != nullptr ? named.make_args(stage) : named.args;
  const PluginArgs args{words.data(), static_cast<uint32_t>(words.size())};
  CImagePart* front = &stage.front;
  if (CreateEffectByName(&effect, named.name, front, args) != kEffectCreated || effect == nullptr) {
    stage.change.Clear();
    state.SkipWithError("the effect was not made");
    return;
  }
  // A running "sp_change" owns the old sprite and its picture.
  static_cast<void>(stage.change.old_sprite.release());
  static_cast<void>(stage.change.old_picture.release());
  if (!named.start.empty()) {
    effect->SetParam(PluginArgs{named.start.data(), static_cast<uint32_t>(named.start.size())});
  }
  CDrawLayer& layer = EffectStage::Layer(stage.front);
  // The effects take their start from the clock at their set-up.
  const uint32_t start = ReadMillisecondClock();
  stage.timers.Dispatch(start);
  uint32_t step = 0;
  for (auto _ : state) {
    // A new time in every frame, about half way.
    stage.timers.Dispatch(start + kDuration / 2 + (++step & 1));
    layer.InvalidateAll();
    benchmark::DoNotOptimize(layer.RepaintTo(0, nullptr, stage.window.get(), kPixelFormatXrgb8888, 0, 0));
    benchmark::ClobberMemory();
  }
  if (stage.timers.GetCount() == 0) state.SkipWithError("the effect ended before its frames");
  stage.timers.RemoveAll();
  stage.change.Clear();
  layer.ReleaseBackgroundCache();
  layer.SetBackgroundImage(&stage.background, 0, 0, false);
}

}  // namespace

int main(int argc, char** argv) {
  RegisterPixmanOver(kWidth, kHeight);
  static const std::vector<NamedEffect> named_effects = NamedEffects();
  for (const NamedEffect& named : named_effects) {
    benchmark::RegisterBenchmark(named.name, BM_EffectFrame, named)->Unit(benchmark::kMicrosecond);
  }
  // The plain frame: the page repainted with no effect running.
  benchmark::RegisterBenchmark("no_effect", [](benchmark::State& state) {
    EffectStage& stage = TheEffectStage();
    CDrawLayer& layer = EffectStage::Layer(stage.front);
    for (auto _ : state) {
      layer.InvalidateAll();
      benchmark::DoNotOptimize(layer.RepaintTo(0, nullptr, stage.window.get(), kPixelFormatXrgb8888, 0, 0));
    }
  })->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::vector<std::pair<const char*, const char*>> pairs;
  for (const NamedEffect& named : named_effects) pairs.emplace_back(named.name, kPixmanOverName);
  pairs.emplace_back("no_effect", kPixmanOverName);
  reporter.PrintRatios("frame", pairs);
  benchmark::Shutdown();
  return 0;
}
