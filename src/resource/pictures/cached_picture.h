// A decoded picture shared by the image cache and the host's callers: reference counted
// (0 = one owner), it takes the decoder's two blocks and keeps the picture's user values and
// extra data.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "base/lifetime/ref_counted.h"
#include "pixel/formats/decoded_picture.h"
#include "resource/pictures/dib_bits.h"

class CCachedPicture : public CRefCounted {
 public:
  CCachedPicture(DibInfoBlock info, DibBits bits, std::uint32_t byte_count, std::uint32_t row_pitch)
      : info_(std::move(info)), bits_(std::move(bits)), byte_count_(byte_count), row_pitch_(row_pitch) {}

  const DibInfo& GetInfo() const { return *info_; }
  const DibBits& GetBits() const { return bits_; }
  std::uint32_t GetByteCount() const { return byte_count_; }
  std::uint32_t GetRowPitch() const { return row_pitch_; }

  void SetUserValues(std::int32_t value0, std::int32_t value1) {
    user_value0_ = value0;
    user_value1_ = value1;
  }
  std::int32_t GetUserValue0() const { return user_value0_; }
  std::int32_t GetUserValue1() const { return user_value1_; }

  void SetExtraData(std::vector<std::uint8_t> data) { extra_data_ = std::move(data); }
  const std::vector<std::uint8_t>& GetExtraData() const { return extra_data_; }
  std::vector<std::uint8_t> DetachExtraData() { return std::exchange(extra_data_, {}); }
  std::uint32_t GetExtraSize() const { return static_cast<std::uint32_t>(extra_data_.size()); }

 private:
  DibInfoBlock info_;
  DibBits bits_;
  std::uint32_t byte_count_;
  std::uint32_t row_pitch_;
  std::int32_t user_value0_ = 0;
  std::int32_t user_value1_ = 0;
  std::vector<std::uint8_t> extra_data_;
};
