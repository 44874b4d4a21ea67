#include "platform/events/event_translation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/encoding/text_composition.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/dropped_files.h"
#include "platform/events/key_codes.h"
#include "platform/system/diagnostic_log.h"

namespace {

using namespace plat;

constexpr WindowId kWindow = 7;

EventContext Context() {
  EventContext context;
  context.time = 1234;
  context.cursor = Point{300, 200};
  context.client_origin = Point{100, 50};
  context.client_width = 640;
  context.client_height = 480;
  context.desktop_width = 1920;
  context.desktop_height = 1080;
  context.desktop_bits = 32;
  return context;
}

SDL_Event KeyEvent(uint32_t type, SDL_Keycode key, SDL_Scancode scancode, uint8_t repeat = 0) {
  SDL_Event event{};
  event.type = type;
  event.key.windowID = kWindow;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = scancode;
  return event;
}

SDL_Event ButtonEvent(uint32_t type, uint8_t button, int x, int y) {
  SDL_Event event{};
  event.type = type;
  event.button.windowID = kWindow;
  event.button.button = button;
  event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.button.x = x;
  event.button.y = y;
  return event;
}

SDL_Event WindowEvent(uint8_t kind, int data1 = 0, int data2 = 0) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = kWindow;
  event.window.event = kind;
  event.window.data1 = data1;
  event.window.data2 = data2;
  return event;
}

std::vector<Message> Translate(EventTranslator& translator, const SDL_Event& event, EventContext context = Context()) {
  std::vector<Message> out;
  translator.Translate(event, context, out);
  return out;
}

TEST(EventTranslationTest, KeyDownRepeatAndUpCarryTheKeyBits) {
  EventTranslator translator;
  auto first = Translate(translator, KeyEvent(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A));
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].window, kWindow);
  EXPECT_EQ(first[0].message, WM_KEYDOWN);
  EXPECT_EQ(first[0].wparam, static_cast<uint32_t>('A'));
  EXPECT_EQ(static_cast<uint32_t>(first[0].lparam), 0x001E0001u);  // count 1, scan code 0x1E, first press
  EXPECT_EQ(first[0].time, 1234u);
  EXPECT_EQ(first[0].point.x, 300);

  auto repeat = Translate(translator, KeyEvent(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, 1));
  EXPECT_EQ(static_cast<uint32_t>(repeat[0].lparam), 0x401E0001u);  // previous state: down

  auto up = Translate(translator, KeyEvent(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A));
  EXPECT_EQ(up[0].message, WM_KEYUP);
  EXPECT_EQ(static_cast<uint32_t>(up[0].lparam), 0xC01E0001u);  // previous down, transition up
}

TEST(EventTranslationTest, ExtendedAltAndFunctionKeys) {
  EventTranslator translator;
  auto arrow = Translate(translator, KeyEvent(SDL_KEYDOWN, SDLK_UP, SDL_SCANCODE_UP));
  EXPECT_EQ(arrow[0].wparam, VK_UP);
  EXPECT_EQ(static_cast<uint32_t>(arrow[0].lparam), 0x01480001u);

  EventContext alt = Context();
  alt.modifiers = KMOD_LALT;
  auto alt_x = Translate(translator, KeyEvent(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X), alt);
  EXPECT_EQ(alt_x[0].message, WM_SYSKEYDOWN);
  EXPECT_EQ(static_cast<uint32_t>(alt_x[0].lparam) & kKeyContextBit, kKeyContextBit);

  auto f10 = Translate(translator, KeyEvent(SDL_KEYUP, SDLK_F10, SDL_SCANCODE_F10));
  EXPECT_EQ(f10[0].message, WM_SYSKEYUP);
  EXPECT_EQ(f10[0].wparam, VK_F10);
  auto enter = Translate(translator, KeyEvent(SDL_KEYDOWN, SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER));
  EXPECT_EQ(enter[0].wparam, VK_RETURN);
  EXPECT_NE(static_cast<uint32_t>(enter[0].lparam) & kKeyExtendedBit, 0u);
}

TEST(EventTranslationTest, TextBecomesOneShiftJisMessagePerCharacter) {
  EventTranslator translator;
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.windowID = kWindow;
  std::strcpy(event.text.text, "aあｱ");
  auto out = Translate(translator, event);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].message, WM_CHAR);
  EXPECT_EQ(out[0].wparam, static_cast<uint32_t>('a'));
  EXPECT_EQ(out[1].message, WM_IME_CHAR);  // the two bytes of a character together
  EXPECT_EQ(out[1].wparam, 0x82A0u);
  EXPECT_EQ(out[2].message, WM_CHAR);  // half-width katakana is a single byte
  EXPECT_EQ(out[2].wparam, 0xB1u);
}

TEST(EventTranslationTest, TheCompositionIsKeptInShiftJisUntilTheTextArrives) {
  EventTranslator translator;
  SDL_Event editing{};
  editing.type = SDL_TEXTEDITING;
  editing.edit.windowID = kWindow;
  std::strcpy(editing.edit.text, "か");
  // The composition's start opens the candidate list; its changes say nothing more.
  const auto opened = Translate(translator, editing);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].message, WM_IME_NOTIFY);
  EXPECT_EQ(opened[0].wparam, IMN_OPENCANDIDATE);
  std::strcpy(editing.edit.text, "かんじ");
  EXPECT_TRUE(Translate(translator, editing).empty());
  EXPECT_EQ(CurrentTextComposition(127), Utf8ToSjis("かんじ"));
  EXPECT_EQ(CurrentTextComposition(5), Utf8ToSjis("かん"));  // cut between characters
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  text.text.windowID = kWindow;
  std::strcpy(text.text.text, "漢字");
  EXPECT_EQ(Translate(translator, text).size(), 2u);
  EXPECT_EQ(CurrentTextComposition(127), "");
  editing.edit.text[0] = '\0';
  const auto closed = Translate(translator, editing);
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(closed[0].wparam, IMN_CLOSECANDIDATE);
}

TEST(EventTranslationTest, MouseButtonsCarryButtonFlagsAndClientCoordinates) {
  EventTranslator translator;
  EventContext shift = Context();
  shift.modifiers = KMOD_LSHIFT;
  auto down = Translate(translator, ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), shift);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].message, WM_LBUTTONDOWN);
  EXPECT_EQ(down[0].wparam, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(XFromLParam(down[0].lparam), 10);
  EXPECT_EQ(YFromLParam(down[0].lparam), 20);

  auto right = Translate(translator, ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 11, 21));
  EXPECT_EQ(right[0].message, WM_RBUTTONDOWN);
  EXPECT_EQ(right[0].wparam, MK_LBUTTON | MK_RBUTTON);
  auto up = Translate(translator, ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 12, 22));
  EXPECT_EQ(up[0].message, WM_LBUTTONUP);
  EXPECT_EQ(up[0].wparam, MK_RBUTTON);
  auto middle = Translate(translator, ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 0, 0));
  EXPECT_EQ(middle[0].message, WM_MBUTTONUP);
  EXPECT_TRUE(Translate(translator, ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 0, 0)).empty());
}

TEST(EventTranslationTest, MouseMoveTakesTheHeldButtonsAndNegativeCoordinates) {
  EventTranslator translator;
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = kWindow;
  event.motion.state = SDL_BUTTON_LMASK | SDL_BUTTON_MMASK;
  event.motion.x = -5;
  event.motion.y = 479;
  EventContext control = Context();
  control.modifiers = KMOD_RCTRL;
  auto out = Translate(translator, event, control);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(out[0].wparam, MK_LBUTTON | MK_MBUTTON | MK_CONTROL);
  EXPECT_EQ(XFromLParam(out[0].lparam), -5);
  EXPECT_EQ(YFromLParam(out[0].lparam), 479);
}

TEST(EventTranslationTest, AMoveOverTheClientAreaIsPrecededByTheHitTestAndTheCursorsTurn) {
  EventTranslator translator;
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = kWindow;
  event.motion.x = 639;
  event.motion.y = 0;
  auto out = Translate(translator, event);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].message, WM_NCHITTEST);
  EXPECT_EQ(XFromLParam(out[0].lparam), 739);  // on the desktop
  EXPECT_EQ(YFromLParam(out[0].lparam), 50);
  EXPECT_EQ(out[1].message, WM_SETCURSOR);
  EXPECT_EQ(out[1].window, kWindow);
  EXPECT_EQ(out[1].wparam, kWindow);
  EXPECT_EQ(LoWord(static_cast<uint32_t>(out[1].lparam)), HTCLIENT);
  EXPECT_EQ(HiWord(static_cast<uint32_t>(out[1].lparam)), WM_MOUSEMOVE);
  EXPECT_EQ(out[2].message, WM_MOUSEMOVE);
  event.motion.x = 640;  // just past the client area
  EXPECT_EQ(Translate(translator, event).size(), 1u);
}

TEST(EventTranslationTest, WheelGives120PerNotchAtDesktopCoordinates) {
  EventTranslator translator;
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.windowID = kWindow;
  event.wheel.y = -2;
  event.wheel.mouseX = 30;
  event.wheel.mouseY = 40;
  auto out = Translate(translator, event);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].message, WM_MOUSEWHEEL);
  EXPECT_EQ(WheelDeltaFromWParam(out[0].wparam), -240);
  EXPECT_EQ(XFromLParam(out[0].lparam), 130);
  EXPECT_EQ(YFromLParam(out[0].lparam), 90);

  event.wheel.y = 1;
  event.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  EXPECT_EQ(WheelDeltaFromWParam(Translate(translator, event)[0].wparam), -120);
  event.wheel.y = 0;
  EXPECT_TRUE(Translate(translator, event).empty());
}

TEST(EventTranslationTest, FocusBecomesActivationInTheSystemsOrder) {
  EventTranslator translator;
  auto gained = Translate(translator, WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  ASSERT_EQ(gained.size(), 2u);
  EXPECT_EQ(gained[0].message, WM_ACTIVATEAPP);
  EXPECT_EQ(gained[0].wparam, 1u);
  EXPECT_EQ(gained[1].message, WM_ACTIVATE);
  EXPECT_EQ(gained[1].wparam, WA_ACTIVE);

  EventContext minimized = Context();
  minimized.minimized = true;
  auto lost = Translate(translator, WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), minimized);
  ASSERT_EQ(lost.size(), 2u);
  EXPECT_EQ(lost[0].message, WM_ACTIVATE);
  EXPECT_EQ(lost[0].wparam, MakeLong(WA_INACTIVE, 1));
  EXPECT_EQ(lost[1].message, WM_ACTIVATEAPP);
  EXPECT_EQ(lost[1].wparam, 0u);
}

TEST(EventTranslationTest, WindowEventsBecomePaintCloseSizeAndMove) {
  EventTranslator translator;
  EXPECT_EQ(Translate(translator, WindowEvent(SDL_WINDOWEVENT_EXPOSED))[0].message, WM_PAINT);
  EXPECT_EQ(Translate(translator, WindowEvent(SDL_WINDOWEVENT_CLOSE))[0].message, WM_CLOSE);

  auto resized = Translate(translator, WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600));
  EXPECT_EQ(resized[0].message, WM_SIZE);
  EXPECT_EQ(resized[0].wparam, SIZE_RESTORED);
  EXPECT_EQ(resized[0].lparam, MakeLParam(800, 600));
  auto minimized = Translate(translator, WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
  EXPECT_EQ(minimized[0].wparam, SIZE_MINIMIZED);
  EXPECT_EQ(minimized[0].lparam, 0);
  auto maximized = Translate(translator, WindowEvent(SDL_WINDOWEVENT_MAXIMIZED));
  ASSERT_EQ(maximized.size(), 2u);
  EXPECT_EQ(maximized[0].message, WM_SYSCOMMAND);
  EXPECT_EQ(maximized[0].wparam, SC_MAXIMIZE);
  EXPECT_EQ(maximized[1].message, WM_SIZE);
  EXPECT_EQ(maximized[1].wparam, SIZE_MAXIMIZED);
  EXPECT_EQ(maximized[1].lparam, MakeLParam(640, 480));

  auto moved = Translate(translator, WindowEvent(SDL_WINDOWEVENT_MOVED, 120, 80));
  EXPECT_EQ(moved[0].message, WM_MOVE);
  EXPECT_EQ(moved[0].lparam, MakeLParam(120, 80));
  EXPECT_TRUE(Translate(translator, WindowEvent(SDL_WINDOWEVENT_ENTER)).empty());
}

TEST(EventTranslationTest, DisplayChangeCarriesTheDesktopModeForEveryWindow) {
  EventTranslator translator;
  SDL_Event event{};
  event.type = SDL_DISPLAYEVENT;
  event.display.event = SDL_DISPLAYEVENT_CONNECTED;
  auto out = Translate(translator, event);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].window, 0u);
  EXPECT_EQ(out[0].message, WM_DISPLAYCHANGE);
  EXPECT_EQ(out[0].wparam, 32u);
  EXPECT_EQ(out[0].lparam, MakeLParam(1920, 1080));
}

SDL_Event DropEvent(uint32_t type, const char* file = nullptr) {
  SDL_Event event{};
  event.type = type;
  event.drop.windowID = kWindow;
  event.drop.file = const_cast<char*>(file);
  return event;
}

// The files of one drag: its begin, one event per file, its end.
std::vector<Message> Drop(EventTranslator& translator, const std::vector<const char*>& files, bool accepts = true) {
  EventContext context = Context();
  context.accepts_files = accepts;
  std::vector<Message> out;
  translator.Translate(DropEvent(SDL_DROPBEGIN), context, out);
  for (const char* file : files) translator.Translate(DropEvent(SDL_DROPFILE, file), context, out);
  translator.Translate(DropEvent(SDL_DROPCOMPLETE), context, out);
  return out;
}

TEST(EventTranslationTest, TheFilesOfADropBecomeOneMessageWithEnginePathsInDropOrder) {
  EventTranslator translator;
  const auto out = Drop(translator, {"/srv/b.txt", "/srv/ゲーム/a.ogg", "/srv/c"});
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].message, WM_DROPFILES);
  EXPECT_EQ(out[0].window, kWindow);
  const DropHandle drop = out[0].wparam;
  ASSERT_EQ(DragQueryFileCount(drop), 3u);
  EXPECT_EQ(DragQueryFile(drop, 0), "Z:\\srv\\b.txt");
  EXPECT_EQ(DragQueryFile(drop, 1), "Z:\\srv\\" + Utf8ToSjis("ゲーム") + "\\a.ogg");
  EXPECT_EQ(DragQueryFile(drop, 2), "Z:\\srv\\c");
  EXPECT_EQ(DragQueryFile(drop, 3), std::nullopt);
  DragFinish(drop);
  EXPECT_EQ(DragQueryFileCount(drop), 0u);
  EXPECT_EQ(DragQueryFile(drop, 0), std::nullopt);
}

TEST(EventTranslationTest, NamesWithoutShiftJisAreRefusedAndRefusedDropsSendNothing) {
  EventTranslator translator;
  std::vector<std::string> log;
  ScopedDiagnosticSink sink([&](std::string_view line) { log.emplace_back(line); });
  const auto kept = Drop(translator, {"/srv/한.txt", "/srv/ok.txt"});
  ASSERT_EQ(kept.size(), 1u);
  ASSERT_EQ(DragQueryFileCount(kept[0].wparam), 1u);
  EXPECT_EQ(DragQueryFile(kept[0].wparam, 0), "Z:\\srv\\ok.txt");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("/srv/한.txt"), std::string::npos);
  DragFinish(kept[0].wparam);

  EXPECT_TRUE(Drop(translator, {"/srv/한.txt"}).empty());                // nothing left to drop
  EXPECT_TRUE(Drop(translator, {"/srv/ok.txt"}, false).empty());  // the window takes no files
}

}  // namespace

namespace {

TEST(KeyCodesTest, EveryKeyHasTheDirectInputCodeOfItsScanCode) {
  struct Case {
    SDL_Scancode scancode;
    uint8_t dik;
  };
  for (const Case& c : {Case{SDL_SCANCODE_ESCAPE, 0x01}, Case{SDL_SCANCODE_A, 0x1E}, Case{SDL_SCANCODE_0, 0x0B},
                        Case{SDL_SCANCODE_F11, 0x57}, Case{SDL_SCANCODE_LSHIFT, 0x2A}, Case{SDL_SCANCODE_RSHIFT, 0x36},
                        Case{SDL_SCANCODE_LCTRL, 0x1D}, Case{SDL_SCANCODE_RCTRL, 0x9D}, Case{SDL_SCANCODE_LALT, 0x38},
                        Case{SDL_SCANCODE_RALT, 0xB8}, Case{SDL_SCANCODE_UP, 0xC8}, Case{SDL_SCANCODE_PAGEDOWN, 0xD1},
                        Case{SDL_SCANCODE_KP_ENTER, 0x9C}, Case{SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
                        Case{SDL_SCANCODE_PAUSE, 0xC5}, Case{SDL_SCANCODE_KP_DIVIDE, 0xB5}, Case{SDL_SCANCODE_F13, 0}}) {
    EXPECT_EQ(plat::DikFromSdl(c.scancode), c.dik) << SDL_GetScancodeName(c.scancode);
  }
}

}  // namespace
