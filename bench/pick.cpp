// Latency of one pick (picking render over the viewpoint, then the sort of
// the hits), median and 95th percentile, with heap allocations per pick, on
// two generated scenes seen from above in a 1024 x 768 window:
//  - an assembly of 18^4 = 104976 leaves (a tile of two triangles each) under
//    four levels of bags placed by translations, seen from nearer;
//  - 400 surface patches of 2500 triangles each (10^6 triangles), one face
//    primitive per leaf, seen whole (KelBenchScenes.h);
// over a dense spot and an empty spot (BM_Pick says which pixels).
#include <benchmark/benchmark.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "KelAllocationCounter.h"
#include "KelBenchScenes.h"

namespace {

using kelbench::Assembly;
using kelbench::Patches;

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

  int Pick(float x, float y, KelPickPathList& hits) {
    KelPickingRender render(support, 5, x, y, hits);
    render.BeginDraw(viewpoint);
    render.Draw(viewpoint);
    render.EndDraw(viewpoint);
    hits.SortGraphicAttributeSet();
    const int n = hits.GetPathCount();
    hits.Reset();
    return n;
  }
};

// (scene: 0 assembly, 1 patches; spot: 0 dense, 1 empty)
void BM_Pick(benchmark::State& state) {
  const bool assembly = state.range(0) == 0;
  const bool dense = state.range(1) == 0;
  // Seen whole, the assembly's tiles would be below the culling size (not
  // drawn, so not picked): the eye looks at its corner from 10 times nearer,
  // where they are some 16 pixels wide; the window's upper right quarter
  // shows the assembly, the lower left one nothing. The patches are seen
  // whole, the window's left edge beside them.
  Scene scene(assembly ? Assembly(4, 1000.0f, 1000.0f) : Patches(),
              assembly ? Kelpoint3f(0, 0, 0) : Kelpoint3f(100, 100, 0), assembly ? 10.0f : 1.0f);
  const float x = dense ? 712.0f : assembly ? 312.0f : 40.0f;
  const float y = dense ? 184.0f : assembly ? 584.0f : 384.0f;
  KelPickPathList hits;
  std::vector<double> micros;
  int found = 0;
  micros.reserve(static_cast<std::size_t>(state.max_iterations));
  keltest::StartCountingAllocations();
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    found = scene.Pick(x, y, hits);
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
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"scene", "spot"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
