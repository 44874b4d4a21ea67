#include "effects/sprite/sp_change_effect.h"

#include <algorithm>
#include <cmath>

#include "base/time/timer_manager.h"
#include "effects/framework/effect_args.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "gfx/images/pixel_library.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/motions/motion_path_text.h"
#include "scene/sprites/screen_drawables.h"

namespace {

// An image's placement words, which hold signed offsets.
plat::Rect PlacedRect(const CImage& image) {
  const auto x = static_cast<std::int32_t>(image.GetUserWord0());
  const auto y = static_cast<std::int32_t>(image.GetUserWord1());
  return {x, y, x + image.GetWidth(), y + image.GetHeight()};
}

plat::Rect Union(const plat::Rect& a, const plat::Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

bool Overlap(const plat::Rect& a, const plat::Rect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) && std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

plat::Rect Moved(const plat::Rect& rect, std::int32_t dx, std::int32_t dy) {
  return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

void AddIfNotEmpty(std::vector<plat::Rect>& list, const plat::Rect& rect) {
  if (rect.left < rect.right && rect.top < rect.bottom) list.push_back(rect);
}

CImage* LayerTarget(const CSprite& sprite) {
  const CDrawList* list = sprite.GetOwnerList();
  const CDrawLayer* layer = list != nullptr ? list->GetLayer() : nullptr;
  return layer != nullptr ? layer->GetTarget() : nullptr;
}

// Whether the screen keeps the sprite or picture for the scripts, whose handles then own it.
bool ScreenKeeps(const CSprite* sprite) {
  if (g_ScreenManager == nullptr) return false;
  return CScreenDrawables::Of(*g_ScreenManager).GetDrawables().Contains(sprite);
}

bool ScreenKeeps(const CImage* image) {
  if (g_ScreenManager == nullptr) return false;
  const auto& objects = g_ScreenManager->GetSurfaceObjects();
  return std::any_of(objects.begin(), objects.end(),
                     [image](const auto& kept) { return GetObjectImage(kept.get()) == image; });
}

}  // namespace

CSpChangeEffect::~CSpChangeEffect() = default;

std::int32_t CSpChangeEffect::Setup(CTimerManager* manager, void* /*target*/, const PluginArgs& args) {
  new_ = ArgPlainSprite(args, 0);
  old_ = ArgPlainSprite(args, 1);
  if (manager == nullptr || new_ == nullptr || old_ == nullptr || old_ == new_ || new_->GetOwnerList() == nullptr) {
    return kSetupBadArguments;
  }
  mode_ = static_cast<std::uint8_t>(ArgUnsigned(args, 3));
  resize_ = ArgFlag(args, 5);
  const CImage* target = LayerTarget(*new_);
  if (resize_ && target == nullptr) return kSetupBadArguments;
  if (mode_ >= kModeCrossFade && (old_->GetSourceImage() == nullptr || new_->GetSourceImage() == nullptr)) {
    return kSetupBadArguments;
  }

  sprite_ = new_;
  if (mode_ == kModeMoveOld) {
    dx_ = new_->GetX() - old_->GetX();
    dy_ = new_->GetY() - old_->GetY();
    sprite_ = old_;
  } else if (mode_ >= kModeCrossFade) {
    if (const std::int32_t status = BuildCrossFade(ArgUnsigned(args, 4)); status != 0) return status;
    sprite_ = work_sprite_.get();
  }

  const std::uint32_t duration = ArgUnsigned(args, 6);
  if (Path().ParsePathString(ArgText(args, 2), sprite_, nullptr) != 0) return kSetupBadPath;
  total_duration_ = TotalDuration(std::max(duration, 1u));
  TransformUse use = ScanTransforms(Path());
  if (resize_) {
    if (mode_ == kModeMoveNew) ratio_ = static_cast<double>(old_->GetWidth()) / new_->GetWidth();
    if (mode_ == kModeMoveOld) ratio_ = static_cast<double>(new_->GetWidth()) / old_->GetWidth();
    layer_height_ = target->GetHeight();
    old_gap_ = layer_height_ - old_->GetY();
    new_gap_ = layer_height_ - new_->GetY();
    use.zoom = true;
    use.largest_zoom = std::max(use.largest_zoom, ratio_ * use.largest_zoom);
  }
  render_transforms_ = !resize_;
  sprite_->SetAnchor(-1, Path().GetCentreX(), Path().GetCentreY());
  StartSprite(sprite_, duration, false, use);

  started_ = false;
  new_->SetEnabled(false);
  if (manager->Add(this, 0, 0, 0) != CTimerManager::kAdded) {
    new_->SetEnabled(true);
    return kSetupRefused;
  }
  if (!ScreenKeeps(old_)) old_owned_.reset(old_);
  // An image that the new sprite shows too is not the old sprite's to take.
  CImage* old_image = old_->GetSourceImage();
  if (old_image != new_->GetSourceImage() && !ScreenKeeps(old_image)) old_image_.reset(old_image);
  if (ArgFlag(args, 7)) LowerPriority();
  return kRunning;
}

std::int32_t CSpChangeEffect::BuildCrossFade(std::uint32_t priority) {
  CImage* old_image = old_->GetSourceImage();
  CImage* new_image = new_->GetSourceImage();
  image1_ = old_image;
  image2_ = new_image;
  if (resize_) {
    const bool old_is_narrow = new_->GetWidth() >= old_->GetWidth();
    if (!old_is_narrow) mode_ = kModeCrossFadeToNarrow;
    CImage* narrow = old_is_narrow ? old_image : new_image;
    CImage* wide = old_is_narrow ? new_image : old_image;
    if (ScaleNarrowImage(narrow, wide) != 0) return kSetupRefused;
    image1_ = scaled_image_.get();
    image2_ = wide;
    ratio_ = static_cast<double>(narrow->GetWidth()) / wide->GetWidth();
  }

  plat::Rect r1 = PlacedRect(*image1_);
  plat::Rect r2 = PlacedRect(*image2_);
  const plat::Rect u = Union(r1, r2);
  work_image_ = std::make_unique<CImage>();
  if (work_image_->Create(u.Width(), u.Height(), 32, 0) != 0) return kSetupRefused;
  work_image_->SetUserWord0(static_cast<std::uint32_t>(u.left));
  work_image_->SetUserWord1(static_cast<std::uint32_t>(u.top));

  // The work sprite stands so that an unscaled image in it lies where its own sprite stands.
  const CSprite* anchor = resize_ && mode_ == kModeCrossFade ? new_ : old_;
  const plat::Rect& anchor_rect = resize_ ? r2 : r1;
  const std::int32_t x0 = anchor->GetX() + (u.left - anchor_rect.left);
  const std::int32_t y0 = anchor->GetY() + (u.top - anchor_rect.top);
  work_sprite_ = std::make_unique<CSprite>();
  if (work_sprite_->SetImage(work_image_.get(), nullptr, x0, y0) != 0) return kSetupRefused;

  r1 = Moved(r1, -u.left, -u.top);
  r2 = Moved(r2, -u.left, -u.top);
  place1_ = {r1.left, r1.top};
  place2_ = {r2.left, r2.top};
  dx_ = new_->GetX() - x0;
  dy_ = new_->GetY() - y0;
  BuildLists(r1, r2);

  if (new_->GetOwnerList()->Insert(work_sprite_.get(), priority, 0) != 0) return kSetupRefused;
  work_sprite_->SetBlendMode(2);
  work_sprite_->SetEnabled(false);
  work_image_->FillRectArgb(0, nullptr);
  work_image_->Copy(image1_, place1_.x, place1_.y, nullptr, false);
  last_level_ = 0;
  return 0;
}

std::int32_t CSpChangeEffect::ScaleNarrowImage(CImage* narrow, CImage* wide) {
  const std::int32_t narrow_width = narrow->GetWidth();
  const std::int32_t wide_width = wide->GetWidth();
  if (narrow_width < 1) return kSetupRefused;
  const double scale = static_cast<double>(wide_width) / narrow_width;
  const ImageSize size{wide_width, static_cast<std::int32_t>(narrow->GetHeight() * scale)};
  scaled_image_ = std::make_unique<CImage>();
  if (scaled_image_->Create(size.width, std::max(size.height, 1), 32, 0) != 0) return kSetupRefused;
  if (scaled_image_->PixelLibStretchBlend(narrow, kPixelBlendLevel, 0, 255, 0, &size, 0, 0, nullptr) != 0) {
    return kSetupRefused;
  }
  // Scaled about the layer's vertical centre line.
  const std::int32_t centre = LayerTarget(*new_)->GetWidth() / 2;
  const auto narrow_x = static_cast<std::int32_t>(narrow->GetUserWord0());
  scaled_image_->SetUserWord0(static_cast<std::uint32_t>(static_cast<std::int32_t>(centre - (centre - narrow_x) * scale)));
  scaled_image_->SetUserWord1(wide->GetUserWord1());
  return 0;
}

// Overlapping rectangles are cut into a top, a middle and a bottom band: the clear list covers
// their union, the fade list the parts of image 1 that image 2 does not cover.
void CSpChangeEffect::BuildLists(const plat::Rect& r1, const plat::Rect& r2) {
  clear_list_.clear();
  fade_list_.clear();
  if (!Overlap(r1, r2)) {
    clear_list_ = {r1, r2};
    fade_list_ = {r1};
    return;
  }
  const plat::Rect& higher = r1.top <= r2.top ? r1 : r2;
  const plat::Rect top{higher.left, higher.top, higher.right, std::max(r1.top, r2.top)};
  AddIfNotEmpty(clear_list_, top);
  if (&higher == &r1) AddIfNotEmpty(fade_list_, top);

  const plat::Rect& lower = r1.bottom >= r2.bottom ? r1 : r2;
  const plat::Rect bottom{lower.left, std::min(r1.bottom, r2.bottom), lower.right, lower.bottom};
  AddIfNotEmpty(clear_list_, bottom);
  if (&lower == &r1) AddIfNotEmpty(fade_list_, bottom);

  const std::int32_t band_top = std::max(r1.top, r2.top);
  const std::int32_t band_bottom = std::min(r1.bottom, r2.bottom);
  AddIfNotEmpty(clear_list_, {std::min(r1.left, r2.left), band_top, std::max(r1.right, r2.right), band_bottom});
  AddIfNotEmpty(fade_list_, {r1.left, band_top, std::min(r1.right, r2.left), band_bottom});
  AddIfNotEmpty(fade_list_, {std::max(r1.left, r2.right), band_top, r1.right, band_bottom});
}

void CSpChangeEffect::RedrawCrossFade(std::uint8_t level) {
  for (const plat::Rect& rect : clear_list_) work_image_->FillRectArgb(0, &rect);
  work_image_->Copy(image1_, place1_.x, place1_.y, nullptr, false);
  for (const plat::Rect& rect : fade_list_) work_image_->AdjustAlpha(255u - level, &rect);
  work_image_->BlendLevel(image2_, level, place2_.x, place2_.y, nullptr);
  work_sprite_->SetDirty(true);
  last_level_ = level;
}

std::uint32_t CSpChangeEffect::TotalDuration(std::uint32_t default_duration) const {
  std::uint32_t duration = default_duration;
  std::uint32_t total = 0;
  const std::vector<MotionPathRecord>& records = Path().Records();
  for (std::size_t i = 1; i < records.size(); ++i) {
    if (records[i].kind == kPathTime) duration = records[i].x < 1 ? 1u : static_cast<std::uint32_t>(records[i].x);
    if (records[i].kind == MotionPathRecord::kPoint) total += duration;
  }
  return total;
}

double CSpChangeEffect::Fraction(std::uint32_t elapsed) const {
  // A path without a movement is at its end at once.
  if (total_duration_ == 0) return 1.0;
  return std::min(1.0, static_cast<double>(elapsed) / total_duration_);
}

double CSpChangeEffect::ResizeFactor(double fraction) const {
  switch (mode_) {
    case kModeMoveOld:
      return 1.0 + (ratio_ - 1.0) * fraction;
    case kModeCrossFadeToNarrow:
      return ratio_ + (1.0 - ratio_) * (1.0 - fraction);
    default:
      return ratio_ + (1.0 - ratio_) * fraction;
  }
}

void CSpChangeEffect::StartShowing(std::uint32_t now) {
  started_ = true;
  start_ = now;
  if (mode_ == kModeMoveNew) {
    old_->SetEnabled(false);
    new_->SetEnabled(true);
  } else if (mode_ >= kModeCrossFade) {
    old_->SetEnabled(false);
    work_sprite_->SetEnabled(true);
  }
}

bool CSpChangeEffect::LostAny() const {
  const bool cross_fade = work_image_ != nullptr;
  return new_ == nullptr || old_ == nullptr || sprite_ == nullptr ||
         (cross_fade && (image1_ == nullptr || image2_ == nullptr));
}

std::uint32_t CSpChangeEffect::Update(std::uint32_t now) {
  if (LostAny()) return 1;
  if (!started_) StartShowing(now);
  elapsed_ = now - start_;
  if (!Step(now)) return 0;
  Finish();
  return 1;
}

void CSpChangeEffect::Stop() {
  if (LostAny()) return;
  if (!started_) StartShowing(0);
  elapsed_ = total_duration_;
  ShowEnd();
  Finish();
}

void CSpChangeEffect::OnResumed(std::uint32_t paused_span) {
  if (started_) start_ += paused_span;
  CSpPanimeEffect::OnResumed(paused_span);
}

void CSpChangeEffect::ShowFrame(const MotionPathRecord& from, const MotionPathRecord& to, double t) {
  const double fraction = Fraction(elapsed_);
  if (work_image_ != nullptr) {
    auto level = static_cast<std::uint8_t>(fraction * 255);
    if (mode_ == kModeCrossFadeToNarrow) level = static_cast<std::uint8_t>(255 - level);
    if (level != last_level_) RedrawCrossFade(level);
  }
  CSpPanimeEffect::ShowFrame(from, to, t);
  if (!resize_ || render_transforms_) return;
  const double zoom = (from.zoom + (to.zoom - from.zoom) * t) * ResizeFactor(fraction);
  const auto angle = static_cast<std::int32_t>((from.angle + (to.angle - from.angle) * t) * 512);
  sprite_->RenderTransformed(angle, zoom);
  // The lower edge of the scaled sprite stays where the unscaled one's would be, its top placed
  // by the gap to the layer's bottom as it moves from the old sprite's to the new one's.
  const auto gap = static_cast<std::int32_t>(old_gap_ + (new_gap_ - old_gap_) * fraction);
  const std::int32_t height = sprite_->GetHeight();
  const auto scaled_height = static_cast<std::int32_t>(height * zoom + 0.5);
  sprite_->SetPosition(sprite_->GetX(), layer_height_ - gap + height - scaled_height);
}

void CSpChangeEffect::Finish() {
  if (mode_ != kModeMoveNew) {
    sprite_->SetEnabled(false);
    if (work_sprite_ != nullptr) work_sprite_->SetEnabled(false);
    new_->SetEnabled(true);
    sprite_ = new_;
  }
  if (resize_) render_transforms_ = true;
  MotionPathRecord end = Path().EndPoint();
  end.x += dx_;
  end.y += dy_;
  CSpPanimeEffect::ShowFrame(end, end, 1.0);
}

std::int32_t CSpChangeEffect::GetParam(const PluginArgs& args) {
  const std::int32_t result = CSpPanimeEffect::GetParam(args);
  if (result != 0 || Path().LastKeyFrame() < 0) return result;
  if (auto* x = ArgOut<std::int32_t>(args, 0); x != nullptr) *x += dx_;
  if (auto* y = ArgOut<std::int32_t>(args, 1); y != nullptr) *y += dy_;
  return 0;
}
