// Throughput of the picture format's block compression (encode and decode, as
// the writer and reader use it: blocks of 262144 bytes, raw when compression
// does not pay) and of whole files, on a 2048 x 2048 photograph-like image and a
// flat-colour one. Rates are in bytes of the three raw planes per second.
#include <kel/images/ripicrdt.h>
#include <kel/images/ripicwdt.h>

#include "ripiccom.h"
#include "ripicunc.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 2048;
constexpr int kLines = 262144 / kSide;  // lines per block
constexpr size_t kPlane = static_cast<size_t>(kSide) * kSide;

using Bytes = std::vector<unsigned char>;

// Three planes, lines from the top. The photograph: a noiseless sky gradient
// over the top quarter, then smooth shapes with a little sensor noise.
Bytes MakeImage(bool photo) {
  Bytes planes(3 * kPlane, 90);
  if (!photo) return planes;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> noise(-3, 3);
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        double v;
        if (y < kSide / 4)
          v = 150 + c * 20 + y / 16.0;
        else
          v = 110 + 60 * std::sin(x / 97.0 + c) * std::cos(y / 53.0) +
              30 * std::sin((x + y) / 31.0) + noise(random);
        planes[c * kPlane + static_cast<size_t>(y) * kSide + x] =
            static_cast<unsigned char>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
      }
  return planes;
}

const Bytes& Image(bool photo) {
  static const Bytes flat = MakeImage(false);
  static const Bytes photograph = MakeImage(true);
  return photo ? photograph : flat;
}

struct Block {
  Bytes bytes;
  int algorithm;
};

// Encodes every block of the three planes as the writer does.
std::vector<Block> Encode(const Bytes& planes, Bytes& scratch) {
  std::vector<Block> blocks;
  scratch.resize(static_cast<size_t>(kSide) * kLines);
  for (size_t start = 0; start < planes.size(); start += scratch.size()) {
    int algorithm = 7, size[2] = {kSide, kLines}, sample = 1, limit = kSide * kLines, length = 0;
    auto* source = reinterpret_cast<char*>(const_cast<unsigned char*>(planes.data() + start));
    if (ripiccom(&algorithm, size, &sample, &limit, source, &length, scratch.data()) == 0)
      blocks.push_back({Bytes(scratch.begin(), scratch.begin() + length), 7});
    else
      blocks.push_back({Bytes(planes.begin() + static_cast<long>(start),
                              planes.begin() + static_cast<long>(start) + limit),
                        0});
  }
  return blocks;
}

void BM_PictureEncode(benchmark::State& state) {
  const Bytes& planes = Image(state.range(0) != 0);
  Bytes scratch(static_cast<size_t>(kSide) * kLines);
  size_t packed = 0;
  for (auto _ : state) {
    packed = 0;
    for (size_t start = 0; start < planes.size(); start += scratch.size()) {
      int algorithm = 7, size[2] = {kSide, kLines}, sample = 1, limit = kSide * kLines, length = 0;
      auto* source = reinterpret_cast<char*>(const_cast<unsigned char*>(planes.data() + start));
      const int answer =
          ripiccom(&algorithm, size, &sample, &limit, source, &length, scratch.data());
      packed += answer == 0 ? static_cast<size_t>(length) : static_cast<size_t>(limit);
      benchmark::DoNotOptimize(scratch.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * planes.size()));
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(planes.size());
}

void BM_PictureDecode(benchmark::State& state) {
  const Bytes& planes = Image(state.range(0) != 0);
  Bytes scratch;
  std::vector<Block> blocks = Encode(planes, scratch);
  Bytes out(planes.size());
  for (auto _ : state) {
    unsigned char* target = out.data();
    for (Block& b : blocks) {
      int width = kSide, window[4] = {1, kSide, 1, kLines}, sample = 1;
      int length = static_cast<int>(b.bytes.size());
      ripicunc(&b.algorithm, &width, window, &sample, reinterpret_cast<char*>(b.bytes.data()),
               &length, target);
      target += static_cast<size_t>(kSide) * kLines;
    }
    benchmark::DoNotOptimize(out.data());
  }
  if (out != planes) state.SkipWithError("decoded image differs");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * planes.size()));
}

std::string TempPath() {
  return "/tmp/kel_bench_picture_" + std::to_string(static_cast<long>(getpid())) + ".pic";
}

void BM_PictureFileWrite(benchmark::State& state) {
  Bytes planes = Image(state.range(0) != 0);
  const std::string path = TempPath();
  int code = 1, size[2] = {kSide, kSide};
  for (auto _ : state)
    if (ripicwdt(path.c_str(), &code, size, planes.data()) != 0) state.SkipWithError("write");
  std::remove(path.c_str());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * planes.size()));
}

void BM_PictureFileRead(benchmark::State& state) {
  Bytes planes = Image(state.range(0) != 0);
  const std::string path = TempPath();
  int code = 1, size[2] = {kSide, kSide}, origin[2] = {1, 1};
  if (ripicwdt(path.c_str(), &code, size, planes.data()) != 0) state.SkipWithError("write");
  Bytes out(planes.size());
  for (auto _ : state)
    if (ripicrdt(path.c_str(), &code, origin, size, out.data()) != 0) state.SkipWithError("read");
  std::remove(path.c_str());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * planes.size()));
}

// Argument: 1 photograph-like, 0 flat colour.
BENCHMARK(BM_PictureEncode)->ArgName("photo")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureDecode)->ArgName("photo")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureFileWrite)->ArgName("photo")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureFileRead)->ArgName("photo")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
