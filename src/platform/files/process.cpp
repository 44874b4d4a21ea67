#include "platform/files/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"

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

bool Spawn(std::vector<std::string> arguments, bool search_path, ProcessWait wait) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const int failed = search_path ? posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ)
                                 : posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ);
  if (failed != 0) return false;
  if (wait == ProcessWait::kUntilExit) {
    WaitFor(child);
  } else {
    std::thread([child] { WaitFor(child); }).detach();
  }
  return true;
}

}  // namespace

bool StartProgram(std::string_view engine_program, const std::vector<std::string>& arguments, ProcessWait wait) {
  const std::optional<std::string> program = ToHostPath(engine_program);
  if (!program) return false;
  std::vector<std::string> words{*program};
  for (const std::string& argument : arguments) words.push_back(SjisToUtf8(argument));
  return Spawn(std::move(words), false, wait);
}

bool OpenWithDesktop(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return false;
  return Spawn({"xdg-open", *host}, true, ProcessWait::kNone);
}

bool OpenWebAddress(std::string_view address) {
  // Anything else would let a game's settings open local files or programs.
  if (!address.starts_with("http://") && !address.starts_with("https://")) return false;
  return Spawn({"xdg-open", std::string(address)}, true, ProcessWait::kNone);
}

}  // namespace plat
