// The screen layout files ("DGM"): a background picture name and a list of parts, each a picture
// placed at a position with a few attributes. The whole file is read and checked here before a
// reader builds anything from it, so that a short or inconsistent file builds nothing at all.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What a part keeps besides its picture: the size it shows and its state byte.
struct DgmPartSize {
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t state = 0;
};

struct DgmPart {
  // Relative to the folder of the layout file.
  std::string picture;
  uint8_t type = 0;
  int16_t x = 0;
  int16_t y = 0;
  // The sprite's opacity, or the widget's parameter.
  uint8_t parameter = 0;
  uint8_t shown = 0;
  // Stored for parts other than pictures (type 0) in short records.
  DgmPartSize size;
};

struct DgmLayout {
  // Empty: no background.
  std::string background;
  std::vector<DgmPart> parts;
};

// How the part records are laid out: pictures (type 0) without size and state, or every
// record in full.
enum class DgmRecords { kShortPictures, kFull };

// Statuses of the layout readers that come from the file itself.
inline constexpr uint32_t kDgmReadFailed = 2;
inline constexpr uint32_t kDgmBadMagic = 3;
// A name, count or record that runs past the end of the file.
inline constexpr uint32_t kDgmTruncated = 13;

// 0, kDgmBadMagic or kDgmTruncated; `layout` is filled on 0 only.
uint32_t ParseDgmLayout(std::span<const uint8_t> bytes, DgmRecords records, DgmLayout& layout);
// Reads the data file whole and parses it; the picture names come back joined to the file's
// folder. 0, kDgmReadFailed or a status of ParseDgmLayout.
uint32_t LoadDgmLayout(const char* path, DgmRecords records, DgmLayout& layout);
