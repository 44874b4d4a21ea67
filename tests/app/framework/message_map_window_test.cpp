#include "app/framework/message_map_window.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "platform/window/message_queue.h"

namespace {

struct Recorder {
  int Record(MessageBlock& block) {
    seen.push_back(block.message);
    block.result = result;
    return handled;
  }
  std::vector<uint32_t> seen;
  int handled = 0;
  int32_t result = 0;
};

WindowCreateParams SmallWindow() {
  WindowCreateParams params;
  params.client_width = 320;
  params.client_height = 240;
  params.style = plat::WS_CAPTION | plat::WS_SYSMENU;
  params.title = "test";
  params.class_name = "test";
  params.placement_mode = kPlaceInsideWorkArea;
  return params;
}

TEST(WindowPlacementTest, PositionsAreKeptOrCentredByMode) {
  const plat::Rect work{0, 0, 1024, 768};
  const plat::Rect centred = PlaceWindowRect(640, 480, -1, -1, kPlaceInsideWorkArea, work);
  EXPECT_EQ(centred.left, 192);
  EXPECT_EQ(centred.top, 144);
  EXPECT_EQ(centred.Width(), 640);
  EXPECT_EQ(PlaceWindowRect(640, 480, 10, 20, kPlaceInsideWorkArea, work).left, 10);
  EXPECT_EQ(PlaceWindowRect(640, 480, 900, 20, kPlaceInsideWorkArea, work).left, 192);  // would stick out
  EXPECT_EQ(PlaceWindowRect(640, 480, 900, 20, kPlaceAtPosition, work).left, 900);
  EXPECT_EQ(PlaceWindowRect(640, 480, 10, 20, kPlaceCentred, work).top, 144);
  const plat::Rect too_big = PlaceWindowRect(2000, 480, -1, -1, kPlaceCentred, work);
  EXPECT_EQ(too_big.left, 0);
  EXPECT_EQ(too_big.top, 0);
  // A position at the end of the range sticks out of any work area.
  constexpr int32_t kGreatest = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(PlaceWindowRect(640, 480, kGreatest, kGreatest, kPlaceInsideWorkArea, work), centred);
  EXPECT_EQ(PlaceWindowRect(640, 480, kGreatest, 20, kPlaceAtPosition, work), (plat::Rect{kGreatest, 20, kGreatest, 500}));
}

TEST(WindowTest, HandlersTakeMessagesInPlaceOfTheDefaults) {
  Recorder first;
  Recorder second;
  second.result = 77;
  CWindow window;
  window.AddHandler(0x0400, std::make_unique<CMessageHandler>(&first, &Recorder::Record));
  window.AddHandler(0x0400, std::make_unique<CMessageHandler>(&second, &Recorder::Record));
  ASSERT_EQ(window.Create(SmallWindow(), nullptr, true, true), CWindow::kCreated);
  EXPECT_EQ(window.SendMessage(0x0400, 0, 0), 77);
  EXPECT_TRUE(first.seen.empty());  // replaced
  EXPECT_EQ(second.seen.size(), 1u);

  // WM_CLOSE without a handler destroys the window, whose WM_DESTROY posts the quit.
  auto& queue = plat::MessageQueue::Instance();
  queue.AttachToCurrentThread();
  window.SendMessage(plat::WM_CLOSE, 0, 0);
  EXPECT_FALSE(window.IsWindow());
  plat::Message message;
  ASSERT_TRUE(queue.Peek(message, true));
  EXPECT_EQ(message.message, plat::WM_QUIT);
  EXPECT_EQ(window.SendMessage(0x0400, 0, 0), 0);
  EXPECT_FALSE(window.PostMessage(0x0400, 0, 0));
  EXPECT_EQ(second.seen.size(), 1u);  // nothing sent to the destroyed window
}

TEST(WindowTest, ACreateHandlerAnsweringMinusOneFailsTheCreation) {
  Recorder refuse;
  refuse.result = -1;
  CWindow window;
  window.AddHandler(plat::WM_CREATE, std::make_unique<CMessageHandler>(&refuse, &Recorder::Record));
  EXPECT_EQ(window.Create(SmallWindow(), nullptr, false, true), CWindow::kCreateFailed);
  EXPECT_FALSE(window.IsWindow());
  EXPECT_EQ(refuse.seen, std::vector<uint32_t>{plat::WM_CREATE});
}

}  // namespace
