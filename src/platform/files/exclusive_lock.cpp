#include "platform/files/exclusive_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/files/descriptor_copy.h"
#include "platform/files/file_identity.h"
#include "platform/files/host_path.h"
#include "platform/system/diagnostic_log.h"

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;

// A wait this long is told in the log.
constexpr auto kLongWait = std::chrono::seconds(1);
// The pauses between looks at the lock grow to this.
constexpr auto kLongestPause = std::chrono::milliseconds(50);
// How long a holder is waited for whose end cannot be seen from here (a process of another
// machine): a copy takes seconds, so one still held after this was left by a machine that
// stopped in the middle, and the player is told to remove it.
constexpr auto kUnseenHolderWait = std::chrono::minutes(1);
// A holder writes its record the moment it has made the file: one without a whole record for
// this long was left by a process that ended in between.
constexpr auto kUnwrittenHolderWait = std::chrono::seconds(2);

constexpr std::string_view kHolderSuffix = ".held";
constexpr std::string_view kEndedHolderSuffix = ".ended";
// In a record in place of a machine's name or start that cannot be read: a holder of such a
// record is never taken for one that has ended.
constexpr std::string_view kUnknown = "-";

int& LockFailure() {
  static int failure = 0;
  return failure;
}

bool IsUnsupported(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS; }

// The pauses of a wait for the lock, and the line that tells a long one.
class LockWait {
 public:
  explicit LockWait(std::string lock) : lock_(std::move(lock)) {}

  Clock::duration Waited() const { return Clock::now() - since_; }
  void Pause(const std::string& holder) {
    if (!told_ && Waited() >= kLongWait) {
      LogDiagnostic("waited a second for the lock " + lock_ + ", which " + holder + " holds; waiting on");
      told_ = true;
    }
    std::this_thread::sleep_for(pause_);
    pause_ = std::min<std::chrono::milliseconds>(pause_ * 2, kLongestPause);
  }

 private:
  std::string lock_;
  Clock::time_point since_ = Clock::now();
  std::chrono::milliseconds pause_{1};
  bool told_ = false;
};

// What a small file holds: a record, or one of the system's files about a process or the
// machine; empty when it cannot be read or is larger.
std::string ReadSmallFile(int fd) {
  const std::optional<std::vector<std::uint8_t>> bytes = ReadContents(fd, 4096);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::string ReadSystemFile(const std::string& path) {
  const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  return file.IsOpen() ? ReadSmallFile(file.get()) : std::string();
}

// When the process `pid` started, in clock ticks after the machine's start; nothing when it
// cannot be read (no such process).
std::optional<unsigned long long> StartOf(pid_t pid) {
  const std::string stat = ReadSystemFile("/proc/" + std::to_string(pid) + "/stat");
  // The name may hold anything and ends at the last ')'; after it come the state, the line's 3rd
  // field, and the others up to the start time, its 22nd.
  const std::size_t name_end = stat.rfind(')');
  if (name_end == std::string::npos) return std::nullopt;
  unsigned long long start = 0;
  const int read = std::sscanf(stat.c_str() + name_end + 1,
                               " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                               &start);
  if (read != 1) return std::nullopt;
  return start;
}

// A process as a holder file names it: what tells it from every other process there was, on
// this machine or another.
struct Holder {
  std::string host;
  std::string boot;  // the machine's start, which a process number is one of
  pid_t pid = 0;
  unsigned long long start = 0;
};

// A word of a record: no spaces nor line ends, never empty.
std::string RecordWord(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  const bool plain = !text.empty() && text.find_first_of(" \t\n") == std::string::npos;
  return plain ? text : std::string(kUnknown);
}

Holder ThisProcess() {
  char host[HOST_NAME_MAX + 1] = {};
  if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  return {RecordWord(host), RecordWord(ReadSystemFile("/proc/sys/kernel/random/boot_id")), ::getpid(),
          StartOf(::getpid()).value_or(0)};
}

std::string Record(const Holder& holder) {
  return "pid " + std::to_string(holder.pid) + "\nstart " + std::to_string(holder.start) + "\nboot " + holder.boot +
         "\nhost " + holder.host + "\n";
}

std::optional<Holder> ParseRecord(const std::string& text) {
  Holder holder;
  char boot[64] = {};
  char host[HOST_NAME_MAX + 1] = {};
  int pid = 0;
  // A record cut short (its writer ended in the middle) lacks the last line's end.
  if (text.empty() || text.back() != '\n' ||
      std::sscanf(text.c_str(), "pid %d\nstart %llu\nboot %63s\nhost %64s\n", &pid, &holder.start, boot, host) != 4 ||
      pid <= 0) {
    return std::nullopt;
  }
  holder.pid = pid;
  holder.boot = boot;
  holder.host = host;
  return holder;
}

std::string Describe(const Holder& holder) {
  return "process " + std::to_string(holder.pid) + " on " + holder.host;
}

enum class HolderState { kRunning, kEnded, kUnseen };

HolderState StateOf(const Holder& holder, const Holder& self) {
  if (holder.host != self.host || holder.host == kUnknown || holder.boot == kUnknown || self.boot == kUnknown) {
    return HolderState::kUnseen;
  }
  // The machine started again since: every process of its earlier run has ended.
  if (holder.boot != self.boot) return HolderState::kEnded;
  if (::kill(holder.pid, 0) != 0 && errno == ESRCH) return HolderState::kEnded;
  const std::optional<unsigned long long> start = StartOf(holder.pid);
  if (!start) return HolderState::kUnseen;
  // Another process has been given the number since.
  return *start == holder.start ? HolderState::kRunning : HolderState::kEnded;
}

// Moves the holder file at `path` of a process that has ended, the file `ended`, out of the way,
// and only that one: one that a start taking it over at the same time has made since goes back.
void RemoveEndedHolder(const std::string& path, const FileIdentity& ended) {
  const std::string aside = path + std::string(kEndedHolderSuffix);
  if (::rename(path.c_str(), aside.c_str()) != 0) return;
  if (IdentityOfEntry(AT_FDCWD, aside.c_str()) != ended && ::link(aside.c_str(), path.c_str()) != 0) {
    ::renameat2(AT_FDCWD, aside.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
  }
  ::unlink(aside.c_str());
}

bool WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return ::fsync(fd) == 0;
}

}  // namespace

std::string HolderFileName(std::string_view lock_name) { return std::string(lock_name) + std::string(kHolderSuffix); }

ExclusiveLock::ExclusiveLock(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) {
    error_ = ENOENT;
    return;
  }
  UniqueFd file(::open(host->c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
  if (!file.IsOpen()) {
    error_ = errno;
    return;
  }
  LockWait wait(*host);
  for (;;) {
    errno = LockFailure();
    const int locked = errno != 0 ? -1 : ::flock(file.get(), LOCK_EX | LOCK_NB);
    if (locked == 0) {
      fd_ = std::move(file);
      return;
    }
    if (errno == EINTR) continue;
    if (IsUnsupported(errno)) {
      LogDiagnostic("the file system of the lock " + *host + " keeps no locks (" + std::strerror(errno) +
                    "): the holder file " + HolderFileName(*host) + " stands in for it");
      TakeHolderFile(HolderFileName(*host));
      return;
    }
    if (errno != EWOULDBLOCK) {
      error_ = errno;
      return;
    }
    wait.Pause("another process");
  }
}

bool ExclusiveLock::TakeHolderFile(const std::string& path) {
  const Holder self = ThisProcess();
  LockWait wait(path);
  std::optional<FileIdentity> unwritten;
  Clock::time_point unwritten_since;
  for (;;) {
    UniqueFd made(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
    if (made.IsOpen()) {
      if (!WriteAll(made.get(), Record(self))) {
        error_ = errno;
        ::unlink(path.c_str());
        return false;
      }
      fd_ = std::move(made);
      holder_ = path;
      return true;
    }
    if (errno != EEXIST) {
      error_ = errno;
      return false;
    }
    const UniqueFd held(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    const std::optional<FileIdentity> identity = held.IsOpen() ? IdentityOf(held.get()) : std::nullopt;
    if (!identity) {
      // Given back since it was found: it is tried again.
      if (errno == ENOENT) continue;
      error_ = errno;
      return false;
    }
    const std::optional<Holder> holder = ParseRecord(ReadSmallFile(held.get()));
    if (!holder && unwritten != identity) {
      unwritten = identity;
      unwritten_since = Clock::now();
    }
    HolderState state = HolderState::kRunning;
    if (holder) {
      state = StateOf(*holder, self);
    } else if (Clock::now() - unwritten_since >= kUnwrittenHolderWait) {
      state = HolderState::kEnded;
    }
    if (state == HolderState::kEnded) {
      RemoveEndedHolder(path, *identity);
      continue;
    }
    if (state == HolderState::kUnseen && wait.Waited() >= kUnseenHolderWait) {
      LogDiagnostic("the lock " + path + " is still held by " + Describe(*holder) +
                    ", whose end cannot be seen from this machine; once it has ended, removing the file lets the "
                    "next start go on");
      error_ = EWOULDBLOCK;
      return false;
    }
    wait.Pause(holder ? Describe(*holder) : "a process that is making it");
  }
}

ExclusiveLock::~ExclusiveLock() {
  // Only its own: a start that took the file for one of an ended process has made its own since.
  if (!holder_.empty() && IdentityOfEntry(AT_FDCWD, holder_.c_str()) == IdentityOf(fd_.get())) {
    ::unlink(holder_.c_str());
  }
}

void SetLockFailureForTests(int error) { LockFailure() = error; }

}  // namespace plat
