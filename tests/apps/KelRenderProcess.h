// Runs the kelrender program as a child process.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "KelChildProcess.h"

#if defined(__SANITIZE_ADDRESS__)
#define KEL_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEL_TEST_SANITIZED 1
#endif
#endif

namespace kelrendertest {

// Sanitizers reserve terabytes of address space: no limit can be put on it,
// in the test or in kelrender.
#ifdef KEL_TEST_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

inline keltest::ChildOutcome RunKelrender(std::vector<std::string> args,
                                          const keltest::ChildLimits& limits = {}) {
  if (kSanitized) {
    // This LeakSanitizer misreads the dynamic thread-local storage that
    // Mesa's threads leave at exit and crashes: kelrender's leaks are looked
    // for without scanning it.
    const char* options = std::getenv("LSAN_OPTIONS");
    const std::string all = options ? options : "";
    if (all.find("use_tls") == std::string::npos)
      setenv("LSAN_OPTIONS", (all + (all.empty() ? "" : ":") + "use_tls=0").c_str(), 1);
  }
  args.insert(args.begin(), KEL_KELRENDER_PATH);
  return keltest::RunChild(args, limits);
}

}  // namespace kelrendertest
