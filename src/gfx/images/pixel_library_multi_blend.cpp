// The two- and three-source routines of the engine's pixel-routine library: the cross-fade, the
// rule transition and the cross-fade of one row. Each first paints source A and then draws
// source B over it with the engine's own level or rule kernels.
#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"
#include "gfx/images/rule_level_table.h"
#include "pixel/kernels/alpha_level_kernels.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"

namespace {

// A source of a routine as it is read: the image and the point of it that lands on the area's
// top-left corner.
struct Placed {
  CImage* image;
  PixelPoint at;
};

// The area cut to the destination's clip rectangle and to every source's, each source's point
// moved with its top-left corner; empty when nothing remains.
plat::Rect CutArea(const CImage& dst, const PixelArea& area, std::initializer_list<Placed*> sources) {
  const auto far = [](int32_t start, int32_t size) {
    if (size == 0) return int64_t{INT32_MAX};
    return static_cast<int64_t>(start) + std::max(size, 0);
  };
  plat::Rect clip;
  dst.GetClipRect(&clip);
  int64_t left = std::max<int64_t>(area.x, clip.left);
  int64_t top = std::max<int64_t>(area.y, clip.top);
  int64_t right = std::min<int64_t>(far(area.x, area.width), clip.right);
  int64_t bottom = std::min<int64_t>(far(area.y, area.height), clip.bottom);
  for (const Placed* source : sources) {
    plat::Rect bounds;
    source->image->GetClipRect(&bounds);
    const int64_t dx = static_cast<int64_t>(area.x) - source->at.x;
    const int64_t dy = static_cast<int64_t>(area.y) - source->at.y;
    left = std::max(left, dx + bounds.left);
    top = std::max(top, dy + bounds.top);
    right = std::min(right, dx + bounds.right);
    bottom = std::min(bottom, dy + bounds.bottom);
  }
  if (left >= right || top >= bottom) return {};
  for (Placed* source : sources) {
    source->at.x = static_cast<int32_t>(source->at.x + (left - area.x));
    source->at.y = static_cast<int32_t>(source->at.y + (top - area.y));
  }
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
          static_cast<int32_t>(bottom)};
}

plat::Rect SourceRect(const Placed& source, const plat::Rect& area) {
  return {source.at.x, source.at.y, source.at.x + (area.right - area.left), source.at.y + (area.bottom - area.top)};
}

// A source that is also the destination is read from a copy of the part the routine reads, so
// that painting A cannot change what B or the rule gives.
class CStagedSource {
 public:
  CStagedSource(const CImage& dst, Placed& source, const plat::Rect& area) {
    if (source.image != &dst) return;
    const plat::Rect rect = SourceRect(source, area);
    copy_ = std::make_unique<CImage>();
    if (copy_->Create(rect.right - rect.left, rect.bottom - rect.top, source.image->GetBitsPerPixel(), 0) != 0) {
      failed_ = true;
      return;
    }
    const size_t pixel_bytes = source.image->GetBitsPerPixel() / 8u;
    const size_t row_bytes = static_cast<size_t>(rect.right - rect.left) * pixel_bytes;
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
      const uint8_t* from = source.image->GetRowPointer(y) + static_cast<size_t>(rect.left) * pixel_bytes;
      std::memcpy(copy_->GetRowPointer(y - rect.top), from, row_bytes);
    }
    const uint32_t key = source.image->GetColorKey();
    if (key != kNoColorKey) copy_->SetColorKeyRgb((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF);
    source = {copy_.get(), {0, 0}};
  }
  bool Failed() const { return failed_; }

 private:
  std::unique_ptr<CImage> copy_;
  bool failed_ = false;
};

uint32_t EveryByte(uint8_t value) { return value * 0x01010101u; }

// The level blend of one run of pixels, with the kernels and weights of CImage::BlendLevel.
void BlendRunAtLevel(uint32_t* dst, const uint32_t* src, int32_t count, uint8_t level) {
  if (level == 0 || count == 0) return;
  if (g_CpuHasMmx != 0) {
    BlendLevel32Mmx(dst, src, 0, 0, count, 1, level);
  } else {
    BlendWeighted32(dst, src, 0, 0, count, 1, EveryByte(static_cast<uint8_t>(255 - level)), EveryByte(level));
  }
}

// The rule transition's progress through the rule values: 0 at level 0, 256 (every value) at 255.
uint32_t RuleProgress(uint8_t level) { return (level * 256u + 127u) / 255u; }

void BlendThroughRule(CImage& dst, const plat::Rect& area, const Placed& b, const Placed& rule,
                      const RuleLevelTable& table) {
  const int32_t width = area.right - area.left;
  const int32_t height = area.bottom - area.top;
  auto* to = reinterpret_cast<uint32_t*>(dst.GetRowPointer(area.top)) + area.left;
  const auto* from = reinterpret_cast<const uint32_t*>(b.image->GetRowPointer(b.at.y)) + b.at.x;
  const uint8_t* mask = rule.image->GetRowPointer(rule.at.y) + rule.at.x;
  const int32_t dst_skip = dst.GetPitch() - width * 4;
  const int32_t src_skip = b.image->GetPitch() - width * 4;
  const int32_t mask_skip = rule.image->GetPitch() - width;
  (g_CpuHasMmx != 0 ? BlendMaskLevel32Mmx : BlendMaskLevel32)(to, from, mask, dst_skip, src_skip, mask_skip, width,
                                                                height, table.data());
  dst.MarkChanged(area);
}

}  // namespace

PixelRoutineResult PixelLibCrossFadeRoutine(CImage& dst, CImage& a, CImage& b, const PixelCrossFadeArgs& args) {
  Placed first{&a, args.a};
  Placed second{&b, args.b};
  const plat::Rect area = CutArea(dst, args.area, {&first, &second});
  if (area.right <= area.left) return {true, {}};
  const CStagedSource staged_a(dst, first, area);
  const CStagedSource staged_b(dst, second, area);
  if (staged_a.Failed() || staged_b.Failed()) return {};
  return RunAsRoutine(dst, [&] {
    const plat::Rect from_a = SourceRect(first, area);
    const plat::Rect from_b = SourceRect(second, area);
    const uint32_t status = dst.Copy(first.image, area.left, area.top, &from_a, false);
    if (status != 0) return status;
    return dst.BlendLevel(second.image, args.level, area.left, area.top, &from_b);
  });
}

PixelRoutineResult PixelLibRuleTransitionRoutine(CImage& dst, CImage& a, CImage& b, CImage& rule,
                                                 const PixelRuleTransitionArgs& args) {
  if (rule.GetBitsPerPixel() != 8 || a.GetBitsPerPixel() != 32 || b.GetBitsPerPixel() != 32) return {};
  Placed first{&a, args.a};
  Placed second{&b, args.b};
  Placed through{&rule, args.rule};
  const plat::Rect area = CutArea(dst, args.area, {&first, &second, &through});
  if (area.right <= area.left) return {true, {}};
  const CStagedSource staged_a(dst, first, area);
  const CStagedSource staged_b(dst, second, area);
  if (staged_a.Failed() || staged_b.Failed()) return {};
  const uint32_t progress = RuleProgress(args.level);
  const uint32_t vague = std::clamp<uint32_t>(args.vague, 1, 511);
  return RunAsRoutine(dst, [&] {
    const plat::Rect from_a = SourceRect(first, area);
    const uint32_t status = dst.Copy(first.image, area.left, area.top, &from_a, false);
    if (status != 0 || progress == 0) return status;
    if (progress == 256) {
      const plat::Rect from_b = SourceRect(second, area);
      return dst.Copy(second.image, area.left, area.top, &from_b, false);
    }
    BlendThroughRule(dst, area, second, through, BuildRuleLevelTable(progress, vague, 255));
    return 0u;
  });
}

bool PixelLibRowBlendRoutine(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count, uint8_t level) {
  if (count < 0 || (count > 0 && (dst == nullptr || a == nullptr || b == nullptr))) return false;
  if (count == 0) return true;
  // B is read after A is written: a B row that the destination row overlaps is read from a copy.
  std::vector<uint32_t> staged_b;
  if (a != dst) {
    const std::less<const uint32_t*> before;
    if (before(b, dst + count) && before(dst, b + count)) {
      staged_b.assign(b, b + count);
      b = staged_b.data();
    }
    std::memmove(dst, a, static_cast<size_t>(count) * 4);
  }
  BlendRunAtLevel(dst, b, count, level);
  return true;
}
