// Throughput of the run-length codecs of the image files: PackBits (TIFF) on
// interleaved RGB rows, and the SGI run-length on channel rows, each on a
// 2048 x 2048 photograph-like and a flat-colour image. Bytes counted are those
// of the raw image.
#include <kel/images/PackBitComp.h>
#include <kel/images/PackBitDecomp.h>

#include "DecodeRGBRow.h"
#include "EncodeRGBRow.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr long kSide = 2048;
constexpr long kRow = 3 * kSide;

// Interleaved RGB, row after row. The photograph-like image has smooth
// shading with sensor-like noise and some flat areas (sky, walls).
const std::vector<unsigned char>& Image(int kind) {
  static std::vector<unsigned char> images[2];
  std::vector<unsigned char>& image = images[kind];
  if (!image.empty()) return image;
  image.resize(static_cast<size_t>(kRow * kSide));
  std::uint32_t state = 12345;
  for (long y = 0; y < kSide; ++y)
    for (long x = 0; x < kSide; ++x)
      for (long c = 0; c < 3; ++c) {
        unsigned char v = static_cast<unsigned char>(60 + 40 * c);
        if (kind == 0) {
          state = state * 1664525u + 1013904223u;
          const bool sky = y < kSide / 3 && (x / 64 + y / 64) % 3 != 0;
          const long shade = (x * (2 + c) + y * 3) / 40 + ((x / 97) * (y / 61)) % 23;
          v = sky ? static_cast<unsigned char>(180 + c * 20)
                  : static_cast<unsigned char>((shade + static_cast<long>(state >> 29)) & 255);
        }
        image[static_cast<size_t>(y * kRow + x * 3 + c)] = v;
      }
  return image;
}

// Channel planes of the image, each kSide rows of kSide bytes.
std::vector<unsigned char> Planes(int kind) {
  const std::vector<unsigned char>& image = Image(kind);
  std::vector<unsigned char> planes(image.size());
  for (size_t i = 0; i < static_cast<size_t>(kSide * kSide); ++i)
    for (size_t c = 0; c < 3; ++c) planes[c * kSide * kSide + i] = image[3 * i + c];
  return planes;
}

void PackBitsEncode(benchmark::State& state) {
  const std::vector<unsigned char>& image = Image(static_cast<int>(state.range(0)));
  std::vector<unsigned char> packed(static_cast<size_t>(2 * kRow * kSide + 1));
  long length = 0, status = 0;
  for (auto _ : state) {
    PackBitComp(image.data(), kRow, kSide, packed.data(), static_cast<long>(packed.size()), &length,
                &status);
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRow * kSide);
  state.counters["ratio"] = static_cast<double>(length) / static_cast<double>(kRow * kSide);
}

void PackBitsDecode(benchmark::State& state) {
  const std::vector<unsigned char>& image = Image(static_cast<int>(state.range(0)));
  std::vector<unsigned char> packed(static_cast<size_t>(2 * kRow * kSide + 1));
  long length = 0, status = 0;
  PackBitComp(image.data(), kRow, kSide, packed.data(), static_cast<long>(packed.size()), &length,
              &status);
  std::vector<unsigned char> out(image.size());
  for (auto _ : state) {
    long rows = kSide;
    PackBitDecomp(packed.data(), length, kRow, &rows, out.data(), &status);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != image) state.SkipWithError("PackBits round trip differs");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRow * kSide);
}

void SgiRunLengthEncode(benchmark::State& state) {
  const std::vector<unsigned char> planes = Planes(static_cast<int>(state.range(0)));
  std::vector<unsigned char> packed(static_cast<size_t>(3 * kSide * EncodedRGBRowMaxLength(kSide)));
  long total = 0;
  for (auto _ : state) {
    total = 0;
    for (long r = 0; r < 3 * kSide; ++r)
      total += EncodeRGBRow(planes.data() + r * kSide, kSide, packed.data() + total,
                            static_cast<long>(packed.size()) - total);
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRow * kSide);
  state.counters["ratio"] = static_cast<double>(total) / static_cast<double>(kRow * kSide);
}

void SgiRunLengthDecode(benchmark::State& state) {
  const std::vector<unsigned char> planes = Planes(static_cast<int>(state.range(0)));
  std::vector<unsigned char> packed(static_cast<size_t>(3 * kSide * EncodedRGBRowMaxLength(kSide)));
  std::vector<long> starts, lengths;
  long total = 0;
  for (long r = 0; r < 3 * kSide; ++r) {
    const long n = EncodeRGBRow(planes.data() + r * kSide, kSide, packed.data() + total,
                                static_cast<long>(packed.size()) - total);
    starts.push_back(total);
    lengths.push_back(n);
    total += n;
  }
  std::vector<unsigned char> out(planes.size());
  for (auto _ : state) {
    for (long r = 0; r < 3 * kSide; ++r)
      DecodeRGBRow(packed.data() + starts[static_cast<size_t>(r)], lengths[static_cast<size_t>(r)],
                   out.data() + r * kSide, kSide);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != planes) state.SkipWithError("SGI run-length round trip differs");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRow * kSide);
}

void Kinds(benchmark::internal::Benchmark* b) {
  b->ArgName("flat")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(PackBitsEncode)->Apply(Kinds);
BENCHMARK(PackBitsDecode)->Apply(Kinds);
BENCHMARK(SgiRunLengthEncode)->Apply(Kinds);
BENCHMARK(SgiRunLengthDecode)->Apply(Kinds);

BENCHMARK_MAIN();
