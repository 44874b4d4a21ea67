// "bg_anime": plays an animation-data file as the background of a canvas's layer. The file's
// frames are grouped into entries; a frame record either names a cell picture (by its place in
// the file's references, read from the cell folder) or is a command: the end of an entry, a mark,
// or a jump back to the mark. The cells of the entry that plays wait in one of two buffers of the
// effect's own background loader while the loader fetches the next entry's cells into the other.
// Cells are drawn into a frame image, which the layer shows as its background while the
// animation plays.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/files/async_file_loader.h"
#include "base/lifetime/ref_counted.h"
#include "base/lifetime/watched_ptr.h"
#include "effects/framework/effect.h"
#include "gfx/images/image.h"
#include "scene/animations/dad_file.h"
#include "scene/drawables/draw_layer.h"

class CBgAnimeEffect : public CEffect {
 public:
  static constexpr char kName[] = "bg_anime";
  static constexpr std::uint8_t kType = 0;
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupNoFrameImage = 2;
  static constexpr std::int32_t kSetupStartFailed = 3;
  static constexpr std::int32_t kSetupRefused = 4;
  // Commands of SetParam (command, a, b).
  static constexpr std::uint32_t kSelect = 0;  // entry a, frame b
  static constexpr std::uint32_t kStart = 1;
  static constexpr std::uint32_t kPause = 2;
  static constexpr std::uint32_t kResume = 3;
  static constexpr std::uint32_t kStop = 4;
  static constexpr std::uint32_t kStopAtMark = 5;  // the next jump goes on instead of back
  // Results of SetParam besides 0.
  static constexpr std::int32_t kNoFile = 1;
  static constexpr std::int32_t kUnknownCommand = 2;
  static constexpr std::int32_t kNotInThisState = 3;
  static constexpr std::int32_t kFrameNotShown = 4;
  // Queries of GetParam (query).
  static constexpr std::uint32_t kQueryState = 0;
  static constexpr std::uint32_t kQueryLooping = 1;  // a mark is set and no stop at it pending
  static constexpr std::uint32_t kQueryEntry = 2;
  static constexpr std::uint32_t kQueryFrame = 3;
  static constexpr std::uint32_t kQueryNextMark = 4;         // in the current entry
  static constexpr std::uint32_t kQueryNextMarkedEntry = 5;  // after the current entry
  // States.
  static constexpr std::uint8_t kStopped = 0;
  static constexpr std::uint8_t kPlaying = 1;
  static constexpr std::uint8_t kPaused = 2;
  static constexpr std::uint8_t kPrepared = 255;
  // Update's result that ends the effect: a command record of unknown value, or marks and jumps
  // that go round without a cell between them.
  static constexpr std::uint32_t kBadRecord = 3;
  // A delay longer than this is not caught up: the next frame follows.
  static constexpr std::uint32_t kForgottenDelayMs = 1000;

  CBgAnimeEffect() = default;
  // Takes the frame image out of the layer's background when it is there.
  ~CBgAnimeEffect() override;

  std::uint32_t GetTypeId() const override { return kTimedTaskDrawObject; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // Target: the canvas part whose layer shows the animation. Arguments: the animation-data file
  // (CDadFile, held while the effect lives), the cell folder text, the start entry (negative:
  // none selected), the start frame, the loop flag, the start flag (start at once).
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // (command, a, b): 0, or a result above.
  std::int32_t SetParam(const PluginArgs& args) override;
  // (query): the answer; -1 for an unknown query or where there is none.
  std::int32_t GetParam(const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  // Stops the animation (command 4) for good: the effect lets go of the layer.
  void Stop() override;
  bool UsesResource(const void* resource) const override { return resource == file_.get(); }

  // The assist function: its first word switches catching up on (non-zero) or off for every
  // "bg_anime": late updates then skip the frames whose time has passed. 0.
  static std::int32_t Assist(const PluginArgs* args);
  static bool CatchesUp() { return catch_up_; }

  const CImage& GetFrameImage() const { return frame_image_; }

 private:
  // The cells of one entry: the names asked of the loader, each once, and for each frame of the
  // entry the place of its cell among them (-1: no cell).
  struct CellBuffer {
    std::int32_t entry = -1;
    std::vector<std::string> names;
    std::vector<std::int32_t> cell_of_frame;
  };
  // What stepping to the next cell found.
  enum class Step { kCell, kStopped, kBadRecord };

  void OnResumed(std::uint32_t paused_span) override { frame_time_ += paused_span; }

  std::int32_t Select(std::int32_t entry, std::int32_t frame);
  std::int32_t Start();
  void StopPlaying();

  // From the current frame on to the first cell record, performing the command records met.
  Step FindCell();
  // The next frame, then FindCell.
  Step StepToNextCell();
  // Performs the command record of the current frame; false for an unknown value.
  bool PerformCommand(std::int32_t value);
  // Draws the current frame's cell into the frame image: false when it cannot be had or decoded.
  bool DrawCell();
  // The current frame's wait in ms (0: it waits for ever).
  std::uint32_t Wait() const;

  // Makes `entry` the current entry with its cells in the active buffer, and asks for the cells
  // of the entry that follows it into the other buffer.
  void EnterEntry(std::int32_t entry);
  // Asks the loader for the cells of `entry` into buffer `buffer`.
  void LoadCells(std::size_t buffer, std::int32_t entry);
  // The entry that plays after `entry`: the next one, entry 0 after the last with the loop flag,
  // else -1.
  std::int32_t EntryAfter(std::int32_t entry) const;
  std::int32_t EntryCount() const { return static_cast<std::int32_t>(file_->GetEntryCount()); }
  const AnimFrame& Frame(std::int32_t frame) const { return file_->GetFrames()[static_cast<std::size_t>(frame)]; }
  std::int32_t FrameCount() const { return static_cast<std::int32_t>(file_->GetFrames().size()); }
  bool FindsMark(std::int32_t from, std::int32_t end) const;

  void ShowFrameImage();
  void TakeOutFrameImage();

  static inline bool catch_up_ = false;

  // Null once the canvas ends (or the effect is stopped): the effect then ends at its next step.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
  RefPtr<CDadFile> file_;
  CImage frame_image_;
  CAsyncFileLoader loader_;
  std::string folder_;
  // Loader entries per buffer: the longest entry's length.
  std::uint16_t buffer_size_ = 0;
  std::array<CellBuffer, 2> buffers_;
  std::size_t active_ = 0;
  std::int32_t entry_ = 0;
  std::int32_t frame_ = 0;
  std::int32_t target_ = -1;
  std::uint8_t state_ = kStopped;
  bool stop_at_target_ = false;
  bool loop_ = false;
  bool restart_timing_ = false;
  std::uint32_t frame_time_ = 0;
};
