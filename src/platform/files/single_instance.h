// One running instance of a program per user: a lock file held with flock while the first
// instance runs, and beside it a socket on which a later instance asks the first one to come
// to the front before it ends. The thread that answers those requests starts apart from the
// claim, once the program may start threads (a request made before it waits on the socket).
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace plat {

// The user's folder for locks and sockets: XDG_RUNTIME_DIR, else a folder of the user's own under
// /tmp, made when missing; empty when no such folder can be had.
std::string RuntimeFolder();

class SingleInstance {
 public:
  enum class Claim { kFirst, kAnotherRuns, kUnavailable };

  SingleInstance() = default;
  ~SingleInstance() { Release(); }
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock file at the host path `lock_path`. kFirst: this instance holds it, and, once
  // StartAnswering was called, `on_front_request` runs (on a thread of its own) for each request
  // of a later instance; kAnotherRuns: another instance holds it and has been asked to come to the
  // front; kUnavailable: the lock file cannot be made, and nothing is held.
  Claim Take(const std::string& lock_path, std::function<void()> on_front_request);
  // Starts answering the requests, those made since Take first; nothing without a socket or when
  // answering already.
  void StartAnswering();
  // Lets the lock go; a later instance then becomes the first.
  void Release();
  bool Holds() const { return lock_fd_ >= 0; }

 private:
  void Listen();

  int lock_fd_ = -1;
  int listen_fd_ = -1;
  std::atomic<bool> stopping_{false};
  std::function<void()> on_front_request_;
  std::thread listener_;
};

}  // namespace plat
