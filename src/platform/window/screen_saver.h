// The desktop's screen saver, which a game may hold off while it runs. On this desktop one
// inhibition holds off the screen saver, the display's power saving and the system's idle sleep
// together (the display server's and the session manager's inhibitors).
#pragma once

namespace plat {

// Whether the screen saver may start (false once held off, or without a display).
bool IsScreenSaverAllowed();
// Holds the screen saver off, or allows it again; false without a display.
bool AllowScreenSaver(bool allowed);

}  // namespace plat
