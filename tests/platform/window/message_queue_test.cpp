#include "platform/window/message_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/events/accelerators.h"
#include "platform/events/dropped_files.h"
#include "platform/events/input_state.h"
#include "support/input_events.h"
#include "platform/system/thread_id.h"

namespace {

using namespace plat;

constexpr WindowId kWindow = 9001;

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    queue_.AttachToCurrentThread();
    queue_.RegisterWindow(kWindow, [this](const Message& message) {
      seen_.push_back(message.message);
      seen_threads_.push_back(CurrentThreadId());
      return static_cast<int32_t>(message.wparam) + 1;
    });
  }
  void TearDown() override {
    queue_.UnregisterWindow(kWindow);
    queue_.AttachToCurrentThread();
  }

  MessageQueue& queue_ = MessageQueue::Instance();
  std::vector<uint32_t> seen_;
  std::vector<uint32_t> seen_threads_;
};

TEST_F(MessageQueueTest, PostedMessagesComeInOrderThenQuitThenPaint) {
  queue_.Invalidate(kWindow);
  queue_.Invalidate(kWindow);
  queue_.PostQuit(3);
  EXPECT_TRUE(queue_.Post(kWindow, WM_KEYDOWN, 1, 0));
  EXPECT_TRUE(queue_.Post(kWindow, WM_KEYUP, 2, 0));
  EXPECT_FALSE(queue_.Post(4242, WM_KEYUP, 2, 0));

  Message message;
  ASSERT_TRUE(queue_.Peek(message, false));
  EXPECT_EQ(message.message, WM_KEYDOWN);
  ASSERT_EQ(queue_.Get(message), 1);
  EXPECT_EQ(message.message, WM_KEYDOWN);
  ASSERT_EQ(queue_.Get(message), 1);
  EXPECT_EQ(message.message, WM_KEYUP);
  ASSERT_EQ(queue_.Get(message), 0);
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wparam, 3u);
  ASSERT_TRUE(queue_.Peek(message, true));
  EXPECT_EQ(message.message, WM_PAINT);
  EXPECT_EQ(message.window, kWindow);
  EXPECT_FALSE(queue_.Peek(message, true));  // two invalidations, one paint
}

TEST_F(MessageQueueTest, SendOnTheWindowThreadCallsTheProcedureDirectly) {
  EXPECT_EQ(queue_.Send(kWindow, 0x9000, 41, 0), 42);
  EXPECT_EQ(seen_, std::vector<uint32_t>{0x9000u});
  EXPECT_EQ(queue_.Send(4242, 0x9000, 41, 0), 0);
}

TEST_F(MessageQueueTest, SendFromAnotherThreadIsServedOnTheWindowThread) {
  std::atomic<int32_t> result{-1};
  std::thread sender([&] { result = queue_.Send(kWindow, 0x9001, 99, 0); });
  Message message;
  while (result.load() == -1) queue_.Peek(message, true);
  sender.join();
  EXPECT_EQ(result.load(), 100);
  ASSERT_EQ(seen_threads_.size(), 1u);
  EXPECT_EQ(seen_threads_[0], CurrentThreadId());
}

TEST_F(MessageQueueTest, WaitServesRequestsAndWakesOnAPostFromAnotherThread) {
  std::thread poster([&] {
    queue_.Send(kWindow, 0x9003, 0, 0);
    queue_.Post(kWindow, WM_CLOSE, 0, 0);
  });
  Message message;
  ASSERT_EQ(queue_.Get(message), 1);
  poster.join();
  EXPECT_EQ(message.message, WM_CLOSE);
  EXPECT_EQ(seen_, std::vector<uint32_t>{0x9003u});
}

TEST(RequestQueueTest, ARequestForAWindowThatGoesAwayEndsWithZero) {
  RequestQueue requests;
  Message request;
  request.window = kWindow;
  std::atomic<int32_t> result{-1};
  std::thread sender([&] { result = requests.SendAndWait(request, [] { return true; }); });
  while (!requests.HasPending()) std::this_thread::yield();
  requests.CancelFor(kWindow + 1);
  EXPECT_TRUE(requests.HasPending());
  requests.CancelFor(kWindow);
  sender.join();
  EXPECT_EQ(result.load(), 0);
  EXPECT_FALSE(requests.HasPending());
  int served = 0;
  requests.ServePending([&served](const Message&) { return ++served; });
  EXPECT_EQ(served, 0);
  EXPECT_EQ(requests.SendAndWait(request, [] { return false; }), 0);  // refused: the window is gone
}

TEST_F(MessageQueueTest, ReadsOffTheWindowThreadFindNothing) {
  queue_.Post(kWindow, WM_KEYDOWN, 1, 0);
  int got = 2;
  bool peeked = true;
  std::thread other([&] {
    Message message;
    got = queue_.Get(message);
    peeked = queue_.Peek(message, true);
  });
  other.join();
  EXPECT_EQ(got, -1);
  EXPECT_FALSE(peeked);
}

TEST_F(MessageQueueTest, DisabledWindowsGetNoInputFromEvents) {
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONDOWN;
  click.button.windowID = kWindow;
  click.button.button = SDL_BUTTON_LEFT;
  click.button.state = SDL_PRESSED;
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.windowID = kWindow;
  close.window.event = SDL_WINDOWEVENT_CLOSE;

  queue_.SetWindowEnabled(kWindow, false);
  queue_.AddEvent(click);
  queue_.AddEvent(close);
  Message message;
  ASSERT_TRUE(queue_.Peek(message, true));
  EXPECT_EQ(message.message, WM_CLOSE);
  queue_.SetWindowEnabled(kWindow, true);
  queue_.AddEvent(click);
  ASSERT_TRUE(queue_.Peek(message, true));
  EXPECT_EQ(message.message, WM_LBUTTONDOWN);
}

TEST_F(MessageQueueTest, TranslateAddsCharactersOfControlKeysOnly) {
  Message key;
  key.window = kWindow;
  key.message = WM_KEYDOWN;
  key.wparam = VK_RETURN;
  TranslateMessage(key);
  key.wparam = 'A';
  TranslateMessage(key);
  Message message;
  ASSERT_TRUE(queue_.Peek(message, true));
  EXPECT_EQ(message.message, WM_CHAR);
  EXPECT_EQ(message.wparam, 0x0Du);
  EXPECT_FALSE(queue_.Peek(message, true));
}

TEST(AcceleratorTest, MatchesVirtualKeysWithExactModifiersAndCharacters) {
  const AcceleratorTable table = {{FVIRTKEY | FCONTROL, 'S', 40007}, {FVIRTKEY, VK_F1, 40004}, {0, 'q', 40003}};
  Message key;
  key.message = WM_KEYDOWN;
  key.wparam = 'S';
  EXPECT_EQ(MatchAccelerator(table, key, FCONTROL), 40007);
  EXPECT_FALSE(MatchAccelerator(table, key, 0));
  EXPECT_FALSE(MatchAccelerator(table, key, FCONTROL | FSHIFT));
  key.wparam = VK_F1;
  EXPECT_EQ(MatchAccelerator(table, key, 0), 40004);
  key.message = WM_KEYUP;
  EXPECT_FALSE(MatchAccelerator(table, key, 0));
  Message character;
  character.message = WM_CHAR;
  character.wparam = 'q';
  EXPECT_EQ(MatchAccelerator(table, character, FALT), 40003);
}

TEST_F(MessageQueueTest, ADropReachesOnlyAWindowThatAcceptsFilesAndEndsWithItsMessage) {
  const auto drop = [this](uint32_t type, const char* file) {
    SDL_Event event{};
    event.type = type;
    event.drop.windowID = kWindow;
    event.drop.file = const_cast<char*>(file);
    queue_.AddEvent(event);
  };
  const auto drop_one_file = [&] {
    drop(SDL_DROPBEGIN, nullptr);
    drop(SDL_DROPFILE, "/srv/a.txt");
    drop(SDL_DROPCOMPLETE, nullptr);
  };
  Message message;
  drop_one_file();
  EXPECT_FALSE(queue_.Peek(message, true));

  DragAcceptFiles(kWindow, true);
  drop_one_file();
  DragAcceptFiles(kWindow, false);
  ASSERT_TRUE(queue_.Peek(message, true));
  EXPECT_EQ(message.message, WM_DROPFILES);
  EXPECT_EQ(DragQueryFileCount(message.wparam), 1u);
  queue_.Dispatch(message);  // the window leaves the drop unfinished
  EXPECT_EQ(DragQueryFileCount(message.wparam), 0u);
}

}  // namespace

// A quick Alt+F4: by the time the queue reads the events, SDL's own modifier state has moved on
// (Alt is up again, or already down for the next chord); each key message keeps its own moment's.
TEST_F(MessageQueueTest, KeysCarryTheModifiersOfTheirEventNotTheStateWhenTheQueueReadsThem) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  const auto key = [](bool down, SDL_Keycode sym, SDL_Scancode scancode, uint16_t modifiers) {
    SDL_Event event = test_support::KeyEvent(scancode, sym, down);
    event.key.windowID = kWindow;
    event.key.keysym.mod = modifiers;
    return event;
  };
  struct Case {
    const char* name;
    SDL_Event event;
    uint16_t state_when_read;
    uint32_t message;
    bool alt_context;
  };
  const Case cases[] = {
      {"F4 down with Alt, Alt already up", key(true, SDLK_F4, SDL_SCANCODE_F4, KMOD_LALT), KMOD_NONE,
       WM_SYSKEYDOWN, true},
      {"F4 up after Alt was let go", key(false, SDLK_F4, SDL_SCANCODE_F4, KMOD_NONE), KMOD_LALT, WM_KEYUP, false},
      {"A down alone, Alt down since", key(true, SDLK_a, SDL_SCANCODE_A, KMOD_NONE), KMOD_RALT, WM_KEYDOWN,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SDL_SetModState(static_cast<SDL_Keymod>(c.state_when_read));
    queue_.AddEvent(c.event);
    Message message;
    ASSERT_TRUE(queue_.Peek(message, true));
    EXPECT_EQ(message.message, c.message);
    EXPECT_EQ((static_cast<uint32_t>(message.lparam) & kKeyContextBit) != 0, c.alt_context);
    EXPECT_FALSE(queue_.Peek(message, true));
  }
  SDL_SetModState(KMOD_NONE);
  InputState::Instance().Reset();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
