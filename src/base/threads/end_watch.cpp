#include "base/threads/end_watch.h"

#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// Objects may end on the window thread while the game thread makes a watch, so the list is
// guarded. A holder told of an end may end other objects (announcing again on the same thread)
// and with them other watches: their slots are emptied while the list is being told and swept
// once the outermost telling is over.
struct LiveWatches {
  std::recursive_mutex mutex;
  std::vector<CEndWatch*> watches;
  int telling = 0;
};

LiveWatches& Live() {
  static LiveWatches live;
  return live;
}

}  // namespace

CEndWatch::CEndWatch(Handler handler) : handler_(std::move(handler)) {
  LiveWatches& live = Live();
  const std::lock_guard lock(live.mutex);
  live.watches.push_back(this);
}

CEndWatch::~CEndWatch() {
  LiveWatches& live = Live();
  const std::lock_guard lock(live.mutex);
  if (live.telling == 0) {
    std::erase(live.watches, this);
    return;
  }
  for (CEndWatch*& watch : live.watches) {
    if (watch == this) watch = nullptr;
  }
}

void CEndWatch::TellAll(const void* ending) {
  LiveWatches& live = Live();
  const std::lock_guard lock(live.mutex);
  ++live.telling;
  // Indexes stay valid: slots are only emptied, never removed, until the telling is over. Watches
  // made meanwhile are appended and not told of an end that began before them.
  const std::size_t told = live.watches.size();
  for (std::size_t i = 0; i < told; ++i) {
    if (CEndWatch* watch = live.watches[i]) watch->handler_(ending);
  }
  if (--live.telling == 0) std::erase(live.watches, nullptr);
}
