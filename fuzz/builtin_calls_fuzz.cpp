// The game's built-in functions called by number with hostile words, on a small live world: two
// linked canvases with layers, pictures of 32 and 8 bits, sprites and a colour box, a font, a
// widget, running effects and a layer filter, a motion, a timed wipe and a file. Each input is a
// sequence of calls: two bytes name the function, one byte the number of words, and each word is
// a byte that picks from a pool of hostile words (0, small numbers, the edges of the signed and
// unsigned ranges, the last byte and word of script memory, texts without their zero, live and
// stale handles of every kind, addresses of words holding handles, texts the functions look
// for) or, from 0xF0 on, a word given in the next four bytes. Every few calls the timers step
// and the canvas is repainted. Functions that reach outside the process (programs, dialogs, the
// clipboard, the desktop, files written, plug-in libraries, movies, the sound device) are left
// out. A script fault is how a bad address ends a script, so it ends only the call here; any
// crash or sanitizer report is a finding, and so is a call that takes longer than a second.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/numbers/subtractive_random.h"
#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "builtins/builtin_table.h"
#include "driver/memory_data_files.h"
#include "effects/framework/builtin_effects.h"
#include "elg_encoder.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/system/clock.h"
#include "platform/system/diagnostic_log.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/drawables/draw_layer_factory.h"
#include "script/handle_table.h"
#include "script/native_args.h"
#include "script/script_fault.h"
#include "script/script_memory.h"
#include "ui/widget_manager/widget_manager.h"

namespace {

constexpr std::uint32_t kAbsent = 65535;
constexpr std::size_t kMostWords = 16;
constexpr std::uint8_t kRawWord = 0xF0;
constexpr std::uint32_t kCallsPerStep = 4;
constexpr std::uint32_t kStepMilliseconds = 37;
constexpr auto kLongestCall = std::chrono::seconds(1);

// Ranges of functions that reach outside the process or change it as a whole.
constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 21> kLeftOut{{
    {3, 3},      // the window's options
    {13, 20},    // screen modes, the window, waits, timer resolution, thread priority
    {24, 24},    // menu commands posted to the window
    {31, 36},    // variable, read-log and persistent files
    {43, 49},    // saves written, loaded, copied and deleted
    {57, 58},    // message boxes and dialog controls
    {72, 74},    // the clipboard and the text-input dialog
    {94, 94},    // the program's data folder
    {101, 101},  // drives of the machine
    {103, 105},  // plug-in libraries
    {107, 117},  // archives mounted from disk, folder listings and plug-in libraries
    {123, 123},  // the process's current folder
    {130, 131},  // files created or opened for writing
    {143, 165},  // the background loader, file lists, dropped files, dialogs, programs, file operations
    {205, 207},  // plug-in libraries
    {318, 320},  // pictures loaded by plug-ins and from disk
    {495, 496},  // the read-text log file
    {578, 583},  // the desktop's cursor
    {596, 600},  // the sound device and its plug-ins
    {631, 651},  // sound decoded into files, movies
    {791, 808},  // the novel frame's own loop, message boxes, the shell, folders, wallpaper, screen saver
}};

bool LeftOut(std::uint32_t id) {
  if (id < kFirstGameBuiltin || id >= kBuiltinCount) return true;
  for (const auto& [first, last] : kLeftOut) {
    if (id >= first && id <= last) return true;
  }
  return false;
}

// A clock that the harness moves; the engine's sleeps move it instead of waiting.
class StepClock : public plat::ClockSource {
 public:
  std::uint32_t PreciseMilliseconds() override { return now_; }
  std::uint32_t CoarseMilliseconds() override { return now_; }
  std::optional<std::uint32_t> TimerMinimumPeriod() override { return 1; }
  std::int64_t CounterFrequency() override { return 1000; }
  std::int64_t CounterReading() override { return now_; }
  void Sleep(std::uint32_t milliseconds) override { now_ += milliseconds; }
  void SleepUntilCounter(std::int64_t reading) override {
    if (reading > now_) now_ = static_cast<std::uint32_t>(reading);
  }
  std::uint32_t Advance(std::uint32_t milliseconds) { return now_ += milliseconds; }

 private:
  std::uint32_t now_ = 1000;
};

std::uint64_t FourGigabytes() { return std::uint64_t{4} << 30; }

// What every input starts from; the engine's program-wide parts point at it while it lives.
class BuiltinWorld {
 public:
  BuiltinWorld() {
    previous_clock_ = plat::InstallClockSource(&clock_);
    if (RegisterElgDecoder(images_) != 0) std::abort();
    g_GllHost = &images_;
    g_ScreenManager = &screen_;
    g_PausableTimerManager = &timers_;
    g_DrawLayerFactory = &layers_;
    g_TrigTable = &trig_;
    g_DcpHost = &effects_;
    g_TcpHost = &filters_;
    g_BuiltinEffectServices.random_index = &g_ScriptRandomIndex;
    g_BuiltinEffectServices.random_state = &g_ScriptRandomState;
    SetPixelLib(&library_);
    RegisterSetUpEffects(effects_, filters_);
    RegisterBuiltinEffects(effects_, filters_);
    WriteFiles();
    Populate();
  }
  ~BuiltinWorld() {
    // The tasks go first: they hold the objects that the functions below release.
    timers_.RemoveAll();
    for (const std::uint32_t id : {711u, 166u, 126u, 512u, 519u, 536u, 523u, 405u}) Call(id, {});
    g_WidgetManager.DeleteAll();
    g_WidgetManager.SetLayer(nullptr);
    screen_.DestroyObjects();
    SetPixelLib(nullptr);
    g_BuiltinEffectServices.random_index = nullptr;
    g_BuiltinEffectServices.random_state = nullptr;
    g_TcpHost = nullptr;
    g_DcpHost = nullptr;
    g_TrigTable = nullptr;
    g_DrawLayerFactory = nullptr;
    g_PausableTimerManager = nullptr;
    g_ScreenManager = nullptr;
    g_GllHost = nullptr;
    plat::InstallClockSource(previous_clock_);
  }
  BuiltinWorld(const BuiltinWorld&) = delete;
  BuiltinWorld& operator=(const BuiltinWorld&) = delete;

  void Run(std::span<const std::uint8_t> input) {
    std::size_t at = 0;
    std::uint32_t calls = 0;
    const auto next = [&]() -> std::optional<std::uint8_t> {
      if (at >= input.size()) return std::nullopt;
      return input[at++];
    };
    while (at + 3 <= input.size()) {
      const std::uint32_t id = (input[at] | std::uint32_t{input[at + 1]} << 8) % kBuiltinCount;
      const std::size_t count = input[at + 2] % (kMostWords + 1);
      at += 3;
      std::vector<std::uint32_t> words;
      for (std::size_t i = 0; i < count; ++i) {
        const std::optional<std::uint8_t> pick = next();
        if (!pick) break;
        words.push_back(*pick >= kRawWord ? RawWord(input, at) : pool_[*pick % pool_.size()]);
      }
      if (LeftOut(id)) continue;
      TimedCall(id, words);
      if (++calls % kCallsPerStep == 0) Step();
    }
  }

 private:
  static std::uint32_t RawWord(std::span<const std::uint8_t> input, std::size_t& at) {
    std::uint32_t word = 0;
    for (int shift = 0; shift < 32 && at < input.size(); shift += 8) word |= std::uint32_t{input[at++]} << shift;
    return word;
  }

  std::uint32_t Call(std::uint32_t id, std::span<const std::uint32_t> words) {
    // The words lie at the end of the argument area, so that reading past them reads further
    // words of the area, as a script's call does.
    for (std::size_t i = 0; i < kMostWords; ++i) {
      memory_.SetWord(arguments_ + static_cast<std::uint32_t>(i * 4), i < words.size() ? words[i] : 0);
    }
    try {
      return GameBuiltins()[id - kFirstGameBuiltin].function(NativeArgs(memory_, handles_, arguments_));
    } catch (const ScriptFault&) {
    } catch (const std::exception&) {
      // The script host turns these into a fault of the call.
    }
    return 0;
  }
  std::uint32_t Call(std::uint32_t id, std::initializer_list<std::uint32_t> words) {
    return Call(id, std::span<const std::uint32_t>(words.begin(), words.size()));
  }

  void TimedCall(std::uint32_t id, std::span<const std::uint32_t> words) {
    const auto start = std::chrono::steady_clock::now();
    Call(id, words);
    const auto took = std::chrono::steady_clock::now() - start;
    if (took > kLongestCall) {
      std::fprintf(stderr, "built-in %u took %lld ms\n", id,
                   static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
      std::abort();
    }
  }

  void Step() {
    timers_.Dispatch(clock_.Advance(kStepMilliseconds));
    Call(428, {canvas_});
  }

  std::uint32_t Text(std::string_view text) {
    const std::uint32_t address = memory_.Allocate(static_cast<std::uint32_t>(text.size() + 1), true);
    memory_.Write(address, text.data(), static_cast<std::uint32_t>(text.size()));
    return address;
  }
  std::uint32_t WordHolding(std::uint32_t value) {
    const std::uint32_t address = memory_.Allocate(4);
    memory_.SetWord(address, value);
    return address;
  }

  void WriteFiles() {
    kvxtools::ElgPicture picture;
    picture.width = 4;
    picture.height = 3;
    picture.pixels.assign(4 * 3 * 4, 0x80);
    const std::vector<std::uint8_t> elg = kvxtools::EncodeElg(picture);
    for (const char* name : {"A.ELG", "SYS/SNOW_0.ELG", "SYS/PAPER_0.ELG", "SYS/LIGHT_0.ELG"}) files_.Set(name, elg);
    const std::string_view lines = "one\r\ntwo\r\n";
    files_.Set("A.TXT", std::span(reinterpret_cast<const std::uint8_t*>(lines.data()), lines.size()));
  }

  // The live objects, the hostile words and the texts the functions look for.
  void Populate() {
    arguments_ = memory_.Allocate(kMostWords * 4, true);
    const std::uint32_t canvas = Call(238, {64, 48, 32, 2});
    const std::uint32_t partner = Call(238, {64, 48, 32, 2});
    Call(253, {canvas, partner});
    canvas_ = canvas;
    const std::uint32_t image = Call(231, {16, 12, 32, 0});
    const std::uint32_t palette_image = Call(231, {16, 12, 8, 0});
    const std::uint32_t sprite = Call(402, {image, 0, 0, 16, 12, 4, 4});
    Call(409, {canvas, sprite, 5, 0, 1});
    const std::uint32_t box = Call(404, {8, 6, 0x80FF0000, 3, 4});
    Call(409, {canvas, box, 6, 0, 1});
    const std::uint32_t font = Call(168, {Text("face"), 16});
    Call(170, {Call(167, {Text("face"), 16})});
    Call(702, {canvas});
    const std::uint32_t button = Call(685, {10, 10, 40, 20, kAbsent});
    const std::uint32_t file = Call(124, {});
    Call(127, {file, Text("A.TXT")});
    const std::uint32_t fade = Call(218, {canvas, Text("sp_fade"), 2, 0, 0});
    Call(219, {fade, 1, 0, sprite, 100000, 0, 0, 0, 0, 0});
    const std::uint32_t zoom = Call(218, {canvas, Text("bg_zoom"), 10, 10, Text("2.0"), 0, 100000});
    const std::uint32_t quake = Call(218, {canvas, Text("quake"), 4, 4, 2, 100000, 0});
    const std::uint32_t rain = Call(218, {canvas, Text("rain"), 5, 0, 0, 0, 0, 1, 1});
    const std::uint32_t motion = Call(446, {sprite, 100000, Text("(1,1,255)(30,20,255)"), 0, 0, kAbsent});
    const std::uint32_t wipe = Call(386, {2, 100000, canvas, image, kAbsent});
    Call(256, {partner, Text("addsub"), 1, 1, 100000, 0});
    const std::uint32_t gone_image = Call(231, {4, 4, 32, 0});
    const std::uint32_t gone_sprite = Call(402, {gone_image, 0, 0, 4, 4, 0, 0});
    Call(408, {WordHolding(gone_sprite)});
    Call(243, {WordHolding(gone_image)});

    const std::vector<std::uint32_t> handles = {canvas, partner, image, palette_image, sprite, box, font, button,
                                                file, fade, zoom, quake, rain, motion, wipe};
    pool_ = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 255, 256, 65535, 65536, 100000,
             0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0x41414140, gone_image, gone_sprite};
    pool_.insert(pool_.end(), handles.begin(), handles.end());
    for (const std::uint32_t handle : handles) pool_.push_back(WordHolding(handle));
    for (const BuiltinEffectRow& row : BuiltinEffectRows()) pool_.push_back(Text(row.name));
    for (const BuiltinFilterRow& row : BuiltinFilterRows()) pool_.push_back(Text(row.name));
    for (const char* text : {"", "2.5", "-1e308", "%d %s %x %c %%", "A.TXT", "A.ELG", "face", "(1,1,255)(9,9,0)"}) {
      pool_.push_back(Text(text));
    }
    pool_.push_back(memory_.Allocate(64, true));
    // The last word and byte of script memory, and a text that runs into the end without a zero.
    const auto end = static_cast<std::uint32_t>(memory_.UsableEnd());
    for (std::uint32_t at = end - 8; at < end; ++at) memory_.SetByte(at, 'A');
    pool_.insert(pool_.end(), {end - 4, end - 1, end - 8});
  }

  StepClock clock_;
  plat::ClockSource* previous_clock_ = nullptr;
  plat::ScopedDiagnosticSink quiet_{[](std::string_view) {}};
  ScriptMemory memory_;
  HandleTable handles_;
  MemoryDataFiles files_;
  CImageLoaderManager images_{&FourGigabytes};
  CScreenManager screen_;
  CTimerManager timers_;
  CDrawLayerFactory layers_;
  CTrigTables trig_;
  CPixelLibrary library_;
  CDcpPluginManager effects_;
  CTcpPluginManager filters_;
  std::uint32_t arguments_ = 0;
  std::uint32_t canvas_ = 0;
  std::vector<std::uint32_t> pool_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool tables = (BuildPixelTables(), true);
  (void)tables;
  BuiltinWorld world;
  world.Run(std::span<const std::uint8_t>(data, size));
  return 0;
}
