// Small text helpers of the applications.
#pragma once

#include <string>

namespace KelAppText {
std::string Lower(std::string text);
// The extension of a file's name, in lower case, without the dot; empty when
// the name has none.
std::string Extension(const std::string& path);
}  // namespace KelAppText
