// movie_sync_report: writes a flash-and-beep clip in every container and codec pair that the
// movie library plays, plays each through the movie sprite, the movie library and the sound layer
// on a sound device mixed by hand (movie_sync_probe.h), and prints per clip how far each beep
// starts from its flash in the mixed output (minimum, median and maximum, in milliseconds;
// positive: the sound is late), the flashes and beeps counted, the beeps with silence inside, and
// the underruns and dropped sample frames that the movie's sound stream reported. Also after a
// pause and after a seek.
// Run from the build folder, where the movie libraries are.
//
//   movie_sync_report
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "base/files/path.h"
#include "gfx/images/pixel_library.h"
#include "movie_clip_writer.h"
#include "movie_sync_probe.h"
#include "platform/files/host_path.h"
#include "platform/files/special_folders.h"
#include "resource/archives/file_system.h"
#include "scene/movies/dshow_library.h"
#include "tool_usage.h"

namespace {

using kvxtools::MovieClipFormat;

constexpr int kFramesPerSecond = 25;
constexpr int kSeconds = 4;
constexpr int64_t kMillisecond = 10'000;

struct ReportCase {
  MovieClipFormat format;
  const char* what;
  kvxtools::MovieSyncPlan plan;
};

constexpr ReportCase kCases[] = {
    {MovieClipFormat::kMp4H264Aac, "", {}},
    {MovieClipFormat::kAviMpeg4Mp3, "", {}},
    {MovieClipFormat::kAsfWmv2Wma2, "", {}},
    {MovieClipFormat::kMpegMpeg1Mp2, "", {}},
    {MovieClipFormat::kAviMpeg4Pcm, "", {}},
    {MovieClipFormat::kMp4H264Aac, ", paused 1 s at 2 s", {2000 * kMillisecond, 1000}},
    {MovieClipFormat::kMpegMpeg1Mp2, ", paused 1 s at 2 s", {2000 * kMillisecond, 1000}},
    {MovieClipFormat::kMp4H264Aac, ", sought at 1 s to 2.3 s", {-1, 0, 1000 * kMillisecond, 2300 * kMillisecond}},
    {MovieClipFormat::kAsfWmv2Wma2, ", sought at 1 s to 2.3 s", {-1, 0, 1000 * kMillisecond, 2300 * kMillisecond}},
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "movie_sync_report: error: %s\n", message.c_str());
  return 1;
}

// Removes the folder and everything in it when the report ends.
struct FolderRemover {
  std::string folder;
  ~FolderRemover() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage =
      "usage: movie_sync_report\n"
      "  plays a flash-and-beep clip in each container and codec pair and prints how far each beep\n"
      "  stands from its flash\n";
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  if (argc != 1) return kvxtools::UsageError(kUsage);
  std::string folder_template = (std::filesystem::temp_directory_path() / "movie_sync_report.XXXXXX").string();
  if (mkdtemp(folder_template.data()) == nullptr) return Fail("no temporary folder");
  const FolderRemover remover{folder_template};
  const std::string folder = folder_template + "/";
  if (SetBaseFolder(plat::ToEnginePath(folder).c_str()) != 0) return Fail("the folder cannot be the data folder");
  CFileSystem files;
  CDShowLibrary library;
  const std::optional<std::string> program_folder = plat::ProgramFolder();
  if (!program_folder || !library.Load(program_folder->c_str(), kDShowSpriteLibrary)) {
    return Fail(std::string("no ") + kDShowSpriteLibrary.file_name + " next to this program");
  }
  CPixelLibrary pixel_library;
  SetPixelLib(&pixel_library);
  kvxtools::MovieSyncProbe probe(library, files);

  std::printf("| clip | flashes | beeps | beeps with a gap | sound after picture, ms (min / median / max) | underruns | "
              "dropped sample frames |\n");
  std::printf("|---|---|---|---|---|---|---|\n");
  int failures = 0;
  for (const ReportCase& report_case : kCases) {
    const std::string label = kvxtools::MovieClipFormatName(report_case.format) + report_case.what;
    kvxtools::MovieClipOptions options;
    options.format = report_case.format;
    options.frames = kSeconds * kFramesPerSecond;
    options.frames_per_second = kFramesPerSecond;
    options.flashes = true;
    const std::string name = "SYNC." + kvxtools::MovieClipExtension(report_case.format);
    std::string error;
    if (!kvxtools::WriteMovieClip(folder + name, options, error)) {
      std::printf("| %s | not written: %s | | | | | |\n", label.c_str(), error.c_str());
      continue;
    }
    const kvxtools::MovieSyncReport report = probe.Play(name.c_str(), folder + name, report_case.plan);
    std::printf("| %s | %d | %d | %d | %s | %u | %llu |\n", label.c_str(), report.flashes, report.beeps, report.broken_beeps,
                report.failure.empty() ? kvxtools::SummariseOffsets(report.offsets).c_str() : report.failure.c_str(),
                report.underruns, static_cast<unsigned long long>(report.dropped_frames));
    failures += report.failure.empty() ? 0 : 1;
  }
  SetPixelLib(nullptr);
  return failures == 0 ? 0 : 1;
}
