#include <kel/images/ripicwdt.h>

#include "PictureRecords.h"
#include "ReadPicturePreamble.h"
#include "ripiccod.h"
#include "ripiccom.h"
#include "ripicdat.h"
#include "ripicdbg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

int WriteFailure() {
  std::printf(" Mirka_picture : error in reading internal blocs \n ");
  return -1;
}

int WritePreamble(FILE* file, int width, int height) {
  char header[3 * 80];
  std::memset(header, ' ', 80);
  char stu[48];
  // A six-digit size makes the text longer than its 16-byte field: cut it there.
  std::snprintf(stu, sizeof stu, "STU %5d X%5d", width, height);
  std::memset(header + 80, ' ', 16);
  std::memcpy(header + 80, stu, std::min<size_t>(std::strlen(stu), 16));
  std::memcpy(header + 96, "PIXEL   ", 8);
  std::memset(header + 104, 0, 56);
  std::memset(header + 160, ' ', 80);
  if (ecrit_nrecord(file, 3, header) != 0) return -1;

  char date[28], time[8];
  int format = 4;
  if (ripicdat(date, time, &format) != 0) std::memset(date, ' ', sizeof date);
  if (ripic_write_item(file, date, sizeof date) != 0) return -1;

  char product[80] = {};
  std::memcpy(product, "MIRKA SOLUTIONS V4  ", 20);
  std::memcpy(product + 20, "RELEASE 1.5 FR 4.1.5", 20);
  if (ripic_write_item(file, product, sizeof product) != 0) return -1;

  unsigned char count[4];
  ripic_put32(count, 1);
  if (ripic_write_item(file, count, 4) != 0) return -1;
  return ripic_write_item(file, "CREATION : MIRKA - RENDENRING APPICATION", 40);
}

}  // namespace

int ripicwdt(const char* path, int* imageCode, int* size, unsigned char* pixels) {
  const bool trace = ripicdbg();
  if (trace) std::printf("***********ripicwdt ******************* \n");
  // Everything is checked before the file is created, so that a refused call
  // leaves an existing file alone.
  if (!imageCode || *imageCode != 1) {
    std::printf("Mirka_picture : image code not supported  \n");
    return -5;
  }
  if (!size || !pixels || size[0] < 1 || size[0] > kRipicMaxWidth || size[1] < 1) {
    std::printf("Mirka_picture : imcompatible pixel size  argument \n");
    return -11;
  }
  const int width = size[0];
  const int height = size[1];
  const int lines = std::min(kRipicMaxWidth / width, height);
  const int blocks = (height - 1) / lines + 1;
  if (3LL * blocks + 1 > 0x7fffffff) {
    std::printf("Mirka_picture : imcompatible pixel size  argument \n");
    return -11;
  }
  int organisation[4] = {3, 8, 8, 8};
  int compressed = 1, algorithm = 7, code = 0, status = 0;
  if (ripiccod(1, &code, organisation, &compressed, &algorithm, &status) != 0) {
    std::printf(" Mirka_picture : error in decoding compression informations \n ");
    return -2;
  }
  if (trace)
    std::printf("ripicwdt: %s width %d height %d lines per block %d blocks %d code %d\n",
                path ? path : "(null)", width, height, lines, blocks, code);

  std::unique_ptr<FILE, FileCloser> file(path ? std::fopen(path, "wb") : nullptr);
  if (!file) {
    std::printf(" Mirka_picture : unable to create file  \n ");
    return -5;
  }
  if (WritePreamble(file.get(), width, height) != 0) return WriteFailure();

  const int rawMax = width * lines;
  unsigned char description[12] = {};
  description[3] = 1;  // kind 0, 1: pixels
  ripic_put32(description + 4, 3 * blocks + 1);
  ripic_put32(description + 8, std::max(rawMax, 36));
  if (ripic_write_item(file.get(), description, 12) != 0) return WriteFailure();

  const int pixelHeader[9] = {width, height, 1, code, blocks, rawMax, 0, 4, 0};
  unsigned char header[36];
  for (int i = 0; i < 9; ++i) ripic_put32(header + 4 * i, pixelHeader[i]);
  if (ripic_write_item(file.get(), header, 36) != 0) return WriteFailure();

  std::vector<unsigned char> packed(static_cast<size_t>(rawMax));
  const size_t plane = static_cast<size_t>(width) * height;
  for (int component = 0; component < 3; ++component) {
    for (int block = 0; block < blocks; ++block) {
      const int firstLine = block * lines;
      const int n = std::min(lines, height - firstLine);
      int blockSize[2] = {width, n};
      int rawSize = width * n;
      int one = 1, packedLength = 0;
      auto* source = reinterpret_cast<char*>(pixels + component * plane +
                                             static_cast<size_t>(firstLine) * width);
      const int answer =
          ripiccom(&algorithm, blockSize, &one, &rawSize, source, &packedLength, packed.data());
      if (answer < 0) {
        std::printf(" Mirka_picture : compressed bloc failed  \n ");
        return -3;
      }
      // Not shorter compressed: stored raw; the reader tells by the length.
      const bool raw = answer == 1;
      if (trace)
        std::printf("ripicwdt: component %d block %d lines %d %s %d bytes\n", component + 1,
                    block + 1, n, raw ? "raw" : "compressed", raw ? rawSize : packedLength);
      if (ripic_write_item(file.get(), raw ? static_cast<const void*>(source) : packed.data(),
                           raw ? rawSize : packedLength) != 0)
        return WriteFailure();
    }
  }

  unsigned char end[32];
  std::memset(end, 255, sizeof end);
  if (ripic_write_item(file.get(), end, 32) != 0 || ripic_write_item(file.get(), end, 32) != 0)
    return WriteFailure();
  // A full disk may show only when the buffer is flushed.
  if (std::fclose(file.release()) != 0) return WriteFailure();
  if (trace) std::printf("ripicwdt: done\n");
  return 0;
}
