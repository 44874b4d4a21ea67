// The end of the process. Once the program's entry announces it, what closes from then on and
// would only wait while it closes (an audio output's thread, which sleeps a period at a time; the
// video system's teardown, which waits for the renderer's threads and the display) is left for
// the process's end to stop and free instead, as it does for everything the process holds.
#pragma once

namespace plat {

// Called by the program's entry once its application has run.
void AnnounceProcessEnd();
bool IsProcessEnding();

}  // namespace plat
