#include <kel/images/PackBitComp.h>
#include <kel/images/PackBitDecomp.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using V = std::vector<unsigned char>;

// Decodes rows of bytesPerRow; answers the status, the rows read and the bytes.
std::tuple<long, long, V> Decode(const V& source, long bytesPerRow, long rows) {
  V out(static_cast<size_t>(bytesPerRow * rows), 0xEE);
  long status = -1;
  PackBitDecomp(source.data(), static_cast<long>(source.size()), bytesPerRow, &rows, out.data(),
                &status);
  return {status, rows, out};
}
V Encode(const V& source, long bytesPerRow, long rows, long capacity, long expectedStatus = 0) {
  V out(static_cast<size_t>(capacity));
  long length = 0, status = -1;
  PackBitComp(source.data(), bytesPerRow, rows, out.data(), capacity, &length, &status);
  EXPECT_EQ(status, expectedStatus);
  out.resize(static_cast<size_t>(status ? 0 : length));
  return out;
}

// The decoder byte by byte: the oracle of the inlined copies.
std::tuple<long, long, V> PlainDecode(const V& source, long bytesPerRow, long rows) {
  V bytes(static_cast<size_t>(bytesPerRow * rows), 0xEE);
  long status = 0, done = 0;
  size_t in = 0;
  for (; done < rows && status == 0; ++done) {
    for (long filled = 0; filled < bytesPerRow && status == 0;) {
      if (in >= source.size()) {
        status = PACKBITS_SHORT_DATA;
        break;
      }
      const unsigned n = source[in++];
      const long count = n < 128 ? long(n) + 1 : 257 - long(n);
      if (n == 128)
        status = PACKBITS_BAD_CONTROL;
      else if (filled + count > bytesPerRow)
        status = PACKBITS_RUN_PAST_ROW;
      else if (in + (n < 128 ? count : 1) > source.size())
        status = PACKBITS_SHORT_DATA;
      for (long k = 0; k < count && status == 0; ++k)
        bytes[static_cast<size_t>(done * bytesPerRow + filled++)] = source[n < 128 ? in++ : in];
      if (n > 128 && status == 0) ++in;
    }
    if (status) break;
  }
  return {status, done, bytes};
}

TEST(PackBits, DecodesAsThePlainByteLoop) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 3000; ++trial) {
    // Well-formed streams of runs of every length, cut or corrupted now and then.
    const long bytesPerRow = 1 + static_cast<long>(random() % 300), rows = 1 + random() % 4;
    V image(static_cast<size_t>(bytesPerRow * rows));
    for (size_t i = 0; i < image.size(); ++i)
      image[i] = random() % 3 ? static_cast<unsigned char>(random()) : (i ? image[i - 1] : 0);
    V packed = Encode(image, bytesPerRow, rows, 2 * bytesPerRow * rows + 2);
    if (trial % 3 == 1) packed.resize(random() % packed.size());
    if (trial % 3 == 2) packed[random() % packed.size()] = static_cast<unsigned char>(random());
    ASSERT_EQ(Decode(packed, bytesPerRow, rows), PlainDecode(packed, bytesPerRow, rows)) << trial;
  }
}

// What runs and literals decode to: the TIFF files of tiffcp and pnmtotiff
// in TiffInteropTest.
TEST(PackBits, RefusesMalformedData) {
  // 254: 3 x AA; 2: 3 literals; 253: 4 x AA; 3: 4 literals; 247: 10 x AA.
  const V packed = {0xFE, 0xAA, 0x02, 0x80, 0x00, 0x2A, 0xFD, 0xAA,
                    0x03, 0x80, 0x00, 0x2A, 0x22, 0xF7, 0xAA};
  // As two rows of 12 the 4-literal run would cross the row end.
  EXPECT_EQ(std::get<0>(Decode(packed, 12, 2)), PACKBITS_RUN_PAST_ROW);
  EXPECT_EQ(std::get<0>(Decode({0x01, 7, 8, 0x80, 0xFF, 9}, 4, 1)), PACKBITS_BAD_CONTROL);
  // Second row missing, a literal run cut short, a repeat without its byte, nothing.
  EXPECT_EQ(std::get<1>(Decode({0xFD, 5}, 4, 2)), 1);
  for (const V& cut : {V{0xFD, 5}, V{0x03, 1, 2}, V{0xFD}, V{}})
    EXPECT_EQ(std::get<0>(Decode(cut, 4, 2)), PACKBITS_SHORT_DATA);
}

TEST(PackBits, EncodesRunsWithinEachRowAndDecodesItsOwnOutput) {
  // A run of 5, then literals; runs never cross rows; long runs split at 128
  // repeats and 127 literals.
  EXPECT_EQ(Encode({9, 9, 9, 9, 9, 1, 2}, 7, 1, 64), (V{0xFC, 9, 0x01, 1, 2, 128}));
  EXPECT_EQ(Encode({3, 3, 3, 3}, 2, 2, 16), (V{0xFF, 3, 0xFF, 3, 128}));
  EXPECT_EQ(Encode(V(300, 5), 300, 1, 1000), (V{0x81, 5, 0x81, 5, 0xD5, 5, 128}));
  Encode(V(12, 1), 4, 3, 10, PACKBITS_SHORT_DATA);  // less than two rows of room
  // Noise packs into literal runs with their control bytes.
  std::mt19937 random(7);
  V noise(6000);
  for (auto& b : noise) b = static_cast<unsigned char>(random());
  const V packed = Encode(noise, 600, 10, 12000);
  EXPECT_EQ(Decode(packed, 600, 10), std::make_tuple(0L, 10L, noise));
}

}  // namespace
