// The library's one clock. Event time stamps, draw start times and durations
// all come from it, so that any two of them can be subtracted.
#pragma once

// Milliseconds of the time of day (seconds x 1000 + microseconds / 1000),
// computed in 64 bits and cut to the low 32 bits: the clock wraps every 49.7
// days. Time stamps store it zero-extended (GetTimeStamp()).
int GetTimeInMilliseconds();

// The same clock as a time stamp: the 32-bit value zero-extended.
unsigned long GetTimeStampInMilliseconds();

// Seconds from `start` to `end`, two stamps of the clock above; a negative
// difference is a wrap of the clock in between and gains 2^32 milliseconds.
float GetDurationInSeconds(unsigned long start, unsigned long end);
