// What the demo's window tests share: where the demo's pictures, message window and choices lie,
// the reader who plans clicks and keys one step apart, and the pixels that tell what is shown.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "movie_clip_writer.h"
#include "novel/text/text_window.h"
#include "platform/encoding/text_encoding.h"
#include "support/fixed_step_game.h"
#include "support/input_events.h"
#include "support/log_capture.h"
#include "support/test_window.h"

namespace demo_test {

// The demo's pictures: the moon of the title, Mio's dress where she stands in the middle, and
// the message window's text rectangle (the window at y 466, 134 high, margins 28, 13, 16, 34).
constexpr std::int32_t kMoonX = 640;
constexpr std::int32_t kMoonY = 110;
constexpr std::uint32_t kMoonColour = 0xFFF4E9B0;
constexpr std::int32_t kDressX = 400;
constexpr std::int32_t kDressY = 416;
constexpr std::uint32_t kDressColour = 0xFFD04870;
// On the hill Mio wears her coat and steps 200 pixels to the left.
constexpr std::int32_t kSteppedAsideX = kDressX - 200;
constexpr std::uint32_t kCoatColour = 0xFF4870D0;
// The ending picture's star.
constexpr std::int32_t kStarX = 400;
constexpr std::int32_t kStarY = 240;
constexpr std::uint32_t kStarColour = 0xFFFFF6D8;
constexpr std::int32_t kTextLeft = 28;
constexpr std::int32_t kTextRight = 800 - 16;
constexpr std::int32_t kTextTop = 466 + 13;
constexpr std::int32_t kFirstLineBottom = kTextTop + 22;
constexpr std::int32_t kLineHeight = 26;
// The choice lists (a 10-pixel header, items 28 high, centred on y 220): the story's two items,
// the title's three.
constexpr std::int32_t kChoiceX = 400;
constexpr std::int32_t kFirstChoiceY = 206;
constexpr std::int32_t kSecondChoiceY = 234;
constexpr std::int32_t kTitleStartY = 192;
constexpr std::int32_t kTitleContinueY = 220;
constexpr std::int32_t kTitleEndY = 248;
// Where the frame places the choice list, which it makes at (38, 220) and centres on that line:
// its item pictures (SYS/SEL01B.ELG) start at x 38; the item's resting colour.
constexpr std::int32_t kChoiceListX = 38;
constexpr std::int32_t kChoiceListY = 220;
constexpr std::uint32_t kChoiceItemColour = 0xFF22305A;
// Any point away from the buttons and the choices ends a wait for the reader.
constexpr std::int32_t kReadX = 400;
constexpr std::int32_t kReadY = 320;
// The park's lawn, beside Mio and above the window.
constexpr std::int32_t kLawnX = 760;
constexpr std::int32_t kLawnY = 420;
constexpr std::uint32_t kLawnColour = 0xFF5C7A3A;
// A point inside the name plate, which stands on the message window's left end (160 x 39).
constexpr std::int32_t kNamePlateX = 80;
constexpr std::int32_t kNamePlateY = 440;

// A point of the sky, right of Mio, in each background.
constexpr std::int32_t kSkyX = 760;
constexpr std::int32_t kSkyY = 100;
// The system menu's panel: its base from x 614, where its light rim stands once the menu is in,
// and items of 160 x 32 from (624, 40) every 48 pixels, whose resting plate colour shows left of
// the item's dot.
constexpr std::int32_t kMenuBaseX = 614;
constexpr std::uint32_t kMenuRimColour = 0xFF9FB8E0;
constexpr std::int32_t kMenuItemX = 700;
constexpr std::int32_t kMenuPlateX = 628;
constexpr std::uint32_t kMenuPlateColour = 0xFF2A3A60;
constexpr std::int32_t kMenuHistoryItem = 3;
constexpr std::int32_t kMenuSettingsItem = 7;
constexpr std::int32_t kMenuTitleItem = 8;
constexpr std::int32_t kMenuExitItem = 9;
constexpr std::int32_t kMenuCloseItem = 10;
constexpr std::int32_t MenuItemY(std::int32_t item) { return 40 + 48 * item + 16; }

// The message window's settings button (the ninth of its row), and the settings screen's close
// button with its screen-mode button to the right.
constexpr std::int32_t kSettingsButtonX = 738;
constexpr std::int32_t kSettingsButtonY = 588;
constexpr std::int32_t kCloseButtonX = 400;
constexpr std::int32_t kCloseButtonY = 468;
constexpr std::int32_t kScreenModeButtonX = 548;
constexpr std::int32_t kScreenModeButtonY = 468;

// The story's transitions take 0.8 seconds.
constexpr int kTransitionFrames = 48;

// Two seconds between the reader's plans, longer than any line takes to print.
constexpr int kStep = 120;
// The story: four lines before the choice; on the hill four lines, at home two; then the last
// line and the ending's.
constexpr int kLinesBeforeChoice = 4;
constexpr int kLinesOnTheHill = 6;
constexpr int kLinesAtHome = 4;

inline std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The opening movie plays from the first frame until a click skips it.
constexpr int kMovieSkip = kStep / 2;

// The reader's plans for one run: a click that skips the opening movie, then one every kStep
// frames from the first title's choice on.
class Reader {
 public:
  explicit Reader(test_support::FixedStepGame& run) : run_(run) { run_.PlanClick(kMovieSkip, kReadX, kReadY); }
  // The frame of the next plan.
  int Next() const { return next_; }
  void Choose(std::int32_t y) { Click(kChoiceX, y); }
  void Click(std::int32_t x, std::int32_t y) { Plan([&](int frame) { run_.PlanClick(frame, x, y); }); }
  void RightClick() { Plan([&](int frame) { run_.PlanClick(frame, kReadX, kReadY, SDL_BUTTON_RIGHT); }); }
  void Press(SDL_Scancode scancode, SDL_Keycode key) { Plan([&](int frame) { run_.PlanKeyPress(frame, scancode, key); }); }
  void Read(int lines) {
    for (int line = 0; line < lines; ++line) Plan([&](int frame) { run_.PlanClick(frame, kReadX, kReadY); });
  }
  // The decide key goes on as a click does.
  void ReadByKey() { Plan([&](int frame) { run_.PlanKeyPress(frame, SDL_SCANCODE_RETURN, SDLK_RETURN); }); }
  // Ctrl held around F1: a quick save into slot 0.
  void QuickSave() {
    Plan([&](int frame) {
      run_.PlanEvent(frame, test_support::KeyEvent(SDL_SCANCODE_LCTRL, SDLK_LCTRL, true));
      run_.PlanKeyPress(frame + 2, SDL_SCANCODE_F1, SDLK_F1);
      run_.PlanEvent(frame + 6, test_support::KeyEvent(SDL_SCANCODE_LCTRL, SDLK_LCTRL, false));
    });
  }
  // A key that asks a question, and the Enter key that answers it yes. The pointer is parked in
  // the corner first, so that the box gives its first button the keyboard focus.
  void Ask(SDL_Scancode scancode, SDL_Keycode key) {
    Plan([&](int frame) {
      run_.PlanPointer(frame - 2, 799, 599);
      run_.PlanKeyPress(frame, scancode, key);
      run_.PlanKeyPress(frame + kStep / 2, SDL_SCANCODE_RETURN, SDLK_RETURN);
    });
  }
  // The menu key (M), an item of the menu that asks, and a click on the yes button of the
  // question, centred on the screen.
  void AskFromTheMenu(std::int32_t item_x, std::int32_t item_y) {
    constexpr std::int32_t kYesX = 352;
    constexpr std::int32_t kYesY = 340;
    Plan([&](int frame) {
      run_.PlanKeyPress(frame, SDL_SCANCODE_M, SDLK_m);
      run_.PlanClick(frame + kStep / 2, item_x, item_y);
      run_.PlanClick(frame + kStep, kYesX, kYesY);
    });
    next_ += kStep;
  }
  // The menu's way back to the title, answered yes.
  void BackToTheTitleFromTheMenu() { AskFromTheMenu(kMenuItemX, MenuItemY(kMenuTitleItem)); }
  // "はじめから" and the story's lines up to its choice.
  void ReadToTheChoice() {
    Choose(kTitleStartY);
    Read(kLinesBeforeChoice);
  }
  // The mouse wheel turned by `notches` (positive: away from the reader).
  void Wheel(std::int32_t notches) { Plan([&](int frame) { run_.PlanEvent(frame, test_support::WheelEvent(notches)); }); }
  // A step without input, as a reader who lingers.
  void Linger() { next_ += kStep; }
  // The title again, after the story's last line.
  void WaitForTheTitle() { Linger(); }

 private:
  template <typename PlanAt>
  void Plan(PlanAt plan) {
    plan(next_);
    next_ += kStep;
  }

  test_support::FixedStepGame& run_;
  int next_ = 2 * kStep;
};

// Plays the planned game in `folder` to "おわる", chosen once the title has come back after the
// reader's last plan; the run must end by itself with status 0, every picture read back and no
// message box shown.
inline void RunToTheEnd(test_support::FixedStepGame& run, Reader& reader, const LogCapture& log,
                        const std::string& folder) {
  reader.WaitForTheTitle();
  const int end = reader.Next();
  reader.Choose(kTitleEndY);
  run.SetLastFrame(end + kStep);
  EXPECT_EQ(run.Run(folder), 0) << "おわる ends the game";
  EXPECT_FALSE(run.GaveUp()) << Joined(log.Lines());
  EXPECT_GE(run.Frames(), end);
  EXPECT_TRUE(run.AllPicturesWritten());
  EXPECT_TRUE(run.MessageBoxes().empty()) << run.MessageBoxes().front().request.text;
}

// The pixel at (x, y) of a picture read back from the 800 x 600 window, opaque.
inline std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x, std::int32_t y) {
  return shown[static_cast<std::size_t>(y * 800 + x)] | 0xFF000000;
}
// How many of the opening movie's bar colours show along the middle row (within the encoder's
// error): a frame of the movie shows nearly all of them wherever its bars have moved to.
inline int MovieBarColoursShown(const std::vector<std::uint32_t>& shown) {
  int found = 0;
  for (int bar = 0; bar < kvxtools::kMovieClipBars; ++bar) {
    const std::uint32_t colour = kvxtools::MovieClipBarColour(bar * 50 + 25, 0, 400);
    bool seen = false;
    for (std::int32_t x = 0; x < 800 && !seen; ++x) {
      const std::uint32_t pixel = At(shown, x, 300);
      seen = true;
      for (int shift : {0, 8, 16}) {
        const int difference = static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF);
        seen = seen && difference <= 24 && difference >= -24;
      }
    }
    found += seen ? 1 : 0;
  }
  return found;
}
// What the window shows once it shows at least `bars` of the opening movie's bar colours, read
// again and again for up to a minute: the movie plays on a thread of its own by the real clock,
// which a loaded machine starts late. Empty when the window had no picture to read.
inline std::vector<std::uint32_t> ShownOnceTheMovieShows(test_support::FixedStepGame& run, int bars) {
  const plat::Window* window = run.Game().GetMainWindow().GetPlatformWindow();
  if (window == nullptr) return {};
  std::vector<std::uint32_t> shown = ShownPixels(*window, 800, 600);
  for (int tries = 0; tries < 6000 && !shown.empty() && MovieBarColoursShown(shown) < bars; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    shown = ShownPixels(*window, 800, 600);
  }
  return shown;
}
// The notice's yellow ink where it slides in at the bottom left, from x 12.
constexpr std::int32_t kNoticeTop = 570;
inline bool NoticeYellow(std::uint32_t pixel) {
  return ((pixel >> 16) & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) > 0xB0 && (pixel & 0xFF) < 0x60;
}
inline int NoticeInk(const std::vector<std::uint32_t>& shown) {
  int ink = 0;
  for (std::int32_t y = kNoticeTop; y < 600; ++y) {
    for (std::int32_t x = 12; x < 400; ++x) ink += NoticeYellow(At(shown, x, y)) ? 1 : 0;
  }
  return ink;
}
// The rightmost column of the notice's ink, -1 without ink.
inline std::int32_t NoticeInkRight(const std::vector<std::uint32_t>& shown) {
  std::int32_t right = -1;
  for (std::int32_t y = kNoticeTop; y < 600; ++y) {
    for (std::int32_t x = 12; x < 800; ++x) right = NoticeYellow(At(shown, x, y)) ? std::max(right, x) : right;
  }
  return right;
}
// The left end of the system buttons' row: the first pixel of a button plate's colour (resting,
// hovered, pressed, checked or disabled) along a line through the plates; 800 without one.
inline std::int32_t ButtonRowLeft(const std::vector<std::uint32_t>& shown) {
  constexpr std::uint32_t kPlates[] = {0xFF2A3A60, 0xFF40588A, 0xFF1A2440, 0xFF30343C,
                                       0xFF4A6AA8, 0xFF5A7CC0, 0xFF3A5490};
  for (std::int32_t x = 0; x < 800; ++x) {
    const std::uint32_t pixel = At(shown, x, 584);
    for (const std::uint32_t plate : kPlates) {
      if (pixel == plate) return x;
    }
  }
  return 800;
}
// Pixels of the message window's first text line that differ from the window's own colour at
// the left margin of their row.
inline int InkIn(const std::vector<std::uint32_t>& shown, std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) {
  int ink = 0;
  for (std::int32_t y = top; y < bottom; ++y) {
    for (std::int32_t x = left; x < right; ++x) ink += At(shown, x, y) != At(shown, 8, y) ? 1 : 0;
  }
  return ink;
}
inline int InkOnFirstLine(const std::vector<std::uint32_t>& shown) {
  return InkIn(shown, kTextLeft, kTextTop, kTextRight, kFirstLineBottom);
}
// Whether each channel of `mix` lies between those of `from` and `to`, a fifth to four fifths of
// the way: a cross-fade near its half-way point.
inline bool HalfWayBetween(std::uint32_t mix, std::uint32_t from, std::uint32_t to) {
  bool between = true;
  for (int shift : {0, 8, 16}) {
    const int low = static_cast<int>((from >> shift) & 0xFF);
    const int high = static_cast<int>((to >> shift) & 0xFF);
    const int part = (static_cast<int>((mix >> shift) & 0xFF) - low) * 5;
    const int span = high - low;
    between = between && (span == 0 ? part == 0 : part * span >= span * span && part * span <= 4 * span * span);
  }
  return between;
}
// The same for text line `line` (from 0) of the message window.
inline int InkOnLine(const std::vector<std::uint32_t>& shown, int line) {
  return InkIn(shown, kTextLeft, kTextTop + line * kLineHeight, kTextRight, kFirstLineBottom + line * kLineHeight);
}
// The text history's veil, SYS/TH_BASE.ELG, blended over a pixel of the game screen: within 3
// of the exact blend in every channel.
inline bool Veiled(std::uint32_t shown, std::uint32_t under) {
  constexpr std::uint32_t kVeil = 0xC00C1222;
  const int alpha = static_cast<int>(kVeil >> 24);
  bool veiled = true;
  for (int shift : {0, 8, 16}) {
    const int veil = static_cast<int>((kVeil >> shift) & 0xFF);
    const int blend = (veil * alpha + static_cast<int>((under >> shift) & 0xFF) * (255 - alpha)) / 255;
    const int difference = static_cast<int>((shown >> shift) & 0xFF) - blend;
    veiled = veiled && difference <= 3 && difference >= -3;
  }
  return veiled;
}
// The text history's rows (0 to 3, the newest entry in the last), with their text boxes at x 139,
// 612 wide; the history's button in the message window and the history's close button.
constexpr std::int32_t kHistoryButtonX = 697;
constexpr std::int32_t kHistoryButtonY = 588;
// The quick-save and quick-load buttons, the first two of the row.
constexpr std::int32_t kQuickSaveButtonX = 410;
constexpr std::int32_t kQuickLoadButtonX = 451;
constexpr std::int32_t kHistoryCloseX = 777;
constexpr std::int32_t kHistoryCloseY = 30;
// Pixels of the first text line in a row's text box that differ from the veil left of the box.
inline int InkInHistoryRow(const std::vector<std::uint32_t>& shown, int row) {
  const std::int32_t top = 71 + 140 * row;
  int ink = 0;
  for (std::int32_t y = top; y < top + 24; ++y) {
    for (std::int32_t x = 139; x < 751; ++x) ink += At(shown, x, y) != At(shown, 130, y) ? 1 : 0;
  }
  return ink;
}
// The lines of a text window as its layout laid them out (in UTF-8): the characters of the
// message, each line beginning at a character whose recorded box starts a line.
inline std::vector<std::string> LaidOutLines(const CTextWindow& window) {
  const std::span<const std::uint8_t> text = window.text();
  const std::vector<TextRunRecord>& records = window.run().records();
  std::vector<std::string> lines;
  std::size_t record = 0;
  for (TextToken token = ReadTextToken(text, 0, false); token.kind != TextTokenKind::kEnd && record < records.size();
       token = ReadTextToken(text, token.offset + token.length, false)) {
    if (token.kind != TextTokenKind::kCharacter) continue;
    if (records[record++].line_start || lines.empty()) lines.emplace_back();
    lines.back() += plat::SjisToUtf8({reinterpret_cast<const char*>(&text[token.offset]), token.length});
  }
  return lines;
}

}  // namespace demo_test
