// The panel example as a user meets it: started, typed into with xdotool
// (real key events), and left by typing "quit".
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
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
  // `timeout` ends it should it hang (status 124).
  FILE* program = ::popen("timeout 30 " KEL_KELPANEL_PATH, "r");
  ASSERT_NE(program, nullptr);
  // xdotool waits for the window itself; `timeout` bounds the wait.
  const std::string window =
      Shell("timeout 30 xdotool search --sync --onlyvisible --name '^Kelvis panel$' | head -n 1");
  const std::string id = window.substr(0, window.find('\n'));
  // The focused window's first control is the name field: clear it, type.
  EXPECT_FALSE(window.empty() ||
               Shell("timeout 30 xdotool windowfocus --sync " + id +
                     " key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace "
                     "BackSpace BackSpace BackSpace type quit && xdotool key Return && echo ok")
                   .empty());
  std::string output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, program)) output += buffer;
  // Only the field's activation on "quit" ends it with status 0.
  const int status = ::pclose(program);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "; it printed:\n"
                                                             << output;
  // Nine erasures and four letters, each one change of the field.
  std::size_t changes = 0;
  for (std::size_t at = output.find("editor DLG_MODIFY"); at != std::string::npos;
       at = output.find("editor DLG_MODIFY", at + 1))
    ++changes;
  EXPECT_EQ(changes, 13u) << output;
}

}  // namespace
