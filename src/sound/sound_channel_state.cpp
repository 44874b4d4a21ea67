// The channel manager's saved state. Little-endian; a name is a count byte n and n bytes ending
// with the zero, or a single 0 byte for none:
//   i32 BGM pan, name BGM file, name BGM intro, i32 BGM volume, u8 BGM loop, i32 channel count,
//   per channel: u8 kind (0 none, 1 streamed, 2 whole), with a sound its name and u8 detail (the
//   whole sound's kept sample width), i32 volume, i32 pan, u8 looping, u8 class.
#include <algorithm>
#include <string_view>

#include "sound/sound_channel_manager.h"

namespace {

constexpr uint8_t kNoSound = 0;
constexpr uint8_t kStreamedSound = 1;
constexpr uint8_t kWholeSound = 2;
// The longest name a count byte can carry besides its zero.
constexpr std::size_t kLongestName = 254;
// A channel's bytes besides its name and detail.
constexpr uint32_t kChannelBytes = 11;
constexpr uint32_t kBgmBytes = 15;

std::string_view StoredName(const std::string& name) { return std::string_view(name).substr(0, kLongestName); }

uint32_t NameSize(const std::optional<std::string>& name) {
  return name ? static_cast<uint32_t>(StoredName(*name).size()) + 1 : 0;
}

void WriteName(ByteWriter& out, const std::optional<std::string>& name) {
  if (!name) {
    out.Byte(0);
    return;
  }
  const std::string_view text = StoredName(*name);
  out.Byte(static_cast<uint8_t>(text.size() + 1));
  out.Text(text);
  out.Byte(0);
}

// Nothing when the name runs past the data; an empty optional inside for none.
std::optional<std::optional<std::string>> ReadName(ByteReader& in) {
  const std::optional<uint8_t> size = in.Byte();
  if (!size) return std::nullopt;
  if (*size == 0) return std::optional<std::string>();
  const auto bytes = in.Bytes(*size);
  if (!bytes) return std::nullopt;
  return std::optional<std::string>(std::string(TextOfField(*bytes)));
}

std::optional<int32_t> ReadInt(ByteReader& in) {
  const std::optional<uint32_t> word = in.Word();
  if (!word) return std::nullopt;
  return static_cast<int32_t>(*word);
}

// The kind of sound a channel holds and its name.
uint8_t KindOf(const SoundChannel& record) {
  if (record.active == nullptr) return kNoSound;
  return record.IsStreamed() ? kStreamedSound : kWholeSound;
}

std::optional<std::string> NameOf(const SoundChannel& record) {
  return record.active != nullptr ? record.file : std::nullopt;
}

}  // namespace

struct CSoundChannelManager::SavedChannel {
  uint8_t kind = kNoSound;
  std::optional<std::string> name;
  uint8_t detail = 0;
  int32_t volume = 0;
  int32_t pan = 0;
  uint8_t looping = 0;
  uint8_t sound_class = 0;
};

struct CSoundChannelManager::SavedState {
  int32_t pan = 0;
  std::optional<std::string> file;
  std::optional<std::string> intro;
  int32_t volume = 0;
  uint8_t loop = 0;
  int32_t count = 0;
  std::vector<SavedChannel> channels;
};

uint32_t CSoundChannelManager::GetSaveSize() const {
  const BgmSlot& slot = bgm_[current_bgm_];
  uint32_t size = kBgmBytes + NameSize(slot.file) + NameSize(slot.intro);
  for (const auto& record : channels_) {
    size += kChannelBytes;
    if (const std::optional<std::string> name = NameOf(*record)) size += NameSize(name) + 2;
  }
  return size;
}

uint32_t CSoundChannelManager::SaveState(ByteWriter& out) const {
  const BgmSlot& slot = bgm_[current_bgm_];
  out.Word(static_cast<uint32_t>(bgm_pan_));
  WriteName(out, slot.file);
  WriteName(out, slot.intro);
  out.Word(static_cast<uint32_t>(slot.volume));
  out.Byte(slot.loop ? 1 : 0);
  out.Word(static_cast<uint32_t>(channels_.size()));
  for (const auto& record : channels_) {
    const uint8_t kind = KindOf(*record);
    out.Byte(kind);
    if (kind != kNoSound) {
      WriteName(out, NameOf(*record));
      out.Byte(kind == kWholeSound ? record->buffer.GetSampleWidth() : 0);
    }
    out.Word(static_cast<uint32_t>(record->volume));
    out.Word(static_cast<uint32_t>(record->pan));
    out.Byte(record->play_state == SoundChannel::kPlayedLooped ? 1 : 0);
    out.Byte(record->sound_class);
  }
  return 0;
}

std::optional<CSoundChannelManager::SavedState> CSoundChannelManager::ParseState(ByteReader& in) {
  SavedState state;
  const auto pan = ReadInt(in);
  auto file = ReadName(in);
  auto intro = file ? ReadName(in) : std::nullopt;
  const auto volume = ReadInt(in);
  const auto loop = in.Byte();
  const auto count = ReadInt(in);
  if (!pan || !intro || !volume || !loop || !count || *count < 0) return std::nullopt;
  // Every channel takes at least kChannelBytes, so a count beyond the data is damage.
  if (static_cast<uint64_t>(*count) > in.Left() / kChannelBytes) return std::nullopt;
  state = {*pan, std::move(*file), std::move(*intro), *volume, *loop, *count, {}};
  state.channels.reserve(static_cast<std::size_t>(*count));
  for (int32_t i = 0; i < *count; ++i) {
    SavedChannel channel;
    const auto kind = in.Byte();
    if (!kind || *kind > kWholeSound) return std::nullopt;
    channel.kind = *kind;
    if (channel.kind != kNoSound) {
      auto name = ReadName(in);
      const auto detail = name ? in.Byte() : std::nullopt;
      if (!detail || !*name) return std::nullopt;
      channel.name = std::move(*name);
      channel.detail = *detail;
    }
    const auto channel_volume = ReadInt(in);
    const auto channel_pan = ReadInt(in);
    const auto looping = in.Byte();
    const auto sound_class = in.Byte();
    if (!channel_volume || !channel_pan || !looping || !sound_class) return std::nullopt;
    channel.volume = *channel_volume;
    channel.pan = *channel_pan;
    channel.looping = *looping;
    channel.sound_class = *sound_class;
    state.channels.push_back(std::move(channel));
  }
  return state;
}

uint32_t CSoundChannelManager::RestoreState(ByteReader& in) {
  const std::optional<SavedState> state = ParseState(in);
  if (!state) return 1;

  StopBgm();
  SwapBgmSlot();
  StopBgm();
  bgm_pan_ = state->pan;
  SetBgmVolume(state->volume, -1, true);
  if (state->file) PlayBgm(state->file->c_str(), state->intro ? state->intro->c_str() : nullptr, state->loop != 0);

  SetChannelCount(state->count);
  const int32_t restored = std::min(state->count, GetChannelCount());
  for (int32_t i = 0; i < restored; ++i) {
    const SavedChannel& saved = state->channels[static_cast<std::size_t>(i)];
    SetChannelVolume(i, saved.volume, -1);
    SetChannelPan(i, saved.pan);
    if (saved.name) {
      // The load gives the channel its class's default level and volume 100.
      StopChannel(i);
      LoadChannel(i, saved.name->c_str(), saved.detail, saved.kind == kStreamedSound);
      if (saved.looping != 0) PlayChannel(i, true);
    } else {
      UnloadChannel(i);
    }
    channels_[static_cast<std::size_t>(i)]->sound_class = saved.sound_class;
  }
  return 0;
}
