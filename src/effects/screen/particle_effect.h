// The shape shared by the particle effects "paper", "light", "snow" and "rain": a fixed number
// of pieces, each shown by a drawable on each of the two pages of an image part, stepped every
// 80 ms. A piece starts at a random place above the screen (below it for rising pieces), falls
// or rises at its kind's speed while it sways, and re-enters as soon as it has left the screen,
// until a stop request lets every piece finish its way and the effect then ends by itself. Each
// effect is its rules: kinds, speeds, sway, the chance that an idle piece starts, frames.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "effects/framework/effect.h"
#include "effects/screen/screen_pages.h"
#include "gfx/images/image.h"
#include "scene/drawables/drawable.h"

struct ParticleRules {
  // "%d" is the kind; null: the pieces are rain drops (colour boxes) without pictures.
  const char* picture_format = nullptr;
  std::int32_t kinds = 1;
  // A piece of kind k lies at the base priority + (k × spread) / this.
  std::int32_t priority_divisor = 1;
  bool rises = false;
  // Pixels per step: base + per kind × k + (from the fourth kind on: the extra) + random × a fraction.
  double speed_base = 0.0;
  double speed_per_kind = 0.0;
  double speed_from_fourth_kind = 0.0;
  double speed_random = 0.0;
  // The sway velocity a piece starts with: ±(base + per kind × k + random × a fraction); all 0: none.
  double sway_start_base = 0.0;
  double sway_start_per_kind = 0.0;
  double sway_start_random = 0.0;
  // Whether the pieces sway at all (their acceleration drifts by random steps).
  bool sways = false;
  double sway_limit = 0.0;
  double acceleration_limit = 0.0;
  double acceleration_step = 0.0;
  // The chance per step that an idle piece starts.
  double start_chance = 0.0;
  // Frames side by side in each picture, one a step; 0: the whole picture.
  std::int32_t frames = 0;
  // Whether the opacity pulses with a phase (light).
  bool pulses = false;
};

class CParticleEffect : public CEffect {
 public:
  static constexpr std::uint8_t kType = 3;
  static constexpr std::uint32_t kStep = 80;
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupNoPages = 2;
  static constexpr std::int32_t kSetupNoPicture = 3;
  static constexpr std::int32_t kSetupNoDrawable = 4;
  static constexpr std::int32_t kSetupRefused = 5;
  // The most pieces an effect takes: each is two drawables sorted into the pages' lists, so the
  // set-up's time grows faster than the count.
  static constexpr std::int32_t kMaxPieces = 2048;

  std::uint32_t GetTypeId() const override { return kTimedTaskScreenEffect; }
  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return name_; }
  // The target is an image part with a partner, both with a layer. Arguments: piece count (1
  // to kMaxPieces), base priority, priority spread, scatter (every piece starts at once, anywhere on
  // the screen), speed scale text (null or 0.0: 1.0), show on the first page, show on the second.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // Argument 0 non-zero: arguments 1 and 2 are the show flags of the first and the second page
  // (the pages as they stand now); 0: a stop request. 0.
  std::int32_t SetParam(const PluginArgs& args) override;
  // 1 once a stop was requested and every piece is idle, or once the canvas ended; else 0.
  std::uint32_t Update(std::uint32_t now) override;
  // Deletes every piece at once.
  void Stop() override { pieces_.clear(); }

  struct Piece {
    std::unique_ptr<CDrawable> first;   // made for the first page
    std::unique_ptr<CDrawable> second;  // made for the second page
    std::int32_t kind = 0;
    std::int32_t height = 0;
    std::int32_t frame = 0;
    std::int32_t frame_width = 0;
    std::uint16_t phase = 0;
    double sway = 0.0;
    double speed = 0.0;
    double acceleration = 0.0;
    double x = 0.0;
    double y = 0.0;
    bool active = false;
  };
  const std::vector<Piece>& Pieces() const { return pieces_; }
  double SpeedScale() const { return speed_scale_; }

 protected:
  // `name` is the registered name; the rules outlive the effect.
  CParticleEffect(const char* name, const ParticleRules& rules) : name_(name), rules_(rules) {}

 private:
  std::int32_t LoadPictures();
  // The piece's two drawables in the pages' own lists, hidden; false when they cannot be made.
  bool MakePiece(Piece& piece, const ScreenPages& pages, std::int32_t base_priority, std::int32_t spread);
  std::unique_ptr<CDrawable> MakeDrawable(const Piece& piece) const;
  void StartPiece(Piece& piece, bool scattered);
  // One step of a piece: true when it counts as done (idle under a stop request).
  bool StepPiece(Piece& piece);
  void Reenter(Piece& piece);
  void Place(Piece& piece) const;
  void ShowPiece(Piece& piece, bool shown) const;
  static void ShowFrame(Piece& piece);
  void Animate(Piece& piece) const;

  const char* name_;
  const ParticleRules& rules_;
  // Null once the canvas ends: the effect then ends at its next step.
  WatchedPtr<CImagePart> part_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<std::unique_ptr<CImage>> pictures_;
  std::vector<Piece> pieces_;
  double speed_scale_ = 1.0;
  PairShow show_;
  bool stop_requested_ = false;
};
