#include "gfx/display/picture_source.h"

#include "resource/pictures/elg_picture.h"
#include "resource/pictures/image_loader_manager.h"

namespace {

constexpr uint32_t kElgDecoderType = 2;

// A null decoder lets the host choose one by the bytes.
bool DecodeWith(CImageLoaderManager& host, CImageDecoder* decoder, PictureSource& source) {
  source.picture = host.DecodeToPicture(source.data, source.size, decoder);
  if (source.picture && source.cache_key) host.AddCachedImage(source.picture.get(), source.cache_key->c_str());
  return source.picture != nullptr;
}

}  // namespace

EPictureSourceResult FindPictureSource(CImageLoaderManager& host, const char* file_name, const uint8_t* data,
                                       uint32_t size, PictureSource& out) {
  out = PictureSource{};
  out.data = data;
  out.size = size;
  if (file_name != nullptr) {
    if (host.IsCacheOn()) {
      out.cache_key = host.CacheKeyOf(file_name);
      if (!out.cache_key) return EPictureSourceResult::kNotFound;
      out.picture = host.FindCachedImage(out.cache_key->c_str());
      if (out.picture) return EPictureSourceResult::kFound;
    }
    out.file = MakeRef<CFile>();
    if (!out.file || out.file->Load(file_name) != 0) return EPictureSourceResult::kNotFound;
    out.data = out.file->GetData();
    out.size = out.file->GetSize();
  } else if (data == nullptr) {
    return EPictureSourceResult::kNotFound;
  }
  out.elg = HasElgMagic(out.data, out.size);
  if (out.elg) return ParseElgHeader(out.data, out.size, out.header) ? EPictureSourceResult::kFound
                                                                      : EPictureSourceResult::kUndecodable;
  CImageDecoder* decoder = file_name != nullptr ? host.FindLoaderByExtension(file_name, false) : nullptr;
  return DecodeWith(host, decoder, out) ? EPictureSourceResult::kFound : EPictureSourceResult::kUndecodable;
}

bool DecodeElgSource(CImageLoaderManager& host, PictureSource& source) {
  CImageDecoder* elg = host.FindLoaderByType(kElgDecoderType);
  return elg != nullptr && DecodeWith(host, elg, source);
}
