// A device that points into the window: it holds the candidates of its last
// pick (owned), the path of the Rep it manipulates and the path now under the
// cursor, which the arrow keys move through the candidates.
#pragma once

#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/viewers/KelDevice.h>

class KelPointingDevice : public KelDevice {
 public:
  KelPointingDevice();
  ~KelPointingDevice() override;

  KEL_DECLARE_META(KelPointingDevice);

  void SetViewer(KelViewer* viewer) override = 0;
  void InterpretDeviceEvent(KelNotification* raw, void* viewer) override = 0;
  virtual void SetPreselectModeOn();
  virtual void SetPreselectModeOff();
  virtual void SetDebugModeOn();
  virtual void SetDebugModeOff();

  int IsPreselectMode() const { return _preselectMode; }
  // Back to the first candidate.
  void InitPickPathList();
  // The next candidate becomes the path under and 1 is answered; past the end
  // the last one does (an empty path when there is none) and 0 is answered.
  int MoveToNextPickPath();
  // Nothing is under the cursor any more.
  void InvalidPick();

  KelPickPathList& GetPickPathList() { return _pickList; }
  KelPickPath& GetCurrentPath() { return _currentPath; }
  KelPickPath& GetPathUnder() { return _pathUnder; }

 protected:
  int _preselectMode = 0;
  KelPickPathList _pickList;
  KelPickPath _currentPath;
  KelPickPath _pathUnder;
};
