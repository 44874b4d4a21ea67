// The start roads that show a box or the folder chooser, walked on a real display (run under Xvfb)
// as a player walks them: a copy of the built demo made a game whose player picks the save folder
// (save-folder kind 2), started with a fresh home, each box, dialog and chooser answered through
// the display's test extension (the pointer and the keys, the keyboard given to the dialog's
// window as a window manager gives it), never by a scripted answer, up to the game's title or the
// start's end. The pictures are written as demo_start_*.png into the build folder.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "demo_game_copy.h"
#include "demo_reader.h"
#include "demo_window.h"
#include "platform/files/host_path.h"
#include "platform/window/dialog_host.h"
#include "platform/window/system_message_box.h"
#include "settings_writer.h"
#include "support/display_hand.h"
#include "support/fixed_step_game.h"
#include "support/log_capture.h"
#include "support/holds_within.h"
#include "support/png_file.h"
#include "support/program_run.h"
#include "support/scoped_environment.h"
#include "support/spawned_process.h"
// After the engine's headers: the X headers' names would shadow some of theirs.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using namespace demo_test;

constexpr xcb_keysym_t kReturn = 0xFF0D;
// The title the chooser's window takes: the set-up's two lines made one.
constexpr const char* kChooserTitle = "「Kestrune Demo」 セーブデータ作成フォルダの選択";
// The boxes and the game's own dialogs are titled with the application name.
constexpr const char* kBoxTitle = "Kestrune Demo";
// テスト表, whose last byte (95 5C) is a backslash.
constexpr const char* kTableFolder = "テスト表";
// The frames a dialog may draw before the player's answer has been taken.
constexpr int kMostFramesOfAnAnswer = 120;

// The newest window of the program with the title: a box in a window of its own is made after
// the game's window, which its dialogs draw over.
SDL_Window* NewestWindowTitled(const std::string& title) {
  SDL_Window* newest = nullptr;
  for (uint32_t id = 1; id < 4096; ++id) {
    SDL_Window* window = SDL_GetWindowFromID(id);
    if (window != nullptr && title == SDL_GetWindowTitle(window)) newest = window;
  }
  return newest;
}

xcb_window_t XWindowOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE) return 0;
  return static_cast<xcb_window_t>(info.info.x11.window);
}

// Whether a pixel is the ink of a text, dark on the dialogs' light ground.
bool Ink(uint32_t pixel) { return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 384; }
// Whether a pixel is of a button: light blue, pointed at or not.
bool OfButton(uint32_t pixel) {
  const uint32_t blue = pixel & 0xFF;
  return blue > 200 && blue > ((pixel >> 16) & 0xFF) + 30;
}

uint32_t At(const plat::DialogShot& shot, int32_t x, int32_t y) {
  return shot.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(shot.width) + static_cast<std::size_t>(x)];
}

// The middle rows of the lines of text between x `left` and `right`, from row `top` down.
std::vector<int32_t> TextLines(const plat::DialogShot& shot, int32_t left, int32_t right, int32_t top) {
  std::vector<int32_t> lines;
  int32_t first = -1;
  for (int32_t y = top; y < shot.height; ++y) {
    bool inked = false;
    for (int32_t x = left; x < right && !inked; ++x) inked = Ink(At(shot, x, y));
    if (inked && first < 0) first = y;
    if (!inked && first >= 0) {
      lines.push_back((first + y) / 2);
      first = -1;
    }
  }
  return lines;
}

// The chooser's listed names: the middle rows of the lines inside its white list.
std::vector<int32_t> ListedRows(const plat::DialogShot& shot) {
  int32_t top = 0;
  while (top < shot.height && (At(shot, 12, top) & 0xFFFFFF) != 0xFFFFFF) ++top;
  return TextLines(shot, 12, shot.width / 2, top);
}

// How wide the ink of the line of text around row `middle` spans, left of x `right`.
int32_t InkSpan(const plat::DialogShot& shot, int32_t middle, int32_t right) {
  int32_t first = shot.width;
  int32_t last = -1;
  for (int32_t y = std::max(middle - 8, 0); y < std::min(middle + 8, shot.height); ++y) {
    for (int32_t x = 0; x < right; ++x) {
      if (!Ink(At(shot, x, y))) continue;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  return last - first;
}

// The buttons of a dialog's row of buttons, left to right, by their middles: the first row of
// buttons below the middle of the picture (a dialog is centred over the game's window).
std::vector<plat::Point> DialogButtons(const plat::DialogShot& shot) {
  for (int32_t y = shot.height / 2; y < shot.height; ++y) {
    std::vector<plat::Point> buttons;
    int32_t start = -1;
    for (int32_t x = 0; x <= shot.width; ++x) {
      const bool button = x < shot.width && OfButton(At(shot, x, y));
      if (button && start < 0) start = x;
      if (!button && start >= 0) {
        if (x - start >= 40) buttons.push_back(plat::Point{(start + x) / 2, y + 8});
        start = -1;
      }
    }
    if (!buttons.empty()) return buttons;
  }
  return {};
}

// The middle of the white check box above a dialog's buttons; none without one.
std::optional<plat::Point> CheckBox(const plat::DialogShot& shot) {
  const std::vector<plat::Point> buttons = DialogButtons(shot);
  if (buttons.empty()) return std::nullopt;
  for (int32_t y = std::max(buttons.front().y - 48, 0); y < buttons.front().y - 12; ++y) {
    for (int32_t x = 0; x < buttons.front().x; ++x) {
      if ((At(shot, x, y) & 0xFFFFFF) == 0xFFFFFF) return plat::Point{x + 8, y + 8};
    }
  }
  return std::nullopt;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The player: answers each dialog as the plan for it says, in the order the plans were made, and
// closes any other dialog (a start road that went wrong) as its close box would.
class Player {
 public:
  // What the player does in a dialog, from its second frame on (the first lays it out): the
  // picture it shows, and the number of that frame; true once done.
  using Act = std::function<bool(Player& player, const plat::DialogShot& shot, int frame)>;

  // A dialog titled `title` with `buttons` buttons, its picture written to `png`.
  void Expect(std::string title, std::size_t buttons, std::string png, Act act) {
    plans_.push_back(Plan{std::move(title), buttons, std::move(png), std::move(act)});
  }

  // The watcher's answer to a frame of a dialog.
  bool See(const plat::DialogShot& shot) {
    if (shot.frame == 0) {
      seen_.push_back(shot.title);
      acting_ = !plans_.empty() && plans_.front().title == shot.title;
      if (acting_) {
        current_ = std::move(plans_.front());
        plans_.pop_front();
      }
      done_ = false;
    }
    if (!acting_) return true;
    if (shot.frame == 1) {
      EXPECT_TRUE(WritePng(current_.png, shot.pixels, shot.width, shot.height)) << current_.png;
      EXPECT_EQ(DialogButtons(shot).size(), current_.buttons) << current_.png;
    }
    if (shot.frame >= 1 && !done_) {
      window_ = NewestWindowTitled(shot.title);
      done_ = current_.act(*this, shot, shot.frame - 1);
    }
    // A dialog that does not take the player's answer is closed: it draws a frame at least on
    // every input and every idle half second, so this many frames are well beyond an answer.
    const bool stuck = shot.frame > kMostFramesOfAnAnswer;
    EXPECT_FALSE(stuck) << shot.title << " did not take the player's answer";
    return stuck;
  }

  // The dialogs seen, in order, and whether every plan was met.
  const std::vector<std::string>& Seen() const { return seen_; }
  bool AllMet() const { return plans_.empty(); }

  // At a point of the dialog's picture: a click, or the pointer moved there.
  void ClickAt(int32_t x, int32_t y) const { hand_.Click(OnScreen(x, y)); }
  void PointAt(int32_t x, int32_t y) const { hand_.MoveTo(OnScreen(x, y)); }
  // Return in the dialog's window, given the keyboard.
  void PressReturn() const {
    hand_.Focus(XWindowOf(window_));
    hand_.Tap(kReturn);
  }

 private:
  struct Plan {
    std::string title;
    std::size_t buttons = 0;
    std::string png;
    Act act;
  };
  plat::Point OnScreen(int32_t x, int32_t y) const {
    int left = 0;
    int top = 0;
    SDL_GetWindowPosition(window_, &left, &top);
    return plat::Point{left + x, top + y};
  }

  const test_support::DisplayHand hand_;
  std::deque<Plan> plans_;
  Plan current_;
  bool acting_ = false;
  bool done_ = false;
  SDL_Window* window_ = nullptr;
  std::vector<std::string> seen_;
};

// The dialogs' acts.
bool PressReturn(Player& player, const plat::DialogShot&, int) {
  player.PressReturn();
  return true;
}

// Ticks the do-not-show-again box, then answers with Return; the dialog ticked is written to
// `png`.
Player::Act TickAndPressReturn(std::string png) {
  return [png](Player& player, const plat::DialogShot& shot, int frame) {
    if (frame == 0) {
      const std::optional<plat::Point> box = CheckBox(shot);
      EXPECT_TRUE(box.has_value()) << "the do-not-show-again box";
      if (box) player.ClickAt(box->x, box->y);
    }
    if (frame < 3) return false;
    EXPECT_TRUE(WritePng(png, shot.pixels, shot.width, shot.height));
    player.PressReturn();
    return true;
  };
}

// Opens the listed folder `row` (0 the first) by a double click, and takes it with Return; the
// chooser showing the folder opened is written to `png`. The chooser first shows `folder`, as
// the path of this machine, on the line under its title's two: the line is as wide as that path's
// characters (the dialogs' face gives each one-byte character 8 pixels), not as the engine's
// path (Z:, two more).
Player::Act OpenFolderAndTakeIt(std::size_t row, std::string png, std::string folder) {
  return [row, png, folder](Player& player, const plat::DialogShot& shot, int frame) {
    if (frame == 0) {
      const std::vector<int32_t> lines = TextLines(shot, 0, shot.width - 80, 0);
      EXPECT_GE(lines.size(), 3u) << "the title's two lines and the folder's";
      if (lines.size() >= 3) {
        EXPECT_NEAR(InkSpan(shot, lines[2], shot.width - 80), 8 * static_cast<int32_t>(folder.size()), 6) << folder;
      }
    }
    if (frame == 0 || frame == 2) {
      const std::vector<int32_t> rows = ListedRows(shot);
      EXPECT_GT(rows.size(), row) << "the chooser lists the documents folder's folders";
      if (rows.size() > row) player.ClickAt(40, rows[row]);
    }
    if (frame < 5) return false;
    EXPECT_TRUE(WritePng(png, shot.pixels, shot.width, shot.height));
    EXPECT_TRUE(ListedRows(shot).empty()) << "the folder opened holds nothing";
    player.PressReturn();
    return true;
  };
}

bool ClickCancel(Player& player, const plat::DialogShot& shot, int) {
  const std::vector<plat::Point> buttons = DialogButtons(shot);
  EXPECT_EQ(buttons.size(), 2u) << "OK and キャンセル";
  if (!buttons.empty()) player.ClickAt(buttons.back().x, buttons.back().y);
  return true;
}

class DemoStartRoadsGuiTest : public DemoGameCopyTest {
 protected:
  void SetUp() override {
    DemoGameCopyTest::SetUp();
    kvxtools::AppDefinitionFile definition;
    definition.width = 800;
    definition.height = 600;
    definition.save_folder_mode = 2;
    const std::vector<uint8_t> bytes = kvxtools::WriteAppDefinition(definition);
    game_.WriteFile("SCRIPT/DL_APP.SYS", std::string(bytes.begin(), bytes.end()));
    game_.MakeFolder("home/Documents/Plain");
    game_.MakeFolder(std::string("home/Documents/") + kTableFolder);
  }

  // Runs the game until its title shows, reads it, then closes the window: the quit question is
  // the player's to answer. Run's result; `title` takes what the window showed.
  int RunToTheTitle(Shown& title, const std::string& png) {
    test_support::FixedStepGame run{test_support::FixedStepGame::OnScreen{}};
    constexpr int kLooked = 2 * kStep - 20;
    run.PlanClick(kMovieSkip, kReadX, kReadY);
    run.SetFrameObserver([&](int frame) {
      if (frame != kLooked) return;
      title = ReadShown(run.Game(), png);
      saved_in_ = run.Game().GetSaveFolder();
      run.PlanEvent(frame + 1, WindowEvent(SDL_WINDOWEVENT_CLOSE));
    });
    run.SetLastFrame(kLooked + 10 * kStep);
    const int result = run.Run(game_.HostPath());
    EXPECT_FALSE(run.GaveUp()) << "the quit question was answered";
    return result;
  }

  // Whether a line logged from line `from` on holds the text.
  bool Logged(const std::string& text, std::size_t from = 0) const {
    return std::any_of(log_.Lines().begin() + static_cast<std::ptrdiff_t>(from), log_.Lines().end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
  }
  // The documents folder's subfolder (with its closing slash), or the documents folder itself.
  std::string Documents(const std::string& folder) const {
    return game_.HostPath() + "home/Documents/" + (folder.empty() ? "" : folder + "/");
  }
  // The one folder the game made in the folder picked.
  std::string MadeIn(const std::string& folder) const {
    std::vector<std::string> made;
    for (const auto& entry : std::filesystem::directory_iterator(Documents(folder))) {
      made.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(made.size(), 1u) << folder;
    return made.empty() ? std::string() : Documents(folder) + made.front() + "/";
  }

  ScopedEnvironment home_{"HOME", (game_.HostPath() + "home").c_str()};
  ScopedEnvironment config_{"XDG_CONFIG_HOME", (game_.HostPath() + "config").c_str()};
  LogCapture log_;
  Player player_;
  plat::ScopedDialogWatcher watcher_{[this](const plat::DialogShot& shot) { return player_.See(shot); }};
  std::string saved_in_;
};

// The first start shows the chooser before the game's window, on the documents folder (its path
// on this machine): cancelled, the start ends with its box. The next start shows it again; the
// folder `Plain` opened and taken with Return holds the game's save folder, the game runs to its
// title and its settings are there. With that folder gone, the start asks whether to choose
// another (yes by Return), and `テスト表` taken whole holds the new one.
TEST_F(DemoStartRoadsGuiTest, TheFirstStartShowsTheChooserAndTheGameRunsWithItsSaveFolderInTheFolderPicked) {
  Shown title;
  player_.Expect(kChooserTitle, 2, "demo_start_chooser.png", &ClickCancel);
  player_.Expect(kBoxTitle, 1, "demo_start_no_save_folder.png", &PressReturn);
  EXPECT_EQ(RunToTheTitle(title, "demo_start_not_reached.png"), 1);
  EXPECT_EQ(player_.Seen(), (std::vector<std::string>{kChooserTitle, kBoxTitle}));
  EXPECT_TRUE(Logged("message box (Kestrune Demo): セーブデータ作成フォルダがないため、起動できません。"));
  EXPECT_TRUE(title.pixels.empty());

  player_.Expect(kChooserTitle, 2, "demo_start_chooser_again.png", OpenFolderAndTakeIt(0, "demo_start_plain.png", Documents("")));
  player_.Expect(kBoxTitle, 2, "demo_start_quit_question.png", &PressReturn);
  ASSERT_EQ(RunToTheTitle(title, "demo_start_title_plain.png"), 0) << Joined(log_.Lines());
  EXPECT_TRUE(player_.AllMet()) << Joined(player_.Seen());
  ASSERT_EQ(title.width, 800);
  EXPECT_EQ(title.At(kMoonX, kMoonY), kMoonColour & 0xFFFFFF) << "the title shows";
  const std::string plain = MadeIn("Plain");
  EXPECT_EQ(plat::ToHostPath(saved_in_).value_or(""), plain);
  EXPECT_TRUE(std::filesystem::is_regular_file(plain + "APP_CFG.DAT"));

  std::filesystem::remove_all(plain);
  player_.Expect(kBoxTitle, 2, "demo_start_folder_gone.png", &PressReturn);
  player_.Expect(kChooserTitle, 2, "demo_start_chooser_after_question.png", OpenFolderAndTakeIt(1, "demo_start_table.png", Documents("")));
  player_.Expect(kBoxTitle, 2, "demo_start_quit_question_again.png", &PressReturn);
  ASSERT_EQ(RunToTheTitle(title, "demo_start_title_table.png"), 0) << Joined(log_.Lines());
  EXPECT_TRUE(player_.AllMet()) << Joined(player_.Seen());
  EXPECT_TRUE(Logged("セーブデータ作成フォルダが見つかりません。"));
  EXPECT_EQ(title.At(kMoonX, kMoonY), kMoonColour & 0xFFFFFF) << "the title shows";
  const std::string table = MadeIn(kTableFolder);
  EXPECT_EQ(plat::ToHostPath(saved_in_).value_or(""), table);
  EXPECT_TRUE(std::filesystem::is_regular_file(table + "APP_CFG.DAT"));
}

// A settings template that names a folder the player did not choose here (settings copied from
// another machine) is taken as a folder that is gone: the question, then the chooser. Without a
// sound output the game's warning shows over its window, its do-not-show-again box ticked by the
// player, and the game runs silent to its title. The next start asks nothing and warns of nothing;
// the game settings cannot be written at its end (a folder stands in their file's place), and
// after the quit question the box that says so shows.
TEST_F(DemoStartRoadsGuiTest, TheQuestionTheSoundWarningAndTheUnwrittenSettingsAreThePlayersToSee) {
  const std::string author = "Z:\\home\\author\\Documents\\Kestrune Demo SaveData";
  const std::vector<uint8_t> named = kvxtools::WriteUserConfigFile({{}, {}, {}, author});
  game_.WriteFile("USER.CFG", std::string(named.begin(), named.end()));
  const ScopedEnvironment no_sound("SDL_AUDIODRIVER", "no-such-driver");
  Shown title;
  player_.Expect(kBoxTitle, 2, "demo_start_not_chosen_here.png", &PressReturn);
  player_.Expect(kChooserTitle, 2, "demo_start_chooser_not_chosen_here.png",
                 OpenFolderAndTakeIt(0, "demo_start_plain_not_chosen_here.png", Documents("")));
  player_.Expect(kBoxTitle, 1, "demo_start_sound_warning.png", TickAndPressReturn("demo_start_sound_warning_ticked.png"));
  player_.Expect(kBoxTitle, 2, "demo_start_quit_question_silent.png", &PressReturn);
  ASSERT_EQ(RunToTheTitle(title, "demo_start_title_silent.png"), 0) << Joined(log_.Lines());
  EXPECT_TRUE(player_.AllMet()) << Joined(player_.Seen());
  EXPECT_TRUE(Logged("/home/author/Documents/Kestrune Demo SaveData\nセーブデータ作成フォルダが見つかりません。"));
  EXPECT_EQ(title.At(kMoonX, kMoonY), kMoonColour & 0xFFFFFF) << "the title shows, silent";
  const std::string plain = MadeIn("Plain");
  EXPECT_EQ(plat::ToHostPath(saved_in_).value_or(""), plain);
  const std::string settings = ReadBytes(game_.HostPath() + "data/kestrune/Kestrune Demo SaveData/USER.CFG");
  // The run-time block's switch 6, after the environment and window blocks and three lengths.
  ASSERT_GT(settings.size(), 2u + 72 + 2 + 14 + 2 + 6);
  EXPECT_EQ(settings[2 + 72 + 2 + 14 + 2 + 6], 0) << "the warning is switched off";

  std::filesystem::remove(plain + "APP_CFG.DAT");
  std::filesystem::create_directories(plain + "APP_CFG.DAT/in the way");
  const std::size_t logged_before = log_.Lines().size();
  player_.Expect(kBoxTitle, 2, "demo_start_quit_question_unwritable.png", &PressReturn);
  player_.Expect(kBoxTitle, 1, "demo_start_settings_not_written.png", &PressReturn);
  ASSERT_EQ(RunToTheTitle(title, "demo_start_title_unwritable.png"), 0) << Joined(log_.Lines());
  EXPECT_TRUE(player_.AllMet()) << Joined(player_.Seen());
  EXPECT_EQ(player_.Seen().size(), 6u) << Joined(player_.Seen());
  EXPECT_TRUE(Logged("message box (Kestrune Demo): アプリケーション設定ファイルの保存に失敗", logged_before))
      << Joined(log_.Lines());
  EXPECT_FALSE(Logged(std::string(plat::kNotShownWhileEnding), logged_before)) << Joined(log_.Lines());
}

// An X server of the test's own whose desktop has 8 bits a pixel, a palette (Xvfb picks a free
// display), for the life of the object; and the built program run on it as a player starts it.
class EightBitDesktop {
 public:
  EightBitDesktop() {
    int ready[2];
    if (pipe(ready) != 0) return;
    // Xvfb writes the number of the display it took to the pipe's end it inherits.
    server_.emplace(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0",
                                             "800x600x8", "-nolisten", "tcp"},
                    "eight_bit_xvfb.log");
    close(ready[1]);
    std::string number;
    char c = 0;
    while (server_->Started() && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (number.empty()) return;
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
  }
  ~EightBitDesktop() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  EightBitDesktop(const EightBitDesktop&) = delete;
  EightBitDesktop& operator=(const EightBitDesktop&) = delete;

  bool Up() const { return display_ != nullptr && DefaultDepth(display_, DefaultScreen(display_)) == 8; }
  const std::string& Name() const { return name_; }

  // The built program started on this desktop with the game, its output in `log`.
  test_support::SpawnedProcess Start(const std::string& game, const std::string& log) const {
    return test_support::SpawnedProcess({test_support::BuiltProgram(), "/L" + game}, log,
                                        {"DISPLAY=" + name_, "ASAN_OPTIONS=detect_leaks=0"});
  }

  // The newest window that shows on the desktop, with its place; none while no window shows.
  std::optional<std::pair<::Window, plat::Rect>> NewestShown() const {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    std::optional<std::pair<::Window, plat::Rect>> newest;
    if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) == 0) return newest;
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display_, children[i], &attributes) == 0 || attributes.map_state != IsViewable) continue;
      newest = std::pair{children[i], plat::Rect{attributes.x, attributes.y, attributes.x + attributes.width,
                                                 attributes.y + attributes.height}};
    }
    if (children != nullptr) XFree(children);
    return newest;
  }

  // What the screen shows in the area, each pixel's colour as the screen's colormap gives it.
  Shown Read(const plat::Rect& area) const {
    Shown shown;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.left, area.top,
                              static_cast<unsigned>(area.Width()), static_cast<unsigned>(area.Height()), AllPlanes, ZPixmap);
    if (image == nullptr) return shown;
    std::map<unsigned long, uint32_t> colours;
    for (int32_t y = 0; y < area.Height(); ++y) {
      for (int32_t x = 0; x < area.Width(); ++x) {
        const unsigned long pixel = XGetPixel(image, x, y);
        auto [found, added] = colours.try_emplace(pixel, 0);
        if (added) {
          XColor colour{};
          colour.pixel = pixel;
          XQueryColor(display_, DefaultColormap(display_, DefaultScreen(display_)), &colour);
          found->second = 0xFF000000 | static_cast<uint32_t>(colour.red >> 8) << 16 |
                          static_cast<uint32_t>(colour.green >> 8) << 8 | static_cast<uint32_t>(colour.blue >> 8);
        }
        shown.pixels.push_back(found->second);
      }
    }
    XDestroyImage(image);
    shown.width = area.Width();
    shown.height = area.Height();
    return shown;
  }

  // Asks the window to close, as a window manager's close box does.
  void Close(::Window window) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
  }

 private:
  std::optional<test_support::SpawnedProcess> server_;
  std::string name_;
  Display* display_ = nullptr;
};

// Whether the picture is text on a light ground: a light ground over most of it, ink in it.
bool TextOnLightGround(const Shown& shown) {
  const auto light = std::count_if(shown.pixels.begin(), shown.pixels.end(),
                                   [](uint32_t pixel) { return (pixel & 0xE0E0E0) == 0xE0E0E0; });
  const auto ink = std::count_if(shown.pixels.begin(), shown.pixels.end(), [](uint32_t pixel) { return Ink(pixel); });
  return 2 * light > static_cast<std::ptrdiff_t>(shown.pixels.size()) && ink > 200;
}

// On a desktop of 8 bits a pixel (a palette): a game that runs only in a window shows its box
// that asks for HighColor, which Return closes, and the start ends with 5; a game that may also
// run in full screen runs in its window there, drawn in the desktop's colours, to its title, and
// ends by its quit question.
TEST_F(DemoStartRoadsGuiTest, OnADesktopOfEightBitsTheHighColorBoxIsSeenOrTheGameRunsInItsWindow) {
  const EightBitDesktop desktop;
  ASSERT_TRUE(desktop.Up()) << "Xvfb with a desktop of 8 bits (eight_bit_xvfb.log)";
  const test_support::DisplayHand hand(desktop.Name().c_str());
  ASSERT_TRUE(hand.Connected());
  struct Road {
    uint8_t screen_modes;
    const char* png;
  };
  for (const Road& road : {Road{0, "demo_start_eight_bits_window_only.png"}, Road{2, "demo_start_eight_bits_title.png"}}) {
    SCOPED_TRACE(road.png);
    kvxtools::AppDefinitionFile definition;
    definition.width = 800;
    definition.height = 600;
    definition.screen_modes = road.screen_modes;
    definition.single_instance = 0;
    const std::vector<uint8_t> bytes = kvxtools::WriteAppDefinition(definition);
    game_.WriteFile("SCRIPT/DL_APP.SYS", std::string(bytes.begin(), bytes.end()));
    const std::string log = game_.HostPath() + "eight_bits.log";
    test_support::SpawnedProcess game = desktop.Start(game_.HostPath(), log);
    ASSERT_TRUE(game.Started());
    std::optional<std::pair<::Window, plat::Rect>> shown;
    ASSERT_TRUE(test_support::HoldsWithin(60, [&] { return (shown = desktop.NewestShown()).has_value(); }));
    if (road.screen_modes == 0) {
      // The box: its text in ink on its light ground.
      Shown box;
      ASSERT_TRUE(test_support::HoldsWithin(30, [&] { return TextOnLightGround(box = desktop.Read(shown->second)); }));
      EXPECT_TRUE(WritePng(road.png, box.pixels, box.width, box.height));
      EXPECT_EQ(box.width, 320) << "a box's window";
      hand.Focus(static_cast<xcb_window_t>(shown->first));
      hand.Tap(kReturn);
      EXPECT_EQ(game.EndedWithin(60), std::optional<int>(5)) << ReadBytes(log);
    } else {
      // The opening movie is skipped by a click; the title's moon then shows, in the palette's
      // nearest colour (light yellow).
      const plat::Rect area = shown->second;
      hand.Click(plat::Point{area.left + kReadX, area.top + kReadY});
      Shown title;
      ASSERT_TRUE(test_support::HoldsWithin(60, [&] {
        title = desktop.Read(area);
        return title.width == 800 && title.At(kMoonX, kMoonY) == 0xFFFF99;
      })) << ReadBytes(log);
      EXPECT_TRUE(WritePng(road.png, title.pixels, title.width, title.height));
      desktop.Close(shown->first);
      Shown question;
      EXPECT_TRUE(test_support::HoldsWithin(30, [&] {
        question = desktop.Read(area);
        return question.width == 800 && (question.At(400, 300) & 0xFFFFFF) == 0xFFFFFF;
      })) << "the quit question over the title";
      EXPECT_TRUE(WritePng("demo_start_eight_bits_quit_question.png", question.pixels, question.width, question.height));
      hand.Focus(static_cast<xcb_window_t>(shown->first));
      hand.Tap(kReturn);
      EXPECT_EQ(game.EndedWithin(60), std::optional<int>(0)) << ReadBytes(log);
    }
  }
}

}  // namespace
