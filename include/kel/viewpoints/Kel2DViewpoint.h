// The camera of 2D drawings: the model point `origin` is shown at an anchor
// pixel of the window (its centre, a side or a corner), the zoom type fixes
// what one model unit means on screen, a ratio multiplies the zoom along x,
// and translation bounds keep the visible window inside a region.
// Model y grows upwards, pixel y downwards.
#pragma once

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/viewpoints/KelViewpoint.h>
#include <kel/viewpoints/ViewpointZoomType.h>

class Kel2DRep;

class Kel2DViewpoint : public KelViewpoint {
 public:
  // Bits 0-1 place the anchor along x, bits 2-3 along y; 0 is the centre.
  enum Anchor : int { CENTER = 0, LEFT = 1, RIGHT = 2, TOP = 4, BOTTOM = 8 };

  Kel2DViewpoint();
  // A camera built with an explicit zoom counts as framed.
  Kel2DViewpoint(const Kelpoint2f& origin, float zoom);
  Kel2DViewpoint(const Kel2DViewpoint& other);
  ~Kel2DViewpoint() override;

  KEL_DECLARE_META(Kel2DViewpoint);

  // Takes the camera settings of `other` and sends one modification event.
  Kel2DViewpoint& operator=(const Kel2DViewpoint& other);

  Kel2DViewpoint* Clone() const override;
  void SetViewport(const KelViewport& viewport) override;
  void InitDisplayList() override;

  using KelViewpoint::ComputeModelFromPixel;
  using KelViewpoint::ComputePixelFromModel;
  void ComputeModelFromPixel(float x, float y, Kelpoint3f& P, Kelpoint3f& Q, float width,
                             float height, float pixelsPerMM, float ratio) const override;
  void ComputePixelFromModel(const Kelpoint3f& M, Kelpoint2f& p, float width, float height,
                             float pixelsPerMM, float ratio) const override;
  void ComputeModelFromPixel(float x, float y, Kelpoint2f& P, float width, float height,
                             float pixelsPerMM, float ratio) const;
  void ComputePixelFromModel(const Kelpoint2f& M, Kelpoint2f& p, float width, float height,
                             float pixelsPerMM, float ratio) const;

  // Frames the Reps' bounding box, millimetre-sized parts included.
  void Reframe(float width, float height, float pixelsPerMM, float ratio) override;
  // The model rectangle of the pixel rectangle. A window-sized rectangle
  // (dx / width > 0.4) first slides the origin back into the translation
  // bounds, without a modification event; a picking rectangle never moves it.
  KelViewport* CreateViewportFrom(float x, float y, float dx, float dy, float width, float height,
                                  float pixelsPerMM, float ratio) override;
  float GetScaleFactor(float width, float height, float pixelsPerMM, float ratio) const override;
  int SizeOf() const override;

  virtual void SetOrigin(const Kelpoint2f& origin);
  // Answers 1 when bounds were set (an xmin other than -1.0e10).
  virtual int GetTranslationBounds(float* xmin, float* xmax, float* ymin, float* ymax) const;
  virtual void SetTranslationBounds(float xmin, float xmax, float ymin, float ymax);
  virtual ViewpointZoomType GetZoomType() const;
  virtual void SetZoomType(ViewpointZoomType type);
  virtual float GetVerticalToHorizontalZoomRatio() const;
  virtual void SetVerticalToHorizontalZoomRatio(float ratio);
  // Shows the model rectangle as large as the window allows, the origin on the
  // anchor's side of it. A rectangle without width or height changes nothing.
  virtual void ReframeOn(float xmin, float xmax, float ymin, float ymax, float width, float height,
                         float pixelsPerMM, float ratio);
  // The Kelpoint3f forms (z = 0) and the Kelpoint2f forms use these two.
  virtual void ComputeModelFromPixel(float x, float y, float& X, float& Y, float width,
                                     float height, float pixelsPerMM, float ratio) const;
  virtual void ComputePixelFromModel(float X, float Y, float& x, float& y, float width,
                                     float height, float pixelsPerMM, float ratio) const;

  Kelpoint2f GetOrigin() const { return _origin; }
  void SetAnchor(Anchor anchor);
  Anchor GetAnchor() const { return _anchor; }
  // Every transformation accumulated by *=.
  const Kel3x3Matrix& GetMatrix() const { return _matrix; }
  const Kel3x3Matrix& GetInverseMatrix() const;
  // Moves the camera into the coordinates `m` maps to (a render passes the
  // inverse of a Rep's matrix). The zoom is divided by m's scaling, so that
  // every moved point keeps its pixel.
  Kel2DViewpoint& operator*=(const Kel3x3Matrix& m);

  void AddRep(Kel2DRep* rep);
  void RemoveRep(Kel2DRep* rep);
  void AddFurtiveRep(Kel2DRep* rep);
  void RemoveFurtiveRep(Kel2DRep* rep);
  // Union of the Reps' boxes (the furtive Reps do not count); empty for none.
  Kel2DBoundingBox GetBoundingBox() const;

 private:
  void GetAnchorPixel(float width, float height, float& ax, float& ay) const;

  Kelpoint2f _origin;
  float _xmin = -1.0e10f;
  float _xmax = 1.0e10f;
  float _ymin = -1.0e10f;
  float _ymax = 1.0e10f;
  int _boundsSet = 0;
  ViewpointZoomType _zoomType = ZOOM_MILLIMETER;
  float _zoomRatio = 1.0f;
  Kel3x3Matrix _matrix;
  mutable Kel3x3Matrix _inverseMatrix;
  Anchor _anchor = CENTER;
};
