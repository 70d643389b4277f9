// A Motif compound string made from 8-bit or UTF-8 text, freed at the end of
// its scope.
#pragma once

#include <Xm/Xm.h>

class KelDlgXmString {
 public:
  explicit KelDlgXmString(const char* text)
      : _string(XmStringCreateLocalized(const_cast<char*>(text ? text : ""))) {}
  ~KelDlgXmString() { XmStringFree(_string); }
  KelDlgXmString(const KelDlgXmString&) = delete;
  KelDlgXmString& operator=(const KelDlgXmString&) = delete;
  XmString Get() const { return _string; }

 private:
  XmString _string;
};
