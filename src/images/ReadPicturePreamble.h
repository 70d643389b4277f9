// The leading part of a picture file that every reader passes over.
#pragma once

#include <cstdio>

// Reads the three header records, passes over the date and product items, reads
// the number of descriptions and passes over the creation item. 0 or -1.
int ReadPicturePreamble(FILE* file, int* descriptionCount);

// Largest image width: one line of one component must fit a 262144-byte block.
constexpr int kRipicMaxWidth = 262144;
