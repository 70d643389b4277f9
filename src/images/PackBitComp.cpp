#include <kel/images/PackBitComp.h>

#include <cstring>

namespace {

long RunLength(const unsigned char* p, long left) {
  long n = 1;
  while (n < left && n < 128 && p[n] == p[0]) ++n;
  return n;
}

}  // namespace

int PackBitComp(const unsigned char* source, long bytesPerRow, long rows, unsigned char* target,
                long targetLength, long* length, long* status) {
  long out = 0;
  long code = 0;
  if (!source || !target || bytesPerRow <= 0 || rows < 0 || targetLength < 0)
    code = PACKBITS_SHORT_DATA;
  for (long r = 0; r < rows && code == 0; ++r) {
    // Two rows of room always hold one encoded row: a literal byte of control
    // costs at most one byte per 127.
    if (targetLength - out < 2 * bytesPerRow) {
      code = PACKBITS_SHORT_DATA;
      break;
    }
    const unsigned char* row = source + r * bytesPerRow;
    long i = 0;
    while (i < bytesPerRow) {
      const long run = RunLength(row + i, bytesPerRow - i);
      if (run >= 2) {
        target[out++] = static_cast<unsigned char>(257 - run);
        target[out++] = row[i];
        i += run;
        continue;
      }
      long j = i + 1;
      while (j < bytesPerRow && j - i < 127 && (j + 1 >= bytesPerRow || row[j + 1] != row[j])) ++j;
      target[out++] = static_cast<unsigned char>(j - i - 1);
      std::memcpy(target + out, row + i, static_cast<size_t>(j - i));
      out += j - i;
      i = j;
    }
  }
  if (code == 0) {
    if (out < targetLength)
      target[out++] = 128;
    else
      code = PACKBITS_SHORT_DATA;
  }
  if (length) *length = out;
  if (status) *status = code;
  return code == 0 ? 0 : 1;
}
