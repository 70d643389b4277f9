// The two passes of a frame on generated scenes: the culling pass (ns per Rep
// visited), the display-list replay into a render that draws nothing (ns per
// entry), the whole KelSupport::Draw, and heap allocations per frame.
#include <benchmark/benchmark.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/render/KelGraphicRender.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include "KelAllocationCounter.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// A leaf of one triangle, as a small part of a large assembly would be.
class BenchLeaf : public Kel3DRep {
 public:
  explicit BenchLeaf(const Kelpoint3f& c) {
    const float v[9] = {c.x - 0.4f, c.y - 0.4f, c.z,        c.x + 0.4f, c.y - 0.4f,
                        c.z,        c.x,        c.y + 0.4f, c.z};
    const float n[9] = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    const int t[3] = {0, 3, 6};
    _face = new Kel3DFaceGP(v, 9, n, 9, t, 1, nullptr, 0, nullptr, nullptr, 0, nullptr);
    SetBoundingElement(Kel3DBoundingSphere(c, 0.5f, 0.0f));
  }
  ~BenchLeaf() override { KelGraphicPrimitive::Destroy(_face); }
  void DrawShading(KelRender& render, int inside) override {
    if (OkToDraw(render, &inside)) _face->Draw(render);
  }

 private:
  Kel3DFaceGP* _face;
};

// Draws nothing; like a driver's render it keeps one render per matrix depth
// for the whole frame instead of making one per pushed matrix.
class NullRender : public KelGraphicRender {
 public:
  explicit NullRender(const KelSupport& s) : KelGraphicRender(s), _pool(std::make_shared<Pool>()) {}
  NullRender(const NullRender& other) = default;

  KelRender* PushMatrix(Kel4x4Matrix& m) override {
    Pool& pool = *_pool;
    const std::size_t depth = pool.depth++;
    if (depth == pool.renders.size()) pool.renders.emplace_back(new NullRender(*this));
    NullRender* child = pool.renders[depth].get();
    child->AssignFrom(*this);
    *child *= m;
    return child;
  }
  void PopMatrix(KelRender*) override {
    if (_pool->depth > 0) --_pool->depth;
  }

 private:
  struct Pool {
    std::vector<std::unique_ptr<NullRender>> renders;
    std::size_t depth = 0;
  };
  std::shared_ptr<Pool> _pool;
};

class BenchSupport : public KelSupport {
 public:
  BenchSupport() : KelSupport(1024, 768) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
  KelRender* CreateDrawingRender() override { return new NullRender(*this); }
};

// Leaves on a square grid of unit spacing in the plane z = 0.
Kel3DBagRep* Flat(int n) {
  auto* root = new Kel3DBagRep;
  const int side = static_cast<int>(std::ceil(std::sqrt(double(n))));
  for (int i = 0; i < n; ++i)
    root->AddChild(*new BenchLeaf(Kelpoint3f(float(i % side), float(i / side), 0.0f)));
  return root;
}

// Four levels of bags, each child bag placed by a translation, `fan`
// children per bag; leaves 1.2 apart when `size` is 1.2 fan^4.
Kel3DRep* Assembly(int level, int fan, const Kelpoint3f& origin, float size) {
  if (level == 0) return new BenchLeaf(Kelpoint3f(0, 0, 0));
  auto* bag = new Kel3DBagRep;
  const float step = size / fan;
  for (int i = 0; i < fan; ++i) {
    Kel3DRep* child = Assembly(level - 1, fan, Kelpoint3f(0, 0, 0), step);
    auto* placed = new Kel3DBagRep;
    // Even levels spread along x, odd ones along y: a plate of parts.
    const float along = float(i) * step;
    placed->SetMatrix(
        Kel4x4Matrix(level % 2 ? Kelvector3f(0.0f, along, 0.0f) : Kelvector3f(along, 0.0f, 0.0f)));
    placed->AddChild(*child);
    bag->AddChild(*placed);
  }
  bag->SetMatrix(Kel4x4Matrix(origin.AsVector()));
  return bag;
}

enum Camera { SEES_ALL = 0, SEES_TENTH = 1, TOO_SMALL = 2 };

struct Scene {
  BenchSupport support;
  Kel3DViewpoint* viewpoint;
  Kel3DRep* root;

  Scene(Kel3DRep* r, Camera camera) : root(r) {
    viewpoint = new Kel3DViewpoint;
    viewpoint->AddRep(root);
    support.AddViewpoint(viewpoint, 1);
    float w, h;
    support.GetWidthAndHeight(w, h);
    viewpoint->Reframe(w, h, support.GetMMInSupportUnit(), support.GetRatioWH());
    const Kel3DBoundingSphere& s = root->GetBoundingElement();
    const Kelpoint3f c(s.GetCenter());
    // Seeing everything means drawing everything: no part is too small.
    // A tenth: the framed camera zoomed 3.2 times, a tenth of the area.
    // Too small: the framed camera with a culling size of 8 pixels, so that
    // the walk meets many parts each below it.
    if (camera == SEES_ALL || camera == SEES_TENTH) support.SetCullingPrecision(0);
    if (camera == SEES_TENTH) viewpoint->SetZoom(3.2f);
    if (camera == TOO_SMALL) support.SetCullingPrecision(8);
  }
  ~Scene() { root->Destroy(); }

  void Cull() {
    KelRender* render = support.CreateCullingRender();
    render->BeginDraw(*viewpoint);
    render->Draw(*viewpoint);
    render->EndDraw(*viewpoint);
    delete render;
  }
  long Entries() const {
    long n = 0;
    if (KelDisplayList* dl = viewpoint->GetDisplayList())
      for (int t = 0; t < KelDisplayList::NB_LISTS; ++t) n += dl->GetCount(t);
    return n;
  }
};

long CountReps(KelRep* rep) {
  long n = 1;
  if (list<KelRep*>* children = rep->GetChildren())
    for (int i = 0; i < children->Count(); ++i) n += CountReps((*children)[i]);
  return n;
}

void Report(benchmark::State& state, long reps, long entries, long allocations) {
  state.counters["reps"] = double(reps);
  state.counters["entries"] = double(entries);
  state.counters["allocs/frame"] = double(allocations) / double(state.iterations());
  // Seconds per Rep, shown with its SI prefix (n for nanoseconds).
  state.counters["per_rep"] = benchmark::Counter(
      double(reps), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

Kel3DRep* Build(benchmark::State& state) {
  const int kind = int(state.range(0));
  const int size = int(state.range(1));
  return kind == 0
             ? static_cast<Kel3DRep*>(Flat(size))
             : Assembly(4, size, Kelpoint3f(0, 0, 0), 1.2f * float(size * size * size * size));
}

void BM_Culling(benchmark::State& state) {
  Scene scene(Build(state), Camera(state.range(2)));
  const long reps = CountReps(scene.root);
  scene.Cull();  // warm the display list
  KelDisplayList* dl = scene.viewpoint->GetDisplayList();
  long entries = 0;
  keltest::StartCountingAllocations();
  for (auto _ : state) {
    dl->Reset();
    scene.Cull();
    entries = scene.Entries();
  }
  const long allocations = keltest::StopCountingAllocations();
  Report(state, reps, entries, allocations);
}

void BM_Replay(benchmark::State& state) {
  Scene scene(Build(state), Camera(state.range(2)));
  scene.Cull();
  const long entries = scene.Entries();
  NullRender render(scene.support);
  keltest::StartCountingAllocations();
  for (auto _ : state) {
    render.BeginDraw(*scene.viewpoint);
    render.Draw(*scene.viewpoint);
    render.EndDraw(*scene.viewpoint);
  }
  const long allocations = keltest::StopCountingAllocations();
  state.counters["entries"] = double(entries);
  state.counters["allocs/frame"] = double(allocations) / double(state.iterations());
  state.counters["per_entry"] = benchmark::Counter(
      double(entries), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SupportDraw(benchmark::State& state) {
  Scene scene(Build(state), Camera(state.range(2)));
  const long reps = CountReps(scene.root);
  scene.support.Draw();
  keltest::StartCountingAllocations();
  for (auto _ : state) scene.support.Draw();
  const long allocations = keltest::StopCountingAllocations();
  Report(state, reps, 0, allocations);
}

// (kind: 0 flat, 1 assembly; size: leaves, or children per bag; camera)
void Scenes(benchmark::internal::Benchmark* b) {
  for (int camera : {SEES_ALL, SEES_TENTH, TOO_SMALL}) {
    for (int n : {1000, 10000, 100000}) b->Args({0, n, camera});
    for (int fan : {6, 18, 32}) b->Args({1, fan, camera});  // 6^4, 18^4, 32^4 ~ 10^6 leaves
  }
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Culling)->Apply(Scenes);
BENCHMARK(BM_Replay)->Apply(Scenes);
BENCHMARK(BM_SupportDraw)->Apply(Scenes);

}  // namespace

BENCHMARK_MAIN();
