#include "ripicunc.h"

#include "ripicdbg.h"

#include <cstdio>
#include <cstring>

namespace {

int Raw(const unsigned char* in, long long length, int width, int sample, int c1, int c2, int l1,
        int l2, unsigned char* out) {
  const size_t lineBytes = static_cast<size_t>(width) * sample;
  if (static_cast<long long>(l2) * static_cast<long long>(lineBytes) > length) return -3;
  const size_t wanted = static_cast<size_t>(c2 - c1 + 1) * sample;
  for (int line = l1; line <= l2; ++line) {
    std::memcpy(out, in + (line - 1) * lineBytes + static_cast<size_t>(c1 - 1) * sample, wanted);
    out += wanted;
  }
  return 0;
}

// Run-length pairs (sample 1) or triples (sample 2); every length is checked
// against the block, and a run may not cross the end of its line.
int Runs(const unsigned char* in, long long length, int width, int sample, int c1, int c2, int l1,
         int l2, unsigned char* out) {
  const int step = 1 + sample;
  const int first = c1 - 1;  // window columns [first, last)
  const int last = c2;
  const size_t wanted = static_cast<size_t>(last - first) * sample;
  long long pos = 0;
  for (int line = 1; line <= l2; ++line) {
    const bool keep = line >= l1;
    int x = 0;
    while (x < width) {
      if (pos + step > length) return -3;
      const int count = in[pos];
      if (count == 0 || count > width - x) return -3;
      if (keep) {
        const int lo = x > first ? x : first;
        const int hi = x + count < last ? x + count : last;
        if (lo < hi) {
          if (sample == 1) {
            std::memset(out + (lo - first), in[pos + 1], static_cast<size_t>(hi - lo));
          } else {
            for (int c = lo; c < hi; ++c) {
              out[2 * (c - first)] = in[pos + 1];
              out[2 * (c - first) + 1] = in[pos + 2];
            }
          }
        }
      }
      pos += step;
      x += count;
    }
    if (keep) out += wanted;
  }
  return 0;
}

}  // namespace

int ripicunc(int* algorithm, int* width, int* window, int* bytesPerSample, char* block, int* length,
             unsigned char* target) {
  const int a = *algorithm;
  const int sample = *bytesPerSample;
  const int w = *width;
  const int c1 = window[0], c2 = window[1], l1 = window[2], l2 = window[3];
  if (ripicdbg())
    std::printf("ripicunc: algorithm %d width %d columns %d-%d lines %d-%d bytes %d\n", a, w, c1,
                c2, l1, l2, *length);
  const bool known = (a == 0 && (sample == 1 || sample == 2)) || (a == 7 && sample == 1) ||
                     (a == 8 && sample == 2);
  if (!known) {
    std::printf("Mirka_picture : compression code not available  \n");
    return -1;
  }
  if (w <= 0 || c1 < 1 || c1 > c2 || c2 > w || l1 < 1 || l1 > l2 || *length < 0) return -1;
  const auto* in = reinterpret_cast<const unsigned char*>(block);
  const int answer = a == 0 ? Raw(in, *length, w, sample, c1, c2, l1, l2, target)
                            : Runs(in, *length, w, sample, c1, c2, l1, l2, target);
  if (answer != 0 && ripicdbg()) std::printf("ripicunc: malformed block\n");
  return answer;
}
