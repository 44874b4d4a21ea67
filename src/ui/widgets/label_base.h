// A small label that shows a state of the input method beside the text fields: its colours, its
// anchor and whether it hangs left of the anchor. Derived labels draw it.
#pragma once

#include <cstdint>

#include "ui/fonts/font.h"

class CImeContext;

class CLabelBase {
 public:
  static constexpr uint32_t kKeepColour = 0xFFFFFFFF;

  CLabelBase() = default;
  CLabelBase(const CLabelBase&) = delete;
  CLabelBase& operator=(const CLabelBase&) = delete;
  virtual ~CLabelBase() = default;

  virtual void Destroy() = 0;
  virtual int32_t GetX() const = 0;
  virtual int32_t GetY() const = 0;
  virtual void SetPosition(int32_t x, int32_t y) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool IsActive() const = 0;
  virtual void Update() = 0;
  // RGB values; kKeepColour keeps one. 0.
  CFont* GetFont() const { return font_; }
  virtual uint32_t SetColors(uint32_t text, uint32_t edge) {
    if (text != kKeepColour) text_colour_ = text;
    if (edge != kKeepColour) edge_colour_ = edge;
    dirty_ = true;
    return 0;
  }
  // A right-aligned label keeps its right edge at its x. 0.
  virtual uint32_t SetRightAligned(bool right_aligned) {
    right_aligned_ = right_aligned;
    dirty_ = true;
    return 0;
  }

 protected:
  CImeContext* ime_context_ = nullptr;
  uint32_t last_conversion_ = 0;
  uint32_t last_sentence_ = 0;
  uint32_t text_colour_ = 0xFFFFFF;
  uint32_t edge_colour_ = 0;
  HeldFont<CFont> font_;
  int32_t x_ = 0;
  int32_t y_ = 0;
  bool right_aligned_ = false;
  bool last_open_ = false;
  bool dirty_ = false;
};
