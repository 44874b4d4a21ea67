#include "sound/bgm_track.h"

#include <cstdio>
#include <memory>

#include "base/files/data_file_layer.h"
#include "base/files/path.h"
#include "sound/bgm_fade_tasks.h"
#include "sound/fade_task_start.h"
#include "sound/sound_channel_manager.h"

int32_t g_CurrentBgm = 0;

namespace {

struct TrackFiles {
  char file[kMaxPath] = {};
  char intro[kMaxPath] = {};
  bool has_intro = false;
};

TrackFiles LocateTrack(int32_t track) {
  TrackFiles files;
  char name[kMaxPath];
  std::snprintf(name, sizeof name, "BGM\\BGM%02d.OGG", track);
  if (g_DataFiles != nullptr && g_DataFiles->LocateFile(files.file, name, nullptr) <= 0) return files;
  std::snprintf(files.file, sizeof files.file, "BGM\\BGM%02dB.OGG", track);
  std::snprintf(files.intro, sizeof files.intro, "BGM\\BGM%02dA.OGG", track);
  files.has_intro = true;
  return files;
}

int32_t StartTrack(int32_t track, uint32_t fade_time, bool loop) {
  const TrackFiles files = LocateTrack(track);
  const char* intro = files.has_intro ? files.intro : nullptr;
  if (fade_time == 0) return g_SoundChannels->PlayBgm(files.file, intro, loop);
  if (g_CurrentBgm == 0) {
    return StartFadeTask(std::make_unique<CBgmFadeInTask>(fade_time), g_SoundChannels, &g_SoundChannels->CurrentBgm(),
                     files.file, intro, loop);
  }
  return StartFadeTask(std::make_unique<CBgmCrossFadeTask>(fade_time, fade_time), g_SoundChannels, files.file, intro,
                   loop, -1);
}

}  // namespace

uint32_t PlayBgmTrack(int32_t track, uint32_t fade_time, bool loop) {
  if (g_SoundChannels == nullptr) return 0;
  if (track == g_CurrentBgm) {
    if (track == 0) g_SoundChannels->StopBgm();
    return 0;
  }
  if (track == 0) {
    g_CurrentBgm = 0;
    if (fade_time == 0) {
      g_SoundChannels->StopBgm();
    } else {
      StartFadeTask(std::make_unique<CBgmFadeOutTask>(fade_time), g_SoundChannels, &g_SoundChannels->CurrentBgm());
    }
    return 0;
  }
  const int32_t status = StartTrack(track, fade_time, loop);
  if (status > 0) return fade_time == 0 ? 1 : 0;
  g_CurrentBgm = track;
  return 0;
}
