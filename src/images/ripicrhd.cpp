#include <kel/images/ripicrhd.h>

#include "PictureRecords.h"
#include "ReadPicturePreamble.h"
#include "ripiccod.h"
#include "ripicdbg.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

int ReadFailure() {
  std::printf(" Mirka_picture : error in reading internal blocs \n ");
  return -1;
}

}  // namespace

int ripicrhd(const char* path, int* imageCode, int* size) {
  const bool trace = ripicdbg();
  if (trace) std::printf("***********ripicrhd ******************* \n");
  size[0] = size[1] = 0;
  std::unique_ptr<FILE, FileCloser> file(path ? std::fopen(path, "rb") : nullptr);
  if (!file) {
    std::printf(" Mirka_picture : unable to open file   \n ");
    return -5;
  }
  int descriptions = 0;
  if (ReadPicturePreamble(file.get(), &descriptions) != 0) return ReadFailure();

  bool found = false;
  for (long long d = 0; d < descriptions; ++d) {
    unsigned char description[12];
    if (ripic_read_fixed_item(file.get(), description, 12) != 0) return ReadFailure();
    const int kindHigh = ripic_get16(description);
    const int kindLow = ripic_get16(description + 2);
    const int items = ripic_get32(description + 4);
    if (trace)
      std::printf("ripicrhd: description %lld kind %d %d items %d\n", d + 1, kindHigh, kindLow,
                  items);
    if (kindHigh != 0 || kindLow != 1) {
      if (ripic_skip_items(file.get(), items) != 0) return ReadFailure();
      continue;
    }
    unsigned char raw[36];
    if (ripic_read_fixed_item(file.get(), raw, 36) != 0) return ReadFailure();
    int header[9];
    for (int i = 0; i < 9; ++i) header[i] = ripic_get32(raw + 4 * i);
    if (trace)
      std::printf("ripicrhd: width %d height %d code %d blocks %d largest %d colours %d\n",
                  header[0], header[1], header[3], header[4], header[5], header[8]);
    if (header[0] < 1 || header[0] > kRipicMaxWidth || header[1] < 1) {
      std::printf("Mirka_picture : imcompatible pixel size  argument \n");
      return -11;
    }
    int organisation[4] = {}, compressed = 0, algorithm = 0, status = 0;
    if (ripiccod(0, &header[3], organisation, &compressed, &algorithm, &status) != 0) {
      std::printf(" Mirka_picture : error in decoding compression informations \n ");
      return -2;
    }
    // The first pixel description is the one the data reader uses.
    if (!found) {
      size[0] = header[0];
      size[1] = header[1];
      found = true;
    }
    const long long blocks = header[4];
    if (blocks < 0) return ReadFailure();
    const long long rest =
        organisation[0] == 1 ? blocks + 1 : 3 * blocks + (header[8] != 0 ? 2 : 0);
    if (ripic_skip_items(file.get(), rest) != 0) return ReadFailure();
  }
  *imageCode = 1;
  return 0;
}
