// A lock that keeps a step which several starts of the engine may take at once to one start at a
// time: flock on a lock file, waited for while another process holds it. Where the file system
// keeps no flock locks (a network home without its lock service), a holder file beside the lock
// file stands in for it: made only where none is, it names the process that holds it, is waited
// for while that process runs, and is taken over once it has ended.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/unique_fd.h"

namespace plat {

class ExclusiveLock {
 public:
  // Takes the lock file at the engine path `engine_path`, made when missing (its folder must be
  // there), and waits for it while another process holds it; a wait of about a second is told
  // in the log. Holds nothing when the file cannot be opened or locked, or when the holder file
  // names a process on another machine that still holds it after a minute; Error then says why.
  explicit ExclusiveLock(std::string_view engine_path);
  // Removes the holder file it made.
  ~ExclusiveLock();
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  bool Holds() const { return fd_.IsOpen(); }
  // The errno of the failure when it holds nothing.
  int Error() const { return error_; }

 private:
  bool TakeHolderFile(const std::string& host_path);

  UniqueFd fd_;
  // The host path of the holder file when it holds the lock through one.
  std::string holder_;
  int error_ = 0;
};

// The name of the holder file beside the lock file `lock_name`.
std::string HolderFileName(std::string_view lock_name);

// For tests only: flock answers `error` (ENOLCK, say, as on a file system that keeps no locks)
// instead of locking; 0 (the default) lets it lock.
void SetLockFailureForTests(int error);

}  // namespace plat
