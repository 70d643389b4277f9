#include "tifflec.h"

#include <climits>

int tifflec(FILE* file, unsigned long offset, unsigned long length, char* buffer) {
  if (!file || offset > static_cast<unsigned long>(LONG_MAX)) return 1;
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return 1;
  while (length > 0) {
    const size_t piece = length < 512 ? length : 512;
    if (std::fread(buffer, 1, piece, file) != piece) return 1;
    buffer += piece;
    length -= piece;
  }
  return 0;
}
