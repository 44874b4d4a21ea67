// A program started in a process of its own for the life of an object, both its output streams
// in a log file: asked to end (SIGTERM) when the object ends, and killed when it has not ended a
// minute later.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace test_support {

class SpawnedProcess {
 public:
  // Starts `arguments[0]` (looked up in PATH) with the test's environment, `variables`
  // ("NAME=value") in place of or beside its own. Descriptors without close-on-exec are inherited.
  SpawnedProcess(const std::vector<std::string>& arguments, const std::string& log,
                 const std::vector<std::string>& variables = {});
  ~SpawnedProcess();
  SpawnedProcess(const SpawnedProcess&) = delete;
  SpawnedProcess& operator=(const SpawnedProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // The error number of a start that failed; 0 once started.
  int Error() const { return error_; }
  // Its exit status when it ended by itself within `seconds`; none otherwise.
  std::optional<int> EndedWithin(int seconds);

 private:
  pid_t pid_ = -1;
  int error_ = 0;
};

}  // namespace test_support
