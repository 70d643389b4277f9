#include "EncodeRGBRow.h"

#include <cstring>

long EncodeRGBRow(const unsigned char* source, long width, unsigned char* target,
                  long targetLength) {
  if (!source || !target || width < 0 || targetLength < EncodedRGBRowMaxLength(width)) return -1;
  long in = 0, out = 0;
  while (in < width) {
    long run = 1;
    while (in + run < width && run < 127 && source[in + run] == source[in]) ++run;
    if (run >= 3) {
      target[out++] = static_cast<unsigned char>(run);
      target[out++] = source[in];
      in += run;
      continue;
    }
    // Literal bytes up to the next run of three.
    long end = in + 1;
    while (end < width && end - in < 127 &&
           !(end + 2 < width && source[end] == source[end + 1] && source[end] == source[end + 2]))
      ++end;
    target[out++] = static_cast<unsigned char>(0x80 | (end - in));
    std::memcpy(target + out, source + in, static_cast<size_t>(end - in));
    out += end - in;
    in = end;
  }
  target[out++] = 0;
  return out;
}
