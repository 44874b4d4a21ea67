// An input method whose state the test sets; binding a window switches it on, as the
// application's does.
#pragma once

#include <cstdint>

#include "platform/encoding/text_composition.h"
#include "ui/widgets/ime_context.h"

namespace gui_test {

class FakeIme : public CImeContext {
 public:
  bool GetOpenStatus() const override { return open; }
  bool GetConversionStatus(uint32_t& conv, uint32_t& sent) const override {
    conv = conversion;
    sent = sentence;
    return true;
  }
  const plat::TextComposition& UpdateComposition() override { return composition; }
  void SetImeWindow(bool on) override {
    bound = on;
    open = on;
  }
  void SetTextInputArea(const plat::Rect& rect) override { area = rect; }

  bool open = false;
  bool bound = false;
  uint32_t conversion = 0;
  uint32_t sentence = 0;
  plat::TextComposition composition;
  plat::Rect area{};
};

}  // namespace gui_test
