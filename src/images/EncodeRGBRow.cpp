#include "EncodeRGBRow.h"

#include "ShortRuns.h"

#include <cstdint>
#include <cstring>

namespace {

// Eight bytes at a time where the row allows; the first byte of a word is its
// lowest (little-endian loads).
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kWords = true;
#else
constexpr bool kWords = false;
#endif
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

inline std::uint64_t Load(const unsigned char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Index of the first zero byte of v, 8 when there is none. The borrow of the
// classic test only marks bytes above a true zero, so the lowest mark is exact.
inline int FirstZeroByte(std::uint64_t v) {
  const std::uint64_t marks = (v - kOnes) & ~v & kHighs;
  return marks ? __builtin_ctzll(marks) >> 3 : 8;
}

// End of the run of bytes equal to source[from - 1] that starts at `from`,
// not past `limit`.
long RunEnd(const unsigned char* source, long from, long limit) {
  const unsigned char value = source[from - 1];
  if (kWords) {
    const std::uint64_t same = kOnes * value;
    for (; from + 8 <= limit; from += 8) {
      const std::uint64_t differ = Load(source + from) ^ same;
      if (differ) return from + (__builtin_ctzll(differ) >> 3);
    }
  }
  while (from < limit && source[from] == value) ++from;
  return from;
}

// First position p in [from, limit) that starts three equal bytes (p + 2 <
// width), or limit when none does.
long TripleStart(const unsigned char* source, long from, long limit, long width) {
  if (kWords) {
    for (; from < limit && from + 10 <= width; from += 8) {
      const std::uint64_t a = Load(source + from), b = Load(source + from + 1);
      const std::uint64_t c = Load(source + from + 2);
      const int k = FirstZeroByte((a ^ b) | (b ^ c));
      if (k < 8) return from + k < limit ? from + k : limit;
    }
  }
  for (; from < limit; ++from)
    if (from + 2 < width && source[from] == source[from + 1] && source[from] == source[from + 2])
      return from;
  return limit;
}

}  // namespace

long EncodeRGBRow(const unsigned char* source, long width, unsigned char* target,
                  long targetLength) {
  if (!source || !target || width < 0 || targetLength < EncodedRGBRowMaxLength(width)) return -1;
  long in = 0, out = 0;
  while (in < width) {
    const long run = RunEnd(source, in + 1, in + 127 < width ? in + 127 : width) - in;
    if (run >= 3) {
      target[out++] = static_cast<unsigned char>(run);
      target[out++] = source[in];
      in += run;
      continue;
    }
    // Literal bytes up to the next run of three.
    const long end = TripleStart(source, in + 1, in + 127 < width ? in + 127 : width, width);
    target[out++] = static_cast<unsigned char>(0x80 | (end - in));
    CopyShortRun(target + out, source + in, static_cast<size_t>(end - in));
    out += end - in;
    in = end;
  }
  target[out++] = 0;
  return out;
}
