#include "builtins/image_part_builtins.h"

#include "builtins/plugin_words.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/surface_object_image.h"

namespace {

constexpr uint32_t kMinus1 = 0xFFFFFFFF;
constexpr uint32_t kNoFilter = 0xFFFFFFFE;
constexpr uint8_t kModeWorkImageOnly = 1;
constexpr uint8_t kModeBoth = 2;
constexpr uint32_t kFirstFilterWord = 4;

CImagePart* PartArg(const NativeArgs& args, uint32_t i) {
  return GetObjectImagePart(args.Handle<CImageInterface>(i));
}

template <class Op>
uint32_t WithPart(const NativeArgs& args, uint32_t none, Op op) {
  CImagePart* part = PartArg(args, 0);
  if (part == nullptr) return none;
  return static_cast<uint32_t>(op(*part));
}

}  // namespace

std::uint32_t NativeLinkImageParts(const NativeArgs& args) {
  CImagePart* part = PartArg(args, 0);
  CImagePart* partner = PartArg(args, 1);
  if (part == nullptr || partner == nullptr) return kMinus1;
  return part->SetPartner(partner);
}

std::uint32_t NativeGetAttachedObject(const NativeArgs& args) {
  return WithPart(args, 0, [&](CImagePart& part) -> uint32_t {
    auto* canvas = dynamic_cast<CImageCanvas*>(part.GetPartner());
    return canvas != nullptr ? static_cast<CImageInterface*>(canvas)->ScriptHandle(args.Handles()) : 0;
  });
}

std::uint32_t NativeImagePartSubOperation(const NativeArgs& args) {
  return WithPart(args, 0, [&](CImagePart& part) {
    CImagePart* partner = part.GetPartner();
    if (partner == nullptr) return 1;
    const uint8_t mode = args.U8(1);
    if (mode != kModeWorkImageOnly) partner->MarkDirty(nullptr);
    if (mode == kModeWorkImageOnly || mode == kModeBoth) partner->FreeWorkImage();
    return 1;
  });
}

std::uint32_t NativeAttachLayerFilter(const NativeArgs& args) {
  return WithPart(args, kMinus1, [&](CImagePart& part) {
    const char* name = args.Str(1);
    return CallWithEffectWords(args, kFirstFilterWord, name, EffectEntry::kFilter, kNoFilter,
                               [&](const PluginArgs& words) {
                                 RefPtr<CScreenTransition> filter = MakeLayerFilterByName(&part, name, words);
                                 if (filter == nullptr) return kNoFilter;
                                 // A refused filter stays with this reference, which releases it.
                                 return part.Attach(filter, args.U8(2), args.Flag(3) ? 1 : 0, !IsPriorityControlOff());
                               });
  });
}

std::uint32_t NativeImagePartOperationD(const NativeArgs& args) {
  return WithPart(args, 0, [](CImagePart& part) {
    part.Detach(part.GetAttachByte() != 0);
    return 1;
  });
}

std::uint32_t NativeImagePartQuery(const NativeArgs& args) {
  return WithPart(args, 0, [](CImagePart& part) { return part.HasAttached() ? 1 : 0; });
}

std::uint32_t NativeImagePartValue(const NativeArgs& args) {
  return WithPart(args, 0, [](CImagePart& part) { return part.GetDepth(); });
}
