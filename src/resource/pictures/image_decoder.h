// The base of every image decoder, built-in or from a plug-in library. Decoders are reference
// counted (0 = one owner) and shared between the host's records and their callers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "base/lifetime/ref_counted.h"
#include "pixel/formats/decoded_picture.h"
#include "resource/pictures/dib_bits.h"

// Writes encoded bytes: (data, size, argument) -> false when writing failed.
using EncodeWriteFunc = bool (*)(const std::uint8_t* data, std::size_t size, void* argument);

class CImageDecoder : public CRefCounted {
 public:
  static constexpr std::int32_t kNotSupported = -2;

  virtual bool IsSupported(const std::uint8_t* data, std::size_t size, std::uint32_t hint) = 0;
  // Decodes into a target that `create_target` makes; 0, kNotSupported when this decoder cannot
  // decode into a target, another value for failure.
  virtual std::int32_t Load(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target, void* context,
                            std::uint32_t mode, DecodeProgressFunc progress, void* progress_argument) = 0;
  // Decodes into the decoder's own blocks; with both outputs given, hands them over.
  virtual std::int32_t Decode(const std::uint8_t* data, std::size_t size, DibInfoBlock* info, DibBits* bits,
                              DecodeProgressFunc progress, void* progress_argument) = 0;
  virtual std::int32_t Save(std::uint32_t mode, const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                            std::uint32_t bit_count, std::int32_t pitch, EncodeWriteFunc write, void* write_argument,
                            const std::uint8_t* palette, DecodeProgressFunc progress, void* progress_argument);
  virtual void FreeImage();
  virtual void SetUserValues(std::int32_t value0, std::int32_t value1);
  virtual std::int32_t GetUserValue0() const;
  virtual std::int32_t GetUserValue1() const;
  // The extra data of the last picture; empty for decoders without any.
  virtual const std::vector<std::uint8_t>& GetExtraData() const;
  // Gives the extra data up: the decoder forgets it.
  virtual std::vector<std::uint8_t> DetachExtraData();
  virtual std::uint32_t GetExtraSize() const;
  virtual bool CanSave() const;

  const DibInfo* GetInfo() const { return info_.get(); }
  const DibBits& GetBits() const { return bits_; }
  std::uint32_t GetByteCount() const { return byte_count_; }
  std::uint32_t GetRowPitch() const { return row_pitch_; }

 protected:
  // The shared frame of a Decode: frees the last picture, runs `decode_picture` (which fills the
  // decoder's own blocks and returns 0 or a status), turns an allocation failure into
  // `no_memory` and any other exception into `failed`, frees a half-made picture, and on
  // success hands both blocks over when the outputs are given.
  template <class DecodePicture>
  std::int32_t DecodeOwnBlocks(DibInfoBlock* info, DibBits* bits, std::int32_t failed, std::int32_t no_memory,
                               DecodePicture decode_picture) {
    FreeImage();
    std::int32_t status = failed;
    try {
      status = decode_picture();
    } catch (const std::bad_alloc&) {
      status = no_memory;
    } catch (...) {
      status = failed;
    }
    if (status != 0) {
      FreeImage();
      return status;
    }
    if (info != nullptr) {
      *info = std::move(info_);
      *bits = std::exchange(bits_, {});
    }
    return 0;
  }

  DibInfoBlock info_;
  DibBits bits_;
  std::uint32_t byte_count_ = 0;
  std::uint32_t row_pitch_ = 0;
  std::int32_t user_value0_ = 0;
  std::int32_t user_value1_ = 0;
  std::vector<std::uint8_t> extra_data_;
};
