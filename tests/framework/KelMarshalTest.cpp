#include <kel/framework/KelMarshal.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "KelTestEnv.h"

namespace {

using Bytes = std::vector<unsigned char>;

// One value of every type, and the reads that take them back in order.
void WriteSample(KelMarshal& m) {
  m.WriteInt(-2);
  m.WriteUnsignedInt(0x01020304u);
  m.WriteUnsignedLong(0x0102030405060708ul);
  m.WriteFloat(1.5f);
  m.WriteDouble(-2.5);
  m.WriteString("ab");
  const unsigned char block[] = {0xAA};
  m.WriteBlock(block, 1);
  const unsigned char raw[] = {0x11, 0x22};
  m.WriteBytes(raw, 2);
}

struct Sample {
  int i = 99;
  unsigned int u = 99;
  unsigned long ul = 99;
  float f = 99;
  double d = 99;
  std::string s = "x";
  Bytes block = {9};
  unsigned char raw[2] = {9, 9};
};

// Answers how many reads succeeded.
int ReadSample(KelMarshal& m, Sample& v) {
  const int failed[] = {m.ReadInt(v.i),       m.ReadUnsignedInt(v.u), m.ReadUnsignedLong(v.ul),
                        m.ReadFloat(v.f),     m.ReadDouble(v.d),      m.ReadString(v.s),
                        m.ReadBlock(v.block), m.ReadBytes(v.raw, 2)};
  int ok = 0;
  for (int f : failed) ok += f == 0;
  return ok;
}

// Worked out by hand: 1.5f is 0x3FC00000, -2.5 is 0xC004000000000000.
const Bytes kBig = {0xFF, 0xFF, 0xFF, 0xFE,                             // -2
                    0x01, 0x02, 0x03, 0x04,                             // 0x01020304
                    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,     // unsigned long
                    0x3F, 0xC0, 0x00, 0x00,                             // 1.5f
                    0xC0, 0x04, 0,    0,    0,    0,    0,    0,        // -2.5
                    0,    0,    0,    3,    'a',  'b',  0,              // "ab"
                    0,    0,    0,    1,    0xAA,                       // block
                    0x11, 0x22};                                        // raw bytes
const Bytes kLittle = {0xFE, 0xFF, 0xFF, 0xFF,                          //
                       0x04, 0x03, 0x02, 0x01,                          //
                       0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  //
                       0x00, 0x00, 0xC0, 0x3F,                          //
                       0,    0,    0,    0,    0,    0,    0x04, 0xC0,  //
                       3,    0,    0,    0,    'a',  'b',  0,           //
                       1,    0,    0,    0,    0xAA,                    //
                       0x11, 0x22};
// Where each of the eight values ends in either stream.
const size_t kEnds[] = {4, 8, 16, 20, 28, 35, 40, 42};

Bytes Held(const KelMarshal& m) {
  return Bytes(m.GetData(), m.GetData() + m.GetSize());
}

TEST(Marshal, EveryTypeHasItsBytesInBothOrdersAndReadsBack) {
  for (auto order : {KelMarshal::BigEndian, KelMarshal::LittleEndian}) {
    SCOPED_TRACE(order);
    KelMarshal m(order);
    WriteSample(m);
    EXPECT_EQ(Held(m), order == KelMarshal::BigEndian ? kBig : kLittle);
    Sample v;
    EXPECT_EQ(ReadSample(m, v), 8);
    EXPECT_EQ(m.GetError(), KelMarshal::NoError);
    EXPECT_EQ(m.GetRemaining(), 0u);
    EXPECT_EQ(std::tie(v.i, v.u, v.ul, v.f, v.d, v.s, v.block, v.raw[0], v.raw[1]),
              std::make_tuple(-2, 0x01020304u, 0x0102030405060708ul, 1.5f, -2.5, std::string("ab"),
                              Bytes{0xAA}, static_cast<unsigned char>(0x11),
                              static_cast<unsigned char>(0x22)));
  }
}

TEST(Marshal, ATruncatedStreamReadsItsWholeValuesThenFailsForGood) {
  for (size_t length = 0; length < kBig.size(); ++length) {
    SCOPED_TRACE(length);
    KelMarshal m(kBig.data(), length);
    Sample v;
    int whole = 0;
    while (kEnds[whole] <= length) ++whole;
    EXPECT_EQ(ReadSample(m, v), whole) << "the raw bytes fit after the failure: the error sticks";
    EXPECT_EQ(m.GetError(), KelMarshal::PastEnd);
    // What failed is left zero or empty.
    if (whole <= 5) {
      EXPECT_EQ(v.s, "");
    }
    if (whole <= 3) {
      EXPECT_EQ(v.f, 0.0f);
    }
    EXPECT_EQ(v.raw[0], 0);
  }
}

TEST(Marshal, HostileLengthsAreRefusedBeforeAnyCopy) {
  struct Case {
    const char* what;
    Bytes bytes;
    int error;
  };
  const Case cases[] = {
      {"a length near 4 GB", {0xFF, 0xFF, 0xFF, 0xF0, 'a', 'b', 0}, KelMarshal::PastEnd},
      {"one byte more than remains", {0, 0, 0, 4, 'a', 'b', 0}, KelMarshal::PastEnd},
      {"no room for the zero", {0, 0, 0, 0}, KelMarshal::Malformed},
      {"no final zero", {0, 0, 0, 2, 'a', 'b'}, KelMarshal::Malformed},
      {"a zero inside", {0, 0, 0, 3, 'a', 0, 0}, KelMarshal::Malformed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KelMarshal m(c.bytes.data(), c.bytes.size());
    std::string s = "x";
    EXPECT_EQ(m.ReadString(s), 1);
    EXPECT_EQ(m.GetError(), c.error);
    EXPECT_EQ(s, "");
    // The block reader takes the same lengths and only the first two cases
    // are too long for it.
    KelMarshal b(c.bytes.data(), c.bytes.size());
    Bytes block;
    EXPECT_EQ(b.ReadBlock(block), c.error == KelMarshal::PastEnd);
  }
}

TEST(Marshal, FilesRoundTripInPiecesAndMisuseIsAnError) {
  const std::string path = keltest::OutputPath("sample.bin");
  KelMarshal out(KelMarshal::LittleEndian);
  ASSERT_EQ(out.Open(path.c_str(), "wb"), 0);
  out.WriteInt(-2);
  ASSERT_EQ(out.Flush(), 0);
  EXPECT_EQ(out.GetSize(), 0u) << "a flush hands the bytes over to the file";
  int i;
  EXPECT_EQ(out.ReadInt(i), 1) << "a write-only file stream is not read";
  EXPECT_EQ(out.GetError(), KelMarshal::FileError);
  EXPECT_EQ(out.Close(), 1) << "the error stays";

  ASSERT_EQ(out.Open(path.c_str(), "wb"), 0);
  WriteSample(out);
  out.Flush();
  out.WriteFloat(1.5f);
  EXPECT_EQ(out.Close(), 0) << "closing writes what the last flush left";
  Bytes expected = kLittle;
  expected.insert(expected.end(), {0x00, 0x00, 0xC0, 0x3F});
  EXPECT_EQ(keltest::ReadBytes(path), expected);

  KelMarshal in(KelMarshal::LittleEndian);
  ASSERT_EQ(in.Open(path.c_str(), "rb"), 0);
  EXPECT_EQ(Held(in), expected);

  EXPECT_EQ(in.Open((path + ".none").c_str(), "rb"), 1);
  EXPECT_EQ(in.GetError(), KelMarshal::FileError);
  EXPECT_EQ(in.GetSize(), 0u);
}

}  // namespace
