// Small mesh files the tests write themselves.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace kelrendertest {

struct Triangle {
  float n[3];
  float v[3][3];
};

// A box as 12 triangles, normals outwards.
inline std::vector<Triangle> Box(float x0, float y0, float z0, float x1, float y1, float z1) {
  const float c[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                         {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
  // Sides as corner quads, counter-clockwise seen from outside.
  const int q[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                       {2, 3, 7, 6}, {1, 2, 6, 5}, {3, 0, 4, 7}};
  const float n[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {1, 0, 0}, {-1, 0, 0}};
  std::vector<Triangle> t;
  for (int s = 0; s < 6; ++s) {
    const int order[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const auto& o : order) {
      Triangle tr;
      std::memcpy(tr.n, n[s], sizeof tr.n);
      for (int k = 0; k < 3; ++k) std::memcpy(tr.v[k], c[q[s][o[k]]], sizeof tr.v[k]);
      t.push_back(tr);
    }
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

inline void WriteAsciiStl(const std::string& path, const std::vector<Triangle>& triangles) {
  std::ofstream f(path);
  f << "solid part\n";
  for (const Triangle& t : triangles) {
    f << " facet normal " << t.n[0] << " " << t.n[1] << " " << t.n[2] << "\n  outer loop\n";
    for (const auto& v : t.v) f << "   vertex " << v[0] << " " << v[1] << " " << v[2] << "\n";
    f << "  endloop\n endfacet\n";
  }
  f << "endsolid part\n";
}

inline void WriteBinaryStl(const std::string& path, const std::vector<Triangle>& triangles) {
  std::ofstream f(path, std::ios::binary);
  char header[80] = "binary part";
  f.write(header, 80);
  const std::uint32_t n = static_cast<std::uint32_t>(triangles.size());
  f.write(reinterpret_cast<const char*>(&n), 4);
  for (const Triangle& t : triangles) {
    f.write(reinterpret_cast<const char*>(t.n), 12);
    f.write(reinterpret_cast<const char*>(t.v), 36);
    const std::uint16_t attribute = 0;
    f.write(reinterpret_cast<const char*>(&attribute), 2);
  }
}

// A hexagonal nut-like prism with a hexagonal hole, in quads, and a pyramid
// on a second object: faces of more than three corners, two objects.
inline void WriteObj(const std::string& path) {
  std::ofstream f(path);
  f << "# test part\no prism\n";
  const float pi = 3.14159265f;
  for (int ring = 0; ring < 4; ++ring) {
    const float r = ring < 2 ? 10.0f : 5.0f, z = ring % 2 ? 6.0f : 0.0f;
    for (int k = 0; k < 6; ++k)
      f << "v " << r * std::cos(pi * k / 3) << " " << r * std::sin(pi * k / 3) << " " << z << "\n";
  }
  auto at = [](int ring, int k) { return ring * 6 + (k % 6) + 1; };
  for (int k = 0; k < 6; ++k) {
    f << "f " << at(0, k) << " " << at(0, k + 1) << " " << at(1, k + 1) << " " << at(1, k) << "\n";
    f << "f " << at(3, k) << " " << at(3, k + 1) << " " << at(2, k + 1) << " " << at(2, k) << "\n";
    f << "f " << at(1, k) << " " << at(1, k + 1) << " " << at(3, k + 1) << " " << at(3, k) << "\n";
    f << "f " << at(2, k) << " " << at(2, k + 1) << " " << at(0, k + 1) << " " << at(0, k) << "\n";
  }
  f << "o pyramid\n";
  f << "v 16 -4 0\nv 24 -4 0\nv 24 4 0\nv 16 4 0\nv 20 0 9\n";
  f << "f 25 28 27 26\nf 25 26 29\nf 26 27 29\nf 27 28 29\nf 28 25 29\n";
}

// A box of sides (dx, dy, dz) from the origin as a glTF file (y up, by the
// format's rule) with its data in a .bin file beside it.
inline void WriteGltfBox(const std::string& path, float dx, float dy, float dz) {
  std::vector<float> v;
  std::vector<std::uint32_t> index;
  for (const Triangle& t : Box(0, 0, 0, dx, dy, dz))
    for (const auto& p : t.v) {
      index.push_back(static_cast<std::uint32_t>(v.size() / 3));
      v.insert(v.end(), p, p + 3);
    }
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
