#include "platform/sound/vorbis_file.h"

#include <vorbis/vorbisfile.h>

#include <climits>
#include <cstring>

#include "platform/files/on_demand_library.h"

namespace plat {

namespace {

#define VORBIS_FILE_ENTRIES(X)                                                                                     \
  X(ov_open_callbacks) X(ov_clear) X(ov_seekable) X(ov_info) X(ov_pcm_total) X(ov_time_total) X(ov_raw_tell)      \
  X(ov_time_tell) X(ov_pcm_seek) X(ov_time_seek) X(ov_read)

struct VorbisFileEntries {
  VORBIS_FILE_ENTRIES(KVX_LIBRARY_ENTRY)
};

// Null when the library cannot be opened: no stream opens then.
const VorbisFileEntries* VorbisFileLibrary() {
  static OnDemandLibrary<VorbisFileEntries> library("libvorbisfile.so.3", {VORBIS_FILE_ENTRIES(KVX_LIBRARY_ENTRY_NAME)},
                                                    "Ogg Vorbis sounds are not played");
  return library.Get();
}

std::size_t ReadCallback(void* buffer, std::size_t size, std::size_t count, void* source) {
  if (source == nullptr || size == 0) return 0;
  return static_cast<VorbisSource*>(source)->ReadBytes(buffer, size * count) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
  if (source == nullptr) return -1;
  return static_cast<VorbisSource*>(source)->SeekBytes(offset, whence);
}

long TellCallback(void* source) {
  if (source == nullptr) return -1;
  return static_cast<long>(static_cast<VorbisSource*>(source)->TellBytes());
}

}  // namespace

struct VorbisFile::State {
  const VorbisFileEntries* library = nullptr;
  OggVorbis_File file;
};

VorbisFile::VorbisFile() : state_(std::make_unique<State>()) { std::memset(&state_->file, 0, sizeof(state_->file)); }

VorbisFile::~VorbisFile() {
  if (open_) state_->library->ov_clear(&state_->file);
}

bool VorbisFile::Open(VorbisSource& source) {
  state_->library = VorbisFileLibrary();
  if (state_->library == nullptr) return false;
  // The source stays the caller's: no close callback.
  const ov_callbacks callbacks{ReadCallback, SeekCallback, nullptr, TellCallback};
  open_ = state_->library->ov_open_callbacks(&source, &state_->file, nullptr, 0, callbacks) == 0;
  return open_;
}

bool VorbisFile::IsSeekable() { return open_ && state_->library->ov_seekable(&state_->file) != 0; }

int VorbisFile::GetChannels() {
  const vorbis_info* info = open_ ? state_->library->ov_info(&state_->file, -1) : nullptr;
  return info != nullptr ? info->channels : 0;
}

std::int64_t VorbisFile::GetRate() {
  const vorbis_info* info = open_ ? state_->library->ov_info(&state_->file, -1) : nullptr;
  return info != nullptr ? info->rate : 0;
}

std::int64_t VorbisFile::GetPcmTotal() { return open_ ? state_->library->ov_pcm_total(&state_->file, -1) : -1; }
double VorbisFile::GetTimeTotal() { return open_ ? state_->library->ov_time_total(&state_->file, -1) : -1; }
std::int64_t VorbisFile::GetRawTell() { return open_ ? state_->library->ov_raw_tell(&state_->file) : -1; }
double VorbisFile::GetTimeTell() { return open_ ? state_->library->ov_time_tell(&state_->file) : -1; }
int VorbisFile::SeekPcm(std::int64_t frame) {
  return open_ ? state_->library->ov_pcm_seek(&state_->file, frame) : OV_EINVAL;
}
int VorbisFile::SeekTime(double seconds) {
  return open_ ? state_->library->ov_time_seek(&state_->file, seconds) : OV_EINVAL;
}

long VorbisFile::ReadPcm16(void* buffer, int bytes) {
  if (!open_) return OV_EINVAL;
  int section = 0;
  return state_->library->ov_read(&state_->file, static_cast<char*>(buffer), bytes, 0, 2, 1, &section);
}

}  // namespace plat
