// Loading Susie plug-ins (*.SPI): an image plug-in becomes an image decoder of the image-loader
// host (type 5), an archive plug-in an archive decoder of the data-file layer (type 3), after
// which their pictures and archives are read like any other.
#pragma once

#include <string>

class CFileSystem;
class CImageLoaderManager;

// Where the plug-ins go and which kinds are wanted; a kind without its host is not wanted.
struct SusieHosts {
  CImageLoaderManager* images = nullptr;
  CFileSystem* archives = nullptr;
};

inline constexpr int kSusieLoaded = 0;
inline constexpr int kSusieBadPath = 1;
inline constexpr int kSusieNotLoadable = 2;
inline constexpr int kSusieNoPluginInfo = 3;
inline constexpr int kSusieUnknownKind = 4;  // neither "00IN" nor "00AM", or no memory
inline constexpr int kSusieNotRegistered = 5;  // a required entry is missing or the host refused
inline constexpr int kSusieKindNotWanted = -1;

// Loads one plug-in; on any failure its library is freed.
int LoadSusiePlugin(const char* path, const SusieHosts& hosts);
// Loads every "*.SPI" of the folder; the number loaded, or -1 when the folder cannot be made
// absolute.
int LoadSusiePlugins(const char* folder, const SusieHosts& hosts);

// The extension list of a plug-in's filter ("*.abc;*.DEF"): stars and dots dropped, each ';'
// ending an item, ASCII letters upper-cased, double-byte characters kept; zero-terminated items
// ended by an empty one.
std::string SusieExtensionList(const char* filter);
