// The game's dialogs drawn over a window on a real X display (run under Xvfb): each is shown
// for a few frames, looked at and closed as its close box would close it; the pictures are
// written into the build folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "app/dialogs/config_sheet_view.h"
#include "app/dialogs/message_dialog_view.h"
#include "app/dialogs/text_input_dialog_view.h"
#include "app/dialogs/version_dialog_view.h"
#include "base/files/file_dialog.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/dialog_host.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_presenter.h"
#include "platform/window/system_message_box.h"
#include "support/input_events.h"
#include "support/png_file.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

class DialogGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    plat::MessageQueue::Instance().AttachToCurrentThread();
    window_ = OpenTestWindow("dialogs", 40, 40, kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
    ASSERT_NE(plat::ScreenPresenter::ForWindow(window_->Id()), nullptr);
  }
  void TearDown() override {
    if (window_ != nullptr) plat::ScreenPresenter::ReleaseWindow(window_->Id());
    window_.reset();
  }

  // Runs the dialog until its third frame, which it keeps, then asks it to close.
  plat::DialogShot ShowAndClose(const plat::DialogFrame& frame, plat::DialogView& view) {
    plat::DialogShot kept;
    const plat::ScopedDialogWatcher watcher([&kept](const plat::DialogShot& shot) {
      if (shot.frame < 2) return false;
      kept = shot;
      return true;
    });
    EXPECT_TRUE(plat::RunModalDialog(window_->Id(), frame, view));
    EXPECT_FALSE(plat::IsDialogOpen(window_->Id()));
    return kept;
  }

  std::unique_ptr<plat::Window> window_;
};

// The share of the picture that is not the black of the empty window.
double DrawnShare(const plat::DialogShot& shot) {
  const auto drawn = std::count_if(shot.pixels.begin(), shot.pixels.end(),
                                   [](uint32_t pixel) { return (pixel & 0xFFFFFF) != 0; });
  return shot.pixels.empty() ? 0.0 : static_cast<double>(drawn) / static_cast<double>(shot.pixels.size());
}

// Dark pixels of text within a row band of the picture (the title bar, say).
int64_t DarkPixelsInRows(const plat::DialogShot& shot, int32_t top, int32_t bottom) {
  int64_t dark = 0;
  for (int32_t y = std::max(top, 0); y < std::min(bottom, shot.height); ++y) {
    for (int32_t x = 0; x < shot.width; ++x) {
      const uint32_t pixel = shot.pixels[static_cast<size_t>(y) * static_cast<size_t>(shot.width) + x];
      const uint32_t brightness = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
      if (brightness < 200 && (pixel & 0xFFFFFF) != 0) ++dark;
    }
  }
  return dark;
}

void ExpectReadable(const plat::DialogShot& shot, const std::string& png) {
  ASSERT_EQ(shot.width, kWidth);
  ASSERT_EQ(shot.height, kHeight);
  EXPECT_TRUE(WritePng(png, shot.pixels, shot.width, shot.height));
  EXPECT_GT(DrawnShare(shot), 0.05);
  EXPECT_TRUE(shot.glyphs_covered);
}

TEST_F(DialogGuiTest, TheVersionDialogShowsItsJapaneseTitleTheVersionAndTheReport) {
  uint8_t detailed = 0;
  CVersionDialogModel model([](bool) { return plat::Utf8ToSjis("OS: テスト\nCPU: 4 コア\nメモリ: 8 GB\n"); }, detailed);
  int actions = 0;
  CVersionDialogView view(model, "Kestrune DX", VersionLine(1, 0, 0), [&actions](CVersionDialogView::Action) {
    ++actions;
    return true;
  });
  plat::DialogFrame frame{"バージョン情報", CVersionDialogView::kWidth, CVersionDialogView::kHeight, -1, -1,
                          {"Kestrune DX", "OS: テスト\nCPU: 4 コア\nメモリ: 8 GB\n"}};
  const plat::DialogShot shot = ShowAndClose(frame, view);
  ExpectReadable(shot, "version_dialog.png");
  // The title bar of the centred dialog holds the title's glyphs.
  const int32_t top = (kHeight - CVersionDialogView::kHeight) / 2;
  EXPECT_GT(DarkPixelsInRows(shot, top, top + 20), 40);
  EXPECT_EQ(actions, 0);
}

TEST_F(DialogGuiTest, AClosedQuestionAnswersNoAndKeepsItsCheckBoxClear) {
  uint8_t switch_off = 1;
  CMessageDialogModel model(kDialogYesNoWithSwitchOff, &switch_off);
  const std::string text = "セーブデータを上書きします。\nよろしいですか？";
  CMessageDialogView view(model, text);
  const plat::DialogShot shot = ShowAndClose(plat::DialogFrame{"確認", CMessageDialogView::kWidth, 0, -1, -1, {text}},
                                             view);
  ExpectReadable(shot, "message_dialog.png");
  EXPECT_EQ(model.Result(), 0);
  EXPECT_EQ(switch_off, 0);
}

// A stop box is drawn with the engine's own font exactly as the game's message dialog draws the
// same text (the quit question reads well on any desktop), and closed it answers OK.
TEST_F(DialogGuiTest, AStopBoxIsDrawnAsTheGamesMessageDialogDrawsItsText) {
  const std::string text = "VOVスクリプト「TITLE」のロードに失敗。";
  plat::DialogShot box;
  int answer = 0;
  {
    const plat::ScopedDialogWatcher watcher([&box](const plat::DialogShot& shot) {
      if (shot.frame < 2) return false;
      box = shot;
      return true;
    });
    answer = plat::ShowMessageBox({window_->Id(), plat::Utf8ToSjis(text), plat::Utf8ToSjis("デモ"), plat::MB_ICONSTOP});
  }
  EXPECT_EQ(answer, plat::IDOK);
  ExpectReadable(box, "message_box_stop.png");
  CMessageDialogModel model(kDialogOk, nullptr);
  CMessageDialogView view(model, text);
  const plat::DialogShot dialog = ShowAndClose(plat::DialogFrame{"デモ", CMessageDialogView::kWidth, 0, -1, -1, {text}},
                                               view);
  ASSERT_EQ(dialog.pixels.size(), box.pixels.size());
  EXPECT_TRUE(dialog.pixels == box.pixels) << "the box's pixels differ from the message dialog's";
}

// With the cursor-moving setting the pointer goes onto the first button as the dialog opens, and
// Return answers yes as that button does.
TEST_F(DialogGuiTest, TheQuestionPutsThePointerOnItsFirstButtonAndReturnAnswersYes) {
  CMessageDialogModel model(kDialogYesNo, nullptr);
  const std::string text = "終了しますか？";
  CMessageDialogView view(model, text, true);
  SDL_Window* window = SDL_GetWindowFromID(window_->Id());
  ASSERT_NE(window, nullptr);
  int window_x = 0;
  int window_y = 0;
  SDL_GetWindowPosition(window, &window_x, &window_y);
  int pointer_x = -1;
  int pointer_y = -1;
  const plat::ScopedDialogWatcher watcher([&](const plat::DialogShot& shot) {
    if (shot.frame == 2) {
      SDL_GetGlobalMouseState(&pointer_x, &pointer_y);
      SDL_Event key{};
      key.type = SDL_KEYDOWN;
      key.key.windowID = window_->Id();
      key.key.state = SDL_PRESSED;
      key.key.keysym.scancode = SDL_SCANCODE_RETURN;
      key.key.keysym.sym = SDLK_RETURN;
      SDL_PushEvent(&key);
    }
    return shot.frame > 30;  // a dialog that ignores Return is closed: no
  });
  ASSERT_TRUE(plat::RunModalDialog(window_->Id(), plat::DialogFrame{"確認", CMessageDialogView::kWidth, 0, -1, -1, {text}},
                                   view));
  EXPECT_EQ(model.Result(), 1) << "Return pressed the first button";
  // The dialog is centred; "はい" is the left one of two 88-pixel buttons around the middle, and
  // the pointer lies 56 right of and 8 below its top-left corner.
  const int x = pointer_x - window_x;
  const int y = pointer_y - window_y;
  EXPECT_GE(x, kWidth / 2 - 88 + 56 - 12) << x;
  EXPECT_LE(x, kWidth / 2 - 88 + 56 + 12) << x;
  EXPECT_GT(y, kHeight / 2) << y;
  EXPECT_LT(y, kHeight / 2 + 100) << y;
}

TEST_F(DialogGuiTest, AClosedTextInputKeepsTheStartingText) {
  TextInputDialogSettings settings;
  settings.prompt = plat::Utf8ToSjis("名前を入力して下さい");
  settings.text = plat::Utf8ToSjis("太郎");
  settings.x = 20;
  settings.y = 30;
  CTextInputDialogView view(settings);
  const plat::DialogShot shot = ShowAndClose(CTextInputDialogView::Frame(settings), view);
  ExpectReadable(shot, "text_input_dialog.png");
  EXPECT_FALSE(view.Accepted());
  EXPECT_EQ(settings.text, plat::Utf8ToSjis("太郎"));
  // Placed at the asked position of the client area: nothing drawn above and left of it.
  EXPECT_EQ(DarkPixelsInRows(shot, 0, 30), 0);
}

TEST_F(DialogGuiTest, EveryPageOfTheConfigurationSheetIsDrawnAndClosingItKeepsTheSettings) {
  for (int page = 0; page < kConfigPages; ++page) {
    SCOPED_TRACE(page);
    GameSettingsBlock settings = DefaultGameSettings();
    settings[2] = static_cast<uint8_t>(page);
    const GameSettingsBlock before = settings;
    CConfigSheetModel model(settings, false, {});
    CConfigSheetView view(model, {"Xvfb screen 0"}, {});
    plat::DialogFrame frame{"入力・その他設定", CConfigSheetView::kWidth, 0, -1, -1,
                            CConfigSheetView::Texts()};
    const plat::DialogShot shot = ShowAndClose(frame, view);
    ExpectReadable(shot, "config_sheet_page_" + std::to_string(page) + ".png");
    EXPECT_EQ(model.CurrentPage(), page);
    EXPECT_FALSE(view.Confirmed());
    EXPECT_EQ(settings, before);
  }
}

TEST_F(DialogGuiTest, TheSaveChooserListsTheFolderAndCancellingChoosesNothing) {
  test_support::TempGameFolder root;
  root.WriteFile("docs/日記.txt", "a");
  root.WriteFile("docs/other.dat", "b");
  root.MakeFolder("docs/セーブ");
  CFileChooserModel model(FileChooserKind::kSave, root.EnginePath("docs"),
                          ParseFileFilter(plat::Utf8ToSjis("システム情報ファイル(*.TXT)\t*.TXT")),
                          plat::Utf8ToSjis("「ゲーム」システム情報.txt"), "txt");
  CFileChooserView view(model, "ファイルに保存");
  plat::DialogFrame frame{"ファイルに保存", CFileChooserView::kWidth, CFileChooserView::kHeight, -1, -1,
                          CFileChooserView::Texts()};
  frame.texts.insert(frame.texts.end(), {"日記.txt", "セーブ", "システム情報ファイル(*.TXT)", "「ゲーム」システム情報.txt"});
  const plat::DialogShot shot = ShowAndClose(frame, view);
  ExpectReadable(shot, "save_chooser.png");
  EXPECT_EQ(model.Entries().size(), 2u);
  EXPECT_TRUE(view.Chosen().empty());
}

// A question nobody answers draws no frames but a few after it opened and one now and then for
// the text cursor's sake; a key wakes it at once.
TEST_F(DialogGuiTest, AQuestionLeftAloneDrawsAlmostNothingAndAKeyWakesIt) {
  CMessageDialogModel model(kDialogYesNo, nullptr);
  const std::string text = "終了しますか？";
  CMessageDialogView view(model, text);
  constexpr int kFramesAfterOpening = 3;
  std::atomic<int> frames = 0;
  const plat::ScopedDialogWatcher counter([&frames](const plat::DialogShot&) {
    ++frames;
    return false;
  });
  const auto opened = std::chrono::steady_clock::now();
  // The user waits until the dialog has drawn what it draws on opening, however long a loaded
  // machine takes for it, and then leaves it alone for a while.
  std::thread user([window = window_->Id(), &frames, opened] {
    while (frames < kFramesAfterOpening && std::chrono::steady_clock::now() - opened < std::chrono::seconds(60)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    test_support::PushKeyPress(window, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  });
  EXPECT_TRUE(plat::RunModalDialog(window_->Id(), plat::DialogFrame{"確認", CMessageDialogView::kWidth, 0, -1, -1, {text}},
                                   view));
  user.join();
  const auto open_ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - opened).count();
  EXPECT_EQ(model.Result(), 0);  // Escape answered no
  // Three frames after opening and three after the key, one per half second between them; a
  // dialog that redrew at the display's rate would have drawn some seventy.
  EXPECT_GE(frames, kFramesAfterOpening + 1);
  EXPECT_LE(frames, 8 + static_cast<int>(open_ms / 500)) << open_ms << " ms";
}

// A box before any window comes in a window of its own, as tall as its laid-out text and button
// row: the set-up's long question shows both its buttons without scrolling, and a short text
// leaves no empty half. Read back from the box's own window; the buttons are the blue of the
// light style's buttons.
TEST_F(DialogGuiTest, ABoxInAWindowOfItsOwnFitsItsTextAndButtons) {
  struct Case {
    const char* png;
    std::string text;
  };
  const Case cases[] = {
      {"message_box_own_window_long.png",
       "/home/player/.local/share/Kestrune Demo SaveData/\nに、「Kestrune Demo」のセーブデータを作成します。\n"
       "作成するセーブファイルと同名のファイルが存在する場合、\n上書きされる可能性があります。\nよろしいですか？"},
      {"message_box_own_window_short.png", "よろしいですか？"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.png);
    plat::DialogShot box;
    {
      const plat::ScopedDialogWatcher watcher([&box](const plat::DialogShot& shot) {
        if (shot.frame < 3) return false;
        box = shot;
        return true;
      });
      plat::ShowMessageBox({plat::kDesktopWindow, plat::Utf8ToSjis(c.text), plat::Utf8ToSjis("確認"),
                            plat::MB_YESNO | plat::MB_ICONQUESTION});
    }
    ASSERT_FALSE(box.pixels.empty());
    EXPECT_TRUE(WritePng(c.png, box.pixels, box.width, box.height));
    const auto at = [&box](int32_t x, int32_t y) { return box.pixels[static_cast<size_t>(y * box.width + x)]; };
    const auto blue = [](uint32_t pixel) { return (pixel & 0xFF) > ((pixel >> 16) & 0xFF) + 40; };
    // The row through the buttons' middle: the last with blue in it, crossing two runs of blue.
    int32_t button_row = -1;
    for (int32_t y = 0; y < box.height; ++y) {
      for (int32_t x = 0; x < box.width; ++x) button_row = blue(at(x, y)) ? y : button_row;
    }
    ASSERT_GE(button_row, 0) << "no button in sight";
    int runs = 0;
    for (int32_t x = 1; x < box.width; ++x) runs += blue(at(x, button_row - 1)) && !blue(at(x - 1, button_row - 1)) ? 1 : 0;
    EXPECT_EQ(runs, 2) << "both buttons";
    EXPECT_LT(box.height - button_row, 24) << "the window ends below the buttons, " << box.height << " high";
  }
  // Taller than the screen: a window of the screen's height, scrolled.
  std::string tall;
  for (int line = 0; line < 80; ++line) tall += "行\n";
  plat::DialogShot box;
  {
    const plat::ScopedDialogWatcher watcher([&box](const plat::DialogShot& shot) {
      box = shot;
      return shot.frame >= 3;
    });
    plat::ShowMessageBox({plat::kDesktopWindow, plat::Utf8ToSjis(tall), plat::Utf8ToSjis("確認"), plat::MB_OK});
  }
  SDL_Rect usable{};
  ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
  EXPECT_EQ(box.height, usable.h);
}

// A box breaks its lines as the message window does: a full stop that comes where the line is
// full stays at its end instead of beginning a line of its own, so the box is no taller than for
// the text without it. The ink of the text's last column shows the full stop there.
TEST_F(DialogGuiTest, ABoxKeepsAFullStopAtTheEndOfItsLine) {
  const std::string line = "あいうえおかきくけこさしすせそたちつ";
  std::vector<plat::DialogShot> shots;
  for (const std::string& text : {line, line + "。"}) {
    plat::DialogShot box;
    const plat::ScopedDialogWatcher watcher([&box](const plat::DialogShot& shot) {
      box = shot;
      return shot.frame >= 3;
    });
    plat::ShowMessageBox({plat::kDesktopWindow, plat::Utf8ToSjis(text), plat::Utf8ToSjis("確認"), plat::MB_OK});
    ASSERT_FALSE(box.pixels.empty());
    shots.push_back(box);
  }
  EXPECT_TRUE(WritePng("message_box_full_stop.png", shots[1].pixels, shots[1].width, shots[1].height));
  EXPECT_EQ(shots[1].height, shots[0].height) << "one line in both";
  EXPECT_GT(DarkPixelsInRows(shots[1], 0, 24), DarkPixelsInRows(shots[0], 0, 24)) << "the full stop on the first line";
}

}  // namespace
