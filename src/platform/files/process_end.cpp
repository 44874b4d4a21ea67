#include "platform/files/process_end.h"

#include <atomic>

namespace plat {

namespace {

std::atomic<bool> g_ending{false};

}  // namespace

void AnnounceProcessEnd() { g_ending.store(true); }

bool IsProcessEnding() { return g_ending.load(); }

}  // namespace plat
