// A pick scene: a 200 x 200 window and the camera of the test. With
// keltest::TopCamera the centre ray runs from (0, 0, 9) to (0, 0, -90).
#pragma once

#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>

#include <gtest/gtest.h>

#include <memory>
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
