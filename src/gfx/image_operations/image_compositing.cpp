// The dispatch that every compositing operation shares, and the copy family: plain, stretched
// and mirrored copies between 32-bit and 8-bit images and of the alpha plane.
#include "gfx/image_operations/blit_pass.h"
#include "gfx/images/image.h"
#include "pixel/kernels/copy_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"

bool CImage::HasPixelsFrom(const CImage* src) const {
  return HasPixels() && src != nullptr && src->HasPixels();
}

bool CImage::IsDepthPair(const CImage* src, uint8_t dst_bpp, uint8_t src_bpp) const {
  return GetBitsPerPixel() == dst_bpp && src->GetBitsPerPixel() == src_bpp;
}

ImageSize CImage::SizeOr(const ImageSize* size) const {
  return size != nullptr ? *size : ImageSize{GetWidth(), GetHeight()};
}

bool CImage::PlanBlit(const CImage& src, const BlitRequest& request, BlitPass& pass) {
  plat::Rect source_clip;
  plat::Rect dest_clip;
  src.GetClipRect(&source_clip);
  GetClipRect(&dest_clip);
  BlitClip clip;
  pass.stretched = request.size.has_value();
  const bool visible = pass.stretched
                           ? ClipStretchBlt(request.placement, *request.size, source_clip, dest_clip, clip, pass.step)
                           : ClipBlt(request.placement, source_clip, dest_clip, clip);
  if (!visible) return false;
  source_rect_ = clip.source;
  dest_rect_ = clip.dest;

  const intptr_t dst_bytes = GetBitsPerPixel() / 8;
  const intptr_t src_bytes = src.GetBitsPerPixel() / 8;
  pass.width = dest_rect_.Width();
  pass.height = dest_rect_.Height();
  // The passes account for their own writes (MarkChanged): the pixels are not handed out.
  pass.dst = CImageBase::GetPixels() + intptr_t{dest_rect_.top} * GetPitch() + dest_rect_.left * dst_bytes;
  pass.dst_skip = static_cast<int32_t>(GetPitch() - pass.width * dst_bytes);

  const bool flip = request.placement.flip;
  pass.mirrored = request.placement.mirror;
  const int32_t row = flip ? source_rect_.bottom - 1 : source_rect_.top;
  const int32_t column = pass.mirrored ? source_rect_.right : source_rect_.left;
  pass.src = src.CImageBase::GetPixels() + intptr_t{row} * src.GetPitch() + column * src_bytes;
  const int32_t signed_pitch = flip ? -src.GetPitch() : src.GetPitch();
  pass.src_skip_or_pitch =
      pass.stretched ? signed_pitch : static_cast<int32_t>(signed_pitch - pass.width * src_bytes);
  return true;
}

uint32_t CImage::Copy(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect, bool flip) {
  return CopyPass(src, {{x, y, src_rect, false, flip}});
}

uint32_t CImage::StretchCopy(CImage* src, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect,
                             bool flip) {
  return CopyPass(src, {{x, y, src_rect, false, flip}, SizeOr(size), LibraryBlend{0, 255, true}});
}

uint32_t CImage::CopyMirrored(CImage* src, uint8_t mode, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return CopyPass(src, {MirroredPlacement(mode, x, y, src_rect)});
}

uint32_t CImage::StretchCopyMirrored(CImage* src, uint8_t mode, const ImageSize* size, int32_t x, int32_t y,
                                     const plat::Rect* src_rect) {
  return CopyPass(src, {MirroredPlacement(mode, x, y, src_rect), SizeOr(size)});
}

namespace {

void Copy32Pass(const BlitPass& pass, uint32_t key) {
  const bool mmx = g_CpuHasMmx != 0;
  using P = uint32_t;
  if (key != kNoColorKey) {
    pass.Run<P, P>([&](auto... a) { (pass.mirrored ? Copy32MirrorKey : Copy32Key)(a..., key); },
                   [&](auto... a) { (pass.mirrored ? Copy32MirrorStretchKey : Copy32StretchKey)(a..., key); });
  } else if (pass.mirrored) {
    pass.Run<P, P>(mmx ? Copy32MirrorMmx : Copy32Mirror, mmx ? Copy32MirrorStretchMmx : Copy32MirrorStretch);
  } else {
    pass.Run<P, P>(mmx ? Copy32Mmx : Copy32, mmx ? Copy32StretchMmx : Copy32Stretch);
  }
}

void Copy8To32Pass(const BlitPass& pass, const uint32_t* palette, uint32_t key) {
  const bool mirrored = pass.mirrored;
  if (key != kNoColorKey) {
    pass.Run<uint32_t, uint8_t>(
        [&](auto... a) { (mirrored ? Copy8To32MirrorKey : Copy8To32Key)(a..., palette, key); },
        [&](auto... a) { (mirrored ? Copy8To32MirrorStretchKey : Copy8To32StretchKey)(a..., palette, key); });
  } else {
    pass.Run<uint32_t, uint8_t>([&](auto... a) { (mirrored ? Copy8To32Mirror : Copy8To32)(a..., palette); },
                                [&](auto... a) { (mirrored ? Copy8To32MirrorStretch : Copy8To32Stretch)(a..., palette); });
  }
}

// The one-to-one 8-bit copies take a direction, and when mirrored the rightmost pixel itself.
void Copy8Pass(const BlitPass& pass, uint32_t key) {
  const int32_t direction = pass.mirrored ? -1 : 1;
  const int32_t back = pass.mirrored ? 1 : 0;
  const auto one = [&](uint8_t* d, const uint8_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h) {
    if (key != kNoColorKey) {
      Copy8Key(d, s - back, ds, ss, direction, w, h, key);
    } else {
      Copy8(d, s - back, ds, ss, direction, w, h);
    }
  };
  const auto stretched = [&](auto... a) {
    if (key != kNoColorKey) {
      (pass.mirrored ? Copy8MirrorStretchKey : Copy8StretchKey)(a..., key);
    } else {
      (pass.mirrored ? Copy8MirrorStretch : Copy8Stretch)(a...);
    }
  };
  pass.Run<uint8_t, uint8_t>(one, stretched);
}

}  // namespace

uint32_t CImage::CopyPass(CImage* src, const BlitRequest& request) {
  if (!HasPixelsFrom(src)) return 1;
  if (const std::optional<uint32_t> status = LibraryPass(*src, request)) return *status;
  BlitPass pass;
  if (!PlanBlit(*src, request, pass)) return 0;
  const uint32_t key = src->GetColorKey();
  std::unique_ptr<AlphaRunMap> kept_runs;
  if (IsDepthPair(src, 32, 32)) {
    Copy32Pass(pass, key);
    if (key == kNoColorKey && !pass.stretched && !pass.mirrored && !request.placement.flip && src != this) {
      kept_runs = CopiedAlphaRuns(*src);
    }
  } else if (IsDepthPair(src, 32, 8)) {
    if (src->GetPalette() == nullptr && src->SetPalette(nullptr, 0, 0) != 0) return 2;
    const bool through_gdi = key == kNoColorKey && !request.placement.flip && !request.placement.mirror &&
                             !request.size.has_value() && GetDC() != nullptr && src->GetDC() != nullptr;
    if (through_gdi) {
      if (!plat::BitBlt(*GetDC(), dest_rect_.left, dest_rect_.top, pass.width, pass.height, *src->GetDC(),
                        source_rect_.left, source_rect_.top, plat::SRCCOPY)) {
        return 2;
      }
    } else {
      Copy8To32Pass(pass, src->GetPalette(), key);
    }
  } else if (IsDepthPair(src, 8, 8)) {
    Copy8Pass(pass, key);
  } else {
    return 2;
  }
  MarkChanged(dest_rect_);
  PutAlphaRuns(std::move(kept_runs));
  return 0;
}

// A plain copy gives the copied area the source's alpha: where the source has a map with clear
// runs, which the blends onto this image can then leave alone, this image's map (made knowing
// nothing, all mixed, when it has none) takes the source's runs there.
std::unique_ptr<AlphaRunMap> CImage::CopiedAlphaRuns(CImage& src) {
  const AlphaRunMap* source_runs = src.SourceAlphaRuns(source_rect_);
  if (source_runs == nullptr || !source_runs->HasClearRuns()) return nullptr;
  std::unique_ptr<AlphaRunMap> runs = TakeAlphaRuns();
  if (runs == nullptr) runs = UnknownAlphaRuns();
  runs->CopyArea(*source_runs, source_rect_.left, source_rect_.top, dest_rect_.left, dest_rect_.top,
                 dest_rect_.Width(), dest_rect_.Height());
  return runs;
}

uint32_t CImage::CopyAlphaPlane(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect, bool flip) {
  return AlphaPlanePass(src, {{x, y, src_rect, false, flip}});
}

uint32_t CImage::StretchCopyAlphaPlane(CImage* src, const ImageSize* size, int32_t x, int32_t y,
                                       const plat::Rect* src_rect, bool flip) {
  return AlphaPlanePass(src, {{x, y, src_rect, false, flip}, SizeOr(size)});
}

uint32_t CImage::CopyAlphaPlaneMirrored(CImage* src, uint8_t mode, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return AlphaPlanePass(src, {MirroredPlacement(mode, x, y, src_rect)});
}

uint32_t CImage::StretchCopyAlphaPlaneMirrored(CImage* src, uint8_t mode, const ImageSize* size, int32_t x, int32_t y,
                                               const plat::Rect* src_rect) {
  return AlphaPlanePass(src, {MirroredPlacement(mode, x, y, src_rect), SizeOr(size)});
}

uint32_t CImage::AlphaPlanePass(CImage* src, const BlitRequest& request) {
  if (!HasPixelsFrom(src)) return 1;
  const bool into_alpha = IsDepthPair(src, 32, 8);
  if (!into_alpha && !IsDepthPair(src, 8, 32)) return 2;
  BlitPass pass;
  if (!PlanBlit(*src, request, pass)) return 0;
  if (into_alpha) {
    if (pass.mirrored) {
      pass.Run<uint32_t, uint8_t>(CopyBytesToAlphaMirror, CopyBytesToAlphaMirrorStretch);
    } else {
      pass.Run<uint32_t, uint8_t>(CopyBytesToAlpha, CopyBytesToAlphaStretch);
    }
  } else if (pass.mirrored) {
    pass.Run<uint8_t, uint32_t>(CopyAlphaToBytesMirror, CopyAlphaToBytesMirrorStretch);
  } else {
    pass.Run<uint8_t, uint32_t>(CopyAlphaToBytes, CopyAlphaToBytesStretch);
  }
  MarkChanged(dest_rect_);
  return 0;
}

uint32_t CImage::CopyRgb(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return ChannelPass(src, {{x, y, src_rect, false, false}}, true);
}

uint32_t CImage::StretchCopyRgb(CImage* src, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return ChannelPass(src, {{x, y, src_rect, false, false}, SizeOr(size)}, true);
}

uint32_t CImage::CopyAlpha(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return ChannelPass(src, {{x, y, src_rect, false, false}}, false);
}

uint32_t CImage::StretchCopyAlpha(CImage* src, const ImageSize* size, int32_t x, int32_t y,
                                  const plat::Rect* src_rect) {
  return ChannelPass(src, {{x, y, src_rect, false, false}, SizeOr(size)}, false);
}

uint32_t CImage::ChannelPass(CImage* src, const BlitRequest& request, bool colour) {
  const uint32_t key = src != nullptr ? src->GetColorKey() : kNoColorKey;
  return RunPass(src, 32, 32, kDraw, request, [&](const BlitPass& pass) {
    const bool mmx = g_CpuHasMmx != 0;
    using P = uint32_t;
    if (!colour) {
      pass.Run<P, P>(mmx ? CopyAlpha32Mmx : CopyAlpha32, mmx ? CopyAlpha32StretchMmx : CopyAlpha32Stretch);
    } else if (key != kNoColorKey) {
      pass.Run<P, P>([&](auto... a) { (mmx ? CopyRgb32KeyMmx : CopyRgb32Key)(a..., key); },
                     [&](auto... a) { (mmx ? CopyRgb32StretchKeyMmx : CopyRgb32StretchKey)(a..., key); });
    } else {
      pass.Run<P, P>(mmx ? CopyRgb32Mmx : CopyRgb32, mmx ? CopyRgb32StretchMmx : CopyRgb32Stretch);
    }
  });
}
