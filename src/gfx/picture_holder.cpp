#include "gfx/picture_holder.h"

#include <mutex>
#include <vector>

namespace {

// Pictures may end on the window thread while the game thread makes a holder: the list itself
// is guarded; each holder is told on the thread where its picture ends.
struct LiveHolders {
  std::mutex mutex;
  std::vector<CPictureHolder*> holders;
};

LiveHolders& Live() {
  static LiveHolders live;
  return live;
}

template <class Tell>
void TellAll(Tell tell) {
  LiveHolders& live = Live();
  const std::lock_guard lock(live.mutex);
  for (CPictureHolder* holder : live.holders) tell(*holder);
}

}  // namespace

CPictureHolder::CPictureHolder() {
  LiveHolders& live = Live();
  const std::lock_guard lock(live.mutex);
  live.holders.push_back(this);
}

CPictureHolder::~CPictureHolder() {
  LiveHolders& live = Live();
  const std::lock_guard lock(live.mutex);
  std::erase(live.holders, this);
}

void CPictureHolder::PictureEnds(const CImageInterface* picture) {
  TellAll([picture](CPictureHolder& holder) { holder.ForgetPicture(picture); });
}

void CPictureHolder::TextureEnds(const CD3DTexture* texture) {
  TellAll([texture](CPictureHolder& holder) { holder.ForgetTexture(texture); });
}
