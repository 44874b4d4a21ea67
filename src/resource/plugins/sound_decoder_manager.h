// The sound-decoder host: holds the sound-decoder providers (the built-in Ogg Vorbis one and
// *.SLL plug-ins) in plug-in records and opens a sound file through the provider chosen by the
// file's extension, or through the first that accepts its contents.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "resource/plugins/plugin_host.h"
#include "resource/plugins/sound_decoder.h"

// The sound-decoder family of the plug-in scheme: *.SLL libraries.
struct SllFamily {
  using Decoder = CSoundDecoderProvider;
  static constexpr std::string_view kName = "Sll";
  static constexpr const char* kObjectEntry = "GetSllDecodeObject";
  static constexpr const char* kWildcard = "*.SLL";
  static void ReleaseDecoder(CSoundDecoderProvider* provider) { delete provider; }
};

class CSoundDecoderManager {
 public:
  static constexpr int kOpened = 0;
  static constexpr int kNoDecoder = 1;
  static constexpr int kFileFailed = 3;
  static constexpr int kNoMemory = 8;
  static constexpr int kUnexpected = 12;

  CSoundDecoderManager() = default;
  virtual ~CSoundDecoderManager();
  CSoundDecoderManager(const CSoundDecoderManager&) = delete;
  CSoundDecoderManager& operator=(const CSoundDecoderManager&) = delete;

  virtual void UnloadDecodersOfType(std::uint32_t type);
  virtual void UnloadDecoders();
  virtual unsigned RegisterDecoder(DecoderPtr<SllFamily> provider, const char* extensions, const char* type_string,
                                   std::uint32_t type, PluginAssistFunc assist, PluginAssistFunc2 assist2,
                                   PluginConfigFunc config);
  virtual unsigned LoadDecoderPlugin(const char* path);
  virtual int LoadDecoderPlugins(const char* folder);
  virtual CSoundDecoderProvider* FindDecoderByExtension(const char* file_name) const;
  virtual CSoundDecoderProvider* FindDecoderByType(std::uint32_t type) const;
  // A decoder for the sound file `name`, or null with the status in `error` (optional). Without
  // a file object the file is opened here: as a stream when `prefer_stream` is set and the
  // load-whole flag is off, else loaded whole; the decoder then holds the only reference to it.
  // A file object the caller gives is used as it is and stays the caller's.
  virtual RefPtr<CSoundDecoder> OpenSound(const char* name, CFile* file, bool prefer_stream, int* error);

  PluginAssistFunc2 GetAssistFunc2(std::uint32_t type) const { return providers_.GetAssistFunc2(type); }

  // Whether every sound file is loaded whole instead of opened as a stream.
  void SetLoadWhole(bool load_whole) { load_whole_ = load_whole; }
  bool IsLoadWhole() const { return load_whole_; }

 private:
  RefPtr<CSoundDecoder> Decode(const char* name, CFile& file) const;

  CPluginHost<SllFamily> providers_;
  std::atomic<bool> load_whole_ = false;
};

// The program's sound-decoder host, set by the application.
extern CSoundDecoderManager* g_SoundDecoderManager;
