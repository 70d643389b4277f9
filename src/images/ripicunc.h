// Decompression of one block of a picture file.
#pragma once

// Extracts from the block of `length` bytes at `block`, whose lines are `width`
// samples of `bytesPerSample` bytes, the `window` (first and last column, first
// and last line, counted from 1 within the block). The extracted lines go to
// `target` one after the other, each (last - first column + 1) samples long.
// Algorithm 0: raw lines; 7 (1 byte per sample): (count, value) pairs; 8 (2 bytes
// per sample): (count, high byte, low byte) triples. Counts run from 1 to 255 and
// must end each line exactly on its width.
// Answers 0; -1 for an algorithm it cannot decode or a bad window; -3 when the
// block is too short or malformed.
int ripicunc(int* algorithm, int* width, int* window, int* bytesPerSample, char* block, int* length,
             unsigned char* target);
