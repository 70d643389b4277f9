// A pick scene: a 200 x 200 window and the camera of the test. With
// keltest::TopCamera the centre ray runs from (0, 0, 9) to (0, 0, -90).
#pragma once

#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>

#include <gtest/gtest.h>

#include <kel/primitives/Kel3DFaceGP.h>

#include <array>
#include <memory>
#include <random>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"

using keltest::GPLeaf;
using keltest::Near;

// Depth along the centre ray, and width of one pixel, at height z.
inline float DepthAt(float z) {
  return (9.0f - z) / 99.0f;
}
inline float PixelAt(float z) {
  return (10.0f - z) * 0.267949192f / 100.0f;
}

// Depth, intersection and dimension of a hit.
inline std::vector<float> Seen(const KelPickPath& p) {
  const Kelpoint3f i = p.GetIntersection();
  return {p.GetDeep(), i.x, i.y, i.z, p.GetDimension()};
}

template <class Viewpoint, class Rep>
class PickScene : public ::testing::Test {
 protected:
  explicit PickScene(std::unique_ptr<Viewpoint> c) : camera(std::move(c)) {
    support.SetCullingPrecision(0);
  }
  ~PickScene() override {
    hits.Reset();
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) delete *it;
  }
  // The scene deletes what it owns, last first.
  template <class R>
  R* Own(R* rep) {
    owned.push_back(rep);
    return rep;
  }
  template <class R>
  R* Show(R* rep) {
    camera->AddRep(rep);
    return rep;
  }
  template <class R>
  R* ShowOnly(R* rep) {
    camera->GetRepList().Free();
    return Show(rep);
  }
  int Pick(float x = 100.0f, float y = 100.0f, int size = 5) {
    return keltest::Pick(support, *camera, hits, x, y, size);
  }
  KelPickPath& HitAt(int i) { return keltest::HitAt(hits, i); }

  keltest::TestSupport support{200, 200};
  std::unique_ptr<Viewpoint> camera;
  KelPickPathList hits;
  std::vector<Rep*> owned;
};

// Triangles, fans and strips in [-3, 3]^3, a unit or so across: many overlap
// along any ray.
struct RandomMesh {
  explicit RandomMesh(std::mt19937& random) {
    std::uniform_real_distribution<float> where(-3.0f, 3.0f), step(-0.8f, 0.8f);
    auto near = [&](const float* c) {
      return std::array<float, 3>{c[0] + step(random), c[1] + step(random), c[2] + step(random)};
    };
    auto add = [&](const std::array<float, 3>& p) {
      for (float c : p) vertices.push_back(c);
      return static_cast<int>(vertices.size()) - 3;
    };
    for (int i = 0; i < 150; ++i) {
      const float c[3] = {where(random), where(random), where(random)};
      for (int k = 0; k < 3; ++k) triangles.push_back(add(near(c)));
    }
    for (int f = 0; f < 40; ++f) {
      const float c[3] = {where(random), where(random), where(random)};
      fanLengths.push_back(6);
      fans.push_back(add({c[0], c[1], c[2]}));
      for (int k = 1; k < 6; ++k) fans.push_back(add(near(c)));
    }
    for (int s = 0; s < 40; ++s) {
      float c[3] = {where(random), where(random), where(random)};
      stripLengths.push_back(7);
      for (int k = 0; k < 7; ++k) {
        const auto p = near(c);
        strips.push_back(add(p));
        c[0] += 0.3f;  // the strip goes along x
      }
    }
  }

  Kel3DFaceGP* Face() const {
    return new Kel3DFaceGP(vertices.data(), int(vertices.size()), nullptr, 0, triangles.data(),
                           int(triangles.size() / 3), strips.data(), int(stripLengths.size()),
                           stripLengths.data(), fans.data(), int(fanLengths.size()),
                           fanLengths.data());
  }

  std::vector<float> vertices;
  std::vector<int> triangles, fans, fanLengths, strips, stripLengths;
};
