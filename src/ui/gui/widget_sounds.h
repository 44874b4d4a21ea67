// The decide, hover and leave sounds of a list or a scroll bar: each either a name (played with
// number 0), a number, or nothing given, which asks the owner window for its standard sound.
#pragma once

#include <cstdint>
#include <string>

class CGuiWindow;

class CWidgetSounds {
 public:
  enum Slot { kDecide, kHover, kLeave };

  // A non-empty name sets its number to 0; otherwise the number is taken as given.
  void Set(const char* decide, const char* hover, const char* leave, int32_t decide_number, int32_t hover_number,
           int32_t leave_number);
  // Nothing without an owner.
  void Play(CGuiWindow* owner, Slot slot) const;

 private:
  std::string names_[3];
  int32_t numbers_[3] = {-1, -1, -1};
};
