// Where a surface object's picture comes from: a decoded picture from the image cache, or the
// bytes of a file or memory block, which are either ELG data (its header read, to be unpacked
// straight into a surface or decoded later) or decoded at once by the decoder for the name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/files/file.h"
#include "base/lifetime/ref_counted.h"
#include "resource/pictures/cached_picture.h"
#include "resource/pictures/elg_header.h"

class CImageLoaderManager;

struct PictureSource {
  RefPtr<CCachedPicture> picture;  // null for ELG bytes not decoded yet
  RefPtr<CFile> file;              // holds the bytes that were read from a file
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  std::optional<std::string> cache_key;
  bool elg = false;
  ElgHeader header;

  int32_t Width() const { return picture ? picture->GetInfo().width : header.width; }
  int32_t Height() const { return picture ? picture->GetInfo().height : header.height; }
};

enum class EPictureSourceResult { kFound, kNotFound, kUndecodable };

// A name is looked up in the image cache when the host keeps one; a name that cannot be found
// or read, or neither name nor data, is kNotFound; damaged ELG data or bytes that no decoder
// takes are kUndecodable. A picture decoded here goes into the cache under the name.
EPictureSourceResult FindPictureSource(CImageLoaderManager& host, const char* file_name, const uint8_t* data,
                                       uint32_t size, PictureSource& out);
// Decodes ELG bytes with the host's built-in ELG decoder (and caches the picture): false when it
// fails.
bool DecodeElgSource(CImageLoaderManager& host, PictureSource& source);
