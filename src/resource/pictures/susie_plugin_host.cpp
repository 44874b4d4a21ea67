#include "resource/pictures/susie_plugin_host.h"

#include <array>
#include <cstring>
#include <memory>

#include "resource/archives/file_system.h"
#include "resource/archives/susie_archive.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/pictures/susie_image_decoder.h"
#include "resource/plugins/plugin_library.h"

namespace {

constexpr std::int32_t kInfoBufferSize = 256;
constexpr std::uint32_t kImageType = 5;
constexpr std::uint32_t kArchiveType = 3;

// GetPluginInfo (number) as a text of at most 255 bytes.
std::string PluginInfo(SusieGetPluginInfoFunc get_info, std::int32_t number) {
  std::array<char, kInfoBufferSize + 1> buffer{};
  get_info(number, buffer.data(), kInfoBufferSize);
  return std::string(buffer.data(), strnlen(buffer.data(), kInfoBufferSize));
}

int RegisterImagePlugin(const std::shared_ptr<plat::DynamicLibrary>& library, const std::string& extensions,
                        const std::string& description, PluginConfigFunc config, CImageLoaderManager& images) {
  CSpiImageDecoder::Entries entries;
  if (!ResolveExport(*library, "IsSupported", entries.is_supported) ||
      !ResolveExport(*library, "GetPicture", entries.get_picture)) {
    return kSusieNotRegistered;
  }
  DecoderPtr<GllFamily> decoder(new (std::nothrow) CSpiImageDecoder(library, entries));
  if (!decoder) return kSusieUnknownKind;
  return images.RegisterLoader(std::move(decoder), extensions.c_str(), description.c_str(), kImageType, nullptr,
                               nullptr, config) == 0
             ? kSusieLoaded
             : kSusieNotRegistered;
}

int RegisterArchivePlugin(const std::shared_ptr<plat::DynamicLibrary>& library, const std::string& extensions,
                          const std::string& description, PluginConfigFunc config, CFileSystem& archives) {
  CSpiArchiveDecoder::Entries entries;
  if (!ResolveExport(*library, "GetArchiveInfo", entries.get_archive_info) ||
      !ResolveExport(*library, "GetFile", entries.get_file)) {
    return kSusieNotRegistered;
  }
  std::unique_ptr<CSpiArchiveDecoder> decoder(new (std::nothrow) CSpiArchiveDecoder(library, entries));
  if (!decoder) return kSusieUnknownKind;
  return archives.RegisterArchiveDecoder(std::move(decoder), extensions.c_str(), description.c_str(), kArchiveType,
                                         &SpiAssistFunc, &SpiAssistFunc2, config) == 0
             ? kSusieLoaded
             : kSusieNotRegistered;
}

}  // namespace

std::string SusieExtensionList(const char* filter) {
  std::string list;
  for (const char* at = filter; at != nullptr && *at != '\0'; ++at) {
    const auto byte = static_cast<std::uint8_t>(*at);
    if (byte >= 0x81 && byte <= 0xFE && at[1] != '\0') {
      list += *at;
      list += *++at;
    } else if (byte == ';') {
      list += '\0';
    } else if (byte >= 'a' && byte <= 'z') {
      list += static_cast<char>(byte - ('a' - 'A'));
    } else if (byte != '*' && byte != '.') {
      list += *at;
    }
  }
  list += '\0';
  list += '\0';
  return list;
}

int LoadSusiePlugin(const char* path, const SusieHosts& hosts) {
  try {
    std::unique_ptr<plat::DynamicLibrary> loaded;
    if (const unsigned status = LoadPluginLibrary(path, loaded); status != kPluginLoaded) {
      return status == kPluginBadPath ? kSusieBadPath : kSusieNotLoadable;
    }
    const std::shared_ptr<plat::DynamicLibrary> library(std::move(loaded));
    SusieGetPluginInfoFunc get_info = nullptr;
    if (!ResolveExport(*library, "GetPluginInfo", get_info)) return kSusieNoPluginInfo;
    const std::string kind = PluginInfo(get_info, 0);
    const bool image = kind == "00IN";
    if (!image && kind != "00AM") return kSusieUnknownKind;
    if ((image ? static_cast<const void*>(hosts.images) : static_cast<const void*>(hosts.archives)) == nullptr) {
      return kSusieKindNotWanted;
    }
    const std::string extensions = SusieExtensionList(PluginInfo(get_info, 2).c_str());
    const std::string description = PluginInfo(get_info, 3);
    PluginConfigFunc config = nullptr;
    ResolveExport(*library, "ConfigurationDlg", config);
    return image ? RegisterImagePlugin(library, extensions, description, config, *hosts.images)
                 : RegisterArchivePlugin(library, extensions, description, config, *hosts.archives);
  } catch (...) {
    return kSusieUnknownKind;
  }
}

int LoadSusiePlugins(const char* folder, const SusieHosts& hosts) {
  return LoadPluginFolder(folder, "*.SPI", [&hosts](const char* path) { return LoadSusiePlugin(path, hosts) == kSusieLoaded; });
}
