// Reads `length` bytes at `offset` of an open file into `buffer`, in pieces of
// 512 bytes. Answers 0, or 1 on a failed seek or a short read.
#pragma once

#include <cstdio>

int tifflec(FILE* file, unsigned long offset, unsigned long length, char* buffer);
