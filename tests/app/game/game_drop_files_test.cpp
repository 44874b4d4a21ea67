#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/game/game_app.h"
#include "platform/window/message_queue.h"
#include "support/game_main_window.h"
#include "support/log_capture.h"

namespace {

class DropTestGame : public CGameApp {
 public:
  DropTestGame() { SetThreaded(false); }
};

class GameDropFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(test_support::OpenGameMainWindow(game_, "drop", false), CWindow::kCreated);
    window_ = game_.GetMainWindow().GetHandle();
  }

  // The events of one drag of `files` onto the main window, then every message they become.
  void DropAndPump(const std::vector<const char*>& files) {
    auto& queue = plat::MessageQueue::Instance();
    queue.AddEvent(DropEvent(SDL_DROPBEGIN, nullptr));
    for (const char* file : files) queue.AddEvent(DropEvent(SDL_DROPFILE, file));
    queue.AddEvent(DropEvent(SDL_DROPCOMPLETE, nullptr));
    plat::Message message;
    while (plat::PeekMessage(message, true)) plat::DispatchMessage(message);
  }

  SDL_Event DropEvent(uint32_t type, const char* file) const {
    SDL_Event event{};
    event.type = type;
    event.drop.windowID = window_;
    event.drop.file = const_cast<char*>(file);
    return event;
  }

  LogCapture log_;
  DropTestGame game_;
  plat::WindowId window_ = 0;
};

TEST_F(GameDropFilesTest, ThreeDroppedFilesQueueInDropOrderAndASecondDropIsRefused) {
  CDropFiles& files = game_.GetDropFiles();
  DropAndPump({"/srv/ignored.txt"});
  EXPECT_EQ(files.GetCount(), 0u);  // the window does not take files yet

  files.Accept(window_, 1);
  DropAndPump({"/srv/one.txt", "/srv/two.txt", "/srv/three.txt"});
  ASSERT_EQ(files.GetCount(), 3u);
  EXPECT_EQ(files.GetFile(0), "Z:\\srv\\one.txt");
  EXPECT_EQ(files.GetFile(1), "Z:\\srv\\two.txt");
  EXPECT_EQ(files.GetFile(2), "Z:\\srv\\three.txt");

  DropAndPump({"/srv/four.txt"});
  EXPECT_EQ(files.GetCount(), 3u);
  EXPECT_EQ(files.GetFile(3), std::nullopt);

  files.Clear();
  DropAndPump({"/srv/four.txt"});
  ASSERT_EQ(files.GetCount(), 1u);
  EXPECT_EQ(files.GetFile(0), "Z:\\srv\\four.txt");
  files.Accept(window_, 0);
}

}  // namespace
