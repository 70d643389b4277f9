// Record I/O of picture files. A picture file is a whole number of 80-byte
// records; an item of L bytes is one length record (L as a big-endian 32-bit
// integer, then 76 zeros) followed by ceil(L / 80) zero-padded data records.
#pragma once

#include <cstdint>
#include <cstdio>

// One item body. `status`: 0 success, 1 zero length or I/O failure, 36 no buffer.
// Writing a negative length writes nothing. Reading: 4 reads a length record's
// value, -K skips ceil(K / 80) records, L > 0 reads ceil(L / 80) records into
// `data` and keeps their first L bytes. Both answer `status`.
int write_file_padded_record(FILE* file, void* data, int* length, int* status);
int read_file_padded_record(FILE* file, void* data, int* length, int* status);

// `count` whole records: 0, or -1 on an I/O failure.
int ecrit_nrecord(FILE* file, int count, char* data);
int lit_nrecord(FILE* file, int count, char* data);

// The value of a length record, as a host int stored at `value`; skips the 76
// other bytes. 0 or -1.
int lit_record_lenght(FILE* file, void* value);

// Item helpers of the picture routines: 0 or -1, no message.
// Writes one item (length record, then the padded body).
int ripic_write_item(FILE* file, const void* data, int length);
// Reads an item's length record; the length must be positive.
int ripic_read_item_length(FILE* file, int* length);
// Reads the body of an item of `length` bytes, keeping its first `keep` bytes
// (keep <= length) and passing over the rest.
int ripic_read_item_body(FILE* file, void* data, int length, int keep);
// Reads an item whose length must be exactly `expected`.
int ripic_read_fixed_item(FILE* file, void* data, int expected);
// Passes over `count` items (count >= 0).
int ripic_skip_items(FILE* file, long long count);

inline std::int32_t ripic_get32(const unsigned char* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) << 24 |
                                   static_cast<std::uint32_t>(p[1]) << 16 |
                                   static_cast<std::uint32_t>(p[2]) << 8 | p[3]);
}
inline int ripic_get16(const unsigned char* p) {
  return (p[0] << 8) | p[1];
}
inline void ripic_put32(unsigned char* p, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}
