#include "effects/screen/quake_effect.h"

#include <algorithm>

#include "base/numbers/script_bound.h"
#include "base/time/timer_manager.h"
#include "effects/framework/background_canvas.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/framework/effect_args.h"
#include "effects/screen/screen_pages.h"
#include "scene/drawables/draw_layer.h"

namespace {

// The end that Update reports once the duration has run out.
constexpr std::uint32_t kFinished = 0xFFFFFFFFu;

void FillArea(CImage& image, std::uint32_t value, std::int32_t left, std::int32_t top, std::int32_t right,
              std::int32_t bottom) {
  const plat::Rect area{left, top, right, bottom};
  if (left >= right || top >= bottom) return;
  if (image.GetBitsPerPixel() == 8) {
    image.FillRect(value & 0xFF, 0, 0, &area);
  } else {
    image.FillRectArgb(value, &area);
  }
}

}  // namespace

std::int32_t CQuakeEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  if (!HasEffectRandom()) return kSetupRefused;
  const ScreenPages pages = PagesOf(target);
  if (manager == nullptr || args.count == 0 || pages.first == nullptr || pages.second == nullptr) {
    return kSetupBadTarget;
  }
  pages_[0].layer = pages.first;
  pages_[1].layer = pages.second;
  pages_[0].shaken = ArgFlag(args, 6);
  pages_[1].shaken = ArgFlag(args, 7);
  cache_mode_ = ArgFlag(args, 5);
  for (Page& page : pages_) page.layer->GetBackground(nullptr, &page.base_x, &page.base_y, nullptr, nullptr, nullptr);
  for (Page& page : pages_) {
    if (cache_mode_ && page.shaken && page.layer->CreateBackgroundCache(false) != 0) {
      Restore();
      return kSetupNoCache;
    }
  }
  shake_.Configure(ArgInt(args, 0), ArgInt(args, 1), ArgInt(args, 2), ArgUnsigned(args, 3), ArgDecimal(args, 4, 0.0));
  if (manager->Add(this, 0, 0, 0) != CTimerManager::kAdded) {
    Restore();
    return kSetupRefused;
  }
  if (ArgFlag(args, 8)) LowerPriority();
  return kRunning;
}

std::uint32_t CQuakeEffect::Update(std::uint32_t now) {
  const std::optional<QuakeShift> shift = shake_.Step(now, &DrawEffectRandom);
  if (!shift) {
    Restore();
    return kFinished;
  }
  for (const Page& page : pages_) {
    if (page.shaken && page.layer == nullptr) {
      Restore();
      return kFinished;
    }
  }
  for (const Page& page : pages_) {
    if (page.shaken) Move(page, -shift->dx, -shift->dy);
  }
  return 0;
}

void CQuakeEffect::Move(const Page& page, std::int32_t dx, std::int32_t dy) const {
  const std::int32_t x = ClampedSum(page.base_x, dx);
  const std::int32_t y = ClampedSum(page.base_y, dy);
  if (cache_mode_ && page.layer->GetBackgroundCache() != nullptr && LayerBackground(page.layer) != nullptr) {
    DrawIntoCache(*page.layer, x, y);
  } else {
    MoveOffset(page, x, y);
  }
}

void CQuakeEffect::MoveOffset(const Page& page, std::int32_t x, std::int32_t y) const {
  if (LayerBackground(page.layer) != nullptr && page.layer->SetBackgroundOffset(x, y)) page.layer->InvalidateAll();
}

// The background's point (x, y) lands on the cache's origin; every part of the cache that the
// picture does not cover shows the layer's colour.
void CQuakeEffect::DrawIntoCache(CDrawLayer& layer, std::int32_t x, std::int32_t y) {
  CImage& background = *LayerBackground(&layer);
  CImage& cache = *layer.GetBackgroundCache();
  const std::int32_t bw = background.GetWidth();
  const std::int32_t bh = background.GetHeight();
  const std::int32_t cw = cache.GetWidth();
  const std::int32_t ch = cache.GetHeight();
  const std::uint32_t colour = layer.FillValue();
  const std::int32_t left = std::max(0, -x);
  const std::int32_t top = std::max(0, -y);
  if (left >= cw || top >= ch || x >= bw || y >= bh) {
    FillArea(cache, colour, 0, 0, cw, ch);
  } else {
    const plat::Rect source{std::max(0, x), std::max(0, y), bw, bh};
    cache.Copy(&background, left, top, &source, false);
    // The picture covers (left, top) to (right, bottom) of the cache.
    const std::int32_t right = std::min(cw, left + source.Width());
    const std::int32_t bottom = std::min(ch, top + source.Height());
    FillArea(cache, colour, 0, 0, left, ch);
    FillArea(cache, colour, right, 0, cw, ch);
    FillArea(cache, colour, left, 0, right, top);
    FillArea(cache, colour, left, bottom, right, ch);
  }
  layer.InvalidateAll();
}

void CQuakeEffect::Restore() {
  for (const Page& page : pages_) {
    if (page.layer == nullptr || !page.shaken) continue;
    if (cache_mode_ && page.layer->GetBackgroundCache() != nullptr) {
      page.layer->ReleaseBackgroundCache();
      page.layer->InvalidateAll();
    }
  }
  cache_mode_ = false;
  for (const Page& page : pages_) {
    if (page.layer != nullptr && page.shaken) MoveOffset(page, page.base_x, page.base_y);
  }
}
