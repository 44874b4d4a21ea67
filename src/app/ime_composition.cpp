#include "app/ime_composition.h"

#include "platform/text_composition.h"

const char* CImeComposition::Update() {
  std::string current = plat::CurrentTextComposition(kMostBytes);
  if (current.empty()) {
    kept_.clear();
    return nullptr;
  }
  if (current == kept_) return nullptr;
  kept_ = std::move(current);
  return kept_.c_str();
}
