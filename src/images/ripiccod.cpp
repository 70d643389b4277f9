#include "ripiccod.h"

#include "ripicdbg.h"

#include <cstdio>

namespace {

int Decode(int code, int* organisation, int* compressed, int* algorithm) {
  if (code >= 0 && code < 10) {
    organisation[0] = 1;
    organisation[1] = 16;
    organisation[2] = organisation[3] = 0;
    *compressed = 1;
    *algorithm = code;
    return 0;
  }
  const int q = code / 10000;
  const int h = (code - q * 10000) / 100;
  if (code < 0 || (q != 1 && q != 2) || (h != 4 && h != 5) || (h == 5 && q != 2)) {
    std::printf("Mirka_picture : code de compression non reconnu \n");
    return -2;
  }
  const int bits = h == 4 ? 8 : 16;
  organisation[0] = q == 1 ? 3 : 1;
  organisation[1] = bits;
  organisation[2] = organisation[3] = q == 1 ? 8 : 0;
  *algorithm = code % 100;
  *compressed = *algorithm >= 1 ? 1 : 0;
  return 0;
}

int Encode(int* code, const int* organisation, int compressed, int algorithm) {
  int base = 0;
  if (organisation[0] == 3 && organisation[1] == 8 && organisation[2] == 8 && organisation[3] == 8)
    base = 10400;
  else if (organisation[0] == 1 && organisation[1] == 8)
    base = 20400;
  if (base == 0 || (compressed && (algorithm < 0 || algorithm > 99))) {
    std::printf("Mirka_picture : pixel descritption not available  \n");
    return -3;
  }
  *code = base + (compressed ? algorithm : 0);
  return 0;
}

}  // namespace

int ripiccod(int mode, int* code, int* organisation, int* compressed, int* algorithm, int* status) {
  int answer = -1;
  if (mode == 0)
    answer = Decode(*code, organisation, compressed, algorithm);
  else if (mode == 1)
    answer = Encode(code, organisation, *compressed, *algorithm);
  if (ripicdbg())
    std::printf(
        "ripiccod: mode %d code %d components %d bits %d %d %d compressed %d algorithm %d -> %d\n",
        mode, *code, organisation[0], organisation[1], organisation[2], organisation[3],
        *compressed, *algorithm, answer);
  *status = answer;
  return answer;
}
