// The entry points of libGR7MARSH.so, which the visualization controller finds
// by name. Handles are this library's objects: a marshalling (OpenMarshalling)
// collects what a save writes; a marshal buffer (OpenMarshalBuffer and the
// cache forms) is a file to write at the flush, or a file read and checked
// whole at the opening. A buffer answer of 0 is a failure (with a message);
// the cache forms answer -1 when there is no cache to use.
#include "KelMarshalBuffer.h"
#include "KelRepMarshaller.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>

namespace {

struct Registration {
  Registration() { kelmarsh::RegisterClasses(); }
  ~Registration() { kelmarsh::UnregisterClasses(); }
} registration;

KelMarshalBuffer* BufferOf(std::intptr_t buffer) {
  return buffer == 0 || buffer == -1 ? nullptr : reinterpret_cast<KelMarshalBuffer*>(buffer);
}

std::intptr_t Handle(KelMarshalBuffer* buffer) {
  return reinterpret_cast<std::intptr_t>(buffer);
}

// The cache of a model file lies beside it, its name followed by the suffix.
std::string CachePath(const char* file, const char* suffix) {
  return std::string(file) + "." + (suffix ? suffix : "cache");
}

bool ReadOnly(const char* path) {
  struct stat s {};
  return stat(path, &s) == 0 && (s.st_mode & 0222) == 0;
}

}  // namespace

extern "C" {

void* OpenMarshalling() {
  return new KelMarshalling;
}

int FlushMarshalling(void* handle, std::intptr_t buffer, char* header) {
  auto* m = static_cast<KelMarshalling*>(handle);
  KelMarshalBuffer* b = BufferOf(buffer);
  if (!m || !b || !b->writing) return 1;
  if (m->payload.GetError()) {
    std::cerr << "FlushMarshalling: " << b->path << ": nothing valid to write" << std::endl;
    return 1;
  }
  const char blank[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', '\0'};
  return kelmarsh::WriteFile(b->path, m->payload, header ? header : blank);
}

int CloseMarshalling(void* handle) {
  delete static_cast<KelMarshalling*>(handle);
  return 0;
}

int CleanMarshalling(std::intptr_t buffer) {
  KelMarshalBuffer* b = BufferOf(buffer);
  if (!b) return 1;
  b->payload.Close();
  return 0;
}

std::intptr_t OpenMarshalBuffer(const char* file, const char* mode) {
  if (!file || !mode) return 0;
  auto* b = new KelMarshalBuffer;
  b->path = file;
  if (std::strcmp(mode, "wb") == 0) {
    b->writing = true;
    return Handle(b);
  }
  if (std::strcmp(mode, "rb") == 0 && kelmarsh::ReadFile(b->path, b->payload) == 0)
    return Handle(b);
  if (std::strcmp(mode, "rb") != 0)
    std::cerr << "OpenMarshalBuffer: " << file << ": unknown mode " << mode << std::endl;
  delete b;
  return 0;
}

int CloseMarshalBuffer(std::intptr_t buffer) {
  delete BufferOf(buffer);
  return 0;
}

// With null `data`, reads a length word into `length`; otherwise reads
// `*count` bytes into `data` and sets `length` to that count. Answers 0, or
// -1 (length 0) when the buffer does not hold that much.
int ImportMarshalBuffer(std::intptr_t buffer, int* count, char* data, int* length) {
  KelMarshalBuffer* b = BufferOf(buffer);
  if (!b || b->writing || !length) return -1;
  KelMarshal& in = b->payload;
  if (!data) {
    unsigned int n = 0;
    if (in.ReadUnsignedInt(n) != 0 || n > in.GetRemaining() || n > 0x7fffffffu) {
      *length = 0;
      return -1;
    }
    *length = static_cast<int>(n);
    return 0;
  }
  if (!count || *count < 0 || static_cast<std::size_t>(*count) > in.GetRemaining() ||
      in.ReadBytes(data, static_cast<std::size_t>(*count)) != 0) {
    *length = 0;
    return -1;
  }
  *length = *count;
  return 0;
}

// -1 when the model file (or its cache) exists and is read-only: no write
// permission for anybody. The permission bits decide, not access(), so that
// the answer is the same for every user, the super-user included.
std::intptr_t OpenWriteCache(const char* file, const char* suffix) {
  if (!file) return 0;
  const std::string cache = CachePath(file, suffix);
  if (ReadOnly(file) || ReadOnly(cache.c_str())) return -1;
  return OpenMarshalBuffer(cache.c_str(), "wb");
}

// -1 when there is no cache, or when it is older than its model file.
std::intptr_t OpenReadCache(const char* file, const char* suffix) {
  if (!file) return -1;
  const std::string cache = CachePath(file, suffix);
  struct stat c {};
  if (stat(cache.c_str(), &c) != 0 || access(cache.c_str(), R_OK) != 0) return -1;
  struct stat m {};
  if (stat(file, &m) == 0 && c.st_mtime < m.st_mtime) return -1;
  return OpenMarshalBuffer(cache.c_str(), "rb");
}

}  // extern "C"
