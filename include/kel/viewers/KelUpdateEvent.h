// A window was redrawn: the total, culling and draw durations of the frame, in
// seconds.
#pragma once

#include <kel/viewers/KelTimeStampedEvent.h>

class KelUpdateEvent : public KelTimeStampedEvent {
 public:
  KelUpdateEvent() = default;
  ~KelUpdateEvent() override;

  KEL_DECLARE_META(KelUpdateEvent);

  float GetTotalDuration() const { return _total; }
  float GetCullingDuration() const { return _culling; }
  float GetDrawDuration() const { return _draw; }
  void SetDurations(float total, float culling, float draw) {
    _total = total;
    _culling = culling;
    _draw = draw;
  }
  void SetTotalDuration(float seconds) { _total = seconds; }
  void SetCullingDuration(float seconds) { _culling = seconds; }
  void SetDrawDuration(float seconds) { _draw = seconds; }

 private:
  float _total = 0.0f;
  float _culling = 0.0f;
  float _draw = 0.0f;
};
