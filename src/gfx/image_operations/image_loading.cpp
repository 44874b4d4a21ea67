// Loading pictures into images and saving images, through the image-loader host.
#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/files/file.h"
#include "base/numbers/little_endian.h"
#include "gfx/images/image.h"
#include "pixel/formats/decoded_picture_conversions.h"
#include "resource/archives/file_system.h"
#include "resource/pictures/cached_picture.h"
#include "resource/pictures/elg_header.h"
#include "resource/pictures/elg_picture.h"
#include "resource/pictures/image_loader_manager.h"

namespace {

constexpr uint32_t kNoHost = 1;
constexpr uint32_t kNotResolved = 4;
constexpr uint32_t kNotCreated = 6;
constexpr uint32_t kNotConverted = 9;
constexpr uint32_t kLoad32Unexpected = 10;
constexpr uint32_t kLoadUnexpected = 5;

constexpr uint32_t kIntoNoPixels = 1;
constexpr uint32_t kIntoNoFile = 2;
constexpr uint32_t kIntoNoDecoder = 3;
constexpr uint32_t kIntoNotConverted = 4;
constexpr uint32_t kIntoUnexpected = 5;
constexpr uint32_t kIntoNothingVisible = 0xFFFFFFFF;

constexpr uint32_t kNoPixelsForFile = 0xFFFFFFFC;

using PaletteBytes = std::array<uint8_t, 1024>;

// One load's target: the image, its Create flags and the palette create-target handed out.
struct LoadContext {
  CImage* image;
  uint32_t flags;
  std::unique_ptr<PaletteBytes> palette;
};

uint8_t* CreateLoadTarget(int32_t width, int32_t height, uint32_t bits_per_pixel, uint32_t alpha, int32_t* pitch,
                          uint8_t** palette, void* argument) {
  auto& context = *static_cast<LoadContext*>(argument);
  if (bits_per_pixel != 8 && bits_per_pixel != 32) return nullptr;
  if (context.image->Create(width, height, static_cast<uint8_t>(bits_per_pixel), context.flags) != 0) return nullptr;
  context.image->SetAlphaFlag(alpha != 0 ? 1 : 0);
  if (palette != nullptr) {
    context.palette = std::make_unique<PaletteBytes>();
    *palette = context.palette->data();
  }
  *pitch = context.image->GetPitch();
  return context.image->GetPixels();
}

void FreeLoadTarget(void* argument) {
  auto& context = *static_cast<LoadContext*>(argument);
  context.image->Release();
  context.palette.reset();
}

std::vector<uint32_t> ColoursOf(const uint8_t* bytes, std::size_t count) {
  std::vector<uint32_t> colours(count);
  for (std::size_t i = 0; i < count; ++i) colours[i] = LoadLe32(bytes + 4 * i);
  return colours;
}

// The entries the picture's header lists, at most 256.
std::vector<uint32_t> ListedColours(const DibInfo& info) {
  const std::size_t count = std::min<std::size_t>({ListedColourCount(info), info.colour_table.size(), 256});
  return {info.colour_table.begin(), info.colour_table.begin() + static_cast<std::ptrdiff_t>(count)};
}

DecodedSource SourceOf(const CCachedPicture& picture, int32_t x, int32_t y) {
  return {picture.GetInfo(), picture.GetBits().data(), static_cast<int32_t>(picture.GetRowPitch()), x, y};
}

// A decode into an existing image: the picture must have the image's size and depth.
uint8_t* ExistingTarget(int32_t width, int32_t height, uint32_t bits_per_pixel, uint32_t /*alpha*/, int32_t* pitch,
                        uint8_t** palette, void* argument) {
  auto& context = *static_cast<LoadContext*>(argument);
  CImage& image = *context.image;
  if (width != image.GetWidth() || height != image.GetHeight() || bits_per_pixel != image.GetBitsPerPixel()) {
    return nullptr;
  }
  if (palette != nullptr) {
    context.palette = std::make_unique<PaletteBytes>();
    *palette = context.palette->data();
  }
  *pitch = image.GetPitch();
  return image.GetPixels();
}

}  // namespace

uint32_t CImage::LoadFileByPlugin(const char* file_name, uint8_t option, uint32_t type) {
  if (GetPixels() == nullptr) return kNoPixelsForFile;
  if (g_GllHost == nullptr || file_name == nullptr) return kNoHost;
  LoadContext context{this, 0, nullptr};
  const DecodeTarget target{&ExistingTarget, nullptr, &context, option, nullptr, nullptr};
  const int32_t status = g_GllHost->DecodeFileWith(type, file_name, target, DecodeOutputs{});
  if (status != 0) return static_cast<uint32_t>(status);
  if (GetBitsPerPixel() == 8 && context.palette) TakePalette(ColoursOf(context.palette->data(), 256).data(), 256);
  MarkAllChanged();
  return 0;
}

uint32_t CImage::LoadFile32(const char* file_name, const uint8_t* data, uint32_t size, uint32_t flags) {
  try {
    return LoadNew(file_name, data, size, flags, false);
  } catch (...) {
    return kLoad32Unexpected;
  }
}

uint32_t CImage::LoadFile(const char* file_name, const uint8_t* data, uint32_t size, uint32_t flags) {
  try {
    return LoadNew(file_name, data, size, flags, true);
  } catch (...) {
    return kLoadUnexpected;
  }
}

uint32_t CImage::LoadNew(const char* file_name, const uint8_t* data, uint32_t size, uint32_t flags, bool palettized) {
  if (g_GllHost == nullptr) return kNoHost;
  CImageLoaderManager& host = *g_GllHost;
  if (file_name != nullptr && host.IsCacheOn()) {
    if (g_DataFiles == nullptr) return kNotResolved;
    const std::optional<std::string> key = host.CacheKeyOf(file_name);
    if (!key) return kNotResolved;
    if (const RefPtr<CCachedPicture> cached = host.FindCachedImage(key->c_str())) {
      return LoadFromCachedPicture(*cached, flags, palettized);
    }
  }
  LoadContext context{this, flags, nullptr};
  const DecodeTarget target{&CreateLoadTarget, &FreeLoadTarget, &context, palettized ? 1u : 0u, nullptr, nullptr};
  int32_t value0 = 0;
  int32_t value1 = 0;
  std::vector<uint8_t> extra;
  const DecodeOutputs outputs{&value0, &value1, &extra};
  const int32_t status = file_name == nullptr ? host.DecodeData(data, size, target, 0, outputs)
                                              : host.DecodeFile(file_name, target, outputs);
  if (status != 0) return static_cast<uint32_t>(status);
  SetUserWord0(static_cast<uint32_t>(value0));
  SetUserWord1(static_cast<uint32_t>(value1));
  SetExtraData(std::move(extra));
  if (palettized && context.palette) TakePalette(ColoursOf(context.palette->data(), 256).data(), 256);
  MarkAllChanged();
  return 0;
}

uint32_t CImage::LoadFromCachedPicture(const CCachedPicture& picture, uint32_t flags, bool palettized) {
  const DibInfo& info = picture.GetInfo();
  if (Create(info.width, info.height, palettized ? 8 : 32, flags) != 0) return kNotCreated;
  const plat::Rect rect{0, 0, info.width, info.height};
  const DecodedSource source = SourceOf(picture, 0, 0);
  bool converted = false;
  if (palettized) {
    const std::vector<uint32_t> colours = ListedColours(info);
    if (!colours.empty()) TakePalette(colours.data(), static_cast<uint32_t>(colours.size()));
    converted = ConvertDecodedToNative(GetPixels(), rect, GetPitch(), source);
  } else {
    SetAlphaFlag(info.bit_count == 32 ? 1 : 0);
    converted = info.bit_count == 32 ? ConvertDibTo32(GetPixels(), rect, GetPitch(), source)
                                     : ConvertDecodedTo32(GetPixels(), rect, GetPitch(), source);
  }
  if (!converted) {
    Release();
    return kNotConverted;
  }
  SetUserWord0(static_cast<uint32_t>(picture.GetUserValue0()));
  SetUserWord1(static_cast<uint32_t>(picture.GetUserValue1()));
  SetExtraData(picture.GetExtraData());
  MarkAllChanged();
  return 0;
}

uint32_t CImage::LoadFileInto(const char* file_name, const uint8_t* data, uint32_t size, int32_t x, int32_t y,
                              bool take_palette) {
  if (!HasPixels()) return kIntoNoPixels;
  try {
    if (g_GllHost == nullptr) return kIntoNoDecoder;
    CImageLoaderManager& host = *g_GllHost;
    RefPtr<CCachedPicture> picture;
    RefPtr<CFile> file;
    std::optional<std::string> key;
    if (file_name != nullptr) {
      if (host.IsCacheOn()) {
        key = host.CacheKeyOf(file_name);
        if (!key) return kIntoNoFile;
        picture = host.FindCachedImage(key->c_str());
      }
      if (!picture) {
        file = MakeRef<CFile>();
        if (!file || file->Load(file_name) != 0) return kIntoNoFile;
        data = file->GetData();
        size = file->GetSize();
      }
    } else if (data == nullptr) {
      return kIntoNoFile;
    }
    if (!picture) {
      uint32_t status = 0;
      if (x == 0 && y == 0 && UnpackElgInto(data, size, take_palette, status)) return status;
      CImageDecoder* decoder = file_name != nullptr ? host.FindLoaderByExtension(file_name, false) : nullptr;
      picture = host.DecodeToPicture(data, size, decoder);
      if (!picture && decoder != nullptr) picture = host.DecodeToPicture(data, size, nullptr);
      if (!picture) return kIntoNoDecoder;
      if (key) host.AddCachedImage(picture.get(), key->c_str());
    }
    return ConvertPictureInto(*picture, x, y, take_palette);
  } catch (...) {
    return kIntoUnexpected;
  }
}

// ELG data whose rows are as wide as this image and no more than it holds goes straight into the
// pixels. False when the data does not qualify; otherwise the load's status in `status`.
bool CImage::UnpackElgInto(const uint8_t* data, uint32_t size, bool take_palette, uint32_t& status) {
  ElgHeader header;
  if (!ParseElgHeader(data, size, header) || header.width != GetWidth() || header.height > GetHeight()) return false;
  const bool supported = header.bit_depth == 8 || header.bit_depth == 24 || header.bit_depth == 32;
  if (!supported || (GetBitsPerPixel() != 8 && GetBitsPerPixel() != 32)) {
    status = kIntoNoDecoder;
    return true;
  }
  bool unpacked = false;
  if (GetBitsPerPixel() == 32) {
    unpacked = UnpackElgPictureTo32(header, data, size, GetPixels(), GetPitch());
  } else {
    PaletteBytes palette{};
    const bool palette_wanted = take_palette && header.bit_depth == 8;
    unpacked =
        UnpackElgPictureTo8(header, data, size, GetPixels(), GetPitch(), palette_wanted ? palette.data() : nullptr);
    if (unpacked && palette_wanted && !TakePalette(ColoursOf(palette.data(), 256).data(), 256)) {
      status = kIntoNoDecoder;
      return true;
    }
  }
  status = unpacked ? 0 : kIntoUnexpected;
  if (unpacked) MarkChanged({0, 0, header.width, header.height});
  return true;
}

uint32_t CImage::ConvertPictureInto(const CCachedPicture& picture, int32_t x, int32_t y, bool take_palette) {
  const DibInfo& info = picture.GetInfo();
  plat::Rect rect{std::max(x, 0), std::max(y, 0), std::min(x + info.width, GetWidth()),
                  std::min(y + info.height, GetHeight())};
  if (rect.left >= rect.right || rect.top >= rect.bottom || !ClipRect(&rect)) return kIntoNothingVisible;
  const DecodedSource source = SourceOf(picture, rect.left - x, rect.top - y);
  bool converted = false;
  if (GetBitsPerPixel() == 32) {
    converted = info.bit_count == 32 ? ConvertDibTo32(GetPixels(), rect, GetPitch(), source)
                                     : ConvertDecodedTo32(GetPixels(), rect, GetPitch(), source);
  } else {
    const std::vector<uint32_t> colours = ListedColours(info);
    if (take_palette && !colours.empty() && !TakePalette(colours.data(), static_cast<uint32_t>(colours.size()))) {
      return kIntoNoDecoder;
    }
    converted = ConvertDecodedToNative(GetPixels(), rect, GetPitch(), source);
  }
  if (!converted) return kIntoNotConverted;
  MarkChanged(rect);
  return 0;
}

bool CImage::TakePalette(const uint32_t* colours, uint32_t count) {
  base_palette_.reset();
  return SetPalette(colours, count, 0) == 0;
}

uint32_t CImage::SaveFile(const char* file_name, uint32_t option, uint32_t encoder_id) {
  if (!HasPixels()) return kNoPixelsForFile;
  if (g_GllHost == nullptr) return kNoHost;
  PaletteBytes palette{};
  const uint32_t* colours = GetPalette();
  if (colours != nullptr) {
    for (std::size_t i = 0; i < 256; ++i) StoreLe32(palette.data() + 4 * i, colours[i]);
  }
  return static_cast<uint32_t>(g_GllHost->SaveImage(file_name, option, GetPixels(), GetWidth(), GetHeight(),
                                                    GetBitsPerPixel(), GetPitch(),
                                                    colours != nullptr ? palette.data() : nullptr, encoder_id, nullptr,
                                                    nullptr));
}
