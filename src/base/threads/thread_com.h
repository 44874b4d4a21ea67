// Per-thread use counts of the component runtime that the display, sound and input devices
// share: the first use on a thread initialises it and the last release ends it. On Linux
// there is no such runtime to start, so only the counting is kept, which still tells a
// release without a matching use.
#pragma once

#include <cstdint>

// 0 (the runtime is initialised on this thread; on Linux this cannot fail).
uint32_t CoInitializeForThread();
// 0 released; 1 when the calling thread holds no use.
uint32_t CoUninitializeForThread();
