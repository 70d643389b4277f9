// The 3D camera: an eye point with a right-handed orthonormal frame (sight,
// up, right = sight x up), a vertical half field angle, a focus distance along
// the sight, conic or parallel projection, near and far distances computed
// from the Reps or set by the application, and an optional gravity that keeps
// the camera upright.
//
// The frame matrix maps eye coordinates (x along right, y along up, z along
// -sight) to model coordinates; it is rebuilt by Orthogonalize() after every
// setter. Setters reach one another through the virtual operations, so a
// derived camera that overrides one sees every use of it.
//
// Near and far distances, by clipping mode: 0 automatic (from the bounding
// sphere, filled by CreateViewportFrom), 1 the value given, 2 the value times
// the focus distance. Near is raised to the minimum near, far to near. In the
// automatic mode the floor is the smaller of the minimum near and a thousandth
// of the automatic far distance: a fixed floor of one model unit would cut
// away, or wholly hide, a framed scene smaller than a few units across (a
// part modelled in metres).
#pragma once

#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/viewpoints/KelViewpoint.h>
#include <kel/viewpoints/KelViewpointGravityMode.h>
#include <kel/viewpoints/ProjectionType.h>

class Kel3DRep;
class Kel3DViewport;

class Kel3DViewpoint : public KelViewpoint {
 public:
  // At (0, 0, 0) looking along (-1, -1, -1) with z up; angle 15 degrees,
  // near 1, far 1000, conic projection, focus 0.
  Kel3DViewpoint();
  // Near becomes the automatic near, the minimum near and the front clipping
  // value; far the automatic far and the back clipping value.
  Kel3DViewpoint(const Kelpoint3f& origin, const Keldirection3f& sight, const Keldirection3f& up,
                 float nearDistance, float farDistance, ProjectionType type, float focus);
  Kel3DViewpoint(const Kel3DViewpoint& other);
  ~Kel3DViewpoint() override;

  KEL_DECLARE_META(Kel3DViewpoint);

  // Takes every camera setting of `other` (not its Reps, display lists or
  // viewport) and sends one modification event.
  Kel3DViewpoint& operator=(const Kel3DViewpoint& other);

  Kel3DViewpoint* Clone() const override;
  void SetViewport(const KelViewport& viewport) override;
  void InitDisplayList() override;
  void ComputeModelFromPixel(float x, float y, Kelpoint3f& P, Kelpoint3f& Q, float width,
                             float height, float pixelsPerMM, float ratio) const override;
  // A point behind or at the eye (conic projection) gives pixel (0, 0).
  void ComputePixelFromModel(const Kelpoint3f& M, Kelpoint2f& p, float width, float height,
                             float pixelsPerMM, float ratio) const override;
  // Moves the eye back along the sight until the Reps' bounding sphere fits the
  // window; the sight, the zoom and the projection stay.
  void Reframe(float width, float height, float pixelsPerMM, float ratio) override;
  // Six planes: near, far, left, right, bottom, top. Also sets the automatic
  // near and far distances around the Reps' bounding sphere.
  KelViewport* CreateViewportFrom(float x, float y, float dx, float dy, float width, float height,
                                  float pixelsPerMM, float ratio) override;
  // Model size of one pixel at unit depth (conic) or on the screen (parallel).
  float GetScaleFactor(float width, float height, float pixelsPerMM, float ratio) const override;
  int SizeOf() const override;

  virtual void SetOrigin(const Kelpoint3f& origin);
  virtual Kelpoint3f GetOrigin() const;
  // While a projection direction is set, only the true sight changes.
  virtual void SetSightDirection(const Keldirection3f& sight);
  // The true sight while a projection direction is set.
  virtual Keldirection3f GetSightDirection() const;
  virtual void SetUpDirection(const Keldirection3f& up);
  virtual Keldirection3f GetUpDirection() const;
  virtual void SetFocus(float focus);
  virtual float GetFocusDistance() const;
  // Half the vertical field angle, in degrees.
  virtual void SetAngle(float degrees);
  virtual float GetAngle() const;
  // Heading of the camera about v, measured from w, in radians.
  virtual double GetCape(const Keldirection3f& v, const Keldirection3f& w) const;
  // Roll of the camera about its sight relative to v, in radians, in (-pi, pi].
  virtual double GetTwist(const Keldirection3f& v) const;
  virtual void Set(const Kelpoint3f& origin, const Keldirection3f& sight, const Keldirection3f& up);
  // Makes v (or -v, whichever is nearer the current up) the up direction,
  // unless v lies within 10 degrees of the sight axis.
  virtual void SetVertical(const Keldirection3f& v);
  virtual Keldirection3f GetRightDirection() const;
  // origin + focus * sight.
  virtual Kelpoint3f GetTarget() const;
  // Conic: the focus changes, the camera does not turn. Parallel: the camera
  // slides along its sight.
  virtual void SetTarget(const Kelpoint3f& target);
  virtual void SetGravityMode(KelViewpointGravityMode mode);
  virtual KelViewpointGravityMode GetGravityMode() const;
  virtual void SetGravityDirection(const Keldirection3f& direction);
  virtual Keldirection3f GetGravityDirection() const;
  // r: rotation vector in eye coordinates (x right, y up, z -sight), its length
  // the angle in radians, turning the camera about `centre`.
  virtual void Rotate(const Kelvector3f& r, const Kelpoint3f& centre);
  // Turns the up direction towards gravity (one step in stepwise mode).
  virtual void ApplyGravity();
  // Elevation of the sight above the plane normal to v, in radians.
  virtual double GetTrim(const Keldirection3f& v) const;

  void SetProjectionType(ProjectionType type);
  ProjectionType GetProjectionType() const { return _projectionType; }
  // The picture is projected along `direction` while the camera keeps looking
  // along its true sight (an off-axis window).
  void SetProjectionDirection(const Keldirection3f& direction);
  void ResetProjectionDirection();
  int IsProjectionDirectionSet() const { return _projectionDirectionSet; }

  // Clipping modes 0 automatic, 1 absolute, 2 relative to the focus distance.
  void SetFrontClipping(int mode, float value);
  void GetFrontClipping(int& mode, float& value) const;
  void SetBackClipping(int mode, float value);
  void GetBackClipping(int& mode, float& value) const;
  float GetNear() const;
  float GetFar() const;
  float GetMinimumNear() const { return _minimumNear; }

  // For the driver's projection matrix; the zoom applies in parallel projection
  // only.
  void GetFrustum(float width, float height, float pixelsPerMM, float ratio, float& left,
                  float& right, float& bottom, float& top, float& nearDistance,
                  float& farDistance) const;

  // Moves the camera with M, accumulating M in the frame matrix (a render moves
  // its clone into a Rep's local frame this way).
  Kel3DViewpoint& operator*=(const Kel4x4Matrix& M);
  void Orthogonalize();
  // Eye to model coordinates, with every transformation accumulated by *=.
  const Kel4x4Matrix& GetMatrix() const { return _frameMatrix; }
  // Model to eye coordinates, recomputed on each call.
  const Kel4x4Matrix& GetInverseMatrix() const;

  void AddRep(Kel3DRep* rep);
  void RemoveRep(Kel3DRep* rep);
  void AddFurtiveRep(Kel3DRep* rep);
  void RemoveFurtiveRep(Kel3DRep* rep);
  // Union of the Reps' spheres (the furtive Reps do not count); empty for none.
  Kel3DBoundingSphere GetBoundingSphere() const;

  // Two copies of this camera moved by half the eye distance to each side.
  void EyeViewpoints(double eyeDistance, Kel3DViewpoint& left, Kel3DViewpoint& right) const;

 private:
  void CopyCamera(const Kel3DViewpoint& other);
  Kel3DViewport& OwnedViewport();

  Kelpoint3f _origin;
  Keldirection3f _sight;
  Keldirection3f _up;
  Keldirection3f _right;
  Kel4x4Matrix _frameMatrix;
  mutable Kel4x4Matrix _inverseFrameMatrix;
  float _automaticNear = 1.0f;
  float _automaticFar = 1000.0f;
  float _minimumNear = 1.0f;
  float _angle = 15.0f;
  float _tangent = 0.0f;
  float _focus = 0.0f;
  int _frontClippingMode = 0;
  float _frontClippingValue = 1.0f;
  int _backClippingMode = 0;
  float _backClippingValue = 10.0f;
  ProjectionType _projectionType = CONIC_PROJECTION;
  Keldirection3f _gravityDirection = Keldirection3f::Unchecked(0.0f, 0.0f, 1.0f);
  KelViewpointGravityMode _gravityMode = GRAVITY_OFF;
  float _frustumShift[3] = {0.0f, 0.0f, 0.0f};
  Keldirection3f _trueSight;
  int _projectionDirectionSet = 0;
};
