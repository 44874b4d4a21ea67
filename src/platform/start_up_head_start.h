// The program's head start on work that its first frame needs but that waits on nothing of the
// window system: the code page tables and fontconfig's start. While the main thread starts the
// window system, a thread of its own does that work; whoever needs either meanwhile waits there
// for it (each is made once, by whoever asks first), so nothing changes but the time it takes.
#pragma once

#include <thread>

namespace plat {

class StartUpHeadStart {
 public:
  StartUpHeadStart();
  // Waits until the work is done.
  ~StartUpHeadStart();
  StartUpHeadStart(const StartUpHeadStart&) = delete;
  StartUpHeadStart& operator=(const StartUpHeadStart&) = delete;

 private:
  std::thread thread_;
};

}  // namespace plat
