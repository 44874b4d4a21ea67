// The press events of message-fed devices: per code, two nibbles of event bits (bit 0 pressed,
// bit 1 repeated), two bytes of detail the device keeps with the first event (its modifiers' state,
// say) and a held flag. Events land in the current nibble and byte; each frame the other ones are
// cleared and become current, so those just left hold the frame that was completed.
// Events arrive on the window thread while the game thread updates and reads: every byte is an
// atomic, changed only by single atomic operations.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

template <std::size_t Count>
class EventNibbles {
 public:
  static constexpr uint8_t kPressedBit = 0x01;
  static constexpr uint8_t kRepeatedBit = 0x02;

  // Marks the code held and records `bits` and `detail` in the current nibble and byte unless an
  // event is already there.
  void Press(std::size_t code, uint8_t bits, uint8_t detail = 0) {
    held_[code].store(kHeld);
    const unsigned shift = CurrentShift();
    if (((events_[code].load() >> shift) & 0x0F) == 0 && bits != 0) {
      details_[code][shift / 4].store(detail);
      events_[code].fetch_or(static_cast<uint8_t>(bits << shift));
    }
  }
  void Release(std::size_t code) { held_[code].store(0); }

  // The frame's end: the nibble about to become current is cleared, then the selector turns.
  void Flip() {
    const unsigned next = CompletedShift();
    for (auto& event : events_) event.fetch_and(static_cast<uint8_t>(~(0x0F << next)));
    for (auto& detail : details_) detail[next / 4].store(0);
    selector_.fetch_xor(1);
  }
  void Clear() {
    for (auto& event : events_) event.store(0);
    for (auto& detail : details_) {
      for (auto& half : detail) half.store(0);
    }
    for (auto& held : held_) held.store(0);
  }

  bool IsHeld(std::size_t code) const { return code < Count && held_[code].load() != 0; }
  // The completed frame's event bits of the code.
  uint8_t Completed(std::size_t code) const {
    if (code >= Count) return 0;
    return static_cast<uint8_t>((events_[code].load() >> CompletedShift()) & 0x0F);
  }
  // The detail kept with the completed frame's event of the code; 0 without one.
  uint8_t CompletedDetail(std::size_t code) const { return code < Count ? details_[code][CompletedShift() / 4].load() : 0; }

 private:
  static constexpr uint8_t kHeld = 0x80;
  // Selector 0: events go to the high nibble, the low one is the completed frame.
  unsigned CurrentShift() const { return selector_.load() == 0 ? 4 : 0; }
  unsigned CompletedShift() const { return selector_.load() == 0 ? 0 : 4; }

  std::array<std::atomic<uint8_t>, Count> events_{};
  std::array<std::array<std::atomic<uint8_t>, 2>, Count> details_{};
  std::array<std::atomic<uint8_t>, Count> held_{};
  std::atomic<uint8_t> selector_{0};
};
