// Date and time texts of picture files.
#pragma once

// Fills `time` with "HH.MM.SS" (8 characters) and `date` with the current local
// date in `format`:
//   0 "YYYY.DDD" (day of the year from 1, 8 characters);
//   1 day, French month, year (20 characters);
//   2 English month, day ",", year (20 characters);
//   3 French day name, day, French month, year (28 characters);
//   4 English day name, English month, day ",", year (28 characters);
// texts shorter than their width are padded with spaces; neither text is
// NUL-terminated. A format of 10 or more takes the date from a `const std::tm*`
// passed as the last argument, with the format less 10. Answers 0, or -1 for an
// unknown format or a broken-down time out of range (nothing written).
int ripicdat(char* date, char* time, int* format, ...);
