#include "platform/files/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/encoding/text_encoding.h"
#include "platform/files/elf_identity.h"
#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"

extern char** environ;

namespace plat {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

namespace {

void WaitFor(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

// `file` is what runs; the arguments' first word is only its name. Without `file` the first
// word is the program, looked up in PATH.
bool Spawn(std::vector<std::string> arguments, const char* file, ProcessWait wait) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const int failed = file == nullptr ? posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ)
                                     : posix_spawn(&child, file, nullptr, nullptr, argv.data(), environ);
  if (failed != 0) return false;
  if (wait == ProcessWait::kUntilExit) {
    WaitFor(child);
  } else {
    std::thread([child] { WaitFor(child); }).detach();
  }
  return true;
}

std::string DescriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

std::optional<ProgramFile> ProgramFile::Open(std::string_view engine_program) {
  const std::optional<std::string> program = ToHostPath(engine_program);
  if (!program) return std::nullopt;
  UniqueFd file(::open(program->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (!file.IsOpen() || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  std::optional<std::string> real = RealPathOfOpenFile(file.get());
  if (!real) return std::nullopt;
  return ProgramFile(std::move(file), *program, std::move(*real));
}

bool ProgramFile::IsNativeProgram() const { return plat::IsNativeProgram(file_.get()); }

// The system starts the file through its descriptor, which the child holds until the program
// replaces it: a file put at the path after the checks is not the one that runs.
bool ProgramFile::Start(const std::vector<std::string>& arguments, ProcessWait wait) const {
  std::vector<std::string> words{named_path_};
  for (const std::string& argument : arguments) words.push_back(SjisToUtf8(argument));
  return Spawn(std::move(words), DescriptorPath(file_.get()).c_str(), wait);
}

bool HasExecuteBit(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  struct stat status {};
  return host && ::stat(host->c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

bool WouldRunAsProgram(std::string_view engine_path) {
  if (HasExecuteBit(engine_path)) return true;
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return true;
  const UniqueFd file(::open(host->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (!file.IsOpen() || fstat(file.get(), &status) != 0) return true;
  if (S_ISDIR(status.st_mode)) return false;
  if (!S_ISREG(status.st_mode)) return true;
  std::string start(16, '\0');
  const ssize_t length = ::read(file.get(), start.data(), start.size());
  if (length < 0) return true;
  start.resize(static_cast<std::size_t>(length));
  // ELF programs, "#!" scripts, Windows programs and desktop launchers.
  for (std::string_view magic : {std::string_view("\x7F" "ELF"), std::string_view("#!"), std::string_view("MZ"),
                                 std::string_view("[Desktop Entry]")}) {
    if (start.starts_with(magic)) return true;
  }
  return false;
}

bool OpenWithDesktop(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return false;
  return Spawn({"xdg-open", *host}, nullptr, ProcessWait::kNone);
}

bool OpenWebAddress(std::string_view address) {
  // Anything else would let a game's settings open local files or programs.
  if (!address.starts_with("http://") && !address.starts_with("https://")) return false;
  return Spawn({"xdg-open", SjisToUtf8(address)}, nullptr, ProcessWait::kNone);
}

}  // namespace plat
