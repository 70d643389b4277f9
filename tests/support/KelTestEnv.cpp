#include "KelTestEnv.h"

#include <sys/stat.h>

namespace keltest {

std::string OutputPath(const std::string& name) {
  std::string dir = KEL_TEST_OUTPUT_DIR;
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
    dir += "/";
    dir += info->test_suite_name();
    dir += ".";
    dir += info->name();
    for (char& c : dir)
      if (c == '/' && &c > dir.data() + std::char_traits<char>::length(KEL_TEST_OUTPUT_DIR))
        c = '_';
    ::mkdir(dir.c_str(), 0755);
  }
  return dir + "/" + name;
}

// Anchors the support library; the helpers themselves are inline.
bool HasDisplay() {
  return std::getenv("DISPLAY") != nullptr;
}
}  // namespace keltest
