// Off-screen frames through the OpenGL driver at 1024 x 768: milliseconds per
// frame for 10^4 to 10^6 triangles in faces of 2048 triangles each, split into
// the culling pass and the drawing pass (replay, draw and read-back), with
// the geometry bytes sent to the card by the first frame and by each frame
// after it, and the bytes its buffer objects hold.
#include <benchmark/benchmark.h>

#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kGrid = 32;  // 32 x 32 quads: 2048 triangles a face

// A wavy square patch of kGrid x kGrid quads with per-vertex normals.
class PatchLeaf : public Kel3DRep {
 public:
  PatchLeaf(float x0, float y0) {
    std::vector<float> v, n;
    std::vector<int> t;
    for (int j = 0; j <= kGrid; ++j)
      for (int i = 0; i <= kGrid; ++i) {
        const float x = x0 + float(i) / kGrid, y = y0 + float(j) / kGrid;
        const float z = 0.05f * std::sin(6.0f * x) * std::cos(6.0f * y);
        v.insert(v.end(), {x, y, z});
        n.insert(n.end(), {0.0f, 0.0f, 1.0f});
      }
    for (int j = 0; j < kGrid; ++j)
      for (int i = 0; i < kGrid; ++i) {
        const int a = 3 * (j * (kGrid + 1) + i), b = a + 3, c = a + 3 * (kGrid + 1), d = c + 3;
        t.insert(t.end(), {a, b, d, a, d, c});
      }
    _face = new Kel3DFaceGP(v.data(), int(v.size()), n.data(), int(n.size()), t.data(),
                            int(t.size() / 3), nullptr, 0, nullptr, nullptr, 0, nullptr);
    SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(x0 + 0.5f, y0 + 0.5f, 0), 0.75f, 0.0f));
  }
  ~PatchLeaf() override { KelGraphicPrimitive::Destroy(_face); }
  void DrawShading(KelRender& render, int inside) override {
    if (OkToDraw(render, &inside)) _face->Draw(render);
  }

 private:
  Kel3DFaceGP* _face;
};

void Frame(benchmark::State& state) {
  const int triangles = static_cast<int>(state.range(0));
  const int faces = (triangles + 2 * kGrid * kGrid - 1) / (2 * kGrid * kGrid);
  KelPixelImage image(1024, 768, PixelImageRGB);
  std::unique_ptr<KelSupport> support(createSupport(nullptr, &image));
  if (!support) {
    state.SkipWithError("the OpenGL driver cannot draw off-screen");
    return;
  }
  auto* root = new Kel3DBagRep;
  const int side = static_cast<int>(std::ceil(std::sqrt(double(faces))));
  for (int k = 0; k < faces; ++k) root->AddChild(*new PatchLeaf(float(k % side), float(k / side)));
  const float c = 0.5f * side;
  auto* viewpoint = new Kel3DViewpoint(Kelpoint3f(c, c - 1.2f * side, 1.0f * side),
                                       Keldirection3f(0, 1.2f, -1.0f), Keldirection3f(0, 0, 1),
                                       0.1f, 10.0f * side, CONIC_PROJECTION, 0.0f);
  viewpoint->SetAngle(30.0f);
  support->AddViewpoint(viewpoint, 1);
  viewpoint->AddRep(root);
  auto frame = [&support] {
    KelGraphicPrimitive::Lock();
    list<KelViewpoint*> culled = support->Culling(support->GetListOfViewpoint());
    const auto t = std::chrono::steady_clock::now();
    support->Drawing(culled);
    KelGraphicPrimitive::Unlock();
    return t;
  };
  frame();  // the first frame sends the static geometry
  const long first = support->GetBytesSentToGPU();
  long sent = 0;
  double cull = 0, draw = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const auto t1 = frame();
    const auto t2 = std::chrono::steady_clock::now();
    cull += std::chrono::duration<double, std::milli>(t1 - t0).count();
    draw += std::chrono::duration<double, std::milli>(t2 - t1).count();
    sent += support->GetBytesSentToGPU();
  }
  state.counters["faces"] = faces;
  state.counters["cull_ms"] = cull / double(state.iterations());
  state.counters["draw_ms"] = draw / double(state.iterations());
  state.counters["first_sent_MB"] = double(first) / 1e6;
  state.counters["sent_B/frame"] = double(sent) / double(state.iterations());
  state.counters["held_MB"] = double(support->GetBytesHeldOnGPU()) / 1e6;
  viewpoint->RemoveRep(root);
  support.reset();
  root->Destroy();
}
BENCHMARK(Frame)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
