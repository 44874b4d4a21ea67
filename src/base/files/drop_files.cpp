#include "base/files/drop_files.h"

#include "base/threads/lock_guard.h"

void CDropFiles::Accept(plat::WindowId window, uint32_t flag) {
  CLockGuard guard(lock_);
  accept_flag_ = flag;
  plat::DragAcceptFiles(window, flag != 0);
}

int CDropFiles::OnDropFiles(plat::DropHandle drop) {
  CLockGuard guard(lock_);
  if (!queue_.empty()) {
    plat::DragFinish(drop);
    return kRefused;
  }
  const uint32_t count = plat::DragQueryFileCount(drop);
  for (uint32_t index = 0; index < count; ++index) {
    if (auto path = plat::DragQueryFile(drop, index)) queue_.push_back(std::move(*path));
  }
  plat::DragFinish(drop);
  return kTaken;
}

std::optional<std::string> CDropFiles::GetFile(int32_t index) {
  CLockGuard guard(lock_);
  if (index < 0 || static_cast<std::size_t>(index) >= queue_.size()) return std::nullopt;
  return queue_[static_cast<std::size_t>(index)];
}

uint32_t CDropFiles::GetCount() {
  CLockGuard guard(lock_);
  return static_cast<uint32_t>(queue_.size());
}

void CDropFiles::Clear() {
  CLockGuard guard(lock_);
  queue_.clear();
}

uint32_t CDropFiles::GetAcceptFlag() {
  CLockGuard guard(lock_);
  return accept_flag_;
}
