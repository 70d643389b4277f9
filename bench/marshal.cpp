// Saving and restoring a large assembly through libGR7MARSH.so: MB/s of file
// and Reps/s, and the file size per Rep. Argument: the number of leaves, 1000
// per bag; each leaf is a placed instance (a bag with a matrix).
#include <benchmark/benchmark.h>

#include <kel/controller/KelVisuController.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/reps/Kel3DBagRep.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace {

Kel3DBagRep* Assembly(int leaves, int& reps) {
  auto* root = new Kel3DBagRep;
  reps = 1;
  std::intptr_t id = 1;
  for (int b = 0; b * 1000 < leaves; ++b) {
    KelModelIdentificator bagId(reinterpret_cast<void*>(++id));
    auto* bag = new Kel3DBagRep(bagId, nullptr);
    for (int l = 0; l < 1000 && b * 1000 + l < leaves; ++l) {
      KelModelIdentificator leafId(reinterpret_cast<void*>(++id));
      auto* leaf = new Kel3DBagRep(leafId, nullptr);
      leaf->SetMatrix(Kel4x4Matrix(Kelvector3f(float(l), float(b), 0.0f)));
      bag->AddChild(*leaf);
      ++reps;
    }
    root->AddChild(*bag);
    ++reps;
  }
  return root;
}

const std::string kFile = "/tmp/kel_bench_marshal.kel";

double FileSize() {
  struct stat s {};
  return stat(kFile.c_str(), &s) == 0 ? double(s.st_size) : 0.0;
}

void BM_Save(benchmark::State& state) {
  int reps = 0;
  Kel3DBagRep* root = Assembly(static_cast<int>(state.range(0)), reps);
  KelVisuController controller;
  for (auto _ : state) controller.SaveRepToFile(kFile.c_str(), root);
  const double size = FileSize();
  state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
  state.SetItemsProcessed(int64_t(reps) * state.iterations());
  state.counters["bytes/Rep"] = size / reps;
  root->Destroy();
}
BENCHMARK(BM_Save)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Restore(benchmark::State& state) {
  int reps = 0;
  Kel3DBagRep* root = Assembly(static_cast<int>(state.range(0)), reps);
  KelVisuController controller;
  controller.SaveRepToFile(kFile.c_str(), root);
  root->Destroy();
  for (auto _ : state) {
    KelRep* back = KelVisuController::RestoreRepFromFile(kFile.c_str());
    state.PauseTiming();
    if (!back)
      state.SkipWithError("restore failed");
    else
      back->Destroy();
    state.ResumeTiming();
  }
  const double size = FileSize();
  state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
  state.SetItemsProcessed(int64_t(reps) * state.iterations());
  state.counters["bytes/Rep"] = size / reps;
  std::remove(kFile.c_str());
}
BENCHMARK(BM_Restore)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
