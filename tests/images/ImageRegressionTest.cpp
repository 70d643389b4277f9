// Replays the inputs kept in tests/data/images/regress: crash inputs of the
// fuzz targets and hand-made hostile files. tiff-* go to the TIFF reader,
// sgi-* to the SGI reader, packbits-* to the PackBits decoder (first byte:
// bytes per row - 1, second: rows - 1 modulo 64, as the fuzz target reads them).
#include <kel/images/PackBitDecomp.h>
#include <kel/images/ReadRGBPixelImage.h>
#include <kel/images/ReadTIFFPixelImage.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "TiffFileBuilder.h"

namespace fs = std::filesystem;

TEST(ImageRegression, KeptInputsAreRefusedOrReadSafely) {
  // Hand-made cases whose answer is known; fuzz finds need only replay safely.
  const std::map<std::string, bool> reads = {
      {"tiff-size-past-int-range.tif", false}, {"tiff-bilevel-long-strip.tif", true},
      {"tiff-packbits-past-strip.tif", false}, {"sgi-rle-run-past-width.rgb", false},
      {"sgi-rle-no-end.rgb", false},           {"sgi-huge-verbatim.rgb", false},
      {"packbits-run-past-row", false},        {"packbits-control-128", false},
  };
  const fs::path dir = keltest::DataPath("images/regress");
  size_t replayed = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const std::string path = entry.path().string();
    SCOPED_TRACE(name);
    bool read = false;
    testing::internal::CaptureStderr();
    if (name.rfind("tiff-", 0) == 0) {
      std::unique_ptr<KelPixelImage> image(ReadTIFFPixelImage(path.c_str(), ReadWrite));
      read = image != nullptr;
    } else if (name.rfind("sgi-", 0) == 0) {
      std::unique_ptr<KelPixelImage> image(ReadRGBPixelImage(path.c_str(), ReadWrite));
      read = image != nullptr;
    } else if (name.rfind("packbits-", 0) == 0) {
      const std::vector<unsigned char> bytes = keltest::ReadBytes(path);
      ASSERT_GE(bytes.size(), 2u);
      const long bytesPerRow = 1 + bytes[0];
      long rows = 1 + bytes[1] % 64;
      std::vector<unsigned char> out(static_cast<size_t>(bytesPerRow * rows));
      long status = 0;
      read = PackBitDecomp(bytes.data() + 2, static_cast<long>(bytes.size() - 2), bytesPerRow,
                           &rows, out.data(), &status) == 0;
    } else {
      testing::internal::GetCapturedStderr();
      ADD_FAILURE() << "unknown kind of regression input";
      continue;
    }
    testing::internal::GetCapturedStderr();
    ++replayed;
    auto known = reads.find(name);
    if (known != reads.end()) {
      EXPECT_EQ(read, known->second);
    }
  }
  EXPECT_GE(replayed, reads.size());
}
