// Throughput of the run-length codecs of the image files: PackBits (TIFF) on
// interleaved RGB rows, and the SGI run-length on channel rows, each on a
// 2048 x 2048 photograph-like and a flat-colour image. Bytes counted are those
// of the raw image.
//
// When libtiff and ImageMagick were found at configure time the same run
// times their codecs on the same images: libtiff's PackBits decoder (through
// TIFFReadEncodedStrip on a TIFF held in memory) on its own stream and on
// ours, ours on libtiff's stream, and ImageMagick's SGI run-length writer
// (ImageToBlob, one thread) against ours building the same file in memory.
#include <kel/images/PackBitComp.h>
#include <kel/images/PackBitDecomp.h>

#include "DecodeRGBRow.h"
#include "EncodeRGBRow.h"
#include "WriteRGBFile.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#ifdef KEL_BENCH_LIBTIFF
#include <tiffio.h>
#endif
#ifdef KEL_BENCH_MAGICK
#include <magick/MagickCore.h>
#endif

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

// The whole SGI file (header, offset tables, every channel row packed) in
// memory, from the interleaved image: the job ImageMagick's writer does.
void SgiFileBuild(benchmark::State& state) {
  const std::vector<unsigned char>& image = Image(static_cast<int>(state.range(0)));
  long size[2] = {kSide, kSide};
  std::vector<unsigned char> file;
  for (auto _ : state) {
    if (BuildRGBFile(size, 1, image.data(), file) != 0) state.SkipWithError("BuildRGBFile failed");
    benchmark::DoNotOptimize(file.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRow * kSide);
  state.counters["ratio"] = static_cast<double>(file.size()) / static_cast<double>(kRow * kSide);
}

#ifdef KEL_BENCH_LIBTIFF
// A TIFF file in memory, mapped: libtiff decodes straight from it.
struct MemoryTiff {
  std::vector<unsigned char> bytes;
  toff_t at = 0;

  static tsize_t Read(thandle_t h, tdata_t buffer, tsize_t n) {
    auto* m = static_cast<MemoryTiff*>(h);
    const toff_t left = m->at < m->bytes.size() ? m->bytes.size() - m->at : 0;
    const toff_t count = static_cast<toff_t>(n) < left ? static_cast<toff_t>(n) : left;
    std::memcpy(buffer, m->bytes.data() + m->at, count);
    m->at += count;
    return static_cast<tsize_t>(count);
  }
  static tsize_t Write(thandle_t h, tdata_t buffer, tsize_t n) {
    auto* m = static_cast<MemoryTiff*>(h);
    if (m->bytes.size() < m->at + static_cast<toff_t>(n)) m->bytes.resize(m->at + n);
    std::memcpy(m->bytes.data() + m->at, buffer, static_cast<size_t>(n));
    m->at += static_cast<toff_t>(n);
    return n;
  }
  static toff_t Seek(thandle_t h, toff_t offset, int whence) {
    auto* m = static_cast<MemoryTiff*>(h);
    m->at = whence == SEEK_SET   ? offset
            : whence == SEEK_CUR ? m->at + offset
                                 : m->bytes.size() + offset;
    return m->at;
  }
  static int Close(thandle_t) { return 0; }
  static toff_t Size(thandle_t h) { return static_cast<MemoryTiff*>(h)->bytes.size(); }
  static int Map(thandle_t h, tdata_t* base, toff_t* size) {
    auto* m = static_cast<MemoryTiff*>(h);
    *base = m->bytes.data();
    *size = m->bytes.size();
    return 1;
  }
  static void Unmap(thandle_t, tdata_t, toff_t) {}

  TIFF* Open(const char* mode) {
    at = 0;
    return TIFFClientOpen("memory", mode, this, Read, Write, Seek, Close, Size, Map, Unmap);
  }
};

// The image as one PackBits strip: packed by libtiff, or `packed` written raw.
MemoryTiff PackBitsTiff(const std::vector<unsigned char>& image,
                        const std::vector<unsigned char>* packed) {
  MemoryTiff m;
  TIFF* t = m.Open("w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(kSide));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(kSide));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(kSide));
  if (packed)
    TIFFWriteRawStrip(t, 0, const_cast<unsigned char*>(packed->data()),
                      static_cast<tmsize_t>(packed->size()));
  else
    TIFFWriteEncodedStrip(t, 0, const_cast<unsigned char*>(image.data()),
                          static_cast<tmsize_t>(image.size()));
  TIFFClose(t);
  return m;
}

std::vector<unsigned char> OurPackBits(const std::vector<unsigned char>& image) {
  std::vector<unsigned char> packed(static_cast<size_t>(2 * kRow * kSide + 1));
  long length = 0, status = 0;
  PackBitComp(image.data(), kRow, kSide, packed.data(), static_cast<long>(packed.size()), &length,
              &status);
  packed.resize(static_cast<size_t>(length));
  return packed;
}

// (flat, stream: 0 libtiff's, 1 ours)
void PackBitsDecodeLibtiff(benchmark::State& state) {
  const std::vector<unsigned char>& image = Image(static_cast<int>(state.range(0)));
  const std::vector<unsigned char> ours = OurPackBits(image);
  MemoryTiff m = PackBitsTiff(image, state.range(1) ? &ours : nullptr);
  TIFF* t = m.Open("rm");
  std::vector<unsigned char> out(image.size());
  for (auto _ : state) {
    TIFFReadEncodedStrip(t, 0, out.data(), static_cast<tmsize_t>(out.size()));
    benchmark::DoNotOptimize(out.data());
  }
  TIFFClose(t);
  if (out != image) state.SkipWithError("libtiff decodes another image");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRow * kSide);
}

// Ours on libtiff's stream.
void PackBitsDecodeLibtiffStream(benchmark::State& state) {
  const std::vector<unsigned char>& image = Image(static_cast<int>(state.range(0)));
  MemoryTiff m = PackBitsTiff(image, nullptr);
  TIFF* t = m.Open("rm");
  std::vector<unsigned char> raw(static_cast<size_t>(TIFFRawStripSize(t, 0)));
  TIFFReadRawStrip(t, 0, raw.data(), static_cast<tmsize_t>(raw.size()));
  TIFFClose(t);
  std::vector<unsigned char> out(image.size());
  long status = 0;
  for (auto _ : state) {
    long rows = kSide;
    PackBitDecomp(raw.data(), static_cast<long>(raw.size()), kRow, &rows, out.data(), &status);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != image) state.SkipWithError("libtiff's stream decodes to another image");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRow * kSide);
  state.counters["ratio"] = static_cast<double>(raw.size()) / static_cast<double>(kRow * kSide);
}
#endif

#ifdef KEL_BENCH_MAGICK
void SgiFileMagick(benchmark::State& state) {
  const std::vector<unsigned char>& image = Image(static_cast<int>(state.range(0)));
  MagickCoreGenesis(nullptr, MagickFalse);
  SetMagickResourceLimit(ThreadResource, 1);
  ExceptionInfo* e = AcquireExceptionInfo();
  ::Image* picture = ConstituteImage(kSide, kSide, "RGB", CharPixel, image.data(), e);
  if (!picture) {
    state.SkipWithError("ImageMagick cannot hold the image");
    return;
  }
  ImageInfo* info = AcquireImageInfo();
  std::strcpy(info->magick, "SGI");
  std::strcpy(picture->magick, "SGI");
  info->compression = RLECompression;
  picture->compression = RLECompression;
  picture->depth = 8;
  size_t length = 0;
  for (auto _ : state) {
    void* blob = ImageToBlob(info, picture, &length, e);
    benchmark::DoNotOptimize(blob);
    RelinquishMagickMemory(blob);
  }
  // The file ours builds is the yardstick of the ratio.
  state.counters["ratio"] = static_cast<double>(length) / static_cast<double>(kRow * kSide);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRow * kSide);
  DestroyImage(picture);
  DestroyImageInfo(info);
  DestroyExceptionInfo(e);
}
#endif

void Kinds(benchmark::internal::Benchmark* b) {
  b->ArgName("flat")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
}

#ifdef KEL_BENCH_LIBTIFF
void KindsAndStreams(benchmark::internal::Benchmark* b) {
  b->ArgNames({"flat", "ours"})->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
}
#endif

}  // namespace

BENCHMARK(PackBitsEncode)->Apply(Kinds);
BENCHMARK(PackBitsDecode)->Apply(Kinds);
#ifdef KEL_BENCH_LIBTIFF
BENCHMARK(PackBitsDecodeLibtiffStream)->Apply(Kinds);
BENCHMARK(PackBitsDecodeLibtiff)->Apply(KindsAndStreams);
#endif
BENCHMARK(SgiRunLengthEncode)->Apply(Kinds);
BENCHMARK(SgiRunLengthDecode)->Apply(Kinds);
BENCHMARK(SgiFileBuild)->Apply(Kinds);
#ifdef KEL_BENCH_MAGICK
BENCHMARK(SgiFileMagick)->Apply(Kinds);
#endif

BENCHMARK_MAIN();
