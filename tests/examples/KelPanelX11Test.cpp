// The panel example as a user meets it: started, typed into with xdotool
// (real key events), and left by typing "quit".
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "KelTestEnv.h"

namespace {

// Runs a shell command and answers its standard output, or "" on failure.
std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    if (::pclose(pipe) != 0) return "";
  }
  return out;
}

TEST(KelPanelExample, TypingQuitInTheNameFieldEndsItAfterReportingEachKey) {
  KEL_REQUIRE(keltest::HasDisplay(), "an X display");
  KEL_REQUIRE(!Shell("command -v xdotool").empty(), "xdotool");
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    ::execl(KEL_KELPANEL_PATH, "kelpanel", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  // xdotool waits for the window itself; `timeout` bounds the wait.
  const std::string window =
      Shell("timeout 30 xdotool search --sync --onlyvisible --name '^Kelvis panel$' | head -n 1");
  ASSERT_FALSE(window.empty());
  const std::string id = window.substr(0, window.find('\n'));
  // The focused window's first control is the name field: clear it, type.
  ASSERT_FALSE(Shell("timeout 30 xdotool windowfocus --sync " + id +
                     " key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace "
                     "BackSpace BackSpace BackSpace type quit && xdotool key Return && echo ok")
                   .empty());

  // Its output ends when it does; a time-out means it hangs.
  std::string output;
  bool ended = false;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end - std::chrono::steady_clock::now())
                          .count();
    pollfd p{out[0], POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) break;
    char buffer[512];
    const ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n <= 0) {
      ended = n == 0;
      break;
    }
    output.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(out[0]);
  int status = 0;
  if (!ended) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, &status, 0);
    FAIL() << "kelpanel did not end; it printed:\n" << output;
  }
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_NE(output.find("MotifObject DLG_CREATE"), std::string::npos) << output;
  // Nine erasures and four letters, each one change of the field.
  std::size_t changes = 0;
  for (std::size_t at = output.find("editor DLG_MODIFY"); at != std::string::npos;
       at = output.find("editor DLG_MODIFY", at + 1))
    ++changes;
  EXPECT_EQ(changes, 13u) << output;
  EXPECT_NE(output.find("editor DLG_ACTIVATE"), std::string::npos) << output;
}

}  // namespace
