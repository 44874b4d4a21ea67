#include "support/spawned_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "support/holds_within.h"

extern char** environ;

namespace test_support {

SpawnedProcess::SpawnedProcess(const std::vector<std::string>& arguments, const std::string& log,
                               const std::vector<std::string>& variables) {
  std::vector<std::string> environment = variables;
  for (char** each = environ; *each != nullptr; ++each) {
    const std::string variable = *each;
    const std::string name = variable.substr(0, variable.find('=') + 1);
    const bool replaced = std::any_of(variables.begin(), variables.end(),
                                      [&](const std::string& given) { return given.rfind(name, 0) == 0; });
    if (!replaced) environment.push_back(variable);
  }
  std::vector<char*> environment_pointers;
  for (std::string& variable : environment) environment_pointers.push_back(variable.data());
  environment_pointers.push_back(nullptr);
  std::vector<std::string> words = arguments;
  std::vector<char*> argument_pointers;
  for (std::string& word : words) argument_pointers.push_back(word.data());
  argument_pointers.push_back(nullptr);
  posix_spawn_file_actions_t output;
  posix_spawn_file_actions_init(&output);
  posix_spawn_file_actions_addopen(&output, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&output, STDOUT_FILENO, STDERR_FILENO);
  error_ = posix_spawnp(&pid_, words.front().c_str(), &output, nullptr, argument_pointers.data(),
                        environment_pointers.data());
  posix_spawn_file_actions_destroy(&output);
  if (error_ != 0) pid_ = -1;
}

SpawnedProcess::~SpawnedProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (!HoldsWithin(60, [this] { return waitpid(pid_, nullptr, WNOHANG) == pid_; })) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

std::optional<int> SpawnedProcess::EndedWithin(int seconds) {
  int status = 0;
  if (pid_ <= 0 || !HoldsWithin(seconds, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return std::nullopt;
  pid_ = -1;
  return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
}

}  // namespace test_support
