// Runs the kelrender program as a child process and collects what it says.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "KelTestEnv.h"

namespace kelrendertest {

struct Outcome {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs kelrender with `args`; its standard streams go through files in the
// test output directory.
inline Outcome RunKelrender(const std::vector<std::string>& args) {
  static int run = 0;
  const std::string stem = keltest::OutputPath("kelrender-run-" + std::to_string(getpid()) + "-" +
                                               std::to_string(++run));
  const std::string outPath = stem + ".out", errPath = stem + ".err";
  std::vector<std::string> words{KEL_KELRENDER_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);

  Outcome outcome;
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (pid < 0) return outcome;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  outcome.out = ReadText(outPath);
  outcome.err = ReadText(errPath);
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return outcome;
}

}  // namespace kelrendertest
