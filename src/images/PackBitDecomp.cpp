#include <kel/images/PackBitDecomp.h>

#include "ShortRuns.h"

int PackBitDecomp(const unsigned char* source, long sourceLength, long bytesPerRow, long* rows,
                  unsigned char* target, long* status) {
  long wanted = rows ? *rows : 0;
  long done = 0;
  long in = 0;
  long code = 0;
  if (!source || !target || !rows || sourceLength < 0 || bytesPerRow <= 0 || wanted < 0) {
    code = PACKBITS_SHORT_DATA;
    wanted = 0;
  }
  for (; done < wanted && code == 0; ++done) {
    unsigned char* out = target + done * bytesPerRow;
    long filled = 0;
    while (filled < bytesPerRow) {
      if (in >= sourceLength) {
        code = PACKBITS_SHORT_DATA;
        break;
      }
      const unsigned n = source[in++];
      if (n == 128) {
        code = PACKBITS_BAD_CONTROL;
        break;
      }
      if (n < 128) {
        const long count = static_cast<long>(n) + 1;
        if (filled + count > bytesPerRow) {
          code = PACKBITS_RUN_PAST_ROW;
          break;
        }
        if (in + count > sourceLength) {
          code = PACKBITS_SHORT_DATA;
          break;
        }
        CopyShortRun(out + filled, source + in, static_cast<size_t>(count));
        in += count;
        filled += count;
      } else {
        const long count = 257 - static_cast<long>(n);
        if (filled + count > bytesPerRow) {
          code = PACKBITS_RUN_PAST_ROW;
          break;
        }
        if (in >= sourceLength) {
          code = PACKBITS_SHORT_DATA;
          break;
        }
        FillShortRun(out + filled, source[in++], static_cast<size_t>(count));
        filled += count;
      }
    }
    if (code != 0) break;
  }
  if (rows) *rows = done;
  if (status) *status = code;
  return code == 0 ? 0 : 1;
}
