#include "KelChildProcess.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "KelTestEnv.h"

namespace keltest {

namespace {

std::string TakeText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  ::unlink(path.c_str());
  return text.str();
}

void Limit(int resource, long long bytes) {
  if (bytes <= 0) return;
  struct rlimit r;
  r.rlim_cur = r.rlim_max = static_cast<rlim_t>(bytes);
  ::setrlimit(resource, &r);
}

}  // namespace

ChildOutcome RunChild(const std::vector<std::string>& args, const ChildLimits& limits) {
  static int run = 0;
  const std::string stem =
      OutputPath("child-" + std::to_string(::getpid()) + "-" + std::to_string(++run));
  const std::string outPath = stem + ".out", errPath = stem + ".err";
  std::vector<std::string> words = args;
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);

  ChildOutcome outcome;
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) ::_exit(127);
    ::dup2(out, 1);
    ::dup2(err, 2);
    Limit(RLIMIT_AS, limits.addressSpace);
    if (limits.fileSize > 0) {
      std::signal(SIGXFSZ, SIG_IGN);  // stays ignored across exec: writes fail instead
      Limit(RLIMIT_FSIZE, limits.fileSize);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (pid < 0) return outcome;
  int status = 0;
  struct rusage usage = {};
  if (::wait4(pid, &status, 0, &usage) == pid) {
    if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    outcome.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                         1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    outcome.maxResidentKB = usage.ru_maxrss;
  }
  outcome.out = TakeText(outPath);
  outcome.err = TakeText(errPath);
  return outcome;
}

}  // namespace keltest
