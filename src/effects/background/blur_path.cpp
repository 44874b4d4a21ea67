#include "effects/background/blur_path.h"

#include "base/text/tokenizer.h"
#include "effects/framework/effect_args.h"

namespace {

// A zoom word of at most 32 bytes and the terminating zero, with the tokenizer's spare byte.
constexpr std::size_t kZoomWordSize = 34;

bool ReadPoint(CTokenizer& tokenizer, BlurPoint& point) {
  std::int32_t x = 0;
  std::int32_t y = 0;
  if (tokenizer.ReadInteger(x) != CTokenizer::kOk || tokenizer.ReadInteger(y) != CTokenizer::kOk) return false;
  point = {static_cast<double>(x), static_cast<double>(y), 1.0};
  const char next = tokenizer.SkipBlanksAndCommas();
  if (next == ')' || next == '(' || next == '\0') return true;
  char word[kZoomWordSize];
  if (tokenizer.ReadWord(word, sizeof word) != CTokenizer::kOk) return false;
  point.zoom = ParseDecimal(word);
  return true;
}

}  // namespace

std::int32_t ParseBlurPath(const char* text, std::vector<BlurPoint>& points, std::size_t least_points) {
  if (text == nullptr) return kBlurPathNoText;
  const std::size_t count = CountParenGroups(text);
  if (count < least_points || count == 0) return kBlurPathTooShort;
  std::vector<BlurPoint> read(count);
  CTokenizer tokenizer(text);
  for (BlurPoint& point : read) {
    if (!ReadPoint(tokenizer, point)) return kBlurPathTooShort;
  }
  points = std::move(read);
  return static_cast<std::int32_t>(count);
}
