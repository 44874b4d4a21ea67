// The built program, started on a copy of the demo as a player starts it, ended from outside by
// a request to end the program (SIGTERM, as a log-off sends it) at moments of the opening movie.
// It ends with status 0 and, built with the sanitizers, without a report of theirs: no paint into
// the window that went, no leak of what the movie libraries loaded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "demo_game_copy.h"

namespace {

class DemoProgramGuiTest : public DemoGameCopyTest {
 protected:
  // Starts the program on the game's copy, asks it to end after `milliseconds` and waits for its
  // end: its wait status; `printed` what it wrote on both streams.
  int RunAndEnd(int milliseconds, std::string& printed) {
    const std::string program = std::string(std::getenv("KESTRUNE_TOOLS_DIR")) + "/kestrune";
    const std::string argument = "/L" + game_.HostPath();
    const std::string log = game_.HostPath() + "printed.log";
    const pid_t child = fork();
    if (child == 0) {
      const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
      execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    std::ifstream stream(log);
    std::stringstream text;
    text << stream.rdbuf();
    printed = text.str();
    return status;
  }
};

TEST_F(DemoProgramGuiTest, ARequestToEndDuringTheOpeningMovieEndsTheProgramCleanly) {
  for (const int milliseconds : {1500, 3000, 5000}) {
    SCOPED_TRACE("SIGTERM after " + std::to_string(milliseconds) + " ms");
    std::string printed;
    const int status = RunAndEnd(milliseconds, printed);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "\n" << printed;
    EXPECT_EQ(WEXITSTATUS(status), 0) << printed;
    EXPECT_EQ(printed.find("Sanitizer"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("runtime error"), std::string::npos) << printed;
  }
}

}  // namespace
