// The visitor that every drawing, culling and picking pass hands to Reps and
// primitives. It holds one pass's camera and culling viewport (owned clones),
// the current attribute set and the pixel/millimetre/model scales, answers the
// visibility, size and level-of-detail questions, and draws nothing itself:
// typed operations are empty or forward to the empty immediate operations.
#pragma once

#include <kel/primitives/AnchorPoint.h>
#include <kel/render/ELEMENT_TYPE.h>
#include <kel/reps/KelGraphicAttributeSet.h>

class KelColorMap;
class KelCharacterFont;
class KelSupport;
class KelViewpoint;
class Kel2DViewpoint;
class Kel3DViewpoint;
class KelViewport;
class Kel2DViewport;
class Kel3DViewport;
class KelRep;
class Kel2DBoundingBox;
class Kel3DBoundingSphere;
class Kel4x4Matrix;
class Kel3x3Matrix;
class KelPixelImage;
class KelDynamicGP;
class Kel2DMarkerGP;
class Kel2DRectangleGP;
class Kel2DLineGP;
class Kel2DPolylineGP;
class Kel2DPolygonGP;
class Kel2DAnnotationTextGP;
class Kel2DSimpleGeometricTextGP;
class Kel3DMarkerGP;
class Kel3DPolylineGP;
class Kel3DLineGP;
class Kel3DEdgeGP;
class Kel3DLightSourceGP;
class Kel3DFaceGP;
class Kel3DPlanarFaceGP;
class Kel3DCylinderGP;
class Kel3DAnnotationTextGP;

// Everything a pass knows besides its camera copies. Plain values only: a
// pushed render copies it in one assignment.
struct KelRenderPassState {
  static constexpr int kForcedStackSize = 32;

  KelColorMap* _colorMap = nullptr;
  KelCharacterFont* _characterFont = nullptr;
  KelGraphicAttributeSet _currentAttribute;
  float _cullingPrecision = 0.0f;
  float _sagPrecision = 0.0f;
  float _modelCullingSize = 0.0f;
  float _modelSag = 0.0f;
  float _width = 0.0f;
  float _height = 0.0f;
  float _pixelRatio = 1.0f;
  float _mmInSupportUnit = 1.0f;
  float _scaleFactor = 1.0f;
  int _meshSeen = 0;
  int _outLineSeen = 0;
  int _edgeSeen = 0;
  int _inheritedForeground = 0;
  int _sensitivity = 1;
  int _drawingLeft = 0;
  int _passWord = 0;
  int _clipped = 0;
  const float* _clippingPoint = nullptr;
  const float* _clippingNormal = nullptr;
  // Colours forced by enclosing bags, innermost last.
  int _forcedColors[kForcedStackSize] = {};
  int _forcedDepth = 0;
};

class KelRender : protected KelRenderPassState {
 public:
  explicit KelRender(const KelSupport& support);
  KelRender(const KelRender& other);
  KelRender& operator=(const KelRender&) = delete;

  virtual ~KelRender();
  virtual void BeginDraw(KelViewpoint& viewpoint);
  virtual void Draw(KelViewpoint& viewpoint);
  virtual void EndDraw(KelViewpoint& viewpoint);
  virtual void InheritForeground(int colour);
  virtual void InheritElementType(ELEMENT_TYPE type, int force);
  virtual void SetSensitivity(int sensitivity);
  virtual int IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box,
                         const KelRep& rep);
  virtual int IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box,
                         const int inside);
  virtual int IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                         const int inside);
  virtual int IsDrawable(const KelGraphicAttributeSet& a, const float* centre, const float radius,
                         const int inside);
  virtual int IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                         const KelRep& rep);
  virtual int IsDrawable(const KelGraphicAttributeSet& a, const int inside);
  virtual int IsDrawable(const KelGraphicAttributeSet& a, const KelRep& rep);
  virtual int IsDrawable(const KelGraphicAttributeSet& a);
  virtual int IsSeen(const float* point, const float* normal);
  virtual void SetCurrentAttribute(const KelGraphicAttributeSet& a);
  virtual void SetAmbientDiffusElementColor(const int colour);
  virtual void Draw2DMarker(Kel2DMarkerGP& gp);
  virtual void Draw2DRectangle(Kel2DRectangleGP& gp);
  virtual void Draw2DLine(Kel2DLineGP& gp);
  virtual void Draw2DPolyline(Kel2DPolylineGP& gp);
  virtual void Draw2DPolygon(Kel2DPolygonGP& gp);
  virtual void Draw2DAnnotationText(Kel2DAnnotationTextGP& gp);
  virtual void Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP& gp);
  virtual void Draw3DMarker(Kel3DMarkerGP& gp);
  virtual void Draw3DPolyline(Kel3DPolylineGP& gp);
  virtual void Draw3DLine(Kel3DLineGP& gp);
  virtual void Draw3DEdge(Kel3DEdgeGP& gp);
  virtual void DrawLightSource(Kel3DLightSourceGP& gp);
  virtual void Draw3DFace(Kel3DFaceGP& gp);
  virtual void Draw3DPlanarFace(Kel3DPlanarFaceGP& gp);
  virtual void Draw3DCylinder(Kel3DCylinderGP& gp, const int cap);
  virtual void DrawWireframe3DCylinder(Kel3DCylinderGP& gp);
  virtual void Draw3DAnnotationText(Kel3DAnnotationTextGP& gp);
  virtual void DrawDynamicGP(KelDynamicGP& gp);
  virtual void ImmediateDraw3DPolyline(const float* points, const int count);
  virtual void ImmediateDraw3DAnnotationText(const float* position, const char* text,
                                             AnchorPoint anchor);
  virtual void ImmediateDraw2DImagePixel(const float* position, const KelPixelImage* image,
                                         const int mode);
  virtual void ImmediateDraw2DPolyline(const float* points, const int count);
  virtual void ImmediateDraw2DPolygon(const float* points, const int count, const int filled);
  virtual KelRender* PushMatrix(Kel4x4Matrix& m);
  virtual KelRender* PushMatrix(Kel3x3Matrix& m);
  virtual void PopMatrix(KelRender* child);
  virtual void PushReference();
  virtual void PopReference();
  virtual void SetForeground(const int& colourIndex);
  virtual void SetForegroundRGBA(const int rgba);
  virtual void SetLineAttributes(const int& attribute2, const int& attribute1);
  virtual void SetPolygonOffsetOn();
  virtual void SetPolygonOffsetOff();
  virtual void SetFurtiveOn();
  virtual void SetFurtiveOff();
  virtual int IsMeshSeen() const;
  virtual int IsOutLineSeen() const;
  virtual int IsEdgeSeen() const;

  void SetCurrentAttribute(const int firstWord, const int secondWord);
  const KelGraphicAttributeSet& GetCurrentAttribute() const { return _currentAttribute; }
  float Get2DModelCulling() const;
  // The size below which a volume is too small on screen: the model culling
  // size times the sphere's depth (conic) or the focus distance (parallel).
  float Get3DModelCulling(const Kel3DBoundingSphere& s) const;
  float Get2DModelSag() const;
  float Get3DModelSag(const Kel3DBoundingSphere& s) const;
  int Get3DLODNumber(const Kel3DBoundingSphere& s, const int count, const float* thresholds) const;
  int IsToSmall(const Kel3DBoundingSphere& s) const;
  int IsToSmall(const Kel2DBoundingBox& box) const;
  int IsInside(const Kel3DBoundingSphere& s) const;
  int IsInside(const Kel2DBoundingBox& box) const;
  KelRender& operator*=(const Kel4x4Matrix& m);
  KelRender& operator*=(const Kel3x3Matrix& m);
  void GetWidthAndHeight(float& width, float& height) const;
  float GetPixelRatioWH() const;
  float GetPixelFromModelRatio() const;
  float GetPixelFromModelRatio(const float* point) const;
  float GetMMFromModelRatio() const;
  float GetMMFromModelRatio(const float* point) const;
  float GetMMInSupportUnit() const;
  void SetMesh(int on);
  void SetOutLine(int on);
  void SetEdge(int on);
  int IsDrawingLeft() const;
  int IsInheritingForeground() const { return _inheritedForeground; }
  // Sends the colour in force again after a primitive drew in another one:
  // the colour an enclosing bag forces (the forcing goes on), else the
  // current attribute's RGBA word or colour index.
  void RestoreForeground();
  // The font a geometric text `height` model units high is drawn and picked
  // in: the geometric font of its height in pixels (KelCharacterFont).
  int GetGeometricFontNumber(const float height) const;
  int GetSensitivity() const { return _sensitivity; }
  KelViewpoint* GetViewpoint() const { return _viewpointCopy; }
  Kel2DViewpoint* GetCurrent2DViewpoint() const { return _current2DViewpoint; }
  Kel3DViewpoint* GetCurrent3DViewpoint() const { return _current3DViewpoint; }
  KelViewport* GetViewport() const { return _viewportCopy; }
  Kel2DViewport* GetCurrent2DViewport() const { return _current2DViewport; }
  Kel3DViewport* GetCurrent3DViewport() const { return _current3DViewport; }
  KelColorMap* GetColorMap() const { return _colorMap; }
  KelCharacterFont* GetCharacterFont() const { return _characterFont; }

 protected:
  // Points the copies and the four current pointers at the given objects
  // (owned by this render from then on).
  void SetCameraCopies(KelViewpoint* viewpoint, KelViewport* viewport);
  // Becomes a copy of `other` as the copy constructor makes one, reusing this
  // render's camera copies when they are of the same kind: renders pooled
  // across frames then allocate nothing.
  void AssignFrom(const KelRender& other);

  // A render not bound to a support: 1 pixel = 1 mm, sizes 0. For renders that
  // only record or test calls.
  KelRender();

 private:
  // The verdict of the IsDrawable overloads: not drawn when outside the view
  // or hidden; a drawn attribute becomes the current one.
  int AcceptIfShown(const KelGraphicAttributeSet& a, const int outsideView);
  void BeginCamera(KelViewpoint& viewpoint);
  void CloneCamera(const KelRender& other);
  void ReleaseCamera();
  int IsOutsideView(const Kel3DBoundingSphere& s) const;
  int IsOutsideView(const Kel2DBoundingBox& box) const;
  int IsFacing(const float* point, const float* normal) const;

 protected:
  // The camera copies, owned; the current pointers are the same objects seen
  // as 2D or 3D (null when they are not of that kind).
  KelViewpoint* _viewpointCopy = nullptr;
  Kel2DViewpoint* _current2DViewpoint = nullptr;
  Kel3DViewpoint* _current3DViewpoint = nullptr;
  KelViewport* _viewportCopy = nullptr;
  Kel2DViewport* _current2DViewport = nullptr;
  Kel3DViewport* _current3DViewport = nullptr;
};
