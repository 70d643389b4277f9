// A surface that can be drawn on (a graphic window, an off-screen image): its
// size and pixel shape, the precisions and display flags every render of a
// frame copies, the viewpoints it shows (owned), and the two-pass frame:
// culling into display lists, then drawing them through the driver.
#pragma once

#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/list.h>

class KelColorMap;
class KelCharacterFont;
class KelRender;
class KelViewpoint;

class KelSupport : public KelCallbackManager {
 public:
  KelSupport(const int width, const int height);
  // Shares the viewpoints without owning them and takes the precisions, sizes,
  // display flags and samples; no fog, no clipping, no colour map.
  KelSupport(const KelSupport& other);
  KelSupport& operator=(const KelSupport&) = delete;
  ~KelSupport() override;

  // A new viewpoint goes to the front unless `last`; a null or known one
  // leaves the list unchanged.
  virtual void AddViewpoint(KelViewpoint* viewpoint, int last);
  virtual void RemoveViewpoint(KelViewpoint* viewpoint);
  virtual void Draw();
  // The two operations only a driver's support defines (docs/driver.md).
  virtual int MakeCurrent() = 0;
  virtual void ReadPixels() = 0;
  virtual KelRender* CreateDrawingRender();
  virtual void Clear();
  virtual void Swap();
  virtual list<KelViewpoint*> Culling(list<KelViewpoint*>& viewpoints);
  virtual KelRender* CreateCullingRender();
  virtual void Drawing(list<KelViewpoint*>& viewpoints);
  virtual void DrawWithRender(KelRender& render, list<KelViewpoint*>& viewpoints);

  float GetRatioWH() const { return _pixelRatio; }
  float GetMMInSupportUnit() const { return _mmInSupportUnit; }
  void GetWidthAndHeight(float& width, float& height) const {
    width = _width;
    height = _height;
  }
  list<KelViewpoint*>& GetListOfViewpoint() { return _viewpoints; }
  void SetCullingPrecision(int pixels) { _cullingPrecision = pixels; }
  int GetCullingPrecision() const { return _cullingPrecision; }
  void SetSagPrecision(float pixels) { _sagPrecision = pixels; }
  float GetSagPrecision() const { return _sagPrecision; }
  KelColorMap* GetColorMap() const { return _colorMap; }
  // The font all supports share.
  KelCharacterFont* GetCharacterFont() const;
  // Entry 254 of the colour map; black without one.
  void GetBackgroundColor(float* r, float* g, float* b) const;
  int IsMeshSeen() const { return _meshSeen; }
  int IsOutLineSeen() const { return _outLineSeen; }
  int IsEdgeSeen() const { return _edgeSeen; }
  void SetMesh(int on) { _meshSeen = on; }
  void SetOutLine(int on) { _outLineSeen = on; }
  void SetEdge(int on) { _edgeSeen = on; }
  int IsFogOn() const { return _fog; }
  // Fog on for any mode other than 0.
  void SetFogMode(int mode) { _fog = mode ? 1 : 0; }
  // How the driver fills the faces of 3D viewpoints: 0 filled, 1 their
  // outlines, 2 their corners (docs/driver.md).
  void SetPolygonDrawingMode(int mode) { _polygonMode = mode; }
  int GetPolygonDrawingMode() const { return _polygonMode; }
  // Anti-aliasing: the samples per pixel asked of the driver, 1 (the default)
  // for none. Off-screen supports take it from the next frame, within what the
  // renderer allows; windows do not use it yet.
  void SetSamples(int samples) { _samples = samples > 1 ? samples : 1; }
  int GetSamples() const { return _samples; }

  void AddClippingPlane(const float* point, const float* normal);
  void RemoveClippingPlane() { _clipped = 0; }
  int IsClipped(float** point, float** normal) const;

  void InitViewpoints();
  void ResetDL(list<KelViewpoint*>& viewpoints);

  static KelCharacterFont* _characterFont;

 protected:
  float _sagPrecision = 0.5f;
  int _cullingPrecision = 2;
  KelColorMap* _colorMap = nullptr;
  float _width;
  float _height;
  float _pixelRatio = 1.0f;
  float _mmInSupportUnit = 1.0f;
  list<KelViewpoint*> _viewpoints;
  int _fog = 0;
  int _polygonMode = 0;
  int _meshSeen = 1;
  int _outLineSeen = 1;
  int _edgeSeen = 1;
  int _clipped = 0;
  float _clippingPoint[3] = {0, 0, 0};
  float _clippingNormal[3] = {0, 0, 1};
  int _samples = 1;
  // A copy shares its original's viewpoints and must not delete them.
  int _ownsViewpoints = 1;
};
