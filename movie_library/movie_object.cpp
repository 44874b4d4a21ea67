// The window movie library (DS_MOVIE): its version and the creator of the movie object. The
// object plays through the movie player into two frames of its own, draws each new one into its
// window through the engine's display, and queues its events for the window, which it wakes
// through the display so that the window thread reads them.
#include <array>
#include <deque>
#include <mutex>
#include <new>
#include <vector>

#include "player_forwarding.h"

namespace kvxmovie {

namespace {

// Movies larger than this on either side are refused rather than allocated.
constexpr int32_t kLargestSide = 8192;

// One frame in the library's memory, 32 bits a pixel; the lock is held while it is written or
// drawn.
struct FrameStore {
  std::mutex lock;
  std::vector<uint8_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
};

FrameStore& Store(void* owner) { return *static_cast<FrameStore*>(owner); }

int32_t PrepareStore(void* owner, int32_t width, int32_t height) {
  if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) return 1;
  FrameStore& store = Store(owner);
  const std::lock_guard guard(store.lock);
  try {
    store.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  } catch (const std::bad_alloc&) {
    return 1;
  }
  store.width = width;
  store.height = height;
  return 0;
}

int32_t LockStore(void* owner, KvxFrameView* view) {
  FrameStore& store = Store(owner);
  store.lock.lock();
  if (view == nullptr || store.pixels.empty()) return 1;
  *view = KvxFrameView{store.pixels.data(), store.width, store.height, store.width * 4, KVX_FRAME_XRGB8888};
  return 0;
}

void UnlockStore(void* owner) { Store(owner).lock.unlock(); }

struct MovieEvent {
  int32_t code;
  int64_t first;
  int64_t second;
};

// The movie object the engine holds is the object's base: the engine's pointer comes back down to
// it.
struct MovieObject : KvxMovieObject {
  KvxMovieDisplay display{};
  bool through_primary = false;
  // Guards the windows, the rectangle, the visibility and the events.
  std::mutex state;
  uint32_t notify_window = 0;
  uint32_t video_window = 0;
  std::array<int32_t, 4> rect{};
  bool visible = false;
  std::deque<MovieEvent> events;
  std::array<FrameStore, 2> stores;
  // Last, so that its thread has ended before the stores go.
  std::unique_ptr<LoadedPlayer> player;
};

MovieObject& Object(KvxMovieObject* self) { return *static_cast<MovieObject*>(self); }
LoadedPlayer& Player(KvxMovieObject* self) { return *Object(self).player; }
using Forward = PlayerForwarding<KvxMovieObject, Player>;

// Draws the newest frame into `dc`, or into the video window while the frames are shown. 0 when
// drawn; 1 without a frame, a place to draw or success of the display.
int32_t PaintNewest(MovieObject& object, void* dc) {
  uint32_t window = 0;
  std::array<int32_t, 4> rect{};
  {
    const std::lock_guard guard(object.state);
    if (dc == nullptr && (!object.visible || object.video_window == 0)) return 1;
    window = object.video_window;
    rect = object.rect;
  }
  const int32_t index = object.player->CurrentBuffer();
  if (index < 0) return 1;
  FrameStore& store = object.stores[static_cast<size_t>(index)];
  KvxFrameView view{};
  int32_t result = 1;
  if (LockStore(&store, &view) == 0) result = object.display.paint(object.display.owner, window, dc, &view, rect.data());
  UnlockStore(&store);
  return result == 0 ? 0 : 1;
}

void OnPlayerChange(MovieObject& object, bool ended) {
  if (!ended) {
    PaintNewest(object, nullptr);
    return;
  }
  uint32_t window = 0;
  {
    const std::lock_guard guard(object.state);
    object.events.push_back(MovieEvent{KVX_MOVIE_EVENT_COMPLETE, 0, 0});
    window = object.notify_window;
  }
  if (window != 0 && object.display.notify != nullptr) object.display.notify(object.display.owner, window);
}

void Release(KvxMovieObject* self) { delete &Object(self); }

int32_t SetNotifyWindow(KvxMovieObject* self, uint32_t window) {
  const std::lock_guard guard(Object(self).state);
  Object(self).notify_window = window;
  return 0;
}

int32_t SetVideoWindow(KvxMovieObject* self, uint32_t window) {
  const std::lock_guard guard(Object(self).state);
  Object(self).video_window = window;
  return 0;
}

int32_t SetDisplayRect(KvxMovieObject* self, const int32_t* rect) {
  if (rect == nullptr || rect[2] < rect[0] || rect[3] < rect[1]) return 1;
  const std::lock_guard guard(Object(self).state);
  Object(self).rect = {rect[0], rect[1], rect[2], rect[3]};
  return 0;
}

int32_t SetVisible(KvxMovieObject* self, int32_t visible) {
  {
    const std::lock_guard guard(Object(self).state);
    Object(self).visible = visible != 0;
  }
  if (visible != 0) PaintNewest(Object(self), nullptr);
  return 0;
}

int32_t NextEvent(KvxMovieObject* self, int32_t* code, int64_t* first, int64_t* second) {
  if (code == nullptr || first == nullptr || second == nullptr) return 1;
  const std::lock_guard guard(Object(self).state);
  std::deque<MovieEvent>& events = Object(self).events;
  if (events.empty()) return 1;
  *code = events.front().code;
  *first = events.front().first;
  *second = events.front().second;
  events.pop_front();
  return 0;
}

int32_t GetRate(KvxMovieObject*, double* rate) {
  if (rate == nullptr) return 1;
  *rate = 1.0;
  return 0;
}

int32_t DrawsThroughPrimary(KvxMovieObject* self) { return Object(self).through_primary ? 1 : 0; }
int32_t DrawsIntoWindow(KvxMovieObject*) { return 1; }
int32_t Repaint(KvxMovieObject* self, void* dc) { return dc == nullptr ? 1 : PaintNewest(Object(self), dc); }
// The frames go through the engine's display, which took up the new mode itself: what the window
// showed is drawn again in it.
int32_t DisplayChanged(KvxMovieObject* self) { return PaintNewest(Object(self), nullptr); }

constexpr KvxMovieObjectFunctions kFunctions{
    nullptr,          Release,          nullptr,          SetNotifyWindow,     SetVideoWindow,
    SetDisplayRect,   SetVisible,       Forward::Play,    Forward::Pause,      Forward::Restart,
    Forward::Stop,    Forward::GetPosition, Forward::Seek, Forward::GetDuration, Forward::GetState,
    NextEvent,        Forward::SetVolume, nullptr,        Forward::IsEnded,    Forward::SetRate,
    GetRate,          Forward::SetRate, DrawsThroughPrimary, DrawsIntoWindow,  Forward::GetWidth,
    Forward::GetHeight, DisplayChanged, Repaint,
};

int32_t CreateMovieObject(KvxMovieObject** out, uint32_t window, const KvxSoundSink* sound, KvxMovieStream* stream,
                          const char* path, const KvxMovieDisplay* display, void* surface, int32_t flag) {
  if (out == nullptr || display == nullptr || display->paint == nullptr) {
    if (stream != nullptr) stream->release(stream->owner);
    return 1;
  }
  std::unique_ptr<MovieObject> object(new (std::nothrow) MovieObject{});
  if (object == nullptr) {
    if (stream != nullptr) stream->release(stream->owner);
    return 3;
  }
  object->functions = &kFunctions;
  object->display = *display;
  object->through_primary = surface != nullptr && flag != 0;
  object->notify_window = window;
  object->video_window = window;
  KvxFrameBuffer first{&object->stores[0], PrepareStore, LockStore, UnlockStore};
  KvxFrameBuffer second{&object->stores[1], PrepareStore, LockStore, UnlockStore};
  const KvxPlayerListener listener = [](void* context, int32_t ended) {
    OnPlayerChange(*static_cast<MovieObject*>(context), ended != 0);
  };
  if (const int32_t opened = LoadedPlayer::Open(object->player, stream, path, &first, &second, sound, listener,
                                                object.get());
      opened != 0) {
    return opened;
  }
  *out = object.release();
  return 0;
}

}  // namespace

}  // namespace kvxmovie

extern "C" __attribute__((visibility("default"))) uint32_t GetDllVersion() { return KVX_DS_MOVIE_VERSION; }

// The media type only says how the engine named the file; the demuxer reads the contents.
extern "C" __attribute__((visibility("default"))) int32_t GetMovieObject(KvxMovieObject** out, uint32_t window,
                                                                        const KvxSoundSink* sound,
                                                                        KvxMovieStream* stream, int32_t /*type*/,
                                                                        const char* path,
                                                                        const KvxMovieDisplay* display,
                                                                        void* surface, int32_t flag) {
  return kvxmovie::CreateMovieObject(out, window, sound, stream, path, display, surface, flag);
}
