// What a viewer hands to manipulators and its viewpoint editor: the viewer, the
// device and its last device event, and the pick paths the device chose (the
// path of the manipulated Rep and the path now under the cursor). Nothing is
// owned.
#pragma once

#include <kel/viewers/KelTimeStampedEvent.h>

class KelDevice;
class KelDeviceEvent;
class KelPickPath;
class KelViewer;

class KelViewerEvent : public KelTimeStampedEvent {
 public:
  // `path` is both the pick path and the path under; time 0, no device. The
  // creator sets the viewer.
  explicit KelViewerEvent(KelDeviceEvent* deviceEvent = nullptr, KelPickPath* path = nullptr);
  KelViewerEvent(const KelViewerEvent& other) = default;
  // Copies the time stamp, the viewer, both paths, the device and its event.
  KelViewerEvent& operator=(const KelViewerEvent& other) = default;
  ~KelViewerEvent() override;

  KEL_DECLARE_META(KelViewerEvent);

  KelViewer* GetViewer() const { return _viewer; }
  void SetViewer(KelViewer* viewer) { _viewer = viewer; }
  KelPickPath* GetPickPath() const { return _pickPath; }
  void SetPickPath(KelPickPath* path) { _pickPath = path; }
  KelPickPath* GetPickPathUnder() const { return _pickPathUnder; }
  void SetPickPathUnder(KelPickPath* path) { _pickPathUnder = path; }
  KelDevice* GetDevice() const { return _device; }
  void SetDevice(KelDevice* device) { _device = device; }
  KelDeviceEvent* GetDeviceEvent() const { return _deviceEvent; }
  void SetDeviceEvent(KelDeviceEvent* event) { _deviceEvent = event; }

  // Walk the pick candidates of the device when it is a pointing device;
  // MoveToNextPickPath answers 0 for any other device.
  void InitPickPathList();
  int MoveToNextPickPath();

 private:
  KelViewer* _viewer = nullptr;
  KelPickPath* _pickPath = nullptr;
  KelPickPath* _pickPathUnder = nullptr;
  KelDevice* _device = nullptr;
  KelDeviceEvent* _deviceEvent = nullptr;
};
