// The present path: a frame's changed rectangles uploaded into the window's texture, for a
// whole 800 x 600 frame and for one glyph-sized rectangle, against memcpy of the same bytes in
// the same run; and the whole present (upload, render, show) for comparison. Run it on a
// display (under Xvfb: xvfb-run -a build/present_bench).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"
#include "platform/window/screen_presenter.h"

#include "ratio_reporter.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kGlyph = 24;

struct Screen {
  std::unique_ptr<plat::Window> window;
  plat::ScreenPresenter* presenter = nullptr;
};

Screen& TheScreen() {
  static Screen screen = [] {
    Screen made;
    plat::MessageQueue::Instance().AttachToCurrentThread();
    plat::WindowCreateInfo info;
    info.title = "present bench";
    info.client_width = kWidth;
    info.client_height = kHeight;
    info.style = plat::WS_VISIBLE | plat::WS_CAPTION;
    made.window = plat::Window::Create(info, [](const plat::Message&) { return 0; });
    if (made.window != nullptr) made.presenter = plat::ScreenPresenter::ForWindow(made.window->Id());
    if (made.presenter != nullptr) {
      // The texture is made by the first upload.
      made.presenter->MarkDirty(plat::Rect{0, 0, kWidth, kHeight});
      made.presenter->Upload();
    }
    return made;
  }();
  return screen;
}

void Upload(benchmark::State& state, const plat::Rect& rect) {
  plat::ScreenPresenter* presenter = TheScreen().presenter;
  if (presenter == nullptr) {
    state.SkipWithError("no window to present in");
    return;
  }
  for (auto _ : state) {
    presenter->MarkDirty(rect);
    presenter->Upload();
  }
  state.SetBytesProcessed(state.iterations() * rect.Width() * rect.Height() * 4);
}

void UploadFrame(benchmark::State& state) { Upload(state, plat::Rect{0, 0, kWidth, kHeight}); }
void UploadGlyph(benchmark::State& state) { Upload(state, plat::Rect{100, 100, 100 + kGlyph, 100 + kGlyph}); }

void PresentFrame(benchmark::State& state) {
  plat::ScreenPresenter* presenter = TheScreen().presenter;
  if (presenter == nullptr) {
    state.SkipWithError("no window to present in");
    return;
  }
  for (auto _ : state) {
    presenter->MarkDirty(plat::Rect{0, 0, kWidth, kHeight});
    presenter->Present();
  }
}

void Copy(benchmark::State& state, int32_t width, int32_t height) {
  // Rows of a frame-wide source and destination, as the upload reads and writes them.
  std::vector<uint8_t> source(static_cast<size_t>(kWidth) * kHeight * 4, 0x5A);
  std::vector<uint8_t> target(source.size());
  const size_t pitch = static_cast<size_t>(kWidth) * 4;
  for (auto _ : state) {
    for (int32_t y = 0; y < height; ++y) {
      std::memcpy(target.data() + y * pitch, source.data() + y * pitch, static_cast<size_t>(width) * 4);
    }
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * width * height * 4);
}

void MemcpyFrame(benchmark::State& state) { Copy(state, kWidth, kHeight); }
void MemcpyGlyph(benchmark::State& state) { Copy(state, kGlyph, kGlyph); }

}  // namespace

BENCHMARK(MemcpyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(UploadFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(MemcpyGlyph)->Unit(benchmark::kMicrosecond);
BENCHMARK(UploadGlyph)->Unit(benchmark::kMicrosecond);
BENCHMARK(PresentFrame)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios("present", {{"UploadFrame", "MemcpyFrame"}, {"UploadGlyph", "MemcpyGlyph"}, {"PresentFrame", "MemcpyFrame"}});
  TheScreen().window.reset();
  benchmark::Shutdown();
  return 0;
}
