// An animation file with its own pictures ("DAG"): a frame table grouped into entries by end
// markers, and the pictures, stored as image files inside it, decoded into images. Each picture
// record may name a key point whose pixel becomes the picture's colour key. The resource list
// of animation files owns the loaded files; players take a reference of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "base/lifetime/ref_counted.h"
#include "gfx/images/image.h"
#include "scene/animations/anim_entry_table.h"
#include "scene/animations/anim_frame.h"

class ByteReader;

class CDagFile : public CRefCounted, public ScriptVisible<CDagFile> {
 public:
  static constexpr uint32_t kOpenFailed = 1;
  static constexpr uint32_t kBadHeader = 2;
  static constexpr uint32_t kShortRead = 3;
  static constexpr uint32_t kBadOffset = 4;
  static constexpr uint32_t kBadPicture = 5;
  static constexpr uint32_t kNoEndMarker = 6;
  // The key x that asks for a picture blended by its alpha; other negative ones ask for none.
  static constexpr int16_t kAlphaKey = -2;

  CDagFile() = default;
  ~CDagFile() override = default;

  // Loads the data file: 0, or a status above (nothing stays loaded). With keep_depth the
  // pictures keep their own depth, else they become 32-bit images.
  uint32_t Load(const char* path, bool keep_depth);
  uint32_t LoadFromMemory(std::span<const uint8_t> bytes, bool keep_depth);
  void Free();

  uint16_t GetValueA() const { return value_a_; }
  uint16_t GetValueB() const { return value_b_; }
  // The frames with the closing record that ends the last entry.
  std::span<const AnimFrame> GetFrames() const { return frames_; }
  const AnimEntryTable& GetEntries() const { return entries_; }
  uint32_t GetPictureCount() const { return static_cast<uint32_t>(pictures_.size()); }
  // Null for a number outside the pictures.
  CImage* GetPicture(int32_t number) const;

 private:
  uint32_t ReadPictures(std::span<const uint8_t> file, ByteReader& reader, bool keep_depth);

  uint16_t value_a_ = 0;
  uint16_t value_b_ = 0;
  std::vector<AnimFrame> frames_;
  AnimEntryTable entries_;
  std::vector<std::unique_ptr<CImage>> pictures_;
};

// The closing record that the readers append to every frame table.
inline constexpr AnimFrame kClosingAnimFrame{{0xFFFFFFFF, 0xFFFFFFFF, 0, 0}};

// Reads `count` frame records; nothing when fewer bytes are left than they need.
bool ReadAnimFrames(ByteReader& reader, uint32_t count, std::vector<AnimFrame>& frames);
