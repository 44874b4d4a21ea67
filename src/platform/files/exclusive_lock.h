// A lock file held with flock, waited for while another process holds it: what keeps a step
// that several starts of the engine may take at once to one start at a time.
#pragma once

#include <string_view>

#include "platform/files/unique_fd.h"

namespace plat {

class ExclusiveLock {
 public:
  // Takes the lock file at the engine path `engine_path`, made when missing (its folder must be
  // there), and waits for it while another process holds it. Holds nothing when the file cannot
  // be opened or locked; errno then says why.
  explicit ExclusiveLock(std::string_view engine_path);

  bool Holds() const { return fd_.IsOpen(); }

 private:
  UniqueFd fd_;
};

}  // namespace plat
