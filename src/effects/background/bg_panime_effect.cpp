#include "effects/background/bg_panime_effect.h"

#include <algorithm>
#include <new>

#include "base/time/timer_manager.h"
#include "effects/framework/effect_args.h"
#include "gfx/display/surface_object_image.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_layer.h"

namespace {

CDrawLayer* LayerOf(CImagePart* part) { return part != nullptr ? dynamic_cast<CDrawLayer*>(part->GetLayer()) : nullptr; }

void PutInt(const PluginArgs& args, std::uint32_t index, std::int32_t value) {
  if (auto* out = ArgOut<std::int32_t>(args, index); out != nullptr) *out = value;
}

// The view at (x, y): moved and repainted when that is a change.
void MoveView(CDrawLayer& layer, std::int32_t x, std::int32_t y) {
  if (layer.SetBackgroundOffset(x, y)) layer.InvalidateAll();
}

}  // namespace

CBgPanimeEffect::~CBgPanimeEffect() {
  if (own_ != nullptr) ReleasePictures();
}

std::int32_t CBgPanimeEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  layer_ = LayerOf(static_cast<CImagePart*>(target));
  if (manager == nullptr || layer_ == nullptr) return kSetupBadArguments;
  const bool plain = ArgUnsigned(args, 2) == kPlainOffset;
  mode_ = plain ? 0
                : static_cast<std::uint8_t>((ArgFlag(args, 2) ? kModeCache : 0) |
                                            (ArgFlag(args, 3) ? kModeOwnPicture : 0));
  if (Path().ParsePathString(ArgText(args, 0), nullptr, layer_) != 0) return kSetupBadPathOrRefused;
  start_x_ = Path().Records().front().x;
  start_y_ = Path().Records().front().y;
  const std::uint32_t duration = ArgUnsigned(args, 1);
  StartPlaying(duration, !plain && ArgFlag(args, 5));
  if (duration == 0) {
    mode_ = 0;
    Stop();
    return kFinishedAtOnce;
  }
  std::int32_t status = (mode_ & kModeOwnPicture) != 0 ? MakeOwnPicture(!plain && ArgFlag(args, 4)) : kRunning;
  if (status == kRunning && (mode_ & kModeCache) != 0 && layer_->CreateBackgroundCache(true) != 0) {
    status = kSetupNoCache;
  }
  if (status == kRunning && manager->Add(this, 0, 0, 0) != CTimerManager::kAdded) status = kSetupBadPathOrRefused;
  if (status != kRunning) {
    ReleasePictures();
    return status;
  }
  if (ArgFlag(args, 6)) LowerPriority();
  return kRunning;
}

std::int32_t CBgPanimeEffect::MakeOwnPicture(bool with_attached) {
  const CImage& target = *layer_->GetTarget();
  own_.reset(new (std::nothrow) CImage);
  if (own_ == nullptr || own_->Create(target.GetWidth(), target.GetHeight(), target.GetBitsPerPixel(), 0) != 0) {
    own_.reset();
    return kSetupNoPicture;
  }
  if (layer_->RenderTo(own_.get(), CDrawLayer::kFilterAll, 0, with_attached) != 0) {
    own_.reset();
    return kSetupRenderFailed;
  }
  layer_->SetFlags(1, with_attached ? 1 : 0);
  if ((mode_ & kModeCache) == 0) {
    CImage* background = nullptr;
    layer_->GetBackground(&background, &saved_x_, &saved_y_, nullptr, nullptr, nullptr);
    saved_background_ = background;
    layer_->SetBackgroundImage(own_.get(), 0, 0, true);
  }
  return kRunning;
}

std::uint32_t CBgPanimeEffect::Update(std::uint32_t now) {
  if (layer_ != nullptr && !Step(now)) return 0;
  Finish();
  return 1;
}

void CBgPanimeEffect::Stop() {
  ShowEnd();
  Finish();
}

void CBgPanimeEffect::ShowFrame(const MotionPathRecord& from, const MotionPathRecord& to, double t) {
  if (finished_ || layer_ == nullptr) return;
  std::int32_t x = 0;
  std::int32_t y = 0;
  PlaceAt(from, to, t, x, y);
  if (own_ != nullptr) {
    x -= start_x_;
    y -= start_y_;
  }
  if ((mode_ & kModeCache) == 0) {
    MoveView(*layer_, x, y);
  } else if (!drawn_ || x != drawn_x_ || y != drawn_y_) {
    DrawIntoCache(x, y);
  }
}

void CBgPanimeEffect::DrawIntoCache(std::int32_t x, std::int32_t y) {
  CImage* cache = layer_->GetBackgroundCache();
  CImage* picture = own_ != nullptr ? own_.get() : nullptr;
  if (picture == nullptr) layer_->GetBackground(&picture, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (cache == nullptr || picture == nullptr) return;
  drawn_ = true;
  drawn_x_ = x;
  drawn_y_ = y;
  const std::int32_t width = cache->GetWidth();
  const std::int32_t height = cache->GetHeight();
  const plat::Rect source{std::max(x, 0), std::max(y, 0), picture->GetWidth(), picture->GetHeight()};
  const std::int32_t left = std::max(-x, 0);
  const std::int32_t top = std::max(-y, 0);
  const std::int32_t right = std::min(width, left + source.Width());
  const std::int32_t bottom = std::min(height, top + source.Height());
  const std::uint32_t colour = layer_->GetBackgroundColor();
  if (right <= left || bottom <= top) {
    cache->FillRectArgb(colour, nullptr);
  } else {
    const plat::Rect copied{source.left, source.top, source.left + right - left, source.top + bottom - top};
    cache->Copy(picture, left, top, &copied, false);
    for (const plat::Rect& band : {plat::Rect{0, top, left, bottom}, plat::Rect{right, top, width, bottom},
                                   plat::Rect{0, 0, width, top}, plat::Rect{0, bottom, width, height}}) {
      if (band.Width() > 0 && band.Height() > 0) cache->FillRectArgb(colour, &band);
    }
  }
  layer_->InvalidateAll();
}

void CBgPanimeEffect::ReleasePictures() {
  if (layer_ != nullptr) {
    if (own_ != nullptr) {
      if ((mode_ & kModeCache) == 0) layer_->SetBackgroundImage(saved_background_, saved_x_, saved_y_, false);
      layer_->SetFlags(0, 0);
    }
    if ((mode_ & kModeCache) != 0) layer_->ReleaseBackgroundCache();
  }
  own_.reset();
  mode_ = 0;
}

void CBgPanimeEffect::Finish() {
  if (finished_) return;
  finished_ = true;
  ReleasePictures();
  if (layer_ == nullptr) return;
  const MotionPathRecord& end = Path().EndPoint();
  layer_->SetBackgroundOffset(end.x, end.y);
  layer_->InvalidateAll();
}

std::int32_t CBgPanimeEffect::GetParam(const PluginArgs& args) {
  if (Path().Records().empty()) return 1;
  const std::int32_t last = Path().LastKeyFrame();
  if (last < 0) return 2;
  PutInt(args, 0, Path().Records()[static_cast<std::size_t>(last)].x);
  PutInt(args, 1, Path().Records()[static_cast<std::size_t>(last)].y);
  return 0;
}

std::int32_t CBgPanimeEffect::Assist(const PluginArgs* args) {
  if (args == nullptr) return -1;
  CImagePart* part = GetObjectImagePart(ArgObject<CImageInterface>(*args, 0));
  if (part == nullptr) return -1;
  CDrawLayer* layer = LayerOf(part);
  CMotionPath path;
  if (const std::uint32_t status = path.ParsePathString(ArgText(*args, 1), nullptr, layer); status != 0) {
    return static_cast<std::int32_t>(status);
  }
  const MotionPathRecord& end = path.EndPoint();
  MoveView(*layer, end.x, end.y);
  PutInt(*args, 2, end.x);
  PutInt(*args, 3, end.y);
  return 0;
}
