#include "PictureRecords.h"

#include <cstring>

namespace {

constexpr int kRecord = 80;

long long PaddedSize(long long length) {
  return (length + kRecord - 1) / kRecord * kRecord;
}

// Passes over `bytes` bytes: short gaps are read, so that the stream stays
// buffered; long ones are sought.
int SkipBytes(FILE* file, long long bytes, const char* what) {
  if (bytes <= 0) return 0;
  if (bytes <= kRecord) {
    char scratch[kRecord];
    if (std::fread(scratch, 1, static_cast<size_t>(bytes), file) != static_cast<size_t>(bytes)) {
      std::perror(what);
      return -1;
    }
    return 0;
  }
  if (std::fseek(file, static_cast<long>(bytes), SEEK_CUR) != 0) {
    std::perror(" fseek () ");
    return -1;
  }
  return 0;
}

}  // namespace

int ecrit_nrecord(FILE* file, int count, char* data) {
  if (count <= 0) return 0;
  const size_t bytes = static_cast<size_t>(count) * kRecord;
  if (std::fwrite(data, 1, bytes, file) != bytes) {
    std::perror(" fwrite()");
    return -1;
  }
  return 0;
}

int lit_nrecord(FILE* file, int count, char* data) {
  if (count <= 0) return 0;
  const size_t bytes = static_cast<size_t>(count) * kRecord;
  if (std::fread(data, 1, bytes, file) != bytes) {
    std::perror(" fread()  ");
    return -1;
  }
  return 0;
}

int lit_record_lenght(FILE* file, void* value) {
  unsigned char record[kRecord];
  if (std::fread(record, 1, kRecord, file) != kRecord) {
    std::perror(" fread()  ");
    return -1;
  }
  const int length = ripic_get32(record);
  std::memcpy(value, &length, sizeof length);
  return 0;
}

int write_file_padded_record(FILE* file, void* data, int* length, int* status) {
  *status = 0;
  if (*length == 0) return *status = 1;
  if (*length < 0) return 0;
  // Whole records straight from the caller's bytes, the tail through a zeroed record.
  const int full = *length / kRecord;
  const int tail = *length % kRecord;
  auto* bytes = static_cast<char*>(data);
  if (ecrit_nrecord(file, full, bytes) != 0) return *status = 1;
  if (tail) {
    char record[kRecord] = {};
    std::memcpy(record, bytes + static_cast<size_t>(full) * kRecord, static_cast<size_t>(tail));
    if (ecrit_nrecord(file, 1, record) != 0) return *status = 1;
  }
  return 0;
}

int read_file_padded_record(FILE* file, void* data, int* length, int* status) {
  *status = 0;
  if (*length == 0) return *status = 1;
  if (*length < 0) {
    const long long skip = PaddedSize(-static_cast<long long>(*length));
    if (std::fseek(file, static_cast<long>(skip), SEEK_CUR) != 0) {
      std::perror(" fseek () ");
      return *status = 1;
    }
    return 0;
  }
  if (std::fread(data, 1, static_cast<size_t>(*length), file) != static_cast<size_t>(*length)) {
    std::perror(" fread () ");
    return *status = 1;
  }
  if (SkipBytes(file, PaddedSize(*length) - *length, " fread () ") != 0) return *status = 1;
  return 0;
}

int ripic_write_item(FILE* file, const void* data, int length) {
  if (length <= 0) return -1;
  unsigned char head[4];
  ripic_put32(head, length);
  int four = 4, status = 0;
  if (write_file_padded_record(file, head, &four, &status) != 0) return -1;
  if (write_file_padded_record(file, const_cast<void*>(data), &length, &status) != 0) return -1;
  return 0;
}

int ripic_read_item_length(FILE* file, int* length) {
  if (lit_record_lenght(file, length) != 0) return -1;
  return *length > 0 ? 0 : -1;
}

int ripic_read_item_body(FILE* file, void* data, int length, int keep) {
  if (length <= 0 || keep < 0 || keep > length) return -1;
  if (keep > 0 &&
      std::fread(data, 1, static_cast<size_t>(keep), file) != static_cast<size_t>(keep)) {
    std::perror(" fread () ");
    return -1;
  }
  return SkipBytes(file, PaddedSize(length) - keep, " fread () ");
}

int ripic_read_fixed_item(FILE* file, void* data, int expected) {
  int length = 0;
  if (ripic_read_item_length(file, &length) != 0 || length != expected) return -1;
  return ripic_read_item_body(file, data, length, length);
}

int ripic_skip_items(FILE* file, long long count) {
  if (count < 0) return -1;
  // Every pass reads a whole length record, so a lying count ends at the end of the file.
  for (long long i = 0; i < count; ++i) {
    int length = 0;
    if (ripic_read_item_length(file, &length) != 0) return -1;
    if (SkipBytes(file, PaddedSize(length), " fseek()") != 0) return -1;
  }
  return 0;
}
