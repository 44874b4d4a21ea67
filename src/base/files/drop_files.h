// The queue of files dropped onto the main window, which the scripts read and clear. The drop
// arrives on the window's thread while the scripts may read on the game thread, so every
// operation takes the queue's lock. A drop that comes while paths of an earlier one are still
// queued is refused and its files are lost.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/threads/critical_section.h"
#include "platform/events/dropped_files.h"
#include "platform/events/window_messages.h"

class CDropFiles {
 public:
  static constexpr int kTaken = 0;
  static constexpr int kRefused = -1;

  virtual ~CDropFiles() = default;

  // Lets the window receive drops (flag non-zero) or not.
  void Accept(plat::WindowId window, uint32_t flag);
  // The WM_DROPFILES handler: queues the drop's paths in their order and finishes the drop.
  int OnDropFiles(plat::DropHandle drop);
  // A copy of queued path `index`; nothing outside the queue.
  std::optional<std::string> GetFile(int32_t index);
  uint32_t GetCount();
  void Clear();
  uint32_t GetAcceptFlag();

 private:
  uint32_t accept_flag_ = 0;
  std::vector<std::string> queue_;
  CCriticalSection lock_;
};
