// Sets the game's modal-state byte for the time of one question, and back to 0 after it.
#pragma once

#include <atomic>
#include <cstdint>

class ModalStateScope {
 public:
  ModalStateScope(std::atomic<uint8_t>& state, uint8_t value) : state_(state) { state_ = value; }
  ~ModalStateScope() { state_ = 0; }
  ModalStateScope(const ModalStateScope&) = delete;
  ModalStateScope& operator=(const ModalStateScope&) = delete;

 private:
  std::atomic<uint8_t>& state_;
};
