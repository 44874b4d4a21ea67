// The live world that the fuzz targets over the built-in table call into, on the script memory
// and handle table of their caller: two linked canvases with layers, pictures of 32 and 8 bits,
// sprites and a colour box, a font, widgets, running effects and a layer filter, a motion, a timed
// wipe, a file, an animation file (DAG) with a pattern part playing it, an animation-data file
// (DAD), a cell sheet over a strip of cells with a picture part, the layout buffers and the layout
// image (a layout of image buttons) loaded from layout files. Its pool of hostile words holds 0,
// small numbers, the edges of the signed and unsigned ranges, the last byte and word of script
// memory, texts without their zero, live and stale handles of every kind (those of the layout
// entries among them), addresses of words holding handles, and the texts the functions look for.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "anim_file_writer.h"
#include "base/lifetime/handle_table.h"
#include "base/numbers/subtractive_random.h"
#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "builtins/builtin_table.h"
#include "dgm_writer.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/patterns/timed_wipe_host.h"
#include "effects/table/builtin_effect_table.h"
#include "elg_encoder.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/pixel_library.h"
#include "memory_data_files.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/system/clock.h"
#include "platform/system/diagnostic_log.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/resource_list.h"
#include "scene/drawables/draw_layer_factory.h"
#include "script/native_args.h"
#include "script/script_fault.h"
#include "script/script_memory.h"
#include "ui/layouts/dgm_buffer_set.h"
#include "ui/layouts/dgm_image_file.h"
#include "ui/widget_manager/widget_manager.h"

namespace fuzz_world {

inline constexpr std::uint32_t kAbsent = 65535;
inline constexpr std::size_t kMostWords = 16;
inline constexpr std::uint8_t kRawWord = 0xF0;
inline constexpr auto kLongestCall = std::chrono::seconds(1);

// The processor time the calling thread has used: a call is slow when it works long, not when a
// busy machine keeps it waiting.
inline std::chrono::nanoseconds ThreadProcessorTime() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
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

inline std::uint64_t FourGigabytes() { return std::uint64_t{4} << 30; }

// Functions that reach outside the process or change it as a whole: programs, dialogs, the
// clipboard, the desktop, files written, plug-in libraries, movies, the sound device. The novel
// frame's own four (791 to 794) are left out too unless `frame_calls` (a run refuses them).
inline bool LeftOut(std::uint32_t id, bool frame_calls) {
  static constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 21> kRanges{{
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
      {795, 808},  // message boxes, the shell, folders, wallpaper, screen saver
  }};
  if (id < kFirstGameBuiltin || id >= kBuiltinCount) return true;
  if (id >= 791 && id <= 794) return !frame_calls;
  for (const auto& [first, last] : kRanges) {
    if (id >= first && id <= last) return true;
  }
  return false;
}

// One call read from the input: two bytes name the function, one byte the number of words, and
// each word is a byte that picks from the pool or, from kRawWord on, a word given in the next
// four bytes.
struct ReadCall {
  std::uint32_t id = 0;
  std::vector<std::uint32_t> words;
};

// The calls of the input in order; a call cut off by the input's end keeps the words it has.
inline std::vector<ReadCall> ReadCalls(std::span<const std::uint8_t> input, std::span<const std::uint32_t> pool) {
  std::vector<ReadCall> calls;
  std::size_t at = 0;
  while (at + 3 <= input.size()) {
    ReadCall call;
    call.id = (input[at] | std::uint32_t{input[at + 1]} << 8) % kBuiltinCount;
    const std::size_t count = input[at + 2] % (kMostWords + 1);
    at += 3;
    for (std::size_t i = 0; i < count && at < input.size(); ++i) {
      const std::uint8_t pick = input[at++];
      if (pick < kRawWord) {
        call.words.push_back(pool[pick % pool.size()]);
        continue;
      }
      std::uint32_t word = 0;
      for (int shift = 0; shift < 32 && at < input.size(); shift += 8) word |= std::uint32_t{input[at++]} << shift;
      call.words.push_back(word);
    }
    calls.push_back(std::move(call));
  }
  return calls;
}

// A picture of `cells` cells side by side, `width` pixels each, all of one grey.
inline std::vector<std::uint8_t> Picture(std::uint16_t cells, std::uint16_t width, std::uint16_t height,
                                         std::uint8_t grey) {
  kvxtools::ElgPicture picture;
  picture.width = static_cast<std::uint16_t>(cells * width);
  picture.height = height;
  picture.pixels.assign(std::size_t{picture.width} * height * 4, grey);
  return kvxtools::EncodeElg(picture);
}

// What every input starts from; the engine's program-wide parts point at it while it lives.
class BuiltinWorld {
 public:
  BuiltinWorld(ScriptMemory& memory, HandleTable& handles) : memory_(memory), handles_(handles) {
    previous_clock_ = plat::InstallClockSource(&clock_);
    if (RegisterElgDecoder(images_) != 0) std::abort();
    g_GllHost = &images_;
    g_ScreenManager = &screen_;
    g_PausableTimerManager = &timers_;
    g_TimerManager = &plain_timers_;
    g_DrawLayerFactory = &layers_;
    g_TrigTable = &trig_;
    g_DcpHost = &effects_;
    g_TcpHost = &filters_;
    wipes_.SetTimerManager(&timers_);
    g_TimedWipeHost = &wipes_;
    g_BuiltinEffectServices.random_index = &g_ScriptRandomIndex;
    g_BuiltinEffectServices.random_state = &g_ScriptRandomState;
    SetPixelLib(&library_);
    RegisterSetUpEffects(effects_, filters_);
    RegisterBuiltinEffects(effects_, filters_);
    WriteFiles();
  }
  ~BuiltinWorld() {
    // The tasks go first: they hold the objects that the functions below release.
    timers_.RemoveAll();
    plain_timers_.RemoveAll();
    for (const std::uint32_t id : {711u, 166u, 126u, 512u, 519u, 536u, 523u, 528u, 405u}) Call(id, {});
    g_DgmBufferSet.Release();
    g_DgmImageFile.Release();
    g_WidgetManager.DeleteAll();
    g_WidgetManager.SetLayer(nullptr);
    g_CellSheets.ReleaseAll();
    g_AnimFiles.ReleaseAll();
    g_AnimDataFiles.ReleaseAll();
    screen_.DestroyObjects();
    SetPixelLib(nullptr);
    g_BuiltinEffectServices.random_index = nullptr;
    g_BuiltinEffectServices.random_state = nullptr;
    g_TimedWipeHost = nullptr;
    g_TcpHost = nullptr;
    g_DcpHost = nullptr;
    g_TrigTable = nullptr;
    g_DrawLayerFactory = nullptr;
    g_TimerManager = nullptr;
    g_PausableTimerManager = nullptr;
    g_ScreenManager = nullptr;
    g_GllHost = nullptr;
    plat::InstallClockSource(previous_clock_);
  }
  BuiltinWorld(const BuiltinWorld&) = delete;
  BuiltinWorld& operator=(const BuiltinWorld&) = delete;

  // A script fault is how a bad address ends a script, so it ends only the call here.
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
  // A call that works longer than a second of its thread's processor time is a finding.
  void TimedCall(std::uint32_t id, std::span<const std::uint32_t> words) {
    const auto start = ThreadProcessorTime();
    Call(id, words);
    AbortWhenSlow(id, ThreadProcessorTime() - start);
  }
  static void AbortWhenSlow(std::uint32_t id, std::chrono::nanoseconds took) {
    if (took <= kLongestCall) return;
    std::fprintf(stderr, "built-in %u took %lld ms\n", id,
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    std::abort();
  }

  // The timers step and the canvas is repainted.
  void Step(std::uint32_t milliseconds) {
    const std::uint32_t now = clock_.Advance(milliseconds);
    plain_timers_.Dispatch(now);
    timers_.Dispatch(now);
    Call(428, {canvas_});
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
    const std::uint32_t neighbour = Call(685, {10, 40, 40, 20, kAbsent});
    Call(725, {button, neighbour, neighbour, neighbour, neighbour});
    const std::uint32_t file = Call(124, {});
    Call(127, {file, Text("A.TXT")});
    Call(418, {canvas, Call(231, {64, 48, 32, 0}), 0, 0, 1});
    const std::uint32_t fade = Call(218, {canvas, Text("sp_fade"), 2, 0, 0});
    Call(219, {fade, 1, 0, sprite, 100000, 0, 0, 0, 0, 0});
    const std::uint32_t zoom = Call(218, {canvas, Text("bg_zoom"), 10, 10, Text("2.0"), 0, 100000});
    const std::uint32_t quake = Call(218, {canvas, Text("quake"), 4, 4, 2, 100000, 0});
    const std::uint32_t rain = Call(218, {canvas, Text("rain"), 5, 0, 0, 0, 0, 1, 1});
    const std::uint32_t motion = Call(446, {sprite, 100000, Text("(1,1,255)(30,20,255)"), 0, 0, kAbsent});
    const std::uint32_t wipe = Call(386, {2, 100000, canvas, image, kAbsent});
    Call(256, {partner, Text("addsub"), 1, 1, 100000, 0});
    const std::uint32_t pattern = Call(510, {Text("A.DAG"), 0});
    const std::uint32_t pattern_part = Call(514, {canvas, pattern, 0, 0xFFFFFFFF, 0xFFFFFFFF, 3, 4, 0, 0, 0});
    const std::uint32_t data = Call(517, {Text("A.DAD")});
    const std::uint32_t sheet = Call(532, {Text("CELLS.ELG"), 4, 50, sprite, 0, 2, 3, 0, 0, kAbsent});
    const std::uint32_t picture_part = Call(538, {sheet, 0, 0, 0, 0});
    Call(522, {canvas, Text("PARTS.GMP"), 7, 0, 0});
    Call(527, {0, Text("BUTTONS.GMP"), 20, 0, kAbsent});
    const std::uint32_t gone_image = Call(231, {4, 4, 32, 0});
    const std::uint32_t gone_sprite = Call(402, {gone_image, 0, 0, 4, 4, 0, 0});
    Call(408, {WordHolding(gone_sprite)});
    Call(243, {WordHolding(gone_image)});

    std::vector<std::uint32_t> handles = {canvas, partner, image, palette_image, sprite, box, font, button, neighbour,
                                          file, fade, zoom, quake, rain, motion, wipe, pattern, pattern_part, data,
                                          sheet, picture_part};
    // A world that failed to come up would search nothing.
    for (std::size_t i = 0; i < handles.size(); ++i) {
      if (handles[i] != 0) continue;
      std::fprintf(stderr, "the world's object %zu was not made\n", i);
      std::abort();
    }
    if (g_DgmBufferSet.GetPartCount() != 2 || g_DgmImageFile.GetPartCount() != 2) std::abort();
    for (std::uint32_t part = 0; part < 2; ++part) {
      const std::uint32_t entry = memory_.Allocate(20, true);
      Call(525, {part, entry, entry + 4, entry + 8, entry + 12, entry + 16});
      Call(530, {part, entry + 8, entry + 12, entry + 16, entry + 16});
      for (const std::uint32_t word : {entry, entry + 4, entry + 8}) handles.push_back(memory_.Word(word));
    }
    pool_ = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 255, 256, 65535, 65536, 100000,
             0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0x41414140, 0x7FFFFFF8, gone_image, gone_sprite};
    pool_.insert(pool_.end(), handles.begin(), handles.end());
    for (const std::uint32_t handle : handles) pool_.push_back(WordHolding(handle));
    for (const BuiltinEffectRow& row : BuiltinEffectRows()) pool_.push_back(Text(row.name));
    for (const BuiltinFilterRow& row : BuiltinFilterRows()) pool_.push_back(Text(row.name));
    for (const char* text : {"", "2.5", "-1e308", "%d %s %x %c %%", "A.TXT", "A.ELG", "face", "(1,1,255)(9,9,0)",
                             "A.DAG", "A.DAD", "CELLS.ELG", "CELLS.TXT", "PARTS.GMP", "BUTTONS.GMP", "SYS"}) {
      pool_.push_back(Text(text));
    }
    pool_.push_back(memory_.Allocate(64, true));
    // The last word and byte of script memory, and a text that runs into the end without a zero.
    const auto end = static_cast<std::uint32_t>(memory_.UsableEnd());
    for (std::uint32_t at = end - 8; at < end; ++at) memory_.SetByte(at, 'A');
    pool_.insert(pool_.end(), {end - 4, end - 1, end - 8});
  }

  std::span<const std::uint32_t> Pool() const { return pool_; }
  MemoryDataFiles& Files() { return files_; }

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

 private:
  void SetFile(const std::string& name, const std::vector<std::uint8_t>& bytes) { files_.Set(name, bytes); }
  void SetText(const std::string& name, std::string_view text) {
    files_.Set(name, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }

  void WriteFiles() {
    const std::vector<std::uint8_t> elg = Picture(1, 4, 3, 0x80);
    for (const char* name : {"A.ELG", "SYS/SNOW_0.ELG", "SYS/PAPER_0.ELG", "SYS/LIGHT_0.ELG"}) SetFile(name, elg);
    SetText("A.TXT", "one\r\ntwo\r\n");
    SetFile("CELLS.ELG", Picture(4, 8, 6, 0x60));
    SetText("CELLS.TXT", "*CELLS.ELG\r\n0, 0\r\n8, 8, 128, 2.0, 0.5\r\n");
    kvxtools::DagFileSpec pattern;
    pattern.entry_count = 1;
    pattern.frames = {kvxtools::PatternFrame(0, 100), kvxtools::PatternFrame(1, 100), kvxtools::kEndOfEntry};
    for (const std::uint8_t grey : {std::uint8_t{0x40}, std::uint8_t{0xC0}}) pattern.pictures.push_back({Picture(1, 4, 4, grey)});
    SetFile("A.DAG", kvxtools::WriteDag(pattern));
    kvxtools::DadFileSpec data;
    data.header = {32, 0, 6, 0};
    data.frames = {kvxtools::PatternFrame(0, 100), kvxtools::PatternFrame(0, 100), kvxtools::kEndOfEntry};
    data.references = {{"CELLS.ELG"}};
    SetFile("A.DAD", kvxtools::WriteDad(data));
    SetFile("PART.ELG", Picture(1, 16, 8, 0xA0));
    SetFile("BUTTON.ELG", Picture(4, 16, 8, 0xB0));
    for (const bool buttons : {false, true}) {
      kvxtools::DgmFile layout;
      layout.full_picture_records = buttons;
      for (std::int16_t i = 0; i < 2; ++i) {
        layout.parts.push_back({buttons ? "BUTTON.ELG" : "PART.ELG", static_cast<std::uint8_t>(buttons ? 1 + i : 0),
                                static_cast<std::int16_t>(20 * i), 4, 255, 1, 16, 8, 0});
      }
      SetFile(buttons ? "BUTTONS.GMP" : "PARTS.GMP", kvxtools::EncodeDgm(layout));
    }
  }

  ScriptMemory& memory_;
  HandleTable& handles_;
  StepClock clock_;
  plat::ClockSource* previous_clock_ = nullptr;
  plat::ScopedDiagnosticSink quiet_{[](std::string_view) {}};
  MemoryDataFiles files_;
  CImageLoaderManager images_{&FourGigabytes};
  CScreenManager screen_;
  // The pausable manager, which the scripts' tasks join, and the plain one.
  CTimerManager timers_;
  CTimerManager plain_timers_;
  CDrawLayerFactory layers_;
  CTrigTables trig_;
  CPixelLibrary library_;
  CDcpPluginManager effects_;
  CTcpPluginManager filters_;
  CTimedWipeHost wipes_;
  std::uint32_t arguments_ = 0;
  std::uint32_t canvas_ = 0;
  std::vector<std::uint32_t> pool_;
};

}  // namespace fuzz_world
