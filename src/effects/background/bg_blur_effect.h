// "bg_blur": moves, zooms and turns a picture over a layer's background and draws every step into
// the layer's background cache (or straight into the background image). Below level 255 each
// step is blended over the last, which leaves a motion trail. The motion runs from a start to an
// end about a fixed centre (zoom and angle change), or along a path of zoom centres, straight
// from point to point or on the natural cubic spline through them.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "effects/background/bg_effect.h"
#include "effects/background/blur_path.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_layer.h"


class CBgBlurEffect : public CBgEffect {
 public:
  static constexpr char kName[] = "bg_blur";
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupNoCosines = 1;
  static constexpr std::int32_t kSetupNoLayer = 2;
  static constexpr std::int32_t kSetupBadPath = 3;
  static constexpr std::int32_t kSetupNoPicture = 4;
  static constexpr std::int32_t kSetupNoBackground = 5;
  static constexpr std::int32_t kSetupNoCopy = 6;
  static constexpr std::int32_t kSetupDirectWithoutBackground = 7;
  static constexpr std::int32_t kSetupNoCache = 8;  // also: the manager refuses
  // While the level is below 255, the steps of the first this many ms are not drawn.
  static constexpr std::uint32_t kTrailDelay = 16;

  const char* GetName() const override { return kName; }
  // The target is a canvas's image part. The first argument chooses the form:
  // - 0: centre x, centre y, start zoom text (1.0), start angle text (turns, 0.0), end zoom text
  //   (1.0), end angle text (turns, 0.0), then the common arguments;
  // - a path text: spline flag, then the common arguments.
  // Common: duration (ms), level (low byte), acceleration text (0.0), picture file name (null:
  // the background), left-right mirror flag, top-bottom mirror flag, direct flag, filter byte
  // (the stretched draw's), one word not read, keep-end-view flag.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  // Ends at once without drawing the last step.
  void Stop() override { EndStep(); }

  // The class's assist entry: (canvas object, centre x, centre y, zoom and angle in turns as
  // doubles, four optional int32_t pointers) computes the zoom-rotate view (ComputeZoomRotateSource),
  // stores it through the pointers and shows it at once: 0; -1 when the object is no canvas; the
  // computation's failure; 4 for an unturned view with no size.
  static std::int32_t Assist(const PluginArgs* args);

 private:
  enum class EStep : std::uint8_t { kRotating, kZooming, kStraightPath, kSplinePath };

  // Reads the start-to-end form (arguments 1 to 6), or the path form: false for a path refused.
  void ReadStartToEnd(const PluginArgs& args);
  bool ReadPath(const char* text, bool spline);
  // The picture that moves, with its mirrors: 0 or a failure of Setup.
  std::int32_t TakeSource(const char* file_name, bool mirror_horizontal, bool mirror_vertical);
  // The cache as the first step finds it: 0 or a failure of Setup.
  std::int32_t PrepareDestination(bool first_is_background);
  CImage* Background() const;
  // The picture that moves: the own image, or the layer's background as it is now.
  CImage* Source() { return own_source_ ? &own_ : Background(); }
  CImage* Destination() const;
  void RunStep(double t);
  void RotatingStep(double t);
  void PathStep(double t);
  void ZoomDraw(std::int32_t x, std::int32_t y, double zoom);
  static std::uint32_t DrawMode(const CImage& source);
  void EndStep();

  // Null once the canvas ends: the effect then ends at its next step without drawing.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
  CImage own_;
  bool own_source_ = false;
  std::int32_t centre_x_ = 0;
  std::int32_t centre_y_ = 0;
  double start_zoom_ = 1.0;
  std::int32_t start_angle_ = 0;
  double end_zoom_ = 1.0;
  std::int32_t end_angle_ = 0;
  std::vector<BlurPoint> points_;
  std::vector<double> spline_x_;
  std::vector<double> spline_y_;
  std::uint32_t duration_ = 0;
  std::uint8_t level_ = 255;
  double acceleration_ = 0.0;
  bool direct_ = false;
  std::uint8_t filter_ = 0;
  bool keep_end_view_ = false;
  double end_turns_ = 0.0;
  // What the last step drew: the angle (or the x of a zoom draw), y and zoom. The largest angle
  // makes the first step draw.
  std::int32_t last_angle_or_x_ = std::numeric_limits<std::int32_t>::max();
  std::int32_t last_y_ = 0;
  double last_zoom_ = 0.0;
  EStep step_ = EStep::kRotating;
};
