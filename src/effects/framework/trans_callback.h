// The base of the engine's layer filters and picture transitions: objects made by name through
// the transition-object host and attached to an image part, whose present path drives them once
// per frame (Update, then Apply for each area to paint) until they report that they have
// finished. They have no timer of their own.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/image_operations/screen_transition.h"
#include "gfx/images/image.h"
#include "resource/plugins/plugin_objects.h"

class CImage;
class CImagePart;

// What Apply paints: the area of the layer, where its top-left corner lies in the destination,
// and where it lies in the old and the new picture (a one-picture filter reads only the old).
struct FilterApplyArea {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  CImage* destination = nullptr;
  std::int32_t destination_x = 0;
  std::int32_t destination_y = 0;
  CImage* old_picture = nullptr;
  std::int32_t old_x = 0;
  std::int32_t old_y = 0;
  CImage* new_picture = nullptr;
  std::int32_t new_x = 0;
  std::int32_t new_y = 0;
};

class CTransCallback : public CTcpObject, public CScreenTransition {
 public:
  static constexpr std::int32_t kStateRunning = 0;
  static constexpr std::int32_t kStateFinished = -1;
  static constexpr std::int32_t kNotSupported = -2;
  // Results of SetParam and Apply.
  static constexpr std::int32_t kAccepted = 0;
  static constexpr std::int32_t kMissingArgument = 1;
  static constexpr std::int32_t kUnfitTarget = 2;
  static constexpr std::int32_t kRoutineFailed = 5;
  static constexpr std::int32_t kMissingTable = 5;

  // Types 0 and 1: two-picture transitions; 2: a filter of one picture.
  virtual std::uint8_t GetType() const = 0;
  // The registered name.
  virtual const char* GetName() const = 0;
  // Computes this frame's values at `now` (milliseconds); 0.
  virtual std::int32_t Update(std::uint32_t now) = 0;
  // kStateRunning or kStateFinished.
  virtual std::int32_t GetState() const = 0;
  // Paints the area; 0, or the filter's failure.
  virtual std::int32_t Apply(const FilterApplyArea& area) = 0;
  // Checks the part the filter will be attached to and reads the arguments: 0 accepted, else
  // the refusal, after which the host releases the filter.
  virtual std::int32_t SetParam(CImagePart* target, const PluginArgs& args) = 0;

  // The host's create operation: the parameter is the target part, which the filter then works
  // on until it is released.
  std::int32_t Create(std::uintptr_t parameter, const PluginArgs& args) final;

  // The image part's side.
  std::uint8_t GetTransitionType() const final { return GetType(); }
  bool Advance(std::uint32_t now) final;
  bool IsFinished() const final { return GetState() == kStateFinished; }
  // An odd type is drawn in one piece, an even one in strips where the program allows them.
  std::uint32_t GetFlags() const final { return (GetType() & 1) != 0 ? 0 : kAllowsStrips; }
  // The work image of the part: what the filter paints and the part presents.
  CImage* GetTargetImage() final;
  // Applies the filter to the strip of the target image, with the pictures PlacePictures gives.
  void RenderStrip(const plat::Rect& strip) final;

  // The part's pictures in the old and the new slot of an area whose destination fields are set,
  // each at the area's own place. A two-picture transition on a page goes from the page's own
  // image to its partner's (the back page, which the end swaps in); on a canvas, and on a page
  // attached plainly, from the partner's image to the part's own. A one-picture filter reads its
  // part's own image in both.
  void PlacePictures(FilterApplyArea& area) const;

 protected:
  CImagePart* Part() const { return part_; }

 private:
  // Attached to hand over the backgrounds at its end, the filter goes from one layer's background
  // to the other's (by the part's role, as the pictures above), each painted alone into an image
  // of the part's size; the present paints the part's lists over it. False when a layer is
  // missing or no image can be made.
  bool PlaceBackgrounds(FilterApplyArea& area, const plat::Rect& strip);

  CImagePart* part_ = nullptr;
  std::array<CImage, 2> backgrounds_;
};
