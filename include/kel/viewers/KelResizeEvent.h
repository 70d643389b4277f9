// The graphic window took a new size, in pixels.
#pragma once

#include <kel/viewers/KelTimeStampedEvent.h>

class KelResizeEvent : public KelTimeStampedEvent {
 public:
  KelResizeEvent() = default;
  KelResizeEvent(float width, float height) : _width(width), _height(height) {}
  ~KelResizeEvent() override;

  KEL_DECLARE_META(KelResizeEvent);

  float GetWidth() const { return _width; }
  float GetHeight() const { return _height; }
  void SetSize(float width, float height) {
    _width = width;
    _height = height;
  }

 private:
  float _width = 0.0f;
  float _height = 0.0f;
};
