// Compression of one block of a picture file.
#pragma once

// Compresses the block of `blockSize` (width, lines) samples of `bytesPerSample`
// bytes at `source` into `target`, setting `length` to the bytes produced.
// Algorithm 7 (one byte per sample): each line as (count 1..255, value) pairs;
// answers 1 as soon as the output would reach `maxLength`, so a compressed block
// is always shorter than the limit. Algorithm 0: copies the block. Answers 0, 1,
// or -1 for an algorithm or sample size it cannot handle.
int ripiccom(int* algorithm, int* blockSize, int* bytesPerSample, int* maxLength, char* source,
             int* length, void* target);
