#include <kel/viewers/KelPointingDevice.h>

KEL_IMPLEMENT_META(KelPointingDevice, KelDevice)

KelPointingDevice::KelPointingDevice()
    : _currentPath(static_cast<KelViewpoint*>(nullptr)),
      _pathUnder(static_cast<KelViewpoint*>(nullptr)) {}

KelPointingDevice::~KelPointingDevice() {
  _pickList.Reset();
}

void KelPointingDevice::SetPreselectModeOn() {
  _preselectMode = 1;
}
void KelPointingDevice::SetPreselectModeOff() {
  _preselectMode = 0;
}
void KelPointingDevice::SetDebugModeOn() {}
void KelPointingDevice::SetDebugModeOff() {}

void KelPointingDevice::InitPickPathList() {
  _pickList.GetPickPathList().InitIteration();
}

int KelPointingDevice::MoveToNextPickPath() {
  const list<KelPickPath*>& paths = _pickList.GetPickPathList();
  KelPickPath* next = nullptr;
  if (paths.Next(next) && next) {
    _pathUnder = *next;
    return 1;
  }
  const int n = paths.Count();
  if (n > 0 && paths[n - 1])
    _pathUnder = *paths[n - 1];
  else
    InvalidPick();
  return 0;
}

void KelPointingDevice::InvalidPick() {
  _pathUnder = KelPickPath(static_cast<KelViewpoint*>(nullptr));
}
