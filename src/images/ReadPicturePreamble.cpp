#include "ReadPicturePreamble.h"

#include "PictureRecords.h"
#include "ripicdbg.h"

int ReadPicturePreamble(FILE* file, int* descriptionCount) {
  char header[3 * 80];
  unsigned char count[4];
  if (lit_nrecord(file, 3, header) != 0 || ripic_skip_items(file, 2) != 0 ||
      ripic_read_fixed_item(file, count, 4) != 0 || ripic_skip_items(file, 1) != 0)
    return -1;
  *descriptionCount = ripic_get32(count);
  if (ripicdbg()) std::printf("ReadPicturePreamble: %d description(s)\n", *descriptionCount);
  return 0;
}
