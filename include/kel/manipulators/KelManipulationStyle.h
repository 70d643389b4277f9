// What one mouse motion does to the object a 3D manipulator drags.
#pragma once

enum KelManipulationStyle : int {
  // The position stays; KelManipulate is still sent.
  KelNoManipulation = 0,
  // Translation along the reference direction.
  KelAxisTranslation = 1,
  // Translation in the reference plane.
  KelPlaneTranslation = 2,
  // Rotation in the reference plane about a pivot that moves with the
  // object, then a translation that brings the dragged point under the cursor.
  KelPivotRotation = 3,
  // Rotation about the reference axis.
  KelAxisRotation = 4,
  // Free rotation about the reference point (virtual sphere).
  KelFreeRotation = 5,
  // Translation in the reference plane that best faces the viewer.
  KelFacingPlaneTranslation = 6
};
