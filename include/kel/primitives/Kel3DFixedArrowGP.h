// An arrow from a 3D origin whose length is fixed in screen millimetres: a
// shaft and a closed head facing the viewer, with an optional label beside the
// head. Its geometry is made at draw time from the camera.
#pragma once

#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/primitives/KelDynamicGP.h>

class Kel3DFixedArrowGP : public KelDynamicGP {
 public:
  // Head length = length / 5; the second direction is not used.
  Kel3DFixedArrowGP(const Kelpoint3f& origin, const Keldirection3f& direction,
                    const Keldirection3f& second, const int length);
  Kel3DFixedArrowGP(const Kelpoint3f& origin, const Keldirection3f& direction, const int length,
                    const int head);
  ~Kel3DFixedArrowGP() override;
  Kel3DFixedArrowGP(const Kel3DFixedArrowGP&) = delete;
  Kel3DFixedArrowGP& operator=(const Kel3DFixedArrowGP&) = delete;

  KEL_DECLARE_META(Kel3DFixedArrowGP);

  void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                     const KelViewport* viewport) override;

  // Keeps a copy of the text (null removes the label).
  void AssociateText(const char* text);

  const Kelpoint3f& GetOrigin() const { return _origin; }
  const Keldirection3f& GetDirection() const { return _direction; }
  int GetLength() const { return _length; }
  int GetHeadLength() const { return _headLength; }
  int GetTextLength() const { return _textLength; }
  const char* GetText() const { return _text; }

 private:
  Kelpoint3f _origin;
  Keldirection3f _direction;
  int _length;
  int _headLength;
  int _textLength = 0;
  char* _text = nullptr;
};
