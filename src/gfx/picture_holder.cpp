#include "gfx/picture_holder.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<CPictureHolder*>& LiveHolders() {
  static std::vector<CPictureHolder*> holders;
  return holders;
}

}  // namespace

CPictureHolder::CPictureHolder() { LiveHolders().push_back(this); }

CPictureHolder::~CPictureHolder() { std::erase(LiveHolders(), this); }

void CPictureHolder::PictureEnds(const CImageInterface* picture) {
  for (CPictureHolder* holder : LiveHolders()) holder->ForgetPicture(picture);
}

void CPictureHolder::TextureEnds(const CD3DTexture* texture) {
  for (CPictureHolder* holder : LiveHolders()) holder->ForgetTexture(texture);
}
