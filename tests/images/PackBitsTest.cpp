#include <kel/images/PackBitComp.h>
#include <kel/images/PackBitDecomp.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using V = std::vector<unsigned char>;

struct Decoded {
  int answer;
  long rows;
  long status;
  V bytes;
};

Decoded Decode(const V& source, long bytesPerRow, long rows) {
  Decoded d{0, rows, -1, V(static_cast<size_t>(bytesPerRow * rows), 0xEE)};
  d.answer = PackBitDecomp(source.data(), static_cast<long>(source.size()), bytesPerRow, &d.rows,
                           d.bytes.data(), &d.status);
  return d;
}

V Encode(const V& source, long bytesPerRow, long rows, long capacity) {
  V out(static_cast<size_t>(capacity));
  long length = -1, status = -1;
  EXPECT_EQ(PackBitComp(source.data(), bytesPerRow, rows, out.data(), capacity, &length, &status),
            0);
  EXPECT_EQ(status, 0);
  out.resize(static_cast<size_t>(length));
  return out;
}

// The decoder byte by byte: the oracle of the inlined copies.
Decoded PlainDecode(const V& source, long bytesPerRow, long rows) {
  Decoded d{0, 0, 0, V(static_cast<size_t>(bytesPerRow * rows), 0xEE)};
  size_t in = 0;
  for (; d.rows < rows && d.status == 0; ++d.rows) {
    for (long filled = 0; filled < bytesPerRow && d.status == 0;) {
      if (in >= source.size()) {
        d.status = PACKBITS_SHORT_DATA;
        break;
      }
      const unsigned n = source[in++];
      const long count = n < 128 ? long(n) + 1 : 257 - long(n);
      if (n == 128)
        d.status = PACKBITS_BAD_CONTROL;
      else if (filled + count > bytesPerRow)
        d.status = PACKBITS_RUN_PAST_ROW;
      else if (in + (n < 128 ? count : 1) > source.size())
        d.status = PACKBITS_SHORT_DATA;
      for (long k = 0; k < count && d.status == 0; ++k)
        d.bytes[static_cast<size_t>(d.rows * bytesPerRow + filled++)] = source[n < 128 ? in++ : in];
      if (n > 128 && d.status == 0) ++in;
    }
    if (d.status) break;
  }
  d.answer = d.status ? 1 : 0;
  return d;
}

}  // namespace

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
    const Decoded expected = PlainDecode(packed, bytesPerRow, rows);
    const Decoded d = Decode(packed, bytesPerRow, rows);
    ASSERT_EQ(d.answer, expected.answer) << trial;
    ASSERT_EQ(d.rows, expected.rows) << trial;
    ASSERT_EQ(d.status, expected.status) << trial;
    ASSERT_EQ(d.bytes, expected.bytes) << trial;
  }
}

TEST(PackBits, DecodesLiteralAndRepeatRuns) {
  // 254: 3 x AA; 2: 3 literals; 253: 4 x AA; 3: 4 literals; 247: 10 x AA.
  const V packed = {0xFE, 0xAA, 0x02, 0x80, 0x00, 0x2A, 0xFD, 0xAA,
                    0x03, 0x80, 0x00, 0x2A, 0x22, 0xF7, 0xAA};
  const V expected = {0xAA, 0xAA, 0xAA, 0x80, 0x00, 0x2A, 0xAA, 0xAA, 0xAA, 0xAA, 0x80, 0x00,
                      0x2A, 0x22, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  Decoded d = Decode(packed, 24, 1);
  EXPECT_EQ(d.answer, 0);
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.rows, 1);
  EXPECT_EQ(d.bytes, expected);
  // The same data as two rows of 12: the 4-literal run would cross the row end.
  d = Decode(packed, 12, 2);
  EXPECT_EQ(d.status, PACKBITS_RUN_PAST_ROW);
  EXPECT_EQ(d.rows, 0);
}

TEST(PackBits, RefusesControl128AndTruncatedData) {
  Decoded d = Decode({0x01, 7, 8, 0x80, 0xFF, 9}, 4, 1);
  EXPECT_EQ(d.answer, 1);
  EXPECT_EQ(d.status, PACKBITS_BAD_CONTROL);
  // Second row missing, then a literal run cut short, then a repeat without its byte.
  d = Decode({0xFD, 5}, 4, 2);
  EXPECT_EQ(d.status, PACKBITS_SHORT_DATA);
  EXPECT_EQ(d.rows, 1);
  EXPECT_EQ(Decode({0x03, 1, 2}, 4, 1).status, PACKBITS_SHORT_DATA);
  EXPECT_EQ(Decode({0xFD}, 4, 1).status, PACKBITS_SHORT_DATA);
  EXPECT_EQ(Decode({}, 1, 1).status, PACKBITS_SHORT_DATA);
}

TEST(PackBits, IncompressibleRowsDecodeFromMoreBytesThanTheyHold) {
  // A noisy 200-pixel RGB row packs into 600 + 5 bytes: literal runs add
  // their control bytes.
  std::mt19937 random(7);
  V noise(6000);
  for (auto& b : noise) b = static_cast<unsigned char>(random());
  for (size_t i = 1; i < noise.size(); ++i)
    if (noise[i] == noise[i - 1]) noise[i] ^= 1;
  const V packed = Encode(noise, 600, 10, 12000);
  EXPECT_EQ(packed.size(), 10u * (600 + 5) + 1);
  EXPECT_EQ(packed.back(), 128);
  Decoded d = Decode(packed, 600, 10);
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.rows, 10);
  EXPECT_EQ(d.bytes, noise);
}

TEST(PackBits, EncodesRunsWithinEachRow) {
  // A run of 5, then literals; a repeat of 2 after literals; runs never cross rows.
  EXPECT_EQ(Encode({9, 9, 9, 9, 9, 1, 2}, 7, 1, 64), (V{0xFC, 9, 0x01, 1, 2, 128}));
  EXPECT_EQ(Encode({4, 5, 6, 7, 7}, 5, 1, 16), (V{0x02, 4, 5, 6, 0xFF, 7, 128}));
  EXPECT_EQ(Encode({3, 3, 3, 3}, 2, 2, 16), (V{0xFF, 3, 0xFF, 3, 128}));
  // Long runs split at 128 repeats and 127 literals.
  V flat(300, 5);
  EXPECT_EQ(Encode(flat, 300, 1, 1000), (V{0x81, 5, 0x81, 5, 0xD5, 5, 128}));
}

TEST(PackBits, EncoderStopsWhenLessThanTwoRowsOfRoomRemain) {
  V out(10);
  long length = 0, status = 0;
  const V rows(12, 1);
  EXPECT_EQ(PackBitComp(rows.data(), 4, 3, out.data(), 10, &length, &status), 1);
  EXPECT_EQ(status, PACKBITS_SHORT_DATA);
}
