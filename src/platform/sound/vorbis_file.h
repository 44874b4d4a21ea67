// A Vorbis stream decoded to PCM by the Vorbis library, reading its bytes through a source the
// engine supplies (so that archive entries decode as well as loose files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace plat {

// Where a VorbisFile reads its bytes from. Seek takes SEEK_SET/SEEK_CUR/SEEK_END and returns 0
// or -1; Tell returns the position or -1.
class VorbisSource {
 public:
  virtual ~VorbisSource() = default;
  virtual std::size_t ReadBytes(void* buffer, std::size_t bytes) = 0;
  virtual int SeekBytes(std::int64_t offset, int whence) = 0;
  virtual std::int64_t TellBytes() = 0;
};

class VorbisFile {
 public:
  VorbisFile();
  VorbisFile(const VorbisFile&) = delete;
  VorbisFile& operator=(const VorbisFile&) = delete;
  ~VorbisFile();

  // Opens the stream on `source`, which must outlive this object: true when it is Vorbis.
  bool Open(VorbisSource& source);
  bool IsSeekable();
  int GetChannels();
  std::int64_t GetRate();
  std::int64_t GetPcmTotal();  // sample frames, or negative
  double GetTimeTotal();       // seconds, or negative
  std::int64_t GetRawTell();
  double GetTimeTell();
  // 0, or the library's negative error.
  int SeekPcm(std::int64_t frame);
  int SeekTime(double seconds);
  // Up to `bytes` of interleaved signed 16-bit little-endian PCM: the bytes written, 0 at the
  // end of the stream, or the library's negative error.
  long ReadPcm16(void* buffer, int bytes);

 private:
  struct State;
  std::unique_ptr<State> state_;
  bool open_ = false;
};

}  // namespace plat
