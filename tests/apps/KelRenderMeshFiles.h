// Small mesh files the tests write themselves.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace kelrendertest {

struct Triangle {
  float v[3][3];
};

// A box as 12 triangles, counter-clockwise seen from outside.
inline std::vector<Triangle> Box(float x0, float y0, float z0, float x1, float y1, float z1) {
  const float c[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                         {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
  const int q[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                       {2, 3, 7, 6}, {1, 2, 6, 5}, {3, 0, 4, 7}};
  const int order[2][3] = {{0, 1, 2}, {0, 2, 3}};
  std::vector<Triangle> t;
  for (const auto& side : q)
    for (const auto& o : order) {
      Triangle tr;
      for (int k = 0; k < 3; ++k) std::memcpy(tr.v[k], c[side[o[k]]], sizeof tr.v[k]);
      t.push_back(tr);
    }
  return t;
}

// An L-shaped bracket of two boxes.
inline std::vector<Triangle> Bracket() {
  std::vector<Triangle> t = Box(0, 0, 0, 40, 20, 6);
  const std::vector<Triangle> upright = Box(0, 0, 6, 6, 20, 30);
  t.insert(t.end(), upright.begin(), upright.end());
  return t;
}

// The flat arrays of a triangle soup: three vertices of its own a triangle.
inline void Soup(const std::vector<Triangle>& triangles, std::vector<float>& v,
                 std::vector<unsigned>& t) {
  for (const Triangle& tr : triangles)
    for (const auto& p : tr.v) {
      t.push_back(static_cast<unsigned>(v.size() / 3));
      v.insert(v.end(), p, p + 3);
    }
}

// STL facets carry a normal; Assimp makes its own, so they are left zero.
inline void WriteAsciiStl(const std::string& path, const std::vector<Triangle>& triangles) {
  std::ofstream f(path);
  f << "solid part\n";
  for (const Triangle& t : triangles) {
    f << " facet normal 0 0 0\n  outer loop\n";
    for (const auto& v : t.v) f << "   vertex " << v[0] << " " << v[1] << " " << v[2] << "\n";
    f << "  endloop\n endfacet\n";
  }
  f << "endsolid part\n";
}

inline void WriteBinaryStl(const std::string& path, const std::vector<Triangle>& triangles) {
  std::ofstream f(path, std::ios::binary);
  const char header[80] = "binary part";
  f.write(header, 80);
  const std::uint32_t n = static_cast<std::uint32_t>(triangles.size());
  f.write(reinterpret_cast<const char*>(&n), 4);
  const char zeros[14] = {};  // the normal before, the attribute after
  for (const Triangle& t : triangles)
    f.write(zeros, 12).write(reinterpret_cast<const char*>(t.v), 36).write(zeros, 2);
}

// A box of sides (dx, dy, dz) from the origin as a glTF file (y up, by the
// format's rule) with its data in a .bin file beside it.
inline void WriteGltfBox(const std::string& path, float dx, float dy, float dz) {
  std::vector<float> v;
  std::vector<unsigned> index;
  Soup(Box(0, 0, 0, dx, dy, dz), v, index);
  const std::string bin = path + ".bin";
  std::ofstream(bin, std::ios::binary)
      .write(reinterpret_cast<const char*>(v.data()), std::streamsize(4 * v.size()))
      .write(reinterpret_cast<const char*>(index.data()), std::streamsize(4 * index.size()));
  const size_t vb = 4 * v.size(), ib = 4 * index.size();
  std::ofstream(path) << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],)"
                      << R"("nodes":[{"mesh":0}],"meshes":[{"primitives":[{"attributes":)"
                      << R"({"POSITION":0},"indices":1}]}],"buffers":[{"byteLength":)" << vb + ib
                      << R"(,"uri":")" << bin.substr(bin.find_last_of('/') + 1)
                      << R"("}],"bufferViews":[{"buffer":0,"byteLength":)" << vb
                      << R"(},{"buffer":0,"byteOffset":)" << vb << R"(,"byteLength":)" << ib
                      << R"(}],"accessors":[{"bufferView":0,"componentType":5126,"count":)"
                      << v.size() / 3 << R"(,"type":"VEC3","min":[0,0,0],"max":[)" << dx << ","
                      << dy << "," << dz << R"(]},{"bufferView":1,"componentType":5125,"count":)"
                      << index.size() << R"(,"type":"SCALAR"}]})";
}

// A PLY of points alone: an n x n grid in the xz plane, 1 unit apart.
inline void WritePlyPoints(const std::string& path, int n) {
  std::ofstream f(path);
  f << "ply\nformat ascii 1.0\nelement vertex " << n * n
    << "\nproperty float x\nproperty float y\nproperty float z\nend_header\n";
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < n; ++k) f << i << " 0 " << k << "\n";
}

// An OBJ of lines alone: the outline of a square of side 10 in the xz plane
// as one polyline, and its two diagonals as segments.
inline void WriteObjLines(const std::string& path) {
  std::ofstream(path) << "v 0 0 0\nv 10 0 0\nv 10 0 10\nv 0 0 10\nl 1 2 3 4 1\nl 1 3\nl 2 4\n";
}

}  // namespace kelrendertest
