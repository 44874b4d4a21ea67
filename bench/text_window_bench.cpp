// A full page of the message window (four lines of Japanese text at 22 pixels in the installed
// face for "SimSun") shown at once: both passes, the run and the drawing into the page. The
// anchor draws the same four lines straight into an image with the same font.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "gfx/images/pixel_library.h"
#include "novel/frame/vov_frame.h"
#include "novel/text/text_window.h"
#include "pixel/kernels/pixel_tables.h"
#include "ratio_reporter.h"
#include "scene/drawables/draw_list.h"
#include "script/script_host.h"
#include "ui/fonts/font.h"

namespace {

// 今日は朝から雨が降っていた。傘を忘れた私は、駅前の本屋で雨宿りをすることにした。
constexpr char kSentence[] =
    "\x8d\xa1\x93\xfa\x82\xcd\x92\xa9\x82\xa9\x82\xe7\x89\x4a\x82\xaa\x8d\x7e\x82\xc1\x82\xc4\x82\xa2\x82\xbd"
    "\x81\x42\x8e\x50\x82\xf0\x96\x59\x82\xea\x82\xbd\x8e\x84\x82\xcd\x81\x41\x89\x77\x91\x4f\x82\xcc\x96\x7b"
    "\x89\xae\x82\xc5\x89\x4a\x8f\x68\x82\xe8\x82\xf0\x82\xb7\x82\xe9\x82\xb1\x82\xc6\x82\xc9\x82\xb5\x82\xbd"
    "\x81\x42";
constexpr int32_t kWidth = 800;
// Room for four lines of 22 pixels inside the message window's margins.
constexpr int32_t kHeight = 150;
constexpr int kLines = 4;

// The message window of the novel page, with more text than one page holds.
struct MessagePage {
  MessagePage() : frame(host) {
    SetPixelLib(&pixels);
    BuildPixelTables();
    font.SetFont(22, 0, 0, "SimSun");
    TextBoxSetup setup;
    setup.draw_list = &list;
    setup.priority = 10000;
    setup.width = kWidth;
    setup.height = kHeight;
    setup.font = &font;
    setup.margins = {28, 13, 16, 34};
    CreateTextBox(window, setup);
    window.SetFrame(&frame);
    for (int i = 0; i < 3; ++i) text += kSentence;
  }
  ~MessagePage() { SetPixelLib(nullptr); }

  uint32_t Show() {
    window.ClearText();
    window.SetText(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return window.Display(true);
  }

  // The lines the window laid the text out in, and where each began.
  struct Line {
    std::string text;
    plat::Point at;
  };
  std::vector<Line> Lines() {
    Show();
    std::vector<Line> lines;
    std::size_t offset = 0;
    for (const TextRunRecord& record : window.run().records()) {
      if (record.line_start) lines.push_back({"", {record.box.left, record.box.top}});
      lines.back().text.append(text, offset, 2);
      offset += 2;
    }
    return lines;
  }

  CPixelLibrary pixels;
  CScriptHost host;
  CVovFrame frame;
  CDrawList list;
  CFont font;
  CTextWindow window;
  std::string text;
};

MessagePage& Page() {
  static MessagePage page;
  return page;
}

void DisplayPage(benchmark::State& state) {
  MessagePage& page = Page();
  for (auto _ : state) benchmark::DoNotOptimize(page.Show());
  state.SetLabel(std::to_string(page.window.char_count()) + " characters");
}

void DrawLinesIntoImage(benchmark::State& state) {
  MessagePage& page = Page();
  const std::vector<MessagePage::Line> lines = page.Lines();
  if (lines.size() != kLines) state.SkipWithError("the page does not hold four lines");
  CImage image;
  image.Create(kWidth, kHeight, 32, 0);
  for (auto _ : state) {
    image.FillRectArgb(0x80000000, nullptr);
    for (const MessagePage::Line& line : lines) {
      plat::Rect drawn;
      page.font.DrawString(&image, line.at.x, line.at.y, line.text.c_str(), &drawn, nullptr);
    }
    benchmark::DoNotOptimize(image.GetPixels());
  }
}

BENCHMARK(DrawLinesIntoImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(DisplayPage)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "page", {{"DisplayPage", "DrawLinesIntoImage"}});
}
