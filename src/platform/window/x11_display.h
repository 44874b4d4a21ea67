// What the X display says beyond SDL's events: a window destroyed by another client (a window
// manager's kill), requests the display refused, and the loss of the connection. None of them
// may end the program out of order: the engine hears of them as window messages. And what the
// windows ask of the display beyond SDL: to be placed by their client area, and their size; and
// what the window manager says of them: the states it holds them in and the frame it gives them.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>

#include "platform/system/geometry.h"
#include "platform/window/title_bar_place.h"

namespace plat {

// Takes over the display's error reports once a window of SDL's runs on X (elsewhere nothing
// happens), lets the display's own window events through to the message queue and starts
// watching the root window's size: SDL tells of displays added or removed, not of a change of
// the desktop's mode.
void WatchX11Display(SDL_Window* window);
// The desktop's size (x wide, y high) when the root window has taken another size since the last
// call; nothing otherwise. On the window thread.
std::optional<Point> ReadDesktopResize();
// True when the display event reports that the window was destroyed.
bool ReportsDestructionOf(const SDL_SysWMmsg& message, SDL_Window* window);
// True when the display event reports that the window manager told of the frame it gives the
// window (FrameExtentsOf reads it).
bool ReportsFrameOf(const SDL_SysWMmsg& message, SDL_Window* window);
// True once the connection to the display is lost: nothing may be asked of it any more.
bool DisplayConnectionLost();
// A window that another client destroyed is not destroyed again (the display would refuse it,
// and parts of the display library end the program on a refusal); what SDL keeps of it, and
// SDL's video itself, go with the process.
void NoteDestroyedOutside(SDL_Window* window);
bool WasDestroyedOutside(SDL_Window* window);
bool AnyDestroyedOutside();

// The visual of the default screen of the display that DISPLAY names, and its bits a pixel;
// nothing where there is no such display.
struct X11Visual {
  unsigned long id = 0;
  int32_t depth = 0;
};
std::optional<X11Visual> DefaultX11Visual();

// Where the pointer is on the desktop now, as the display the window is on says; nothing where the
// window is not on X, or the display is lost. Any thread.
std::optional<Point> PointerOnDisplay(SDL_Window* window);

// The window's place is that of its client area from here on: the window manager puts the
// client area where the window is asked to be, whatever frame it draws around it (and whenever
// it learns of that frame). Told before the window shows: window managers read it as they take
// the window on. Elsewhere than on X nothing happens.
void PlaceByClientArea(SDL_Window* window);
// Asks the display to give the window the client size `width` x `height`. SDL hears the display's
// answer as it comes, and only then takes the new size: a window manager that keeps the window at
// its own size leaves SDL with the true one. False where the window is not on X.
bool AskClientSize(SDL_Window* window, int32_t width, int32_t height);
// Whether the window manager holds the window full screen or maximized in either direction, by
// the states it keeps on the window: SDL's flags tell of neither its own full screen nor a
// maximize in one direction. False where the window is not on X.
bool HeldByWindowManager(SDL_Window* window);
// The frame the window manager puts around the window: the one it has, or, before the window
// shows, the one the window manager expects to give it. No frame where no window manager runs,
// nor where the window is not on X; nothing where the window manager does not tell.
std::optional<FrameExtents> FrameExtentsOf(SDL_Window* window);

}  // namespace plat
