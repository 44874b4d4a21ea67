#include "effects/background/bg_blur_effect.h"

#include <algorithm>

#include "base/numbers/trig_tables.h"
#include "base/time/eased_time.h"
#include "effects/background/cache_fill.h"
#include "effects/background/zoom_source.h"
#include "effects/framework/background_canvas.h"
#include "effects/framework/effect_args.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/motion_curves.h"

namespace {

// Turns into table steps, counted the other way round.
std::int32_t AngleSteps(double turns) { return TruncateToInt32(turns * -512.0); }

std::vector<double> Coordinates(const std::vector<BlurPoint>& points, double BlurPoint::*coordinate) {
  std::vector<double> values;
  values.reserve(points.size());
  for (const BlurPoint& point : points) values.push_back(point.*coordinate);
  return values;
}

double Between(double from, double to, double t) { return from + (to - from) * t; }

}  // namespace

std::int32_t CBgBlurEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  if (g_TrigTable != nullptr && !g_TrigTable->EnsureCosTable()) return kSetupNoCosines;
  layer_ = CanvasLayer(target);
  if (manager == nullptr || layer_ == nullptr) return kSetupNoLayer;
  const char* path = ArgText(args, 0);
  std::uint32_t common = 2;
  bool first_is_background = false;
  if (path == nullptr) {
    ReadStartToEnd(args);
    first_is_background = start_zoom_ == 1.0 && start_angle_ == 0;
    common = 7;
  } else {
    if (!ReadPath(path, ArgFlag(args, 1))) return kSetupBadPath;
    first_is_background = points_.front().zoom == 1.0;
  }
  duration_ = ArgUnsigned(args, common);
  level_ = static_cast<std::uint8_t>(ArgUnsigned(args, common + 1));
  acceleration_ = ArgDecimal(args, common + 2, 0.0);
  direct_ = ArgFlag(args, common + 6);
  keep_end_view_ = ArgFlag(args, common + 9);
  std::int32_t status = TakeSource(ArgText(args, common + 3), ArgFlag(args, common + 4), ArgFlag(args, common + 5));
  if (status == 0) status = PrepareDestination(first_is_background);
  if (status != 0) return status;
  RunStep(0.0);
  filter_ = static_cast<std::uint8_t>(ArgUnsigned(args, common + 7));
  if (AddTo(*manager, true)) return kRunning;
  if (!direct_) layer_->ReleaseBackgroundCache();
  layer_->InvalidateAll();
  return kSetupNoCache;
}

void CBgBlurEffect::ReadStartToEnd(const PluginArgs& args) {
  centre_x_ = ArgInt(args, 1);
  centre_y_ = ArgInt(args, 2);
  start_zoom_ = ArgDecimal(args, 3, 1.0);
  start_angle_ = AngleSteps(ArgDecimal(args, 4, 0.0));
  end_zoom_ = ArgDecimal(args, 5, 1.0);
  end_turns_ = ArgDecimal(args, 6, 0.0);
  end_angle_ = AngleSteps(end_turns_);
  step_ = start_angle_ == 0 && end_angle_ == 0 ? EStep::kZooming : EStep::kRotating;
}

bool CBgBlurEffect::ReadPath(const char* text, bool spline) {
  if (ParseBlurPath(text, points_) < 0) return false;
  const BlurPoint& last = points_.back();
  centre_x_ = TruncateToInt32(last.x);
  centre_y_ = TruncateToInt32(last.y);
  end_zoom_ = last.zoom;
  end_angle_ = 0;
  end_turns_ = 0.0;
  step_ = spline && points_.size() > 2 ? EStep::kSplinePath : EStep::kStraightPath;
  if (step_ == EStep::kSplinePath) {
    spline_x_ = NaturalSplineTerms(Coordinates(points_, &BlurPoint::x));
    spline_y_ = NaturalSplineTerms(Coordinates(points_, &BlurPoint::y));
  }
  return true;
}

std::int32_t CBgBlurEffect::TakeSource(const char* file_name, bool mirror_horizontal, bool mirror_vertical) {
  CImage* background = Background();
  if (file_name != nullptr) {
    if (own_.LoadFile32(file_name, nullptr, 0, 0) != 0) return kSetupNoPicture;
    own_source_ = true;
  } else {
    if (background == nullptr) return kSetupNoBackground;
    // The mirrors and direct drawing must not change the background the picture comes from.
    if (mirror_horizontal || mirror_vertical || direct_) {
      if (own_.Duplicate(background, 0) != 0) return kSetupNoCopy;
      own_source_ = true;
    }
  }
  // The layer's own view cannot show a picture of the effect's own.
  if (own_source_ || direct_) keep_end_view_ = false;
  if (mirror_horizontal) Source()->PixelLibMirrorHorizontal(nullptr);
  if (mirror_vertical) Source()->PixelLibMirrorVertical(nullptr);
  return 0;
}

std::int32_t CBgBlurEffect::PrepareDestination(bool first_is_background) {
  CImage* background = Background();
  if (direct_) {
    if (layer_->GetBackgroundCache() != nullptr) layer_->ReleaseBackgroundCache();
    return background != nullptr ? 0 : kSetupDirectWithoutBackground;
  }
  if (layer_->CreateBackgroundCache(false) != 0) return kSetupNoCache;
  CImage& cache = *layer_->GetBackgroundCache();
  if (background == nullptr) {
    FillImage(cache, layer_->FillValue());
  } else if (!first_is_background && level_ < 255) {
    // The trail starts from the first picture drawn whole.
    const bool own_source = own_source_;
    const std::uint8_t level = level_;
    own_source_ = false;
    level_ = 255;
    RunStep(0.0);
    own_source_ = own_source;
    level_ = level;
    last_angle_or_x_ = std::numeric_limits<std::int32_t>::max();
    last_y_ = 0;
    last_zoom_ = 0.0;
  } else {
    std::int32_t x = 0;
    std::int32_t y = 0;
    layer_->GetBackground(nullptr, &x, &y, nullptr, nullptr, nullptr);
    const plat::Rect shown = ToRect({x, y, cache.GetWidth(), cache.GetHeight()});
    cache.Copy(background, 0, 0, &shown, false);
  }
  return 0;
}

CImage* CBgBlurEffect::Background() const { return LayerBackground(layer_); }

CImage* CBgBlurEffect::Destination() const { return direct_ ? Background() : layer_->GetBackgroundCache(); }

std::uint32_t CBgBlurEffect::Update(std::uint32_t now) {
  if (layer_ == nullptr) return 1;
  const std::uint32_t elapsed = ElapsedAt(now);
  if (level_ < 255 && elapsed < kTrailDelay) return 0;
  if (elapsed >= duration_) {
    if (!keep_end_view_) RunStep(1.0);
    EndStep();
    return 1;
  }
  RunStep(EaseProgress(static_cast<double>(elapsed) / duration_, acceleration_));
  return 0;
}

void CBgBlurEffect::RunStep(double t) {
  switch (step_) {
    case EStep::kRotating:
      RotatingStep(t);
      break;
    case EStep::kZooming:
      ZoomDraw(centre_x_, centre_y_, Between(start_zoom_, end_zoom_, t));
      break;
    case EStep::kStraightPath:
    case EStep::kSplinePath:
      PathStep(t);
      break;
  }
}

void CBgBlurEffect::RotatingStep(double t) {
  const std::int32_t angle = Interpolate(start_angle_, end_angle_, t);
  const double zoom = Between(start_zoom_, end_zoom_, t);
  if (angle == last_angle_or_x_ && zoom == last_zoom_) return;
  CImage* destination = Destination();
  CImage* source = Source();
  if (destination == nullptr || source == nullptr || g_TrigTable == nullptr || g_TrigTable->double_cosine == nullptr) {
    return;
  }
  last_angle_or_x_ = angle;
  last_zoom_ = zoom;
  const double c = g_TrigTable->double_cosine[static_cast<std::uint32_t>(angle) & 511];
  const double n = g_TrigTable->double_cosine[(static_cast<std::uint32_t>(angle) - 128) & 511];
  const double cx = centre_x_;
  const double cy = centre_y_;
  // Turned and zoomed about the centre, which stays in its place.
  PixelAffineArgs draw;
  const double matrix[6] = {zoom * c, -zoom * n, zoom * n, zoom * c, cx - (cy * n + cx * c) * zoom,
                            (cx * n - cy * c) * zoom + cy};
  std::copy(matrix, matrix + 6, draw.matrix);
  draw.mode = DrawMode(*source);
  draw.filter = filter_;
  draw.level = level_;
  destination->PixelLibAffineDraw(source, draw);
  layer_->InvalidateAll();
}

void CBgBlurEffect::PathStep(double t) {
  const std::size_t last = points_.size() - 1;
  const double along = static_cast<double>(last) * t;
  const std::size_t i = along >= static_cast<double>(last) ? last : static_cast<std::size_t>(std::max(along, 0.0));
  if (i == last) {
    ZoomDraw(TruncateToInt32(points_[last].x), TruncateToInt32(points_[last].y), points_[last].zoom);
    return;
  }
  const double f = along - static_cast<double>(i);
  const BlurPoint& from = points_[i];
  const BlurPoint& to = points_[i + 1];
  double x = Between(from.x, to.x, f);
  double y = Between(from.y, to.y, f);
  if (step_ == EStep::kSplinePath) {
    x = SplineValue(from.x, to.x, spline_x_[i], spline_x_[i + 1], f);
    y = SplineValue(from.y, to.y, spline_y_[i], spline_y_[i + 1], f);
  }
  ZoomDraw(TruncateToInt32(x), TruncateToInt32(y), Between(from.zoom, to.zoom, f));
}

void CBgBlurEffect::ZoomDraw(std::int32_t x, std::int32_t y, double zoom) {
  if (x == last_angle_or_x_ && y == last_y_ && zoom == last_zoom_) return;
  CImage* destination = Destination();
  CImage* source = Source();
  if (destination == nullptr || source == nullptr) return;
  last_angle_or_x_ = x;
  last_y_ = y;
  last_zoom_ = zoom;
  const std::int32_t width = source->GetWidth();
  const std::int32_t height = source->GetHeight();
  // Zoomed about (x, y), which stays in its place.
  const ImageSize size{TruncateToInt32(width * zoom + 0.5), TruncateToInt32(height * zoom + 0.5)};
  const plat::Rect whole{0, 0, width, height};
  destination->PixelLibStretchBlend(source, DrawMode(*source), filter_, level_, 0, &size, TruncateToInt32(x - (x * zoom + 0.5)),
                                    TruncateToInt32(y - (y * zoom + 0.5)), &whole);
  layer_->InvalidateAll();
}

std::uint32_t CBgBlurEffect::DrawMode(const CImage& source) {
  return source.GetAlphaFlag() != 0 ? kPixelBlendAlpha : kPixelBlendLevel;
}

void CBgBlurEffect::EndStep() {
  // Drawn straight into the background, the last step stays there.
  if (direct_ || layer_ == nullptr) return;
  layer_->ReleaseBackgroundCache();
  bool shown = false;
  if (keep_end_view_) {
    ZoomRect view;
    if (ComputeZoomRotateSource(layer_, centre_x_, centre_y_, end_zoom_, end_turns_, view) == kZoomSourceOk) {
      shown = ShowZoomRotateView(*layer_, view, end_zoom_, end_turns_);
    }
  }
  if (!shown) layer_->InvalidateAll();
}

std::int32_t CBgBlurEffect::Assist(const PluginArgs* args) {
  const PluginArgs list = ArgsOrNone(args);
  CImagePart* part = GetCanvasPart(ArgObject<CImageInterface>(list, 0));
  if (part == nullptr) return -1;
  CDrawLayer* layer = CanvasLayer(part);
  const double zoom = ArgDouble(list, 3);
  const double angle = ArgDouble(list, 4);
  ZoomRect view;
  const std::uint32_t status = ComputeZoomRotateSource(layer, ArgInt(list, 1), ArgInt(list, 2), zoom, angle, view);
  if (status != kZoomSourceOk) return static_cast<std::int32_t>(status);
  StoreZoomRect(list, 5, view);
  if (angle == 0.0 && (view.width <= 0 || view.height <= 0)) return 4;
  ShowZoomRotateView(*layer, view, zoom, angle);
  return 0;
}
