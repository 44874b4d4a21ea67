#include "effects/screen/noise_effect.h"

#include <algorithm>
#include <cstring>

#include "base/time/timer_manager.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/framework/effect_args.h"
#include "effects/screen/screen_pages.h"
#include "gfx/image_operations/image_part.h"
#include "scene/drawables/draw_layer.h"

std::int32_t CNoiseEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  if (!HasEffectRandom() || manager == nullptr || target == nullptr || args.count == 0) return kSetupBadArguments;
  const ScreenPages pages = PagesOf(target);
  if (pages.first == nullptr || pages.second == nullptr) return kSetupNoPages;
  if (noise_.LoadFile32(kPicture, nullptr, 0, 0) != 0) return kSetupNoPicture;
  const CImage& screen = *pages.part->GetImage();
  if (work_.Create(screen.GetWidth(), screen.GetHeight(), 32, 0) != 0) return kSetupNoImage;
  part_ = pages.part;
  const auto opacity = static_cast<std::uint8_t>(ArgUnsigned(args, 0));
  const std::uint32_t priority = ArgUnsigned(args, 1);
  const std::array<CDrawLayer*, 2> layers{pages.first, pages.second};
  for (std::size_t page = 0; page < sprites_.size(); ++page) {
    CSprite& sprite = sprites_[page];
    if (sprite.SetImage(&work_, nullptr, 0, 0) != 0) return kSetupNoImage;
    sprite.SetOpacity(opacity);
    sprite.SetEnabled(ArgFlag(args, 2 + static_cast<std::uint32_t>(page)));
    if (layers[page]->GetOwnList().Insert(&sprite, priority, 0) != 0) return kSetupNoImage;
  }
  Render();
  return manager->Add(this, kStep, kStep, 0) == CTimerManager::kAdded ? kRunning : kSetupRefused;
}

std::int32_t CNoiseEffect::SetParam(const PluginArgs& args) {
  if (part_ == nullptr) return 0;
  const PairShow show = ResolvePairShow(sprites_[0], *part_, ArgFlag(args, 0), ArgFlag(args, 1));
  sprites_[0].SetEnabled(show.made_for_first);
  sprites_[1].SetEnabled(show.made_for_second);
  return 0;
}

std::uint32_t CNoiseEffect::Update(std::uint32_t /*now*/) {
  // A deleted canvas took the pages the sprites showed on: the effect ends as if stopped.
  if (part_ == nullptr) return 1;
  Render();
  return 0;
}

void CNoiseEffect::Stop() {
  for (CSprite& sprite : sprites_) sprite.SetEnabled(false);
}

// The texture's pixels one after another from a random one on, wrapping after its last, fill the
// work image row by row.
void CNoiseEffect::Render() {
  const std::int32_t noise_width = noise_.GetWidth();
  const std::int64_t count = std::int64_t{noise_width} * noise_.GetHeight();
  std::int64_t at = DrawEffectRandom() % count;
  for (std::int32_t y = 0; y < work_.GetHeight(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(work_.GetRowPointer(y));
    std::int32_t x = 0;
    while (x < work_.GetWidth()) {
      const auto noise_y = static_cast<std::int32_t>(at / noise_width);
      const auto noise_x = static_cast<std::int32_t>(at % noise_width);
      const std::int32_t run = std::min(work_.GetWidth() - x, noise_width - noise_x);
      std::memcpy(row + x, noise_.GetRowPointer(noise_y) + std::size_t{4} * static_cast<std::size_t>(noise_x),
                  std::size_t{4} * static_cast<std::size_t>(run));
      x += run;
      at = (at + run) % count;
    }
  }
  for (CSprite& sprite : sprites_) {
    if (sprite.IsEnabled()) sprite.SetDirty(true);
  }
}
