// Compression code of picture files: code = q * 10000 + h * 100 + a, with q = 1
// for three components and 2 for one, h = 4 for 8 bits and 5 for 16 bits (one
// component only), a the block algorithm (0 none, 7 run-length on bytes, 8
// run-length on 16-bit samples). A code below 10 is an old one: one 16-bit
// component, algorithm = the code.
#pragma once

// `organisation`: number of components, then the bits of up to three components.
// Mode 0 decodes `code` into organisation, compressed flag (algorithm >= 1) and
// algorithm: 0, or -2 for a code not recognised. Mode 1 encodes them into
// `code`: only 3 x 8 bits and 1 x 8 bits are accepted, else -3. `status`
// receives the answer too.
int ripiccod(int mode, int* code, int* organisation, int* compressed, int* algorithm, int* status);
