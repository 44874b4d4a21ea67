#include "effects/screen/particle_effect.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "base/time/timer_manager.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/framework/effect_args.h"
#include "gfx/image_operations/image_part.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr double kRandomUnit = 1e-9;
// Light's opacity phase: 32 a step over 0 to 509.
constexpr std::uint16_t kPhaseSpan = 510;
constexpr std::uint16_t kPhaseStep = 32;

double Fraction() { return DrawEffectRandom() * kRandomUnit; }

double Limited(double value, double limit) { return std::clamp(value, -limit, limit); }

std::int32_t Truncated(double value) { return static_cast<std::int32_t>(std::trunc(value)); }

// A rain drop of kind k: 1 px wide, 200 down to 100 px long, fainter for the shorter ones.
std::int32_t DropLength(std::int32_t kind) { return Truncated((1.0 - 0.1 * kind) * 200.0); }
std::uint32_t DropColour(std::int32_t kind) {
  return static_cast<std::uint32_t>(0x82 - 0x14 * kind) << 24 | 0xA0AAEBu;
}

}  // namespace

std::int32_t CParticleEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  const std::int32_t count = ArgInt(args, 0);
  if (!HasEffectRandom() || count < 1 || count > kMaxPieces || manager == nullptr || target == nullptr) return kSetupBadArguments;
  const ScreenPages pages = PagesOf(target);
  if (pages.first == nullptr || pages.second == nullptr) return kSetupNoPages;
  if (const std::int32_t loaded = LoadPictures(); loaded != 0) return loaded;
  part_ = pages.part;
  width_ = part_->GetImage()->GetWidth();
  height_ = part_->GetImage()->GetHeight();
  speed_scale_ = ArgDecimal(args, 4, 0.0);
  if (speed_scale_ == 0.0) speed_scale_ = 1.0;
  show_ = {ArgFlag(args, 5), ArgFlag(args, 6)};
  const bool scatter = ArgFlag(args, 3);
  try {
    pieces_.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    return kSetupNoDrawable;
  }
  for (Piece& piece : pieces_) {
    if (!MakePiece(piece, pages, ArgInt(args, 1), ArgInt(args, 2))) return kSetupNoDrawable;
    if (scatter) StartPiece(piece, true);
  }
  if (manager->Add(this, kStep, kStep, 0) != CTimerManager::kAdded) return kSetupRefused;
  if (!scatter) StartPiece(pieces_.front(), false);
  return kRunning;
}

std::int32_t CParticleEffect::LoadPictures() {
  if (rules_.picture_format == nullptr) return 0;
  for (std::int32_t kind = 0; kind < rules_.kinds; ++kind) {
    char name[64];
    std::snprintf(name, sizeof name, rules_.picture_format, kind);
    auto picture = std::unique_ptr<CImage>(new (std::nothrow) CImage);
    if (picture == nullptr) return kSetupNoDrawable;
    if (picture->LoadFile32(name, nullptr, 0, 0) != 0) return kSetupNoPicture;
    pictures_.push_back(std::move(picture));
  }
  return 0;
}

bool CParticleEffect::MakePiece(Piece& piece, const ScreenPages& pages, std::int32_t base_priority,
                                std::int32_t spread) {
  const std::int32_t k = DrawEffectRandom() % rules_.kinds;
  piece.kind = k;
  if (rules_.picture_format != nullptr) {
    const CImage& picture = *pictures_[static_cast<std::size_t>(k)];
    piece.height = picture.GetHeight();
    piece.frame_width = rules_.frames != 0 ? picture.GetWidth() / rules_.frames : picture.GetWidth();
  } else {
    piece.height = DropLength(k);
  }
  piece.first = MakeDrawable(piece);
  piece.second = MakeDrawable(piece);
  if (piece.first == nullptr || piece.second == nullptr) return false;
  const auto priority = static_cast<std::uint32_t>(base_priority + k * spread / rules_.priority_divisor);
  if (pages.first->GetOwnList().Insert(piece.first.get(), priority, 0) != 0 ||
      pages.second->GetOwnList().Insert(piece.second.get(), priority, 0) != 0) {
    return false;
  }
  piece.speed = rules_.speed_base + rules_.speed_per_kind * k + (k >= 4 ? rules_.speed_from_fourth_kind : 0.0) +
                rules_.speed_random * Fraction();
  if (rules_.sway_start_base != 0.0) {
    const double sway = rules_.sway_start_base + rules_.sway_start_per_kind * k + rules_.sway_start_random * Fraction();
    piece.sway = (DrawEffectRandom() & 1) != 0 ? -sway : sway;
  }
  if (rules_.sways) piece.acceleration = Fraction();
  return true;
}

std::unique_ptr<CDrawable> CParticleEffect::MakeDrawable(const Piece& piece) const {
  if (rules_.picture_format == nullptr) {
    auto drop = std::unique_ptr<CColorBox>(new (std::nothrow) CColorBox);
    if (drop == nullptr) return nullptr;
    drop->SetBox(1, piece.height, DropColour(piece.kind), 0, 0);
    drop->SetEnabled(false);
    return drop;
  }
  auto sprite = std::unique_ptr<CSprite>(new (std::nothrow) CSprite);
  if (sprite == nullptr) return nullptr;
  const plat::Rect frame{0, 0, piece.frame_width, piece.height};
  if (sprite->SetImage(pictures_[static_cast<std::size_t>(piece.kind)].get(), &frame, 0, 0) != 0) return nullptr;
  sprite->SetEnabled(false);
  return sprite;
}

std::int32_t CParticleEffect::SetParam(const PluginArgs& args) {
  if (ArgInt(args, 0) == 0) {
    stop_requested_ = true;
    return 0;
  }
  if (pieces_.empty() || part_ == nullptr) return 0;
  show_ = ResolvePairShow(*pieces_.front().first, *part_, ArgFlag(args, 1), ArgFlag(args, 2));
  for (Piece& piece : pieces_) {
    if (piece.active) ShowPiece(piece, true);
  }
  return 0;
}

std::uint32_t CParticleEffect::Update(std::uint32_t /*now*/) {
  // A deleted canvas took the pages the pieces fell over: the effect ends as if stopped.
  if (part_ == nullptr) return 1;
  bool all_done = true;
  for (Piece& piece : pieces_) {
    if (!StepPiece(piece)) all_done = false;
  }
  return stop_requested_ && all_done ? 1 : 0;
}

bool CParticleEffect::StepPiece(Piece& piece) {
  if (!piece.active) {
    if (stop_requested_) return true;
    if (Fraction() < rules_.start_chance) StartPiece(piece, false);
    return false;
  }
  piece.x += speed_scale_ * piece.sway;
  // However slow the scale, every piece moves on by a pixel at least.
  const double distance = std::max(speed_scale_ * piece.speed, 1.0);
  piece.y += rules_.rises ? -distance : distance;
  if (rules_.sways) {
    piece.sway = Limited(piece.sway + piece.acceleration, rules_.sway_limit);
    piece.acceleration =
        Limited(piece.acceleration + (Fraction() - 0.5) * rules_.acceleration_step, rules_.acceleration_limit);
  }
  const bool gone = rules_.rises ? piece.y < -piece.height : piece.y >= height_;
  // Under a stop request a piece that has left stays idle, hidden like the pieces not started.
  if (gone && stop_requested_) {
    piece.active = false;
    ShowPiece(piece, false);
  } else if (gone) {
    Reenter(piece);
  }
  Place(piece);
  // Under a stop request the pieces only finish their way: frames and pulses hold still.
  if (stop_requested_) return !piece.active;
  Animate(piece);
  return false;
}

void CParticleEffect::StartPiece(Piece& piece, bool scattered) {
  piece.x = Fraction() * width_;
  piece.y = rules_.rises ? height_ : -piece.height;
  if (scattered) {
    const double into = Fraction() * height_;
    piece.y += rules_.rises ? -into : into;
  }
  piece.active = true;
  Place(piece);
  ShowPiece(piece, true);
  if (rules_.frames != 0) {
    piece.frame = DrawEffectRandom() % rules_.frames;
    ShowFrame(piece);
  }
  if (rules_.pulses) piece.phase = static_cast<std::uint16_t>(DrawEffectRandom() % kPhaseSpan);
}

void CParticleEffect::Reenter(Piece& piece) {
  piece.x = Fraction() * width_;
  if (rules_.rises) {
    piece.y = height_;
  } else if (rules_.picture_format == nullptr) {
    piece.y = -(Fraction() * piece.height);
  } else {
    piece.y = -piece.height;
  }
}

void CParticleEffect::Place(Piece& piece) const {
  for (CDrawable* drawable : {piece.first.get(), piece.second.get()}) {
    drawable->SetPosition(Truncated(piece.x), Truncated(piece.y));
  }
}

void CParticleEffect::ShowPiece(Piece& piece, bool shown) const {
  piece.first->SetEnabled(shown && show_.made_for_first);
  piece.second->SetEnabled(shown && show_.made_for_second);
}

void CParticleEffect::ShowFrame(Piece& piece) {
  const plat::Rect frame{piece.frame * piece.frame_width, 0, (piece.frame + 1) * piece.frame_width, piece.height};
  for (CDrawable* drawable : {piece.first.get(), piece.second.get()}) static_cast<CSprite*>(drawable)->SetSourceRect(&frame);
}

void CParticleEffect::Animate(Piece& piece) const {
  if (rules_.frames != 0) {
    piece.frame = (piece.frame + 1) % rules_.frames;
    ShowFrame(piece);
  }
  if (rules_.pulses) {
    piece.phase = static_cast<std::uint16_t>(piece.phase + kPhaseStep);
    if (piece.phase >= kPhaseSpan) piece.phase = 0;
    // The opacity keeps the low 8 bits of 510 - phase: a saw-tooth, as the effect always drew it.
    const auto opacity = static_cast<std::uint8_t>((kPhaseSpan - piece.phase) & 0xFF);
    piece.first->SetOpacity(opacity);
    piece.second->SetOpacity(opacity);
  }
}
