// Runs checks in a child process whose mounts are its own: it takes a mount namespace of its own
// (in a user namespace of its own when the test does not run as root), so the folders it
// bind-mounts are seen by no other process and go with it. It reports through a pipe.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

struct OwnMountsRun {
  // Why the system gave the child no namespace or refused a mount, with the error's text (the
  // test skips then); empty when it did not.
  std::string refused;
  // The checks that failed in the child, one line each; empty when every one held.
  std::string failures;
};

// Bind-mounts each folder `first` at the existing folder `second` (host paths) in the child,
// then runs `checks` there, which answers the checks that failed.
OwnMountsRun RunWithBindMounts(const std::vector<std::pair<std::string, std::string>>& binds,
                               const std::function<std::string()>& checks);

}  // namespace test_support
