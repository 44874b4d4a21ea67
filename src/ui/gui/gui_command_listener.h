// What a scroll bar tells whoever listens to it: every change of its value, and a forward step
// asked for at its end.
#pragma once

#include <cstdint>

class CGuiElement;

class CGuiCommandListener {
 public:
  virtual ~CGuiCommandListener() = default;
  virtual void OnClick(CGuiElement* element, int32_t value) = 0;
  virtual void OnEndReached(CGuiElement* /*element*/) {}
};
