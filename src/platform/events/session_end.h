// Requests from outside to end the program (SIGTERM, SIGINT) end it as a log-off ends a
// session: the window thread's queue takes the request at its next read and passes the
// end-of-session messages to every window before the quit.
#pragma once

namespace plat {

// Installs the handlers of SIGTERM and SIGINT; they only note the request.
void CatchEndRequests();
// True once for each noted request.
bool TakeEndRequest();

}  // namespace plat
