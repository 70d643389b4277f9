// Tracing switch of the picture routines: on when the file "ripicdbg" exists in
// the directory named by HOME. Tested once per process, at the first call.
#pragma once

// 1 when tracing is on, else 0.
int ripicdbg();
