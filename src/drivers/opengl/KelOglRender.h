// The driver's render: replays display lists into the current OpenGL context
// (compatibility profile, vertex arrays). The static geometry of faces, edges
// and the lines and point clouds that own their points is drawn from the
// context's buffer objects (KelOglBufferCache); the rest from client arrays.
// Renders made by PushMatrix share the frame state of the render they come
// from; each one keeps its own model view and colour.
#pragma once

#include <kel/render/KelGraphicRender.h>

#include <GL/gl.h>

#include <memory>
#include <vector>

class KelGraphicPrimitive;
class KelOglBufferCache;

class KelOglRender : public KelGraphicRender {
 public:
  // Without buffers everything is drawn from client arrays.
  explicit KelOglRender(const KelSupport& support, KelOglBufferCache* buffers = nullptr);
  KelOglRender(const KelOglRender& other);
  ~KelOglRender() override;

  void BeginDraw(KelViewpoint& viewpoint) override;
  // One eye of a stereo pair: the eye moves half the distance (model units)
  // left or right along the camera's x axis, the axes stay parallel and the
  // frustum shifts so that both eyes see the focus plane alike. The mode is
  // the application's; it does not change the picture.
  void BeginDrawLeft(KelViewpoint& viewpoint, const int mode, const float distance) override;
  void BeginDrawRight(KelViewpoint& viewpoint, const int mode, const float distance) override;
  void EndDraw(KelViewpoint& viewpoint) override;
  void BeginDrawDL(ELEMENT_TYPE type) override;

  void SetForeground(const int& colourIndex) override;
  void SetForegroundRGBA(const int rgba) override;
  void SetLineAttributes(const int& attribute2, const int& attribute1) override;
  void SetPolygonOffsetOn() override;
  void SetPolygonOffsetOff() override;
  void SetFurtiveOn() override;
  void SetFurtiveOff() override;

  void Draw2DMarker(Kel2DMarkerGP& gp) override;
  void Draw2DRectangle(Kel2DRectangleGP& gp) override;
  void Draw2DLine(Kel2DLineGP& gp) override;
  void Draw2DAnnotationText(Kel2DAnnotationTextGP& gp) override;
  void Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP& gp) override;
  void Draw3DMarker(Kel3DMarkerGP& gp) override;
  void Draw3DPolyline(Kel3DPolylineGP& gp) override;
  void Draw3DLine(Kel3DLineGP& gp) override;
  void Draw3DEdge(Kel3DEdgeGP& gp) override;
  void DrawLightSource(Kel3DLightSourceGP& gp) override;
  void Draw3DFace(Kel3DFaceGP& gp) override;
  void Draw3DPlanarFace(Kel3DPlanarFaceGP& gp) override;
  void Draw3DCylinder(Kel3DCylinderGP& gp, const int cap) override;
  void DrawWireframe3DCylinder(Kel3DCylinderGP& gp) override;
  void Draw3DAnnotationText(Kel3DAnnotationTextGP& gp) override;
  void ImmediateDraw3DPolyline(const float* points, const int count) override;
  void ImmediateDraw3DAnnotationText(const float* position, const char* text,
                                     AnchorPoint anchor) override;
  // A non-zero mode blends an RGBA image by its alpha.
  void ImmediateDraw2DImagePixel(const float* position, const KelPixelImage* image,
                                 const int mode) override;
  void ImmediateDraw2DPolyline(const float* points, const int count) override;
  void ImmediateDraw2DPolygon(const float* points, const int count, const int filled) override;

  KelRender* PushMatrix(Kel4x4Matrix& m) override;
  KelRender* PushMatrix(Kel3x3Matrix& m) override;
  void PopMatrix(KelRender* child) override;

  // Where a model point of this render's frame lands: window pixels with y
  // up and depth in [0, 1]; 0 when it is behind the eye or clipped away.
  int Project(const float* point, float* window) const;

 private:
  struct FrameState;

  // The render of the next pushed matrix, a copy of this one from the pool.
  KelOglRender* PushedRender();
  // Both PushMatrix: the pushed render in the matrix's frame, loaded.
  template <class Matrix>
  KelRender* PushFrame(const Matrix& m);

  // Parts of BeginDraw: the projection and model view of the camera, the
  // fixed pipeline state every viewpoint starts from, the support's clipping
  // plane and the fog.
  void LoadCamera(Kel3DViewpoint& v, float W, float H);
  void LoadCamera(Kel2DViewpoint& v, float W, float H);
  void ResetPipeline() const;
  void BeginClipping();
  void BeginFog() const;
  void LoadMatrices() const;
  void ApplyColour() const;
  void ApplyLineAttributes() const;
  void SetLighting(bool on) const;
  // Marker symbols at n points of `dimension` (2 or 3) floats; a point cloud
  // whose points its primitive owns (`owner`) is kept on the card.
  void DrawMarkers(const float* points, int n, int dimension, int type,
                   KelGraphicPrimitive* owner = nullptr);
  void Draw2DText(const float* position, const char* text, AnchorPoint anchor, int font);
  // Every turn of the outline to the same side, once around.
  static int IsConvex(const float* points, int n);
  void DrawFaceArrays(Kel3DFaceGP& gp, const float* oneNormal);
  // A line's or polyline's points.
  void DrawPoints(Kel3DLineGP& gp, GLenum mode, int count);
  // Bytes of geometry sent from client arrays, counted by the buffers.
  void Sent(long bytes) const;
  void DrawText(const float* window, const char* text, AnchorPoint anchor, int font);
  void BeginWindowSpace() const;
  void EndWindowSpace() const;

  FrameState* _state;
  std::unique_ptr<FrameState> _ownState;
  // Model (this render's frame) to eye, and eye to clip, OpenGL layout.
  float _modelView[16];
  float _colour[4] = {1, 1, 1, 1};
  int _rgbaAlpha = 0;  // alpha byte of an RGBA colour, 0 for indexed colours
  int _lineType = 1;
  int _lineWidth = 1;
  // Eye position along the camera's x axis while BeginDrawLeft or
  // BeginDrawRight loads the camera.
  float _eyeOffset = 0.0f;
};
