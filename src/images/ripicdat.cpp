#include "ripicdat.h"

#include "ripicdbg.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

const char* const kFrenchMonths[12] = {"JANVIER",   "FEVRIER", "MARS",     "AVRIL",
                                       "MAI",       "JUIN",    "JUILLET",  "AOUT",
                                       "SEPTEMBRE", "OCTOBRE", "NOVEMBRE", "DECEMBRE"};
const char* const kEnglishMonths[12] = {"JANUARY",   "FEBRUARY", "MARCH",    "APRIL",
                                        "MAY",       "JUNE",     "JULY",     "AUGUST",
                                        "SEPTEMBER", "OCTOBER",  "NOVEMBER", "DECEMBER"};
const char* const kFrenchDays[7] = {"DIMANCHE", "LUNDI",    "MARDI", "MERCREDI",
                                    "JEUDI",    "VENDREDI", "SAMEDI"};
// "MONDAY " ends in a space: a Monday's English date has two blanks before the month.
const char* const kEnglishDays[7] = {"SUNDAY",   "MONDAY ", "TUESDAY", "WEDNESDAY",
                                     "THURSDAY", "FRIDAY",  "SATURDAY"};

void Place(char* to, const std::string& text, size_t width) {
  std::memset(to, ' ', width);
  std::memcpy(to, text.data(), text.size() < width ? text.size() : width);
}

}  // namespace

int ripicdat(char* date, char* time, int* format, ...) {
  int f = *format;
  std::tm now{};
  if (f >= 10) {
    std::va_list args;
    va_start(args, format);
    const std::tm* given = va_arg(args, const std::tm*);
    va_end(args);
    if (!given) return -1;
    now = *given;
    f -= 10;
  } else {
    const std::time_t t = std::time(nullptr);
    if (!localtime_r(&t, &now)) return -1;
  }
  if (f < 0 || f > 4 || now.tm_mon < 0 || now.tm_mon > 11 || now.tm_wday < 0 || now.tm_wday > 6 ||
      now.tm_yday < 0 || now.tm_yday > 365 || now.tm_mday < 1 || now.tm_mday > 31 ||
      now.tm_hour < 0 || now.tm_hour > 23 || now.tm_min < 0 || now.tm_min > 59 || now.tm_sec < 0 ||
      now.tm_sec > 60)
    return -1;

  char clock[40];
  std::snprintf(clock, sizeof clock, "%02d.%02d.%02d", now.tm_hour, now.tm_min, now.tm_sec);
  Place(time, clock, 8);

  const std::string year = std::to_string(now.tm_year + 1900);
  const std::string day = std::to_string(now.tm_mday);
  switch (f) {
    case 0: {
      char yday[16];
      std::snprintf(yday, sizeof yday, "%03d", now.tm_yday + 1);
      Place(date, year + "." + yday, 8);
      break;
    }
    case 1:
      Place(date, day + " " + kFrenchMonths[now.tm_mon] + " " + year, 20);
      break;
    case 2:
      Place(date, std::string(kEnglishMonths[now.tm_mon]) + " " + day + ", " + year, 20);
      break;
    case 3:
      Place(date,
            std::string(kFrenchDays[now.tm_wday]) + " " + day + " " + kFrenchMonths[now.tm_mon] +
                " " + year,
            28);
      break;
    default:
      Place(date,
            std::string(kEnglishDays[now.tm_wday]) + " " + kEnglishMonths[now.tm_mon] + " " + day +
                ", " + year,
            28);
      break;
  }
  if (ripicdbg()) std::printf("ripicdat: format %d time %.8s\n", f, time);
  return 0;
}
