#include "KelAppText.h"

#include <cctype>

namespace KelAppText {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Extension(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  const std::string::size_type dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return Lower(path.substr(dot + 1));
}

}  // namespace KelAppText
