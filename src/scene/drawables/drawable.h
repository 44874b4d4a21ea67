// Everything the software compositor paints: an object with a position, an enabled flag, a
// dirty flag, a blend mode and an opacity that paints itself, whole or inside a rectangle, into
// an image. A drawable sits in at most one draw list, which never owns it.
#pragma once

#include <cstdint>

#include "base/lifetime/handle_table.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_list_node.h"

#include "platform/system/geometry.h"

class CDrawList;

class CDrawable : public ScriptVisible<CDrawable> {
 public:
  // What GetDrawableType reports.
  static constexpr int32_t kTypeSprite = 0;
  static constexpr int32_t kTypeColorBox = 1;
  static constexpr int32_t kTypeLibrarySprite = 2;

  CDrawable() = default;
  CDrawable(const CDrawable&) = delete;
  CDrawable& operator=(const CDrawable&) = delete;
  // Leaves the owner list, which marks the last painted area for repainting.
  virtual ~CDrawable();

  uint32_t GetId() const { return id_; }
  void SetId(uint32_t id) { id_ = id; }
  CDrawList* GetOwnerList() const { return owner_list_; }

  virtual bool IsEnabled() const { return enabled_ != 0; }
  // Marks dirty when the value changes.
  virtual void SetEnabled(bool enabled);
  virtual bool IsDirty() const { return dirty_ != 0; }
  virtual void SetDirty(bool dirty) { dirty_ = dirty ? 1 : 0; }
  virtual int32_t GetX() const { return x_; }
  virtual int32_t GetY() const { return y_; }
  virtual uint8_t GetBlendMode() const { return blend_mode_; }
  virtual uint8_t GetOpacity() const { return opacity_; }
  virtual int32_t GetWidth() const = 0;
  virtual int32_t GetHeight() const = 0;
  virtual int32_t GetDrawableType() const = 0;
  // 0; non-zero for a mode beyond the class's range (nothing changes). Marks dirty on a change.
  virtual uint32_t SetBlendMode(uint8_t mode) = 0;
  // Marks dirty when the value changes.
  virtual void SetOpacity(uint8_t opacity);
  // False when nothing changes.
  virtual bool SetPosition(int32_t x, int32_t y) = 0;
  // SetPosition by the offset, each coordinate held within the 32-bit range.
  virtual bool MoveBy(int32_t dx, int32_t dy);
  // The shown size; (0, 0) is the natural size.
  virtual bool SetSize(int32_t width, int32_t height) = 0;
  // SetSize then SetPosition; true when either changed.
  virtual bool SetSizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y);
  // A rectangle in the drawable's own coordinates changed: cut to its area, it goes to the
  // list's layer in target coordinates. False when nothing is left or the drawable is unlisted.
  virtual bool InvalidateLocalRect(plat::Rect* rect) = 0;
  virtual bool HitTest(int32_t x, int32_t y, bool exact) const = 0;
  virtual bool Overlaps(const CDrawable* other) const = 0;
  // The bounds in target coordinates.
  virtual const plat::Rect* GetBoundsPtr() const = 0;
  virtual void GetBounds(plat::Rect* out) const { *out = *GetBoundsPtr(); }
  // Draw (target, no clip, no out) with the dirty flag kept as it was.
  uint32_t DrawKeepDirty(CImage* target);
  // Paints the whole drawable, cut to `clip` when one is given; `out`, when given, receives the
  // painted bounds cut to the target's clip rectangle (left -1: nothing).
  virtual uint32_t Draw(CImage* target, const plat::Rect* clip, plat::Rect* out) = 0;
  // Paints only the part inside `rect`.
  virtual uint32_t DrawRect(CImage* target, const plat::Rect& rect) = 0;
  // Back to the class's default state.
  virtual void Reset() = 0;

 protected:
  // A coordinate plus an offset, held at the ends of the 32-bit range: positions and sizes come
  // from scripts.
  static int32_t Offset(int32_t origin, int32_t by);

  uint32_t id_ = 0;
  uint8_t enabled_ = 1;
  uint8_t dirty_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  uint8_t blend_mode_ = 0;
  uint8_t opacity_ = 0;

 private:
  friend class CDrawList;
  CDrawList* owner_list_ = nullptr;
  // The drawable's node in its owner list; meaningful only while it has one.
  CDrawListNodes::iterator owner_node_{};
};
