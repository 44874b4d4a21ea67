// An image decoder over a Susie image plug-in ("00IN"): pictures are always decoded from memory
// through the plug-in's GetPicture, so the host decodes into its targets through a picture.
#pragma once

#include <memory>

#include "platform/files/dynamic_library.h"
#include "resource/pictures/image_decoder.h"
#include "resource/plugins/susie_plugin_abi.h"

class CSpiImageDecoder final : public CImageDecoder {
 public:
  static constexpr std::int32_t kPluginFailed = 1;
  static constexpr std::int32_t kBadPicture = 3;  // the plug-in's blocks do not hold together
  static constexpr std::int32_t kBadArguments = 4;

  struct Entries {
    SusieIsSupportedFunc is_supported = nullptr;
    SusieGetPictureFunc get_picture = nullptr;
  };

  CSpiImageDecoder(std::shared_ptr<plat::DynamicLibrary> library, Entries entries)
      : library_(std::move(library)), entries_(entries) {}

  // Asks the plug-in with at least 2048 bytes: shorter data is passed as a copy padded with zeros.
  bool IsSupported(const std::uint8_t* data, std::size_t size, std::uint32_t hint) override;
  std::int32_t Load(const std::uint8_t* data, std::size_t size, CreateTargetFunc create_target, void* context,
                    std::uint32_t mode, DecodeProgressFunc progress, void* progress_argument) override;
  std::int32_t Decode(const std::uint8_t* data, std::size_t size, DibInfoBlock* info, DibBits* bits,
                      DecodeProgressFunc progress, void* progress_argument) override;

 private:
  std::int32_t TakePicture(SusieBlockPtr info_block, SusieBlockPtr bits_block);

  std::shared_ptr<plat::DynamicLibrary> library_;
  Entries entries_;
};

// The relay between a plug-in's progress callback and the engine's: its data word points at one.
struct SusieProgressRelay {
  DecodeProgressFunc progress = nullptr;
  void* argument = nullptr;

  static std::int32_t Call(std::int32_t done, std::int32_t total, std::intptr_t data);
  std::intptr_t Data() { return reinterpret_cast<std::intptr_t>(this); }
};
