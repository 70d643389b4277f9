#include "DecodeRGBRow.h"

#include "ShortRuns.h"

long DecodeRGBRow(const unsigned char* source, long sourceLength, unsigned char* target,
                  long width) {
  long in = 0, out = 0;
  while (in < sourceLength) {
    const unsigned control = source[in++];
    const long count = static_cast<long>(control & 0x7F);
    if (count == 0) break;
    if (out + count > width) return -1;
    if (control & 0x80) {
      if (in + count > sourceLength) return -1;
      CopyShortRun(target + out, source + in, static_cast<size_t>(count));
      in += count;
    } else {
      if (in >= sourceLength) return -1;
      FillShortRun(target + out, source[in++], static_cast<size_t>(count));
    }
    out += count;
  }
  return out;
}
