// A render that records the calls drawing makes, in order, as one line of
// text each ("Draw3DFace", "SetForeground 251", "PushMatrix", ...). Tests compare the
// log against the stream a pass must produce. It has no camera, so every
// volume is visible and never too small unless a test says otherwise; a
// KelCameraRender has one.
#pragma once

#include <kel/render/KelRender.h>

#include <memory>
#include <string>
#include <vector>

class Kel3DViewpoint;
class Kel3DRep;
class Kelpoint2f;

class KelRecordingRender : public KelRender {
 public:
  using Log = std::vector<std::string>;

  KelRecordingRender() : _log(std::make_shared<Log>()) {}
  // A child render (PushMatrix) writes into the same log.
  KelRecordingRender(const KelRecordingRender& parent) = default;

  const Log& GetLog() const { return *_log; }
  void ClearLog() { _log->clear(); }
  // The log joined with ", ".
  std::string Joined() const;

  // Answers of the visibility questions, for all volumes.
  int outside = 0;  // IsDrawable with a volume answers 0
  int seen = 1;     // IsSeen answers this
  // Volumes with a radius (box extent) below this are too small.
  void SetCullingSize(float modelSize) { _modelCullingSize = modelSize; }

  // What the immediate 2D operations draw, in order: "polyline" or
  // "polygon <fill>" with the (x, y) points, or "image <width>x<height>
  // <mode>" with the position.
  struct Shape2D {
    std::string kind;
    std::vector<float> points;
  };
  std::vector<Shape2D> shapes2D;
  // DrawDynamicGP also has the primitive draw itself at once.
  int immediate = 0;
  // Without a camera: model units of one pixel.
  void SetModelPerPixel(float model) { _scaleFactor = model; }
  // Sees through `camera` in a window of the given size: its culling
  // viewport is the whole window (BeginDraw on it; EndDraw to finish).
  void LookThrough(KelViewpoint& camera, float width, float height, float pixelsPerMM);

  int IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere&,
                 const KelRep&) override {
    return Volume(a);
  }
  int IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox&, const KelRep&) override {
    return Volume(a);
  }
  int IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere&, const int) override {
    return Volume(a);
  }
  int IsDrawable(const KelGraphicAttributeSet& a, const KelRep&) override { return Flags(a); }
  int IsDrawable(const KelGraphicAttributeSet& a, const int) override { return Flags(a); }
  int IsSeen(const float* point, const float* normal) override;
  void InheritForeground(int colour) override;
  void InheritElementType(ELEMENT_TYPE type, int force) override;
  void SetSensitivity(int sensitivity) override;
  void SetCurrentAttribute(const KelGraphicAttributeSet& a) override;
  using KelRender::SetCurrentAttribute;
  void Draw3DMarker(Kel3DMarkerGP&) override { Record("Draw3DMarker"); }
  void Draw3DPolyline(Kel3DPolylineGP&) override { Record("Draw3DPolyline"); }
  void Draw3DLine(Kel3DLineGP& gp) override;
  void Draw3DEdge(Kel3DEdgeGP&) override { Record("Draw3DEdge"); }
  void Draw3DFace(Kel3DFaceGP&) override { Record("Draw3DFace"); }
  void Draw3DPlanarFace(Kel3DPlanarFaceGP&) override { Record("Draw3DPlanarFace"); }
  void Draw3DCylinder(Kel3DCylinderGP& gp, const int cap) override;
  void Draw2DLine(Kel2DLineGP&) override { Record("Draw2DLine"); }
  void DrawDynamicGP(KelDynamicGP& gp) override;
  void ImmediateDraw2DPolyline(const float* points, const int count) override;
  void ImmediateDraw2DPolygon(const float* points, const int count, const int filled) override;
  void ImmediateDraw2DImagePixel(const float* position, const KelPixelImage* image,
                                 const int mode) override;
  KelRender* PushMatrix(Kel4x4Matrix&) override { return Push(); }
  KelRender* PushMatrix(Kel3x3Matrix&) override { return Push(); }
  void PopMatrix(KelRender* child) override;
  void PushReference() override { Record("PushReference"); }
  void PopReference() override { Record("PopReference"); }
  void SetForeground(const int& colourIndex) override;
  void SetForegroundRGBA(const int rgba) override;
  void SetFurtiveOn() override { Record("SetFurtiveOn"); }

  void Record(const std::string& line) { _log->push_back(line); }

 private:
  // What the volume and flag forms of IsDrawable answer; a child render.
  int Volume(const KelGraphicAttributeSet& a);
  int Flags(const KelGraphicAttributeSet& a);
  KelRender* Push();

  std::shared_ptr<Log> _log;
};

// A recording render looking through a conic camera on the z axis at the
// origin (LookFrom): kSize pixels square at kPixelsPerMM pixels a millimetre,
// a sag precision of 2 pixels, meshes shown. Before LookFrom one millimetre is
// `mmRatio` model units everywhere. Dynamic primitives draw at once, and what
// they draw is kept.
class KelCameraRender : public KelRecordingRender {
 public:
  static constexpr float kSize = 500.0f, kPixelsPerMM = 4.0f;

  explicit KelCameraRender(float mmRatio = 1.0f);
  ~KelCameraRender() override;
  void LookFrom(float distance);
  // Pixel position of a model point through the camera.
  Kelpoint2f Pixel(const float* model) const;

  void DrawDynamicGP(KelDynamicGP& gp) override;
  void ImmediateDraw3DPolyline(const float* points, const int count) override;
  void ImmediateDraw3DAnnotationText(const float* position, const char* text,
                                     AnchorPoint anchor) override;

  struct Text {
    std::vector<float> position;
    std::string text;
    AnchorPoint anchor;
  };
  std::vector<std::vector<float>> polylines;
  std::vector<Text> texts;

 private:
  std::unique_ptr<Kel3DViewpoint> _camera;
  std::unique_ptr<Kel3DRep> _target;  // frames the near and far planes
};
