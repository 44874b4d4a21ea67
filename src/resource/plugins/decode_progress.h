// The progress reports of a decode or an encode: an opening report that may cancel, and a
// closing report made however the work ends.
#pragma once

#include <cstdint>

#include "pixel/formats/decoded_picture.h"

inline bool ProgressCancels(DecodeProgressFunc progress, std::int32_t done, std::int32_t total, void* argument) {
  return progress != nullptr && progress(done, total, argument) != 0;
}

class ClosingProgress {
 public:
  ClosingProgress(DecodeProgressFunc progress, std::int32_t total, void* argument)
      : progress_(progress), total_(total), argument_(argument) {}
  ~ClosingProgress() {
    if (progress_ != nullptr) progress_(total_, total_, argument_);
  }
  ClosingProgress(const ClosingProgress&) = delete;
  ClosingProgress& operator=(const ClosingProgress&) = delete;

 private:
  DecodeProgressFunc progress_;
  std::int32_t total_;
  void* argument_;
};
