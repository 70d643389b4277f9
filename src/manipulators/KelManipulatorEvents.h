// Helpers the dragging manipulators share: which notifications carry a mouse
// position, and the step matrices they build in double precision.
#pragma once

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMathTransformation.h>
#include <kel/viewers/KelDeviceEvent.h>
#include <kel/viewers/KelViewerEvent.h>

namespace kelmanip {

inline KelViewerEvent* ViewerEvent(KelNotification* n) {
  return n && n->IsAKindOf("KelViewerEvent") ? static_cast<KelViewerEvent*>(n) : nullptr;
}

inline int IsMouse(const KelDeviceEvent* event) {
  return event && event->IsAKindOf("KelMouseEvent");
}

// The viewer event of `n` when its device event is a mouse event.
inline KelViewerEvent* MouseViewerEvent(KelNotification* n) {
  KelViewerEvent* event = ViewerEvent(n);
  return event && IsMouse(event->GetDeviceEvent()) ? event : nullptr;
}

inline Kel4x4Matrix ToMatrix(const KelMathTransformation& t) {
  float m[16];
  t.GetMatrix(m);
  return Kel4x4Matrix(Kelvector3f(m), Kelvector3f(m + 4), Kelvector3f(m + 8), Kelvector3f(m + 12));
}

}  // namespace kelmanip
