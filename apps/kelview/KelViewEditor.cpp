#include "KelViewEditor.h"

#include <ostream>

KelViewEditor::KelViewEditor(Kel3DViewpoint& viewpoint, std::ostream* echo)
    : KelBasic3DViewpointEditor(KelString("examine"), viewpoint, EXAMINE_MODE), _echo(echo) {}

void KelViewEditor::SetMessage(const KelUnicodeString& text) {
  KelBasic3DViewpointEditor::SetMessage(text);
  // Only what reaches a viewer's status bar.
  if (_echo && _viewer) *_echo << "kelview: prompt: " << text.ConvertToChar() << "\n" << std::flush;
}
