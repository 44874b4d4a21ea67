#include "builtins/image_args.h"

#include "gfx/display/surface_object_image.h"

CImage* ImageArg(const NativeArgs& args, uint32_t i) { return GetObjectImage(args.Handle<CImageInterface>(i)); }

std::optional<plat::Rect> RectArg(const NativeArgs& args, uint32_t i) {
  const std::optional<ScriptRect> rect = args.Rect(i);
  if (!rect) return std::nullopt;
  return plat::Rect{rect->left, rect->top, rect->right, rect->bottom};
}

RectPair RectPairArgs(const NativeArgs& args, uint32_t i) {
  RectPair pair{RectArg(args, i), std::nullopt};
  if (pair.first) pair.second = RectArg(args, i + 4);
  return pair;
}

namespace {

// x, y and the rectangle from args[i], where x is a coordinate whatever its value.
BlitPlace PlaceAt(const NativeArgs& args, uint32_t i) {
  return BlitPlace{args.I32(i), args.I32(i + 1), RectArg(args, i + 2), std::nullopt};
}

}  // namespace

BlitPlace PlacedArgs(const NativeArgs& args, uint32_t i) {
  if (args.U32(i) == kAbsentArgumentGroup) return {};
  return PlaceAt(args, i);
}

BlitPlace StretchedArgs(const NativeArgs& args, uint32_t i, const CImageInterface* source) {
  if (args.U32(i) == kAbsentArgumentGroup) {
    BlitPlace whole;
    if (source != nullptr) {
      plat::Rect clip;
      source->GetClipRect(&clip);
      whole.size = ImageSize{clip.Width(), clip.Height()};
    }
    return whole;
  }
  // Only the size's first word marks the group: an x of 65535 is a place like any other.
  BlitPlace place = PlaceAt(args, i + 2);
  place.size = ImageSize{args.I32(i), args.I32(i + 1)};
  return place;
}

uint32_t PackedColourArg(const NativeArgs& args, uint32_t i) {
  return (uint32_t{args.U8(i)} << 16) | (uint32_t{args.U8(i + 1)} << 8) | args.U8(i + 2);
}

const uint8_t* DataArg(const NativeArgs& args, uint32_t i, uint32_t size) {
  const uint32_t address = args.U32(i);
  if (address == 0) return nullptr;
  return reinterpret_cast<const uint8_t*>(args.Memory().Range(address, size).data());
}
