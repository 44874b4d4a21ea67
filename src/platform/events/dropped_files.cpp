#include "platform/events/dropped_files.h"

#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace plat {
namespace {

class DropStore {
 public:
  void SetAccepting(WindowId window, bool accept) {
    std::lock_guard guard(lock_);
    if (accept) {
      accepting_.insert(window);
    } else {
      accepting_.erase(window);
    }
  }

  bool IsAccepting(WindowId window) const {
    std::lock_guard guard(lock_);
    return accepting_.count(window) != 0;
  }

  DropHandle Add(std::vector<std::string> paths) {
    std::lock_guard guard(lock_);
    do {
      ++last_handle_;
    } while (last_handle_ == 0 || drops_.count(last_handle_) != 0);
    drops_.emplace(last_handle_, std::move(paths));
    return last_handle_;
  }

  uint32_t Count(DropHandle drop) const {
    std::lock_guard guard(lock_);
    auto found = drops_.find(drop);
    return found != drops_.end() ? static_cast<uint32_t>(found->second.size()) : 0;
  }

  std::optional<std::string> Path(DropHandle drop, uint32_t index) const {
    std::lock_guard guard(lock_);
    auto found = drops_.find(drop);
    if (found == drops_.end() || index >= found->second.size()) return std::nullopt;
    return found->second[index];
  }

  void Remove(DropHandle drop) {
    std::lock_guard guard(lock_);
    drops_.erase(drop);
  }

 private:
  mutable std::mutex lock_;
  std::set<WindowId> accepting_;
  std::map<DropHandle, std::vector<std::string>> drops_;
  DropHandle last_handle_ = 0;
};

DropStore& Store() {
  static DropStore store;
  return store;
}

}  // namespace

void DragAcceptFiles(WindowId window, bool accept) { Store().SetAccepting(window, accept); }

bool AcceptsDroppedFiles(WindowId window) { return Store().IsAccepting(window); }

DropHandle RegisterDrop(std::vector<std::string> paths) { return Store().Add(std::move(paths)); }

uint32_t DragQueryFileCount(DropHandle drop) { return Store().Count(drop); }

std::optional<std::string> DragQueryFile(DropHandle drop, uint32_t index) { return Store().Path(drop, index); }

void DragFinish(DropHandle drop) { Store().Remove(drop); }

}  // namespace plat
