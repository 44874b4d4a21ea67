#include "resource/pictures/image_decoder.h"

#include <utility>

std::int32_t CImageDecoder::Save(std::uint32_t, const std::uint8_t*, std::int32_t, std::int32_t, std::uint32_t,
                                 std::int32_t, EncodeWriteFunc, void*, const std::uint8_t*, DecodeProgressFunc,
                                 void*) {
  return kNotSupported;
}

void CImageDecoder::FreeImage() {
  info_.reset();
  DibBits().swap(bits_);
  byte_count_ = 0;
}

void CImageDecoder::SetUserValues(std::int32_t value0, std::int32_t value1) {
  user_value0_ = value0;
  user_value1_ = value1;
}

std::int32_t CImageDecoder::GetUserValue0() const { return user_value0_; }

std::int32_t CImageDecoder::GetUserValue1() const { return user_value1_; }

const std::vector<std::uint8_t>& CImageDecoder::GetExtraData() const { return extra_data_; }

std::vector<std::uint8_t> CImageDecoder::DetachExtraData() { return std::exchange(extra_data_, {}); }

std::uint32_t CImageDecoder::GetExtraSize() const { return static_cast<std::uint32_t>(extra_data_.size()); }

bool CImageDecoder::CanSave() const { return false; }
