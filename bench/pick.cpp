// Latency of one pick (picking render over the viewpoint, then the sort of
// the hits), median and 95th percentile, with heap allocations per pick, on
// three generated scenes seen from above in a 1024 x 768 window:
//  - an assembly of 18^4 = 104976 leaves (a tile of two triangles each) under
//    four levels of bags placed by translations, seen from nearer;
//  - 400 surface patches of 2500 triangles each (10^6 triangles), one face
//    primitive per leaf, seen whole (KelBenchScenes.h);
//  - one face of 2^20 triangles (a wavy sheet of 1024 x 512 quads) seen whole;
// over a dense spot and an empty spot (BM_Pick says which pixels), through the
// faces' pick trees (made before the timing starts) or part by part.
// BM_PickTree times the making of the big face's tree and gives its size.
#include <benchmark/benchmark.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickTree.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "KelAllocationCounter.h"
#include "KelBenchScenes.h"

namespace {

using kelbench::Assembly;
using kelbench::FaceLeaf;
using kelbench::Patches;

// A wavy sheet of nx x ny quads over [0, 400] x [0, 200].
Kel3DFaceGP* Sheet(int nx, int ny) {
  std::vector<float> v;
  for (int j = 0; j <= ny; ++j)
    for (int i = 0; i <= nx; ++i) {
      const float x = 400.0f * float(i) / float(nx), y = 200.0f * float(j) / float(ny);
      v.insert(v.end(), {x, y, 3.0f * std::sin(0.1f * x) * std::cos(0.1f * y)});
    }
  std::vector<int> t;
  t.reserve(6u * nx * ny);
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      const int a = 3 * (j * (nx + 1) + i), b = a + 3, c = a + 3 * (nx + 1), d = c + 3;
      t.insert(t.end(), {a, b, d, a, d, c});
    }
  return new Kel3DFaceGP(v.data(), int(v.size()), nullptr, 0, t.data(), int(t.size() / 3), nullptr,
                         0, nullptr, nullptr, 0, nullptr);
}

class BenchSupport : public KelSupport {
 public:
  BenchSupport() : KelSupport(1024, 768) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
};

struct Scene {
  BenchSupport support;
  Kel3DViewpoint viewpoint;
  Kel3DRep* root;

  // The eye looks down at `target` from `closer` times nearer than the
  // distance that frames the whole scene.
  Scene(Kel3DRep* r, const Kelpoint3f& target, float closer) : root(r) {
    viewpoint.AddRep(root);
    viewpoint.Set(Kelpoint3f(0, 0, 0), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
    float w, h;
    support.GetWidthAndHeight(w, h);
    viewpoint.Reframe(w, h, support.GetMMInSupportUnit(), support.GetRatioWH());
    const Kelpoint3f centre(root->GetBoundingElement().GetCenter());
    viewpoint.SetOrigin(target + (viewpoint.GetOrigin() - centre) * (1.0f / closer));
  }
  ~Scene() { root->Destroy(); }

  int Pick(float x, float y, KelPickPathList& hits, int trees = 1) {
    KelPickingRender render(support, 5, x, y, hits);
    render.SetPickTrees(trees);
    render.BeginDraw(viewpoint);
    render.Draw(viewpoint);
    render.EndDraw(viewpoint);
    hits.SortGraphicAttributeSet();
    const int n = hits.GetPathCount();
    hits.Reset();
    return n;
  }
};

Kel3DRep* Build(int scene) {
  if (scene == 0) return Assembly(4, 1000.0f, 1000.0f);
  if (scene == 1) return Patches();
  return new FaceLeaf(Sheet(1024, 512));
}

// (scene: 0 assembly, 1 patches, 2 one face of 2^20 triangles; spot: 0
// dense, 1 empty; trees: 1 through the pick trees, 0 part by part)
void BM_Pick(benchmark::State& state) {
  const int scene = static_cast<int>(state.range(0));
  const bool assembly = scene == 0;
  const bool dense = state.range(1) == 0;
  const int trees = static_cast<int>(state.range(2));
  // Seen whole, the assembly's tiles would be below the culling size (not
  // drawn, so not picked): the eye looks at its corner from 10 times nearer,
  // where they are some 16 pixels wide; the window's upper right quarter
  // shows the assembly, the lower left one nothing. The patches and the
  // sheet are seen whole, the window's left edge beside them.
  Scene s(Build(scene), assembly ? Kelpoint3f(0, 0, 0) : Kelpoint3f(scene == 1 ? 100 : 200, 100, 0),
          assembly ? 10.0f : 1.0f);
  const float x = dense ? 712.0f : assembly ? 312.0f : 40.0f;
  const float y = dense ? (scene == 2 ? 300.0f : 184.0f) : assembly ? 584.0f : 384.0f;
  KelPickPathList hits;
  // The trees are made by the first pick that reaches their face.
  s.Pick(x, y, hits, trees);
  std::vector<double> micros;
  int found = 0;
  micros.reserve(static_cast<std::size_t>(state.max_iterations));
  keltest::StartCountingAllocations();
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    found = s.Pick(x, y, hits, trees);
    const auto t1 = std::chrono::steady_clock::now();
    micros.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
  }
  const long allocations = keltest::StopCountingAllocations();
  std::sort(micros.begin(), micros.end());
  state.counters["hits"] = found;
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p95_us"] = micros[std::min(micros.size() - 1, micros.size() * 95 / 100)];
  state.counters["allocs/pick"] = double(allocations) / double(state.iterations());
}

BENCHMARK(BM_Pick)
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {1, 0}})
    ->ArgNames({"scene", "spot", "trees"})
    ->Unit(benchmark::kMicrosecond);

// Making the tree of the sheet of 2^20 triangles.
void BM_PickTree(benchmark::State& state) {
  std::unique_ptr<Kel3DFaceGP> face(Sheet(1024, 512));
  std::size_t bytes = 0;
  int parts = 0;
  for (auto _ : state) {
    std::unique_ptr<KelPickTree> tree = KelPickTree::ForFace(*face);
    bytes = tree->GetBytes();
    parts = tree->GetPartCount();
    benchmark::DoNotOptimize(tree.get());
  }
  state.counters["triangles"] = parts;
  state.counters["bytes/triangle"] = double(bytes) / double(parts);
}

BENCHMARK(BM_PickTree)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
