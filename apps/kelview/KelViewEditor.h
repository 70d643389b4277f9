// kelview's camera motions: the examine editor with its gestures as they
// are (a middle drag turns about the target, a middle click seeks the picked
// point, the left button during a middle drag zooms, a Control middle click
// steps back, a Control middle drag turns the head, a Shift middle drag
// looks at a point). Its prompts go to the status bar and, with --verbose,
// to the standard output as "kelview: prompt: <text>".
#pragma once

#include <kel/navigation/KelBasic3DViewpointEditor.h>

#include <iosfwd>

class KelViewEditor : public KelBasic3DViewpointEditor {
 public:
  // `echo` (may be null) receives the prompts too.
  KelViewEditor(Kel3DViewpoint& viewpoint, std::ostream* echo);

  void SetMessage(const KelUnicodeString& text) override;

 private:
  std::ostream* _echo;
};
