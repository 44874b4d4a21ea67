// The strength of an effect that fades in, holds, and fades out: over the fade-in from 0 to its
// full strength, then full for the hold time (0: until the fade-out is asked for), then down to 0
// over the fade-out from the strength it had when the fade-out began.
#pragma once

#include <cstdint>

class CFadeEnvelope {
 public:
  enum EPhase : std::uint8_t { kFadingIn = 0, kHolding = 1, kFadeOutRequested = 2, kFadingOut = 3 };

  CFadeEnvelope() = default;
  CFadeEnvelope(std::uint32_t full, std::uint32_t hold, std::uint32_t fade_in, std::uint32_t fade_out)
      : full_(full), hold_(hold), fade_in_(fade_in), fade_out_(fade_out) {}

  // The strength `elapsed` ms after the start; false once the fade-out has run its time.
  bool StrengthAt(std::uint32_t elapsed, std::uint32_t& strength);
  // Asks for the fade-out, which starts from `reached` while still fading in: 1 when it is already
  // asked for or running; else 0.
  std::int32_t RequestFadeOut(std::uint32_t reached);
  EPhase GetPhase() const { return phase_; }

 private:
  std::uint32_t full_ = 0;
  std::uint32_t hold_ = 0;
  std::uint32_t fade_in_ = 0;
  std::uint32_t fade_out_ = 0;
  EPhase phase_ = kFadingIn;
  // What the fade-out starts from, and the elapsed time at which it began.
  std::uint32_t base_ = 0;
  std::uint32_t fade_out_start_ = 0;
};
