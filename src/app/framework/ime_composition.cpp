#include "app/framework/ime_composition.h"

const char* CImeComposition::Update() {
  plat::TextComposition current = plat::CurrentComposition(kMostBytes);
  if (current.text.empty()) {
    kept_ = {};
    return nullptr;
  }
  if (current.text == kept_.text && current.selected_begin == kept_.selected_begin &&
      current.selected_end == kept_.selected_end) {
    return nullptr;
  }
  kept_ = std::move(current);
  return kept_.text.c_str();
}
