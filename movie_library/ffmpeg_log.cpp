#include "ffmpeg_log.h"

extern "C" {
#include <libavutil/log.h>
}

#include <atomic>
#include <cstdarg>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/files/movie_library_abi.h"

namespace {

std::atomic<KvxLogFunc> g_sink{nullptr};
std::mutex g_last_lock;
std::string g_last_line;

// Keeps warnings and errors and drops the informative and per-frame levels; a message that
// repeats the one before it (a damaged stream gives the same one for every packet) is dropped.
void ForwardToEngine(void* context, int level, const char* format, va_list arguments) {
  if (level > AV_LOG_WARNING) return;
  const KvxLogFunc sink = g_sink.load();
  if (sink == nullptr) return;
  char line[1024];
  int print_prefix = 1;
  va_list copy;
  va_copy(copy, arguments);
  av_log_format_line2(context, level, format, copy, line, sizeof line, &print_prefix);
  va_end(copy);
  std::size_t length = std::strlen(line);
  while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) line[--length] = '\0';
  if (length == 0) return;
  {
    const std::lock_guard guard(g_last_lock);
    if (g_last_line == line) return;
    g_last_line = line;
  }
  sink(line);
}

// FFmpeg keeps its callback process-wide: a library that goes leaves it silent, never pointing
// into unloaded code.
struct SilenceAtUnload {
  ~SilenceAtUnload() { av_log_set_callback(nullptr); }
} g_silence_at_unload;

}  // namespace

void RouteFfmpegLog() { av_log_set_callback(&ForwardToEngine); }

void SetFfmpegLogSink(KvxLogFunc sink) {
  g_sink.store(sink);
  RouteFfmpegLog();
}
