#include "KelMeshFileCheck.h"

#include "KelAppText.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using Count = unsigned long long;

bool ParseCount(const std::string& text, Count& value) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = std::stoull(text);
  return true;
}

// The announced elements must fit the bytes that follow the header, and the
// vertices and faces the limits.
struct Element {
  std::string name;
  Count count;
  Count minBytes;  // the smallest an element of this kind can be
};

bool CheckElements(const char* format, const std::vector<Element>& elements, Count dataBytes,
                   const KelMeshLimits& limits, std::string& error) {
  Count needed = 0;
  for (const Element& e : elements) {
    if (e.minBytes > 0 && e.count > (dataBytes - needed) / e.minBytes) {
      error = std::string("the ") + format + " header announces " + std::to_string(e.count) + " '" +
              e.name + "' elements of at least " + std::to_string(e.minBytes) +
              " bytes each, but only " + std::to_string(dataBytes) + " bytes follow it";
      return false;
    }
    const bool vertices = e.name == "vertex";
    const long limit = vertices ? limits.maxVertices : limits.maxTriangles;
    if ((vertices || e.name == "face") && e.count > Count(limit)) {
      error = std::string("the ") + format + " header announces " + std::to_string(e.count) + " " +
              (vertices ? "vertices" : "faces") + ", more than the limit of " +
              std::to_string(limit) + " (" + (vertices ? "--max-vertices" : "--max-triangles") +
              " raises it)";
      return false;
    }
    needed += e.count * e.minBytes;
  }
  return true;
}

Count PlyTypeSize(const std::string& type) {
  static const struct {
    const char* name;
    Count size;
  } types[] = {{"char", 1},  {"int8", 1},    {"uchar", 1},  {"uint8", 1},
               {"short", 2}, {"int16", 2},   {"ushort", 2}, {"uint16", 2},
               {"int", 4},   {"int32", 4},   {"uint", 4},   {"uint32", 4},
               {"float", 4}, {"float32", 4}, {"double", 8}, {"float64", 8}};
  for (const auto& t : types)
    if (type == t.name) return t.size;
  return 0;
}

bool CheckPly(const std::string& head, Count fileSize, const KelMeshLimits& limits,
              std::string& error) {
  const std::string::size_type end = head.find("end_header");
  const std::string::size_type eol = end == std::string::npos ? end : head.find('\n', end);
  if (eol == std::string::npos) {
    error = "the PLY header does not end within its first " +
            std::to_string(KelMeshFileCheck::HEADER_BYTES) + " bytes";
    return false;
  }
  std::istringstream lines(head.substr(0, end));
  std::vector<Element> elements;
  bool binary = false;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string keyword, a, b, c;
    words >> keyword >> a >> b;
    if (keyword == "format") {
      binary = a.compare(0, 6, "binary") == 0;
    } else if (keyword == "element") {
      Count n = 0;
      if (!ParseCount(b, n)) {
        error = "the PLY header gives element '" + a + "' the count '" + b + "'";
        return false;
      }
      elements.push_back({a, n, 0});
    } else if (keyword == "property" && !elements.empty()) {
      // A list holds at least its count; a scalar its size (one digit and a
      // separator in ASCII).
      const Count size = PlyTypeSize(a == "list" ? b : a);
      elements.back().minBytes += binary ? size : 2;
    }
  }
  return CheckElements("PLY", elements, fileSize - (eol + 1), limits, error);
}

// OFF and its variants (COFF, NOFF, STOFF, 4OFF, nOFF...): the keyword, then
// the vertex, face and edge counts, comments starting with '#'.
bool IsOffKeyword(const std::string& word) {
  return word.size() >= 3 && word.compare(word.size() - 3, 3, "OFF") == 0 &&
         word.find_first_not_of("STCN4n") == word.size() - 3;
}

bool CheckOff(const std::string& head, Count fileSize, const KelMeshLimits& limits,
              std::string& error) {
  std::istringstream in(head);
  std::vector<std::string> words;
  for (std::string line; words.size() < 4 && std::getline(in, line);) {
    line = line.substr(0, line.find('#'));
    std::istringstream w(line);
    for (std::string word; words.size() < 4 && (w >> word);) words.push_back(word);
  }
  if (words.size() >= 2 && words[1] == "BINARY") return true;  // not read by Assimp
  Count nv = 0, nf = 0;
  if (words.size() < 3 || !ParseCount(words[1], nv) || !ParseCount(words[2], nf)) {
    error = "the OFF header does not give the vertex and face counts";
    return false;
  }
  const Count consumed = in.good() ? Count(in.tellg()) : Count(head.size());
  // "x y z\n" and "0\n" at the least.
  return CheckElements("OFF", {{"vertex", nv, 6}, {"face", nf, 2}},
                       fileSize > consumed ? fileSize - consumed : 0, limits, error);
}

// Assimp's own rule: binary when the size is exactly 84 + 50 per triangle,
// else ASCII when it begins with "solid".
bool CheckStl(const std::string& head, Count fileSize, const KelMeshLimits& limits,
              std::string& error) {
  if (fileSize >= 84 && head.size() >= 84) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(head[80 + i]);
    if (84 + 50 * Count(n) == fileSize) {
      if (n > Count(limits.maxTriangles)) {
        error = "the binary STL header announces " + std::to_string(n) +
                " triangles, more than the limit of " + std::to_string(limits.maxTriangles) +
                " (--max-triangles raises it)";
        return false;
      }
      return true;
    }
  }
  const std::string::size_type start = head.find_first_not_of(" \t\r\n");
  if (start != std::string::npos && KelAppText::Lower(head.substr(start, 5)) == "solid")
    return true;
  error = "not an STL file: it does not begin with 'solid', and its " + std::to_string(fileSize) +
          " bytes are not the 84 + 50 per triangle of a binary STL";
  return false;
}

}  // namespace

bool KelMeshFileCheck::CheckHeader(const std::string& head, unsigned long long fileSize,
                                   const std::string& extension, const KelMeshLimits& limits,
                                   std::string& error) {
  if (head.compare(0, 4, "ply\n") == 0 || head.compare(0, 5, "ply\r\n") == 0)
    return CheckPly(head, fileSize, limits, error);
  std::istringstream first(head.substr(0, head.find('\n')));
  std::string keyword;
  first >> keyword;
  if (IsOffKeyword(keyword)) return CheckOff(head, fileSize, limits, error);
  if (extension == "stl") return CheckStl(head, fileSize, limits, error);
  return true;
}

bool KelMeshFileCheck::CheckHeader(const std::string& path, const KelMeshLimits& limits,
                                   std::string& error) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
  std::ifstream in(path, std::ios::binary);
  std::string head(HEADER_BYTES, '\0');
  in.read(&head[0], static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  return CheckHeader(head, static_cast<unsigned long long>(st.st_size), KelAppText::Extension(path),
                     limits, error);
}
