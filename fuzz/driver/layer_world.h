// What the fuzz targets of layout and animation texts read pictures through: ELG decoding in the
// loader host, a bound pixel library, files held in memory with small pictures under the given
// names, and a 64 × 48 page with a draw layer on it. The program's log is kept quiet.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "memory_data_files.h"
#include "elg_encoder.h"
#include "gfx/images/pixel_library.h"
#include "platform/system/diagnostic_log.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/drawables/draw_layer.h"

struct LayerFuzzWorld {
  explicit LayerFuzzWorld(std::initializer_list<const char*> pictures) {
    if (RegisterElgDecoder(host) != 0) std::abort();
    g_GllHost = &host;
    SetPixelLib(&library);
    kvxtools::ElgPicture picture;
    picture.width = 4;
    picture.height = 3;
    picture.pixels.assign(4 * 3 * 4, 0x80);
    const std::vector<std::uint8_t> elg = kvxtools::EncodeElg(picture);
    for (const char* name : pictures) files.Set(name, elg);
    if (page.Create(64, 48, 32, 0) != 0 || layer.SetTarget(&page, false) != 0) std::abort();
  }

  static std::uint64_t FourGigabytes() { return std::uint64_t{4} << 30; }

  plat::ScopedDiagnosticSink quiet{[](std::string_view) {}};
  CImageLoaderManager host{&FourGigabytes};
  CPixelLibrary library;
  MemoryDataFiles files;
  CImage page;
  CDrawLayer layer;
};
