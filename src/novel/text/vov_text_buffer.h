// The text of the message being built: 4096 bytes that the body's text, the inserted texts and
// the commands carried in the text fill, always closed by a zero byte. What does not fit is
// dropped: the last byte stays for the zero, and a piece is never stored in part.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

class VovTextBuffer {
 public:
  static constexpr std::size_t kSize = 4096;

  VovTextBuffer() { Clear(); }

  // Appends the bytes whole; false (nothing stored) when they do not fit before the last byte.
  bool Append(std::span<const std::uint8_t> bytes);
  // Copies the character at the start of `text` (two bytes for a lead byte followed by a byte
  // that is not the end, else one) and returns its length, also when it did not fit.
  std::size_t PutChar(std::span<const std::uint8_t> text);
  void Clear();

  std::span<const std::uint8_t> Bytes() const { return std::span(bytes_).first(length_); }
  std::string_view Text() const { return {reinterpret_cast<const char*>(bytes_.data()), length_}; }
  std::size_t Size() const { return length_; }
  bool Empty() const { return length_ == 0; }
  // The byte behind the text: always 0.
  std::uint8_t Terminator() const { return bytes_[length_]; }

 private:
  std::array<std::uint8_t, kSize> bytes_{};
  std::size_t length_ = 0;
  bool overflow_reported_ = false;
};
