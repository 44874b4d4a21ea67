// The concrete scroll bar: the pictures and faces of its thumb and track, built plainly (bevelled
// pictures generated in given colours) or from picture files, and fitted by SetRange to a length
// and a count of items, a stretchable thumb or track picture being stretched to its length.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "ui/widgets/bar_base.h"
#include "ui/widgets/widget_face.h"

class IDrawList;

class CScrollBar : public CBarBase {
 public:
  // SetRange's answer when everything is visible (the bar is then disabled).
  static constexpr int32_t kThumbDoesNotFit = -1;
  static constexpr int32_t kOtherFailure = -1;

  CScrollBar() = default;
  ~CScrollBar() override;

  void SetPosition(int32_t x, int32_t y) override;
  void SetActive(bool active) override;
  bool IsActive() const override { return thumb_face_.IsEnabled(); }
  // 1 without a draw list. The faces join the list at their first call, with `group` as id.
  void SetPriority(uint32_t priority, uint32_t group, uint32_t keep_if_same) override;
  uint32_t GetPriority() const override { return priority_; }
  void SetOpacity(uint8_t opacity) override;
  uint8_t GetOpacity() const override { return thumb_face_.GetOpacity(); }
  bool InBar(int32_t x, int32_t y) const override;

  // 0; 1 no list or a thickness below 8; 2 to 5 the thumb, track, back or forward arrow cannot
  // be made.
  int32_t CreatePlain(IDrawList* list, uint32_t priority, int32_t x, int32_t y, bool vertical, int32_t thickness,
                      uint32_t face_colour, uint32_t track_colour, uint32_t hover_colour, uint32_t pressed_colour,
                      uint32_t glyph_colour, int32_t group);
  struct Files {
    const char* thumb = nullptr;
    int32_t thumb_start_cap = 0;
    int32_t thumb_end_cap = 0;
    const char* track = nullptr;
    int32_t track_start_cap = 0;
    int32_t track_end_cap = 0;
    const char* back_arrow = nullptr;
    const char* forward_arrow = nullptr;
  };
  // 0; 1 no list or thumb file; 2 thumb, 3 track, 4 and 5 the arrows cannot be loaded.
  int32_t CreateFromFiles(IDrawList* list, uint32_t priority, int32_t x, int32_t y, int32_t inset_x, int32_t inset_y,
                          const Files& files, bool disabled_frame, bool vertical, uint8_t blend_mode, uint8_t opacity,
                          int32_t key_x, int32_t key_y, int32_t group);
  // 0; kThumbDoesNotFit when everything is visible or the thumb fills the track (the bar is
  // disabled); 1 no list or total 0; 2 or 3 the stretched track or thumb picture cannot be made.
  int32_t SetRange(int32_t length, int32_t total, int32_t visible, int32_t value, int32_t end_inset,
                   int32_t minimum_thumb);
  // 1 unless the bar is listed and the new list is given; the faces and arrows move to it.
  uint32_t SetDrawList(IDrawList* list);
  void Release();

  const CWidgetFace& GetThumbFace() const { return thumb_face_; }
  const CWidgetFace* GetTrackFace() const { return track_face_.get(); }
  const CImage& GetThumbImage() const { return thumb_image_; }

 protected:
  void PlaceThumb() override;
  void ShowBarState(uint8_t state) override;

 private:
  bool MadeFromFiles() const { return !thumb_file_.empty(); }
  // The rectangle of one state picture at the origin: `length` along the axis, `frame` across.
  plat::Rect StateRect(int32_t frame, int32_t length) const;
  void ShowState(CWidgetFace& face, int32_t frame, uint8_t state) const;
  int32_t FitTrack(int32_t track_length);
  int32_t FitThumb(int32_t thumb_length);
  int32_t MakePlainThumb(int32_t thickness, uint32_t face_colour, uint32_t hover_colour, uint32_t pressed_colour);
  int32_t MakeArrows(uint32_t priority, int32_t group, int32_t thickness, uint32_t face_colour, uint32_t hover_colour,
                     uint32_t glyph_colour);
  int32_t Fail(int32_t status);

  WatchedPtr<IDrawList> list_;
  uint32_t priority_ = 0;
  int32_t frame_count_ = 3;
  int32_t thumb_frame_ = 0;
  int32_t track_frame_ = 0;
  uint8_t blend_mode_ = 0;
  uint8_t opacity_ = 255;
  int32_t thumb_start_cap_ = 0;
  int32_t thumb_end_cap_ = 0;
  int32_t track_start_cap_ = 0;
  int32_t track_end_cap_ = 0;
  std::string thumb_file_;
  std::string track_file_;
  CImage thumb_image_;
  CWidgetFace thumb_face_;
  std::unique_ptr<CImage> thumb_stretch_;
  std::unique_ptr<CImage> track_image_;
  std::unique_ptr<CWidgetFace> track_face_;
  std::unique_ptr<CImage> track_stretch_;
};
